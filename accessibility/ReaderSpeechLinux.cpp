// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ReaderBus.h"
#include "ReaderSpeech.h"

#include <QAccessible>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>

bool sayAsDescription(QAccessibleInterface* control, const QString& text)
{
    QDBusConnection bus = readerBus();
    if (!bus.isConnected()) {
        return false;
    }
    // An AT-SPI object event: its kind, two numbers, the new value, and the application it is of.
    QDBusArgument application;
    application.beginStructure();
    application << bus.baseService()
                << QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"));
    application.endStructure();
    QDBusMessage changed = QDBusMessage::createSignal(
        QStringLiteral("/org/a11y/atspi/accessible/%1").arg(QAccessible::uniqueId(control)),
        QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("PropertyChange"));
    changed << QStringLiteral("accessible-description") << 0 << 0
            << QVariant::fromValue(QDBusVariant(text)) << QVariant::fromValue(application);
    return bus.send(changed);
}
