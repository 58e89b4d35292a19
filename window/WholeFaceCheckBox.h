// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QCheckBox>

// A check box that takes a click or a tap anywhere on its face. The window paints each box grey
// over the whole place it gives it, and that grey is what a player aims at (a thumb on the Deck
// most of all); Qt's own box answers only on its mark and its caption.
class WholeFaceCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};
