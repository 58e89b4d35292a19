// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

// Ends the event loop once the window has painted its first frame. Both start-up benchmarks
// stop through this one function, so they are compared over exactly the same stretch of work.
void quitAfterFirstFrame(QWidget* window);

extern "C" void bhFirstFrameShown();
