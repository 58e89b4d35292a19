// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "MessageListAccessible.h"

#include "MessageLabel.h"
#include "MessagePanel.h"

namespace {

int indexIn(const QList<QWidget*>& widgets, const QAccessibleInterface* child)
{
    return child != nullptr ? int(widgets.indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
}

QAccessibleInterface* at(const QList<QWidget*>& widgets, int index)
{
    return index >= 0 && index < widgets.size()
               ? QAccessible::queryAccessibleInterface(widgets[index])
               : nullptr;
}

} // namespace

MessageListAccessible::MessageListAccessible(QWidget* panel)
    : QAccessibleWidget(panel, QAccessible::List)
{
}

QWidget* MessageListAccessible::panelOf(const QWidget* window)
{
    return window->findChild<MessagePanel*>(QString(), Qt::FindDirectChildrenOnly);
}

QList<QWidget*> MessageListAccessible::namesOf(const QWidget* window)
{
    QList<QWidget*> names;
    for (MessageLabel* name :
         window->findChildren<MessageLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        names.append(name);
    }
    return names;
}

QString MessageListAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? QStringLiteral("Message types") : QAccessibleWidget::text(t);
}

int MessageListAccessible::childCount() const
{
    return int(namesOf(widget()->parentWidget()).size());
}

QAccessibleInterface* MessageListAccessible::child(int index) const
{
    return at(namesOf(widget()->parentWidget()), index);
}

int MessageListAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return indexIn(namesOf(widget()->parentWidget()), child);
}
