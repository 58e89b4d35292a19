// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

// A solid rectangle in the palette's window colour with a one-pixel border in its text colour
// inside its bounds: the dark panel that the message colour editor stands on.
class FilledRectangle : public QWidget {
    Q_OBJECT
public:
    explicit FilledRectangle(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
