// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "DesktopPlatform.h"
#include "FontConfiguration.h"
#include "GameFolderQt.h"
#include "PlatformStartup.h"

#include <cstdio>
#include <sys/resource.h>

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

} // namespace

bool preparePlatform()
{
    useOwnFontConfiguration(); // before anything can start fontconfig with the system's files
    // The folder first: it decides which plugins Qt may load, and the platform choice reads
    // what remains of the environment.
    return enoughFileHandles() && isolateGameFolderQt() && chooseDesktopPlatform();
}

} // namespace bh
