// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The pictures compiled into the program, as the build stored them from the PNGs. Controls sit
// on the backdrop's pixel grid and the debug preview exactly over its corner: a size off by one,
// a preview from another scene or a read-out outside its corner would all show on screen.
#include "Pictures.h"

#include <QImage>
#include <QImageReader>
#include <QResource>
#include <QSet>
#include <QTest>

namespace {

// Where the debug read-out's five lines and their shadows may change pixels (1x).
const QRect readoutArea(5, 5, 150, 61);
constexpr int readoutLines = 5;

QImage loadPng(const QString& name)
{
    QImage img(BH_PICTURES_DIR "/" + name);
    if (img.isNull()) {
        qFatal("cannot read %s", qPrintable(name));
    }
    return img;
}

QImage load(const QString& name)
{
    return loadPng(name).convertToFormat(QImage::Format_ARGB32);
}

// Every picture the program shows, at both ratios, as committed and as stored.
void pictureRows()
{
    QTest::addColumn<QString>("png");
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("devicePixelRatio");
    QTest::addColumn<QSize>("size");
    // clang-format off
    QTest::newRow("backdrop") << "backdrop.png" << "backdrop" << 1.0 << QSize(640, 480);
    QTest::newRow("backdrop 2x") << "backdrop@2x.png" << "backdrop" << 2.0 << QSize(1280, 960);
    QTest::newRow("debug preview") << "debug-preview.png" << "debug-preview" << 1.0 << QSize(199, 105);
    QTest::newRow("debug preview 2x") << "debug-preview@2x.png" << "debug-preview" << 2.0 << QSize(398, 210);
    QTest::newRow("icon") << "icon.png" << "icon" << 1.0 << QSize(32, 32);
    QTest::newRow("icon 2x") << "icon@2x.png" << "icon" << 2.0 << QSize(64, 64);
    // clang-format on
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    // Each row catches a picture painted or exported at the wrong size, or a backdrop with an
    // alpha channel that would let the window's background show through.
    void sizes_data() { pictureRows(); }

    void sizes()
    {
        QFETCH(QString, png);
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage raw = loadPng(png);
        QCOMPARE(raw.size(), size);
        QVERIFY2(name == "icon" || !raw.hasAlphaChannel(),
                 qPrintable(png + " has an alpha channel"));
    }

    void storedPixelsAreThePngs_data() { pictureRows(); }

    // Pixel for pixel the committed PNG (a stale or swapped picture, rows or bytes in the wrong
    // order, lost transparency), in the screen's form and shown where it is stored, uncopied.
    void storedPixelsAreThePngs()
    {
        QFETCH(QString, name);
        QFETCH(qreal, devicePixelRatio);
        QFETCH(QString, png);
        const bool isIcon = name == "icon";
        const QPixmap pixmap = isIcon ? bh::programIcon().pixmap(QSize(32, 32) * devicePixelRatio)
                                      : bh::picture(name, devicePixelRatio);
        const QImage shown = pixmap.toImage();
        QCOMPARE(shown.format(),
                 isIcon ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        // Qt reads an @2x file as drawn for a ratio of 2, as the window must show it; the
        // icon's sizes are told apart by their pixels alone.
        QImage expected = loadPng(png).convertToFormat(shown.format());
        if (isIcon) {
            expected.setDevicePixelRatio(1.0);
        }
        QCOMPARE(shown, expected);

        const QResource stored(":/pictures/" + QString(png).replace(".png", ".pixels"));
        QVERIFY2(stored.isValid(), qPrintable(png + " is not stored"));
        if (stored.compressionAlgorithm() == QResource::NoCompression && !isIcon) {
            const uchar* begin = stored.data();
            QVERIFY2(shown.constBits() > begin && shown.constBits() < begin + stored.size(),
                     "the picture was copied");
        }
    }

    void previewIsTheBackdropCorner_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("scale");
        QTest::newRow("1x") << "" << 1;
        QTest::newRow("2x") << "@2x" << 2;
    }

    // Showing the preview must add the read-out and nothing else: any other changed pixel
    // would make the scene jump when the player ticks "Debug Info".
    void previewIsTheBackdropCorner()
    {
        QFETCH(QString, suffix);
        QFETCH(int, scale);
        const QImage backdrop = load("backdrop" + suffix + ".png");
        const QImage preview = load("debug-preview" + suffix + ".png");
        const QRect area(readoutArea.topLeft() * scale, readoutArea.size() * scale);
        QList<int> changedPerLine(readoutLines, 0);
        for (int y = 0; y < preview.height(); ++y) {
            for (int x = 0; x < preview.width(); ++x) {
                if (preview.pixel(x, y) == backdrop.pixel(x, y)) {
                    continue;
                }
                QVERIFY2(area.contains(x, y),
                         qPrintable(QString::asprintf(
                             "preview differs at %d, %d outside the read-out", x, y)));
                const int line = (y - area.top()) * readoutLines / area.height();
                ++changedPerLine[line];
            }
        }
        // Every line of the read-out is drawn, not just some of them.
        for (int line = 0; line < readoutLines; ++line) {
            QVERIFY2(changedPerLine[line] >= 20 * scale * scale,
                     qPrintable(QString("read-out line %1 is missing").arg(line)));
        }
    }

    void twiceTheSizeIsTheSameScene_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("maxError");
        // A one-pixel shift of the 2x backdrop gives a mean error of about 6; the icon is
        // fitted to each size's own pixel grid and so differs more at its edges.
        QTest::newRow("backdrop") << "backdrop" << 2.5;
        QTest::newRow("debug preview") << "debug-preview" << 2.5;
        QTest::newRow("icon") << "icon" << 20.0;
    }

