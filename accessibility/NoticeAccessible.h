// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleObject>

class ScreenReaderNotice;

// The notice as a screen reader finds it: a notification of the window, its name the text. The
// window does not list it among its children, as it is no control: a reader meets it only
// through the events that show it.
class NoticeAccessible : public QAccessibleObject {
public:
    explicit NoticeAccessible(ScreenReaderNotice* notice);

    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

    QString text(QAccessible::Text t) const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;

private:
    ScreenReaderNotice* notice() const;
};
