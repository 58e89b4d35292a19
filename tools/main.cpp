// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT

// brackenholt-paint OUTPUT_FOLDER: paints the backdrop, the debug preview and the icon at
// 1x and 2x, plus the Windows .ico, into OUTPUT_FOLDER. The same build always writes the
// same pixels.

#include "backdrop.h"
#include "icon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>
#include <exception>

namespace {

void save(const QImage& img, const QDir& dir, const QString& name)
{
    QImageWriter writer(dir.filePath(name), "png");
    // Qt's PNG writer counts compression from 0 to 100, not zlib's 0 to 9: 9 would store the
    // pixels all but raw, which makes the program larger and its start slower.
    writer.setCompression(100);
    if (!writer.write(img)) {
        throw std::runtime_error(
            ("cannot write " + dir.filePath(name) + ": " + writer.errorString()).toStdString());
    }
}

} // namespace

int main(int argc, char* argv[])
{
    // Text and painting need a platform plugin; the offscreen one needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: brackenholt-paint OUTPUT_FOLDER\n");
        return 2;
    }
    try {
        const QDir dir(QString::fromLocal8Bit(argv[1]));
        if (!dir.exists()) {
            throw std::runtime_error("no such folder: " + std::string(argv[1]));
        }
        for (int scale : {1, 2}) {
            const QString suffix = scale == 2 ? "@2x" : "";
            const QImage backdrop = paint::paintBackdrop(scale);
            save(backdrop, dir, "backdrop" + suffix + ".png");
            save(paint::paintDebugPreview(backdrop, scale), dir, "debug-preview" + suffix + ".png");
            save(paint::paintIcon(32 * scale), dir, "icon" + suffix + ".png");
        }
        QFile ico(dir.filePath("icon.ico"));
        const QByteArray bytes =
            paint::encodeIco({paint::paintIcon(16), paint::paintIcon(32), paint::paintIcon(64)});
        if (!ico.open(QIODevice::WriteOnly) || ico.write(bytes) != bytes.size()) {
            throw std::runtime_error("cannot write " + ico.fileName().toStdString());
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "brackenholt-paint: %s\n", e.what());
        return 1;
    }
    return 0;
}
