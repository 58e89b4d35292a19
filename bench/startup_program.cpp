// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The program's own start-up, from the application object to the first frame on screen: the
// same window, the same Load on a bh.cfg beside the executable, the same way of showing it. It
// then quits instead of waiting for the player.
#include "ConfigFile.h"
#include "FirstFrame.h"
#include "frmMain.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    frmMain window(bh::configPath());
    QApplication::setApplicationName(window.windowTitle());
    window.Form_Load();
    quitAfterFirstFrame(&window);
    window.showCentered();
    return QApplication::exec();
}
