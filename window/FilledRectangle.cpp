// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "FilledRectangle.h"

#include <QPainter>

FilledRectangle::FilledRectangle(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // we cover every pixel; nothing behind needs painting
    setFocusPolicy(Qt::NoFocus);
}

void FilledRectangle::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().windowText());
    painter.fillRect(rect().adjusted(1, 1, -1, -1), palette().window());
}
