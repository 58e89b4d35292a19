// SPDX-FileCopyrightText: Brackenholt Config developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <functional>
#include <memory>

class frmMain;

// The program's one start-up, shared by main and the start-up benchmark so that the benchmark
// measures what a player runs.
namespace bh {

// Prepares Qt for the player's platform and game folder, then makes the application; null when
// Qt cannot be started safely (the reason is on standard error). The program takes no command
// line: of argv only the program's name is passed on, so arguments, Qt's own included, are
// ignored.
std::unique_ptr<QApplication> startApplication(int argc, char* argv[]);

// The window's whole life on bh.cfg beside the program: load, show, and the exit status, 1
// after a settings file that could not be read or saved (the player has been shown why), else
// 0. beforeShow runs on the loaded window just before it is shown.
int runSettingsWindow(const std::function<void(frmMain&)>& beforeShow = {});

} // namespace bh
