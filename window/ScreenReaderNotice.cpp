// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ScreenReaderNotice.h"

#include <QAccessible>
#include <QWidget>
#include <utility>

ScreenReaderNotice::ScreenReaderNotice(QWidget* window) : QObject(window)
{
    setObjectName(QStringLiteral("screenReaderNotice"));
}

void ScreenReaderNotice::announce(const QString& text, Kind kind)
{
    // Without assistive technology there is no one to tell, and nothing is queued.
    if (text.isEmpty() || !QAccessible::isActive()) {
        return;
    }
    const bool first = pending_.isEmpty();
    if (kind == Kind::Choice) {
        if (pendingChoice_ >= 0) {
            pending_.removeAt(pendingChoice_);
        }
        pendingChoice_ = pending_.size();
    }
    pending_ << text;
    if (first) {
        QMetaObject::invokeMethod(this, &ScreenReaderNotice::show, Qt::QueuedConnection);
    }
}

void ScreenReaderNotice::show()
{
    text_ = std::exchange(pending_, {}).join(QStringLiteral(", "));
    pendingChoice_ = -1;
    showing_ = true;
    // The name first, so a reader that keeps names in a cache reads the new one.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    showing_ = false;
}

QString ScreenReaderNotice::textForReader()
{
    if (!showing_) {
        emit readerFetched(text_);
    }
    return text_;
}
