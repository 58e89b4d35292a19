// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// gamescope runs its programs on an Xwayland of its own (DISPLAY), whose root window is the size
// of the picture it shows, so that is the screen the window must fit, whether Qt then goes
// through X11 or gamescope's Wayland.
#include "DesktopPlatform.h"
#include "GameModeScale.h"

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <string_view>
#include <xcb/xcb.h>

namespace bh {

namespace {

template <typename Function> Function* symbol(void* library, const char* name)
{
    return reinterpret_cast<Function*>(dlsym(library, name));
}

// The dots per inch the X resources give Xft.dpi, which Qt's X11 platform scales every window
// by (against 96); 0 where none is set.
double resourceDpi(std::string_view resources)
{
    constexpr std::string_view kName = "Xft.dpi:";
    for (std::size_t at = 0; at < resources.size();) {
        const std::size_t end = std::min(resources.find('\n', at), resources.size());
        const std::string_view line = resources.substr(at, end - at);
        if (line.starts_with(kName)) {
            return std::atof(std::string(line.substr(kName.size())).c_str());
        }
        at = end + 1;
    }
    return 0;
}

// The root window's size of the screen DISPLAY names, and the scale its Xft.dpi sets.
ScreenPixels askXServer(void* xcb)
{
    auto* connect = symbol<decltype(xcb_connect)>(xcb, "xcb_connect");
    auto* hasError = symbol<decltype(xcb_connection_has_error)>(xcb, "xcb_connection_has_error");
    auto* setup = symbol<decltype(xcb_get_setup)>(xcb, "xcb_get_setup");
    auto* roots = symbol<decltype(xcb_setup_roots_iterator)>(xcb, "xcb_setup_roots_iterator");
    auto* next = symbol<decltype(xcb_screen_next)>(xcb, "xcb_screen_next");
    auto* disconnect = symbol<decltype(xcb_disconnect)>(xcb, "xcb_disconnect");
    auto* getProperty = symbol<decltype(xcb_get_property)>(xcb, "xcb_get_property");
    auto* propertyReply = symbol<decltype(xcb_get_property_reply)>(xcb, "xcb_get_property_reply");
    auto* value = symbol<decltype(xcb_get_property_value)>(xcb, "xcb_get_property_value");
    auto* valueLength =
        symbol<decltype(xcb_get_property_value_length)>(xcb, "xcb_get_property_value_length");
    if (connect == nullptr || hasError == nullptr || setup == nullptr || roots == nullptr ||
        next == nullptr || disconnect == nullptr || getProperty == nullptr ||
        propertyReply == nullptr || value == nullptr || valueLength == nullptr) {
        return {};
    }
    ScreenPixels found;
    int number = 0;
    xcb_connection_t* connection = connect(nullptr, &number);
    if (hasError(connection) == 0) {
        xcb_screen_iterator_t screen = roots(setup(connection));
        for (; screen.rem > 0 && number > 0; --number) {
            next(&screen);
        }
        if (screen.rem > 0) {
            found = {screen.data->width_in_pixels, screen.data->height_in_pixels};
            constexpr std::uint32_t kLongest = 1U << 16U; // in 32-bit units
            xcb_get_property_reply_t* reply =
                propertyReply(connection,
                              getProperty(connection, 0, screen.data->root,
                                          XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, kLongest),
                              nullptr);
            if (reply != nullptr) {
                const double dpi =
                    resourceDpi({static_cast<const char*>(value(reply)),
                                 static_cast<std::size_t>(std::max(0, valueLength(reply)))});
                if (dpi > 0) {
                    found.platformScale = dpi / 96.0;
                }
                std::free(reply);
            }
        }
    }
    disconnect(connection); // also what a failed connection asks for
    return found;
}

} // namespace

// The X client library is opened here rather than linked: only Game Mode needs it this early,
// and a desktop without X11 must still start the program. xcb waits for good on a server that
// is stopped, so the asking runs on a thread of its own, which such a server keeps to the end,
// and the window goes without a scale of its own after the deadline.
ScreenPixels screenBeforeQt()
{
    // Never closed: the thread may still be inside it when the program ends.
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (xcb == nullptr) {
        return {};
    }
    return askXServerWithinDeadline([xcb] { return askXServer(xcb); }).value_or(ScreenPixels{});
}

} // namespace bh
