#include "TextNormalizer.h"

#include "FrontEnd.h"
#include "NumberWords.h"

#include <gtest/gtest.h>
#include <vector>

using namespace sonvela::frontend;

namespace {

struct Case {
    const char* text;
    const char* mandarin;
    const char* cantonese = nullptr; // the Mandarin reading when null
};

void ExpectReadings(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        EXPECT_EQ(NormalizeText(c.text, Dialect::Mandarin), c.mandarin) << c.text;
        EXPECT_EQ(NormalizeText(c.text, Dialect::Cantonese), c.cantonese ? c.cantonese : c.mandarin)
            << c.text << " (Cantonese)";
    }
}

} // namespace

TEST(NumberWords, CardinalsFollowTheRulesOfZeroAndTwo) {
    const std::vector<Case> cases = {
        {"0", "零"},
        {"10", "十"},
        {"15", "十五"},
        {"110", "yi4百一十", "一百一十"},
        {"1005", "yi4千零五", "一千零五"},
        {"20500", "两万零五百"},
        {"200", "两百"},
        {"2000", "两千"},
        {"20000", "两万"},
        {"22000", "两万二千"},
        {"200000", "二十万"},
        {"100000", "十万"},
        {"1100", "yi4千yi4百", "一千一百"},
        {"210000", "二十一万"},
        {"10010000", "yi4千零一万", "一千零一万"},
        {"100000005", "yi2亿零五", "一亿零五"},
        {"100010000", "yi2亿零yi2万", "一亿零一万"},
        {"1000000000000", "yi2万亿", "一万亿"},
        {"12", "十二"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CardinalWords(c.text, Dialect::Mandarin), c.mandarin) << c.text;
        EXPECT_EQ(CardinalWords(c.text, Dialect::Cantonese), c.cantonese ? c.cantonese : c.mandarin)
            << c.text;
    }
    EXPECT_EQ(CardinalWords("200", Dialect::Mandarin, {.leadingLiang = false}), "二百");
    // Past 万亿 a number is a code.
    EXPECT_EQ(CardinalWords("12345678901234567", Dialect::Cantonese),
              "一二三四五六七八九零一二三四五六七");
}

TEST(TextNormalizer, TwoIsLiangOnlyWhenItCounts) {
    ExpectReadings({
        {"2个", "两个"},
        {"2斤", "两斤"},
        {"2元", "两元"},
        {"2點", "两点"},
        {"2万", "两万"},
        {"2kg", "两公斤"},
        {"第2个", "第二个"},
        {"2月2号", "二月二号"},
        {"2.5个", "二点五个"},
        {"2两", "二两"},
        {"2℃", "二摄氏度"},
        {"2", "二"},
        {"2楼", "二楼"},
    });
}

TEST(TextNormalizer, OneCarriesItsToneInMandarin) {
    ExpectReadings({
        {"1个", "yi2个", "一个"},
        {"1斤", "yi4斤", "一斤"},
        {"1亿", "yi2亿", "一亿"},
        {"¥1", "yi4元", "一元"},
        {"1kg", "yi4公斤", "一公斤"},
        // Tone 1 stays: ordinals, the units digit, decimals, hours, days.
        {"第1名", "第一名"},
        {"第100名", "第yi4百名", "第一百名"},
        {"11个", "十一个"},
        {"1.5万", "一点五万"},
        {"1点", "一点"},
        {"1号", "一号"},
        {"1998年", "一九九八年"},
    });
}

TEST(TextNormalizer, DecimalsNegativesPercentagesAndFractions) {
    ExpectReadings({
        {"3.5", "三点五"},
        {"0.05", "零点零五"},
        {"3.50", "三点五零"},
        {"-3", "负三"},
        {"-2.5℃", "零下二点五摄氏度"},
        {"气温-3~-1°C", "气温零下三到零下一摄氏度"},
        {"1,000,000", "yi4百万", "一百万"},
        {"50%", "百分之五十"},
        {"12.5%", "百分之十二点五"},
        {"3‰", "千分之三"},
        {"1/2", "二分之一"},
        {"3/4杯", "四分之三杯"},
        {"-1/2", "负二分之一"},
        {"ab-3", "ab-三"},
    });
}

