// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "PadInput.h"

#include <QRect>
#include <optional>
#include <span>

PadDirection opposite(PadDirection direction);

// A control that takes the focus, where it sits in its window.
struct PadControl {
    QRect place;
    // Up and down are its own (a colour bar's steps): they never lead to it or away from it,
    // so that every move can be undone by the opposite one.
    bool ownsUpDown = false;
};

// Where a direction leads from the control `from` among the controls of one window: the index
// of that control, or none at the edge. Geometry alone, so a table can prove every move.
std::optional<std::size_t> neighbour(std::span<const PadControl> controls, std::size_t from,
                                     PadDirection direction);
