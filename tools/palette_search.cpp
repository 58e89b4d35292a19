// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
//
// Chooses the colour-safe palettes once, offline, and prints each as the rows
// colour/Palettes.cpp keeps, with the figures that prove it. Never run at start-up: the program
// carries its result.
//
// A palette is 14 colours, each at least its contrast on the panel's grey. Its "gap" is the
// smallest CIEDE2000 difference of any two of them with any vision it promises; the search makes
// the gap as large as it can while each type keeps its game colour's family (see allowed()), so
// a player still knows the log:
//  1. maximin by coordinate ascent from many random starts on a coarse sRGB grid: each type in
//     turn takes the allowed colour farthest from the other 13 (every pair's gap is worked out
//     once, in a table);
//  2. the best ten starts refined the same way on the full 8-bit cube, in ever smaller
//     neighbourhoods, and the best of them kept;
//  3. each colour moved as near its game colour as it can go without lowering the gap.
// The hue's reach is 30 degrees: 20 costs up to 2 of the gap, 45 gains at most 1.2 (in High
// contrast) and lets a type drift out of its family. A fixed seed: a run prints the same
// palettes again. Arguments, to try others: grid step (12), starts (800), reach (30).
#include "ColourCheck.h"
#include "Palettes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <random>
#include <vector>

namespace {

using bh::Colour;
using bh::Lab;
using bh::MessageColours;
using bh::Vision;

struct Goal {
    const char* name;
    double contrast;
    std::vector<Vision> visions;
    double reach;
};

// A colour with its CIELAB as each of the goal's visions sees it.
struct Seen {
    Colour colour{};
    std::vector<Lab> lab;
};

Seen see(const Goal& goal, const Colour& colour)
{
    Seen seen{colour, {}};
    for (Vision vision : goal.visions) {
        seen.lab.push_back(bh::seenWithAsLab(vision, colour));
    }
    return seen;
}

// The smallest difference of two colours over the goal's visions; stops early once at floor.
double gap(const Seen& one, const Seen& other, double floor = -1)
{
    double smallest = std::numeric_limits<double>::max();
    for (std::size_t v = 0; v < one.lab.size() && smallest > floor; ++v) {
        smallest = std::min(smallest, bh::CIEDE2000(one.lab[v], other.lab[v]));
    }
    return smallest;
}

// The smallest gap between the colour in slot (or a candidate for it) and the other slots'.
double gapToOthers(const std::vector<Seen>& palette, std::size_t slot, const Seen& candidate,
                   double floor = -1)
{
    double smallest = std::numeric_limits<double>::max();
    for (std::size_t other = 0; other < palette.size() && smallest > floor; ++other) {
        if (other != slot) {
            smallest = std::min(smallest, gap(candidate, palette[other], floor));
        }
    }
    return smallest;
}

double smallestGap(const std::vector<Seen>& palette)
{
    double smallest = std::numeric_limits<double>::max();
    for (std::size_t slot = 0; slot < palette.size(); ++slot) {
        smallest = std::min(smallest, gapToOthers(palette, slot, palette[slot]));
    }
    return smallest;
}

// How far a colour is from a game colour in hue and chroma: CIEDE2000 at the game colour's
// lightness, since a lighter red is still the log's red, and a brown is not.
double fromGame(const Colour& colour, const Colour& game)
{
    const Lab gameLab = bh::sRGBToLab(game);
    Lab lab = bh::sRGBToLab(colour);
    lab.L = gameLab.L;
    return bh::CIEDE2000(lab, gameLab);
}

// CIELAB chroma and hue angle in degrees.
std::pair<double, double> chromaAndHue(const Colour& colour)
{
    const Lab lab = bh::sRGBToLab(colour);
    return {std::hypot(lab.a, lab.b), std::atan2(lab.b, lab.a) * 180 / 3.14159265358979};
}

// Whether colour may stand for a type whose game colour is game: readable, and of the same
// family. A grey or white stays nearly neutral; a coloured one keeps its hue within the goal's
// reach (in degrees) and at least a third of its chroma, or 15, as much as a red or a magenta can
// keep at 7 : 1, since a magenta gone white is no longer the log's magenta.
bool allowed(const Goal& goal, const Colour& colour, const Colour& game)
{
    constexpr double kNeutral = 15;
    if (bh::contrastRatio(colour, bh::kPanelGrey) < goal.contrast) {
        return false;
    }
    const auto [chroma, hue] = chromaAndHue(colour);
    const auto [gameChroma, gameHue] = chromaAndHue(game);
    if (gameChroma < kNeutral) {
        return chroma < kNeutral;
    }
    const double turn = std::abs(std::remainder(hue - gameHue, 360.0));
    return turn <= goal.reach && chroma >= std::min(gameChroma / 3, kNeutral);
}

Colour colourOf(int r, int g, int b)
{
    return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
            static_cast<std::uint8_t>(b)};
}

