// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>

// One of the colour editor's three text boxes: a line edit in every way but its type, by which
// assistive technology gives it the interface that reads its text whole (ColourBoxAccessible)
// while any other line edit keeps Qt's own.
class ColourBox : public QLineEdit {
    Q_OBJECT
public:
    explicit ColourBox(QWidget* parent) : QLineEdit(parent) {}
};
