#include "PinyinDictionary.h"

#include "PinyinTable.h"
#include "Utf8.h"

#include <algorithm>
#include <bit>

namespace sonvela::frontend {

const PinyinDictionary& PinyinDictionary::Builtin() {
    // A function-local static: the first caller parses, any other caller
    // waits for it (the reader thread and the user-interface thread may both
    // speak first).
    static const PinyinDictionary dictionary(PinyinTableText());
    return dictionary;
}

namespace {

// FNV-1a: it hashes a key byte by byte, so the longest match extends the
// hash of a prefix by one character instead of hashing each prefix anew.
constexpr std::uint64_t kHashStart = 14695981039346656037ull;

std::uint64_t HashMore(std::uint64_t hash, std::string_view bytes) {
    for (const char byte : bytes)
        hash = (hash ^ static_cast<unsigned char>(byte)) * 1099511628211ull;
    return hash;
}

bool ContinuesCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

PinyinDictionary::PinyinDictionary(std::string table) : table_(std::move(table)) {
    // Lines and the prefixes of their words, at most four keys a line on
    // average; twice that in slots keeps the probes short.
    const auto lines = static_cast<std::size_t>(std::count(table_.begin(), table_.end(), '\n')) + 1;
    slots_.resize(std::bit_ceil(lines * 4));

    std::size_t start = 0;
    while (start < table_.size()) {
        std::size_t end = table_.find('\n', start);
        if (end == std::string::npos)
            end = table_.size();
        const std::size_t keyEnd = std::min(table_.find('\t', start), end);
        const std::string_view key(table_.data() + start, keyEnd - start);
        // Every prefix of two characters or more goes in too, so the longest
        // match can stop at the first prefix no word has.
        std::uint64_t hash = kHashStart;
        std::size_t characters = 0;
        for (std::size_t i = 0; i < key.size();) {
            std::size_t next = i + 1;
            while (next < key.size() && ContinuesCharacter(key[next]))
                ++next;
            hash = HashMore(hash, key.substr(i, next - i));
            ++characters;
            i = next;
            if (characters >= 2 || i == key.size()) {
                Slot& slot = FindOrAdd(key.substr(0, i), hash);
                if (i == key.size()) {
                    // Point the slot at this line, which holds the reading.
                    slot.offset = static_cast<std::uint32_t>(start);
                    slot.word = true;
                }
            }
        }
        if (characters >= 2) {
            ++words_;
            longest_ = std::max(longest_, characters);
        }
        start = end + 1;
    }
}

const PinyinDictionary::Slot* PinyinDictionary::Find(std::string_view key,
                                                     std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.length == 0)
            return nullptr;
        if (slot.length == key.size() &&
            std::string_view(table_).substr(slot.offset, slot.length) == key)
            return &slot;
    }
}

PinyinDictionary::Slot& PinyinDictionary::FindOrAdd(std::string_view key, std::uint64_t hash) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.length == 0) {
            slot.offset = static_cast<std::uint32_t>(key.data() - table_.data());
            slot.length = static_cast<std::uint16_t>(key.size());
            return slot;
        }
        if (slot.length == key.size() &&
            std::string_view(table_).substr(slot.offset, slot.length) == key)
            return slot;
    }
}

std::string_view PinyinDictionary::ReadingOf(const Slot& slot) const {
    const std::size_t keyEnd = slot.offset + slot.length;
    if (!slot.word || keyEnd >= table_.size() || table_[keyEnd] != '\t')
        return {};
    const std::size_t lineEnd = std::min(table_.find('\n', keyEnd), table_.size());
    const std::size_t end = std::min(table_.find('\t', keyEnd + 1), lineEnd);
    std::string_view reading = std::string_view(table_).substr(keyEnd + 1, end - keyEnd - 1);
    if (!reading.empty() && reading.back() == '\r')
        reading.remove_suffix(1);
    return reading;
}

int PinyinDictionary::CommonnessOf(const Slot& slot) const {
    const std::size_t keyEnd = slot.offset + slot.length;
    if (!slot.word || keyEnd >= table_.size() || table_[keyEnd] != '\t')
        return 0;
    const std::size_t lineEnd = std::min(table_.find('\n', keyEnd), table_.size());
    const std::size_t tab = table_.find('\t', keyEnd + 1);
    if (tab >= lineEnd || tab + 1 >= lineEnd)
        return 0;
    const char digit = table_[tab + 1];
    return digit >= '1' && digit <= '9' ? digit - '0' : 0;
}

PinyinDictionary::Match PinyinDictionary::LongestWordAt(std::u32string_view text) const {
    Match match;
    const std::size_t limit = std::min(longest_, text.size());
    std::string key;
    std::uint64_t hash = kHashStart;
    for (std::size_t length = 1; length <= limit; ++length) {
        const std::size_t before = key.size();
        AppendUtf8(key, text[length - 1]);
        hash = HashMore(hash, std::string_view(key).substr(before));
        if (length < 2)
            continue;
        const Slot* slot = Find(key, hash);
        if (slot == nullptr)
            break;
        if (slot->word)
            match = {length, ReadingOf(*slot), CommonnessOf(*slot)};
    }
    return match;
}

std::optional<std::string_view> PinyinDictionary::Reading(std::string_view word) const {
    const Slot* slot = word.empty() ? nullptr : Find(word, HashMore(kHashStart, word));
    if (slot == nullptr || !slot->word)
        return std::nullopt;
    const std::string_view reading = ReadingOf(*slot);
    if (reading.empty())
        return std::nullopt;
    return reading;
}

std::optional<std::string_view> PinyinDictionary::CharacterReading(char32_t character) const {
    std::string key;
    AppendUtf8(key, character);
    return Reading(key);
}

} // namespace sonvela::frontend
