#include "DraftLookup.h"

#include <charconv>

namespace sonvela {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<DraftText> FirstRow(Statement& select) {
    if (!select.Step())
        return std::nullopt;
    return DraftText{ValueToInteger(select.Column(0), 0), ValueToUtf8(select.Column(1)),
                     ValueToUtf8(select.Column(2))};
}

} // namespace

std::optional<DraftText> DraftById(const Database& db, std::int64_t id) {
    Statement select = db.Prepare("select id, name, memory from draft where id = ?");
    select.Bind(1, id);
    return FirstRow(select);
}

std::optional<DraftText> FindDraft(const Database& db, const std::string& nameOrId) {
    const std::string wanted = Trimmed(nameOrId);
    if (wanted.empty())
        return std::nullopt;
    Statement byName = db.Prepare(
        "select id, name, memory from draft where trim(name) = ? order by orderno, id limit 1");
    byName.Bind(1, wanted);
    if (auto found = FirstRow(byName))
        return found;
    std::int64_t id = 0;
    const char* end = wanted.data() + wanted.size();
    const auto [stop, error] = std::from_chars(wanted.data(), end, id);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return DraftById(db, id);
}

} // namespace sonvela
