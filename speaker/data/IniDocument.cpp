#include "IniDocument.h"

#include <algorithm>

namespace sonvela {
namespace {

std::string_view TrimBlanks(std::string_view s) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// The section name of a header line, or nothing when the line is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return TrimBlanks(line.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyValue> SplitKeyValue(std::string_view line) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = TrimBlanks(line.substr(0, eq));
    if (key.empty() || key.front() == ';')
        return std::nullopt;
    return KeyValue{key, line.substr(eq + 1)};
}

} // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
    IniDocument doc;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t nl = bytes.find('\n', pos);
        Line line;
        if (nl == std::string_view::npos) {
            line.text = bytes.substr(pos);
            pos = bytes.size();
        } else {
            std::size_t end = nl;
            line.terminator = "\n";
            if (end > pos && bytes[end - 1] == '\r') {
                --end;
                line.terminator = "\r\n";
            }
            line.text = bytes.substr(pos, end - pos);
            pos = nl + 1;
        }
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

std::optional<std::size_t> IniDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i].text);
        if (name && EqualsNoCase(*name, section))
            return i;
    }
    return std::nullopt;
}

std::size_t IniDocument::EndOfSection(std::size_t headerLine) const {
    std::size_t i = headerLine + 1;
    while (i < lines_.size() && !SectionName(lines_[i].text))
        ++i;
    return i;
}

std::optional<std::size_t> IniDocument::FindKeyInSection(std::size_t headerLine,
                                                         std::string_view key) const {
    const std::size_t end = EndOfSection(headerLine);
    for (std::size_t i = headerLine + 1; i < end; ++i) {
        const auto kv = SplitKeyValue(lines_[i].text);
        if (kv && EqualsNoCase(kv->key, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::Find(std::string_view section, std::string_view key) const {
    const auto header = FindSection(section);
    if (!header)
        return std::nullopt;
    const auto line = FindKeyInSection(*header, key);
    if (!line)
        return std::nullopt;
    return std::string(SplitKeyValue(lines_[*line].text)->value);
}

std::string IniDocument::NewLineTerminator() const {
    // New lines follow the file's own convention; a new file is a Windows
    // text file, as every other program reading it expects.
    for (const Line& line : lines_)
        if (!line.terminator.empty())
            return line.terminator;
    return "\r\n";
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    std::string keyLine;
    keyLine.append(key).append("=").append(value);
    const std::string terminator = NewLineTerminator();

    auto header = FindSection(section);
    if (!header) {
        if (!lines_.empty() && lines_.back().terminator.empty())
            lines_.back().terminator = terminator;
        lines_.push_back(Line{"[" + std::string(section) + "]", terminator});
        lines_.push_back(Line{std::move(keyLine), terminator});
        return;
    }
    if (const auto existing = FindKeyInSection(*header, key)) {
        lines_[*existing].text = std::move(keyLine);
        return;
    }
    // After the section's last non-empty line, so that a blank line that
    // separates it from the next section stays where it is.
    std::size_t insertAt = EndOfSection(*header);
    while (insertAt > *header + 1 && TrimBlanks(lines_[insertAt - 1].text).empty())
        --insertAt;
    if (lines_[insertAt - 1].terminator.empty())
        lines_[insertAt - 1].terminator = terminator;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  Line{std::move(keyLine), terminator});
}

std::string IniDocument::Serialize() const {
    std::string out;
    for (const Line& line : lines_)
        out.append(line.text).append(line.terminator);
    return out;
}

} // namespace sonvela
