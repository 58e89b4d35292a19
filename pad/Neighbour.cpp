// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "Neighbour.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

PadDirection opposite(PadDirection direction)
{
    switch (direction) {
    case PadDirection::Up:
        return PadDirection::Down;
    case PadDirection::Down:
        return PadDirection::Up;
    case PadDirection::Left:
        return PadDirection::Right;
    case PadDirection::Right:
        break;
    }
    return PadDirection::Left;
}

std::optional<std::size_t> neighbour(std::span<const PadControl> controls, std::size_t from,
                                     PadDirection direction)
{
    // The nearest control whose middle lies past this one's edge, within 45 degrees, where a
    // control beside the way counts by the gap between the two (a wide check box is straight
    // below a narrow one it overlaps) and twice: across a row, the neighbour beats a nearer
    // control below. Among equals, the one whose middle lies nearest the line wins.
    const bool vertical = direction == PadDirection::Up || direction == PadDirection::Down;
    const int sign = direction == PadDirection::Up || direction == PadDirection::Left ? -1 : 1;
    const QRect here = controls[from].place;
    std::optional<std::size_t> best;
    if (vertical && controls[from].ownsUpDown) {
        return best;
    }
    std::pair bestScore{INT_MAX, INT_MAX};
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QRect there = controls[i].place;
        const QPoint d = there.center() - here.center();
        const int ahead = sign * (vertical ? d.y() : d.x());
        const QPoint past = there.center() - (sign > 0 ? here.bottomRight() : here.topLeft());
        const bool beyond = sign * (vertical ? past.y() : past.x()) > 0;
        const int gap =
            vertical ? std::max({0, there.left() - here.right(), here.left() - there.right()})
                     : std::max({0, there.top() - here.bottom(), here.top() - there.bottom()});
        const std::pair score{ahead + 2 * gap, std::abs(vertical ? d.x() : d.y())};
        if (i != from && beyond && gap <= ahead && score < bestScore) {
            best = i;
            bestScore = score;
        }
    }
    // Up or down onto a bar could not come back the way it went: the bar stands in the way.
    if (vertical && best && controls[*best].ownsUpDown) {
        best.reset();
    }
    return best;
}
