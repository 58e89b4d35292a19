// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "Pictures.h"

#include "StoredPicture.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QResource>
#include <QtEndian>
#include <memory>

namespace bh {

namespace {

// The build stores the pixels little-endian, which is how every machine the program is built
// for holds a 32-bit pixel in memory.
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN);

void releaseBytes(void* bytes)
{
    delete static_cast<QByteArray*>(bytes);
}

// A picture as the build stored it (StoredPicture.h). Stored uncompressed, its pixels are
// shown straight from the program's read-only data: no decoding, no copy.
QImage storedImage(const QString& name)
{
    const QResource resource(QStringLiteral(":/pictures/%1.pixels").arg(name));
    const uchar* bytes = resource.data();
    qint64 size = resource.size();
    std::unique_ptr<QByteArray> unpacked;
    if (resource.compressionAlgorithm() != QResource::NoCompression) {
        unpacked = std::make_unique<QByteArray>(resource.uncompressedData());
        bytes = reinterpret_cast<const uchar*>(unpacked->constData());
        size = unpacked->size();
    }
    if (bytes == nullptr || size < qint64(sizeof(stored::Header))) {
        return {};
    }
    const quint32 magic = qFromLittleEndian<quint32>(bytes);
    const int width = int(qFromLittleEndian<quint32>(bytes + 4));
    const int height = int(qFromLittleEndian<quint32>(bytes + 8));
    const auto format = QImage::Format(qFromLittleEndian<quint32>(bytes + 12));
    const qsizetype stride = qsizetype(width) * 4;
    if (magic != stored::kMagic || width <= 0 || height <= 0 ||
        size != qint64(sizeof(stored::Header)) + stride * height ||
        (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)) {
        return {};
    }
    const uchar* pixels = bytes + sizeof(stored::Header);
    // Qt reads a 32-bit pixel as one word; pixels that are not word-aligned get copied once.
    if (reinterpret_cast<quintptr>(pixels) % alignof(quint32) != 0) {
        return QImage(pixels, width, height, stride, format).copy();
    }
    QImage image(pixels, width, height, stride, format, unpacked ? releaseBytes : nullptr,
                 unpacked.get());
    (void)unpacked.release();
    return image;
}

} // namespace

QPixmap picture(const QString& name, qreal devicePixelRatio)
{
    const bool sharp = devicePixelRatio > 1.0;
    QImage image = storedImage(sharp ? name + QStringLiteral("@2x") : name);
    image.setDevicePixelRatio(sharp ? 2.0 : 1.0);
    return QPixmap::fromImage(std::move(image));
}

QIcon programIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(storedImage(QStringLiteral("icon"))));
    icon.addPixmap(QPixmap::fromImage(storedImage(QStringLiteral("icon@2x"))));
    return icon;
}

// The family is settled once, by name: asking for a "Garamond" the system lacks would have
// fontconfig rank every installed face as a stand-in before Qt falls back to ours.
QFont labelFont(qreal pointSize)
{
    static const QString family = [] {
        QString garamond = QStringLiteral("Garamond");
        const int id =
            QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/EBGaramond12-Bold.otf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (families.isEmpty() || QFontDatabase::hasFamily(garamond)) {
            return garamond;
        }
        return families.first();
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Bold);
    // The captions are plain ASCII, which the face covers, so there is nothing to merge from
    // other fonts; asking fontconfig for fallbacks would only slow the first frame.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

QFont controlFont()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/DejaVuSans.ttf"));
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QStringLiteral("DejaVu Sans") : families.first();
    }();
    // 9 points is 12 pixels at the 96 dots per inch every platform assumes unscaled; a scaled
    // window draws it larger with everything else.
    QFont font(family, 9);
    // Hinting across rounds each glyph's width to whole pixels under Windows' GDI, two pixels
    // wider or narrower over a caption; hinted only vertically, Windows (DirectWrite) sets the
    // captions as FreeType does on Linux. Linux keeps the light hinting of the program's own font
    // configuration, which draws the same and asks fontconfig nothing more at start-up.
    if (QGuiApplication::platformName() == QLatin1String("windows")) {
        font.setHintingPreference(QFont::PreferVerticalHinting);
    }
    // Merging stays on: a pasted character the face lacks comes from the system's fonts where the
    // program uses them (Windows, and a Linux game folder named in letters the faces lack).
    return font;
}

} // namespace bh
