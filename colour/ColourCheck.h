// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ColourModel.h"
#include "ConfigRecord.h"

#include <array>
#include <vector>

// The colour check: whether each message type reads well on the message panel, and which types
// look alike with normal vision and to red-, green- and blue-blind players.
namespace bh {

// The 14 colours in message-type order, as in the window's colour table.
using MessageColours = std::array<Colour, kMessageTypeCount>;

// The message panel's grey, which stands for the game's log: every colour is read against it.
inline constexpr Colour kPanelGrey = {64, 64, 64};
// WCAG 2's least contrast for text; below it a type is hard to read.
inline constexpr double kReadableContrast = 4.5;
// Two types closer than this CIEDE2000 difference look alike.
inline constexpr double kLookAlikeDifference = 5.0;

// Whose eyes the colours are checked with, in the order the check lists them.
enum class Vision : int { Normal, Protanopia, Deuteranopia, Tritanopia };
inline constexpr int kVisionCount = 4;

// A colour as a player with vision sees it, in 8-bit sRGB, to draw on the panel.
Colour seenWith(Vision vision, const Colour& colour);
// The same, in CIELAB, unrounded: what the look-alike differences are measured on.
Lab seenWithAsLab(Vision vision, const Colour& colour);

struct TypeContrast {
    double contrast = 1;     // against kPanelGrey, 1 to 21
    bool hardToRead = false; // contrast below kReadableContrast
};

// Two message types (first < second, as MessageType values) whose colours look alike.
struct LookAlikePair {
    int first = 0;
    int second = 0;
    double difference = 0; // CIEDE2000, below kLookAlikeDifference
};

struct ColourCheckResult {
    std::array<TypeContrast, kMessageTypeCount> contrast{};
    // By Vision; each list in order of first, then second.
    std::array<std::vector<LookAlikePair>, kVisionCount> lookAlike{};
};

// The whole check of 14 colours. Never fails.
ColourCheckResult checkColours(const MessageColours& colours);

} // namespace bh
