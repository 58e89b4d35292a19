// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QProxyStyle>

// Fusion, the style the window is laid out in, with a focus a keyboard player can see: a solid
// frame in the text colour on the check boxes, OK and the colour bars, where Fusion draws a faint
// blue one, a tinted outline or nothing at all. Like Fusion's, the frame shows only once the
// keyboard has moved the focus in the window, so a player who uses the mouse sees what Fusion
// draws, pixel for pixel.
class FocusFrameStyle : public QProxyStyle {
public:
    FocusFrameStyle();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
};
