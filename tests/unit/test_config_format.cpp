// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg as text: what each line means when read, and exactly what is written.
#include "ConfigError.h"
#include "ConfigFormat.h"
#include "TestRecords.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace std::string_view_literals;
using bh::ColourDepth;
using bh::ConfigError;
using bh::ConfigRecord;
using bh_test::distinctRecord;
using Kind = ConfigError::Kind;

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
    for (const int bits : {16, 24, 32}) {
        ConfigRecord r;
        r.depth = static_cast<ColourDepth>(bits);
        EXPECT_EQ(linesOf(r)[5], std::to_string(bits));
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
    std::mt19937_64 random(20261207); // the engine's sequence is fixed by the standard
    for (int round = 0; round < 2000; ++round) {
        const ConfigRecord r = bh_test::randomRecord(random);
        const std::string bytes = bh::formatConfig(r);
        ASSERT_EQ(bh::parseConfig(bytes), r) << "round " << round;

        ASSERT_EQ(linesOf(r).size(), 49u);
        ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        ASSERT_EQ(bytes.find_first_not_of("0123456789\r\n"), std::string::npos);
    }
}

// Each row: the fault, a line of the distinct record's file, the text put there and what it reads
// as: the record read is written back with that on the line and every other line as it was.
// clang-format off
const std::tuple<const char*, int, std::string_view, const char*> kReadRows[] = {
    {"only exactly \"1\" turns an option on: 01", 2, "01", "0"},
    {"only exactly \"1\" turns an option on: true", 3, "true", "0"},
    {"only exactly \"1\" turns an option on: -1", 5, "-1", "0"},
    {"blanks in front of a field are skipped", 1, "  \t1", "1"},
    {"blanks after an unquoted field are dropped", 1, "1 ", "1"},
    {"quotes around a field are removed", 1, "\"1\"", "1"},
    {"text after a closing quote is ignored", 1, "\"1\"x", "1"},
    {"a byte-order mark before the first line is no part of it", 1, "\xEF\xBB\xBF" "1", "1"},
    {"a byte-order mark elsewhere is read as text", 2, "\xEF\xBB\xBF" "1", "0"},
    {"blanks inside quotes are kept", 1, "\" 1\"", "0"},
    {"depth 24 is recognised", 6, "24", "24"},
    {"depth 32 is recognised", 6, "32", "32"},
    {"an unknown depth means 32: 8", 6, "8", "32"},
    {"an unknown depth means 32: 15", 6, "15", "32"},
    {"an empty depth means 32", 6, "", "32"},
    {"depth is compared as text: 016", 6, "016", "32"},
    {"a colour's trailing text is ignored", 8, "12abc", "12"},
    {"an empty colour is 0", 9, "", "0"},
    {"a colour half rounds to even", 10, "254.5", "254"},
    {"a small negative colour rounds to 0", 11, "-0.4", "0"},
    {"a colour just above 255 rounds to 255", 12, "255.4", "255"},
    {"hexadecimal colours", 13, "&HFF", "255"},
    {"octal colours", 14, "&o377", "255"},
    {"blanks inside a colour are skipped", 15, "2 5", "25"},
    {"a colour with an exponent", 16, "1.5E2", "150"},
    {"a quoted colour", 17, "\"200\"", "200"},
    {"the last component is on line 49", 49, "99", "99"},
};
// clang-format on

