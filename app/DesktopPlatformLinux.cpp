// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// A Wayland window's title bar is drawn either by the compositor (KDE, sway and the other
// wlroots desktops offer the xdg-decoration protocol for it) or by the program itself (GNOME's
// mutter and weston draw none for Wayland windows). Qt 6.4 draws its own bar only with an
// OpenGL buffer integration loaded, which starts the OpenGL driver for a window painted in
// software, and the maximise button of that bar ends a fixed-size window with a protocol error
// on mutter: the player's changes would be lost. Every compositor's X11 window manager does draw
// a bar, with no maximise for a window that cannot be resized, so where the compositor draws
// none and Xwayland is there, the window goes through X11. Qt's own order stays for the rest:
// Wayland where the compositor draws the bar, and Wayland without a bar where there is no
// Xwayland (the window still works; the compositor's keys move and close it).
#include "DesktopPlatform.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QtGlobal>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <poll.h>
#include <wayland-client-core.h>
#include <wayland-client-protocol.h>

namespace bh {

namespace {

enum class TitleBars { DrawnByCompositor, NotDrawn, Unknown, NoAnswer };

// A compositor that is stopped, frozen or hung up gets no longer than this to list its globals:
// the player is waiting for a window.
constexpr int kProbeDeadlineMs = 500;

template <typename Function> Function* symbol(void* library, const char* name)
{
    return reinterpret_cast<Function*>(dlsym(library, name));
}

void onGlobal(void* data, wl_registry* /*registry*/, std::uint32_t /*name*/, const char* interface,
              std::uint32_t /*version*/)
{
    if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0) {
        *static_cast<bool*>(data) = true;
    }
}

void onGlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

void onDone(void* data, wl_callback* /*callback*/, std::uint32_t /*serial*/)
{
    *static_cast<bool*>(data) = true;
}

// The Wayland client calls the probe needs, opened here rather than linked, so that an X11
// desktop without the library still starts the program.
struct WaylandClient {
    decltype(wl_display_connect)* connect;
    decltype(wl_display_disconnect)* disconnect;
    decltype(wl_display_get_fd)* getFd;
    decltype(wl_display_flush)* flush;
    decltype(wl_display_prepare_read)* prepareRead;
    decltype(wl_display_cancel_read)* cancelRead;
    decltype(wl_display_read_events)* readEvents;
    decltype(wl_display_dispatch_pending)* dispatchPending;
    decltype(wl_proxy_marshal_constructor)* marshal;
    decltype(wl_proxy_add_listener)* addListener;
    decltype(wl_proxy_destroy)* destroy;
    const wl_interface* registryInterface;
    const wl_interface* callbackInterface;

    explicit WaylandClient(void* library)
        : connect(symbol<decltype(wl_display_connect)>(library, "wl_display_connect")),
          disconnect(symbol<decltype(wl_display_disconnect)>(library, "wl_display_disconnect")),
          getFd(symbol<decltype(wl_display_get_fd)>(library, "wl_display_get_fd")),
          flush(symbol<decltype(wl_display_flush)>(library, "wl_display_flush")),
          prepareRead(
              symbol<decltype(wl_display_prepare_read)>(library, "wl_display_prepare_read")),
          cancelRead(symbol<decltype(wl_display_cancel_read)>(library, "wl_display_cancel_read")),
          readEvents(symbol<decltype(wl_display_read_events)>(library, "wl_display_read_events")),
          dispatchPending(symbol<decltype(wl_display_dispatch_pending)>(
              library, "wl_display_dispatch_pending")),
          marshal(symbol<decltype(wl_proxy_marshal_constructor)>(library,
                                                                 "wl_proxy_marshal_constructor")),
          addListener(symbol<decltype(wl_proxy_add_listener)>(library, "wl_proxy_add_listener")),
          destroy(symbol<decltype(wl_proxy_destroy)>(library, "wl_proxy_destroy")),
          registryInterface(
              static_cast<const wl_interface*>(dlsym(library, "wl_registry_interface"))),
          callbackInterface(
              static_cast<const wl_interface*>(dlsym(library, "wl_callback_interface")))
    {
    }

    bool complete() const
    {
        return connect && disconnect && getFd && flush && prepareRead && cancelRead && readEvents &&
               dispatchPending && marshal && addListener && destroy && registryInterface &&
               callbackInterface;
    }

