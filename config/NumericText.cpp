// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "NumericText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace bh {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int digitValue(char c)
{
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// Walks the text while skipping blanks and tabs, which never end a number.
class Cursor {
public:
    explicit Cursor(std::string_view text) : text_(text) { skipBlanks(); }

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance()
    {
        ++pos_;
        skipBlanks();
    }

private:
    void skipBlanks()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

constexpr double kLargest = std::numeric_limits<double>::max();

// Hexadecimal and octal are unsigned however long: a player who writes &HFFFFFFFF means a big
// number (out of range), not -1.
double radixNumber(Cursor& cursor, int base)
{
    double value = 0;
    while (digitValue(cursor.peek()) < base) {
        value = value * base + digitValue(cursor.peek());
        cursor.advance();
    }
    return std::min(value, kLargest);
}

double decimalNumber(Cursor& cursor)
{
    bool negative = false;
    if (cursor.peek() == '+' || cursor.peek() == '-') {
        negative = cursor.peek() == '-';
        cursor.advance();
    }

    // Collect the digits without blanks, then let from_chars do the exact conversion.
    std::string mantissa;
    int integerDigits = 0; // significant digits before the point
    int leadingZeros = 0;  // zeros after the point before the first significant digit
    bool seenNonZero = false;
    bool seenDigit = false;
    while (isDigit(cursor.peek())) {
        seenDigit = true;
        seenNonZero = seenNonZero || cursor.peek() != '0';
        integerDigits += seenNonZero ? 1 : 0;
        mantissa += cursor.peek();
        cursor.advance();
    }
    if (cursor.peek() == '.') {
        mantissa += '.';
        cursor.advance();
        while (isDigit(cursor.peek())) {
            seenDigit = true;
            if (!seenNonZero && cursor.peek() == '0') {
                ++leadingZeros;
            }
            seenNonZero = seenNonZero || cursor.peek() != '0';
            mantissa += cursor.peek();
            cursor.advance();
        }
    }
    if (!seenDigit) {
        return 0;
    }

    long long exponent = 0;
    if (cursor.peek() == 'E' || cursor.peek() == 'e') {
        cursor.advance();
        bool negativeExponent = false;
        if (cursor.peek() == '+' || cursor.peek() == '-') {
            negativeExponent = cursor.peek() == '-';
            cursor.advance();
        }
        // An exponent with no digits ("12e") leaves the number as it was; an absurdly long
        // one saturates rather than overflowing.
        while (isDigit(cursor.peek())) {
            exponent = std::min(exponent * 10 + (cursor.peek() - '0'), 1'000'000LL);
            cursor.advance();
        }
        exponent = negativeExponent ? -exponent : exponent;
    }

    const std::string text = mantissa + "e" + std::to_string(exponent);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Which way it fell out of range follows from where the first significant digit sits.
        const long long magnitude = (integerDigits > 0 ? integerDigits : -leadingZeros) + exponent;
        value = magnitude > 0 ? kLargest : 0.0;
    }
    (void)end;
    return negative ? -value : value;
}

} // namespace

double leadingNumber(std::string_view text)
{
    Cursor cursor(text);
    if (cursor.peek() == '&') {
        cursor.advance();
        const char radix = cursor.peek();
        if (radix == 'H' || radix == 'h') {
            cursor.advance();
            return radixNumber(cursor, 16);
        }
        if (radix == 'O' || radix == 'o') {
            cursor.advance();
            return radixNumber(cursor, 8);
        }
        return 0;
    }
    return decimalNumber(cursor);
}

double roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction < 0.5) {
        return below;
    }
    if (fraction > 0.5) {
        return below + 1;
    }
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

std::optional<std::uint8_t> toComponent(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= 0 && rounded <= 255)) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(rounded);
}

std::string shortNumberText(double value)
{
    if (value == 0) {
        return "0"; // also for -0, which a lone minus sign reads as
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

} // namespace bh
