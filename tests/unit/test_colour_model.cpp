// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The colour model against published figures, the check on the game's colours, and the proof
// of every colour-safe palette, worked out here from its colours.
#include "ColourCheck.h"
#include "Palettes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace {

using bh::CIEDE2000;
using bh::Lab;
using bh::MessageType;
using bh::Palette;
using bh::Vision;

// CIEDE2000 both ways round; not a number when the two differ, as the formula is symmetric.
double deltaE00(const Lab& first, const Lab& second)
{
    const double there = CIEDE2000(first, second);
    return std::abs(there - CIEDE2000(second, first)) < 1e-9
               ? there
               : std::numeric_limits<double>::quiet_NaN();
}

struct Published {
    const char* source;
    double measured;
    double published;
    double within; // half a unit of the published figure's last digit
};

// Sharma, Wu and Dalal (2005), table 1: all 34 pairs, to four decimals. Pairs 10 and 14 sit on
// the hue boundary, their hues exactly 180 degrees apart: the paper's equations count that as
// "|h1' - h2'| <= 180", mean hue (h1' + h2') / 2, so each equals its neighbour short of the
// boundary (9, 13); taking the other side gives 7.2195 and 4.7461 for them instead.
// clang-format off
const Published kPublished[] = {
    {"Sharma 1", deltaE00({50, 2.6772, -79.7751}, {50, 0, -82.7485}), 2.0425, 5e-5},
    {"Sharma 2", deltaE00({50, 3.1571, -77.2803}, {50, 0, -82.7485}), 2.8615, 5e-5},
    {"Sharma 3", deltaE00({50, 2.8361, -74.0200}, {50, 0, -82.7485}), 3.4412, 5e-5},
    {"Sharma 4", deltaE00({50, -1.3802, -84.2814}, {50, 0, -82.7485}), 1.0000, 5e-5},
    {"Sharma 5", deltaE00({50, -1.1848, -84.8006}, {50, 0, -82.7485}), 1.0000, 5e-5},
    {"Sharma 6", deltaE00({50, -0.9009, -85.5211}, {50, 0, -82.7485}), 1.0000, 5e-5},
    {"Sharma 7", deltaE00({50, 0, 0}, {50, -1, 2}), 2.3669, 5e-5},
    {"Sharma 8", deltaE00({50, -1, 2}, {50, 0, 0}), 2.3669, 5e-5},
    {"Sharma 9", deltaE00({50, 2.49, -0.001}, {50, -2.49, 0.0009}), 7.1792, 5e-5},
    {"Sharma 10", deltaE00({50, 2.49, -0.001}, {50, -2.49, 0.0010}), 7.1792, 5e-5},
    {"Sharma 11", deltaE00({50, 2.49, -0.001}, {50, -2.49, 0.0011}), 7.2195, 5e-5},
    {"Sharma 12", deltaE00({50, 2.49, -0.001}, {50, -2.49, 0.0012}), 7.2195, 5e-5},
    {"Sharma 13", deltaE00({50, -0.001, 2.49}, {50, 0.0009, -2.49}), 4.8045, 5e-5},
    {"Sharma 14", deltaE00({50, -0.001, 2.49}, {50, 0.0010, -2.49}), 4.8045, 5e-5},
    {"Sharma 15", deltaE00({50, -0.001, 2.49}, {50, 0.0011, -2.49}), 4.7461, 5e-5},
    {"Sharma 16", deltaE00({50, 2.5, 0}, {50, 0, -2.5}), 4.3065, 5e-5},
    {"Sharma 17", deltaE00({50, 2.5, 0}, {73, 25, -18}), 27.1492, 5e-5},
    {"Sharma 18", deltaE00({50, 2.5, 0}, {61, -5, 29}), 22.8977, 5e-5},
    {"Sharma 19", deltaE00({50, 2.5, 0}, {56, -27, -3}), 31.9030, 5e-5},
    {"Sharma 20", deltaE00({50, 2.5, 0}, {58, 24, 15}), 19.4535, 5e-5},
    {"Sharma 21", deltaE00({50, 2.5, 0}, {50, 3.1736, 0.5854}), 1.0000, 5e-5},
    {"Sharma 22", deltaE00({50, 2.5, 0}, {50, 3.2972, 0}), 1.0000, 5e-5},
    {"Sharma 23", deltaE00({50, 2.5, 0}, {50, 1.8634, 0.5757}), 1.0000, 5e-5},
    {"Sharma 24", deltaE00({50, 2.5, 0}, {50, 3.2592, 0.3350}), 1.0000, 5e-5},
    {"Sharma 25", deltaE00({60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}), 1.2644, 5e-5},
    {"Sharma 26", deltaE00({63.0109, -31.0961, -5.8663}, {62.8187, -29.7946, -4.0864}), 1.2630, 5e-5},
    {"Sharma 27", deltaE00({61.2901, 3.7196, -5.3901}, {61.4292, 2.2480, -4.9620}), 1.8731, 5e-5},
    {"Sharma 28", deltaE00({35.0831, -44.1164, 3.7933}, {35.0232, -40.0716, 1.5901}), 1.8645, 5e-5},
    {"Sharma 29", deltaE00({22.7233, 20.0904, -46.6940}, {23.0331, 14.9730, -42.5619}), 2.0373, 5e-5},
    {"Sharma 30", deltaE00({36.4612, 47.8580, 18.3852}, {36.2715, 50.5065, 21.2231}), 1.4146, 5e-5},
    {"Sharma 31", deltaE00({90.8027, -2.0831, 1.4410}, {91.1528, -1.6435, 0.0447}), 1.4441, 5e-5},
    {"Sharma 32", deltaE00({90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}), 1.5381, 5e-5},
    {"Sharma 33", deltaE00({6.7747, -0.2908, -2.4247}, {5.8714, -0.0985, -2.2286}), 0.6377, 5e-5},
    {"Sharma 34", deltaE00({2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}), 0.9082, 5e-5},
    // WCAG 2: the extremes, and the two greys on white either side of 4.5 : 1 that its
    // techniques quote.
    {"WCAG black on white", bh::contrastRatio({0, 0, 0}, {255, 255, 255}), 21, 1e-9},
    {"WCAG equal colours", bh::contrastRatio({119, 64, 200}, {119, 64, 200}), 1, 1e-9},
    {"WCAG #767676 on white", bh::contrastRatio({255, 255, 255}, {0x76, 0x76, 0x76}), 4.54, 5e-3},
    {"WCAG #777777 on white", bh::contrastRatio({0x77, 0x77, 0x77}, {255, 255, 255}), 4.48, 5e-3},
    // IEC 61966-2-1: mid-scale sRGB in linear light, and CIELAB of the sRGB red primary.
    {"sRGB 0.5 to linear", bh::sRGBToLinear(0.5), 0.2140, 5e-5},
    {"sRGB red L*", bh::sRGBToLab({255, 0, 0}).L, 53.24, 5e-2},
    {"sRGB red a*", bh::sRGBToLab({255, 0, 0}).a, 80.09, 5e-2},
    {"sRGB red b*", bh::sRGBToLab({255, 0, 0}).b, 67.20, 5e-2},
};
// clang-format on

