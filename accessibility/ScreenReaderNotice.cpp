// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ScreenReaderNotice.h"

#include "ReaderEventFilter.h"
#include "ScreenReaderPresence.h"

#include <QAccessible>
#include <QWidget>
#include <chrono>
#include <utility>

namespace {

using namespace std::chrono_literals;
// Keys closer than this are a run, pressed as fast as a hand does or held down: the first is told
// at once, as a single key is, and the rest once, where the run stops. A player stepping through
// the types at their own pace is further apart, and hears each name as they come to it.
constexpr auto kRunSettles = 300ms;
// How long a reader has to speak the last words before the window goes regardless.
constexpr auto kReaderGrace = 1500ms;
constexpr auto kReaderDeadline = 5s;

} // namespace

ScreenReaderNotice::ScreenReaderNotice(QWidget* window, ReaderEventFilter& filter)
    : QObject(window), filter_(filter)
{
    setObjectName(QStringLiteral("screenReaderNotice"));
    runSettles_.setSingleShot(true);
    runSettles_.setInterval(kRunSettles);
    connect(&runSettles_, &QTimer::timeout, this, &ScreenReaderNotice::show);
}

void ScreenReaderNotice::choosing()
{
    // What a choice changes waits for its words, and in a fast run for the last choice's: a
    // reader told each change would speak bare numbers first, and a run would flood its queue.
    if (QAccessible::isActive()) {
        filter_.holdChoice();
    }
}

void ScreenReaderNotice::announce(const QString& text, Kind kind)
{
    if (kind == Kind::Choice) {
        filter_.choiceMade(); // what changes from here on is the player's own doing
    }
    // Without assistive technology there is no one to tell, and nothing is queued.
    if (text.isEmpty() || !QAccessible::isActive()) {
        return;
    }
    if (kind == Kind::Choice) {
        if (pendingChoice_ >= 0) {
            pending_.removeAt(pendingChoice_);
        }
        pendingChoice_ = pending_.size();
        pending_ << text;
        const bool inRun = runSettles_.isActive();
        runSettles_.start();
        if (inRun) {
            return;
        }
    } else {
        pending_ << text;
    }
    if (!showQueued_) {
        showQueued_ = true;
        QMetaObject::invokeMethod(this, &ScreenReaderNotice::show, Qt::QueuedConnection);
    }
}

void ScreenReaderNotice::show()
{
    showQueued_ = false;
    if (pending_.isEmpty()) {
        return; // told already, with a change that came before it was due
    }
    text_ = std::exchange(pending_, {}).join(QStringLiteral(", "));
    pendingChoice_ = -1;
    // What the choices changed goes after words the reader speaks at once, as none of it is spoken
    // and a reader busy with it first would keep the player waiting; and before a notification,
    // which Orca would cut short for it.
    const bool said = !closing_ && filter_.sayOnFocus(text_);
    filter_.releaseChoice();
    if (said) {
        return;
    }
    showing_ = true;
    // The name first, so a reader that keeps names in a cache reads the new one.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
    showing_ = false;
}

QString ScreenReaderNotice::textForReader()
{
    if (!showing_) {
        emit readerFetched(text_);
    }
    return text_;
}

void ScreenReaderNotice::farewell(const QString& text, const std::function<void()>& close)
{
    if (!QAccessible::isActive() || !screenReaderRunning()) {
        close();
        return;
    }
    // A reader speaks the notice only while it can still ask the window for it, so the window
    // stays until the reader has fetched the words, and a while more: Orca fetches them as it
    // queues the event and speaks them when it gets to it. A reader that never asks does not
    // keep it open for long.
    connect(this, &ScreenReaderNotice::readerFetched, this,
            [this, text, close](const QString& fetched) {
                if (fetched == text) {
                    QTimer::singleShot(kReaderGrace, this, close);
                }
            });
    QTimer::singleShot(kReaderDeadline, this, close);
    closing_ = true; // as the notice, whose fetching says the reader has the words
    announce(text);
}
