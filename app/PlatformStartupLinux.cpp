// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "DesktopPlatform.h"
#include "FontConfiguration.h"
#include "GameFolderQt.h"
#include "PlatformStartup.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <pwd.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace bh {

namespace {

// Qt, fontconfig, GLib and D-Bus open files of their own before the window shows; with too few
// handles GLib aborts, or the error box never paints.
constexpr rlim_t kFileHandlesNeeded = 64;

// A launcher that lowered the limit on open files rarely meant to starve the program, and the
// soft limit may be raised up to the hard one; below that the start ends with the reason.
bool enoughFileHandles()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur >= kFileHandlesNeeded) {
        return true;
    }
    if (limit.rlim_max >= kFileHandlesNeeded) { // RLIM_INFINITY too
        limit.rlim_cur = kFileHandlesNeeded;
        if (setrlimit(RLIMIT_NOFILE, &limit) == 0) {
            return true;
        }
    }
    std::fprintf(stderr,
                 "Brackenholt Config cannot start: it may have only %llu files open at once and "
                 "needs %llu. Raise the limit (ulimit -n) and start it again.\n",
                 static_cast<unsigned long long>(limit.rlim_max),
                 static_cast<unsigned long long>(kFileHandlesNeeded));
    return false;
}

// A launcher that gives the program no XDG_RUNTIME_DIR (a bare xinit, su, cron, some game
// launchers) would have Qt say so on standard error and then use /tmp/runtime-<user>: the
// program gives Qt that same folder itself, made as Qt makes it, and says nothing. A folder of
// that name that is not the user's own, or not a folder, is left to Qt's own checks.
void giveRuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        return;
    }
    const uid_t user = ::geteuid();
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(4096);
    const std::string name =
        ::getpwuid_r(user, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
                found->pw_name != nullptr && *found->pw_name != '\0'
            ? std::string(found->pw_name)
            : std::to_string(user);
    const QByteArray folder =
        QFile::encodeName(QDir::tempPath()) + "/runtime-" + QByteArray::fromStdString(name);
    if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) {
        return;
    }
    struct stat status {};
    if (::lstat(folder.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
        status.st_uid == user && (status.st_mode & 07777) == 0700) {
        qputenv("XDG_RUNTIME_DIR", folder);
    }
}

} // namespace

bool preparePlatform()
{
    useOwnFontConfiguration(); // before anything can start fontconfig with the system's files
    // The folder first: it decides which plugins Qt may load, and the platform choice reads
    // what remains of the environment. The runtime folder last: the Wayland probe must see the
    // environment as the launcher gave it.
    if (!enoughFileHandles() || !isolateGameFolderQt() || !chooseDesktopPlatform()) {
        return false;
    }
    giveRuntimeFolder();
    return true;
}

} // namespace bh
