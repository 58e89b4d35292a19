// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on Linux. An open file blocks neither reading it nor renaming over it, so no
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
#include <linux/fs.h>
#include <mutex>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <system_error>
#include <unistd.h>
#include <vector>

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
    case EFBIG:
        return ErrorClass::SizeLimit;
    case ELOOP:
        return ErrorClass::LinkLoop;
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

QString handleName(int handle)
{
    return QStringLiteral("/proc/self/fd/%1").arg(handle);
}

// As many links as the system itself follows in one name.
constexpr int kMaxLinks = 40;

// path's folder as the system finds it, links and ".." resolved, joined with its last name;
// path unchanged where the folder cannot be found.
QByteArray realFolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? "/" : path.left(slash);
    char real[PATH_MAX];
    if (::realpath(folder.constData(), real) == nullptr) {
        return path;
    }
    QByteArray joined(real);
    if (!joined.endsWith('/')) {
        joined += '/';
    }
    return joined + path.mid(slash + 1);
}

// Every signal whose default ends the program and which a handler may catch. Faults the
// program's own code raises (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT) must
// act at once, and SIGKILL and SIGSTOP cannot be caught.
std::vector<int> endingSignals()
{
    std::vector<int> numbers{SIGHUP,    SIGINT,  SIGQUIT, SIGUSR1, SIGUSR2,
                             SIGPIPE,   SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ,
                             SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSTKFLT};
    for (int realTime = SIGRTMIN; realTime <= SIGRTMAX; ++realTime) {
        numbers.push_back(realTime);
    }
    return numbers;
}

// The one piece of state without an owner: a signal handler can reach no object, so what it
// records, and what the handlers it stands in for were, live here for the program's life.
struct DeferredSignals {
    std::mutex mutex; // saves on several threads share one deferral
    int depth = 0;
    const std::vector<int> numbers = endingSignals();
    std::array<struct sigaction, NSIG> previous{};
    std::array<std::atomic<bool>, NSIG> pending{};
    bool sizeLimitTold = false;
};
DeferredSignals deferredSignals;

extern "C" void recordEndingSignal(int signal)
{
    if (signal > 0 && signal < NSIG) {
        deferredSignals.pending[static_cast<std::size_t>(signal)] = true;
    }
}

} // namespace

Access folderAccess(const QString& folder)
{
    return writeAccess(folder, W_OK | X_OK);
}

Access fileAccess(const QString& file)
{
    // chattr's marks: the system calls an unchangeable file merely not writable and an
    // append-only one writable, yet neither can be replaced, by its owner or anyone.
    const int handle =
        ::open(nativeName(file).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (handle >= 0) {
        int flags = 0;
        const bool known = ::ioctl(handle, FS_IOC_GETFLAGS, &flags) == 0;
        ::close(handle);
        if (known && (flags & FS_IMMUTABLE_FL) != 0) {
            return Access::Unchangeable;
        }
        if (known && (flags & FS_APPEND_FL) != 0) {
            return Access::AppendOnly;
        }
    }
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
    copyExtendedAttributes(from.constData(), handle);
    // Last: a change of owner clears the set-ID bits, and the access control list's mask was
    // the old file's group bits all along.
    (void)::fchmod(handle, old.st_mode & 07777);
}

HeldFolder::HeldFolder(const QString& path)
{
    const QString folder = QFileInfo(path).absolutePath();
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
    handle_ = handle;
}

HeldFolder::~HeldFolder()
{
    if (handle_ >= 0) {
        ::close(handle_);
    }
}

QString HeldFolder::reach(const QString& path, bool& gone) const
{
    gone = false;
    if (handle_ < 0) {
        return path;
    }
    struct stat status {};
    gone = ::fstat(handle_, &status) == 0 && status.st_nlink == 0;
    return handleName(handle_) + QLatin1Char('/') + QFileInfo(path).fileName();
}

QString linkEnd(const QString& path)
{
    QByteArray name = nativeName(path);
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        char target[PATH_MAX];
        const ssize_t length = ::readlink(name.constData(), target, sizeof target);
        if (length < 0 || length >= static_cast<ssize_t>(sizeof target)) {
            // Not a link, or nothing there yet: the save itself finds out which. A name that
            // is no link keeps the held folder's name under /proc.
            return hop == 0 ? path : QFile::decodeName(realFolderOf(name));
        }
        QByteArray next(target, length);
        if (!next.startsWith('/')) {
            // From the folder that holds the link, as the system finds it: the held folder's
            // name under /proc has no parent to go up to.
            const QByteArray from = realFolderOf(name);
            next = from.left(from.lastIndexOf('/') + 1) + next;
        }
        name = next;
    }
    return {};
}

EndingSignalsDeferred::EndingSignalsDeferred()
{
    DeferredSignals& held = deferredSignals;
    const std::lock_guard lock(held.mutex);
    if (held.depth++ > 0) {
        return;
    }
    struct sigaction record {};
    record.sa_handler = recordEndingSignal;
    record.sa_flags = SA_RESTART;
    sigemptyset(&record.sa_mask);
    held.sizeLimitTold = false;
    for (const int signal : held.numbers) {
        const auto i = static_cast<std::size_t>(signal);
        held.pending[i] = false;
        ::sigaction(signal, &record, &held.previous[i]);
    }
}

void EndingSignalsDeferred::sizeLimitReported()
{
    const std::lock_guard lock(deferredSignals.mutex);
    deferredSignals.sizeLimitTold = true;
}

EndingSignalsDeferred::~EndingSignalsDeferred()
{
    DeferredSignals& held = deferredSignals;
    const std::lock_guard lock(held.mutex);
    if (--held.depth > 0) {
        return;
    }
    for (const int signal : held.numbers) {
        ::sigaction(signal, &held.previous[static_cast<std::size_t>(signal)], nullptr);
    }
    if (held.sizeLimitTold) {
        held.pending[SIGXFSZ] = false; // the player has the message instead
    }
    // Each now has the effect it would have had: for most, the end of the program.
    for (const int signal : held.numbers) {
        if (held.pending[static_cast<std::size_t>(signal)].exchange(false)) {
            ::raise(signal);
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
