// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QWidget>

// A solid rectangle with a one-pixel border inside its bounds: the dark panel that the message
// colour editor stands on.
class FilledRectangle : public QWidget {
    Q_OBJECT
public:
    FilledRectangle(QColor fill, QColor border, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor fill_;
    QColor border_;
};