TEST(ColourModel, AgreesWithPublishedFigures)
{
    for (const Published& row : kPublished) {
        EXPECT_NEAR(row.measured, row.published, row.within) << row.source;
    }
}

// Every 8-bit component comes back from linear light as itself, and a grey looks grey to all.
TEST(ColourModel, RoundTripsAndKeepsGreys)
{
    for (int v = 0; v <= 255; ++v) {
        const auto c = static_cast<std::uint8_t>(v);
        EXPECT_EQ(bh::linearToSRGB(bh::sRGBToLinear(bh::Colour{c, c, c})), (bh::Colour{c, c, c}));
        for (Vision vision : {Vision::Protanopia, Vision::Deuteranopia, Vision::Tritanopia}) {
            for (std::uint8_t seen : bh::seenWith(vision, {c, c, c})) {
                EXPECT_NEAR(seen, v, 1) << v;
            }
        }
    }
}

// What a player of the game's own colours meets: figures measured by hand on the shipped file.
TEST(ColourCheck, FindsTheGameColoursFaults)
{
    const bh::MessageColours& game = bh::gameColours();
    EXPECT_EQ(game[4], (bh::Colour{255, 96, 96}));
    EXPECT_EQ(game[6], (bh::Colour{255, 0, 255}));
    const bh::ColourCheckResult check = bh::checkColours(game);
    struct Contrast {
        MessageType type;
        double ratio;
        bool hard;
    };
    for (auto [type, ratio, hard] :
         {Contrast{MessageType::NpcHits, 3.5, true}, Contrast{MessageType::Cheats, 3.3, true},
          Contrast{MessageType::SystemMessages, 10.4, false}}) {
        const auto& found = check.contrast[static_cast<std::size_t>(type)];
        EXPECT_NEAR(found.contrast, ratio, 0.05) << static_cast<int>(type);
        EXPECT_EQ(found.hardToRead, hard) << static_cast<int>(type);
    }
    struct Alike {
        Vision vision;
        MessageType first;
        MessageType second;
        double difference;
    };
    EXPECT_TRUE(check.lookAlike[0].empty());
    for (auto [vision, first, second, difference] :
         {Alike{Vision::Protanopia, MessageType::SystemMessages, MessageType::Loots, 3.3},
          Alike{Vision::Protanopia, MessageType::Targets, MessageType::Quests, 3.5},
          Alike{Vision::Deuteranopia, MessageType::Potions, MessageType::Cheats, 3.6}}) {
        bool listed = false;
        for (const bh::LookAlikePair& pair : check.lookAlike[static_cast<std::size_t>(vision)]) {
            if (pair.first == static_cast<int>(first) && pair.second == static_cast<int>(second)) {
                listed = true;
                EXPECT_NEAR(pair.difference, difference, 0.05);
            }
        }
        EXPECT_TRUE(listed) << static_cast<int>(first) << " and " << static_cast<int>(second);
    }
}

