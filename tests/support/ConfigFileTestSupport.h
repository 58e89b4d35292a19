// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// What the tests of bh.cfg on disk share: the portable ones and those that need a POSIX system.
#pragma once

#include "ConfigError.h"
#include "ConfigFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

namespace bh_test {

using bh::ConfigError;

// The folder's entries other than bh.cfg, one blank between: a save must leave no temporary
// file behind.
inline std::string strayFiles(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                               QDir::NoDotAndDotDot);
    names.removeAll(QStringLiteral("bh.cfg"));
    return names.join(u' ').toStdString();
}

// Messages name the file as the player's system writes paths (backslashes on Windows).
inline bool namesFile(const ConfigError& error, const QString& path)
{
    return std::string(error.what()).find(QDir::toNativeSeparators(path).toStdString()) !=
           std::string::npos;
}

inline ConfigError::Kind readFailure(const QString& path)
{
    try {
        (void)bh::readConfigFile(path);
    } catch (const ConfigError& e) {
        EXPECT_TRUE(namesFile(e, path)) << "the message must name the file: " << e.what();
        return e.kind();
    }
    ADD_FAILURE() << "no error reading " << path.toStdString();
    return ConfigError::Kind::CannotSave;
}

// Keeps a file open as another program would (the game, a virus scanner), shared with no one;
// only Windows then keeps others from reading or replacing it, so elsewhere hold() says false.
class HeldOpen {
public:
    HeldOpen() = default;
    Q_DISABLE_COPY(HeldOpen)
    ~HeldOpen() { release(); }

#ifdef _WIN32
    bool hold(const QString& path)
    {
        handle_ = ::CreateFileW(QDir::toNativeSeparators(path).toStdWString().c_str(), GENERIC_READ,
                                0, nullptr, OPEN_EXISTING, 0, nullptr);
        return handle_ != INVALID_HANDLE_VALUE;
    }
    void release()
    {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
    bool hold(const QString&)
    {
        return false;
    }
    void release() {}
#endif
};

// Why a folder cannot be written to, as a failed save tells the player.
inline const char* const kClosed =
#ifdef _WIN32
    "its folder cannot be written to. Nothing was changed on disk, and your changes are still "
    "here: move the game folder somewhere you can write to, not Program Files or a folder owned "
    "by another user, then press OK again.";
#else
    "its folder cannot be written to. Nothing was changed on disk, and your changes are still "
    "here: move the game folder somewhere you can write to, not /usr, /opt or a folder owned by "
    "another user, then press OK again.";
#endif

class ConfigFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path() const { return dir.filePath(QStringLiteral("bh.cfg")); }
    QTemporaryDir dir;
};

} // namespace bh_test
