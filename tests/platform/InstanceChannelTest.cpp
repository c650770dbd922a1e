#include "InstanceChannel.h"

#include "TempFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <future>
#include <gtest/gtest.h>

using namespace sonvela;

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "platform_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

template <typename Done> bool PumpUntil(Done done) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

TEST(InstanceChannel, APathHandedOverArrivesWholeAndIsConfirmed) {
    App();
    test::TempFolder folder;
    std::vector<std::string> received;
    // A socket file left by an instance that died is no obstacle.
    auto first =
        InstanceChannel::Listen(folder.WithSeparator(), "Sonvela",
                                [&](const std::string& path) { received.push_back(path); });
    ASSERT_TRUE(first);
    first.reset();
    auto channel =
        InstanceChannel::Listen(folder.WithSeparator(), "Sonvela",
                                [&](const std::string& path) { received.push_back(path); });
    ASSERT_TRUE(channel);

    const std::string path = "/home/店员/报价单 (新).txt";
    auto sent = std::async(std::launch::async, [&] {
        return InstanceChannel::SendFile(folder.WithSeparator(), "Sonvela", path);
    });
    ASSERT_TRUE(PumpUntil([&] { return !received.empty(); }));
    EXPECT_TRUE(sent.get());
    EXPECT_EQ(received, std::vector<std::string>{path});
}

TEST(InstanceChannel, NobodyListeningIsReportedToTheSender) {
    App();
    test::TempFolder folder;
    EXPECT_FALSE(InstanceChannel::SendFile(folder.WithSeparator(), "Sonvela", "/tmp/x.txt", 500));
}

TEST(InstanceChannel, ARequestGetsTheRunningInstancesAnswerAndAFileStillOpens) {
    App();
    test::TempFolder folder;
    std::vector<InstanceRequest> requests;
    std::vector<std::string> files;
    auto channel = InstanceChannel::Listen(
        folder.WithSeparator(), "Sonvela", [&](const std::string& path) { files.push_back(path); },
        [&](const InstanceRequest& request) {
            requests.push_back(request);
            return request.kind == InstanceRequest::Kind::ReadDraft
                       ? RequestAnswer::Refused("没有找到稿件“" + request.argument + "”")
                       : RequestAnswer::Accepted();
        });
    ASSERT_TRUE(channel);
    const auto send = [&](InstanceRequest request) {
        auto sent = std::async(std::launch::async, [&folder, request] {
            return InstanceChannel::Send(folder.WithSeparator(), "Sonvela", request);
        });
        PumpUntil(
            [&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        return sent.get();
    };
    EXPECT_EQ(send({InstanceRequest::Kind::Say, "请A023号到3号窗口"}), RequestAnswer::Accepted());
    EXPECT_EQ(send({InstanceRequest::Kind::ReadDraft, "早安"}),
              RequestAnswer::Refused("没有找到稿件“早安”"));
    EXPECT_EQ(send({InstanceRequest::Kind::OpenFile, "/tmp/a.txt"}), RequestAnswer::Accepted());
    ASSERT_TRUE(PumpUntil([&] { return !files.empty(); }));
    EXPECT_EQ(files, std::vector<std::string>{"/tmp/a.txt"});
    EXPECT_EQ(requests,
              (std::vector<InstanceRequest>{{InstanceRequest::Kind::Say, "请A023号到3号窗口"},
                                            {InstanceRequest::Kind::ReadDraft, "早安"}}));
}

TEST(InstanceChannel, AnInstanceThatTakesNoRequestsRefusesThemWithAReason) {
    App();
    test::TempFolder folder;
    auto channel =
        InstanceChannel::Listen(folder.WithSeparator(), "Sonvela", [](const std::string&) {});
    ASSERT_TRUE(channel);
    auto sent = std::async(std::launch::async, [&] {
        return InstanceChannel::Send(folder.WithSeparator(), "Sonvela",
                                     {InstanceRequest::Kind::Stop, ""});
    });
    PumpUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    const auto answer = sent.get();
    ASSERT_TRUE(answer);
    EXPECT_FALSE(answer->accepted);
    EXPECT_FALSE(answer->reason.empty());
}

TEST(InstanceChannel, AMessageWithoutEndIsRefusedOnceTooLong) {
    App();
    test::TempFolder folder;
    int requests = 0;
    auto channel = InstanceChannel::Listen(
        folder.WithSeparator(), "Sonvela", [&](const std::string&) { ++requests; },
        [&](const InstanceRequest&) {
            ++requests;
            return RequestAnswer::Accepted();
        });
    ASSERT_TRUE(channel);
    // Two megabytes of words: the request's end never comes in time.
    auto sent = std::async(std::launch::async, [&] {
        return InstanceChannel::Send(folder.WithSeparator(), "Sonvela",
                                     {InstanceRequest::Kind::Say, std::string(2 << 20, 'a')});
    });
    PumpUntil([&] { return sent.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    const auto answer = sent.get();
    EXPECT_EQ(requests, 0);
    // Refused, or cut off before any answer: never accepted.
    EXPECT_FALSE(answer && answer->accepted);
}
