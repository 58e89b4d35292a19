// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QAccessible>
#include <QList>
#include <QPointer>
#include <QString>

// What of the window's accessibility events reaches a screen reader, and when. A reader queues
// every event it is sent and, once more than about fifty wait, drops the ones it deems minor
// (Orca drops a notification's showing, the very event that speaks it). Choosing a type changes
// the selected name, three bars and three boxes, so a fast run of choices would flood it; the
// reader is told only what it can speak of:
//  - a bar's value and a box's text only while the reader is on that control, and never as a
//    choice changes them: it reads them afresh when it gets there;
//  - a changed name or description of a bar or box the reader is not on only when it gets there,
//    just before the focus, so no reader keeps an old one in its cache;
//  - from a choice until it is told, nothing of the names' selection and the editors' names:
//    what a run of choices changed is told once, as it then stands, when the run is told
//    (ScreenReaderNotice).
//
// A box selects its whole text as Tab enters it, before Qt tells the reader the focus moved, and
// drops the selection as the focus leaves it. A reader takes both for the player's own selecting
// and says "255 selected" before it says which box this is, and "Text unselected" on leaving.
// What is selected on entering is part of what it says for the focus anyway, so a box's
// selection changes reach it only while the reader holds that box as focused, like its text.
// The controls themselves select and draw as before.
//
// A choice told while the reader is on a bar or box carries that control's new value in its
// words, so the control's own value or text change is not sent as well: the reader would speak
// the bare number first, or, if the player tabs on at once, the number of the control left
// behind. Orca says nothing of a value equal to the last one it spoke, so a number the player
// then steps to that equals it is said as words too.
//
// Qt sends every accessibility event of the process through one update handler. The filter
// stands in front of Qt's own from its construction to its destruction; the program's start
// makes one and keeps it for as long as the window lives.
class ReaderEventFilter {
public:
    ReaderEventFilter();
    ~ReaderEventFilter();
    ReaderEventFilter(const ReaderEventFilter&) = delete;
    ReaderEventFilter& operator=(const ReaderEventFilter&) = delete;

    // From a choice of type until the run of choices is told: what changes with the choice
    // waits, and then goes to the reader ahead of the words that tell it.
    void holdChoice();
    // The choice has changed the controls; what changes now is the player's own doing.
    void choiceMade();
    void releaseChoice();
    // Tells text as a change of the description of the control the reader is on, which a reader
    // speaks as it is and at once, with nothing before it. False where no control has the focus
    // or the desktop's reader cannot be told so.
    bool sayOnFocus(const QString& text);

private:
    struct Change {
        QPointer<QObject> object;
        QAccessible::Event type = QAccessible::InvalidEvent;
        bool wasSelected = false; // a name's selection as the reader last heard of it
    };

    static void filter(QAccessibleEvent* event);
    void passToReader(QAccessibleEvent* event);
    bool holds(QAccessibleEvent* event);
    void hold(QAccessibleEvent* event);
    void release();
    void tellUnheard(const QObject* control);
    void send(QAccessibleEvent* event);
    bool isReaderFocus(const QObject* object) const;
    void valueTold(QObject* object);

    // Qt's update handler is a bare function with no room for an object, so the one filter in
    // front of it is found here: set by the constructor, cleared by the destructor, and the only
    // state of the filter that is not its own member.
    static ReaderEventFilter* installed_;
    QAccessible::UpdateHandler qtHandler_ = nullptr;
    const QObject* readerFocus_ = nullptr; // the last control the reader was told has the focus
    bool holding_ = false;
    bool choosing_ = false; // between a choice's start and its end: its changes, not the player's
    QList<Change> held_;    // during a run of choices
    QList<Change> unheard_; // names and descriptions of controls the reader is not on
    int valueHeard_ = -1;   // the last value of a bar the reader spoke, which Orca keeps
    bool valueUntold_ = false; // a choice changed the bar the reader is on without telling it
};
