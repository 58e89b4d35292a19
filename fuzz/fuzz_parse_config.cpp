// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// libFuzzer target for the bh.cfg reader. Beyond "no crash, no undefined behaviour" it checks
// the two promises the rest of the program builds on:
//  - whatever the reader accepts, the writer turns into a file that reads back to the same
//    record (so OK without edits never changes a setting);
//  - the colour boxes' normal form is stable: writing a number back as text and reading it
//    again gives the same text, so a box's Change handler rewrites its text at most once and
//    the nested notifications come to rest.
#include "ConfigError.h"
#include "ConfigFormat.h"
#include "NumericText.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fail(const char* what, std::string_view detail)
{
    std::fprintf(stderr, "%s: %.*s\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void checkReader(std::string_view bytes, bool complete)
{
    bh::ConfigRecord record;
    try {
        record = bh::parseConfig(bytes, complete);
    } catch (const bh::ConfigError& error) {
        if (error.line() < 0) {
            fail("an error names no line", error.what());
        }
        return; // a refusal is a fine answer to bad bytes
    }
    const std::string written = bh::formatConfig(record);
    if (!(bh::parseConfig(written) == record)) {
        fail("the writer's output reads back differently", written);
    }
    if (bh::formatConfig(bh::parseConfig(written)) != written) {
        fail("writing twice gives different files", written);
    }
}

void checkBoxText(std::string_view text)
{
    const std::string once = bh::shortNumberText(bh::leadingNumber(text));
    const std::string twice = bh::shortNumberText(bh::leadingNumber(once));
    if (once != twice) {
        fail("a box's normal form is not stable", once + " -> " + twice);
    }
    const auto component = bh::toComponent(bh::leadingNumber(text));
    if (component && bh::roundHalfEven(bh::leadingNumber(text)) != *component) {
        fail("a component differs from its rounded value", text);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkReader(bytes, true);
    // The same bytes as the first part of a file too long to read whole.
    checkReader(bytes, false);
    // A pasted text is one line; the first line stands in for what a player could paste.
    checkBoxText(bytes.substr(0, bytes.find_first_of("\r\n")));
    return 0;
}
