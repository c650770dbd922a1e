#include "DraftTitles.h"

#include <algorithm>

namespace sonvela {

std::vector<DraftTitle> DraftTitles(const Database& db) {
    std::vector<DraftTitle> drafts;
    Statement select = db.Prepare("select id, name from draft order by orderno, id");
    while (select.Step())
        drafts.push_back({ValueToInteger(select.Column(0), 0), ValueToUtf8(select.Column(1))});
    return drafts;
}

std::optional<std::string> DraftName(const std::vector<DraftTitle>& drafts, std::int64_t id) {
    const auto found = std::find_if(drafts.begin(), drafts.end(),
                                    [id](const DraftTitle& d) { return d.id == id; });
    if (found == drafts.end())
        return std::nullopt;
    return found->name;
}

} // namespace sonvela
