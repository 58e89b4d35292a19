// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on disk: where it is, what may sit at its path, and that saving never loses it.
#include "ConfigError.h"
#include "ConfigFile.h"
#include "ConfigFormat.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using bh::ConfigError;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

bh::ConfigRecord sampleRecord()
{
    bh::ConfigRecord r;
    r.debugInfo = true;
    r.depth = bh::ColourDepth::Bits24;
    r.colours[3] = {1, 2, 3};
    return r;
}

QByteArray bytesOf(const bh::ConfigRecord& record)
{
    return QByteArray::fromStdString(bh::formatConfig(record));
}

// The folder's entries other than bh.cfg: a save must leave no temporary file behind.
QStringList strayFiles(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral("bh.cfg"));
    return names;
}

ConfigError::Kind readFailure(const QString& path)
{
    try {
        (void)bh::readConfigFile(path);
    } catch (const ConfigError& e) {
        EXPECT_NE(std::string(e.what()).find(QDir::toNativeSeparators(path).toStdString()),
                  std::string::npos)
            << "the message must name the file: " << e.what();
        return e.kind();
    }
    ADD_FAILURE() << "no error reading " << path.toStdString();
    return ConfigError::Kind::CannotSave;
}

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path() const { return dir.filePath(QStringLiteral("bh.cfg")); }
    QTemporaryDir dir;
};

TEST(ConfigPath, JoinsTheFolderAndTheFileNameWithOneSeparator)
{
    EXPECT_EQ(bh::configPathIn(QStringLiteral("/games/bh")), QStringLiteral("/games/bh/bh.cfg"));
    EXPECT_EQ(bh::configPathIn(QStringLiteral("/games/bh/")), QStringLiteral("/games/bh/bh.cfg"));
    EXPECT_EQ(bh::configPathIn(QStringLiteral("/")), QStringLiteral("/bh.cfg"));
}

TEST_F(ConfigFile, SavedFileReadsBackAndIsExactlyTheWritersBytes)
{
    bh::writeConfigFile(path(), sampleRecord());
    EXPECT_EQ(readAll(path()), bytesOf(sampleRecord()));
    EXPECT_EQ(bh::readConfigFile(path()), sampleRecord());
    EXPECT_TRUE(strayFiles(dir.path()).isEmpty())
        << strayFiles(dir.path()).join(u' ').toStdString();
}

TEST_F(ConfigFile, WhatCannotBeOpenedIsReportedAsSuch)
{
    EXPECT_EQ(readFailure(path()), ConfigError::Kind::CannotOpen) << "missing file";

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("bh.cfg")));
    EXPECT_EQ(readFailure(path()), ConfigError::Kind::CannotOpen) << "a folder";
    ASSERT_TRUE(QDir(dir.path()).rmdir(QStringLiteral("bh.cfg")));

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

TEST_F(ConfigFile, ReadingStopsAtTheLimit)
{
    // A 2 MiB first line never ends within what we read.
    writeAll(path(), QByteArray(qsizetype{2} * 1024 * 1024, '7'));
    EXPECT_EQ(readFailure(path()), ConfigError::Kind::TooLarge);

    // The settings themselves are short; what follows them is never read.
    writeAll(path(), bytesOf(sampleRecord()) + QByteArray(qsizetype{3} * 1024 * 1024, 'x'));
    EXPECT_EQ(bh::readConfigFile(path()), sampleRecord());

    // A million short lines: only the first 49 matter.
    writeAll(path(), QByteArray("1\r\n").repeated(1'000'000));
    const bh::ConfigRecord r = bh::readConfigFile(path());
    EXPECT_TRUE(r.keepBodies);
    EXPECT_EQ(r.colours[13][2], 1);
}

TEST_F(ConfigFile, SavingKeepsPermissions)
{
    writeAll(path(), bytesOf(bh::ConfigRecord{}));
    ASSERT_TRUE(
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    bh::writeConfigFile(path(), sampleRecord());
    // The "user" bits describe whoever runs the test, so compare owner, group and others only.
    const auto ownerGroupOther = QFile::Permissions::fromInt(0x7077);
    EXPECT_EQ(QFile::permissions(path()) & ownerGroupOther,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(bh::readConfigFile(path()), sampleRecord());
}

TEST_F(ConfigFile, SavingThroughALinkUpdatesItsTargetAndKeepsTheLink)
{
    const QString target = dir.filePath(QStringLiteral("real.cfg"));
    writeAll(target, bytesOf(bh::ConfigRecord{}));
    ASSERT_TRUE(QFile::link(target, path()));
    bh::writeConfigFile(path(), sampleRecord());
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    EXPECT_EQ(readAll(target), bytesOf(sampleRecord()));
}

TEST_F(ConfigFile, ASaveThatCannotHappenLeavesNoFile)
{
    // The program's folder has gone (as root, permissions would not stop the write).
    const QString gone = dir.filePath(QStringLiteral("gone/bh.cfg"));
    try {
        bh::writeConfigFile(gone, sampleRecord());
        FAIL() << "saved into a folder that does not exist";
    } catch (const ConfigError& e) {
        EXPECT_EQ(e.kind(), ConfigError::Kind::CannotSave);
        EXPECT_NE(std::string(e.what()).find(gone.toStdString()), std::string::npos) << e.what();
    }
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST_F(ConfigFile, ASaveThatFailsHalfwayLeavesTheOldFileIntact)
{
    // Cap the size any file of ours may grow to, so writing the new settings fails part way,
    // as on a full disk. The old file must come through byte for byte.
    const QByteArray old = bytesOf(bh::ConfigRecord{});
    writeAll(path(), old);
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 20;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    bool failed = false;
    try {
        bh::writeConfigFile(path(), sampleRecord());
    } catch (const ConfigError& e) {
        failed = e.kind() == ConfigError::Kind::CannotSave;
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_TRUE(failed) << "a short write must be reported";
    EXPECT_EQ(readAll(path()), old);
    EXPECT_TRUE(strayFiles(dir.path()).isEmpty())
        << strayFiles(dir.path()).join(u' ').toStdString();
}

} // namespace
