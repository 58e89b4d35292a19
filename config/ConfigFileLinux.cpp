// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on POSIX systems. An open file blocks neither reading it nor renaming over it, so no
// file is ever in use by another program here. What a save keeps of the old file is its owner,
// group, permissions and extended attributes, copied to the new file before it takes the old
// one's place.
#include "ConfigFilePlatform.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>
#ifdef __linux__
#include <sys/xattr.h>
#endif

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

namespace {

QByteArray nativeName(const QString& path)
{
    return QFile::encodeName(path);
}

// The program's own effective IDs decide what it may do, as they do for the save itself.
Access writeAccess(const QString& path, int mode)
{
    if (::faccessat(AT_FDCWD, nativeName(path).constData(), mode, AT_EACCESS) == 0) {
        return Access::Allowed;
    }
    switch (errno) {
    case EROFS:
        return Access::ReadOnlyMedium;
    case EACCES:
    case EPERM:
        return Access::Denied;
    default:
        return Access::Allowed; // not ours to judge: the save's own error will tell
    }
}

#ifdef __linux__
// The names of the extended attributes of the file at path (following links), or of the open
// file handle, each ended by a zero byte.
std::vector<char> attributeNames(const char* path, int handle)
{
    for (int attempt = 0; attempt < 3; ++attempt) { // the list may grow between two calls
        const ssize_t size =
            path ? ::listxattr(path, nullptr, 0) : ::flistxattr(handle, nullptr, 0);
        if (size <= 0) {
            return {};
        }
        std::vector<char> names(static_cast<std::size_t>(size));
        const ssize_t got = path ? ::listxattr(path, names.data(), names.size())
                                 : ::flistxattr(handle, names.data(), names.size());
        if (got >= 0) {
            names.resize(static_cast<std::size_t>(got));
            return names;
        }
        if (errno != ERANGE) {
            return {};
        }
    }
    return {};
}

template <typename Each> void forEachName(const std::vector<char>& names, Each each)
{
    for (std::size_t at = 0; at < names.size();) {
        const std::string name(names.data() + at);
        at += name.size() + 1;
        each(name);
    }
}

// The old file's extended attributes, and with them its access control list, on the new file;
// attributes the new file got from its folder's defaults that the old file lacked are removed.
// An attribute the system will not let the program set (SELinux labels, trusted.*) stays as
// the new file has it.
void copyExtendedAttributes(const char* from, int handle)
{
    const std::vector<char> names = attributeNames(from, -1);
    std::vector<std::string> kept;
    forEachName(names, [&](const std::string& name) {
        kept.push_back(name);
        std::vector<char> value(256);
        ssize_t size = ::getxattr(from, name.c_str(), value.data(), value.size());
        if (size < 0 && errno == ERANGE) {
            size = ::getxattr(from, name.c_str(), nullptr, 0);
            value.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
            size = ::getxattr(from, name.c_str(), value.data(), value.size());
        }
        if (size >= 0) {
            (void)::fsetxattr(handle, name.c_str(), value.data(), static_cast<std::size_t>(size),
                              0);
        }
    });
    forEachName(attributeNames(nullptr, handle), [&](const std::string& name) {
        if (std::find(kept.begin(), kept.end(), name) == kept.end()) {
            (void)::fremovexattr(handle, name.c_str());
        }
    });
}
#endif

// Folders held open for saving, by the name they had when first read from.
std::mutex heldMutex;
std::map<QString, int> heldFolders;

QString handleName(int handle)
{
    return QStringLiteral("/proc/self/fd/%1").arg(handle);
}

constexpr std::array kEndingSignals{SIGTERM, SIGHUP, SIGINT};
std::mutex deferMutex;
int deferDepth = 0;
std::array<struct sigaction, kEndingSignals.size()> previousActions{};
std::array<std::atomic<bool>, kEndingSignals.size()> pendingSignals{};

extern "C" void recordEndingSignal(int signal)
{
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        if (kEndingSignals[i] == signal) {
            pendingSignals[i] = true;
        }
    }
}

} // namespace

