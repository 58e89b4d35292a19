// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT

// brackenholt-pixels opaque|alpha INPUT.png OUTPUT: writes the PNG's pixels in the form the
// program shows without decoding (see StoredPicture.h). An opaque picture becomes RGB32, the
// format of the window's backing store, so it is copied to the screen as it is; a picture
// with transparency becomes premultiplied ARGB32, the form Qt blends from.

#include "StoredPicture.h"

#include <QImage>
#include <QSaveFile>
#include <QtEndian>
#include <cstdio>
#include <cstring>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "brackenholt-pixels: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4 || (std::strcmp(argv[1], "opaque") != 0 && std::strcmp(argv[1], "alpha") != 0)) {
        std::fprintf(stderr, "usage: brackenholt-pixels opaque|alpha INPUT.png OUTPUT\n");
        return 2;
    }
    const bool opaque = std::strcmp(argv[1], "opaque") == 0;
    const QString input = QString::fromLocal8Bit(argv[2]);
    const QString output = QString::fromLocal8Bit(argv[3]);

    const QImage png(input, "png");
    if (png.isNull()) {
        return fail("cannot read " + input);
    }
    // Dropping an alpha channel would silently turn transparent pixels into colours.
    if (opaque && png.hasAlphaChannel()) {
        return fail(input + " has an alpha channel but is meant to be opaque");
    }
    const QImage image =
        png.convertToFormat(opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);

    QByteArray bytes(static_cast<qsizetype>(sizeof(bh::stored::Header)) +
                         qsizetype(image.width()) * image.height() * 4,
                     Qt::Uninitialized);
    auto* out = reinterpret_cast<uchar*>(bytes.data());
    for (const quint32 field : {bh::stored::kMagic, quint32(image.width()), quint32(image.height()),
                                quint32(image.format())}) {
        qToLittleEndian(field, out);
        out += 4;
    }
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
        qToLittleEndian<quint32>(row, image.width(), out);
        out += qsizetype(image.width()) * 4;
    }

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        return fail("cannot write " + output + ": " + file.errorString());
    }
    return 0;
}
