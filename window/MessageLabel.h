// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigRecord.h"

#include <QLabel>

// A message type's name in the colour panel: drawn in the colour the type has in the game's log,
// and clicked to edit that colour. It never takes the keyboard focus.
class MessageLabel : public QLabel {
    Q_OBJECT
public:
    MessageLabel(const QString& caption, int index, QWidget* parent);

    int index() const { return index_; }
    QColor textColour() const;
    void setTextColour(const bh::Colour& colour);

signals:
    void clicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int index_;
    bool pressed_ = false;
};
