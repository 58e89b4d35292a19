// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// The backdrop is a screenshot of the game: the first-person view of Brackenholt Wood
// above, the game's control panel below. Every painter takes a scale (1 or 2) and paints
// the same scene at that resolution.

#include "WindowLayout.h"

#include <QImage>
#include <QRect>

namespace paint {

// The backdrop fills the window, and the controls stand where the window places them.
constexpr int backdropWidth = bh::layout::kWindow.width;
constexpr int backdropHeight = bh::layout::kWindow.height;
constexpr int panelTop = 336; // where the control panel starts (1x)

// The window's size times scale, 24-bit RGB.
QImage paintBackdrop(int scale);

// The control panel: the stone bar along the bottom and the frame of the message log.
void paintControlPanel(QImage& img, int scale);

// The debug preview: the backdrop's corner under the preview's place (times scale) with the debug
// read-out drawn over it. `readout`, if given, receives the 1x rectangle of changed pixels.
QImage paintDebugPreview(const QImage& backdrop, int scale, QRect* readout = nullptr);

} // namespace paint
