#include "FindText.h"

#include "GbkText.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace sonvela {
namespace {

// An editor of GBK bytes. Like the real editor it can only select whole
// characters: a selection that would begin inside a Chinese character
// begins at that character.
class TextTarget final : public FindTarget {
public:
    explicit TextTarget(std::string initial) : text(std::move(initial)) {}

    std::int64_t TextSize() const override { return static_cast<std::int64_t>(text.size()); }
    GbkString Window(std::int64_t offset, std::int64_t count) const override {
        ++windowCalls;
        if (offset < 0 || offset >= TextSize() || count <= 0)
            return {};
        return text.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
    }
    std::int64_t SelectionStart() const override { return start; }
    GbkString SelectedText() const override {
        return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    }
    void Select(std::int64_t from, std::int64_t count) override {
        requested.push_back(from);
        const std::int64_t size = TextSize();
        const std::int64_t end = std::clamp<std::int64_t>(from + count, 0, size);
        start = CharStart(std::clamp<std::int64_t>(from, 0, size));
        length = std::max<std::int64_t>(0, end - start);
    }
    void ReplaceSelection(const GbkString& replacement) override {
        text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length),
                     replacement);
        start += static_cast<std::int64_t>(replacement.size());
        length = 0;
    }
    void Focus() override { ++focused; }

    std::int64_t CharStart(std::int64_t offset) const {
        std::size_t pos = 0;
        while (pos < text.size()) {
            const std::size_t next = pos + GbkCharLength(text, pos);
            if (static_cast<std::int64_t>(next) > offset)
                break;
            pos = next;
        }
        return std::min<std::int64_t>(static_cast<std::int64_t>(pos), offset);
    }

    std::string text;
    std::int64_t start = 0;
    std::int64_t length = 0;
    std::vector<std::int64_t> requested;
    int focused = 0;
    mutable int windowCalls = 0;
};

std::string G(const char* utf8) {
    return Utf8ToGbk(utf8);
}

TEST(FindTextTest, WindowsOverlapByTwentyFiveBytesSoLongerStraddlingMatchesArePassedOver) {
    const std::string filler(222, 'x');
    // 30 bytes from offset 222 end at 252: in neither the first window
    // (0-249) nor the second (from 225).
    TextTarget longOne(filler + std::string(30, 'y'));
    FindSession session;
    FindOptions options;
    EXPECT_FALSE(session.Find(longOne, std::string(30, 'y'), {}, options).found);

    // 25 bytes from offset 224 end at 249, inside the first window; from 226
    // they lie in the second one.
    for (const std::size_t at : {224u, 226u}) {
        TextTarget shortOne(std::string(at, 'x') + std::string(25, 'y') + "xxxx");
        const FindStep step = session.Find(shortOne, std::string(25, 'y'), {}, options);
        EXPECT_TRUE(step.found) << at;
        EXPECT_EQ(shortOne.start, static_cast<std::int64_t>(at));
        EXPECT_EQ(shortOne.length, 25);
    }
}

TEST(FindTextTest, BlanksAtTheEndsOfTheSearchTextMatchThePadding) {
    FindSession session;
    FindOptions options;
    TextTarget front("ab cd");
    ASSERT_TRUE(session.Find(front, "  ab", {}, options).found);
    EXPECT_EQ(front.requested.back(), -2);
    TextTarget back("ab cd");
    ASSERT_TRUE(session.Find(back, "cd  ", {}, options).found);
    EXPECT_EQ(back.requested.back(), 3);
    EXPECT_EQ(back.SelectedText(), "cd");
}

TEST(FindTextTest, WholeWordsAtTextAndLineBoundariesButNotBeforeAComma) {
    FindOptions options;
    options.wholeWords = true;
    std::vector<std::int64_t> found;
    TextTarget target("word one\nword\nsword word");
    FindSession session;
    while (session.Find(target, "word", {}, options).found)
        found.push_back(target.start);
    EXPECT_EQ(found, (std::vector<std::int64_t>{0, 9, 20}));

    TextTarget comma("word, next");
    EXPECT_FALSE(FindSession().Find(comma, "word", {}, options).found);
    options.wholeWords = false;
    EXPECT_TRUE(FindSession().Find(comma, "word", {}, options).found);

    // Upwards the same patterns hold.
    options.wholeWords = true;
    options.upwards = true;
    TextTarget up("word one\nword\nsword word");
    up.start = up.TextSize();
    found.clear();
    FindSession upSession;
    while (upSession.Find(up, "word", {}, options).found)
        found.push_back(up.start);
    EXPECT_EQ(found, (std::vector<std::int64_t>{20, 9, 0}));
}

