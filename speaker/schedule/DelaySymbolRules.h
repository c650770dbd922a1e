// Adding and deleting rows of the delay-symbol table (q_delaytime).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sonvela {

class Dataset;

// The reader keeps one pause per record position, thirty in all.
constexpr int kMaxDelaySymbols = 30;

struct AddSymbolRefusal {
    bool warning = false; // a warning box, else an information box
    std::string message;
};

// Why a symbol (UTF-8, as typed) cannot be added to a table of
// `recordCount` rows; nothing when it can.
std::optional<AddSymbolRefusal> CheckNewDelaySymbol(std::string_view symbolUtf8, int recordCount);

struct NewDelaySymbol {
    std::string nameUtf8;
    std::string symbolUtf8;
    int pauseMs = 0;
};

// Appends and posts the row (the symbol active); the caller has checked it.
void AppendDelaySymbol(Dataset& delaySymbols, const NewDelaySymbol& symbol);

} // namespace sonvela
