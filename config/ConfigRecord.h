// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace bh {

// The message types of the game's message log. The index is the position of the type's
// colour in bh.cfg, in the window's colour table and in its column of labels.
enum class MessageType : int {
    SystemMessages,
    Targets,
    YourHits,
    Quests,
    NpcHits,
    Potions,
    Cheats,
    Valuables,
    Loots,
    ZoneMoves,
    Rest,
    Steal,
    Reason,
    Improves,
};

inline constexpr int kMessageTypeCount = 14;

// The captions the window shows, in message-type order.
inline constexpr std::array<std::string_view, kMessageTypeCount> kMessageTypeNames = {
    "System messages", "Targets", "Your hits",  "Quests", "NPC hits", "Potions", "Cheats",
    "Valuables",       "Loots",   "Zone moves", "Rest",   "Steal",    "Reason",  "Improves",
};

enum class ColourDepth : int { Bits16 = 16, Bits24 = 24, Bits32 = 32 };

// Red, green, blue, in that order everywhere: in the file, in the table and in the editor.
using Colour = std::array<std::uint8_t, 3>;
inline constexpr int kComponentCount = 3;

// Everything bh.cfg holds, field by field in file order.
struct ConfigRecord {
    bool fullScreen = false;
    bool debugInfo = false;
    bool antialiasing = false;
    bool dithering = false;
    bool wBuffering = false;
    ColourDepth depth = ColourDepth::Bits32;
    bool keepBodies = false;
    std::array<Colour, kMessageTypeCount> colours{};

    bool operator==(const ConfigRecord&) const = default;
};

// bh.cfg always holds exactly this many lines: seven options, then 14 colours of 3 components.
inline constexpr int kOptionFieldCount = 7;
inline constexpr int kFieldCount = kOptionFieldCount + kMessageTypeCount * kComponentCount;

} // namespace bh
