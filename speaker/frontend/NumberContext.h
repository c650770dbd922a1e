// The words around a number that say what it is: a code or a number to dial
// named just before it (验证码是4096, 请拨打110), or a room just after it
// (307教室). Such numbers are read digit by digit.
#pragma once

#include "NumberText.h"

#include <cstddef>
#include <string_view>

namespace sonvela::frontend {

enum class NumberName {
    None,
    Dialled, // a telephone or service number: 电话, 拨打, 热线, 号码
    Code,    // an identifier: 验证码, 订单号, 工号, 车次
};

// What the text just before `i` names the number at `i`; a 是, 为 or colon
// and spaces may stand between the name and the number.
NumberName NumberNameBefore(const NumberText& text, std::size_t i);

// Whether `text` starts with words that name the number before it as one
// to dial: 12345热线, 120急救电话, 110报警.
bool DialledWordsAt(std::u32string_view text);

// Whether `text` starts with 次 and a train or flight after it (1461次列车):
// then the number before it names the train, it does not count.
bool TrainWordsAt(std::u32string_view text);

// The length of the room word (室, 房间, 教室, 病房…) that starts `text`, or 0.
std::size_t RoomWordAt(std::u32string_view text);

} // namespace sonvela::frontend
