// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QtGlobal>

// What keeps a start that cannot show the window from ending in an abort, a core file or a
// window nobody can see.
namespace bh {

// While it lives, Qt failing to start its platform (no X server or Wayland compositor answers,
// or the platform named cannot show a window) ends the program with one sentence on standard
// error and exit status 1, in place of Qt's advice to reinstall and an abort. What Qt says on
// the way is held back until then and, when the platform starts after all, passed on as usual.
// Make it before the platform is chosen: it tells the player's own choices from the program's.
class PlatformFailureGuard {
public:
    PlatformFailureGuard();
    ~PlatformFailureGuard();
    PlatformFailureGuard(const PlatformFailureGuard&) = delete;
    PlatformFailureGuard& operator=(const PlatformFailureGuard&) = delete;

private:
    QtMessageHandler previous_;
};

// Leaves out a QT_SCALE_FACTOR with which the 640 x 480 window cannot be shown (not a number,
// not above zero, too small to see or larger than a window can be), with a line on standard
// error saying so; Qt crashes on some such values and shows nothing on others.
void dropUnusableScaleFactor();

} // namespace bh
