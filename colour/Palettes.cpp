// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "Palettes.h"

#include "ConfigFormat.h"
#include "ShippedSettings.h"

namespace bh {
namespace {

// Chosen once by tools/palette_search.cpp (see there how), each type kept in its game colour's
// family of hues, so a player still knows the log. The figures are what the colour check
// measures on them: the smallest contrast on the panel, and the smallest CIEDE2000 difference
// of any two types with each vision the palette is for. A greedy search on a 15-step grid
// reached 7.3, 11.2 and 11.9 for those gaps. The unit tests measure them again.

// Red-green safe: smallest contrast 4.50 : 1; smallest gap 10.64 with normal vision, 10.64 with
// protanopia, 10.64 with deuteranopia; at most 19.9 from the game's colours.
constexpr MessageColours kRedGreenSafe = {{
    {211, 202, 204}, // System messages
    {255, 255, 172}, // Targets
    {197, 167, 112}, // Your hits
    {225, 255, 30},  // Quests
    {254, 135, 161}, // NPC hits
    {176, 166, 199}, // Potions
    {232, 196, 255}, // Cheats
    {201, 217, 106}, // Valuables
    {0, 193, 163},   // Loots
    {150, 165, 255}, // Zone moves
    {255, 254, 248}, // Rest
    {254, 230, 255}, // Steal
    {172, 178, 0},   // Reason
    {198, 234, 193}, // Improves
}};

// Blue-yellow safe: smallest contrast 4.50 : 1; smallest gap 14.60 with normal vision, 14.54 with
// tritanopia; at most 20.6 from the game's colours.
constexpr MessageColours kBlueYellowSafe = {{
    {242, 253, 255}, // System messages
    {176, 190, 42},  // Targets
    {248, 204, 25},  // Your hits
    {149, 181, 122}, // Quests
    {255, 141, 60},  // NPC hits
    {200, 186, 255}, // Potions
    {243, 146, 255}, // Cheats
    {252, 255, 0},   // Valuables
    {127, 255, 255}, // Loots
    {133, 169, 255}, // Zone moves
    {188, 164, 185}, // Rest
    {255, 226, 255}, // Steal
    {180, 250, 108}, // Reason
    {0, 209, 44},    // Improves
}};

// High contrast: smallest contrast 7.00 : 1; smallest gap 15.50 with normal vision; at most 22.0
// from the game's colours.
constexpr MessageColours kHighContrast = {{
    {255, 248, 250}, // System messages
    {255, 253, 145}, // Targets
    {222, 212, 180}, // Your hits
    {178, 226, 159}, // Quests
    {255, 201, 169}, // NPC hits
    {195, 212, 255}, // Potions
    {239, 198, 255}, // Cheats
    {161, 234, 0},   // Valuables
    {121, 246, 240}, // Loots
    {145, 223, 255}, // Zone moves
    {229, 255, 250}, // Rest
    {255, 198, 206}, // Steal
    {255, 207, 34},  // Reason
    {0, 255, 192},   // Improves
}};

} // namespace

const MessageColours& gameColours()
{
    // Read as a player's file is read; a fault in the shipped file fails the unit tests.
    static const MessageColours colours = parseConfig(shippedSettings()).colours;
    return colours;
}

MessageColours paletteColours(Palette palette, const MessageColours& asWhenOpened)
{
    switch (palette) {
    case Palette::GameColours:
        return gameColours();
    case Palette::RedGreenSafe:
        return kRedGreenSafe;
    case Palette::BlueYellowSafe:
        return kBlueYellowSafe;
    case Palette::HighContrast:
        return kHighContrast;
    case Palette::AsWhenOpened:
        break;
    }
    return asWhenOpened;
}

} // namespace bh