// Step 1: the best few of many random starts on a grid, with every pair's gap in one table.
std::vector<std::vector<Seen>> coarseSearch(const Goal& goal, const MessageColours& game, int step,
                                            int starts, std::size_t keep, std::mt19937& random)
{
    std::vector<Seen> grid;
    std::vector<std::vector<std::size_t>> within(game.size());
    for (int r = 0; r <= 255; r += step) {
        for (int g = 0; g <= 255; g += step) {
            for (int b = 0; b <= 255; b += step) {
                const Colour colour = colourOf(r, g, b);
                bool any = false;
                for (std::size_t slot = 0; slot < game.size(); ++slot) {
                    if (allowed(goal, colour, game[slot])) {
                        within[slot].push_back(grid.size());
                        any = true;
                    }
                }
                if (any) {
                    grid.push_back(see(goal, colour));
                }
            }
        }
    }
    for (std::size_t slot = 0; slot < game.size(); ++slot) {
        if (within[slot].empty()) {
            std::fprintf(stderr, "%s: no colour within reach of %s\n", goal.name,
                         bh::kMessageTypeNames[slot].data());
            std::exit(1);
        }
    }
    const std::size_t n = grid.size();
    std::vector<float> table(n * n);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            table[i * n + j] = table[j * n + i] = static_cast<float>(gap(grid[i], grid[j]));
        }
    }

    std::vector<std::pair<float, std::vector<std::size_t>>> best;
    for (int start = 0; start < starts; ++start) {
        std::vector<std::size_t> chosen(game.size());
        for (std::size_t slot = 0; slot < chosen.size(); ++slot) {
            std::uniform_int_distribution<std::size_t> pick(0, within[slot].size() - 1);
            chosen[slot] = within[slot][pick(random)];
        }
        auto toOthers = [&](std::size_t slot, std::size_t candidate, float floor) {
            float smallest = std::numeric_limits<float>::max();
            for (std::size_t other = 0; other < chosen.size() && smallest > floor; ++other) {
                if (other != slot) {
                    smallest = std::min(smallest, table[candidate * n + chosen[other]]);
                }
            }
            return smallest;
        };
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t slot = 0; slot < chosen.size(); ++slot) {
                float own = toOthers(slot, chosen[slot], -1);
                for (std::size_t candidate : within[slot]) {
                    const float d = toOthers(slot, candidate, own);
                    if (d > own) {
                        own = d;
                        chosen[slot] = candidate;
                        moved = true;
                    }
                }
            }
        }
        float smallest = std::numeric_limits<float>::max();
        for (std::size_t slot = 0; slot < chosen.size(); ++slot) {
            smallest = std::min(smallest, toOthers(slot, chosen[slot], -1));
        }
        const bool seen = std::any_of(best.begin(), best.end(),
                                      [&](const auto& found) { return found.second == chosen; });
        if (!seen) {
            best.emplace_back(smallest, chosen);
            std::sort(best.begin(), best.end(), std::greater<>());
            best.resize(std::min(best.size(), keep));
        }
    }
    std::fprintf(stderr, "%s: %zu grid colours, gap %.2f on the grid\n", goal.name, n,
                 best.front().first);
    std::vector<std::vector<Seen>> palettes;
    for (const auto& found : best) {
        palettes.emplace_back();
        for (std::size_t index : found.second) {
            palettes.back().push_back(grid[index]);
        }
    }
    return palettes;
}

// The colours within radius of centre on a lattice of step, and within the slot's reach.
std::vector<Colour> neighbourhood(const Goal& goal, const Colour& centre, const Colour& game,
                                  int radius, int step)
{
    std::vector<Colour> out;
    for (int dr = -radius; dr <= radius; dr += step) {
        for (int dg = -radius; dg <= radius; dg += step) {
            for (int db = -radius; db <= radius; db += step) {
                const int r = centre[0] + dr;
                const int g = centre[1] + dg;
                const int b = centre[2] + db;
                if (r >= 0 && r <= 255 && g >= 0 && g <= 255 && b >= 0 && b <= 255 &&
                    allowed(goal, colourOf(r, g, b), game)) {
                    out.push_back(colourOf(r, g, b));
                }
            }
        }
    }
    return out;
}

