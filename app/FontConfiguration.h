// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// Gives fontconfig the program's own configuration, made in memory: no font but the two built
// into the program, drawn the way a Debian desktop draws them out of the box, whatever the
// system's or the player's fonts.conf ask. A game folder named in letters those faces lack keeps
// the system's fonts beside them, for its name in the error boxes, and still the same rendering.
// Call it before the application object exists, which is when Qt reads the font list. Where
// fontconfig refuses it, the system's configuration stays, as before.
void useOwnFontConfiguration();

} // namespace bh
