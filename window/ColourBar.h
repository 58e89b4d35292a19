// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QLineEdit>
#include <QString>
#include <cstdint>

// A scroll bar's top stands for full intensity: value v shows component 255 - v. Every
// conversion between the two goes through these.
constexpr int barValueFor(std::uint8_t component)
{
    return 255 - component;
}
constexpr std::uint8_t componentAt(int barValue)
{
    return static_cast<std::uint8_t>(255 - barValue);
}

// QLineEdit::setText with unchanged text raises no textChanged but still moves the caret to
// the end and drops the selection; a player typing must keep both, so equal text is left alone.
inline void setTextIfDifferent(QLineEdit* box, const QString& text)
{
    if (box->text() != text) {
        box->setText(text);
    }
}
