// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "GameModeScale.h"

#include <windows.h>

namespace bh {

// The display mode, not the system metrics: before Qt declares the program aware of the screen's
// scale, Windows would report the metrics of a scaled desktop shrunk by that scale.
ScreenPixels screenBeforeQt()
{
    DEVMODEW mode{};
    mode.dmSize = sizeof(mode);
    if (EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) == 0) {
        return {};
    }
    return {int(mode.dmPelsWidth), int(mode.dmPelsHeight)};
}

} // namespace bh
