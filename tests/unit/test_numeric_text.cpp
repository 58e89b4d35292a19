// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The numeric text rules behind colour lines in bh.cfg and the editor's text boxes.
#include "NumericText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

using namespace std::string_view_literals;

// A row: what would be wrong if it failed, what goes in and what must come out.
template <typename In, typename Out> struct Row {
    const char* fault;
    In in;
    Out out;
};

const double kMax = std::numeric_limits<double>::max();

// clang-format off
const Row<std::string_view, double> kNumbers[] = {
    {"empty text must read as 0", "", 0},
    {"trailing letters must end the number", "12abc", 12},
    {"blanks inside a number must be skipped", "2 5", 25},
    {"tabs and blanks in front must be skipped", " \t 7", 7},
    {"blank between sign and digits must be skipped", "- 5", -5},
    {"a plus sign must be accepted", "+7", 7},
    {"a lone minus sign is no number", "-", 0},
    {"text without digits is 0", "abc", 0},
    {"a fraction without integer digits", ".5", 0.5},
    {"a trailing decimal point", "12.", 12},
    {"negative fractions keep their sign", "-0.4", -0.4},
    {"upper-case exponent", "1.5E+2", 150},
    {"lower-case exponent", "1e3", 1000},
    {"an exponent without digits is ignored", "12e", 12},
    {"an exponent sign without digits is ignored", "12E-", 12},
    {"a second decimal point ends the number", "1.2.3", 1.2},
    {"hexadecimal prefix", "&HFF", 255},
    {"lower-case hexadecimal prefix", "&hff", 255},
    {"octal prefix", "&O17", 15},
    {"lower-case octal prefix", "&o17", 15},
    {"long hexadecimal is unsigned, not -1", "&HFFFFFFFF", 4294967295.0},
    {"hexadecimal stops at the first non-digit", "&H1G", 1},
    {"a prefix without digits is 0", "&H", 0},
    {"an unknown prefix is 0", "&X12", 0},
    {"a sign before a prefix is no number", "-&H10", 0},
    {"a number beyond double range is the largest double", "1E400", kMax},
    {"a negative number beyond range is the lowest double", "-1E400", -kMax},
    {"a number too small for a double is 0", "1E-400", 0},
    {"many digits still read as a number", "99999999999999999999", 1e20},
    {"significant digits after leading zeros set the magnitude", "0.0001E5", 10},
    {"an absurd exponent saturates", "1E99999999999999999999999", kMax},
    {"a NUL byte ends the number", "3\0" "4"sv, 3},
};
// clang-format on

TEST(LeadingNumber, ReadsTheValue)
{
    for (const auto& row : kNumbers) {
        EXPECT_DOUBLE_EQ(bh::leadingNumber(row.in), row.out) << row.fault << ": " << row.in;
    }
}

const Row<double, double> kRounds[] = {
    {"a half must go to the even neighbour below", 242.5, 242},
    {"a half must go to the even neighbour above", 241.5, 242},
    {"a half at the top of the range stays in range", 254.5, 254},
    {"a half above the top goes out of range", 255.5, 256},
    {"a half below zero rounds to zero", -0.5, 0},
    {"just under a half rounds down", 12.4999, 12},
    {"just over a half rounds up", 12.5001, 13},
    {"negative values round to the nearest", -0.6, -1},
};

TEST(RoundHalfEven, Rounds)
{
    for (const auto& row : kRounds) {
        EXPECT_EQ(bh::roundHalfEven(row.in), row.out) << row.fault;
    }
}

TEST(ToComponent, AcceptsOnlyWhatRoundsInto0To255)
{
    EXPECT_EQ(bh::toComponent(255.4), 255);
    EXPECT_EQ(bh::toComponent(-0.4), 0);
    EXPECT_EQ(bh::toComponent(254.5), 254);
    EXPECT_EQ(bh::toComponent(0), 0);
    EXPECT_FALSE(bh::toComponent(255.5)) << "255.5 rounds to 256";
    EXPECT_FALSE(bh::toComponent(-0.6)) << "-0.6 rounds to -1";
    EXPECT_FALSE(bh::toComponent(kMax));
    EXPECT_FALSE(bh::toComponent(-kMax));
}

const Row<double, const char*> kTexts[] = {
    {"whole numbers have no decimal point", 7, "7"},
    {"trailing zeros are dropped", 12.5, "12.5"},
    {"negative zero shows as 0", -0.0, "0"},
    {"negative numbers keep their sign", -5, "-5"},
    {"fractions below one keep their leading zero", 0.25, "0.25"},
    {"at most 15 significant digits", 1.0 / 3.0, "0.333333333333333"},
    {"large numbers use an exponent", 1e16, "1E+16"},
    {"15 digits still fit without exponent", 123456789012345.0, "123456789012345"},
    {"tiny numbers use an exponent", 1.5e-7, "1.5E-07"},
};

TEST(ShortNumberText, Writes)
{
    for (const auto& row : kTexts) {
        EXPECT_EQ(bh::shortNumberText(row.in), row.out) << row.fault;
    }
}

TEST(ShortNumberText, ReadsBackToItself)
{
    // The text boxes rewrite a number in short form and then read it again: the form must be
    // a fixed point, or the box would never come to rest.
    for (const double value : {12.7, 1e300, kMax, -kMax, 0.1 + 0.2, 255.0, 1e-300}) {
        const std::string once = bh::shortNumberText(value);
        EXPECT_EQ(bh::shortNumberText(bh::leadingNumber(once)), once) << value;
    }
}

} // namespace
