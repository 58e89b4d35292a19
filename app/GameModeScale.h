// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// A screen's size in physical pixels; zero where it could not be asked.
struct ScreenPixels {
    int width = 0;
    int height = 0;
};

// The largest scale at which the 640 x 480 form still fits on a screen of this size (5/3 on the
// Steam Deck's 1280 x 800), and never below 1: a smaller screen gets the form at its own size.
double fittingScale(ScreenPixels screen);

// Steam's Game Mode (gamescope, which marks the programs it starts with
// GAMESCOPE_WAYLAND_DISPLAY) stretches a window to fill the screen with soft edges: there Qt is
// told before it starts to draw the window at the fitting scale itself, with the sharp pictures,
// unless the player has chosen a scale with QT_SCALE_FACTOR. Anywhere else nothing is changed,
// and the desktop's own scale stays the player's.
void scaleForGameMode();

// The primary screen's size, asked of the platform before Qt is up (GameModeScreen*.cpp).
ScreenPixels screenBeforeQt();

} // namespace bh
