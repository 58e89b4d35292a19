// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "SelectionMark.h"

#include <QPainter>
#include <algorithm>

namespace {

// Between the panel's border (x 16) and the names (x 24), with a pixel clear on either side.
constexpr int kLeft = 18;
constexpr int kWidth = 4;
constexpr int kHeight = 7;

} // namespace

SelectionMark::SelectionMark(QColor colour, QWidget* parent) : QWidget(parent), colour_(colour)
{
    setFocusPolicy(Qt::NoFocus);
    // A click on the mark falls through to whatever is under it, as if it were not there.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(kWidth, kHeight);
}

void SelectionMark::pointAt(int y)
{
    move(kLeft, y - kHeight / 2);
}

void SelectionMark::paintEvent(QPaintEvent* /*event*/)
{
    // Whole pixels, like the panel's border: rows 1, 2, 3, 4, 3, 2 and 1 pixels long make a
    // right-pointing triangle.
    QPainter painter(this);
    for (int row = 0; row < kHeight; ++row) {
        painter.fillRect(0, row, std::min(row, kHeight - 1 - row) + 1, 1, colour_);
    }
}
