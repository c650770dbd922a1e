// Finding a draft of the draft list by what another program or the
// timetable calls it: its id, or its name as the list shows it.
#pragma once

#include "Database.h"

#include <cstdint>
#include <optional>
#include <string>

namespace sonvela {

struct DraftText {
    std::int64_t id = 0;
    std::string name; // UTF-8
    std::string text; // UTF-8; empty when the draft holds none
};

std::optional<DraftText> DraftById(const Database& db, std::int64_t id);

// A name given exactly (surrounding blanks ignored) wins; a name that
// several drafts share means the first in the list's order. Failing that, a
// whole number is taken as an id, since a draft may well be named "12".
std::optional<DraftText> FindDraft(const Database& db, const std::string& nameOrId);

} // namespace sonvela
