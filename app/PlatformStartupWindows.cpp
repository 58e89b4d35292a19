// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#include "PlatformStartup.h"

namespace bh {

// The Windows folder carries no qt.conf and Windows has one way to the desktop: its Qt finds its
// one platform plugin beside the program, and nothing need be prepared.
bool preparePlatform()
{
    return true;
}

} // namespace bh
