// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "NumericText.h"

#include <QScrollBar>
#include <cstdint>

// One of the colour editor's three bars. They stand upside down, as the game's own do: the top is
// full intensity, so bar value v shows component 255 - v. Arrows, keys and the track move one
// component at a time, and the value changes when a drag ends, not on every pixel of it.
// Assistive technology reads and sets the component, never the scroll position.
class ColourBar : public QScrollBar {
    Q_OBJECT
public:
    explicit ColourBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
    {
        setRange(0, 255);
        setSingleStep(1);
        setPageStep(1);
        setTracking(false);
        setFocusPolicy(Qt::StrongFocus);
    }

    std::uint8_t component() const { return static_cast<std::uint8_t>(255 - value()); }
    // Moves the bar as a drag that ends there would: valueChanged follows if it moves. The bar
    // stops at whole positions, so a fraction goes to the nearest, a half to the even position
    // (12.5 is position 242.5, which shows 13). component lies within 0..255.
    void setComponent(double component)
    {
        setValue(static_cast<int>(bh::roundHalfEven(255.0 - component)));
    }
};
