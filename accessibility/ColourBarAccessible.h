// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessibleWidget>

class ColourBar;

// A colour bar presents the component it stands for, so a screen reader says "255" for a bar
// at full intensity, where the raw scroll position is 0. A value set from outside moves the bar
// like a drag that ends there: the bar's own Change handler does the rest.
//
// A review of the screen reads what a control shows as text, and of a bar with none only its
// role and its value as a share of its range ("scroll bar 100 percent"). So the bar shows, for
// reading only, what it edits and its value as the player set it: "Red of Targets, 255", over the
// whole bar. Nothing reads it on focus, where the name and the value are said as they are.
class ColourBarAccessible : public QAccessibleWidget,
                            public QAccessibleValueInterface,
                            public QAccessibleTextInterface {
public:
    explicit ColourBarAccessible(ColourBar* bar);

    void* interface_cast(QAccessible::InterfaceType t) override;
    QString text(QAccessible::Text t) const override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int /*startOffset*/, int /*endOffset*/) override {}
    void removeSelection(int /*selectionIndex*/) override {}
    void setSelection(int /*selectionIndex*/, int /*startOffset*/, int /*endOffset*/) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    void scrollToSubstring(int /*startIndex*/, int /*endIndex*/) override {}

private:
    ColourBar* bar() const;
    QString shown() const;
};
