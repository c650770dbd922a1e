// The traditional-character form of a GBK text, for the Cantonese voice.
//
// The form is made character for character and every character keeps its
// byte length, so a byte offset and length select the same passage in the
// text and in its form: the reader selects in the editor what it speaks from
// the hidden copy. ASCII, punctuation, characters without a traditional form
// and characters whose form would have another length in GBK stay as they
// are.
#pragma once

#include "GbkText.h"

#include <string_view>

namespace sonvela {

GbkString TraditionalForm(std::string_view gbk);

} // namespace sonvela
