// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <map>

class QWidget;
struct _SDL_GameController;
union SDL_Event;

// Game controllers, read through SDL2's game-controller API, as one more keyboard for a window.
// A pad does nothing of its own: its buttons become what the window already answers to, so every
// rule of the window stays in one place.
//  - D-pad and left stick: the focus moves to the nearest control on screen in that direction;
//    on a colour bar, up and down are the bar's own arrow keys instead. Held, a direction
//    repeats, and along a bar it speeds up.
//  - A: Space on the focused control (a check box toggles, OK saves). On a text box it types
//    nothing: a space there would change the colour.
//  - Left and right shoulder: Ctrl+Up and Ctrl+Down, the previous and next message type.
//  - Every other button does nothing; B least of all, as Escape does nothing.
// SDL starts once the window's first frame is on screen, so a player without a pad waits for
// nothing, and is then asked at a coarse pace: SDL's own wait would wake every millisecond.
class GamePad : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    enum class Direction { None, Up, Down, Left, Right };

    explicit GamePad(QWidget* window);
    ~GamePad() override;
    GamePad(const GamePad&) = delete;
    GamePad& operator=(const GamePad&) = delete;

    // Starts SDL at once rather than after the first frame; does nothing the second time. A pad
    // that cannot be read costs the player nothing but a line on standard error.
    void start();
    // Takes what the pads sent since the last call, as at time now.
    void poll(Clock::time_point now);

    // How many steps a direction held for this long has made: one at once, then after a pause a
    // steady repeat, which along a bar speeds up so that the whole bar takes under four seconds.
    static int stepsAfter(Clock::duration held, bool alongBar);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void handle(const SDL_Event& event, Clock::time_point now);
    void press(int button);
    void hold(Direction direction, Clock::time_point now);
    void release(Direction direction);
    void followStick(_SDL_GameController* pad, Clock::time_point now);
    void repeat(Clock::time_point now);
    bool alongBar(Direction direction) const;
    void step(Direction direction);
    void moveFocus(Direction direction);
    void sendKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void showFocus();
    void schedule();

    QWidget* window_;
    QTimer timer_;
    bool started_ = false;
    std::map<int, _SDL_GameController*> pads_; // by SDL's instance id
    Direction held_ = Direction::None;
    Direction stick_ = Direction::None;
    Clock::time_point heldSince_;
    int stepsDone_ = 0;
    bool heldAlongBar_ = false;
};