Access folderAccess(const QString& folder)
{
    return writeAccess(folder, W_OK | X_OK);
}

Access fileAccess(const QString& file)
{
    return writeAccess(file, W_OK);
}

std::string otherOwner(const QString& path)
{
    struct stat status {};
    if (::stat(nativeName(path).constData(), &status) != 0 || status.st_uid == ::geteuid()) {
        return {};
    }
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(4096);
    if (::getpwuid_r(status.st_uid, &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr && *found->pw_name != '\0') {
        return found->pw_name;
    }
    return std::to_string(status.st_uid);
}

void keepOwnership(int handle, const QString& path)
{
    const QByteArray from = nativeName(path);
    struct stat old {};
    struct stat made {};
    if (::stat(from.constData(), &old) != 0 || !S_ISREG(old.st_mode) ||
        ::fstat(handle, &made) != 0) {
        return; // a first save: the new file is the player's, as made
    }
    if (made.st_uid != old.st_uid || made.st_gid != old.st_gid) {
        // Only root may give the file back to its owner; anyone may keep a group they are in.
        if (::fchown(handle, old.st_uid, old.st_gid) != 0) {
            (void)::fchown(handle, static_cast<uid_t>(-1), old.st_gid);
        }
    }
#ifdef __linux__
    copyExtendedAttributes(from.constData(), handle);
#endif
    // Last: a change of owner clears the set-ID bits, and the access control list's mask was
    // the old file's group bits all along.
    (void)::fchmod(handle, old.st_mode & 07777);
}

void holdFolder(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const std::lock_guard lock(heldMutex);
    if (heldFolders.contains(folder)) {
        return;
    }
    const int handle = ::open(nativeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0) {
        return;
    }
    // The handle's name under /proc reaches the folder wherever it has moved; without /proc,
    // saves go by the folder's name.
    struct stat held {};
    struct stat named {};
    if (::fstat(handle, &held) != 0 ||
        ::stat(nativeName(handleName(handle)).constData(), &named) != 0 ||
        held.st_dev != named.st_dev || held.st_ino != named.st_ino) {
        ::close(handle);
        return;
    }
    heldFolders.emplace(folder, handle);
}

QString heldPath(const QString& path, bool& gone)
{
    gone = false;
    const QFileInfo info(path);
    const std::lock_guard lock(heldMutex);
    const auto held = heldFolders.find(info.absolutePath());
    if (held == heldFolders.end()) {
        return path;
    }
    struct stat status {};
    gone = ::fstat(held->second, &status) == 0 && status.st_nlink == 0;
    return handleName(held->second) + QLatin1Char('/') + info.fileName();
}

EndingSignalsDeferred::EndingSignalsDeferred()
{
    const std::lock_guard lock(deferMutex);
    if (deferDepth++ > 0) {
        return;
    }
    struct sigaction record {};
    record.sa_handler = recordEndingSignal;
    record.sa_flags = SA_RESTART;
    sigemptyset(&record.sa_mask);
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        pendingSignals[i] = false;
        ::sigaction(kEndingSignals[i], &record, &previousActions[i]);
    }
}

EndingSignalsDeferred::~EndingSignalsDeferred()
{
    const std::lock_guard lock(deferMutex);
    if (--deferDepth > 0) {
        return;
    }
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        ::sigaction(kEndingSignals[i], &previousActions[i], nullptr);
    }
    // Each now has the effect it would have had: for most, the end of the program.
    for (std::size_t i = 0; i < kEndingSignals.size(); ++i) {
        if (pendingSignals[i].exchange(false)) {
            ::raise(kEndingSignals[i]);
        }
    }
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
    // Room for more than PATH_MAX: a name that long must come back whole, to be refused as
    // too long rather than as some other fault.
    char link[2 * PATH_MAX];
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
