// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on POSIX systems. An open file blocks neither reading it nor renaming over it, so no
// file is ever in use by another program here, and permissions are all the attributes a save
// keeps (QSaveFile copies them).
#include "ConfigFilePlatform.h"

#include <cerrno>
#include <system_error>

namespace bh::platform {

int lastError()
{
    return errno;
}

ErrorClass classify(int code, bool /*replacing*/)
{
    switch (code) {
    case ENOENT:
        return ErrorClass::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorClass::AccessDenied;
    case ENOSPC:
    case EDQUOT:
        return ErrorClass::DiskFull;
    default:
        return ErrorClass::Other;
    }
}

std::string errorText(int code)
{
    return code == 0 ? std::string() : std::generic_category().message(code);
}

bool openElsewhere(const QString& /*path*/)
{
    return false;
}

std::uint32_t attributesToKeep(const QString& /*path*/)
{
    return 0;
}

void restoreAttributes(const QString& /*path*/, std::uint32_t /*attributes*/) {}

} // namespace bh::platform
