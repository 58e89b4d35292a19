// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// Gives fontconfig the program's own configuration, made in memory, in place of the system's
// and the player's: no font but the two built into the program, drawn the way a Debian desktop
// draws them out of the box, whatever the player's fonts.conf asks. Call it before the
// application object exists, which is when Qt reads the font list. Where fontconfig refuses it,
// the system's configuration stays, as before.
void useOwnFontConfiguration();

} // namespace bh