    // Reads and dispatches what the compositor sends until *done or the deadline; false on a
    // timeout, a broken connection or a protocol error.
    bool waitFor(wl_display* display, const bool* done, const QDeadlineTimer& deadline) const
    {
        while (!*done) {
            while (prepareRead(display) != 0) {
                if (dispatchPending(display) < 0) {
                    return false;
                }
                if (*done) {
                    return true;
                }
            }
            pollfd socket{getFd(display), POLLIN, 0};
            const int flushed = flush(display);
            const int remaining = static_cast<int>(deadline.remainingTime());
            if ((flushed < 0 && errno != EAGAIN) || remaining <= 0 ||
                poll(&socket, 1, remaining) <= 0 || (socket.revents & POLLIN) == 0) {
                cancelRead(display);
                return false; // a hang-up without a last word counts as no answer too
            }
            if (readEvents(display) < 0 || dispatchPending(display) < 0) {
                return false;
            }
        }
        return true;
    }
};

// Asks the compositor for its list of globals, once, and waits no longer than the deadline.
TitleBars compositorTitleBars()
{
    const std::unique_ptr<void, int (*)(void*)> library(
        dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_LOCAL), dlclose);
    if (!library) {
        return TitleBars::Unknown;
    }
    const WaylandClient client(library.get());
    if (!client.complete()) {
        return TitleBars::Unknown;
    }
    const QDeadlineTimer deadline(kProbeDeadlineMs);
    wl_display* display = client.connect(nullptr);
    if (!display) {
        return TitleBars::Unknown; // no compositor there: Qt goes on to X11 by itself
    }
    bool decorationManager = false;
    bool done = false;
    auto* proxy = reinterpret_cast<wl_proxy*>(display);
    wl_proxy* registry =
        client.marshal(proxy, WL_DISPLAY_GET_REGISTRY, client.registryInterface, nullptr);
    wl_proxy* callback = client.marshal(proxy, WL_DISPLAY_SYNC, client.callbackInterface, nullptr);
    wl_registry_listener registryListener{onGlobal, onGlobalRemove};
    wl_callback_listener callbackListener{onDone};
    bool answered = false;
    if (registry && callback) {
        client.addListener(registry, reinterpret_cast<void (**)()>(&registryListener),
                           &decorationManager);
        client.addListener(callback, reinterpret_cast<void (**)()>(&callbackListener), &done);
        answered = client.waitFor(display, &done, deadline);
    }
    for (wl_proxy* made : {callback, registry}) {
        if (made) {
            client.destroy(made);
        }
    }
    client.disconnect(display);
    if (!answered) {
        return TitleBars::NoAnswer;
    }
    return decorationManager ? TitleBars::DrawnByCompositor : TitleBars::NotDrawn;
}

} // namespace

bool chooseDesktopPlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return true;
    }
    // Qt tries Wayland first in a Wayland session, and X11 only where DISPLAY names a server.
    const bool wayland =
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    // A WAYLAND_SOCKET is a connection handed over for Qt's use alone: probing would take it.
    if (!wayland || qEnvironmentVariableIsSet("WAYLAND_SOCKET")) {
        return true;
    }
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    switch (compositorTitleBars()) {
    case TitleBars::NoAnswer:
        if (!x11) {
            const QByteArray name = qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
                                        ? QByteArray("wayland-0")
                                        : qgetenv("WAYLAND_DISPLAY");
            std::fprintf(stderr,
                         "Brackenholt Config cannot open its window: the Wayland compositor "
                         "named by WAYLAND_DISPLAY (%s) does not answer, and DISPLAY names no "
                         "X server to use instead.\n",
                         name.constData());
            return false;
        }
        // Qt's Wayland platform would wait on that compositor for good; X11 alone keeps clear.
        qputenv("QT_QPA_PLATFORM", "xcb");
        return true;
    case TitleBars::NotDrawn:
        if (x11) {
            // Wayland stays as the fallback should the X server refuse the program.
            qputenv("QT_QPA_PLATFORM", "xcb;wayland");
        }
        break;
    case TitleBars::DrawnByCompositor:
    case TitleBars::Unknown:
        break;
    }
    // On Wayland the bar is the compositor's or none: the folder has no OpenGL buffer
    // integration to draw Qt's own, and asking for one only warns on standard error.
    if (!qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION")) {
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    }
    return true;
}

} // namespace bh
