// A Word import run away from the user-interface thread: the converter may
// take many seconds, and meanwhile the window keeps answering, shows that
// it is busy and offers "取消", which ends the converter.
#pragma once

#include "DocImport.h"

#include <chrono>
#include <optional>
#include <string>

class QWidget;

namespace sonvela {

struct ImportOutcome {
    std::optional<std::u16string> text; // nothing: failed or called off
    bool cancelled = false;             // the operator called it off
};

// Runs ImportDoc on a worker thread and waits for it in a local event loop.
// A busy box (modal to `parent`) appears once the import has taken longer
// than `showAfter`, so a quick conversion does not flash a window.
ImportOutcome
ImportDocShowingProgress(const std::string& path, const DocConverters& converters, QWidget* parent,
                         std::chrono::milliseconds showAfter = std::chrono::milliseconds(300));

} // namespace sonvela
