// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

// Whether the player runs a screen reader now: as the desktop's switch reports it, or as the
// clients listening on the accessibility bus show it. Assistive technology may be on for other
// tools (a magnifier, an on-screen keyboard) that speak nothing, so it alone says nothing about
// whether anyone waits to hear the window's notices. False where the desktop cannot be asked.
bool screenReaderRunning();
