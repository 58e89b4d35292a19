// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "PadInput.h"
#include "PadReader.h"
#include "RepeatClock.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>
#include <vector>

class QWidget;

// Game controllers as one more keyboard for the program's windows. A pad does nothing of its
// own: its buttons become what the windows already answer to, so every rule stays in one place.
// Three parts: PadReader reads SDL in a thread of its own, neighbour() finds the control a
// direction leads to, RepeatClock times a held direction; this class sends the result.
//  - D-pad and left stick: the focus moves to the neighbouring control in that direction, and
//    the opposite direction brings it back; on a bar, up and down are the bar's own arrow keys
//    instead. Held, a direction repeats, and along a bar it speeds up.
//  - A: Space on the focused control (a check box toggles, OK or a message box's button
//    presses). On a text box it types nothing: a space there would change the colour.
//  - Left and right shoulder: Ctrl+Up and Ctrl+Down, the previous and next message type.
//  - Y: F1, the colour check. B: Escape, which leaves the colour check and does nothing on the
//    form. Every other button does nothing.
// While none of the program's windows is the active one the pad sleeps, and nothing it held
// carries over.
class GamePad : public QObject {
    Q_OBJECT
public:
    using Clock = RepeatClock::Clock;
    // OwnThread reads once the window's first frame is on screen, so a player without a pad
    // waits for nothing. ByCaller leaves the looking and the clock to the caller (poll()).
    enum class Reading { OwnThread, ByCaller };

    explicit GamePad(QWidget* window, Reading reading = Reading::OwnThread);
    ~GamePad() override;
    GamePad(const GamePad&) = delete;
    GamePad& operator=(const GamePad&) = delete;

    // Starts reading now rather than after the first frame; does nothing the second time.
    void start();
    // ByCaller: looks at the pads on this thread and ticks the repeat clock, as at `now`.
    void poll(Clock::time_point now);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Hold {
        int pad;
        PadEvent::Source source;
        PadDirection direction;
    };
    struct Move {
        QPointer<QWidget> from;
        PadDirection direction;
        QPointer<QWidget> to;
    };

    void take(const std::vector<PadEvent>& events, Clock::time_point now);
    void tick(Clock::time_point now);
    void setAwake(bool awake);
    void letGo();
    void press(PadButton button);
    bool alongBar(PadDirection direction) const;
    void step(PadDirection direction);
    void moveFocus(PadDirection direction);
    void sendKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void showFocus();

    QWidget* window_;
    Reading reading_;
    bool started_ = false;
    bool awake_ = false;
    PadReader reader_;
    QTimer timer_;
    std::optional<Hold> hold_;
    RepeatClock clock_;
    std::vector<Move> moves_; // the way the focus came, so the opposite direction goes back
};
