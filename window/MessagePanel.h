// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>

// The dark panel the message names are drawn on. A frame on screen like any other; its type is
// what assistive technology knows it by, to present the names as the one list it stands for
// (MessageListAccessible).
class MessagePanel : public QFrame {
    Q_OBJECT
public:
    explicit MessagePanel(QWidget* parent) : QFrame(parent) {}
};
