// Any text, search text, replacement and options: a step never selects
// outside the text, and replacing every match always ends.
#include "FindText.h"

#include <algorithm>
#include <cstdint>
#include <string>

using namespace sonvela;

namespace {

class Target final : public FindTarget {
public:
    explicit Target(std::string initial) : text(std::move(initial)) {}
    std::int64_t TextSize() const override { return static_cast<std::int64_t>(text.size()); }
    GbkString Window(std::int64_t offset, std::int64_t count) const override {
        if (offset < 0 || offset >= TextSize() || count <= 0)
            return {};
        return text.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
    }
    std::int64_t SelectionStart() const override { return start; }
    GbkString SelectedText() const override {
        return text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
    }
    void Select(std::int64_t from, std::int64_t count) override {
        start = std::clamp<std::int64_t>(from, 0, TextSize());
        length = std::clamp<std::int64_t>(from + count, start, TextSize()) - start;
    }
    void ReplaceSelection(const GbkString& replacement) override {
        text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length),
                     replacement);
        start += static_cast<std::int64_t>(replacement.size());
        length = 0;
        if (++replacements > 100000)
            __builtin_trap();
    }
    void Focus() override {}

    std::string text;
    std::int64_t start = 0;
    std::int64_t length = 0;
    int replacements = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    FindOptions options;
    options.matchCase = data[0] & 1;
    options.wholeWords = data[0] & 2;
    options.fromTop = data[0] & 4;
    options.upwards = data[0] & 8;
    const std::size_t searchLength = 1 + data[1] % 30;
    const std::size_t replaceLength = data[2] % 8;
    const std::string rest(reinterpret_cast<const char*>(data + 3), size - 3);
    if (rest.size() < searchLength + replaceLength)
        return 0;
    const std::string search = rest.substr(0, searchLength);
    const std::string replacement = rest.substr(searchLength, replaceLength);
    Target target(rest.substr(searchLength + replaceLength));
    target.Select(static_cast<std::int64_t>(data[0] >> 4) * 37, 0);
    FindSession session;
    session.ReplaceAll(target, search, replacement, options);
    if (session.replaceall || target.start < 0 || target.start + target.length > target.TextSize())
        __builtin_trap();
    return 0;
}
