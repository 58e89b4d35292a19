// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessible>
#include <QObject>

// A box selects its whole text as Tab enters it, before Qt tells the reader the focus moved, and
// drops the selection as the focus leaves it. A reader takes both for the player's own selecting
// and says "255 selected" before it says which box this is, and "Text unselected" on leaving.
// What is selected on entering is part of what it says for the focus anyway, so a box's
// selection changes reach it only while the reader holds that box as focused. The box itself
// selects and draws as before.
//
// Qt sends every accessibility event of the process through one update handler. The filter
// stands in front of Qt's own for as long as the application lives, as its child, and puts Qt's
// back when the application goes.
class ReaderEventFilter : public QObject {
public:
    // Once per application; later calls find the filter there.
    static void install();
    ~ReaderEventFilter() override;

private:
    explicit ReaderEventFilter(QObject* application);
    static void filter(QAccessibleEvent* event);
    void passToReader(QAccessibleEvent* event);

    static ReaderEventFilter* installed_;
    QAccessible::UpdateHandler qtHandler_ = nullptr;
    const QObject* readerFocus_ = nullptr; // the last control the reader was told has the focus
};
