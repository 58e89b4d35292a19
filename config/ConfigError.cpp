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

// Why, in a player's words, and what to do about it. retry: once the player has done it, the
// same step can succeed (a save from the window still open, a start from the same folder).
struct Reason {
    std::string why;
    std::string remedy;
    bool retry = true;
};

Reason reason(ConfigError::Cause cause, const std::string& systemText)
{
    using Cause = ConfigError::Cause;
    switch (cause) {
    case Cause::DoesNotExist:
        return {"the file does not exist", {}, false};
    case Cause::InUse:
        return {"another program is using it", "close that program (for example the game)"};
    case Cause::ReadOnly:
        return {"the file is read-only", "make it writable"};
    case Cause::Unchangeable:
        // chmod cannot help: only the mark's owner, root, can take it off.
        return {"the file is marked unchangeable (immutable), which no permission overrides",
                "clear the mark with \"sudo chattr -i\" on the file"};
    case Cause::AppendOnly:
        return {"the file is marked append-only, so it may be added to but never replaced",
                "clear the mark with \"sudo chattr -a\" on the file"};
    case Cause::FileOwnedByOther:
        return {"the file belongs to " + someoneElse(systemText) + " and you may not change it",
                kOwnCopy, false};
    case Cause::FolderOwnedByOther:
        return {"its folder belongs to " + someoneElse(systemText) + " and you may not save in it",
                kOwnCopy, false};
    case Cause::FolderGone:
        return {"its folder has been deleted, or moved to another drive, since the program started",
                {},
                false};
    case Cause::FolderNotWritable:
        return {"its folder cannot be written to",
                std::string("move the game folder somewhere you can write to, not ") +
                    kUnwritableFolders};
    case Cause::DiskFull:
        return {"the disk is full", "free some space"};
    case Cause::NotRegularFile:
        return {"it is not a regular file", {}, true};
    case Cause::SizeLimit:
        return {
            "the program may not write a file that large (a file size limit, ulimit -f, is set)",
            "raise the limit and start the program again", false};
    case Cause::LinkLoop:
        return {"it is a symbolic link, and its links lead round in a circle",
                "point the link at the settings file"};
    case Cause::None:
    case Cause::Other:
        break;
    }
    return {withoutFinalStop(systemText), {}, true};
}

// After a failed read the program ends, so "try again" means starting it again; after a failed
// save the window stays with every edit, and OK is what tries again.
std::string openReason(const Reason& r)
{
    if (r.remedy.empty()) {
        return r.why;
    }
    return r.why + "; " + r.remedy + (r.retry ? " and try again" : "");
}

std::string saveTail(const Reason& r)
{
    if (!r.retry) {
        return r.remedy.empty() ? "." : ": " + r.remedy + ".";
    }
    return ", and your changes are still here: " +
           (r.remedy.empty() ? std::string("once the cause is mended, press OK again.")
                             : r.remedy + ", then press OK again.");
}

std::string describe(ConfigError::Kind kind, ConfigError::Cause cause, const std::string& path,
                     int line, const std::string& detail)
{
    const std::string file = path.empty() ? std::string("the settings file") : path;
    const std::string where = line > 0 ? "Line " + std::to_string(line) + " of " + file : file;
    switch (kind) {
    case ConfigError::Kind::CannotOpen:
        return "Cannot open " + file + ": " + openReason(reason(cause, detail)) + ".";
    case ConfigError::Kind::TooShort:
        return where + ": the file ends here, after " + detail + " of its " +
               std::to_string(kFieldCount) + " settings.";
    case ConfigError::Kind::OutOfRange:
        return where + ": \"" + detail + "\" is outside the range 0 to 255.";
    case ConfigError::Kind::ZeroByte:
        return where +
               ": the setting holds a zero byte, which no setting does; the file is damaged or "
               "saved in an encoding this program does not read (save it as plain text).";
    case ConfigError::Kind::TooLarge:
        return file + ": the " + std::to_string(kFieldCount) +
               " settings do not end within the first " + detail + " of the file.";
    case ConfigError::Kind::CannotSave: {
        const Reason r = reason(cause, detail);
        return "Cannot save " + file + ": " + r.why + ". Nothing was changed on disk" + saveTail(r);
    }
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
