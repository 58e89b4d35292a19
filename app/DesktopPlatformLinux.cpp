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
#include <QByteArrayList>
#include <QDeadlineTimer>
#include <QtGlobal>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <wayland-client-core.h>
#include <wayland-client-protocol.h>

namespace bh {

namespace {

enum class TitleBars { DrawnByCompositor, NotDrawn, Unknown, NoAnswer };

// A compositor that is stopped, frozen or hung up gets no longer than this to list its globals:
// the player is waiting for a window.
constexpr int kProbeDeadlineMs = 500;

constexpr int kConnectRetryMs = 20;

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
    decltype(wl_display_connect_to_fd)* connectToFd;
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
        : connectToFd(
              symbol<decltype(wl_display_connect_to_fd)>(library, "wl_display_connect_to_fd")),
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
        return connectToFd && disconnect && getFd && flush && prepareRead && cancelRead &&
               readEvents && dispatchPending && marshal && addListener && destroy &&
               registryInterface && callbackInterface;
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

enum class Connection { Made, NoCompositor, NoAnswer };

// Connects to the compositor's socket as the Wayland client library would, but within the
// deadline: a compositor that stopped taking connections leaves them waiting in its queue, and
// once that is full, connect() would wait for good.
Connection connectWithin(const QDeadlineTimer& deadline, int& socketOut)
{
    QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty()) {
        name = "wayland-0";
    }
    if (!name.startsWith('/')) {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        if (runtime.isEmpty()) {
            return Connection::NoCompositor;
        }
        name = runtime + '/' + name;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(name.size()) >= sizeof address.sun_path) {
        return Connection::NoCompositor;
    }
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0) {
        return Connection::NoCompositor;
    }
    for (;;) {
        if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            socketOut = socket;
            return Connection::Made;
        }
        const int error = errno;
        if (error != EAGAIN && error != EINTR) {
            ::close(socket);
            return Connection::NoCompositor;
        }
        if (deadline.hasExpired()) {
            ::close(socket);
            return Connection::NoAnswer;
        }
        ::poll(nullptr, 0, kConnectRetryMs); // a full queue gives no event to wait for
    }
}

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
    int socket = -1;
    switch (connectWithin(deadline, socket)) {
    case Connection::NoCompositor:
        return TitleBars::Unknown; // Qt goes on to X11 by itself
    case Connection::NoAnswer:
        return TitleBars::NoAnswer;
    case Connection::Made:
        break;
    }
    wl_display* display = client.connectToFd(socket);
    if (!display) {
        ::close(socket);
        return TitleBars::Unknown;
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

enum class XServer { Answers, Refuses, Silent, Unknown };

// Makes one connection to the X server DISPLAY names, as Qt's would, and waits no longer than
// the deadline for its answer: xcb waits for good on a server that is stopped. The connection
// is made on a thread of its own, which a server that never answers keeps to the end.
XServer xServerAnswer()
{
    // Never closed: the thread may still be inside it when the program ends.
    void* library = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (!library) {
        return XServer::Unknown; // Qt cannot use X11 either, and says so
    }
    using Connect = void*(const char*, int*);
    using HasError = int(void*);
    using Disconnect = void(void*);
    auto* connect = symbol<Connect>(library, "xcb_connect");
    auto* hasError = symbol<HasError>(library, "xcb_connection_has_error");
    auto* disconnect = symbol<Disconnect>(library, "xcb_disconnect");
    if (!connect || !hasError || !disconnect) {
        return XServer::Unknown;
    }
    const std::optional<bool> answer = askXServerWithinDeadline([=] {
        void* connection = connect(nullptr, nullptr);
        const bool answered = hasError(connection) == 0;
        // An answered connection stays open: were it the server's only client, closing it
        // would reset the server (as Xvfb and a bare xinit do), and refuse Qt's connection
        // that comes a moment later.
        if (!answered) {
            disconnect(connection);
        }
        return answered;
    });
    if (!answer) {
        return XServer::Silent;
    }
    return *answer ? XServer::Answers : XServer::Refuses;
}

// Whether Qt, given QT_QPA_PLATFORM as it is now, tries X11 before anything else.
bool x11First(bool waylandSession)
{
    const QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    if (platforms.isEmpty()) {
        return !waylandSession;
    }
    return platforms.split(';').constFirst().split(':').constFirst() == "xcb";
}

// The X server that Qt is about to use, checked: false, with the reason on standard error, for
// a server that does not answer in time. One that refuses is left to Qt, which tries Wayland next
// where there is one and otherwise ends the start with its own words.
bool xServerAnswersInTime()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") || xServerAnswer() != XServer::Silent) {
        return true;
    }
    std::fprintf(stderr,
                 "Brackenholt Config cannot open its window: the X server named by DISPLAY (%s) "
                 "does not answer.\n",
                 qgetenv("DISPLAY").constData());
    return false;
}

} // namespace

bool chooseDesktopPlatform()
{
    // Qt tries Wayland first in a Wayland session, and X11 only where DISPLAY names a server.
    const bool wayland =
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return !x11First(wayland) || xServerAnswersInTime();
    }
    // A WAYLAND_SOCKET is a connection handed over for Qt's use alone: probing would take it.
    if (!wayland || qEnvironmentVariableIsSet("WAYLAND_SOCKET")) {
        return !x11First(wayland) || xServerAnswersInTime();
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
        return xServerAnswersInTime();
    case TitleBars::NotDrawn:
        if (x11) {
            // Wayland stays as the fallback should the X server refuse the program, or not
            // answer at all.
            qputenv("QT_QPA_PLATFORM",
                    xServerAnswer() == XServer::Silent ? "wayland" : "xcb;wayland");
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
