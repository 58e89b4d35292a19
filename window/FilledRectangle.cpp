// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "FilledRectangle.h"

#include <QPainter>

FilledRectangle::FilledRectangle(QColor fill, QColor border, QWidget* parent)
    : QWidget(parent), fill_(fill), border_(border)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // we cover every pixel; nothing behind needs painting
    setFocusPolicy(Qt::NoFocus);
}

void FilledRectangle::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), border_);
    painter.fillRect(rect().adjusted(1, 1, -1, -1), fill_);
}
