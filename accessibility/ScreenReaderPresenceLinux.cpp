// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ReaderBus.h"
#include "ScreenReaderPresence.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QHash>
#include <algorithm>

namespace {

// A bus that does not answer at once holds the window for a moment at most.
constexpr int kTimeoutMs = 500;

// The accessibility bus's own flag, which a desktop's switch sets while its screen reader is on.
bool desktopReaderSwitchedOn()
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled");
    get.setAutoStartService(false); // no bus, no reader: nothing is started to ask
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, kTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

// What a client asked the registry to be sent, as "Object:StateChanged:Focused" or
// "object:state-changed:focused", and whether that takes in the event named in the first form.
bool takesIn(QString registered, const QString& event)
{
    registered.remove(QLatin1Char('-'));
    return event.startsWith(registered, Qt::CaseInsensitive);
}

// A client that follows the focus and hears what is typed: a screen reader, whether the desktop's
// switch started it or the player did (Orca started from a terminal, a launcher or its own
// autostart sets only IsEnabled). A magnifier or an on-screen keyboard follows the focus or the
// caret, and neither asks for the text a player types.
bool readerRegistered()
{
    QDBusConnection bus = readerBus();
    if (!bus.isConnected()) {
        return false;
    }
    const QDBusMessage ask = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/registry"),
        QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("GetRegisteredEvents"));
    const QDBusMessage reply = bus.call(ask, QDBus::Block, kTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    enum Heard { Focus = 1, Typing = 2 };
    QHash<QString, int> heard; // by the client's name on the bus
    const auto listeners = reply.arguments().constFirst().value<QDBusArgument>();
    listeners.beginArray();
    while (!listeners.atEnd()) {
        QString client;
        QString event;
        listeners.beginStructure();
        listeners >> client >> event;
        listeners.endStructure();
        if (takesIn(event, QStringLiteral("Object:StateChanged:Focused")) ||
            takesIn(event, QStringLiteral("Focus:"))) {
            heard[client] |= Focus;
        }
        if (takesIn(event, QStringLiteral("Object:TextChanged:Insert"))) {
            heard[client] |= Typing;
        }
    }
    listeners.endArray();
    return std::any_of(heard.cbegin(), heard.cend(), [](int h) { return h == (Focus | Typing); });
}

} // namespace

bool screenReaderRunning()
{
    return desktopReaderSwitchedOn() || readerRegistered();
}
