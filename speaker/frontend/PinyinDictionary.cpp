#include "PinyinDictionary.h"

namespace sonvela::frontend {

// Placeholder until the table lands: an empty dictionary.
const PinyinDictionary& PinyinDictionary::Builtin() {
    static const PinyinDictionary dictionary;
    return dictionary;
}

std::optional<std::string_view> PinyinDictionary::Reading(std::string_view) const {
    return std::nullopt;
}

std::size_t PinyinDictionary::LongestWordAt(std::u32string_view) const {
    return 0;
}

std::size_t PinyinDictionary::size() const {
    return 0;
}

} // namespace sonvela::frontend
