// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ConfigFile.h"

#include "ConfigError.h"
#include "ConfigFormat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace bh {
namespace {

std::string shown(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdString();
}

[[noreturn]] void failOpen(const QString& path, const QString& reason)
{
    throw ConfigError(ConfigError::Kind::CannotOpen, shown(path), 0, reason.toStdString());
}

[[noreturn]] void failSave(const QString& path, const QString& reason)
{
    throw ConfigError(ConfigError::Kind::CannotSave, shown(path), 0, reason.toStdString());
}

} // namespace

QString configPathIn(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(kConfigFileName));
}

QString configPath()
{
    return configPathIn(QCoreApplication::applicationDirPath());
}

ConfigRecord readConfigFile(const QString& path)
{
    // Check the kind of file before opening it: opening a FIFO for reading would wait for a
    // writer forever, and a device could feed us without end.
    const QFileInfo info(path);
    if (!info.exists()) {
        failOpen(path, QStringLiteral("the file does not exist"));
    }
    if (!info.isFile()) {
        failOpen(path, QStringLiteral("it is not a regular file"));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failOpen(path, file.errorString());
    }
    const QByteArray bytes = file.read(kMaxConfigBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        failOpen(path, file.errorString());
    }
    file.close();

    const bool complete = bytes.size() <= kMaxConfigBytes;
    const std::string_view view(bytes.constData(),
                                static_cast<std::size_t>(std::min(bytes.size(), kMaxConfigBytes)));
    try {
        return parseConfig(view, complete);
    } catch (const ConfigError& error) {
        throw error.withPath(shown(path));
    }
}

void writeConfigFile(const QString& path, const ConfigRecord& record)
{
    const std::string text = formatConfig(record);
    QSaveFile file(path);
    // Unbuffered, so a write that fails part way (a full disk) fails here, where it can still
    // cancel the save; a buffered write would only fail while committing, and QSaveFile would
    // then put the half-written file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        failSave(path, file.errorString());
    }
    if (file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        failSave(path, reason);
    }
    if (!file.commit()) {
        failSave(path, file.errorString());
    }
}

} // namespace bh
