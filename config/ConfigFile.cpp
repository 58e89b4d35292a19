// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ConfigFile.h"

#include "ConfigError.h"
#include "ConfigFilePlatform.h"
#include "ConfigFormat.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>
#include <utility>

namespace bh {
namespace {

using Cause = ConfigError::Cause;

// How long a read or a save waits for another program to let go of bh.cfg. A virus scanner,
// a search indexer or a backup tool holds a file it looks at for a moment; a program that
// keeps it open longer (the game) is for the player to close.
constexpr int kWaitForOtherProgramMs = 1000;
constexpr int kRetryIntervalMs = 100;

enum class Step { Read, Create, Write, Replace };

std::string nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdString();
}

// Why a step on path failed, from the system's error code and the file as it is now. name: path
// as the player knows it. fallback: the toolkit's words, for the rare failure the system gave no
// code for.
ConfigError failure(const QString& path, const std::string& name, Step step, int code,
                    const QString& fallback)
{
    const auto kind =
        step == Step::Read ? ConfigError::Kind::CannotOpen : ConfigError::Kind::CannotSave;
    const auto fail = [&](Cause cause, std::string text = {}) {
        return ConfigError::onDisk(kind, cause, name, std::move(text));
    };
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        return fail(Cause::NotRegularFile);
    }
    if (step != Step::Read) {
        // The folder first: where no file can be made, making bh.cfg writable would not help.
        // On a read-only medium (a read-only mount, a CD) neither would anything an owner can
        // change; the game folder has to move. path is past any links already.
        const QString folder = info.absolutePath();
        switch (platform::folderAccess(folder)) {
        case platform::Access::ReadOnlyMedium:
            return fail(Cause::FolderNotWritable);
        case platform::Access::Denied:
            if (std::string owner = platform::otherOwner(folder); !owner.empty()) {
                return fail(Cause::FolderOwnedByOther, std::move(owner));
            }
            return fail(Cause::FolderNotWritable);
        case platform::Access::Unchangeable:
        case platform::Access::AppendOnly:
        case platform::Access::Allowed:
            break;
        }
        if (info.exists()) {
            switch (platform::fileAccess(path)) {
            case platform::Access::ReadOnlyMedium:
                return fail(Cause::FolderNotWritable);
            case platform::Access::Denied:
                // Someone else's file is not read-only to its owner: only they could change it.
                if (std::string owner = platform::otherOwner(path); !owner.empty()) {
                    return fail(Cause::FileOwnedByOther, std::move(owner));
                }
                return fail(Cause::ReadOnly);
            case platform::Access::Unchangeable:
                return fail(Cause::Unchangeable);
            case platform::Access::AppendOnly:
                return fail(Cause::AppendOnly);
            case platform::Access::Allowed:
                break;
            }
        }
    }
    const platform::ErrorClass error = platform::classify(code, step == Step::Replace);
    if (error == platform::ErrorClass::DiskFull) {
        return fail(Cause::DiskFull);
    }
    if (error == platform::ErrorClass::SizeLimit) {
        return fail(Cause::SizeLimit);
    }
    if (error == platform::ErrorClass::LinkLoop) {
        return fail(Cause::LinkLoop);
    }
    // The code alone can hide it: a program that shares the file for reading but not for
    // replacing makes Windows deny the replace, which it also does for other reasons.
    if (error == platform::ErrorClass::InUse || platform::openElsewhere(path)) {
        return fail(Cause::InUse);
    }
    switch (error) {
    case platform::ErrorClass::NotFound:
        if (step == Step::Read) {
            return fail(Cause::DoesNotExist);
        }
        // No file can be made in a folder that is there: Qt on Windows looks the new name up
        // after a denied create, which leaves "not found" as the last error.
        if (step == Step::Create && info.dir().exists()) {
            return fail(Cause::FolderNotWritable);
        }
        break;
    case platform::ErrorClass::AccessDenied:
        if (step != Step::Read) {
            return fail(Cause::FolderNotWritable);
        }
        break;
    case platform::ErrorClass::DiskFull:
    case platform::ErrorClass::SizeLimit:
    case platform::ErrorClass::LinkLoop:
    case platform::ErrorClass::InUse:
    case platform::ErrorClass::Other:
        break;
    }
    const std::string text = platform::errorText(code);
    return fail(Cause::Other, text.empty() ? fallback.toStdString() : text);
}

// Runs attempt until it succeeds or fails for a reason other than another program holding
// bh.cfg open, waiting up to kWaitForOtherProgramMs for that program to let go.
template <typename Attempt> auto whileInUse(Attempt attempt)
{
    const QDeadlineTimer deadline(kWaitForOtherProgramMs);
    for (;;) {
        try {
            return attempt();
        } catch (const ConfigError& error) {
            if (error.cause() != Cause::InUse || deadline.hasExpired()) {
                throw;
            }
        }
        QThread::msleep(kRetryIntervalMs);
    }
}

