// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ColourBar.h"

#include "NumericText.h"

ColourBar::ColourBar(QWidget* parent) : QScrollBar(Qt::Vertical, parent)
{
    setRange(0, 255);
    setSingleStep(1);
    setPageStep(1);
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
}

void ColourBar::setComponent(double component)
{
    setValue(static_cast<int>(bh::roundHalfEven(255.0 - component)));
}
