// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// Run with the Qt of a Linux game folder (the QtCore loaded is the one in the folder's lib/),
// the program uses that Qt alone: plugins come only from the folder's plugins/, whatever qt.conf
// or the environment say, and the desktop's theme does not reach the window. Anywhere else (the
// build tree, against the system's Qt) Qt keeps its usual behaviour. Call before the
// application object is made. False, with the reason on standard error, when the program cannot
// start from its folder: the folder's name is not valid in the file-name encoding, or a qt.conf
// beside the program is not a regular file.
bool isolateGameFolderQt();

} // namespace bh
