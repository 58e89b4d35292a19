// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "GamePad.h"

#include "Neighbour.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <algorithm>

namespace {

using namespace std::chrono_literals;

// A held direction is stepped each frame.
constexpr auto kFrame = 16ms;
// How far back the way of the focus is remembered.
constexpr std::size_t kMovesKept = 64;

bool takesFocus(const QWidget* control)
{
    return (control->focusPolicy() & Qt::TabFocus) != 0 && control->isVisible() &&
           control->isEnabled();
}

// A vertical bar or slider: up and down step it.
bool ownsUpDown(const QWidget* control)
{
    const auto* bar = qobject_cast<const QAbstractSlider*>(control);
    return bar != nullptr && bar->orientation() == Qt::Vertical;
}

} // namespace

GamePad::GamePad(QWidget* window, Reading reading) : window_(window), reading_(reading)
{
    timer_.setInterval(kFrame);
    connect(&timer_, &QTimer::timeout, this, [this] { tick(Clock::now()); });
    // Another program's window in front takes the focus from every window of this one.
    connect(qApp, &QApplication::focusChanged, this,
            [this] { setAwake(QApplication::activeWindow() != nullptr); });
    if (reading_ == Reading::OwnThread) {
        window_->installEventFilter(this);
    }
}

GamePad::~GamePad() = default;

bool GamePad::eventFilter(QObject* watched, QEvent* event)
{
    // The first paint is still on its way to the screen; it is flushed in this turn of the
    // event loop, and whatever else waits for that flush (a benchmark's stop) in the next, so
    // SDL starts in the turn after.
    if (watched == window_ && event->type() == QEvent::Paint) {
        window_->removeEventFilter(this);
        QTimer::singleShot(0, this, [this] { QTimer::singleShot(0, this, &GamePad::start); });
    }
    return QObject::eventFilter(watched, event);
}

void GamePad::start()
{
    window_->removeEventFilter(this);
    if (started_) {
        return;
    }
    setAwake(QApplication::activeWindow() != nullptr);
    started_ = true;
    if (reading_ == Reading::ByCaller) {
        reader_.startHere();
        return;
    }
    // Called on the reading thread: the events cross to this one, queued.
    reader_.startThread([this] {
        QMetaObject::invokeMethod(
            this, [this] { take(reader_.take(), Clock::now()); }, Qt::QueuedConnection);
    });
}

void GamePad::poll(Clock::time_point now)
{
    take(reader_.look(), now);
    tick(now);
}

void GamePad::take(const std::vector<PadEvent>& events, Clock::time_point now)
{
    for (const PadEvent& event : events) {
        const bool held = hold_ && hold_->pad == event.pad;
        switch (event.kind) {
        case PadEvent::Kind::Hold:
            if (awake_) {
                showFocus(); // whatever the pad does, the player sees where it is
                hold_ = Hold{event.pad, event.source, event.direction};
                clock_.press(now, alongBar(event.direction));
                step(event.direction);
                if (reading_ == Reading::OwnThread) {
                    timer_.start();
                }
            }
            break;
        case PadEvent::Kind::Release:
            if (held && hold_->source == event.source && hold_->direction == event.direction) {
                letGo();
            }
            break;
        case PadEvent::Kind::Gone:
            if (held) {
                letGo(); // a direction held on another pad holds on
            }
            break;
        case PadEvent::Kind::Press:
            if (awake_) {
                showFocus();
                press(event.button);
            }
            break;
        }
    }
}

void GamePad::tick(Clock::time_point now)
{
    if (!hold_) {
        return;
    }
    for (int steps = clock_.tick(now, alongBar(hold_->direction)); steps > 0; --steps) {
        step(hold_->direction);
    }
}

void GamePad::setAwake(bool awake)
{
    if (awake == awake_ && started_) {
        return;
    }
    awake_ = awake;
    if (!awake) {
        letGo();
    }
    reader_.setAwake(awake);
}

void GamePad::letGo()
{
    hold_.reset();
    clock_.release();
    timer_.stop();
}

void GamePad::press(PadButton button)
{
    switch (button) {
    case PadButton::A:
        sendKey(Qt::Key_Space);
        break;
    case PadButton::B:
        sendKey(Qt::Key_Escape);
        break;
    case PadButton::Y:
        sendKey(Qt::Key_F1);
        break;
    case PadButton::LeftShoulder:
        sendKey(Qt::Key_Up, Qt::ControlModifier);
        break;
    case PadButton::RightShoulder:
        sendKey(Qt::Key_Down, Qt::ControlModifier);
        break;
    }
}

bool GamePad::alongBar(PadDirection direction) const
{
    return (direction == PadDirection::Up || direction == PadDirection::Down) &&
           ownsUpDown(QApplication::focusWidget());
}

void GamePad::step(PadDirection direction)
{
    if (alongBar(direction)) {
        // The colour bars stand upside down: up is the Up key, towards full intensity.
        sendKey(direction == PadDirection::Up ? Qt::Key_Up : Qt::Key_Down);
    } else {
        moveFocus(direction);
    }
}

void GamePad::moveFocus(PadDirection direction)
{
    QWidget* from = QApplication::focusWidget();
    if (from == nullptr || from->parentWidget() == nullptr) {
        return;
    }
    // Straight back the way the focus came; anything else (a Tab, a click) starts a new way.
    if (!moves_.empty() && moves_.back().to != from) {
        moves_.clear();
    }
    if (!moves_.empty() && moves_.back().direction == opposite(direction) && moves_.back().from &&
        takesFocus(moves_.back().from)) {
        QWidget* back = moves_.back().from;
        moves_.pop_back();
        back->setFocus(Qt::TabFocusReason);
        return;
    }
    // Among the controls beside it: the form's, a message box's buttons, a view's.
    std::vector<QWidget*> controls;
    std::vector<PadControl> places;
    for (QWidget* control :
         from->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == from || takesFocus(control)) {
            controls.push_back(control);
            places.push_back({control->geometry(), ownsUpDown(control)});
        }
    }
    const auto here = std::ranges::find(controls, from) - controls.begin();
    if (const auto to = neighbour(places, static_cast<std::size_t>(here), direction)) {
        if (moves_.size() == kMovesKept) {
            moves_.erase(moves_.begin());
        }
        moves_.push_back({from, direction, controls[*to]});
        controls[*to]->setFocus(Qt::TabFocusReason); // a text box selects its text, as on Tab
    }
}

void GamePad::sendKey(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) {
        target = QApplication::activeWindow();
    }
    if (target == nullptr) {
        return;
    }
    // No text: Space is the key that presses a check box or a button, never a blank typed into
    // a box.
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent lift(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &lift);
}

void GamePad::showFocus()
{
    // The focus frames are drawn once the keyboard is in use; the pad counts as a keyboard.
    if (QWidget* window = QApplication::activeWindow()) {
        window->setAttribute(Qt::WA_KeyboardFocusChange);
    }
    if (QWidget* focus = QApplication::focusWidget()) {
        focus->update();
    }
}
