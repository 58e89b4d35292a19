// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "WindowFrameAccessible.h"

#include "ChosenTypeMarkAccessible.h"
#include "MessageLabel.h"

WindowFrameAccessible::WindowFrameAccessible(QWidget* window)
    : QAccessibleWidget(window, QAccessible::Window),
      chosenMark_(QAccessible::registerAccessibleInterface(new ChosenTypeMarkAccessible(window)))
{
}

WindowFrameAccessible::~WindowFrameAccessible()
{
    QAccessible::deleteAccessibleInterface(chosenMark_);
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
    return int(children().size()) + 1;
}

QAccessibleInterface* WindowFrameAccessible::child(int index) const
{
    const QList<QWidget*> controls = children();
    if (index == controls.size()) {
        return QAccessible::accessibleInterface(chosenMark_);
    }
    return index >= 0 && index < controls.size()
               ? QAccessible::queryAccessibleInterface(controls[index])
               : nullptr;
}

int WindowFrameAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (child == nullptr) {
        return -1;
    }
    const QList<QWidget*> controls = children();
    if (child == QAccessible::accessibleInterface(chosenMark_)) {
        return int(controls.size());
    }
    return int(controls.indexOf(qobject_cast<QWidget*>(child->object())));
}
