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
#include <QtGlobal>
#include <cstdint>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <wayland-client-core.h>
#include <wayland-client-protocol.h>

namespace bh {

namespace {

enum class TitleBars { DrawnByCompositor, NotDrawn, Unknown };

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

// Asks the compositor for its list of globals, once. The Wayland client library is opened here
// rather than linked, so that an X11 desktop without it still starts the program.
TitleBars compositorTitleBars()
{
    const std::unique_ptr<void, int (*)(void*)> library(
        dlopen("libwayland-client.so.0", RTLD_LAZY | RTLD_LOCAL), dlclose);
    if (!library) {
        return TitleBars::Unknown;
    }
    auto* connect = symbol<decltype(wl_display_connect)>(library.get(), "wl_display_connect");
    auto* disconnect =
        symbol<decltype(wl_display_disconnect)>(library.get(), "wl_display_disconnect");
    auto* roundtrip = symbol<decltype(wl_display_roundtrip)>(library.get(), "wl_display_roundtrip");
    auto* marshal = symbol<decltype(wl_proxy_marshal_constructor)>(library.get(),
                                                                   "wl_proxy_marshal_constructor");
    auto* addListener =
        symbol<decltype(wl_proxy_add_listener)>(library.get(), "wl_proxy_add_listener");
    auto* destroy = symbol<decltype(wl_proxy_destroy)>(library.get(), "wl_proxy_destroy");
    const auto* registryInterface =
        static_cast<const wl_interface*>(dlsym(library.get(), "wl_registry_interface"));
    if (!connect || !disconnect || !roundtrip || !marshal || !addListener || !destroy ||
        !registryInterface) {
        return TitleBars::Unknown;
    }

    wl_display* display = connect(nullptr);
    if (!display) {
        return TitleBars::Unknown; // Qt goes on to X11 by itself
    }
    bool decorationManager = false;
    wl_proxy* registry = marshal(reinterpret_cast<wl_proxy*>(display), WL_DISPLAY_GET_REGISTRY,
                                 registryInterface, nullptr);
    wl_registry_listener listener{onGlobal, onGlobalRemove};
    bool answered = false;
    if (registry) {
        addListener(registry, reinterpret_cast<void (**)()>(&listener), &decorationManager);
        answered = roundtrip(display) >= 0;
        destroy(registry);
    }
    disconnect(display);
    if (!answered) {
        return TitleBars::Unknown;
    }
    return decorationManager ? TitleBars::DrawnByCompositor : TitleBars::NotDrawn;
}

} // namespace

void chooseDesktopPlatform()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return;
    }
    // Qt tries Wayland first in a Wayland session, and X11 only where DISPLAY names a server.
    const bool wayland =
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    // A WAYLAND_SOCKET is a connection handed over for Qt's use alone: probing would take it.
    if (!wayland || !qEnvironmentVariableIsSet("DISPLAY") ||
        qEnvironmentVariableIsSet("WAYLAND_SOCKET")) {
        return;
    }
    if (compositorTitleBars() == TitleBars::NotDrawn) {
        // Wayland stays as the fallback should the X server refuse the program.
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    }
}

} // namespace bh
