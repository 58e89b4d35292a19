// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

namespace bh {

// Run from a Linux game folder (qt.conf beside the program, Qt loaded from the folder's lib/),
// the program uses that Qt alone: plugins come only from the folder's plugins/, and the desktop's
// theme does not reach the window. Anywhere else (the build tree, against the system's Qt) Qt
// keeps its usual behaviour. Call before the application object is made.
void isolateGameFolderQt();

} // namespace bh
