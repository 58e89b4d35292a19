#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Runs one group of end-to-end scenarios against a built brackenholt-config.

    run_e2e.py --exe build/brackenholt-config --group colours [--only NAME] [--keep DIR]

Each scenario gets a display of its own, so one that leaves the pointer pressed or a window
behind cannot spoil the next. Exit status 0 when all pass, 1 when any fails, 77 (skipped) when
the X tools are not installed.
"""

import argparse
import os
import shutil
import sys
import tempfile
import time
import traceback

sys.dont_write_bytecode = True  # ctest runs this from the source tree: leave it clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from harness import X_TOOLS, XSession  # noqa: E402
from scenario import run_scenario  # noqa: E402
from scenarios import GROUPS, SCREENS  # noqa: E402

SKIPPED = 77


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--group", required=True, choices=sorted(GROUPS))
    parser.add_argument("--only", help="run just the scenario of this name")
    parser.add_argument("--keep", help="folder for screenshots of failed checks")
    args = parser.parse_args()

    missing = [tool for tool in X_TOOLS if shutil.which(tool) is None]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed (scripts/install-deps)")
        return SKIPPED
    if not os.access(args.exe, os.X_OK):
        print(f"no executable at {args.exe}")
        return 1

    scenarios = [s for s in GROUPS[args.group] if args.only in (None, s.name)]
    if not scenarios:
        print(f"no scenario {args.only!r} in group {args.group}")
        return 1
    artifacts = args.keep or tempfile.gettempdir()
    os.makedirs(artifacts, exist_ok=True)
    failed = []
    for scenario in scenarios:
        started = time.monotonic()
        workdir = tempfile.mkdtemp(prefix=f"bh-e2e-{scenario.name}-")
        try:
            with XSession(workdir, screen=SCREENS.get(args.group, "1024x768x24")) as session:
                run_scenario(session, args.exe, scenario, artifacts)
            verdict = "ok"
        except AssertionError as error:
            verdict = f"FAILED\n    {error}".replace("\n", "\n    ")
            failed.append(scenario.name)
        except Exception:  # a fault in the driver itself: show where
            verdict = "ERROR\n" + traceback.format_exc()
            failed.append(scenario.name)
        finally:
            shutil.rmtree(workdir, ignore_errors=True)
        print(f"{scenario.name}: {verdict} ({time.monotonic() - started:.1f} s)", flush=True)
    if failed:
        print(f"{len(failed)} of {len(scenarios)} failed: {', '.join(failed)}")
        return 1
    print(f"all {len(scenarios)} passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
