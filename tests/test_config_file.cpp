// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on disk, on every system the program is built for: where it is, what may sit at its
// path, and that saving never loses it. What needs POSIX is in test_config_file_posix.cpp.
#include "ConfigFileTestSupport.h"

#include <QFileInfo>

namespace bh_test {
namespace {

TEST(ConfigPath, JoinsTheFolderAndTheFileNameWithOneSeparator)
{
    EXPECT_EQ(bh::configPathIn(QStringLiteral("/games/bh")), QStringLiteral("/games/bh/bh.cfg"));
    EXPECT_EQ(bh::configPathIn(QStringLiteral("/games/bh/")), QStringLiteral("/games/bh/bh.cfg"));
    EXPECT_EQ(bh::configPathIn(QStringLiteral("/")), QStringLiteral("/bh.cfg"));
    // The program's folder as Qt gives it on Windows.
    EXPECT_EQ(bh::configPathIn(QStringLiteral("C:/Games/bh")),
              QStringLiteral("C:/Games/bh/bh.cfg"));
    EXPECT_EQ(bh::configPathIn(QStringLiteral("C:/")), QStringLiteral("C:/bh.cfg"));
}

TEST_F(ConfigFile, SavedFileReplacesTheOldOneAndIsExactlyTheWritersBytes)
{
    writeAll(path(), bytesOf(bh::ConfigRecord{}));
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
}

TEST_F(ConfigFile, ReadingStopsAtTheLimit)
{
    // A 2 MiB first line never ends within what we read.
    // The message says how much was read: the limit itself.
    writeAll(path(), QByteArray(qsizetype{2} * 1024 * 1024, '7'));
    try {
        (void)bh::readConfigFile(path());
        ADD_FAILURE() << "read past the limit";
    } catch (const ConfigError& error) {
        EXPECT_EQ(error.kind(), ConfigError::Kind::TooLarge);
        EXPECT_EQ(error.detail(), "1 MiB");
    }

    // The settings themselves are short; what follows them is never read.
    writeAll(path(), bytesOf(sampleRecord()) + QByteArray(qsizetype{3} * 1024 * 1024, 'x'));
    EXPECT_EQ(bh::readConfigFile(path()), sampleRecord());

    // A million short lines: only the first 49 matter.
    writeAll(path(), QByteArray("1\r\n").repeated(1'000'000));
    const bh::ConfigRecord r = bh::readConfigFile(path());
    EXPECT_TRUE(r.keepBodies);
    EXPECT_EQ(r.colours[13][2], 1);
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
        EXPECT_TRUE(namesFile(e, gone)) << e.what();
    }
    EXPECT_FALSE(QFileInfo::exists(gone));
}

} // namespace
} // namespace bh_test
