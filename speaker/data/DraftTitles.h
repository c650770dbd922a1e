// The drafts by id and name, as the timetable offers and shows them: an
// entry keeps its draft's id, so a renamed draft is shown by its new name and
// a deleted one is missing here.
#pragma once

#include "Database.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sonvela {

struct DraftTitle {
    std::int64_t id = 0;
    std::string name;

    bool operator==(const DraftTitle&) const = default;
};

// Every draft in the draft list's order.
std::vector<DraftTitle> DraftTitles(const Database& db);

// The name of the draft with `id`, or nothing when there is none.
std::optional<std::string> DraftName(const std::vector<DraftTitle>& drafts, std::int64_t id);

} // namespace sonvela
