// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
// Brackenholt Config: the settings program of Brackenholt. It edits bh.cfg, beside the program,
// in one window, and saves on OK. A settings file it cannot read or save ends it with a message
// that names the problem and the file, and exit status 1.
#include "Startup.h"

int main(int argc, char* argv[])
{
    const auto app = bh::startApplication(argc, argv);
    return app ? bh::runSettingsWindow() : 1;
}