    // The 2x picture, averaged down, must match the 1x one closely: catches a 2x version
    // that is shifted, cropped or painted from a different scene.
    void twiceTheSizeIsTheSameScene()
    {
        QFETCH(QString, name);
        QFETCH(double, maxError);
        const QImage one = load(name + ".png");
        const QImage two = load(name + "@2x.png");
        const auto channel = [](QRgb p, int k) { return int(p >> (8 * k) & 0xff); }; // B, G, R, A
        double total = 0;
        for (int y = 0; y < one.height(); ++y) {
            for (int x = 0; x < one.width(); ++x) {
                for (int k = 0; k < 4; ++k) {
                    int sum = 0; // over the 2 x 2 block
                    for (int i = 0; i < 4; ++i) {
                        sum += channel(two.pixel(2 * x + i % 2, 2 * y + i / 2), k);
                    }
                    total += std::abs(channel(one.pixel(x, y), k) - sum / 4.0);
                }
            }
        }
        const double meanError = total / (one.width() * one.height() * 4.0);
        QVERIFY2(meanError < maxError, qPrintable(QString("mean difference %1").arg(meanError)));
    }

    void iconColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("32x32") << "icon.png";
        QTest::newRow("64x64") << "icon@2x.png";
    }

    // The classic icon format holds 16 colours; transparency counts as one of them here.
    // A blank or two-colour placeholder, or an icon without a transparent outline, fails too.
    void iconColours()
    {
        QFETCH(QString, name);
        const QImage icon = load(name);
        QSet<QRgb> colours;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                colours.insert(qAlpha(icon.pixel(x, y)) == 0 ? 0u : icon.pixel(x, y));
            }
        }
        QVERIFY2(colours.size() <= 16, qPrintable(QString("%1 colours").arg(colours.size())));
        QVERIFY2(colours.size() >= 6, qPrintable(QString("only %1 colours").arg(colours.size())));
        for (QRgb px : colours) {
            QVERIFY2(qAlpha(px) == 0 || qAlpha(px) == 255, "partly transparent pixel");
        }
        QCOMPARE(qAlpha(icon.pixel(icon.width() - 1, 0)), 0);
        QCOMPARE(qAlpha(icon.pixel(icon.width() / 2, icon.height() / 2)), 255);
    }

    // The Windows icon file is written by our own encoder: a wrong row order, nibble order or
    // mask would show as a flipped, scrambled or square icon only on Windows.
    void windowsIconMatchesThePng()
    {
        QImageReader reader(BH_ICO_PATH, "ico");
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        QCOMPARE(reader.imageCount(), 3);
        for (int i = 0; const int size : {16, 32, 64}) {
            QVERIFY(reader.jumpToImage(i++));
            const QImage entry = reader.read().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(entry.size(), QSize(size, size));
            if (size == 16) {
                continue; // painted for its size alone, no PNG to compare with
            }
            const QImage png = load(size == 32 ? "icon.png" : "icon@2x.png");
            for (int y = 0; y < png.height(); ++y) {
                for (int x = 0; x < png.width(); ++x) {
                    const QRgb a = png.pixel(x, y), b = entry.pixel(x, y);
                    QVERIFY2(
                        qAlpha(a) == qAlpha(b) && (!qAlpha(a) || a == b),
                        qPrintable(QString::asprintf("%d px icon differs at %d, %d", size, x, y)));
                }
            }
        }
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