TEST(TextNormalizer, PricesReadAsDecimalYuan) {
    ExpectReadings({
        {"西红柿每斤3.5元", "西红柿每斤三点五元"},
        {"¥12.50", "十二点五元"},
        {"￥8", "八元"},
        {"12.80元", "十二点八元"},
        {"12.00元", "十二元"},
        {"3.5元/斤", "三点五元每斤"},
        {"5元/kg", "五元每公斤"},
        {"¥1.5万", "一点五万元"},
        {"¥3-5", "三到五元"},
        {"3元~5元", "三元到五元"},
        {"12345元", "yi2万二千三百四十五元", "一万二千三百四十五元"},
    });
}

TEST(TextNormalizer, Dates) {
    ExpectReadings({
        {"2026年3月5日", "二零二六年三月五日"},
        {"2026-03-05", "二零二六年三月五日"},
        {"2026/3/5", "二零二六年三月五日"},
        {"2026.3.5", "二零二六年三月五日"},
        {"2026-03", "二零二六年三月"},
        {"5日和5号", "五日和五号"},
        {"98年3月", "九八年三月"},
        {"10年", "十年"},
        {"2026-03-05~2026-03-08", "二零二六年三月五日到二零二六年三月八日"},
        {"日期：12/25", "日期：十二月二十五日"},
        {"12/25前付款", "十二月二十五日前付款"},
        {"12/25", "二十五分之十二"},
        {"2026-2027年", "二零二六到二零二七年"},
        {"2026-2027", "二零二六到二零二七"},
        {"２０２６年", "二零二六年"},
    });
}

TEST(TextNormalizer, TimesOfDay) {
    ExpectReadings({
        {"13:00", "十三点"},
        {"9:05", "九点零五分"},
        {"9:30", "九点三十分"},
        {"13:00:15", "十三点零分十五秒"},
        {"现在是北京时间13:00正", "现在是北京时间十三点整"},
        {"08:00整", "八点整"},
        {"2:00", "两点"},
        {"0:30", "零点三十分"},
        {"现在是北京时间 零点正", "现在是北京时间 零点整"},
        {"十二點正，", "十二點整，"},
        {"有一点正确", "有一点正确"},
        {"现在是北京时间 零点30", "现在是北京时间 零点三十分"},
        {"9點05", "九点零五分"},
        {"9点30分", "九点三十分"},
        {"9:00-18:00", "九点到十八点"},
        {"9:00—18:00", "九点到十八点"},
        {"9:00am", "上午九点"},
        {"3:00 PM", "下午三点"},
        {"12:00pm", "中午十二点"},
        {"１３：００", "十三点"},
        {"比分3:2", "比分三比二"},
        {"25:30", "二十五比三十"},
    });
}

TEST(TextNormalizer, RangesAndSigns) {
    ExpectReadings({
        {"3~5天", "三到五天"},
        {"3-5天", "三到五天"},
        {"3～5天", "三到五天"},
        {"3-5%", "百分之三到百分之五"},
        {"2-3个", "两到三个"},
        {"1-2天", "一到两天"},
        {"10点-12点", "十点到十二点"},
        {"-5~3℃", "零下五到三摄氏度"},
        {"3+5=8", "三加五等于八"},
        {"8-3=5", "八减三等于五"},
        {"3 × 5 = 15", "三乘五等于十五"},
        {"6÷2", "六除以二"},
        {"10-5", "十减五"},
        {"3x4米", "三乘四米"},
    });
}

TEST(TextNormalizer, PhoneNumbersAndCodesDigitByDigit) {
    ExpectReadings({
        {"13800138000", "幺三八 零零幺三 八零零零", "一三八 零零一三 八零零零"},
        {"138 0013 8000", "幺三八 零零幺三 八零零零", "一三八 零零一三 八零零零"},
        {"138-0013-8000", "幺三八 零零幺三 八零零零", "一三八 零零一三 八零零零"},
        {"+86 13800138000", "加八六 幺三八 零零幺三 八零零零", "加八六 一三八 零零一三 八零零零"},
        {"010-12345678", "零幺零 幺二三四五六七八", "零一零 一二三四五六七八"},
        {"400-800-1234", "四零零 八零零 幺二三四", "四零零 八零零 一二三四"},
        {"订单号123456", "订单号一二三四五六"},
        {"007", "零零七"},
        {"A023", "A零二三"},
        {"G1234次", "G一二三四次"},
        {"B2", "B二"},
        {"302房间", "三零二房间"},
        {"302室", "三零二室"},
        {"房间 302", "房间 三零二"},
        {"Room 1201", "Room 一二零一"},
        {"3号窗口", "三号窗口"},
        {"3室1厅", "三室一厅"},
        {"iPhone15", "iPhone十五"},
        {"第3", "第三"},
        {"第12", "第十二"},
    });
}

