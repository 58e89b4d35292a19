// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigRecord.h"

#include <QLabel>

// A message type's name in the colour panel: drawn in the colour the type has in the game's log,
// and clicked to edit that colour. It never takes the keyboard focus. The one being edited is
// "selected" for assistive technology, which can also press it like a click.
class MessageLabel : public QLabel {
    Q_OBJECT
public:
    explicit MessageLabel(QWidget* parent);

    QColor textColour() const;
    void setTextColour(const bh::Colour& colour);

    // What a click on the name does, for those who cannot click it.
    void click();

    bool isSelected() const { return selected_; }
    // Changes nothing on screen; tells assistive technology when the selection moves.
    void setSelected(bool selected);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool pressed_ = false;
    bool selected_ = false;
};
