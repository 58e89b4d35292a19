// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessible>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class ColourBox;

// What of the window's accessibility events reaches a screen reader, and when. A reader queues
// every event it is sent and, once more than about fifty wait, drops the ones it deems minor
// (Orca drops a notification's showing, the very event that speaks it). Choosing a type changes
// the selected name, three bars and three boxes, so a fast run of choices would flood it; the
// reader is told only what it can speak of:
//  - a bar's value and a box's text only while the reader is on that control: it reads them
//    afresh when it gets there;
//  - a changed name or description of a bar or box the reader is not on only when it gets there,
//    just before the focus, so no reader keeps an old one in its cache;
//  - during a run of choices, nothing of the names, bars and boxes: what the run changed is told
//    once, as it then stands, when the run is told (ScreenReaderNotice).
//
// A box selects its whole text as Tab enters it, before Qt tells the reader the focus moved, and
// drops the selection as the focus leaves it. A reader takes both for the player's own selecting
// and says "255 selected" before it says which box this is, and "Text unselected" on leaving.
// What is selected on entering is part of what it says for the focus anyway, so a box's
// selection changes reach it only while the reader holds that box as focused, like its text.
// The controls themselves select and draw as before.
//
// Qt sends every accessibility event of the process through one update handler. The filter
// stands in front of Qt's own for as long as the application lives, as its child, and puts Qt's
// back when the application goes.
class ReaderEventFilter : public QObject {
public:
    // Once per application; later calls find the filter there.
    static void install();
    ~ReaderEventFilter() override;

    // From a choice of type until the run of choices is told: what changes with the choice
    // waits, and then goes to the reader ahead of the words that tell it.
    static void holdChoice();
    static void releaseChoice();

private:
    struct Change {
        QPointer<QObject> object;
        QAccessible::Event type = QAccessible::InvalidEvent;
        bool wasSelected = false; // a name's selection as the reader last heard of it
    };

    explicit ReaderEventFilter(QObject* application);
    static void filter(QAccessibleEvent* event);
    void passToReader(QAccessibleEvent* event);
    bool holds(QAccessibleEvent* event);
    void hold(QAccessibleEvent* event);
    void release();
    void tellUnheard(const QObject* control);
    void send(QAccessibleEvent* event);

    static ReaderEventFilter* installed_;
    QAccessible::UpdateHandler qtHandler_ = nullptr;
    const QObject* readerFocus_ = nullptr; // the last control the reader was told has the focus
    bool holding_ = false;
    QList<Change> held_;          // during a run of choices
    QList<Change> unheard_;       // names and descriptions of controls the reader is not on
    QPointer<ColourBox> heldBox_; // the focused box whose text a run changed, and its text before
    QString heldBoxText_;
};
