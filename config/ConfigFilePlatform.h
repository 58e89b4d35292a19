// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <string>

// What reading and saving bh.cfg needs to know of the system it runs on: its error codes, and
// what it does about files that are open or hidden. One implementation per system
// (ConfigFilePosix.cpp, ConfigFileWindows.cpp); ConfigFile.cpp holds everything they share.
namespace bh::platform {

// What a system error code means for reading or replacing bh.cfg.
enum class ErrorClass {
    Other,
    NotFound,
    InUse,        // another program has the file open in a way that blocks us
    AccessDenied, // the player may not create, read or replace files here
    DiskFull,
};

// The code the system gave for the call that failed last on this thread (errno, GetLastError).
int lastError();

// replacing: the code came from putting the new file in place of the old one.
ErrorClass classify(int code, bool replacing);

// The system's own words for code, in the player's language; empty for 0.
std::string errorText(int code);

// Whether another program has the file at path open. Always false where an open file blocks
// neither reading nor replacing it.
bool openElsewhere(const QString& path);

// The attributes of the file at path that the new file of a save must carry too (hidden, on
// Windows; the permissions everywhere are kept by the save itself), and putting them back.
std::uint32_t attributesToKeep(const QString& path);
void restoreAttributes(const QString& path, std::uint32_t attributes);

// The folder the running program's own file lies in, absolute, or empty where the system cannot
// name it in a QString that leads back to it (see programFolder()).
QString programFolder();

} // namespace bh::platform