TEST(ParseConfig, ReadsEachFieldByItsRule)
{
    for (const auto& [fault, line, text, readsAs] : kReadRows) {
        try {
            EXPECT_EQ(bh::formatConfig(bh::parseConfig(withLine(line, std::string(text)))),
                      withLine(line, readsAs))
                << fault;
        } catch (const ConfigError& e) {
            ADD_FAILURE() << fault << ": " << e.what();
        }
    }
    // Whole files that read as the distinct record.
    const std::string file = bh::formatConfig(distinctRecord());
    std::string lfOnly = file, crOnly = file;
    std::erase(lfOnly, '\r');
    std::erase(crOnly, '\n');
    const auto wideText = [&](std::string wide, std::size_t width, bool big) {
        for (const char c : file) {
            std::string unit(width, '\0');
            unit[big ? width - 1 : 0] = c;
            wide += unit;
        }
        return wide;
    };
    const auto utf16 = [&](const char* mark, bool big) { return wideText(mark, 2, big); };
    const std::string utf32Mark("\xFF\xFE\0\0", 4);
    std::string crCrLf;
    for (const char c : file) {
        crCrLf += c == '\r' ? std::string("\r\r") : std::string(1, c);
    }
    // clang-format off
    const std::pair<const char*, std::string> files[] = {
        {"lines may end in LF alone", lfOnly},
        {"lines may end in CR alone", crOnly},
        {"CR CR LF is one line end, not an empty field between two", crCrLf},
        {"UTF-16 with its byte-order mark is read as text, not as zeros", utf16("\xFF\xFE", false)},
        {"big-endian UTF-16 with its byte-order mark", utf16("\xFE\xFF", true)},
        {"UTF-16 without a byte-order mark", utf16("", false)},
        {"UTF-32 with its mark, which begins as UTF-16's", wideText(utf32Mark, 4, false)},
        {"big-endian UTF-32 with its mark", wideText({utf32Mark.rbegin(), utf32Mark.rend()}, 4, true)},
        {"big-endian UTF-32 without a mark", wideText("", 4, true)},
        {"the 49th line needs no line end", file.substr(0, file.size() - 2)},
        {"fields after the 49th are ignored", file + "300\r\njunk,1\r\n"},
        {"a NUL byte in an ignored field does no harm", file + std::string(4, '\0')},
    };
    // clang-format on
    for (const auto& [fault, bytes] : files) {
        try {
            EXPECT_EQ(bh::parseConfig(bytes), distinctRecord()) << fault;
        } catch (const ConfigError& e) {
            ADD_FAILURE() << fault << ": " << e.what();
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

// Each row: the fault, the bytes, the error's kind and line, and whether the bytes are complete.
std::vector<std::tuple<const char*, std::string, Kind, int, bool>> errorRows()
{
    auto lines = linesOf(distinctRecord());
    auto first = [&](std::ptrdiff_t n) {
        return joinLines(std::vector<std::string>(lines.begin(), lines.begin() + n));
    };
    auto commaOnThree = lines;
    commaOnThree[2] = "1,0";
    commaOnThree[20] = "300";
    // clang-format off
    return {
        {"an empty file is too short", "", Kind::TooShort, 1, true},
        {"48 lines are too short", first(48), Kind::TooShort, 49, true},
        {"a file of blanks holds no fields", "   ", Kind::TooShort, 1, true},
        {"one option is too short", "1", Kind::TooShort, 1, true},
        {"a colour above 255", withLine(17, "300"), Kind::OutOfRange, 17, true},
        {"a zero byte inside a colour", withLine(12, std::string("25\0", 3)), Kind::ZeroByte, 12, true},
        {"a zero byte inside an option", withLine(2, std::string("1\0", 2)), Kind::ZeroByte, 2, true},
        {"a half above 255 rounds out of range", withLine(8, "255.5"), Kind::OutOfRange, 8, true},
        {"a colour rounding to -1", withLine(20, "-0.6"), Kind::OutOfRange, 20, true},
        {"a long hexadecimal number is not -1", withLine(30, "&HFFFFFFFF"), Kind::OutOfRange, 30, true},
        {"a colour beyond double range", withLine(49, "1E400"), Kind::OutOfRange, 49, true},
        {"a negative colour beyond double range", withLine(9, "-1E400"), Kind::OutOfRange, 9, true},
        {"the error names the line the bad field stands on", joinLines(commaOnThree), Kind::OutOfRange, 21, true},
        {"settings cut off by the read limit", first(30), Kind::TooLarge, 0, false},
        {"a last field cut off by the read limit", first(49).substr(0, first(49).size() - 2), Kind::TooLarge, 0, false},
    };
    // clang-format on
}

TEST(ParseConfig, FailsWhereTheFileIsWrong)
{
    for (const auto& [fault, bytes, kind, line, complete] : errorRows()) {
        try {
            (void)bh::parseConfig(bytes, complete);
            ADD_FAILURE() << fault << ": no error";
        } catch (const ConfigError& e) {
            EXPECT_EQ(e.kind(), kind) << fault << ": " << e.what();
            EXPECT_EQ(e.line(), line) << fault << ": " << e.what();
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
