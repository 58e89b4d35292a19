// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on disk where POSIX puts other things at its path (FIFOs, devices, symbolic links) or
// limits the writer (permission bits, the file size limit). Not built for Windows.
#include "ConfigFileTestSupport.h"

#include <QFileInfo>
#include <csignal>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
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

TEST_F(ConfigFile, SavingThroughALinkUpdatesItsTargetAndKeepsTheLink)
{
    const QString target = dir.filePath(QStringLiteral("real.cfg"));
    ASSERT_TRUE(writeFile(target, configBytes(bh::ConfigRecord{})));
    ASSERT_TRUE(QFile::link(target, path()));
    bh::writeConfigFile(path(), distinctRecord());
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(readFile(target), configBytes(distinctRecord()));
}

TEST_F(ConfigFile, ASaveThatFailsHalfwayLeavesTheOldFileIntact)
{
    // Cap the size any file of ours may grow to, so writing the new settings fails part way,
    // as on a full disk. The old file must come through byte for byte.
    const QByteArray old = configBytes(bh::ConfigRecord{});
    ASSERT_TRUE(writeFile(path(), old));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 20;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    bool failed = false;
    try {
        bh::writeConfigFile(path(), distinctRecord());
    } catch (const ConfigError& e) {
        failed = e.kind() == ConfigError::Kind::CannotSave;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_TRUE(failed) << "a short write must be reported";
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
                           (full ? "the disk is full; free some space and try again" : kClosed) +
                           ". Nothing was changed on disk.");
    EXPECT_EQ(readFile(path()), old);
    EXPECT_EQ(strayFiles(dir.path()), full ? "filler" : "");
}

INSTANTIATE_TEST_SUITE_P(ConfigFile, FileSystemTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Full" : "ReadOnly"; });

} // namespace
} // namespace bh_test
