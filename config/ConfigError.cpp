// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ConfigError.h"

#include "ConfigRecord.h"

#include <utility>

namespace bh {
namespace {

// Where a player on this system may have put the game that cannot be written to.
#ifdef _WIN32
constexpr char kUnwritableFolders[] = "Program Files or a folder owned by another user";
#else
constexpr char kUnwritableFolders[] = "/usr, /opt or a folder owned by another user";
#endif

// The system's words end in a full stop on some systems (and in a line break on Windows); the
// message puts its own full stop after them.
std::string withoutFinalStop(std::string text)
{
    while (!text.empty() && (text.back() == '.' || text.back() == ' ' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.pop_back();
    }
    return text.empty() ? std::string("unknown error") : text;
}

// A user who is not the player, as a message names them.
std::string someoneElse(const std::string& owner)
{
    return owner == "root" ? owner : "another user (" + owner + ")";
}

// The one remedy when the game folder belongs to someone else: the player's own copy of it.
constexpr char kOwnCopy[] =
    "copy the game folder to a place you own, such as your home folder, and start it from there";

// Why, in a player's words and with what to do, as the end of one sentence.
std::string reason(ConfigError::Cause cause, const std::string& systemText)
{
    using Cause = ConfigError::Cause;
    switch (cause) {
    case Cause::DoesNotExist:
        return "the file does not exist";
    case Cause::InUse:
        return "another program is using it; close that program (for example the game) and try "
               "again";
    case Cause::ReadOnly:
        return "the file is read-only; make it writable and try again";
    case Cause::FileOwnedByOther:
        return "the file belongs to " + someoneElse(systemText) + " and you may not change it; " +
               kOwnCopy;
    case Cause::FolderOwnedByOther:
        return "its folder belongs to " + someoneElse(systemText) +
               " and you may not save in it; " + kOwnCopy;
    case Cause::FolderGone:
        return "its folder has been deleted since the program started";
    case Cause::FolderNotWritable:
        return std::string("its folder cannot be written to; move the game folder somewhere you "
                           "can write to, not ") +
               kUnwritableFolders;
    case Cause::DiskFull:
        return "the disk is full; free some space and try again";
    case Cause::NotRegularFile:
        return "it is not a regular file";
    case Cause::None:
    case Cause::Other:
        break;
    }
    return withoutFinalStop(systemText);
}

std::string describe(ConfigError::Kind kind, ConfigError::Cause cause, const std::string& path,
                     int line, const std::string& detail)
{
    const std::string file = path.empty() ? std::string("the settings file") : path;
    const std::string where = line > 0 ? "Line " + std::to_string(line) + " of " + file : file;
    switch (kind) {
    case ConfigError::Kind::CannotOpen:
        return "Cannot open " + file + ": " + reason(cause, detail) + ".";
    case ConfigError::Kind::TooShort:
        return where + ": the file ends here, after " + detail + " of its " +
               std::to_string(kFieldCount) + " settings.";
    case ConfigError::Kind::OutOfRange:
        return where + ": \"" + detail + "\" is outside the range 0 to 255.";
    case ConfigError::Kind::TooLarge:
        return file + ": the " + std::to_string(kFieldCount) +
               " settings do not end within the first " + detail + " of the file.";
    case ConfigError::Kind::CannotSave:
        return "Cannot save " + file + ": " + reason(cause, detail) +
               ". Nothing was changed on disk.";
    }
    return file + ": " + detail;
}

} // namespace

ConfigError::ConfigError(Kind kind, std::string path, int line, std::string detail)
    : ConfigError(kind, Cause::None, std::move(path), line, std::move(detail))
{
}

ConfigError ConfigError::onDisk(Kind kind, Cause cause, std::string path, std::string systemText)
{
    return ConfigError(kind, cause, std::move(path), 0, std::move(systemText));
}

ConfigError::ConfigError(Kind kind, Cause cause, std::string path, int line, std::string detail)
    : std::runtime_error(describe(kind, cause, path, line, detail)), kind_(kind), cause_(cause),
      path_(std::move(path)), line_(line), detail_(std::move(detail))
{
}

ConfigError ConfigError::withPath(const std::string& path) const
{
    return ConfigError(kind_, cause_, path, line_, detail_);
}

} // namespace bh
