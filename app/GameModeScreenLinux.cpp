// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// gamescope runs its programs on an Xwayland of its own (DISPLAY), whose root window is the size
// of the picture it shows, so that is the screen the window must fit, whether Qt then goes
// through X11 or gamescope's Wayland.
#include "GameModeScale.h"

#include <dlfcn.h>
#include <xcb/xcb.h>

namespace bh {

namespace {

template <typename Function> Function* symbol(void* library, const char* name)
{
    return reinterpret_cast<Function*>(dlsym(library, name));
}

} // namespace

// The X client library is opened here rather than linked: only Game Mode needs it this early,
// and a desktop without X11 must still start the program.
ScreenPixels screenBeforeQt()
{
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (xcb == nullptr) {
        return {};
    }
    auto* connect = symbol<decltype(xcb_connect)>(xcb, "xcb_connect");
    auto* hasError = symbol<decltype(xcb_connection_has_error)>(xcb, "xcb_connection_has_error");
    auto* setup = symbol<decltype(xcb_get_setup)>(xcb, "xcb_get_setup");
    auto* roots = symbol<decltype(xcb_setup_roots_iterator)>(xcb, "xcb_setup_roots_iterator");
    auto* next = symbol<decltype(xcb_screen_next)>(xcb, "xcb_screen_next");
    auto* disconnect = symbol<decltype(xcb_disconnect)>(xcb, "xcb_disconnect");
    ScreenPixels found;
    if (connect != nullptr && hasError != nullptr && setup != nullptr && roots != nullptr &&
        next != nullptr && disconnect != nullptr) {
        int number = 0;
        xcb_connection_t* connection = connect(nullptr, &number);
        if (hasError(connection) == 0) {
            xcb_screen_iterator_t screen = roots(setup(connection));
            for (; screen.rem > 0 && number > 0; --number) {
                next(&screen);
            }
            if (screen.rem > 0) {
                found = {screen.data->width_in_pixels, screen.data->height_in_pixels};
            }
        }
        disconnect(connection); // also what a failed connection asks for
    }
    dlclose(xcb);
    return found;
}

} // namespace bh
