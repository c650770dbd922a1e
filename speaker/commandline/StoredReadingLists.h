// The lists a reading needs from draft.dat (the delay table and the
// operator's pronunciation list), for the command-line operations that run
// without the program's window.
#pragma once

#include "DelaySymbols.h"
#include "PronunciationList.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace sonvela {

struct StoredLists {
    std::vector<DelaySymbolRow> delayRows;
    std::vector<frontend::Pronunciation> pronunciations;
};

// Reads draft.dat of the folder without any chance of changing it; the
// shipped delay table and an empty pronunciation list (with a note on `err`)
// when it cannot be read.
StoredLists ReadStoredLists(const std::string& folderWithSeparator, std::ostream& err);

// The delay table as the program ships it.
std::vector<DelaySymbolRow> ShippedDelayRows();

} // namespace sonvela
