// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "MessageLabelAccessible.h"

#include "MessageLabel.h"
#include "MessageListAccessible.h"

MessageLabelAccessible::MessageLabelAccessible(MessageLabel* label)
    : QAccessibleWidget(label, QAccessible::ListItem)
{
}

QString MessageLabelAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? label()->text() : QAccessibleWidget::text(t);
}

QAccessible::State MessageLabelAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.selectable = true;
    s.selected = label()->isSelected();
    return s;
}

QStringList MessageLabelAccessible::actionNames() const
{
    return {pressAction()};
}

void MessageLabelAccessible::doAction(const QString& action)
{
    if (action == pressAction()) {
        label()->click();
    }
}

QStringList MessageLabelAccessible::keyBindingsForAction(const QString& /*action*/) const
{
    return {};
}

QAccessibleInterface* MessageLabelAccessible::parent() const
{
    QWidget* panel = MessageListAccessible::panelOf(label()->parentWidget());
    return panel != nullptr ? QAccessible::queryAccessibleInterface(panel)
                            : QAccessibleWidget::parent();
}

MessageLabel* MessageLabelAccessible::label() const
{
    return static_cast<MessageLabel*>(widget());
}
