// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "NoticeAccessible.h"

#include "ScreenReaderNotice.h"

NoticeAccessible::NoticeAccessible(ScreenReaderNotice* notice) : QAccessibleObject(notice) {}

QAccessibleInterface* NoticeAccessible::parent() const
{
    return QAccessible::queryAccessibleInterface(object()->parent());
}

QAccessibleInterface* NoticeAccessible::child(int /*index*/) const
{
    return nullptr;
}

int NoticeAccessible::childCount() const
{
    return 0;
}

int NoticeAccessible::indexOfChild(const QAccessibleInterface* /*child*/) const
{
    return -1;
}

QString NoticeAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? notice()->textForReader() : QString();
}

QAccessible::Role NoticeAccessible::role() const
{
    return QAccessible::Notification;
}

QAccessible::State NoticeAccessible::state() const
{
    QAccessible::State s;
    s.invisible = true;
    return s;
}

ScreenReaderNotice* NoticeAccessible::notice() const
{
    return static_cast<ScreenReaderNotice*>(object());
}
