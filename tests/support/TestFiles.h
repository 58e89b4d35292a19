// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// bh.cfg's bytes as the tests put them on disk and read them back, for the file and the
// window tests alike.
#pragma once

#include "ConfigFormat.h"
#include "TestRecords.h"

#include <QByteArray>
#include <QFile>

namespace bh_test {

// What the program writes for a record.
inline QByteArray configBytes(const bh::ConfigRecord& record)
{
    return QByteArray::fromStdString(bh::formatConfig(record));
}

// Empty where the file cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace bh_test
