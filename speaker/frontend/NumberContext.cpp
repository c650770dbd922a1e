#include "NumberContext.h"

#include <array>

namespace sonvela::frontend {

namespace {

// Traditional forms stand beside the simplified ones: the Cantonese voice is
// given a traditional copy of the text.
constexpr auto kDialledNames = std::to_array<std::u32string_view>({
    U"电话", U"電話",   U"拨打",   U"撥打",   U"请拨",   U"請撥", U"拨",   U"撥",
    U"致电", U"致電",   U"热线",   U"熱線",   U"号码",   U"號碼", U"座机", U"座機",
    U"传真", U"傳真",   U"呼叫",   U"来电",   U"來電",   U"专线", U"專線", U"客服",
    U"分机", U"分機",   U"区号",   U"區號",   U"急救",   U"火警", U"报警", U"報警",
    U"匪警", U"手机号", U"手機號", U"分机号", U"分機號",
});

constexpr auto kCodeNames = std::to_array<std::u32string_view>({
    U"验证码", U"驗證碼", U"校验码", U"校驗碼", U"取件码", U"取件碼", U"取餐码", U"取餐碼",
    U"提货码", U"提貨碼", U"密码",   U"密碼",   U"编号",   U"編號",   U"编码",   U"編碼",
    U"单号",   U"單號",   U"账号",   U"賬號",   U"帳號",   U"账户",   U"賬戶",   U"卡号",
    U"卡號",   U"尾号",   U"尾號",   U"工号",   U"工號",   U"学号",   U"學號",   U"车次",
    U"車次",   U"房号",   U"房號",   U"证号",   U"證號",   U"序列号", U"序列號", U"流水号",
    U"流水號", U"会员号", U"會員號", U"邮编",   U"郵編",   U"批号",   U"批號",   U"房间号",
    U"房間號", U"门牌号", U"門牌號", U"证号码", U"證號碼", U"卡号码", U"卡號碼", U"邀请码",
    U"邀請碼", U"兑换码", U"兌換碼", U"提取码", U"提取碼", U"条码",   U"條碼",
});

constexpr auto kRoomWords = std::to_array<std::u32string_view>({
    U"办公室", U"辦公室", U"会议室", U"會議室", U"实验室", U"實驗室", U"教室", U"课室", U"課室",
    U"诊室",   U"診室",   U"病房",   U"宿舍",   U"寝室",   U"寢室",   U"包间", U"包間", U"包厢",
    U"包廂",   U"机房",   U"機房",   U"房间",   U"房間",   U"号房",   U"號房", U"室",   U"房",
});

// 12345热线, 95588客服电话, 12315消费者投诉热线: a line named after its number,
// a few words on at most.
constexpr auto kLineWords =
    std::to_array<std::u32string_view>({U"热线", U"熱線", U"电话", U"電話"});
constexpr auto kEmergencyWords =
    std::to_array<std::u32string_view>({U"急救", U"报警", U"報警", U"火警", U"匪警"});
constexpr std::size_t kMostWordsBeforeLine = 6;

constexpr auto kTrainWords =
    std::to_array<std::u32string_view>({U"列车", U"列車", U"动车", U"動車", U"高铁", U"高鐵",
                                        U"火车", U"火車", U"航班", U"班车", U"班車"});

// A bare 房 after a number is a room (302房) unless it starts another word.
constexpr auto kNotRooms =
    std::to_array<std::u32string_view>({U"房源", U"房价", U"房價", U"房租", U"房产", U"房產",
                                        U"房屋", U"房贷", U"房貸", U"房款", U"房费", U"房費"});

bool EndsWith(const NumberText& text, std::size_t end, std::u32string_view word) {
    return end >= word.size() && text.View(end - word.size(), end) == word;
}

// 拨打110或120: the second number of a list is named like the first, and
// an extension (转8001) like the number it follows.
constexpr auto kListMarks = std::to_array<std::u32string_view>(
    {U"或者", U"或", U"和", U"与", U"與", U"及", U"、", U"转", U"轉"});

bool IsLinkBeforeNumber(char32_t c) {
    return c == U' ' || c == U':' || c == U'是' || c == U'为' || c == U'為';
}

} // namespace

NumberName NumberNameBefore(const NumberText& text, std::size_t i) {
    std::size_t end = i;
    // 验证码是：4096, 号码为 138…: a few linking characters at most.
    for (int links = 0; links < 3 && end > 0 && IsLinkBeforeNumber(text.At(end - 1)); ++links)
        --end;
    // Codes first: 身份证号码 is a code, though 号码 alone is dialled.
    for (std::u32string_view name : kCodeNames)
        if (EndsWith(text, end, name))
            return NumberName::Code;
    for (std::u32string_view name : kDialledNames)
        if (EndsWith(text, end, name))
            return NumberName::Dialled;
    for (std::u32string_view mark : kListMarks) {
        if (!EndsWith(text, end, mark) || !IsDigit(text.At(end - mark.size() - 1)))
            continue;
        std::size_t previous = end - mark.size();
        while (previous > 0 && (IsDigit(text.At(previous - 1)) || text.At(previous - 1) == U'-' ||
                                text.At(previous - 1) == U' '))
            --previous;
        return NumberNameBefore(text, previous);
    }
    return NumberName::None;
}

bool DialledWordsAt(std::u32string_view text) {
    for (std::u32string_view word : kEmergencyWords)
        if (text.starts_with(word))
            return true;
    for (std::size_t k = 0; k <= kMostWordsBeforeLine && k < text.size(); ++k) {
        for (std::u32string_view word : kLineWords)
            if (text.substr(k).starts_with(word))
                return true;
        if (!IsHan(text[k]))
            return false;
    }
    return false;
}

bool TrainWordsAt(std::u32string_view text) {
    if (!text.starts_with(U'次'))
        return false;
    for (std::u32string_view word : kTrainWords)
        if (text.substr(1).starts_with(word))
            return true;
    return false;
}

std::size_t RoomWordAt(std::u32string_view text) {
    for (std::u32string_view word : kNotRooms)
        if (text.starts_with(word))
            return 0;
    for (std::u32string_view word : kRoomWords)
        if (text.starts_with(word))
            return word.size();
    return 0;
}

} // namespace sonvela::frontend
