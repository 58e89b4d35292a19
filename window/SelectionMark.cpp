// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "SelectionMark.h"

#include <QPainter>
#include <algorithm>

SelectionMark::SelectionMark(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    // A click on the mark falls through to whatever is under it, as if it were not there.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SelectionMark::paintEvent(QPaintEvent* /*event*/)
{
    // Whole pixels, like the panel's border: rows 1, 2, 3, ... pixels long up to the middle
    // and back make a right-pointing triangle.
    QPainter painter(this);
    for (int row = 0; row < height(); ++row) {
        painter.fillRect(0, row, std::min(row, height() - 1 - row) + 1, 1, palette().windowText());
    }
}
