// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on disk where POSIX puts other things at its path (FIFOs, devices, symbolic links) or
// limits the writer (permission bits, the file size limit). Not built for Windows.
#include "ConfigFileTestSupport.h"

#include <QFileInfo>
#include <csignal>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace bh_test {
namespace {

TEST_F(ConfigFile, WhatIsNoRegularFileIsNotOpened)
{
    // Opening a FIFO would wait for a writer forever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    EXPECT_EQ(readFailure(path()), ConfigError::Kind::CannotOpen) << "a FIFO";
    ASSERT_TRUE(QFile::remove(path()));

    // A device behind a link would feed the reader without end.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path()));
    EXPECT_EQ(readFailure(path()), ConfigError::Kind::CannotOpen) << "a device";
    ASSERT_TRUE(QFile::remove(path()));

    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), path()));
    EXPECT_EQ(readFailure(path()), ConfigError::Kind::CannotOpen) << "a dangling link";
}

TEST_F(ConfigFile, SavingKeepsPermissions)
{
    ASSERT_TRUE(writeFile(path(), configBytes(bh::ConfigRecord{})));
    ASSERT_TRUE(
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    bh::writeConfigFile(path(), distinctRecord());
    // The "user" bits describe whoever runs the test, so compare owner, group and others only.
    const auto ownerGroupOther = QFile::Permissions::fromInt(0x7077);
    EXPECT_EQ(QFile::permissions(path()) & ownerGroupOther,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(bh::readConfigFile(path()), distinctRecord());
}

TEST_F(ConfigFile, SavingAsRootKeepsOwnerModeAccessListAndAttributes)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file to another user";
    }
    // clang-format off
    // user::rw-, user:1234:r--, group::r--, mask::r--, other::---, each entry tag, bits, id
    const unsigned char acl[] = {2, 0, 0, 0,
                                 1, 0, 6, 0, 255, 255, 255, 255,
                                 2, 0, 4, 0, 0xd2, 4, 0, 0,
                                 4, 0, 4, 0, 255, 255, 255, 255,
                                 0x10, 0, 4, 0, 255, 255, 255, 255,
                                 0x20, 0, 0, 0, 255, 255, 255, 255};
    // clang-format on
    const QByteArray file = QFile::encodeName(path());
    // clang-format off
    const struct { mode_t mode; gid_t group; bool withAcl; const char* fault; } rows[] = {
        {0600, 1000, false, "a player's file handed to root"},
        {0444, 1000, false, "a read-only file made writable for its owner"},
        {0400, 100, false, "the owner's bits widened, or the group lost"},
        {0640, 1000, true, "the access list or an attribute dropped, the group bits widened"},
    };
    // clang-format on
    for (const auto& [mode, group, withAcl, fault] : rows) {
        ASSERT_TRUE(writeFile(path(), configBytes(bh::ConfigRecord{})));
        ASSERT_EQ(::chown(file.constData(), 1000, group), 0);
        ASSERT_EQ(::setxattr(file.constData(), "user.origin", "game", 4, 0), 0);
        if (withAcl) {
            ASSERT_EQ(::setxattr(file.constData(), "system.posix_acl_access", acl, sizeof acl, 0),
                      0);
        }
        ASSERT_EQ(::chmod(file.constData(), mode), 0);
        bh::writeConfigFile(path(), distinctRecord());
        struct stat saved {};
        ASSERT_EQ(::stat(file.constData(), &saved), 0);
        EXPECT_EQ(saved.st_uid, 1000u) << fault;
        EXPECT_EQ(saved.st_gid, group) << fault;
        EXPECT_EQ(saved.st_mode & 07777, mode) << fault;
        char origin[8] = {};
        EXPECT_EQ(::getxattr(file.constData(), "user.origin", origin, sizeof origin), 4) << fault;
        unsigned char keptAcl[sizeof acl + 8] = {};
        const ssize_t aclSize =
            ::getxattr(file.constData(), "system.posix_acl_access", keptAcl, sizeof keptAcl);
        EXPECT_EQ(aclSize, withAcl ? static_cast<ssize_t>(sizeof acl) : -1) << fault;
        EXPECT_EQ(readFile(path()), configBytes(distinctRecord())) << fault;
        ASSERT_TRUE(QFile::remove(path()));
    }
}

// Puts chattr's marks on the file (0: takes them off); false where its file system has none.
bool setMarks(const QString& file, int marks)
{
    QFile f(file);
    return (f.open(QIODevice::ReadOnly) && ::ioctl(f.handle(), FS_IOC_SETFLAGS, &marks) == 0) ||
           marks == 0;
}

