// The desktop seam over Qt: real modal message boxes and event processing.
#pragma once

#include "Desktop.h"

namespace sonvela {

class QtDesktop final : public Desktop {
public:
    void ShowMessage(const MessageRequest& request) override;
    bool AskYesNo(const MessageRequest& request) override;
    void ProcessPendingEvents(std::chrono::milliseconds budget) override;
};

} // namespace sonvela
