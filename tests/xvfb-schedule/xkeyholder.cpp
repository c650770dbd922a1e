// Another X client for the hot-key tests.
//   xkeyholder window <title>  maps a window with that title and waits
//   xkeyholder grab <F5|F7|F9|F11>  tries to grab the key on the root window
//                                   (no modifiers): prints "grabbed" and
//                                   exits 0, or prints "refused" and exits 3
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

xcb_keycode_t KeycodeOf(xcb_connection_t* c, xcb_keysym_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)),
        nullptr);
    if (!reply)
        return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
    const int per = reply->keysyms_per_keycode;
    xcb_keycode_t found = 0;
    for (int i = 0; i < count * per && !found; ++i) {
        if (syms[i] == keysym)
            found = static_cast<xcb_keycode_t>(setup->min_keycode + i / per);
    }
    std::free(reply);
    return found;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3)
        return 2;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 2;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (std::strcmp(argv[1], "window") == 0) {
        const xcb_window_t window = xcb_generate_id(c);
        const std::uint32_t values[] = {screen->white_pixel,
                                        XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_EXPOSURE};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 700, 600, 300, 200, 1,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            static_cast<std::uint32_t>(std::strlen(argv[2])), argv[2]);
        xcb_map_window(c, window);
        xcb_flush(c);
        while (xcb_generic_event_t* event = xcb_wait_for_event(c))
            std::free(event);
        return 0;
    }
    if (std::strcmp(argv[1], "grab") == 0) {
        xcb_keysym_t keysym = 0;
        if (!std::strcmp(argv[2], "F5"))
            keysym = 0xFFC2;
        else if (!std::strcmp(argv[2], "F7"))
            keysym = 0xFFC4;
        else if (!std::strcmp(argv[2], "F9"))
            keysym = 0xFFC6;
        else if (!std::strcmp(argv[2], "F11"))
            keysym = 0xFFC8;
        const xcb_keycode_t code = KeycodeOf(c, keysym);
        if (!code)
            return 2;
        xcb_generic_error_t* error =
            xcb_request_check(c, xcb_grab_key_checked(c, 1, screen->root, 0, code,
                                                      XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::puts(error ? "refused" : "grabbed");
        std::free(error);
        xcb_disconnect(c);
        return error ? 3 : 0;
    }
    return 2;
}
