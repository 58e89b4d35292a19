// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "GamePad.h"

#include "ColourBar.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <SDL.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

using namespace std::chrono_literals;

// Nothing to read but pads coming and going: a look each second finds a new one soon enough.
constexpr auto kNoPadPace = 1000ms;
// A pad that lies still is asked 25 times a second, so a press is seen within a frame or two of
// the window's; a held direction, each frame, so a fast repeat runs evenly.
constexpr auto kPadPace = 40ms;
constexpr auto kHeldPace = 16ms;

// A stick counts as pushed past half way, and as let go below a quarter, so that a thumb
// resting near the half does not flicker between the two.
constexpr int kStickPushed = 16384;
constexpr int kStickLetGo = 8192;

// Repeats of a held direction. A focus move repeats at a pace a player can follow; along a bar
// the repeat speeds up from the same pace to its top speed over a second and a half.
constexpr double kRepeatPause = 0.4;
constexpr double kFocusRate = 6.0;
constexpr double kBarTopRate = 120.0;
constexpr double kBarRamp = 1.5;

} // namespace

GamePad::GamePad(QWidget* window) : window_(window)
{
    connect(&timer_, &QTimer::timeout, this, [this] { poll(Clock::now()); });
    window_->installEventFilter(this);
}

GamePad::~GamePad()
{
    for (const auto& [id, pad] : pads_) {
        SDL_GameControllerClose(pad);
    }
    if (started_) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_Quit();
    }
}

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
    // Qt answers the signals that end the program; SDL must not take them over.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "Brackenholt Config reads no game controllers: %s\n", SDL_GetError());
        return;
    }
    started_ = true;
    poll(Clock::now());
}

void GamePad::poll(Clock::time_point now)
{
    if (!started_) {
        return;
    }
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        handle(event, now);
    }
    repeat(now);
    schedule();
}

void GamePad::handle(const SDL_Event& event, Clock::time_point now)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which)) {
            const int id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
            if (!pads_.emplace(id, pad).second) {
                SDL_GameControllerClose(pad); // already open: SDL counted it twice
            }
        } else {
            std::fprintf(stderr, "Brackenholt Config ignores a game controller: %s\n",
                         SDL_GetError());
        }
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (const auto found = pads_.find(event.cdevice.which); found != pads_.end()) {
            SDL_GameControllerClose(found->second);
            pads_.erase(found);
            // What it held is let go with it, or the repeat would run on.
            held_ = stick_ = Direction::None;
        }
        break;
    case SDL_CONTROLLERBUTTONDOWN:
        // Another program in front has the player's attention; the window takes no part.
        if (window_->isActiveWindow()) {
            showFocus(); // whatever the button does, the player sees where the pad is
            switch (event.cbutton.button) {
            case SDL_CONTROLLER_BUTTON_DPAD_UP:
                hold(Direction::Up, now);
                break;
            case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
                hold(Direction::Down, now);
                break;
            case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
                hold(Direction::Left, now);
                break;
            case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
                hold(Direction::Right, now);
                break;
            default:
                press(event.cbutton.button);
            }
        }
        break;
    case SDL_CONTROLLERBUTTONUP:
        switch (event.cbutton.button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            release(Direction::Up);
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            release(Direction::Down);
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            release(Direction::Left);
            break;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            release(Direction::Right);
            break;
        default:
            break;
        }
        break;
    case SDL_CONTROLLERAXISMOTION:
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX ||
            event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
            if (const auto found = pads_.find(event.caxis.which); found != pads_.end()) {
                followStick(found->second, now);
            }
        }
        break;
    default:
        break;
    }
}

void GamePad::press(int button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A:
        sendKey(Qt::Key_Space);
        break;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
        sendKey(Qt::Key_Up, Qt::ControlModifier);
        break;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
        sendKey(Qt::Key_Down, Qt::ControlModifier);
        break;
    default:
        // B, X, Y, Back, Start, Guide, the sticks' clicks, the paddles: a button a player may
        // press to leave or by habit must not change or save anything. Steam's own Exit and the
        // window's close button leave without saving.
        break;
    }
}

void GamePad::hold(Direction direction, Clock::time_point now)
{
    held_ = direction;
    heldSince_ = now;
    stepsDone_ = 0;
    heldAlongBar_ = alongBar(direction);
    repeat(now);
}

void GamePad::release(Direction direction)
{
    if (held_ == direction) {
        held_ = Direction::None;
    }
}

void GamePad::followStick(_SDL_GameController* pad, Clock::time_point now)
{
    const int x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    const int y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY); // down is positive
    const auto push = [x, y](Direction d) {
        switch (d) {
        case Direction::Up:
            return -y;
        case Direction::Down:
            return y;
        case Direction::Left:
            return -x;
        case Direction::Right:
            return x;
        case Direction::None:
            break;
        }
        return 0;
    };
    Direction pushed = stick_;
    if (pushed != Direction::None && push(pushed) < kStickLetGo) {
        pushed = Direction::None;
    }
    if (pushed == Direction::None && std::max(std::abs(x), std::abs(y)) >= kStickPushed) {
        pushed = std::abs(x) > std::abs(y) ? (x > 0 ? Direction::Right : Direction::Left)
                                           : (y > 0 ? Direction::Down : Direction::Up);
    }
    if (pushed == stick_) {
        return;
    }
    release(stick_);
    stick_ = pushed;
    if (pushed != Direction::None && window_->isActiveWindow()) {
        showFocus();
        hold(pushed, now);
    }
}

