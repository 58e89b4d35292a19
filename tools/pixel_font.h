// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// The game's 5 x 7 pixel font: the debug read-out and the numbers on the control panel.
// Our own glyphs, so the letters are crisp and identical on every machine, with no font
// lookup or hinting involved.

#include <QImage>
#include <QRect>
#include <QString>

namespace paint {

constexpr int glyphWidth = 5;
constexpr int glyphHeight = 7;
constexpr int glyphAdvance = 6;

// Width in 1x pixels that `text` takes, without the shadow.
int pixelTextWidth(const QString& text);

// Draws `text` with its top-left at (x, y) in 1x coordinates; each font pixel becomes a
// scale x scale block. With a shadow, every lit pixel also darkens its right and lower
// neighbours, so the text reads on light and dark ground alike. Returns the 1x rectangle of
// every pixel touched. Throws std::invalid_argument on a character the font lacks.
QRect drawPixelText(QImage& img, int scale, int x, int y, const QString& text, QRgb colour,
                    bool shadow);

} // namespace paint
