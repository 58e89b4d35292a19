// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "MessageLabel.h"

#include <QAccessible>
#include <QMouseEvent>

MessageLabel::MessageLabel(QWidget* parent) : QLabel(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

QColor MessageLabel::textColour() const
{
    return palette().color(QPalette::WindowText);
}

void MessageLabel::setTextColour(const bh::Colour& rgb)
{
    const QColor colour(rgb[0], rgb[1], rgb[2]);
    if (colour == textColour()) {
        return;
    }
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

void MessageLabel::click()
{
    emit clicked();
}

void MessageLabel::setSelected(bool selected)
{
    if (selected == selected_) {
        return;
    }
    selected_ = selected;
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent stateChange(this, changed);
    QAccessible::updateAccessibility(&stateChange);
    // Qt's AT-SPI bridge announces a selected state only from a selection event.
    QAccessibleEvent selection(this,
                               selected ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    QAccessible::updateAccessibility(&selection);
}

void MessageLabel::mousePressEvent(QMouseEvent* event)
{
    // A plain label lets presses through to the panel behind; take them so the release that
    // completes the click comes back here.
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void MessageLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = std::exchange(pressed_, false);
    event->accept();
    // Like a button: the click counts only if the pointer is still on the name when released.
    if (wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint())) {
        click();
    }
}
