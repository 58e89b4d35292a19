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

// Whether the player may write to a file or a folder, and if not, whether the medium itself is
// read-only: then no owner or permission the player could change would help.
enum class Access { Allowed, Denied, ReadOnlyMedium };
Access folderAccess(const QString& folder);
Access fileAccess(const QString& file);

// The name of the user who owns path (their number where the system has no name for them), when
// that is someone other than the player; empty where it is the player or the system cannot tell.
std::string otherOwner(const QString& path);

// Gives the new file of a save, open as handle, the owner, group, permissions and extended
// attributes (access control lists among them) of the file at path, as far as the system lets
// the program set them. A save run as root must not hand a player's file to root, and no save
// may open up a file its owner had closed.
void keepOwnership(int handle, const QString& path);

// Holds on to the folder of the bh.cfg at path as it is now, so that later saves reach the same
// folder even after it is renamed, and never another folder that took its name. Where the system
// cannot do that, saves go by the name.
void holdFolder(const QString& path);

// The name under which the bh.cfg at path is reached in the folder holdFolder(path) held (path
// itself where none is held). gone: set when that folder has been deleted.
QString heldPath(const QString& path, bool& gone);

// Holds back the signals that end the program (from a terminal, a log-out, kill) for its life
// and lets them take effect after it: a save they cut short would leave its temporary file.
class EndingSignalsDeferred {
public:
    EndingSignalsDeferred();
    ~EndingSignalsDeferred();
    EndingSignalsDeferred(const EndingSignalsDeferred&) = delete;
    EndingSignalsDeferred& operator=(const EndingSignalsDeferred&) = delete;
};

// The folder the running program's own file lies in, absolute, or empty where the system cannot
// name it in a QString that leads back to it (see programFolder()).
QString programFolder();

} // namespace bh::platform
