// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The numeric text rules shared by bh.cfg's colour lines and the editor's text boxes, so that a
// value typed into a box and the same text in the file mean the same number.
namespace bh {

// The value of the longest leading part of text that reads as a number: an optional sign,
// digits, a decimal point and more digits, an exponent E (or e) with optional sign and digits;
// or "&H" hexadecimal / "&O" octal digits read as an unsigned value. Blanks and tabs anywhere in
// it are skipped ("2 5" is 25). Text with no such part is 0. Never fails: a value beyond the
// double range becomes the largest double of its sign, one too small for it becomes 0.
double leadingNumber(std::string_view text);

// Rounds to the nearest whole number, a half going to the even neighbour (242.5 -> 242).
double roundHalfEven(double value);

// The colour component a value stands for after rounding; nullopt when that lies outside 0..255.
std::optional<std::uint8_t> toComponent(double value);

// The short decimal form of a value: no leading zeros, no decimal point for a whole number, no
// trailing zeros, at most 15 significant digits, an exponent ("1E+16") only where the digits
// would not fit. Always with a decimal point, whatever the user's locale.
std::string shortNumberText(double value);

// A blank or a tab: skipped anywhere in a number, and around a field of bh.cfg.
constexpr bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace bh
