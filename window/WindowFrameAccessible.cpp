// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowFrameAccessible.h"

#include "MessageLabel.h"

WindowFrameAccessible::WindowFrameAccessible(QWidget* window)
    : QAccessibleWidget(window, QAccessible::Window)
{
}

QList<QWidget*> WindowFrameAccessible::children() const
{
    // As Qt lists a widget's children, less the names, which the panel's list holds.
    QList<QWidget*> controls;
    for (QObject* o : widget()->children()) {
        auto* control = qobject_cast<QWidget*>(o);
        if (control != nullptr && !control->isWindow() &&
            qobject_cast<MessageLabel*>(control) == nullptr) {
            controls.append(control);
        }
    }
    return controls;
}

int WindowFrameAccessible::childCount() const
{
    return int(children().size());
}

QAccessibleInterface* WindowFrameAccessible::child(int index) const
{
    const QList<QWidget*> controls = children();
    return index >= 0 && index < controls.size()
               ? QAccessible::queryAccessibleInterface(controls[index])
               : nullptr;
}

int WindowFrameAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child != nullptr ? int(children().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
}