// What a save by a player (the user "nobody") is told in a folder and over a file others own
// or marked, in a child process that has become that player.

TEST_F(ConfigFile, ASaveNamesTheObstacleThePlayerCanGetAround)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can act as two users";
    }
    constexpr uid_t kPlayer = 65534;
    const std::string copy = ". Nothing was changed on disk: copy the game folder to a place you "
                             "own, such as your home folder, and start it from there.";
    const std::string kept = ". Nothing was changed on disk, and your changes are still here: ";
    // clang-format off
    const struct { uid_t folderOwner; mode_t folderMode; uid_t fileOwner; mode_t fileMode; int marks; std::string reason; } rows[] = {
        {0, 0755, kPlayer, 0644, 0, "its folder belongs to root and you may not save in it" + copy},
        {4321, 0755, kPlayer, 0644, 0, "its folder belongs to another user (4321) and you may not save in it" + copy},
        {0, 0777, 0, 0644, 0, "the file belongs to root and you may not change it" + copy},
        {kPlayer, 0755, kPlayer, 0444, 0, "the file is read-only" + kept + "make it writable, then press OK again."},
        {kPlayer, 0755, kPlayer, 0644, FS_IMMUTABLE_FL, "the file is marked unchangeable (immutable), which no permission overrides" + kept + "clear the mark with \"sudo chattr -i\" on the file, then press OK again."},
        {kPlayer, 0755, kPlayer, 0644, FS_APPEND_FL, "the file is marked append-only, so it may be added to but never replaced" + kept + "clear the mark with \"sudo chattr -a\" on the file, then press OK again."},
    };
    // clang-format on
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    const QString folder = dir.filePath(QStringLiteral("game"));
    const QString file = folder + QStringLiteral("/bh.cfg");
    for (const auto& [folderOwner, folderMode, fileOwner, fileMode, marks, reason] : rows) {
        setMarks(file, 0);
        ASSERT_TRUE(QDir(folder).removeRecursively() && QDir().mkdir(folder));
        ASSERT_TRUE(writeFile(file, configBytes(bh::ConfigRecord{})));
        ASSERT_EQ(::chown(QFile::encodeName(file).constData(), fileOwner, fileOwner), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), fileMode), 0);
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), folderOwner, folderOwner), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), folderMode), 0);
        if (!setMarks(file, marks)) {
            continue; // a file system without chattr's marks
        }
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            std::string message = "saved";
            if (::setgid(kPlayer) != 0 || ::setuid(kPlayer) != 0) {
                message = "cannot become the player";
            } else {
                try {
                    bh::writeConfigFile(file, distinctRecord());
                } catch (const ConfigError& e) {
                    message = e.what();
                }
            }
            (void)!::write(fds[1], message.data(), message.size());
            ::_exit(0);
        }
        ::close(fds[1]);
        std::string message;
        char buffer[512];
        for (ssize_t got; (got = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
            message.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(fds[0]);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(message, "Cannot save " + file.toStdString() + ": " + reason);
        EXPECT_EQ(readFile(file), configBytes(bh::ConfigRecord{}));
    }
    setMarks(file, 0);
}

TEST_F(ConfigFile, SavesGoToTheFolderReadFromWhateverTakesItsName)
{
    const QString folder = dir.filePath(QStringLiteral("game"));
    const QString moved = dir.filePath(QStringLiteral("game (old)"));
    const QString file = folder + QStringLiteral("/bh.cfg");
    const QByteArray old = configBytes(bh::ConfigRecord{});
    ASSERT_TRUE(QDir().mkdir(folder) && writeFile(file, old));
    bh::ConfigFile config(file);
    (void)config.read();
    ASSERT_TRUE(QDir().rename(folder, moved));
    ASSERT_TRUE(QDir().mkdir(folder) && writeFile(file, old));
    config.write(distinctRecord());
    EXPECT_EQ(readFile(moved + QStringLiteral("/bh.cfg")), configBytes(distinctRecord()))
        << "the renamed folder the settings came from";
    EXPECT_EQ(readFile(file), old) << "a new folder that took the old name";
    EXPECT_EQ(strayFiles(moved), "");

    ASSERT_TRUE(QDir(moved).removeRecursively());
    std::string message;
    try {
        config.write(distinctRecord());
    } catch (const ConfigError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "Cannot save " + file.toStdString() +
                           ": its folder has been deleted, or moved to another drive, since the "
                           "program started. Nothing was changed on disk.");
    EXPECT_EQ(readFile(file), old);
}