TEST(TextNormalizer, YaoOnlyInNumbersDialled) {
    ExpectReadings({
        // Service numbers after the words that say they are dialled.
        {"急救电话120", "急救电话幺二零", "急救电话一二零"},
        {"报警请拨打110，火警请拨打119", "报警请拨打幺幺零，火警请拨打幺幺九",
         "报警请拨打一一零，火警请拨打一一九"},
        {"投诉电话：12345", "投诉电话：幺二三四五", "投诉电话：一二三四五"},
        {"查询话费请拨10086", "查询话费请拨幺零零八六", "查询话费请拨一零零八六"},
        {"号码为 12315", "号码为 幺二三幺五", "号码为 一二三一五"},
        {"急救電話120", "急救電話幺二零", "急救電話一二零"},
        {"火警119、匪警110或者急救120", "火警幺幺九、匪警幺幺零或者急救幺二零",
         "火警一一九、匪警一一零或者急救一二零"},
        {"拨打110或120", "拨打幺幺零或幺二零", "拨打一一零或一二零"},
        {"电话87654321转8001", "电话八七六五四三二幺转八零零幺", "电话八七六五四三二一转八零零一"},
        {"分机号8001", "分机号八零零幺", "分机号八零零一"},
        {"12345政务服务热线", "幺二三四五政务服务热线", "一二三四五政务服务热线"},
        {"拨打120急救电话", "拨打幺二零急救电话", "拨打一二零急救电话"},
        {"110报警", "幺幺零报警", "一一零报警"},
        {"95588客服电话", "九五五八八客服电话"},
        {"100个电话", "yi4百个电话", "一百个电话"},
        {"1000多位市民的热线", "yi4千多位市民的热线", "一千多位市民的热线"},
        {"订单号8826和8827", "订单号八八二六和八八二七"},
        {"电话：138 0013 8000转分机1001", "电话：幺三八 零零幺三 八零零零转分机幺零零幺",
         "电话：一三八 零零一三 八零零零转分机一零零一"},
        // A count or an amount after the same words is no number dialled.
        {"拨打12次", "拨打十二次"},
        {"致电110次", "致电yi4百一十次", "致电一百一十次"},
        {"下拨100万元", "下拨yi4百万元", "下拨一百万元"},
        {"手机2000多", "手机两千多"},
        {"热线300多", "热线三百多"},
        {"共3个和120个", "共三个和yi4百二十个", "共三个和一百二十个"},
        // Codes, plates and long numbers with nothing to say what they are.
        {"B105号", "B一零五号"},
        {"京A12345", "京A一二三四五"},
        {"A001至A050号", "A零零一至A零五零号"},
        {"Z19次", "Z一九次"},
        {"请凭123456取件", "请凭一二三四五六取件"},
        {"0101", "零一零一"},
    });
}

TEST(TextNormalizer, NumbersNamedAsCodesDigitByDigit) {
    ExpectReadings({
        {"您的验证码是4096，", "您的验证码是四零九六，"},
        {"订单号8826的顾客", "订单号八八二六的顾客"},
        {"工号：1011", "工号：一零一一"},
        {"密码为 2580", "密码为 二五八零"},
        {"车次：1461次", "车次：一四六一次"},
        {"乘坐1461次列车", "乘坐一四六一次列车"},
        {"已发车300次", "已发车三百次"},
        {"尾号为12", "尾号为一二"},
        {"卡号 6222 0212 3456", "卡号 六二二二 零二一二 三四五六"},
        {"驗證碼是4096", "驗證碼是四零九六"},
        {"订单号13912345678", "订单号一三九一二三四五六七八"},
        {"身份证号码为110101", "身份证号码为一一零一零一"},
        {"房间号1208", "房间号一二零八"},
        // What follows may still make it an amount or a time.
        {"验证码10分钟内有效", "验证码十分钟内有效"},
        {"账号12:30前", "账号十二点三十分前"},
        // The name must stand right before the number.
        {"编号牌共120块", "编号牌共yi4百二十块", "编号牌共一百二十块"},
    });
}

