// The operator's pronunciation list in draft.dat (table `pronunciation`).
// Every value is bound, so words with quotes or SQL signs are stored as typed.
#pragma once

#include "Database.h"

#include <cstdint>
#include <string>
#include <vector>

namespace sonvela {

struct PronunciationRow {
    std::int64_t id = 0;
    std::string word;    // UTF-8
    std::string reading; // UTF-8: numbered pinyin or replacement text

    bool operator==(const PronunciationRow&) const = default;
};

class PronunciationTable {
public:
    explicit PronunciationTable(const Database& db) : db_(db) {}

    // Every row, in the order they were added.
    std::vector<PronunciationRow> Rows() const;
    // Adds a row and returns its id.
    std::int64_t Add(const std::string& word, const std::string& reading) const;
    // Changes a row; false when no row has that id.
    bool Update(std::int64_t id, const std::string& word, const std::string& reading) const;
    // Deletes a row; false when no row has that id.
    bool Delete(std::int64_t id) const;

private:
    const Database& db_;
};

} // namespace sonvela
