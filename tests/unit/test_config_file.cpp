// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg on disk, on every system the program is built for: where it is, what may sit at its
// path, and that saving never loses it. What needs POSIX is in test_config_file_posix.cpp.
#include "ConfigFileTestSupport.h"

#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <iostream>
#include <tuple>

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
    ASSERT_TRUE(writeFile(path(), configBytes(bh::ConfigRecord{})));
    bh::writeConfigFile(path(), distinctRecord());
    EXPECT_EQ(readFile(path()), configBytes(distinctRecord()));
    EXPECT_EQ(bh::readConfigFile(path()), distinctRecord());
    EXPECT_EQ(strayFiles(dir.path()), "");
}

TEST_F(ConfigFile, ReadingStopsAtTheLimit)
{
    // A 2 MiB first line never ends within what we read; the message names the limit.
    ASSERT_TRUE(writeFile(path(), QByteArray(qsizetype{2} * 1024 * 1024, '7')));
    try {
        (void)bh::readConfigFile(path());
        ADD_FAILURE() << "read past the limit";
    } catch (const ConfigError& error) {
        EXPECT_EQ(error.kind(), ConfigError::Kind::TooLarge);
        EXPECT_EQ(error.detail(), "1 MiB");
    }

    // The settings themselves are short; what follows them is never read.
    ASSERT_TRUE(
        writeFile(path(), configBytes(distinctRecord()) + QByteArray(qsizetype{3} << 20, 'x')));
    EXPECT_EQ(bh::readConfigFile(path()), distinctRecord());

    // A million short lines: only the first 49 matter.
    ASSERT_TRUE(writeFile(path(), QByteArray("1\r\n").repeated(1'000'000)));
    const bh::ConfigRecord r = bh::readConfigFile(path());
    EXPECT_TRUE(r.keepBodies);
    EXPECT_EQ(r.colours[13][2], 1);
}

// Something in the way of reading or saving bh.cfg: its name, whether it is met saving, the cause,
// the reason the player is given (nullptr: the system's own words), and what puts it in place for
// a bh.cfg in a folder, returning the file's path (empty where this system or user cannot).
using Obstacle = std::tuple<const char*, bool, ConfigError::Cause, const char*,
                            QString (*)(const QString& folder, HeldOpen& held)>;

// A folder no one may create files in, root included, on every system the tests run on (Wine
// sees Linux's / as Z:).
const QString kClosedFolder = QStringLiteral("/sys");

QString folderInItsPlace(const QString& folder, HeldOpen&)
{
    return QDir(folder).mkdir(QStringLiteral("bh.cfg")) ? bh::configPathIn(folder) : QString();
}

// Only Windows keeps a program from reading or replacing a file another one has open.
QString heldOpen(const QString& folder, HeldOpen& held)
{
    const QString path = bh::configPathIn(folder);
    return writeFile(path, configBytes(bh::ConfigRecord{})) && held.hold(path) ? path : QString();
}

// Root writes any file whatever its permissions; the read-only attribute holds on Windows.
QString readOnlyFile(const QString& folder, HeldOpen&)
{
    const QString path = bh::configPathIn(folder);
    writeFile(path, configBytes(bh::ConfigRecord{}));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadUser);
    return QFileInfo(path).isWritable() ? QString() : path;
}

QString closedFolder(const QString&, HeldOpen&)
{
    return QFileInfo(kClosedFolder).isDir() ? bh::configPathIn(kClosedFolder) : QString();
}

QString missingFile(const QString& folder, HeldOpen&)
{
    return bh::configPathIn(folder);
}

QString goneFolder(const QString& folder, HeldOpen&)
{
    return bh::configPathIn(folder + QStringLiteral("/gone"));
}

// A link to itself; Windows' links are no part of it.
QString linkLoop(const QString& folder, HeldOpen&)
{
    [[maybe_unused]] const QString path = bh::configPathIn(folder);
#ifdef _WIN32
    return {};
#else
    return QFile::link(QStringLiteral("bh.cfg"), path) ? path : QString();
#endif
}

