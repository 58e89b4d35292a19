// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>
#include <QList>

// The dark panel behind the message names, as assistive technology finds it: the one list of the
// 14 message types, in their order, so a reader can say where the names are, how many there are
// and which one is selected. On screen and for the mouse and Tab the names stay the window's own
// controls; only the accessible tree puts them in the panel they are drawn on.
class MessageListAccessible : public QAccessibleWidget {
public:
    explicit MessageListAccessible(QWidget* panel);

    // The panel of the window holding the names; null when the window has none.
    static QWidget* panelOf(const QWidget* window);
    // The names, first to last.
    static QList<QWidget*> namesOf(const QWidget* window);

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
};
