// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>

namespace bh {

// The one failure the settings file can raise. It carries enough for the player to find and
// mend the problem: what went wrong, which file and, where it applies, which line.
class ConfigError : public std::runtime_error {
public:
    enum class Kind {
        CannotOpen, // the file could not be read
        TooShort,   // the file ends before the last setting
        OutOfRange, // a colour component outside 0..255 after rounding
        TooLarge,   // the settings do not end within the bytes we are willing to read
        CannotSave, // the file could not be written
        ZeroByte,   // a setting holds a zero byte: damage, or text in an encoding not read
    };

    // Why the file could not be opened or saved, in the terms of what the player can do about
    // it. Other carries the system's own words in detail().
    enum class Cause {
        None, // the file was read, but its contents are wrong
        DoesNotExist,
        InUse, // another program holds the file open
        ReadOnly,
        FileOwnedByOther, // detail(): whose it is
        FolderNotWritable,
        FolderOwnedByOther, // detail(): whose it is
        FolderGone,         // deleted, or moved to another file system, while the program ran
        DiskFull,
        NotRegularFile, // a folder, a device, a FIFO
        Unchangeable,   // marked immutable (chattr +i)
        AppendOnly,     // marked append-only (chattr +a)
        SizeLimit,      // a limit on the size of the files the program may write (ulimit -f)
        LinkLoop,       // symbolic links that lead round in a circle
        Other,
    };

    // detail: the offending text (OutOfRange), the field count (TooShort), how much was read
    // (TooLarge). line: 1-based, 0 where no line applies.
    ConfigError(Kind kind, std::string path, int line, std::string detail);

    // CannotOpen or CannotSave for cause; systemText: the system's own words, shown for Other.
    static ConfigError onDisk(Kind kind, Cause cause, std::string path,
                              std::string systemText = {});

    Kind kind() const { return kind_; }
    Cause cause() const { return cause_; }
    const std::string& path() const { return path_; }
    int line() const { return line_; }
    const std::string& detail() const { return detail_; }

    // The same failure, now naming the file it happened in.
    ConfigError withPath(const std::string& path) const;

private:
    ConfigError(Kind kind, Cause cause, std::string path, int line, std::string detail);

    Kind kind_;
    Cause cause_;
    std::string path_;
    int line_;
    std::string detail_;
};

} // namespace bh
