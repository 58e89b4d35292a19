// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ChosenTypeMarkAccessible.h"

#include "MessageLabel.h"
#include "MessageListAccessible.h"
#include "WindowLayout.h"

namespace {

const QWidget* chosenName(const QWidget* window)
{
    for (const QWidget* name : MessageListAccessible::namesOf(window)) {
        if (static_cast<const MessageLabel*>(name)->isSelected()) {
            return name;
        }
    }
    return nullptr;
}

} // namespace

ChosenTypeMarkAccessible::ChosenTypeMarkAccessible(QWidget* window) : window_(window) {}

bool ChosenTypeMarkAccessible::isValid() const
{
    return window_ != nullptr;
}

QObject* ChosenTypeMarkAccessible::object() const
{
    return nullptr;
}

QWindow* ChosenTypeMarkAccessible::window() const
{
    return window_ != nullptr ? window_->windowHandle() : nullptr;
}

QVector<QPair<QAccessibleInterface*, QAccessible::Relation>>
ChosenTypeMarkAccessible::relations(QAccessible::Relation /*match*/) const
{
    return {};
}

QAccessibleInterface* ChosenTypeMarkAccessible::focusChild() const
{
    return nullptr;
}

QAccessibleInterface* ChosenTypeMarkAccessible::childAt(int /*x*/, int /*y*/) const
{
    return nullptr;
}

QAccessibleInterface* ChosenTypeMarkAccessible::parent() const
{
    return window_ != nullptr ? QAccessible::queryAccessibleInterface(window_) : nullptr;
}

QAccessibleInterface* ChosenTypeMarkAccessible::child(int /*index*/) const
{
    return nullptr;
}

int ChosenTypeMarkAccessible::childCount() const
{
    return 0;
}

int ChosenTypeMarkAccessible::indexOfChild(const QAccessibleInterface* /*child*/) const
{
    return -1;
}

QString ChosenTypeMarkAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Name ? QStringLiteral("chosen") : QString();
}

void ChosenTypeMarkAccessible::setText(QAccessible::Text /*t*/, const QString& /*text*/) {}

QRect ChosenTypeMarkAccessible::rect() const
{
    const QWidget* name = window_ != nullptr ? chosenName(window_) : nullptr;
    if (name == nullptr) {
        return {};
    }
    // Where the keyboard's mark stands beside a name, wherever the window puts the form, and as
    // tall as the name: a review of the screen takes objects that share their middle as one line.
    using bh::layout::kMessageLabels;
    using bh::layout::kSelectionMark;
    return {name->mapToGlobal(QPoint(kSelectionMark.first.left - kMessageLabels.first.left, 0)),
            QSize(kSelectionMark.first.width, name->height())};
}

QAccessible::Role ChosenTypeMarkAccessible::role() const
{
    return QAccessible::StaticText;
}

QAccessible::State ChosenTypeMarkAccessible::state() const
{
    QAccessible::State s;
    s.invisible = window_ == nullptr || !window_->isVisible();
    return s;
}
