// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

// A small arrow in the colour panel's left margin, pointing at the name of the message type being
// edited. The names never take the focus, so a player choosing types with the keyboard sees
// through this mark alone which one the bars edit. It is drawn in the palette's text colour.
class SelectionMark : public QWidget {
    Q_OBJECT
public:
    explicit SelectionMark(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
