// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "FirstFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>

// Called once the first frame is on screen. It does nothing; it is the mark that
// scripts/run-bench has callgrind count instructions up to (--dump-before), so what the
// program does while it closes stays out of the count.
extern "C" [[gnu::noinline]] void bhFirstFrameShown()
{
    asm volatile("");
}

namespace {

class FirstPaintWatcher : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            // The paint is still on its way here; the frame reaches the screen when the
            // repaint that sent it has flushed the backing store. A zero timer runs after
            // that flush, in the next turn of the event loop.
            watched->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] {
                bhFirstFrameShown();
                QCoreApplication::quit();
            });
        }
        return false;
    }
};

} // namespace

void quitAfterFirstFrame(QWidget* window)
{
    window->installEventFilter(new FirstPaintWatcher(window));
}