TEST(FindTextTest, NotFoundMessagesDifferByTheBlankAndShowTheLoweredSearchText) {
    FindSession session;
    FindOptions options;
    TextTarget target("Hello World");
    target.Select(3, 2);
    FindStep step = session.Find(target, "MISSING", {}, options);
    EXPECT_FALSE(step.found);
    EXPECT_EQ(step.message, "\"missing\" 没有找到。");
    EXPECT_EQ(target.start, 3);
    EXPECT_EQ(target.length, 2);
    EXPECT_GT(target.focused, 0);

    options.upwards = true;
    step = session.Find(target, "MISSING", {}, options);
    EXPECT_EQ(step.message, "\"missing\"没有找到。");

    options.matchCase = true;
    options.upwards = false;
    step = session.Find(target, "WORLD", {}, options);
    EXPECT_EQ(step.message, "\"WORLD\" 没有找到。");
    options.matchCase = false;
    EXPECT_TRUE(session.Find(target, "WORLD", {}, options).found);
    EXPECT_EQ(target.start, 6);
}

TEST(FindTextTest, ReplaceAllWithAnEmptyReplacementWalksEveryMatchAndChangesNothing) {
    TextTarget target(G("甲aa乙aa丙") + std::string(600, '.') + "aa");
    const std::string before = target.text;
    FindSession session;
    FindOptions options;
    const FindStep last = session.ReplaceAll(target, "aa", {}, options);
    EXPECT_FALSE(session.replaceall);
    EXPECT_EQ(last.message, "\"aa\" 没有找到。");
    EXPECT_EQ(target.text, before);
    EXPECT_EQ(target.requested.size(), 6u); // three matches, each passed over once
}

TEST(FindTextTest, ReplaceAllDownwardsReplacesFromTheCaretOnly) {
    TextTarget target("cat cat cat");
    target.Select(4, 0);
    FindSession session;
    FindOptions options;
    session.ReplaceAll(target, "cat", "dog", options);
    EXPECT_EQ(target.text, "cat dog dog");
}

TEST(FindTextTest, UpwardReplacementContainingTheSearchTextReplacesEachOldMatchOnce) {
    TextTarget target("x aa y aa z");
    target.Select(target.TextSize(), 0);
    FindSession session;
    FindOptions options;
    options.upwards = true;
    const FindStep last = session.ReplaceAll(target, "aa", "aaa", options);
    EXPECT_EQ(target.text, "x aaa y aaa z");
    EXPECT_EQ(last.message, "\"aa\"没有找到。");
}

TEST(FindTextTest, FromTheTopWithUpwardsFindsNothingAndActsOnce) {
    TextTarget target("aa bb aa");
    target.Select(5, 0);
    FindSession session;
    FindOptions options;
    options.fromTop = true;
    options.upwards = true;
    const FindStep step = session.Find(target, "aa", {}, options);
    EXPECT_FALSE(step.found);
    EXPECT_EQ(step.message, "\"aa\"没有找到。");
    EXPECT_FALSE(options.fromTop);
    EXPECT_EQ(target.start, 0);

    options.upwards = false;
    options.fromTop = true;
    target.Select(5, 0);
    ASSERT_TRUE(session.Find(target, "aa", {}, options).found);
    EXPECT_EQ(target.start, 0);
}

TEST(FindTextTest, ALatinLetterMatchesTheSecondByteOfAChineseCharacterWithoutLooping) {
    // "說" is D5 66 in GBK: its second byte is "f".
    TextTarget target(G("說明"));
    FindSession session;
    FindOptions options;
    ASSERT_TRUE(session.Find(target, "f", {}, options).found);
    EXPECT_EQ(target.requested.back(), 1);
    // The editor selects the whole character; the next step still moves on.
    EXPECT_FALSE(session.Find(target, "f", {}, options).found);

    TextTarget many(G("說說說"));
    FindSession all;
    all.ReplaceAll(many, "f", {}, options);
    EXPECT_FALSE(all.replaceall);
}

