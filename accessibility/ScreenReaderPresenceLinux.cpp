// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ScreenReaderPresence.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

bool screenReaderRunning()
{
    // The accessibility bus's own flag, which a desktop sets while its screen reader is on; the
    // bus's IsEnabled is also set for tools that never speak.
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled");
    get.setAutoStartService(false); // no bus, no reader: nothing is started to ask
    // A bus that does not answer at once holds the window for a moment at most.
    constexpr int kTimeoutMs = 500;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, kTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
           reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}
