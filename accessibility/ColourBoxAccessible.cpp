// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ColourBoxAccessible.h"

#include "ColourBox.h"

#include <QFontMetrics>

ColourBoxAccessible::ColourBoxAccessible(ColourBox* box)
    : QAccessibleWidget(box, QAccessible::EditableText)
{
    addControllingSignal(QStringLiteral("textChanged(QString)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

void* ColourBoxAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface) {
        return static_cast<QAccessibleTextInterface*>(this);
    }
    if (t == QAccessible::EditableTextInterface) {
        return static_cast<QAccessibleEditableTextInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(t);
}

QString ColourBoxAccessible::text(QAccessible::Text t) const
{
    return t == QAccessible::Value ? box()->text() : QAccessibleWidget::text(t);
}

void ColourBoxAccessible::setText(QAccessible::Text t, const QString& text)
{
    if (t == QAccessible::Value) {
        box()->setText(text);
    } else {
        QAccessibleWidget::setText(t, text);
    }
}

QAccessible::State ColourBoxAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.readOnly = box()->isReadOnly();
    s.selectableText = true;
    return s;
}

QString ColourBoxAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    const int length = characterCount();
    *startOffset = offset >= 0 && offset <= length ? 0 : offset;
    *endOffset = offset >= 0 && offset <= length ? length : offset;
    return {};
}

void ColourBoxAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && box()->hasSelectedText()) {
        *startOffset = box()->selectionStart();
        *endOffset = box()->selectionEnd();
    }
}

int ColourBoxAccessible::selectionCount() const
{
    return box()->hasSelectedText() ? 1 : 0;
}

void ColourBoxAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ColourBoxAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        box()->deselect();
    }
}

void ColourBoxAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0) {
        box()->setSelection(startOffset, endOffset - startOffset);
    }
}

int ColourBoxAccessible::cursorPosition() const
{
    return box()->cursorPosition();
}

void ColourBoxAccessible::setCursorPosition(int position)
{
    box()->setCursorPosition(position);
}

QString ColourBoxAccessible::text(int startOffset, int endOffset) const
{
    return startOffset > endOffset ? QString()
                                   : box()->text().mid(startOffset, endOffset - startOffset);
}

int ColourBoxAccessible::characterCount() const
{
    return int(box()->text().size());
}

QRect ColourBoxAccessible::characterRect(int offset) const
{
    const QString ch = text(offset, offset + 1);
    if (ch.isEmpty()) {
        return {};
    }
    const QFontMetrics metrics(box()->font());
    const QPoint topLeft(metrics.horizontalAdvance(text(0, offset)), box()->textMargins().top());
    return {box()->mapToGlobal(topLeft), QSize(metrics.horizontalAdvance(ch), metrics.height())};
}

int ColourBoxAccessible::offsetAtPoint(const QPoint& point) const
{
    return box()->cursorPositionAt(box()->mapFromGlobal(point));
}

void ColourBoxAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    box()->setCursorPosition(endIndex);
    box()->setCursorPosition(startIndex);
}

void ColourBoxAccessible::deleteText(int startOffset, int endOffset)
{
    box()->setText(box()->text().remove(startOffset, endOffset - startOffset));
}

void ColourBoxAccessible::insertText(int offset, const QString& text)
{
    box()->setText(box()->text().insert(offset, text));
}

void ColourBoxAccessible::replaceText(int startOffset, int endOffset, const QString& text)
{
    box()->setText(box()->text().replace(startOffset, endOffset - startOffset, text));
}

ColourBox* ColourBoxAccessible::box() const
{
    return static_cast<ColourBox*>(widget());
}
