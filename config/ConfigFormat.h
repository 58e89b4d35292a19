// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigRecord.h"

#include <string>
#include <string_view>

// bh.cfg as text: bytes to record and back. No file access here, so every rule can be tested
// and fuzzed in memory.
namespace bh {

// Reads the first kFieldCount fields of bytes, after a UTF-8 byte-order mark where the bytes
// start with one; UTF-16 text (with its byte-order mark, or plainly UTF-16 without one) is read
// as the characters it holds. A field ends at a line end (CR LF, CR CR LF, lone LF or lone CR),
// a comma or the end of the bytes; blanks and tabs around an unquoted field are dropped, and a field in double quotes
// is taken without them. Later fields are ignored.
// complete: false when bytes is only the start of a longer file.
// Throws ConfigError (without a path): TooShort when the bytes end before the last field,
// OutOfRange for a colour outside 0..255 after rounding, TooLarge when !complete and the last
// field does not end within bytes.
ConfigRecord parseConfig(std::string_view bytes, bool complete = true);

// The kFieldCount lines of a record, each ended by CR LF, digits only. Never fails.
std::string formatConfig(const ConfigRecord& record);

} // namespace bh
