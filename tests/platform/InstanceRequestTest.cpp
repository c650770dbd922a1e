// The bytes of the single-instance channel, and the command line's
// requests for the running instance.
#include "InstanceRequest.h"

#include <gtest/gtest.h>

using namespace sonvela;
using Kind = InstanceRequest::Kind;

TEST(InstanceRequest, EveryKindSurvivesTheTripWithLineBreaksAndChineseInItsArgument) {
    const std::vector<InstanceRequest> requests{
        {Kind::OpenFile, "/home/店员/报价单 (新).txt"},
        {Kind::Say, "请A023号到3号窗口\n第二行"},
        {Kind::ReadDraft, "开门问候"},
        {Kind::ReadDraft, "12"},
        {Kind::Stop, ""},
        // A file whose name holds a line break stays a file.
        {Kind::OpenFile, "/tmp/say\nstop"},
    };
    for (const InstanceRequest& request : requests) {
        const std::string message = EncodeRequest(request);
        EXPECT_EQ(message.find('\0'), std::string::npos) << request.argument;
        EXPECT_EQ(DecodeRequest(message), request) << request.argument;
    }
}

TEST(InstanceRequest, APlainPathIsAFileAndAnUnknownTypedWordIsNoRequest) {
    // What a start that hands over a file sends: the path alone.
    EXPECT_EQ(DecodeRequest("/home/a.txt"), (InstanceRequest{Kind::OpenFile, "/home/a.txt"}));
    EXPECT_EQ(DecodeRequest(std::string("\x01") + "shout\nhello"), std::nullopt);
    EXPECT_EQ(DecodeRequest(std::string("\x01") + "say"), (InstanceRequest{Kind::Say, ""}));
}

TEST(InstanceRequest, AnAnswerIsReadOnlyOnceWhole) {
    EXPECT_EQ(DecodeAnswer(EncodeAnswer(RequestAnswer::Accepted())), RequestAnswer::Accepted());
    const std::string refused = EncodeAnswer(RequestAnswer::Refused("没有找到稿件“早安”"));
    // The reason arrives in pieces: nothing until its end.
    for (std::size_t cut = 0; cut < refused.size(); ++cut)
        EXPECT_EQ(DecodeAnswer(std::string_view(refused).substr(0, cut)), std::nullopt) << cut;
    EXPECT_EQ(DecodeAnswer(refused), RequestAnswer::Refused("没有找到稿件“早安”"));
    // A NUL in the reason would end it early: it is left out.
    EXPECT_EQ(DecodeAnswer(EncodeAnswer(RequestAnswer::Refused(std::string("a\0b", 3)))),
              RequestAnswer::Refused("ab"));
    // An answer of another kind is a refusal, not acceptance.
    const auto odd = DecodeAnswer("?");
    ASSERT_TRUE(odd);
    EXPECT_FALSE(odd->accepted);
}

TEST(InstanceRequest, TheCommandLineJoinsTheWordsAndNamesWhatIsMissing) {
    const auto say = ParseRequestArguments({"--say", "请A023号", "到3号窗口"});
    ASSERT_TRUE(say && say->request);
    EXPECT_EQ(*say->request, (InstanceRequest{Kind::Say, "请A023号 到3号窗口"}));

    const auto draft = ParseRequestArguments({"--read-draft", "开门问候"});
    ASSERT_TRUE(draft && draft->request);
    EXPECT_EQ(*draft->request, (InstanceRequest{Kind::ReadDraft, "开门问候"}));

    const auto stop = ParseRequestArguments({"--stop"});
    ASSERT_TRUE(stop && stop->request);
    EXPECT_EQ(stop->request->kind, Kind::Stop);

    for (const std::vector<std::string>& malformed :
         {std::vector<std::string>{"--say"}, {"--say", "  "}, {"--read-draft"}, {"--stop", "x"}}) {
        const auto parsed = ParseRequestArguments(malformed);
        ASSERT_TRUE(parsed) << malformed[0];
        EXPECT_FALSE(parsed->request) << malformed[0];
        EXPECT_FALSE(parsed->problem.empty()) << malformed[0];
    }
    // Not a request: a file to open, another operation, nothing.
    EXPECT_FALSE(ParseRequestArguments({"报价单.txt"}));
    EXPECT_FALSE(ParseRequestArguments({"--pronounce", "银行"}));
    EXPECT_FALSE(ParseRequestArguments({}));
}
