// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// What the pad's reading thread hands the window: finished events, already turned from SDL's
// buttons and axes into the few things the window answers to.
enum class PadDirection { Up, Down, Left, Right };

// The buttons that do something; every other button is dropped where it is read.
enum class PadButton { A, B, Y, LeftShoulder, RightShoulder };

struct PadEvent {
    enum class Kind {
        Hold,    // a direction pressed, on the d-pad or the left stick
        Release, // that direction let go
        Press,   // a button pressed
        Gone,    // the pad pulled out: whatever it held is let go with it
    };
    // A pad's d-pad and stick each hold a direction of their own.
    enum class Source { DPad, Stick };

    Kind kind = Kind::Press;
    int pad = 0; // SDL's instance id
    Source source = Source::DPad;
    PadDirection direction = PadDirection::Up;
    PadButton button = PadButton::A;
};
