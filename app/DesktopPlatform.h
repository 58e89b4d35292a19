// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// An X server gets this long to answer a connection made before Qt starts: one that is merely
// slow (a remote display, a loaded machine) still gets the window; one that is stopped does not
// hold up the start for good.
inline constexpr int kXServerDeadlineMs = 5000;

// Picks the way to the player's desktop (Wayland or X11) so that the window gets a title bar
// with a working close button. Must run before the application object is made; a platform the
// player names in QT_QPA_PLATFORM is left alone. A compositor that does not answer within half a
// second is left alone too: X11 where DISPLAY names a server, or else false, with the reason on
// standard error. An X server that Qt would try first and that does not answer within a few
// seconds ends the start the same way, or gives way to a compositor that answers.
bool chooseDesktopPlatform();

} // namespace bh
