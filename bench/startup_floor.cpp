// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The least a Qt Widgets program can do and still show what ours shows: one fixed 640 x 480
// window with a picture that is already in memory and one line of text. The text is set in
// the default font, so the font system starts as it must for any window with captions, with the
// system's font configuration as any Qt program has it. Its start-up is the floor the real
// program is measured against.
#include "FirstFrame.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <algorithm>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    // Made in memory, in the backing store's format, rather than decoded: the floor pays for
    // drawing a picture, not for getting one.
    QImage picture(640, 480, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        std::fill_n(row, picture.width(), qRgb(40 + y / 4, 90 + y / 8, 60));
    }

    QLabel window;
    window.setPixmap(QPixmap::fromImage(std::move(picture)));
    window.setFixedSize(640, 480);
    QLabel caption(QStringLiteral("Brackenholt Config"), &window);
    caption.move(16, 16);
    quitAfterFirstFrame(&window);
    window.show();
    return QApplication::exec();
}