const char kInUse[] =
    "another program is using it; close that program (for example the game) and try again";

using Cause = ConfigError::Cause;
// clang-format off
const Obstacle kObstacles[] = {
    {"missing file", false, Cause::DoesNotExist, "the file does not exist", missingFile},
    {"a folder in its place, read", false, Cause::NotRegularFile, "it is not a regular file", folderInItsPlace},
    {"a folder in its place, saved", true, Cause::NotRegularFile, "it is not a regular file. Nothing was changed on disk, and your changes are still here: once the cause is mended, press OK again.", folderInItsPlace},
    {"read-only file", true, Cause::ReadOnly, "the file is read-only. Nothing was changed on disk, and your changes are still here: make it writable, then press OK again.", readOnlyFile},
    {"folder that cannot be written to", true, Cause::FolderNotWritable, kClosed, closedFolder},
    {"folder gone", true, Cause::Other, nullptr, goneFolder},
    {"a circle of links, read", false, Cause::LinkLoop, "it is a symbolic link, and its links lead round in a circle; point the link at the settings file and try again", linkLoop},
    {"a circle of links, saved", true, Cause::LinkLoop, "it is a symbolic link, and its links lead round in a circle. Nothing was changed on disk, and your changes are still here: point the link at the settings file, then press OK again.", linkLoop},
    {"held open by another program, read", false, Cause::InUse, kInUse, heldOpen},
    {"held open by another program, saved", true, Cause::InUse, "another program is using it. Nothing was changed on disk, and your changes are still here: close that program (for example the game), then press OK again.", heldOpen},
};
// clang-format on

class ObstacleTest : public ConfigFile, public ::testing::WithParamInterface<Obstacle> {};

TEST_P(ObstacleTest, NamesTheFileOnceAndTheCauseInOneSentenceAndChangesNothing)
{
    const auto& [name, save, cause, reason, make] = GetParam();
    HeldOpen held;
    const QString path = make(dir.path(), held);
    if (path.isEmpty()) {
        GTEST_SKIP() << "cannot be made on this system or as this user";
    }
    const QStringList beside = QDir(QFileInfo(path).path()).entryList(QDir::AllEntries);
    try {
        if (save) {
            bh::writeConfigFile(path, distinctRecord());
        } else {
            (void)bh::readConfigFile(path);
        }
        FAIL() << "no error";
    } catch (const ConfigError& e) {
        EXPECT_EQ(e.kind(), save ? ConfigError::Kind::CannotSave : ConfigError::Kind::CannotOpen);
        EXPECT_EQ(e.cause(), cause);
        const std::string head = std::string(save ? "Cannot save " : "Cannot open ") +
                                 QDir::toNativeSeparators(path).toStdString() + ": ";
        const std::string tail = save ? ". Nothing was changed on disk, and your changes are still "
                                        "here: once the cause is mended, press OK again."
                                      : ".";
        const std::string message = e.what();
        if (reason != nullptr) {
            EXPECT_EQ(message, head + reason + (save ? "" : "."));
        } else {
            // The system's words, without a full stop of their own.
            ASSERT_GT(message.size(), head.size() + tail.size()) << message;
            EXPECT_EQ(message.substr(0, head.size()), head);
            EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
            EXPECT_EQ(message.find(".."), std::string::npos) << message;
        }
        std::cout << "    " << message << "\n";
    }
    held.release();
    // Every row that makes a bh.cfg writes the default settings there.
    EXPECT_EQ(readFile(path),
              QFileInfo(path).isFile() ? configBytes(bh::ConfigRecord{}) : QByteArray())
        << "the file changed";
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::AllEntries), beside)
        << "a file was left beside it";
}

INSTANTIATE_TEST_SUITE_P(ConfigFile, ObstacleTest, ::testing::ValuesIn(kObstacles), [](auto info) {
    std::string name = std::get<0>(info.param);
    std::ranges::replace_if(
        name, [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
});

} // namespace
} // namespace bh_test
