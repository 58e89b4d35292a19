// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The records every kind of test starts from. Standard C++ only, so the settings-file tests
// share them without Qt.
#pragma once

#include "ConfigRecord.h"

#include <random>

namespace bh_test {

// Every colour component unlike every other and unlike white, the options as a new record has
// them: a colour shown, saved or read for the wrong type or component shows up.
inline bh::ConfigRecord colourfulRecord()
{
    bh::ConfigRecord r;
    for (std::size_t i = 0; i < r.colours.size(); ++i) {
        for (std::size_t c = 0; c < r.colours[i].size(); ++c) {
            r.colours[i][c] = static_cast<std::uint8_t>(10 + 3 * i + c);
        }
    }
    return r;
}

// The colourful record with each option unlike its neighbours and the depth not the default,
// so a field read from the wrong line shows up.
inline bh::ConfigRecord distinctRecord()
{
    bh::ConfigRecord r = colourfulRecord();
    r.debugInfo = r.antialiasing = r.wBuffering = r.keepBodies = true;
    r.depth = bh::ColourDepth::Bits16;
    return r;
}

// Any record at all, drawn from the engine.
template <typename Engine> bh::ConfigRecord randomRecord(Engine& random)
{
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    bh::ConfigRecord r;
    for (bool* option :
         {&r.fullScreen, &r.debugInfo, &r.antialiasing, &r.dithering, &r.wBuffering}) {
        *option = pick(2); // in file order, as the seeded runs have always drawn them
    }
    r.depth = std::array{bh::ColourDepth::Bits16, bh::ColourDepth::Bits24,
                         bh::ColourDepth::Bits32}[static_cast<std::size_t>(pick(3))];
    r.keepBodies = pick(2);
    for (bh::Colour& colour : r.colours) {
        for (std::uint8_t& component : colour) {
            component = static_cast<std::uint8_t>(pick(256));
        }
    }
    return r;
}

} // namespace bh_test
