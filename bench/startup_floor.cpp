// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The least a Qt Widgets program can do and still look like ours: one fixed 640 x 480 window
// showing the same embedded backdrop, and nothing else. Its start-up is the floor the real
// program is measured against.
#include "FirstFrame.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    QLabel window;
    window.setPixmap(QPixmap(QStringLiteral(":/floor/backdrop.png")));
    window.setFixedSize(640, 480);
    quitAfterFirstFrame(&window);
    window.show();
    return QApplication::exec();
}
