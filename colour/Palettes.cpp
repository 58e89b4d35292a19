// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "Palettes.h"

#include "ConfigFormat.h"
#include "ShippedSettings.h"

namespace bh {
namespace {

// Chosen once by tools/palette_search (see there how), each type kept near its colour in the
// game's palette where that costs nothing, so a player still knows the log. The figures below
// are what the check measures on them; the unit tests measure them again.

// Red-green safe: PLACEHOLDER.
constexpr MessageColours kRedGreenSafe = {{
    {255, 255, 255},
    {255, 255, 128},
    {255, 160, 64},
    {128, 255, 128},
    {255, 96, 96},
    {160, 160, 255},
    {255, 0, 255},
    {255, 215, 0},
    {192, 255, 255},
    {128, 192, 255},
    {192, 192, 192},
    {255, 128, 192},
    {224, 224, 160},
    {0, 255, 192},
}};

// Blue-yellow safe: PLACEHOLDER.
constexpr MessageColours kBlueYellowSafe = kRedGreenSafe;

// High contrast: PLACEHOLDER.
constexpr MessageColours kHighContrast = kRedGreenSafe;

} // namespace

const MessageColours& gameColours()
{
    // The shipped file is read like a player's; a fault in it fails the unit tests, never a
    // player's start-up, since nothing reads it before the colour check asks.
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
