#include "Polyphones.h"

#include "FrontEnd.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>

using namespace sonvela::frontend;

namespace {

struct Case {
    const char* text;
    const char* expected;
};

void ExpectReadings(std::initializer_list<Case> cases) {
    for (const Case& c : cases)
        EXPECT_EQ(PinPolyphones(c.text), c.expected) << c.text;
}

} // namespace

// Declared first: under ctest each test runs alone, so these two threads
// are the first to reach the built-in table.
TEST(Polyphones, FirstUseFromTwoThreadsAtOnce) {
    const std::string text = "请到银行行长办公室重新办理还款";
    const std::string expected =
        "请到yin2 hang2 hang2 zhang3 ban4 gong1 shi4 chong2 xin1 ban4 li3 huan2 kuan3";
    std::string first;
    std::string second;
    std::thread a([&] { first = PinPolyphones(text); });
    std::thread b([&] { second = PinPolyphones(text); });
    a.join();
    b.join();
    EXPECT_EQ(first, expected);
    EXPECT_EQ(second, expected);
}

TEST(Polyphones, WordsOfShopsBanksAndStations) {
    ExpectReadings({
        {"我去银行还款", "wo3 qu4 yin2 hang2 huan2 kuan3"},
        {"请还书到图书馆", "请huan2 shu1到图书馆"},
        {"他在学校教书", "他在xue2 xiao4 jiao1 shu1"},
        {"请重新输入密码", "请chong2 xin1输入mi4 ma3"},
        {"这家店的东西都很便宜", "这家店的dong1 xi5都很pian2 yi5"},
        {"音乐会马上开始", "yin1 yue4 hui4 ma3 shang4 kai1 shi3"},
        {"祝您新年快乐", "祝您xin1 nian2 kuai4 le4"},
        {"请核对数量和重量", "请he2 dui4 shu4 liang4和zhong4 liang4"},
        {"营业时间调整", "ying2 ye4 shi2 jian1 tiao2 zheng3"},
        {"长期有效", "chang2 qi1有效"},
        {"请不要着急", "请bu2 yao4 zhao2 ji2"},
        {"睡觉", "shui4 jiao4"},
        {"我觉得", "我jue2 de5"},
        {"为了您的安全", "wei4 le5您的安全"},
        {"请了解", "请liao3 jie3"},
        {"的确是目的地", "di2 que4是mu4 di4 di4"},
        {"前方到站是长春站", "qian2 fang1到站是chang2 chun1站"},
        {"本次列车开往重庆", "本次lie4 che1 kai1 wang3 chong2 qing4"},
        // One reading a character, but the voice's own word list adds a
        // syllable (gong xi xi, hong qiao qiao).
        {"恭喜您", "gong1 xi3您"},
        {"开往虹桥", "kai1 wang3 hong2 qiao2"},
        {"请带好您的行李", "请带好您的xing2 li5"},
        {"处方药", "chu3 fang1 yao4"},
    });
}

TEST(Polyphones, LongestMatchCutsWhereAReaderWould) {
    ExpectReadings({
        // Not 生长 zhang3: 大学生 is the longer word.
        {"大学生长期", "da4 xue2 sheng1 chang2 qi1"},
        {"延长大学学制", "yan2 chang2 da4 xue2学制"},
        {"为人民服务", "wei4 ren2 min2 fu2 wu4"},
        {"银行行长", "yin2 hang2 hang2 zhang3"},
        {"行人请走人行道", "xing2 ren2请zou3 ren2 xing2 dao4"},
        {"长大后", "zhang3 da4后"},
        // A far more common word takes the last character of a rare one...
        {"本店长期招聘店长", "本店chang2 qi1招聘dian4 zhang3"},
        {"这家店长期营业", "这家店chang2 qi1营业"},
        // ...but not from a word at least as common.
        {"银行长期贷款", "yin2 hang2 chang2 qi1 dai4 kuan3"},
        {"校长期待大家", "xiao4 zhang3 qi1 dai4 da4 jia1"},
    });
}

TEST(Polyphones, LonePolyphonesReadByTheirNeighbours) {
    ExpectReadings({
        {"你得先付款", "你dei3先fu4 kuan3"},
        {"还得等", "还dei3等"},
        {"他跑得很快", "他跑de5 hen3快"},
        {"下着雨", "下zhe5雨"},
        {"找着了", "zhao3 zhao2了"},
        {"这只猫", "这zhi1猫"},
        {"请把音量调小", "请把yin1 liang4 tiao2小"},
        {"数一数", "shu3 yi5 shu3"},
        {"请稍后再还。还有", "请shao1 hou4再huan2。hai2 you3"},
        {"考试时间为两个小时", "考试shi2 jian1 wei2两个小时"},
        {"请调直座椅，系好安全带", "请tiao2直座椅，ji4 hao3安全带"},
        // Readings the voice has right on its own stay characters.
        {"还没有", "还mei2 you3"},
        {"很长", "很长"},
        {"这块地。认真地看", "这块di4。认真地看"},
        {"我们都是", "wo3 men5都是"},
        {"大家都会", "da4 jia1 dou1 hui4"},
    });
}