TEST(FindTextTest, ReplaceAllEndsWhenBlanksMatchThePaddingBehindTheCaret) {
    // A blank matches the padding after the caret (upwards) or before the
    // window (downwards at the text's end): the steps would go back and
    // forth for ever.
    for (const bool upwards : {true, false}) {
        TextTarget target("ab cd ");
        target.Select(upwards ? target.TextSize() : 0, 0);
        FindSession session;
        FindOptions options;
        options.upwards = upwards;
        const FindStep last = session.ReplaceAll(target, " ", " l", options);
        EXPECT_FALSE(session.replaceall) << upwards;
        EXPECT_FALSE(last.message.empty()) << upwards;
        EXPECT_LT(target.text.size(), 20u) << upwards << " " << target.text;
    }
}

TEST(FindTextTest, EachStepReadsOnlyTheWindowsItSearches) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += std::string(96, '.') + "ab\r\n";
    TextTarget target(text);
    FindSession session;
    FindOptions options;
    ASSERT_TRUE(session.Find(target, "ab", {}, options).found);
    EXPECT_EQ(target.windowCalls, 1);
}

} // namespace
} // namespace sonvela

namespace sonvela {
namespace {

// A command carried out a window at a time, with the window answering in
// between, ends exactly as the same command in one go: the same text, the
// same selection, the same last step.
TEST(FindRunTest, ACommandInSmallSharesEndsAsTheCommandInOneGo) {
    // The matches lie far from either end: a find passes many windows first.
    std::string text(30000, '.');
    for (int i = 0; i < 300; ++i)
        text += std::string(static_cast<std::size_t>(40 + i % 200), '.') + G("苹果 Apple\n");
    text += std::string(30000, '.');
    for (const bool upwards : {false, true})
        for (const bool replaceAll : {false, true}) {
            TextTarget whole(text);
            TextTarget parts(text);
            for (TextTarget* target : {&whole, &parts})
                target->Select(upwards ? target->TextSize() : 0, 0);
            FindSession wholeSession;
            FindSession partSession;
            FindOptions options;
            options.upwards = upwards;
            const GbkString replacement = replaceAll ? G("梨") : GbkString();
            FindOptions wholeOptions = options;
            const FindStep expected =
                replaceAll ? wholeSession.ReplaceAll(whole, "apple", replacement, wholeOptions)
                           : wholeSession.Find(whole, "apple", replacement, wholeOptions);

            FindRun run(partSession, parts, "apple", replacement, options, replaceAll);
            int advances = 0;
            int lastPercent = 0;
            while (!run.Advance(1)) {
                ++advances;
                EXPECT_GE(run.Percent(), lastPercent);
                lastPercent = run.Percent();
            }
            const std::string what =
                std::string(upwards ? "up" : "down") + (replaceAll ? ", replace all" : ", find");
            EXPECT_GT(advances, 5) << what;
            EXPECT_EQ(run.Percent(), 100);
            EXPECT_EQ(parts.text, whole.text) << what;
            EXPECT_EQ(parts.start, whole.start) << what;
            EXPECT_EQ(parts.length, whole.length) << what;
            EXPECT_EQ(run.Step().found, expected.found) << what;
            EXPECT_EQ(run.Step().message, expected.message) << what;
            EXPECT_EQ(partSession.replaceall, wholeSession.replaceall) << what;
            if (replaceAll) {
                EXPECT_EQ(whole.text.find("Apple"), std::string::npos) << what;
            }
        }
}

// A share never does more than about what it was given, however dense the
// matches: the window gets its turns during a replacement of many matches
// too.
TEST(FindRunTest, EachShareOfAReplaceAllIsBounded) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "ab ";
    TextTarget target(text);
    FindSession session;
    FindRun run(session, target, "ab", "c", {}, true);
    int shares = 0;
    while (!run.Advance(8)) {
        ++shares;
        ASSERT_LT(shares, 100000);
    }
    // Two replacements fit in a share of eight.
    EXPECT_GE(shares, 1000 - 1);
    EXPECT_EQ(target.text.find("ab"), std::string::npos);
}

} // namespace
} // namespace sonvela
