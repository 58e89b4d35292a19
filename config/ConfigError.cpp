// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ConfigError.h"

#include "ConfigRecord.h"

#include <utility>

namespace bh {
namespace {

std::string describe(ConfigError::Kind kind, const std::string& path, int line,
                     const std::string& detail)
{
    const std::string file = path.empty() ? std::string("the settings file") : path;
    const std::string where = line > 0 ? "Line " + std::to_string(line) + " of " + file : file;
    switch (kind) {
    case ConfigError::Kind::CannotOpen:
        return "Cannot open " + file + ": " + detail + ".";
    case ConfigError::Kind::TooShort:
        return where + ": the file ends here, after " + detail + " of its " +
               std::to_string(kFieldCount) + " settings.";
    case ConfigError::Kind::OutOfRange:
        return where + ": \"" + detail + "\" is outside the range 0 to 255.";
    case ConfigError::Kind::TooLarge:
        return file + ": the " + std::to_string(kFieldCount) +
               " settings do not end within the first " + detail + " of the file.";
    case ConfigError::Kind::CannotSave:
        return "Cannot save " + file + ": " + detail + ". Nothing was changed on disk.";
    }
    return file + ": " + detail;
}

} // namespace

ConfigError::ConfigError(Kind kind, std::string path, int line, std::string detail)
    : std::runtime_error(describe(kind, path, line, detail)), kind_(kind), path_(std::move(path)),
      line_(line), detail_(std::move(detail))
{
}

ConfigError ConfigError::withPath(const std::string& path) const
{
    return ConfigError(kind_, path, line_, detail_);
}

} // namespace bh
