// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>

// The repeats of a held direction: one step at the press, then after a pause a steady repeat,
// which along a bar speeds up so that the whole bar takes under four seconds. Time is measured at
// each tick, never trusted to arrive on schedule: a tick that comes late (a busy machine, a
// stalled second) counts as one on time, so the repeat goes on from where it was instead of
// catching up in one burst, and a tick gives the focus at most one move.
class RepeatClock {
public:
    using Clock = std::chrono::steady_clock;

    // A direction pressed at `now`; the caller makes its first step at once.
    void press(Clock::time_point now, bool alongBar);
    void release() { running_ = false; }
    bool running() const { return running_; }

    // The steps due at a tick at `now`, where alongBar says whether the held direction now runs
    // along a bar. Landing on a bar starts the pause again, as a fresh press would.
    int tick(Clock::time_point now, bool alongBar);

    // How many steps a direction held for this long has made, counting the first.
    static int stepsAfter(Clock::duration held, bool alongBar);

private:
    bool running_ = false;
    bool alongBar_ = false;
    Clock::time_point last_;
    Clock::duration held_{}; // as counted: a late tick adds only a tick's worth
    int steps_ = 0;
};
