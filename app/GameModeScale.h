// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// A screen's size in physical pixels, zero where it could not be asked, and the scale the
// platform applies to every window on it by itself (its dots per inch against 96).
struct ScreenPixels {
    int width = 0;
    int height = 0;
    double platformScale = 1.0;
};

// The largest scale at which the 640 x 480 form still fits on a screen of this size, all told
// (5/3 on the Steam Deck's 1280 x 800), and never below 1: Qt draws widgets at less than their
// own size with their parts out of place, and gamescope shrinks a window larger than its screen.
double fittingScale(ScreenPixels screen);

// Whether the program runs in Steam's Game Mode: gamescope marks the programs it starts with
// GAMESCOPE_WAYLAND_DISPLAY, and Proton passes that on to a Windows program.
bool inGameMode();

// Game Mode stretches a window to fill the screen with soft edges: there Qt is told before it
// starts to draw the window at the fitting scale itself, with the sharp pictures, on top of any
// scale the platform applies already (Xft.dpi, QT_SCREEN_SCALE_FACTORS, Windows' own), unless
// the player has chosen a scale with QT_SCALE_FACTOR. Anywhere else nothing is changed, and the
// desktop's own scale stays the player's.
void scaleForGameMode();

// The primary screen's size and the platform's scale, asked of the platform before Qt is up
// (GameModeScreen*.cpp).
ScreenPixels screenBeforeQt();

} // namespace bh