constexpr std::array<std::pair<int, int>, 3> kNeighbourhoods = {{{24, 6}, {8, 2}, {3, 1}}};

// Step 2: the same ascent on the full cube, near where each colour already is.
void refine(const Goal& goal, const MessageColours& game, std::vector<Seen>& palette)
{
    for (auto [radius, step] : kNeighbourhoods) {
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t slot = 0; slot < palette.size(); ++slot) {
                double own = gapToOthers(palette, slot, palette[slot]);
                for (const Colour& colour :
                     neighbourhood(goal, palette[slot].colour, game[slot], radius, step)) {
                    const Seen candidate = see(goal, colour);
                    const double d = gapToOthers(palette, slot, candidate, own);
                    if (d > own + 1e-9) {
                        own = d;
                        palette[slot] = candidate;
                        moved = true;
                    }
                }
            }
        }
    }
}

// Step 3: each colour as near its game colour as the gap allows.
void towardsGame(const Goal& goal, const MessageColours& game, std::vector<Seen>& palette,
                 double keep)
{
    for (auto [radius, step] : kNeighbourhoods) {
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t slot = 0; slot < palette.size(); ++slot) {
                double near = fromGame(palette[slot].colour, game[slot]);
                for (const Colour& colour :
                     neighbourhood(goal, palette[slot].colour, game[slot], radius, step)) {
                    const double d = fromGame(colour, game[slot]);
                    if (d < near - 1e-9) {
                        const Seen candidate = see(goal, colour);
                        if (gapToOthers(palette, slot, candidate, keep) >= keep) {
                            near = d;
                            palette[slot] = candidate;
                            moved = true;
                        }
                    }
                }
            }
        }
    }
}

void print(const Goal& goal, const MessageColours& game, const std::vector<Seen>& palette)
{
    double contrast = std::numeric_limits<double>::max();
    double drift = 0;
    for (std::size_t slot = 0; slot < palette.size(); ++slot) {
        contrast = std::min(contrast, bh::contrastRatio(palette[slot].colour, bh::kPanelGrey));
        drift = std::max(drift, fromGame(palette[slot].colour, game[slot]));
    }
    static constexpr std::array<const char*, bh::kVisionCount> kVisions = {
        "normal vision", "protanopia", "deuteranopia", "tritanopia"};
    std::printf("// %s: smallest contrast %.2f : 1; smallest gap", goal.name, contrast);
    const char* separator = "";
    for (Vision vision : goal.visions) {
        const Goal one{goal.name, goal.contrast, {vision}, goal.reach};
        std::vector<Seen> seen;
        seen.reserve(palette.size());
        for (const Seen& colour : palette) {
            seen.push_back(see(one, colour.colour));
        }
        std::printf("%s %.2f with %s", separator, smallestGap(seen),
                    kVisions.at(static_cast<std::size_t>(vision)));
        separator = ",";
    }
    std::printf("; at most %.1f from the game's colours (CIEDE2000 at their lightness)\n", drift);
    for (std::size_t slot = 0; slot < palette.size(); ++slot) {
        const Colour& c = palette[slot].colour;
        std::printf("    {%d, %d, %d}, // %s\n", c[0], c[1], c[2],
                    bh::kMessageTypeNames[slot].data());
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int step = argc > 1 ? std::atoi(argv[1]) : 12;
    const int starts = argc > 2 ? std::atoi(argv[2]) : 800;
    const double reach = argc > 3 ? std::atof(argv[3]) : 30;
    const std::vector<Goal> goals = {
        {"Red-green safe", 4.5, {Vision::Normal, Vision::Protanopia, Vision::Deuteranopia}, reach},
        {"Blue-yellow safe", 4.5, {Vision::Normal, Vision::Tritanopia}, reach},
        {"High contrast", 7.0, {Vision::Normal}, reach},
    };
    const MessageColours& game = bh::gameColours();
    std::mt19937 random(41);
    for (const Goal& goal : goals) {
        std::vector<Seen> palette;
        for (std::vector<Seen>& start : coarseSearch(goal, game, step, starts, 10, random)) {
            refine(goal, game, start);
            if (palette.empty() || smallestGap(start) > smallestGap(palette)) {
                palette = start;
            }
        }
        towardsGame(goal, game, palette, smallestGap(palette));
        print(goal, game, palette);
    }
}
