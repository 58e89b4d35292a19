// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "DesktopPlatform.h"
#include "GameFolderQt.h"
#include "PlatformStartup.h"

namespace bh {

bool preparePlatform()
{
    // The folder first: it decides which plugins Qt may load, and the platform choice reads
    // what remains of the environment.
    return isolateGameFolderQt() && chooseDesktopPlatform();
}

} // namespace bh
