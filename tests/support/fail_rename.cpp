// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Preloaded into the program by save_faults.py: every rename onto a file named bh.cfg fails
// with EIO, as a failing disk would at the last step of a save. Creating and writing the
// temporary file still work, so the save fails at exactly the point where it is committed.
// With BH_RENAME_SIGNAL set to a signal's number, the rename goes ahead instead, just after that
// signal arrives, as a log-out or a kill would in the middle of a save.
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace {

// Whether the rename onto target fails.
bool ontoSettings(const char* target)
{
    const char* slash = std::strrchr(target, '/');
    if (std::strcmp(slash ? slash + 1 : target, "bh.cfg") != 0) {
        return false;
    }
    if (const char* signal = std::getenv("BH_RENAME_SIGNAL")) {
        std::raise(std::atoi(signal));
        return false;
    }
    return true;
}

} // namespace

extern "C" {

int rename(const char* from, const char* to)
{
    if (ontoSettings(to)) {
        errno = EIO;
        return -1;
    }
    using Rename = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    return real(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to)
{
    if (ontoSettings(to)) {
        errno = EIO;
        return -1;
    }
    using RenameAt = int (*)(int, const char*, int, const char*);
    static const auto real = reinterpret_cast<RenameAt>(dlsym(RTLD_NEXT, "renameat"));
    return real(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags)
{
    if (ontoSettings(to)) {
        errno = EIO;
        return -1;
    }
    using RenameAt2 = int (*)(int, const char*, int, const char*, unsigned);
    static const auto real = reinterpret_cast<RenameAt2>(dlsym(RTLD_NEXT, "renameat2"));
    return real(fromDir, from, toDir, to, flags);
}

} // extern "C"
