// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

class QObject;
class QStyle;

// Fusion, the style the window is laid out in, with a focus a keyboard player can see: a solid
// frame in the text colour on the check boxes, OK and the colour bars, where Fusion draws a faint
// blue one, a tinted outline or nothing at all. Like Fusion's, the frame shows only once the
// keyboard has moved the focus in the window, so a player who uses the mouse sees what Fusion
// draws, pixel for pixel. The style belongs to parent.
QStyle* newFocusFrameStyle(QObject* parent);
