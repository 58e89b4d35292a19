// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg as text: what each line means when read, and exactly what is written.
#include "ConfigError.h"
#include "ConfigFormat.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using bh::ColourDepth;
using bh::ConfigError;
using bh::ConfigRecord;

// A record in which every field differs from its neighbours, so a field read from the wrong
// line shows up.
ConfigRecord distinctRecord()
{
    ConfigRecord r;
    r.fullScreen = false;
    r.debugInfo = true;
    r.antialiasing = true;
    r.dithering = false;
    r.wBuffering = true;
    r.depth = ColourDepth::Bits16;
    r.keepBodies = true;
    for (int i = 0; i < bh::kMessageTypeCount; ++i) {
        for (int c = 0; c < bh::kComponentCount; ++c) {
            r.colours[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)] =
                static_cast<std::uint8_t>(10 + i * 3 + c);
        }
    }
    return r;
}

// The lines of a file, joined by the given line end (and one after the last line).
std::string joinLines(const std::vector<std::string>& lines, const std::string& end = "\r\n")
{
    std::string text;
    for (const auto& line : lines) {
        text += line + end;
    }
    return text;
}

std::vector<std::string> linesOf(const ConfigRecord& record)
{
    std::vector<std::string> lines;
    std::istringstream in(bh::formatConfig(record));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line.substr(0, line.size() - 1)); // drop the CR
    }
    return lines;
}

// The distinct record's file with line number `line` (1-based) replaced by text.
std::string withLine(int line, const std::string& text)
{
    auto lines = linesOf(distinctRecord());
    lines[static_cast<std::size_t>(line - 1)] = text;
    return joinLines(lines);
}

TEST(FormatConfig, WritesFortyNineCrLfLinesInFieldOrder)
{
    ConfigRecord r = distinctRecord();
    r.colours[0] = {255, 255, 255};
    r.colours[13] = {0, 7, 100};
    const std::string expected = "0\r\n1\r\n1\r\n0\r\n1\r\n16\r\n1\r\n"
                                 "255\r\n255\r\n255\r\n"
                                 "13\r\n14\r\n15\r\n16\r\n17\r\n18\r\n19\r\n20\r\n21\r\n"
                                 "22\r\n23\r\n24\r\n25\r\n26\r\n27\r\n28\r\n29\r\n30\r\n"
                                 "31\r\n32\r\n33\r\n34\r\n35\r\n36\r\n37\r\n38\r\n39\r\n"
                                 "40\r\n41\r\n42\r\n43\r\n44\r\n45\r\n46\r\n47\r\n48\r\n"
                                 "0\r\n7\r\n100\r\n";
    EXPECT_EQ(bh::formatConfig(r), expected);
}

TEST(FormatConfig, WritesEachDepth)
{
    for (const auto& [depth, text] :
         {std::pair{ColourDepth::Bits16, "16"}, std::pair{ColourDepth::Bits24, "24"},
          std::pair{ColourDepth::Bits32, "32"}}) {
        ConfigRecord r;
        r.depth = depth;
        EXPECT_EQ(linesOf(r)[5], text);
    }
}

