// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// Picks the way to the player's desktop (Wayland or X11) so that the window gets a title bar
// with a working close button. Must run before the application object is made; a platform the
// player names in QT_QPA_PLATFORM is left alone. A compositor that does not answer within half a
// second is left alone too: X11 where DISPLAY names a server, or else false, with the reason on
// standard error.
bool chooseDesktopPlatform();

} // namespace bh
