// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on Windows, where a file another program has open (the game, a virus scanner, a
// search indexer, a backup tool) cannot be replaced, and often not read, until it lets go.
#include "ConfigFilePlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <windows.h>

namespace bh::platform {
namespace {

std::wstring native(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// What a player sets on bh.cfg and would miss after a save. The read-only attribute is not
// among them: a read-only file is never replaced.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

int lastError()
{
    return static_cast<int>(::GetLastError());
}

ErrorClass classify(int code, bool replacing)
{
    switch (static_cast<DWORD>(code)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ErrorClass::NotFound;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return ErrorClass::InUse;
    case ERROR_ACCESS_DENIED:
        // Replacing a file that is open, even by a program that lets others delete it, is
        // denied rather than a sharing violation. The caller has ruled out a read-only file.
        return replacing ? ErrorClass::InUse : ErrorClass::AccessDenied;
    case ERROR_WRITE_PROTECT:
        return ErrorClass::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ErrorClass::DiskFull;
    default:
        return ErrorClass::Other;
    }
}

std::string errorText(int code)
{
    if (code == 0) {
        return {};
    }
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result =
        length > 0 ? QString::fromWCharArray(text, static_cast<qsizetype>(length)).toStdString()
                   : "error " + std::to_string(code);
    ::LocalFree(text);
    return result;
}

bool openElsewhere(const QString& path)
{
    // Asking for the file with no sharing at all fails while any other program has it open,
    // whatever sharing that program allowed.
    const HANDLE file = ::CreateFileW(native(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
    }
    ::CloseHandle(file);
    return false;
}

std::uint32_t attributesToKeep(const QString& path)
{
    const DWORD attributes = ::GetFileAttributesW(native(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
}

void restoreAttributes(const QString& path, std::uint32_t attributes)
{
    if (attributes == 0) {
        return;
    }
    // The settings are saved by now; an attribute that does not come back is no reason to tell
    // the player the save failed.
    const std::wstring file = native(path);
    const DWORD now = ::GetFileAttributesW(file.c_str());
    if (now != INVALID_FILE_ATTRIBUTES) {
        ::SetFileAttributesW(file.c_str(), (now & ~FILE_ATTRIBUTE_NORMAL) | attributes);
    }
}

// Whether a folder may be written to shows only in the denied create; owners and access lists
// are the system's to keep, as a rename over the old file does.
Access folderAccess(const QString& /*folder*/)
{
    return Access::Allowed;
}

Access fileAccess(const QString& file)
{
    if (QFileInfo(file).isWritable()) {
        return Access::Allowed;
    }
    return QStorageInfo(file).isReadOnly() ? Access::ReadOnlyMedium : Access::Denied;
}

std::string otherOwner(const QString& /*path*/)
{
    return {};
}

void keepOwnership(int /*handle*/, const QString& /*path*/) {}

// A folder that holds a running program cannot be renamed on Windows: the name always leads to
// it.
HeldFolder::HeldFolder(const QString& /*path*/) {}
HeldFolder::~HeldFolder() = default;

QString HeldFolder::reach(const QString& path, bool& gone) const
{
    (void)handle_;
    gone = false;
    return path;
}

// Qt's save follows a link by itself, and Windows refuses a circle of links with its own error.
QString linkEnd(const QString& path)
{
    return path;
}

// A window program gets no console signals; closing the session ends it through its window.
EndingSignalsDeferred::EndingSignalsDeferred() = default;
EndingSignalsDeferred::~EndingSignalsDeferred() = default;
void EndingSignalsDeferred::sizeLimitReported() {}

// Windows names every file in UTF-16, so Qt's folder is the program's own.
QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace bh::platform