TEST_F(ConfigFile, SavingThroughALinkUpdatesItsTargetAndKeepsTheLink)
{
    // A relative target counts from its link's own folder, also once the game folder is reached
    // by its handle. Each row: game/bh.cfg's target (none: absolute), shared/link.cfg's.
    const std::pair<const char*, const char*> rows[] = {
        {nullptr, nullptr}, {"../real/bh.cfg", nullptr}, {"../shared/link.cfg", "../real/bh.cfg"}};
    for (int i = 0; i < 3; ++i) {
        const QDir row(dir.filePath(QString::number(i)));
        const QString link = row.filePath(QStringLiteral("game/bh.cfg"));
        const QString target = row.filePath(QStringLiteral("real/bh.cfg"));
        for (const char* sub : {"game", "shared", "real"}) {
            ASSERT_TRUE(row.mkpath(QString::fromLatin1(sub)));
        }
        ASSERT_TRUE(writeFile(target, configBytes(bh::ConfigRecord{})));
        ASSERT_TRUE(QFile::link(rows[i].first ? QString::fromLatin1(rows[i].first) : target, link));
        ASSERT_TRUE(!rows[i].second ||
                    QFile::link(QString::fromLatin1(rows[i].second),
                                row.filePath(QStringLiteral("shared/link.cfg"))));
        bh::ConfigFile config(link);
        EXPECT_EQ(config.read(), bh::ConfigRecord{}) << i;
        EXPECT_NO_THROW(config.write(distinctRecord())) << i;
        EXPECT_TRUE(QFileInfo(link).isSymLink() &&
                    readFile(target) == configBytes(distinctRecord()))
            << i;
        EXPECT_EQ(strayFiles(QFileInfo(link).path()) + strayFiles(QFileInfo(target).path()), "");
    }
}

TEST_F(ConfigFile, ASaveThatFailsHalfwayLeavesTheOldFileIntact)
{
    // Cap the size any file of ours may grow to, so writing the new settings fails part way,
    // as on a full disk. The old file must come through byte for byte, and the system's
    // SIGXFSZ, left to its default, must not end the program: the failure is the message.
    const QByteArray old = configBytes(bh::ConfigRecord{});
    ASSERT_TRUE(writeFile(path(), old));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit tiny = saved;
    tiny.rlim_cur = 20;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    ConfigError::Cause cause = ConfigError::Cause::None;
    try {
        bh::writeConfigFile(path(), distinctRecord());
    } catch (const ConfigError& e) {
        cause = e.cause();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(cause, ConfigError::Cause::SizeLimit) << "a short write must be reported";
    EXPECT_EQ(readFile(path()), old);
    EXPECT_EQ(strayFiles(dir.path()), "");
}

// bh.cfg alone on a small file system of its own (needs the right to mount), which then
// fills up or turns read-only: neither is mended by changing the file itself.
class FileSystemTest : public ConfigFile, public ::testing::WithParamInterface<bool> {};

TEST_P(FileSystemTest, IsToldAsTheDiskOrTheFolder)
{
    const bool full = GetParam();
    const QByteArray folder = QFile::encodeName(dir.path());
    if (::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "no right to mount a file system";
    }
    const std::unique_ptr<const char, int (*)(const char*)> unmount(folder.constData(), ::umount);
    const QByteArray old = configBytes(bh::ConfigRecord{});
    ASSERT_TRUE(writeFile(path(), old));
    if (full) {
        QFile filler(dir.filePath(QStringLiteral("filler")));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, '\0')) > 0) {
        }
    } else {
        ASSERT_EQ(::mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr),
                  0);
    }
    std::string message;
    try {
        bh::writeConfigFile(path(), distinctRecord());
    } catch (const ConfigError& e) {
        message = e.what();
    }
    EXPECT_EQ(message, "Cannot save " + path().toStdString() + ": " +
                           (full ? "the disk is full. Nothing was changed on disk, and your "
                                   "changes are still here: free some space, then press OK again."
                                 : kClosed));
    EXPECT_EQ(readFile(path()), old);
    EXPECT_EQ(strayFiles(dir.path()), full ? "filler" : "");
}

INSTANTIATE_TEST_SUITE_P(ConfigFile, FileSystemTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Full" : "ReadOnly"; });

} // namespace
} // namespace bh_test