TEST(FormatConfig, ShippedDefaultIsInTheWritersOwnForm)
{
    std::ifstream in(BH_DEFAULT_CONFIG, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    const ConfigRecord r = bh::parseConfig(bytes);
    EXPECT_EQ(bh::formatConfig(r), bytes);
    EXPECT_EQ(r.depth, ColourDepth::Bits32);
    // Every message type must be readable on the dark panel (64, 64, 64).
    for (const bh::Colour& c : r.colours) {
        EXPECT_GT(c[0] + c[1] + c[2], 3 * 128);
    }
}

TEST(ParseConfig, RandomRecordsSurviveAWriteAndARead)
{
    std::mt19937 random(20261207); // the engine's sequence is fixed by the standard
    for (int round = 0; round < 2000; ++round) {
        ConfigRecord r;
        r.fullScreen = random() % 2;
        r.debugInfo = random() % 2;
        r.antialiasing = random() % 2;
        r.dithering = random() % 2;
        r.wBuffering = random() % 2;
        r.depth =
            std::array{ColourDepth::Bits16, ColourDepth::Bits24, ColourDepth::Bits32}[random() % 3];
        r.keepBodies = random() % 2;
        for (auto& colour : r.colours) {
            for (auto& component : colour) {
                component = static_cast<std::uint8_t>(random() % 256);
            }
        }
        const std::string bytes = bh::formatConfig(r);
        ASSERT_EQ(bh::parseConfig(bytes), r) << "round " << round;

        std::size_t lines = 0;
        for (std::size_t at = bytes.find("\r\n"); at != std::string::npos;
             at = bytes.find("\r\n", at + 2)) {
            ++lines;
        }
        ASSERT_EQ(lines, 49u);
        ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        ASSERT_EQ(bytes.find_first_not_of("0123456789\r\n"), std::string::npos);
    }
}

struct ReadRow {
    const char* fault;
    std::string bytes;
    std::function<void(ConfigRecord&)> expect; // applied to distinctRecord()
};

std::vector<ReadRow> readRows()
{
    const auto lines = linesOf(distinctRecord());
    return {
        {"only exactly \"1\" turns an option on: 01", withLine(2, "01"),
         [](ConfigRecord& r) { r.debugInfo = false; }},
        {"only exactly \"1\" turns an option on: true", withLine(3, "true"),
         [](ConfigRecord& r) { r.antialiasing = false; }},
        {"only exactly \"1\" turns an option on: -1", withLine(5, "-1"),
         [](ConfigRecord& r) { r.wBuffering = false; }},
        {"blanks in front of a field are skipped", withLine(1, "  \t1"),
         [](ConfigRecord& r) { r.fullScreen = true; }},
        {"blanks after an unquoted field are dropped", withLine(1, "1 "),
         [](ConfigRecord& r) { r.fullScreen = true; }},
        {"quotes around a field are removed", withLine(1, "\"1\""),
         [](ConfigRecord& r) { r.fullScreen = true; }},
        {"text after a closing quote is ignored", withLine(1, "\"1\"x"),
         [](ConfigRecord& r) { r.fullScreen = true; }},
        {"a byte-order mark before the first line is no part of it",
         "\xEF\xBB\xBF" + withLine(1, "1"), [](ConfigRecord& r) { r.fullScreen = true; }},
        {"a byte-order mark elsewhere is read as text",
         withLine(2, "\xEF\xBB\xBF"
                     "1"),
         [](ConfigRecord& r) { r.debugInfo = false; }},
        {"blanks inside quotes are kept", withLine(1, "\" 1\""), [](ConfigRecord&) {}},
        {"depth 24 is recognised", withLine(6, "24"),
         [](ConfigRecord& r) { r.depth = ColourDepth::Bits24; }},
        {"depth 32 is recognised", withLine(6, "32"),
         [](ConfigRecord& r) { r.depth = ColourDepth::Bits32; }},
        {"an unknown depth means 32: 8", withLine(6, "8"),
         [](ConfigRecord& r) { r.depth = ColourDepth::Bits32; }},
        {"an unknown depth means 32: 15", withLine(6, "15"),
         [](ConfigRecord& r) { r.depth = ColourDepth::Bits32; }},
        {"an empty depth means 32", withLine(6, ""),
         [](ConfigRecord& r) { r.depth = ColourDepth::Bits32; }},
        {"depth is compared as text: 016", withLine(6, "016"),
         [](ConfigRecord& r) { r.depth = ColourDepth::Bits32; }},
        {"a colour's trailing text is ignored", withLine(8, "12abc"),
         [](ConfigRecord& r) { r.colours[0][0] = 12; }},
        {"an empty colour is 0", withLine(9, ""), [](ConfigRecord& r) { r.colours[0][1] = 0; }},
        {"a colour half rounds to even", withLine(10, "254.5"),
         [](ConfigRecord& r) { r.colours[0][2] = 254; }},
        {"a small negative colour rounds to 0", withLine(11, "-0.4"),
         [](ConfigRecord& r) { r.colours[1][0] = 0; }},
        {"a colour just above 255 rounds to 255", withLine(12, "255.4"),
         [](ConfigRecord& r) { r.colours[1][1] = 255; }},
        {"hexadecimal colours", withLine(13, "&HFF"),
         [](ConfigRecord& r) { r.colours[1][2] = 255; }},
        {"octal colours", withLine(14, "&o377"), [](ConfigRecord& r) { r.colours[2][0] = 255; }},
        {"blanks inside a colour are skipped", withLine(15, "2 5"),
         [](ConfigRecord& r) { r.colours[2][1] = 25; }},
        {"a colour with an exponent", withLine(16, "1.5E2"),
         [](ConfigRecord& r) { r.colours[2][2] = 150; }},
        {"a quoted colour", withLine(17, "\"200\""),
         [](ConfigRecord& r) { r.colours[3][0] = 200; }},
        {"the last component is on line 49", withLine(49, "99"),
         [](ConfigRecord& r) { r.colours[13][2] = 99; }},
        {"a NUL byte inside a colour ends its number",
         withLine(18, std::string("7\0"
                                  "9",
                                  3)),
         [](ConfigRecord& r) { r.colours[3][1] = 7; }},
        {"lines may end in LF alone", joinLines(lines, "\n"), [](ConfigRecord&) {}},
        {"lines may end in CR alone", joinLines(lines, "\r"), [](ConfigRecord&) {}},
        {"the 49th line needs no line end", joinLines(lines).substr(0, joinLines(lines).size() - 2),
         [](ConfigRecord&) {}},
        {"fields after the 49th are ignored", joinLines(lines) + "300\r\njunk,1\r\n",
         [](ConfigRecord&) {}},
        {"a NUL byte in an ignored field does no harm", joinLines(lines) + std::string(4, '\0'),
         [](ConfigRecord&) {}},
    };
}

TEST(ParseConfig, ReadsEachFieldByItsRule)
{
    for (const ReadRow& row : readRows()) {
        ConfigRecord expected = distinctRecord();
        row.expect(expected);
        try {
            EXPECT_EQ(bh::parseConfig(row.bytes), expected) << row.fault;
        } catch (const ConfigError& e) {
            ADD_FAILURE() << row.fault << ": " << e.what();
        }
    }
}

TEST(ParseConfig, ACommaSplitsALineAndMovesEveryLaterFieldUp)
{
    // "1,0" on the first line gives two fields, so each later line is read as the field after
    // the one it was written for, and the 49th line is never read.
    auto lines = linesOf(distinctRecord());
    lines[0] = "1,0";
    lines[48] = "junk that would be out of range: 300";
    const ConfigRecord r = bh::parseConfig(joinLines(lines));
    EXPECT_TRUE(r.fullScreen);
    EXPECT_FALSE(r.debugInfo);                    // the "0" after the comma
    EXPECT_TRUE(r.antialiasing);                  // line 2
    EXPECT_TRUE(r.dithering);                     // line 3
    EXPECT_FALSE(r.wBuffering);                   // line 4
    EXPECT_EQ(r.depth, ColourDepth::Bits32);      // line 5 holds "1"
    EXPECT_FALSE(r.keepBodies);                   // line 6 holds "16"
    EXPECT_EQ(r.colours[0][0], 1);                // line 7
    EXPECT_EQ(r.colours[13][2], 10 + 13 * 3 + 1); // line 48
}

struct ErrorRow {
    const char* fault;
    std::string bytes;
    ConfigError::Kind kind;
    int line;
    bool complete = true;
};

std::vector<ErrorRow> errorRows()
{
    auto lines = linesOf(distinctRecord());
    auto first = [&](std::ptrdiff_t n) {
        return joinLines(std::vector<std::string>(lines.begin(), lines.begin() + n));
    };
    auto commaOnThree = lines;
    commaOnThree[2] = "1,0";
    commaOnThree[20] = "300";
    return {
        {"an empty file is too short", "", ConfigError::Kind::TooShort, 1},
        {"48 lines are too short", first(48), ConfigError::Kind::TooShort, 49},
        {"a file of blanks holds no fields", "   ", ConfigError::Kind::TooShort, 1},
        {"one option is too short", "1", ConfigError::Kind::TooShort, 1},
        {"a colour above 255", withLine(17, "300"), ConfigError::Kind::OutOfRange, 17},
        {"a half above 255 rounds out of range", withLine(8, "255.5"),
         ConfigError::Kind::OutOfRange, 8},
        {"a colour rounding to -1", withLine(20, "-0.6"), ConfigError::Kind::OutOfRange, 20},
        {"a long hexadecimal number is not -1", withLine(30, "&HFFFFFFFF"),
         ConfigError::Kind::OutOfRange, 30},
        {"a colour beyond double range", withLine(49, "1E400"), ConfigError::Kind::OutOfRange, 49},
        {"a negative colour beyond double range", withLine(9, "-1E400"),
         ConfigError::Kind::OutOfRange, 9},
        {"the error names the line the bad field stands on", joinLines(commaOnThree),
         ConfigError::Kind::OutOfRange, 21},
        {"settings cut off by the read limit", first(30), ConfigError::Kind::TooLarge, 0, false},
        {"a last field cut off by the read limit", first(49).substr(0, first(49).size() - 2),
         ConfigError::Kind::TooLarge, 0, false},
    };
}

TEST(ParseConfig, FailsWhereTheFileIsWrong)
{
    for (const ErrorRow& row : errorRows()) {
        try {
            (void)bh::parseConfig(row.bytes, row.complete);
            ADD_FAILURE() << row.fault << ": no error";
        } catch (const ConfigError& e) {
            EXPECT_EQ(e.kind(), row.kind) << row.fault << ": " << e.what();
            EXPECT_EQ(e.line(), row.line) << row.fault << ": " << e.what();
        }
    }
}

TEST(ParseConfig, ACompleteFileCutByTheReadLimitStillReads)
{
    // The read limit only matters while the 49th field has not ended.
    const std::string bytes = bh::formatConfig(distinctRecord());
    EXPECT_EQ(bh::parseConfig(bytes, false), distinctRecord());
}

TEST(ConfigError, MessageNamesTheProblemTheFileAndTheLine)
{
    try {
        (void)bh::parseConfig(withLine(17, "300"));
        FAIL() << "no error";
    } catch (const ConfigError& e) {
        const ConfigError named = e.withPath("/home/ann/bh/bh.cfg");
        EXPECT_STREQ(named.what(),
                     "Line 17 of /home/ann/bh/bh.cfg: \"300\" is outside the range 0 to 255.");
    }
    try {
        (void)bh::parseConfig(withLine(17, std::string(5000, '9') + "\x01"));
        FAIL() << "no error";
    } catch (const ConfigError& e) {
        EXPECT_LT(std::string(e.what()).size(), 200u) << "a huge field must not flood the box";
    }
}

TEST(ParseConfig, NeverFailsOtherThanWithConfigError)
{
    // Binary junk: whatever the bytes, reading ends in a record or a ConfigError.
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(random() % 400, '\0');
        for (char& b : bytes) {
            // Lean towards the bytes the reader cares about.
            static const char interesting[] = "0123456789,\r\n\" \t&HhOoEe.-+";
            b = (random() % 2) ? interesting[random() % (sizeof interesting - 1)]
                               : static_cast<char>(random() % 256);
        }
        try {
            (void)bh::parseConfig(bytes, random() % 2);
        } catch (const ConfigError&) {
        }
    }
}

} // namespace
