// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "ScreenReaderPresence.h"

#include <windows.h>

bool screenReaderRunning()
{
    // Set by Narrator, NVDA and JAWS while they run.
    BOOL running = FALSE;
    return SystemParametersInfoW(SPI_GETSCREENREADER, 0, &running, 0) != FALSE && running != FALSE;
}
