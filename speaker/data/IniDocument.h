// The settings file's text held in memory: section header lines "[name]" and
// "key=value" lines, with every other line kept as it stands.
//
// Section and key names match without regard to letter case (ASCII only:
// the names are Latin). A write replaces the key's line in place, adds a
// missing key at the end of its section and a missing section at the end of
// the text; lines the program does not understand survive untouched.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sonvela {

class IniDocument {
public:
    static IniDocument Parse(std::string_view bytes);

    // The value of the key: the rest of its line after the first "=", or
    // nothing when the section or key is missing. The first matching key of
    // the first matching section wins, as it does for the readers of the
    // original file format.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Serialize() const;

private:
    struct Line {
        std::string text;       // without its line break
        std::string terminator; // "\r\n", "\n" or "" for a last line without one
    };

    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKeyInSection(std::size_t headerLine, std::string_view key) const;
    std::size_t EndOfSection(std::size_t headerLine) const;
    std::string NewLineTerminator() const;

    std::vector<Line> lines_;
};

} // namespace sonvela
