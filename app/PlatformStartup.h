// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// What the player's platform needs of Qt before the application object exists: on Linux, the
// program's own font configuration, the game folder's own Qt and the way to the desktop
// (PlatformStartupLinux.cpp); on Windows, nothing (PlatformStartupWindows.cpp). False, with the
// reason on standard error, when Qt cannot be started safely at all; no window can show it then.
bool preparePlatform();

} // namespace bh