int GamePad::stepsAfter(Clock::duration held, bool alongBar)
{
    const double t = std::chrono::duration<double>(held).count() - kRepeatPause;
    if (t < 0) {
        return 1;
    }
    if (!alongBar) {
        return 1 + static_cast<int>(kFocusRate * t);
    }
    // The pace rises evenly over the ramp, then holds: steps are the area under it.
    const double ramp = std::min(t, kBarRamp);
    const double rising =
        kFocusRate * ramp + (kBarTopRate - kFocusRate) * ramp * ramp / (2 * kBarRamp);
    return 1 + static_cast<int>(rising + kBarTopRate * (t - ramp));
}

void GamePad::repeat(Clock::time_point now)
{
    if (held_ == Direction::None || !window_->isActiveWindow()) {
        return;
    }
    for (;;) {
        // A focus move that lands on a bar turns the held direction into the bar's own steps;
        // they begin after a pause, as a fresh press would, rather than at the moves' pace.
        const bool along = alongBar(held_);
        if (along != heldAlongBar_) {
            heldAlongBar_ = along;
            heldSince_ = now;
            stepsDone_ = 1;
        }
        if (stepsDone_ >= stepsAfter(now - heldSince_, along)) {
            return;
        }
        step(held_);
        ++stepsDone_;
    }
}

bool GamePad::alongBar(Direction direction) const
{
    return (direction == Direction::Up || direction == Direction::Down) &&
           qobject_cast<ColourBar*>(window_->focusWidget()) != nullptr;
}

void GamePad::step(Direction direction)
{
    if (alongBar(direction)) {
        // The bars stand upside down: up is the Up key, towards full intensity.
        sendKey(direction == Direction::Up ? Qt::Key_Up : Qt::Key_Down);
    } else {
        moveFocus(direction);
    }
}

void GamePad::moveFocus(Direction direction)
{
    QWidget* from = window_->focusWidget();
    if (from == nullptr) {
        return;
    }
    // The nearest control whose middle lies past this one's edge, within 45 degrees, where a
    // control beside the way counts by the gap between the two (a wide check box is straight
    // below a narrow one it overlaps) and twice: across a row, the neighbour beats a nearer
    // control below. Among equals, the one whose middle lies nearest the line wins.
    const bool vertical = direction == Direction::Up || direction == Direction::Down;
    const int sign = direction == Direction::Up || direction == Direction::Left ? -1 : 1;
    const QRect here = from->geometry();
    QWidget* best = nullptr;
    std::pair bestScore{INT_MAX, INT_MAX};
    // Among the controls beside it: the form's, or those of a view laid over the form, whose
    // places are in the view and under which the form's controls stay where they are.
    const QWidget* room = from == window_ ? window_ : from->parentWidget();
    for (QWidget* control : room->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control == from || (control->focusPolicy() & Qt::TabFocus) == 0 ||
            !control->isVisible() || !control->isEnabled()) {
            continue;
        }
        const QRect there = control->geometry();
        const QPoint d = there.center() - here.center();
        const int ahead = sign * (vertical ? d.y() : d.x());
        const QPoint past = there.center() - (sign > 0 ? here.bottomRight() : here.topLeft());
        const bool beyond = sign * (vertical ? past.y() : past.x()) > 0;
        const int gap =
            vertical ? std::max({0, there.left() - here.right(), here.left() - there.right()})
                     : std::max({0, there.top() - here.bottom(), here.top() - there.bottom()});
        const std::pair score{ahead + 2 * gap, std::abs(vertical ? d.x() : d.y())};
        if (beyond && gap <= ahead && score < bestScore) {
            best = control;
            bestScore = score;
        }
    }
    if (best != nullptr) {
        best->setFocus(Qt::TabFocusReason); // a text box selects its text, as on Tab
    }
}

void GamePad::sendKey(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = window_->focusWidget() != nullptr ? window_->focusWidget() : window_;
    // No text: Space is the key that presses a check box or OK, never a blank typed into a box.
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent lift(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &lift);
}

void GamePad::showFocus()
{
    // The focus frames are drawn once the keyboard is in use; the pad counts as a keyboard.
    window_->setAttribute(Qt::WA_KeyboardFocusChange);
    if (QWidget* focus = window_->focusWidget()) {
        focus->update();
    }
}

void GamePad::schedule()
{
    const auto pace = pads_.empty() ? kNoPadPace : held_ != Direction::None ? kHeldPace : kPadPace;
    if (!timer_.isActive() || timer_.intervalAsDuration() != pace) {
        timer_.start(pace);
    }
}
