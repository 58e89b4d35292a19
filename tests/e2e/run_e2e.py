#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Runs one group of end-to-end scenarios against a built brackenholt-config.

    run_e2e.py --exe build/brackenholt-config --group colours [--only NAME] [--keep DIR]

Each scenario gets a display of its own. Exit status 0 when all pass, 1 when any fails, 77
(skipped) when the X tools are not installed. ctest sets the environment it needs (harness.py).
"""

import argparse
import os
import sys

from harness import run_cases
from scenario import run_scenario
from scenarios import GROUPS, SCREENS


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--group", required=True, choices=sorted(GROUPS))
    parser.add_argument("--only", help="run just the scenario of this name")
    parser.add_argument("--keep", help="folder for screenshots of failed checks")
    args = parser.parse_args()
    if not os.access(args.exe, os.X_OK):
        print(f"no executable at {args.exe}")
        return 1
    scenarios = [s for s in GROUPS[args.group] if args.only in (None, s.name)]
    if not scenarios:
        print(f"no scenario {args.only!r} in group {args.group}")
        return 1
    return run_cases(scenarios,
                     lambda session, scenario, artifacts:
                     run_scenario(session, args.exe, scenario, artifacts),
                     screen=SCREENS.get(args.group, "1024x768x24"), keep=args.keep)


if __name__ == "__main__":
    sys.exit(main())
