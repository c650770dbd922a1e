#include "Desktop.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace sonvela {
namespace {

class ConsoleDesktop final : public Desktop {
public:
    void ShowMessage(const MessageRequest& request) override {
        std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
    }
    bool AskYesNo(const MessageRequest& request) override {
        ShowMessage(request);
        return false;
    }
    void ProcessPendingEvents(std::chrono::milliseconds budget) override {
        std::this_thread::sleep_for(budget);
    }
};

ConsoleDesktop gConsoleDesktop;
std::atomic<Desktop*> gInstalled{nullptr};

} // namespace

Desktop& CurrentDesktop() {
    Desktop* installed = gInstalled.load();
    return installed ? *installed : gConsoleDesktop;
}

Desktop* InstallDesktop(Desktop* desktop) {
    return gInstalled.exchange(desktop);
}

} // namespace sonvela
