// Global keys on X11: a passive grab of each key on the root window, through
// Qt's own xcb connection so that the presses arrive in the application's
// event stream, where a native event filter picks them up.
#include "GlobalHotKeys.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <vector>
#include <xcb/xcb.h>

namespace sonvela {
namespace {

struct KeyName {
    int virtualKey;
    xcb_keysym_t keysym;
};

// X keysyms of the function keys.
constexpr KeyName kKeys[] = {{hotkeys::kF5, 0xFFC2},
                             {hotkeys::kF7, 0xFFC4},
                             {hotkeys::kF9, 0xFFC6},
                             {hotkeys::kF11, 0xFFC8}};

// A key is grabbed with and without the lock modifiers, so Num Lock and Caps
// Lock do not hide it.
constexpr std::uint16_t kLockVariants[] = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                           XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};

class XcbHotKeys final : public GlobalHotKeys, private QAbstractNativeEventFilter {
public:
    XcbHotKeys() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return;
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11 || !x11->connection() || !x11->display())
            return;
        connection_ = x11->connection();
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        xcb_screen_iterator_t screen = xcb_setup_roots_iterator(setup);
        if (!screen.rem) {
            connection_ = nullptr;
            return;
        }
        root_ = screen.data->root;
        minKeycode_ = setup->min_keycode;
        maxKeycode_ = setup->max_keycode;
        qGuiApp->installNativeEventFilter(this);
    }

    ~XcbHotKeys() override {
        if (qGuiApp)
            qGuiApp->removeNativeEventFilter(this);
    }

    bool Available() const override { return connection_ != nullptr; }

    bool Register(int virtualKey) override {
        if (!connection_)
            return false;
        const xcb_keycode_t keycode = KeycodeOf(virtualKey);
        if (!keycode)
            return false;
        std::vector<xcb_void_cookie_t> cookies;
        for (std::uint16_t modifiers : kLockVariants)
            cookies.push_back(xcb_grab_key_checked(connection_, 1, root_, modifiers, keycode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        bool refused = false;
        for (xcb_void_cookie_t cookie : cookies) {
            if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
                refused = true;
                std::free(error);
            }
        }
        if (refused) {
            // Another program holds the key (or one of its variants): leave
            // it to that program entirely.
            for (std::uint16_t modifiers : kLockVariants)
                xcb_ungrab_key(connection_, keycode, root_, modifiers);
            xcb_flush(connection_);
            return false;
        }
        grabbed_.push_back({virtualKey, keycode});
        return true;
    }

    void SetHandler(std::function<void(int)> handler) override { handler_ = std::move(handler); }

private:
    struct Grab {
        int virtualKey;
        xcb_keycode_t keycode;
    };

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7F) != XCB_KEY_PRESS)
            return false;
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        for (const Grab& grab : grabbed_) {
            if (press->detail == grab.keycode && press->root == root_ &&
                (press->state & ~(XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2)) == 0) {
                if (handler_)
                    handler_(grab.virtualKey);
                return true;
            }
        }
        return false;
    }

    xcb_keycode_t KeycodeOf(int virtualKey) const {
        xcb_keysym_t keysym = 0;
        for (const KeyName& key : kKeys) {
            if (key.virtualKey == virtualKey)
                keysym = key.keysym;
        }
        if (!keysym)
            return 0;
        const int count = maxKeycode_ - minKeycode_ + 1;
        xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
            connection_,
            xcb_get_keyboard_mapping(connection_, minKeycode_, static_cast<std::uint8_t>(count)),
            nullptr);
        if (!reply)
            return 0;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply);
        const int perCode = reply->keysyms_per_keycode;
        xcb_keycode_t found = 0;
        for (int code = 0; code < count && !found; ++code) {
            for (int column = 0; column < perCode; ++column) {
                if (keysyms[code * perCode + column] == keysym) {
                    found = static_cast<xcb_keycode_t>(minKeycode_ + code);
                    break;
                }
            }
        }
        std::free(reply);
        return found;
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_keycode_t minKeycode_ = 0;
    xcb_keycode_t maxKeycode_ = 0;
    std::vector<Grab> grabbed_;
    std::function<void(int)> handler_;
};

} // namespace

std::unique_ptr<GlobalHotKeys> MakeDesktopHotKeys() {
    return std::make_unique<XcbHotKeys>();
}

} // namespace sonvela
