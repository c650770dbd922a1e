// Tells the program that the desktop session is ending: a log-off or a
// restart through the session manager, a shutdown announced by logind, or
// the termination signals a session sends its programs as it goes.
#pragma once

#include <functional>
#include <memory>

namespace sonvela {

class SessionEndWatcher {
public:
    virtual ~SessionEndWatcher() = default;
    // Called once, on the user-interface thread, when the session ends.
    virtual void SetHandler(std::function<void()> handler) = 0;
};

// Watches the session manager, logind and SIGTERM/SIGHUP. Needs the
// QGuiApplication to exist; one per process.
std::unique_ptr<SessionEndWatcher> MakeSessionEndWatcher();

} // namespace sonvela
