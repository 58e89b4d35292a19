// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include "ConfigRecord.h"

#include <QString>

// Where bh.cfg lives and how it is read from and saved to disk.
namespace bh {

// The file name is fixed: the game looks for exactly this name beside its settings program.
inline constexpr char kConfigFileName[] = "bh.cfg";

// Reading never takes more than this from the file, whatever sits at the path.
inline constexpr qint64 kMaxConfigBytes = qint64{1024} * 1024;

// folder joined with "bh.cfg", with one separator also when folder is a root.
QString configPathIn(const QString& folder);

// bh.cfg beside the running program. Needs a QCoreApplication.
QString configPath();

// Reads bh.cfg at path. Throws ConfigError naming the path: CannotOpen when it is missing,
// unreadable or not a regular file (a folder, a FIFO, a device), and as parseConfig does.
ConfigRecord readConfigFile(const QString& path);

// Saves the record to path atomically: the old file stays as it was unless the new one is
// complete. Keeps the file's permissions and, for a symbolic link, replaces the file it points
// to. Throws ConfigError (CannotSave) naming the path.
void writeConfigFile(const QString& path, const ConfigRecord& record);

} // namespace bh
