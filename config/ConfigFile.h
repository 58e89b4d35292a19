// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigRecord.h"

#include <QString>
#include <memory>

// Where bh.cfg lives and how it is read from and saved to disk.
namespace bh {

// The file name is fixed: the game looks for exactly this name beside its settings program.
inline constexpr char kConfigFileName[] = "bh.cfg";

// Reading never takes more than this from the file, whatever sits at the path.
inline constexpr qint64 kMaxConfigBytes = qint64{1024} * 1024;

// folder joined with "bh.cfg", with one separator also when folder is a root.
QString configPathIn(const QString& folder);

// The folder the running program's file lies in (the executable's own, never the working
// directory), or empty when its name is not valid in the system's file-name encoding and so
// cannot be used at all. On Linux it needs no QCoreApplication; on Windows it does.
QString programFolder();

// bh.cfg in programFolder(). Throws ConfigError (CannotOpen) when that folder cannot be named.
QString configPath();

namespace platform {
class HeldFolder;
}

// bh.cfg at one path for the program's life: read once, saved on each OK. After the read, saves
// go to the folder it was read from even after that folder is renamed, and never to another
// folder that takes its name. The program makes one and keeps it as long as its window.
class ConfigFile {
public:
    explicit ConfigFile(QString path);
    ~ConfigFile();
    ConfigFile(const ConfigFile&) = delete;
    ConfigFile& operator=(const ConfigFile&) = delete;

    const QString& path() const { return path_; }

    // As readConfigFile, and holds on to the folder.
    ConfigRecord read();

    // As writeConfigFile, into the folder read from. Throws ConfigError (CannotSave) with
    // FolderGone when that folder has been deleted or moved to another file system.
    void write(const ConfigRecord& record) const;

private:
    QString path_;
    std::unique_ptr<platform::HeldFolder> folder_;
};

// Reads bh.cfg at path, waiting up to a second for another program that holds it open to let
// go. Throws ConfigError naming the path: CannotOpen with its cause when it is missing, not a
// regular file (a folder, a FIFO, a device), a circle of links, in use or unreadable, and as
// parseConfig does.
ConfigRecord readConfigFile(const QString& path);

// Saves the record to path atomically: the old file stays as it was unless the new one is
// complete, and no other file is left beside it. Waits up to a second for another program
// that holds the file open to let go. Keeps the file's owner and group (where the system lets
// the program set them), permissions and extended attributes (and on Windows its hidden
// attribute) and, for a symbolic link (or a chain of them), replaces the file it ends at. A
// signal that would end the program during the save ends it after. Throws ConfigError (CannotSave)
// naming the path and the cause.
void writeConfigFile(const QString& path, const ConfigRecord& record);

} // namespace bh