TEST(TextNormalizer, ZeroLedNumbersAreCodesWhateverFollows) {
    ExpectReadings({
        {"为您服务的是0125号柜员", "为您服务的是零一二五号柜员"},
        {"第007号", "第零零七号"},
        // A day of the month may keep its zero.
        {"3月05号", "三月五号"},
    });
}

TEST(TextNormalizer, RoomNumbersDigitByDigit) {
    ExpectReadings({
        {"307教室", "三零七教室"},
        {"302室", "三零二室"},
        {"1208房间", "一二零八房间"},
        {"1208号房间", "一二零八号房间"},
        {"502病房", "五零二病房"},
        {"201宿舍", "二零一宿舍"},
        {"5栋2单元1101", "五栋二单元一一零一"},
        {"301會議室", "三零一會議室"},
        // Short numbers, ordinals and numbered windows stay cardinal.
        {"3号窗口", "三号窗口"},
        {"12号诊室", "十二号诊室"},
        {"第3诊室", "第三诊室"},
        {"2号教室", "二号教室"},
        {"第101室", "第yi4百零一室", "第一百零一室"},
        {"新增1000房源", "新增yi4千房源", "新增一千房源"},
    });
}

TEST(TextNormalizer, UnitsAreWrittenOut) {
    ExpectReadings({
        {"5kg", "五公斤"},
        {"5 kg", "五公斤"},
        {"500g", "五百克"},
        {"3km", "三公里"},
        {"1.8m", "一点八米"},
        {"15cm", "十五厘米"},
        {"5mm", "五毫米"},
        {"1.5L", "一点五升"},
        {"250ml", "两百五十毫升"},
        {"20℃", "二十摄氏度"},
        {"60km/h", "六十公里每小时"},
        {"90m²", "九十平方米"},
        {"5 men", "五 men"},
        {"5G", "五G"},
    });
}

TEST(TextNormalizer, TraditionalFormsInTheCantoneseCopy) {
    ExpectReadings({
        {"9點30分", "九点三十分"},
        {"2點", "两点"},
        {"3萬人", "三万人"},
        {"1億", "yi2亿", "一亿"},
        {"2個", "两個"},
        {"5號", "五號"},
        {"2兩", "二兩"},
        {"1隻", "yi4隻", "一隻"},
        {"5千米", "五千米"},
    });
}

TEST(TextNormalizer, WordsAreFinalAndTheirSurroundingsStayOpen) {
    const Pieces out =
        NormalizeText({{"买2个", false}, {"3个", true}, {"共5元", false}}, Dialect::Mandarin);
    const Pieces expected{{"买", false}, {"两", true}, {"个", false}, {"3个", true},
                          {"共", false}, {"五", true}, {"元", false}};
    EXPECT_EQ(out, expected);
}

TEST(TextNormalizer, TextWithNothingToRewriteComesBackUnchanged) {
    const Pieces pieces{
        {"今天天气很好，\xff\xfe 欢迎光临！％：／", false}, {"", false}, {"7", true}};
    EXPECT_EQ(NormalizeText(pieces, Dialect::Mandarin), pieces);
    // Invalid bytes around a number pass through as they came.
    // A real U+FFFD is three bytes, an invalid byte one: both keep their place.
    EXPECT_EQ(NormalizeText("\uFFFD2026年\x80", Dialect::Cantonese), "\uFFFD二零二六年\x80");
    EXPECT_EQ(NormalizeText("\xff"
                            "5个\xc3",
                            Dialect::Mandarin),
              "\xff"
              "五个\xc3");
}

TEST(TextNormalizer, ANumberCutAtASegmentEndIsStillRead) {
    // The reader may cut "1,000元" after the comma.
    EXPECT_EQ(NormalizeText("1,", Dialect::Mandarin), "一,");
    EXPECT_EQ(NormalizeText("000元", Dialect::Mandarin), "零零零元");
    EXPECT_EQ(NormalizeText("1,000元", Dialect::Mandarin), "yi4千元");
}

TEST(TextNormalizer, RunsBeforeThePolyphonesInTheFrontEnd) {
    const FrontEnd frontEnd;
    EXPECT_EQ(frontEnd.Prepare("西红柿每斤3.5元，2个100元", Dialect::Mandarin),
              "xi1 hong2 shi4每斤三点五元，两个yi4百元");
    EXPECT_EQ(frontEnd.Prepare("現在是北京時間12:00正", Dialect::Cantonese),
              "現在是北京時間十二点整");
}