QByteArray readOnce(const QString& path)
{
    // Check the kind of file before opening it: opening a FIFO for reading would wait for a
    // writer forever, and a device could feed us without end.
    const QFileInfo info(path);
    if (!info.exists()) {
        const bool loop = info.isSymLink() && platform::linkEnd(path).isEmpty();
        throw ConfigError::onDisk(ConfigError::Kind::CannotOpen,
                                  loop ? Cause::LinkLoop : Cause::DoesNotExist, nativePath(path));
    }
    if (!info.isFile()) {
        throw ConfigError::onDisk(ConfigError::Kind::CannotOpen, Cause::NotRegularFile,
                                  nativePath(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        const int code = platform::lastError();
        throw failure(path, nativePath(path), Step::Read, code, file.errorString());
    }
    QByteArray bytes = file.read(kMaxConfigBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        const int code = platform::lastError();
        throw failure(path, nativePath(path), Step::Read, code, file.errorString());
    }
    return bytes;
}

// Saves text to path, which the player knows as name.
void saveOnce(const QString& path, const std::string& name, const std::string& text)
{
    QSaveFile file(path);
    // Unbuffered, so a write that fails part way (a full disk) fails here, where it can still
    // cancel the save; a buffered write would only fail while committing, and QSaveFile would
    // then put the half-written file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int code = platform::lastError();
        throw failure(path, name, Step::Create, code, file.errorString());
    }
    platform::keepOwnership(file.handle(), path);
    if (file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        file.error() != QFileDevice::NoError) {
        const int code = platform::lastError();
        const QString fallback = file.errorString();
        file.cancelWriting();
        throw failure(path, name, Step::Write, code, fallback);
    }
    if (!file.commit()) {
        const int code = platform::lastError();
        throw failure(path, name, Step::Replace, code, file.errorString());
    }
}

} // namespace

QString configPathIn(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kConfigFileName));
}

QString programFolder()
{
    return platform::programFolder();
}

QString configPath()
{
    const QString folder = programFolder();
    if (folder.isEmpty()) { // never the working directory's bh.cfg in its place
        throw ConfigError::onDisk(ConfigError::Kind::CannotOpen, Cause::Other, kConfigFileName,
                                  "the name of the program's folder cannot be used");
    }
    return configPathIn(folder);
}

ConfigFile::ConfigFile(QString path) : path_(std::move(path)) {}

ConfigFile::~ConfigFile() = default;

ConfigRecord ConfigFile::read()
{
    if (!folder_) {
        folder_ = std::make_unique<platform::HeldFolder>(path_);
    }
    const QByteArray bytes = whileInUse([&] { return readOnce(path_); });
    const bool complete = bytes.size() <= kMaxConfigBytes;
    const std::string_view view(bytes.constData(),
                                static_cast<std::size_t>(std::min(bytes.size(), kMaxConfigBytes)));
    try {
        return parseConfig(view, complete);
    } catch (const ConfigError& error) {
        throw error.withPath(nativePath(path_));
    }
}

void ConfigFile::write(const ConfigRecord& record) const
{
    const std::string text = formatConfig(record);
    bool gone = false;
    const QString held = folder_ ? folder_->reach(path_, gone) : path_;
    if (gone) {
        throw ConfigError::onDisk(ConfigError::Kind::CannotSave, Cause::FolderGone,
                                  nativePath(path_));
    }
    const QString target = platform::linkEnd(held);
    if (target.isEmpty()) {
        throw ConfigError::onDisk(ConfigError::Kind::CannotSave, Cause::LinkLoop,
                                  nativePath(path_));
    }
    const std::uint32_t attributes = platform::attributesToKeep(target);
    platform::EndingSignalsDeferred endingSignalsWait;
    // Each attempt is a whole save of its own: QSaveFile removes its new file when putting it
    // in place fails, so nothing is left over between attempts or after the last.
    try {
        whileInUse([&] { saveOnce(target, nativePath(path_), text); });
    } catch (const ConfigError& error) {
        if (error.cause() == Cause::SizeLimit) {
            endingSignalsWait.sizeLimitReported();
        }
        throw;
    }
    platform::restoreAttributes(target, attributes);
}

ConfigRecord readConfigFile(const QString& path)
{
    return ConfigFile(path).read();
}

void writeConfigFile(const QString& path, const ConfigRecord& record)
{
    ConfigFile(path).write(record);
}

} // namespace bh
