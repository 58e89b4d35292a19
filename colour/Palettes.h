// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ColourCheck.h"

#include <array>
#include <string_view>

// The palettes a player can apply to all 14 message colours at once.
namespace bh {

enum class Palette : int { AsWhenOpened, GameColours, RedGreenSafe, BlueYellowSafe, HighContrast };
inline constexpr int kPaletteCount = 5;

// Their names, in Palette order: the order the colour check lists them in.
inline constexpr std::array<std::string_view, kPaletteCount> kPaletteNames = {
    "As when opened", "The game's colours", "Red-green safe", "Blue-yellow safe", "High contrast",
};

// The 14 colours of palette. AsWhenOpened is the player's own colours as the window read them
// at start, so it returns asWhenOpened; the others ignore it. Never fails.
MessageColours paletteColours(Palette palette, const MessageColours& asWhenOpened);

// The colours of the bh.cfg the game ships with.
const MessageColours& gameColours();

} // namespace bh
