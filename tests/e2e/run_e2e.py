#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Runs one group of end-to-end scenarios against a built brackenholt-config.

    run_e2e.py --exe build/brackenholt-config --group colours [--only NAME] [--keep DIR]
    run_e2e.py --install build --cmake cmake --session sway --group wayland
    run_e2e.py --exe unpacked/brackenholt-config.exe --whole-folder --launcher wine-run
               --group wine

Each scenario gets a display of its own. --session picks the desktop: openbox on X11, or sway,
mutter or weston on Wayland (the last two with Xwayland). --install lays out a game folder from
a build tree first (cmake --install) and plays each scenario in a copy of the whole folder;
--whole-folder does that with the folder --exe is in. --launcher starts the program (the
Windows build's wine-run). Exit status 0 when all pass, 1 when any fails, 77 (skipped) when the
desktop's tools are not installed or it cannot be started. ctest sets the environment it needs
(harness.py).
"""

import argparse
import os
import subprocess
import sys
import tempfile

from harness import MutterSession, SwaySession, WestonSession, XSession, run_cases
from scenario import run_scenario
from scenarios import GROUPS, SCREENS

SESSIONS = {"openbox": XSession, "sway": SwaySession, "mutter": MutterSession,
            "weston": WestonSession}


def main():
    parser = argparse.ArgumentParser()
    program = parser.add_mutually_exclusive_group(required=True)
    program.add_argument("--exe")
    program.add_argument("--install", metavar="BUILD_DIR")
    parser.add_argument("--cmake", default="cmake")
    parser.add_argument("--whole-folder", action="store_true")
    parser.add_argument("--launcher")
    parser.add_argument("--session", choices=sorted(SESSIONS), default="openbox")
    parser.add_argument("--group", required=True, choices=sorted(GROUPS))
    parser.add_argument("--only", help="run just the scenario of this name")
    parser.add_argument("--keep", help="folder for screenshots of failed checks")
    args = parser.parse_args()
    scenarios = [s for s in GROUPS[args.group] if args.only in (None, s.name)]
    if not scenarios:
        print(f"no scenario {args.only!r} in group {args.group}")
        return 1
    with tempfile.TemporaryDirectory(prefix="bh-e2e-installed-") as installed:
        exe = args.exe
        if args.install:
            done = subprocess.run([args.cmake, "--install", args.install, "--prefix", installed],
                                  capture_output=True, text=True)
            if done.returncode != 0:
                print(f"cmake --install failed:\n{done.stdout}{done.stderr}")
                return 1
            exe = os.path.join(installed, "brackenholt-config")
        if not os.access(exe, os.X_OK):
            print(f"no executable at {exe}")
            return 1
        return run_cases(scenarios,
                         lambda session, scenario, artifacts:
                         run_scenario(session, exe, scenario, artifacts,
                                      whole_folder=bool(args.install) or args.whole_folder,
                                      launcher=[args.launcher] if args.launcher else []),
                         screen=SCREENS.get(args.group, "1024x768x24"), keep=args.keep,
                         session_type=SESSIONS[args.session])


if __name__ == "__main__":
    sys.exit(main())
