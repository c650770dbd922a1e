// System-wide hot keys: F5, F7, F9 and F11 without modifiers, reaching the
// program whichever window has the focus, and withheld from other programs
// while it runs.
#pragma once

#include <functional>
#include <memory>

namespace sonvela {

// The keys' codes as the program knows them.
namespace hotkeys {
constexpr int kF5 = 116;
constexpr int kF7 = 118;
constexpr int kF9 = 120;
constexpr int kF11 = 122;
} // namespace hotkeys

class GlobalHotKeys {
public:
    virtual ~GlobalHotKeys() = default;

    // Whether this desktop offers global keys at all.
    virtual bool Available() const = 0;
    // Takes the key; false when the desktop refuses it (another program
    // holds it) or offers no global keys.
    virtual bool Register(int virtualKey) = 0;
    // Called with the key's code on every press of a registered key.
    virtual void SetHandler(std::function<void(int virtualKey)> handler) = 0;
};

// The X11 implementation on the application's own connection; on any other
// platform (Wayland, offscreen) it is there but not Available. Needs the
// QGuiApplication to exist.
std::unique_ptr<GlobalHotKeys> MakeDesktopHotKeys();

} // namespace sonvela
