// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "GameModeScale.h"

#include "WindowLayout.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <algorithm>
#include <cmath>

namespace bh {

namespace {

// The scale QT_SCREEN_SCALE_FACTORS gives the first screen ("2", or "name=2" among others), which
// Qt applies in place of the platform's; 0 where it gives none.
double screenScaleFactor()
{
    const QByteArray first = qgetenv("QT_SCREEN_SCALE_FACTORS").split(';').constFirst();
    bool ok = false;
    const double factor = first.mid(first.indexOf('=') + 1).toDouble(&ok);
    return ok && std::isfinite(factor) && factor > 0 ? factor : 0;
}

} // namespace

double fittingScale(ScreenPixels screen)
{
    const double across = double(screen.width) / layout::kWindow.width;
    const double down = double(screen.height) / layout::kWindow.height;
    return std::max(1.0, std::min(across, down));
}

bool inGameMode()
{
    return !qEnvironmentVariableIsEmpty("GAMESCOPE_WAYLAND_DISPLAY");
}

// The scale goes to Qt the one way it takes it before the screen is known: as if the player had
// set QT_SCALE_FACTOR, which Proton does not pass on to a Windows program. Qt scales the window,
// the focus frames, the mouse and touch points and the text with it, and the pictures come from
// their double-size versions. Qt multiplies it with the platform's own scale, so that is divided
// out: the window fits the screen whatever was in force already.
void scaleForGameMode()
{
    if (!inGameMode() || !qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) {
        return;
    }
    const ScreenPixels screen = screenBeforeQt();
    if (screen.width <= 0 || screen.height <= 0) {
        return; // gamescope stretches the window as it is
    }
    const double platform = screenScaleFactor() > 0 ? screenScaleFactor()
                            : qgetenv("QT_ENABLE_HIGHDPI_SCALING") == QByteArray("0")
                                ? 1.0
                                : screen.platformScale;
    const double scale = fittingScale(screen) / std::max(platform, 0.01);
    if (std::abs(scale - 1.0) > 1e-6) {
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale, 'g', 17));
    }
}

} // namespace bh
