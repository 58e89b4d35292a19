// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <cstdint>
#include <string>

// What reading and saving bh.cfg needs to know of the system it runs on: its error codes, and
// what it does about files that are open or hidden. One implementation per system
// (ConfigFileLinux.cpp, ConfigFileWindows.cpp); ConfigFile.cpp holds everything they share.
namespace bh::platform {

// What a system error code means for reading or replacing bh.cfg.
enum class ErrorClass {
    Other,
    NotFound,
    InUse,        // another program has the file open in a way that blocks us
    AccessDenied, // the player may not create, read or replace files here
    DiskFull,
    SizeLimit, // a limit on the size of the files the program may write (ulimit -f)
    LinkLoop,  // symbolic links that lead round in a circle
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
// Unchangeable and AppendOnly: marks on the file itself (chattr +i, +a) that no permission
// overrides.
enum class Access { Allowed, Denied, ReadOnlyMedium, Unchangeable, AppendOnly };
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

// The folder of a bh.cfg as it was when first read, held on to so that later saves reach the
// same folder even after it is renamed, and never another folder that took its name. Where the
// system cannot do that, saves go by the name.
class HeldFolder {
public:
    explicit HeldFolder(const QString& path);
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // The name under which the bh.cfg at path is reached in the held folder (path itself where
    // none is held). gone: set when that folder has been deleted, or moved to another file system.
    QString reach(const QString& path, bool& gone) const;

private:
    int handle_ = -1;
};

// The file a save to path replaces: path itself, or the file its chain of symbolic links ends
// at, each relative target taken from the folder that holds its link. Empty when the links lead
// round in a circle.
QString linkEnd(const QString& path);

// Holds back every signal that would end the program (from a terminal, a log-out, kill, a timer,
// a limit) for its life and lets each take effect after it: a save they cut short would leave
// its temporary file.
class EndingSignalsDeferred {
public:
    EndingSignalsDeferred();
    ~EndingSignalsDeferred();
    EndingSignalsDeferred(const EndingSignalsDeferred&) = delete;
    EndingSignalsDeferred& operator=(const EndingSignalsDeferred&) = delete;

    // The save itself ran into a file-size limit and says so: the system's signal for it is
    // told already, and would otherwise end the program after the message.
    void sizeLimitReported();
};

// The folder the running program's own file lies in, absolute, or empty where the system cannot
// name it in a QString that leads back to it (see programFolder()).
QString programFolder();

} // namespace bh::platform
