// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

class MessageLabel;

// A message name as assistive technology finds it: one item of the list of message types, the
// selected one being edited, pressed like a click.
class MessageLabelAccessible : public QAccessibleWidget {
public:
    explicit MessageLabelAccessible(MessageLabel* label);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;
    QStringList keyBindingsForAction(const QString& action) const override;
    // An item of the list the panel behind the names stands for.
    QAccessibleInterface* parent() const override;

private:
    MessageLabel* label() const;
};
