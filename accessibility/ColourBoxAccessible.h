// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

class ColourBox;

// A colour box as assistive technology finds it: a text box as Qt presents one, written out
// again for one answer: the text attributes. Qt 6.4's line-edit interface
// (QAccessibleLineEdit::attributes) answers every offset with an empty run starting and ending at
// that offset, as a line edit has no attributes. Orca walks the runs to read a box on focus and,
// given empty ones, reads "25" for 255. Here the one run covers the whole text. When every Qt the
// program builds with (Debian's, and the same version built for Windows) answers with a run over
// the whole text, the text and editable-text halves here can go back to Qt's own.
class ColourBoxAccessible : public QAccessibleWidget,
                            public QAccessibleTextInterface,
                            public QAccessibleEditableTextInterface {
public:
    explicit ColourBoxAccessible(ColourBox* box);

    void* interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QAccessible::State state() const override;

    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    // Measured from the start of the text, as Qt's own line edit does.
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    ColourBox* box() const;
};
