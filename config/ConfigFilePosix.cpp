// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on POSIX systems. An open file blocks neither reading it nor renaming over it, so no
// file is ever in use by another program here, and permissions are all the attributes a save
// keeps (QSaveFile copies them).
#include "ConfigFilePlatform.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <system_error>
#include <unistd.h>

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

QString programFolder()
{
    // The kernel's link names the program's file as the bytes the file system holds, whatever
    // the working directory or argv[0] say; Qt's own lookup turns a name it cannot decode into
    // a relative one.
    char link[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", link, sizeof link);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof link) || link[0] != '/') {
        return {};
    }
    QByteArray bytes(link, length);
    bytes.truncate(bytes.lastIndexOf('/'));
    if (bytes.isEmpty()) {
        bytes = "/";
    }
    // A name that does not come back to the same bytes (not valid in the file-name encoding)
    // would name some other file, or none, at every later step.
    const QString folder = QFile::decodeName(bytes);
    return QFile::encodeName(folder) == bytes ? folder : QString();
}

} // namespace bh::platform
