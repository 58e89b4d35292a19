// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// The program's own start-up, from preparing Qt to the first frame on screen: the very functions
// main runs, on a bh.cfg beside the executable. It then quits instead of waiting for the player.
#include "FirstFrame.h"
#include "Startup.h"
#include "frmMain.h"

int main(int argc, char* argv[])
{
    const auto app = bh::startApplication(argc, argv);
    return app ? bh::runSettingsWindow([](frmMain& window) { quitAfterFirstFrame(&window); }) : 1;
}
