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
