// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "RepeatClock.h"

#include <algorithm>

namespace {

using namespace std::chrono_literals;

// A held direction is ticked each frame; a tick later than a few frames is a stall, and counts
// as one frame.
constexpr auto kFrame = 16ms;
constexpr auto kLate = 100ms;

// A focus move repeats at a pace a player can follow; along a bar the repeat speeds up from the
// same pace to its top speed over a second and a half.
constexpr double kRepeatPause = 0.4;
constexpr double kFocusRate = 6.0;
constexpr double kBarTopRate = 120.0;
constexpr double kBarRamp = 1.5;

} // namespace

void RepeatClock::press(Clock::time_point now, bool alongBar)
{
    running_ = true;
    alongBar_ = alongBar;
    last_ = now;
    held_ = {};
    steps_ = 1;
}

int RepeatClock::tick(Clock::time_point now, bool alongBar)
{
    if (!running_) {
        return 0;
    }
    const auto gap = now - last_;
    last_ = now;
    held_ += gap > kLate ? Clock::duration(kFrame) : gap;
    if (alongBar != alongBar_) {
        alongBar_ = alongBar;
        held_ = {};
        steps_ = 1;
    }
    const int due = stepsAfter(held_, alongBar_) - steps_;
    if (due <= 0) {
        return 0;
    }
    // Steps the focus could not take are dropped, not owed.
    steps_ += due;
    return alongBar_ ? due : 1;
}

int RepeatClock::stepsAfter(Clock::duration held, bool alongBar)
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
