// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>

// The accessibility bus as Qt's AT-SPI bridge is connected to it: the bridge names its
// connection "a11y" (in Qt 5 and 6 alike). Not connected while the bridge is off.
inline QDBusConnection readerBus()
{
    return QDBusConnection(QStringLiteral("a11y"));
}