// Each palette keeps its promise: the least contrast on the panel's grey, and the least
// CIEDE2000 difference of any two types with each vision it is for.
TEST(Palettes, KeepTheirPromises)
{
    struct Promise {
        Palette palette;
        double contrast;
        double difference;
        std::vector<Vision> visions;
    };
    const std::vector<Promise> promises = {
        {Palette::RedGreenSafe, 4.5, 7, {Vision::Normal, Vision::Protanopia, Vision::Deuteranopia}},
        {Palette::BlueYellowSafe, 4.5, 10, {Vision::Normal, Vision::Tritanopia}},
        {Palette::HighContrast, 7, 10, {Vision::Normal}},
    };
    for (const Promise& promise : promises) {
        const bh::MessageColours colours = bh::paletteColours(promise.palette, {});
        for (std::size_t i = 0; i < colours.size(); ++i) {
            EXPECT_GE(bh::contrastRatio(colours[i], {64, 64, 64}), promise.contrast) << i;
            for (std::size_t j = i + 1; j < colours.size(); ++j) {
                for (Vision vision : promise.visions) {
                    EXPECT_GE(CIEDE2000(bh::seenWithAsLab(vision, colours[i]),
                                        bh::seenWithAsLab(vision, colours[j])),
                              promise.difference)
                        << static_cast<int>(promise.palette) << ": " << i << " and " << j;
                }
            }
        }
    }
    const bh::MessageColours mine = {{{1, 2, 3}}};
    EXPECT_EQ(bh::paletteColours(Palette::AsWhenOpened, mine), mine);
    EXPECT_EQ(bh::paletteColours(Palette::GameColours, mine), bh::gameColours());
}

} // namespace
