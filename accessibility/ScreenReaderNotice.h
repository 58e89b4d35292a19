// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "WindowNotices.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class QWidget;
class ReaderEventFilter;

// What the window tells a screen reader of its own accord: a change the player did not make on
// the control they are on (the type the bars now edit, the boxes the colour depth set, the
// number a typed value was held to). A screen reader speaks changes of the focused control only,
// so the words go as a change of that control's description, which Orca speaks as it is, at
// once. Where that cannot be sent (no control has the focus; on Windows), and for the window's
// last words, whose fetching tells that the reader has them, the notice is a notification of the
// window that shows each time it is given a text; Orca says "notification" before it. It is no
// widget: it is drawn nowhere, takes no focus and leaves the window's controls as they are.
class ScreenReaderNotice : public QObject, public WindowNotices {
    Q_OBJECT
public:
    // The filter outlives the window, which owns the notice.
    ScreenReaderNotice(QWidget* window, ReaderEventFilter& filter);

    // Shown once the change that called for it has been told to the reader in full (a check box
    // reports its own new state only after its handlers have run), so the notice comes last and
    // is not cut short; a choice at once, unless it follows another within a moment: a run of
    // them is told once more, where it stops. Texts given meanwhile are spoken together, except
    // that a newer choice replaces an older one. Once shown, the reader keeps only the newest
    // showing of the notice it has not yet spoken (Orca skips an object's state change that a later
    // one of the same object repeats), which is why there is one notice and not one object per
    // text.
    void announce(const QString& text, Kind kind = Kind::Change) override;
    // Before a choice changes the controls, whose changes then wait for its announcement.
    void choosing() override;
    // Only a screen reader is waited for: assistive technology may be on with no one to speak to.
    void farewell(const QString& text, const std::function<void()>& close) override;

    // The last text shown.
    const QString& text() const { return text_; }
    // What a reader asks for when it speaks the notice.
    QString textForReader();

signals:
    // A reader has fetched text to speak it; it goes on asking for more for a moment after.
    void readerFetched(const QString& text);

private:
    void show();

    ReaderEventFilter& filter_;
    QString text_;
    QStringList pending_;
    qsizetype pendingChoice_ = -1; // where in pending_, if a choice waits
    bool showing_ = false;         // the bridge reads the text itself while it sends the events
    bool showQueued_ = false;
    bool closing_ = false; // the last words are being told
    QTimer runSettles_;    // a choice waits for the next one this long
};
