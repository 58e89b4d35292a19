// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "GameModeScale.h"

#include "WindowLayout.h"

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>

namespace bh {

double fittingScale(ScreenPixels screen)
{
    const double across = double(screen.width) / layout::kWindow.width;
    const double down = double(screen.height) / layout::kWindow.height;
    return std::max(1.0, std::min(across, down));
}

// The scale goes to Qt the one way it takes it before the screen is known: as if the player had
// set QT_SCALE_FACTOR, which Proton does not pass on to a Windows program. Qt scales the window,
// the focus frames, the mouse and touch points and the text with it, and the pictures come from
// their double-size versions.
void scaleForGameMode()
{
    if (qEnvironmentVariableIsEmpty("GAMESCOPE_WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
        return;
    }
    const double scale = fittingScale(screenBeforeQt());
    if (scale > 1.0) {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale, 'g', 17));
    }
}

} // namespace bh
