// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// The colour editor's bars stand upside down, as the game's own do: the top is full intensity,
// so bar value v shows component 255 - v. Every conversion between the two goes through here.
namespace bh::colourBar {

constexpr int valueFor(std::uint8_t component)
{
    return 255 - component;
}

constexpr std::uint8_t componentAt(int value)
{
    return static_cast<std::uint8_t>(255 - value);
}

} // namespace bh::colourBar