TEST(Polyphones, ToneChangesOfYiAndBu) {
    ExpectReadings({
        {"一定", "yi2 ding4"},
        {"一个", "yi2 ge5"},
        {"一天", "yi4天"},
        {"一起", "yi4 qi3"},
        {"一律八折", "yi2 lv4八折"},
        {"不是", "bu2 shi4"},
        {"不好", "bu4 hao3"},
        {"今天不营业", "今天不营业"},
        {"商品一律不退不换", "商品yi2 lv4 bu2退bu2换"},
        {"不一定", "bu4 yi2 ding4"},
        // Counting and ordinals keep yi1, which the voice reads itself.
        {"第一", "di4 yi1"},
        {"十一月", "shi2 yi1 yue4"},
        {"一二三", "yi1 er4三"},
        {"统一", "tong3 yi1"},
        {"唯一", "wei2 yi1"},
        {"一号线", "yi1 hao4线"},
        {"请到一楼", "请到一楼"},
        {"地下一层", "di4 xia4 yi1 ceng2"},
        {"一等座", "yi1 deng3座"},
        {"第一。一", "di4 yi1。一"},
        // Doubled verbs read it neutral; doubled measures do not.
        {"看一看", "kan4 yi5 kan4"},
        {"要不要", "要bu5 yao4"},
        {"请一位一位地进", "请yi2位yi2位地进"},
        // A word that reads it neutral already keeps it.
        {"对不起", "dui4 bu5 qi3"},
    });
}

TEST(Polyphones, FinalPiecesPassUntouchedButGiveTheirTone) {
    // The number rules emit final pieces; 一 before them follows their tone.
    const Pieces out = PinPolyphones(Pieces{{"行长", true},
                                            {"一", false},
                                            {"百", true},
                                            {"不", false},
                                            {"shi4", true},
                                            {"十", true},
                                            {"一", false}});
    const Pieces expected{{"行长", true}, {"yi4", true}, {"百", true}, {"bu2", true},
                          {"shi4", true}, {"十", true},  {"一", false}};
    EXPECT_EQ(out, expected);
}

TEST(Polyphones, WeiBeforeANumberHoweverItIsWritten) {
    // The normaliser has already written the number out as a final piece.
    const auto read = [](const char* before, const char* number) {
        return JoinPieces(PinPolyphones(Pieces{{before, false}, {number, true}}));
    };
    EXPECT_EQ(read("余额为", "负三十五点六元"), "yu2 e2 wei2负三十五点六元");
    EXPECT_EQ(read("号码为", "幺八六"), "hao4 ma3 wei2幺八六");
    EXPECT_EQ(read("人数为", "yi4百"), "ren2 shu4 wei2 yi4百");
    EXPECT_EQ(read("为", "G幺二"), "wei2 G幺二");
    EXPECT_EQ(read("车牌号为京", "A幺二"), "che1 pai2号wei2京A幺二");
    // Pinyin that is no number leaves 为 as the voice reads it ("for").
    EXPECT_EQ(read("为", "yin2 hang2"), "为yin2 hang2");
    // After 已, 将, 曾… it means "for" even before a number.
    EXPECT_EQ(read("本店已为", "三千零六"), "本店已为三千零六");
    ExpectReadings({
        {"车牌号为京A12345", "che1 pai2号wei2京A12345"},
        {"编号为B105", "bian1 hao4 wei2 B105"},
        {"曾为五位顾客", "曾为五位gu4 ke4"},
        {"为您服务", "为您fu2 wu4"},
        {"正为大家", "正为da4 jia1"},
    });
}

TEST(Polyphones, TextWithoutChineseComesBackAsItWas) {
    for (const std::string& text :
         {std::string("ATM 24h"), std::string("\xff\xfe invalid"), std::string("，。！")})
        EXPECT_EQ(PinPolyphones(Pieces{{text, false}}), (Pieces{{text, false}})) << text;
    EXPECT_EQ(PinPolyphones(""), "");
    EXPECT_EQ(PinPolyphones("去ATM还款"), "去ATM huan2 kuan3");
}

TEST(Polyphones, LongTextReadsAsItsSentencesDo) {
    // A long text is worked through clause by clause; the readings must be
    // those of its sentences read one at a time.
    const std::string sentence = "银行行长说一，不是\n长期一。";
    const std::string reading = "yin2 hang2 hang2 zhang3说一，bu2 shi4\nchang2 qi1一。";
    std::string text;
    std::string expected;
    for (int i = 0; i < 2000; ++i) {
        text += sentence;
        expected += reading;
    }
    EXPECT_TRUE(PinPolyphones(text) == expected); // not printed: 100 KB
}

TEST(Polyphones, FrontEndPinsForMandarinOnly) {
    FrontEnd frontEnd;
    frontEnd.SetPronunciations(
        PronunciationList(std::vector<Pronunciation>{{"行长", "hang2 zhang3"}}));
    EXPECT_EQ(frontEnd.Prepare("银行行长", Dialect::Mandarin), "yin2 hang2 hang2 zhang3");
    // The Cantonese voice takes no pinyin, the operator's nor ours.
    EXPECT_EQ(frontEnd.Prepare("银行行长", Dialect::Cantonese), "银行行长");
}
