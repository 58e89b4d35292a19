#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Saves that cannot complete, and two copies of the program pressing OK at once.

    save_faults.py --exe build/brackenholt-config --fail-rename build/tests/libbh_fail_rename.so
                   [--only NAME]

The real program runs in a private Xvfb display, driven through harness.py.
After a failed save a player must see the error box, the program must end with status 1 once
it is dismissed, and the old bh.cfg must be as it was with no temporary file left beside it.
When two copies both press OK, bh.cfg afterwards is exactly one copy's output.

Exit status 0 when all pass, 1 when any fails, 77 (skipped) when the X tools are missing.
"""

import argparse
import errno
import os
import shutil
import subprocess
import sys
import tempfile

from harness import (LAYOUT, AppRun, DriverError, Program, Skipped, centre, cfg, near_left,
                     poll, run_cases)


FULL_SCREEN = near_left(LAYOUT["chkFullScreen"])
KEEP_BODIES = near_left(LAYOUT["chkKeepBodies"])
OK = centre(LAYOUT["cmdOK"])


OLD = cfg(options=(0, 0, 1, 0, 0), depth=24)
# What a copy writes after its one click: full screen on, or bodies kept.
WITH_FULL_SCREEN = cfg(options=(1, 0, 1, 0, 0), depth=24)
WITH_KEEP_BODIES = cfg(options=(0, 0, 1, 0, 0), depth=24, keep=1)


def run(argv):
    done = subprocess.run(argv, capture_output=True)
    if done.returncode != 0:
        raise DriverError(f"{' '.join(argv)}: {done.stderr.decode(errors='replace').strip()}")


def can_mount():
    if os.geteuid() != 0 or shutil.which("mount") is None:
        return False
    probe = tempfile.mkdtemp(prefix="bh-mount-probe-")
    try:
        ok = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", probe],
                            capture_output=True).returncode == 0
        if ok:
            subprocess.run(["umount", probe], capture_output=True)
        return ok
    finally:
        os.rmdir(probe)


def press_ok_and_dismiss_error(app):
    app.click(*OK)
    app.dismiss_error_box(app.wait_for_error_box())
    status = app.wait_for_exit()
    if status != 1:
        raise DriverError(f"exit status {status} after a failed save, expected 1")


def open_window(app, extra_env=None):
    app.extra_env.update(extra_env or {})
    app.start()
    app.wait_for_main_window()
    app.click(*FULL_SCREEN)


# --- The faults -------------------------------------------------------------------------------


def folder_read_only(session, exe, args):
    """The folder becomes unwritable while the window is open. Root writes through folder
    permissions, so for root the folder is remounted read-only instead."""
    app = AppRun(session, exe, OLD)
    mounted = False
    try:
        open_window(app)
        if os.geteuid() == 0:
            if not args.mount:
                raise Skipped("root, and mounting is not permitted")
            run(["mount", "--bind", app.folder, app.folder])
            mounted = True
            run(["mount", "-o", "remount,bind,ro", app.folder])
        else:
            os.chmod(app.folder, 0o555)
        press_ok_and_dismiss_error(app)
        app.check_folder(OLD)
    finally:
        app.stop()
        if mounted:
            subprocess.run(["umount", app.folder], capture_output=True)
        os.chmod(app.folder, 0o755)


def disk_full(session, exe, args):
    """The program's folder is on a small file system that fills up while the window is open."""
    if not args.mount:
        raise Skipped("mounting a small tmpfs is not permitted")
    app = AppRun(session, exe, OLD)
    staged = app.folder + ".staged"
    mounted = False
    try:
        os.rename(app.folder, staged)
        os.mkdir(app.folder)
        size = os.path.getsize(os.path.join(staged, os.path.basename(app.exe))) + 256 * 1024
        run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", app.folder])
        mounted = True
        for name in os.listdir(staged):
            shutil.copy2(os.path.join(staged, name), os.path.join(app.folder, name))
        open_window(app)
        # Fill every last block: the save then has no room even for its temporary file's data.
        with open(os.path.join(app.folder, "filler"), "wb", buffering=0) as filler:
            try:
                while True:
                    filler.write(b"\0" * 4096)
            except OSError as error:
                if error.errno != errno.ENOSPC:
                    raise
        press_ok_and_dismiss_error(app)
        app.check_folder(OLD, extra=["filler"])
    finally:
        app.stop()
        if mounted:
            subprocess.run(["umount", app.folder], capture_output=True)


def commit_fails(session, exe, args):
    """Everything works up to the last step of the save, where putting the new file in place
    of the old one fails (injected)."""
    app = AppRun(session, exe, OLD)
    try:
        open_window(app, {"LD_PRELOAD": args.fail_rename})
        press_ok_and_dismiss_error(app)
        app.check_folder(OLD)
    finally:
        app.stop()


def two_copies_press_ok(session, exe, args):
    """Two copies on the same bh.cfg, each with its own edit, press OK within a moment of each
    other. The file afterwards is one of the two outputs, whole."""
    first = AppRun(session, exe, OLD)
    second = Program(session, first.command, first.cwd)  # the same program in the same folder
    try:
        first.start()
        first.wait_for_main_window()
        session.xdotool("windowmove", "--sync", first.window["id"], 20, 40)
        first.wait_for_main_window()
        second.start()

        def other_window():
            found = [w for w in second.main_windows() if w["id"] != first.window["id"]]
            return found[0] if found else None

        window = poll("the second copy's window", other_window)
        session.xdotool("windowmove", "--sync", window["id"], 720, 40)
        second.window = poll("the second window in place",
                             lambda: next((w for w in second.main_windows()
                                           if w["id"] == window["id"] and w["x"] >= 700), None))
        first.wait_for_main_window()  # its place again, now that both stand apart
        if first.window["id"] == second.window["id"]:
            raise DriverError("both copies report the same window")
        first.click(*FULL_SCREEN)
        second.click(*KEEP_BODIES)
        # Both OKs in one xdotool call: the two saves start a few milliseconds apart.
        x1, y1 = first.to_screen(*OK)
        x2, y2 = second.to_screen(*OK)
        session.xdotool("mousemove", x1, y1, "click", 1, "mousemove", x2, y2, "click", 1)
        for app in (first, second):
            status = app.wait_for_exit()
            if status != 0:
                raise DriverError(f"a copy ended with status {status}")
        left = sorted(os.listdir(first.folder))
        if left != sorted([os.path.basename(first.exe), "bh.cfg"]):
            raise DriverError(f"the folder holds {left}")
        with open(os.path.join(first.folder, "bh.cfg"), "rb") as f:
            content = f.read()
        if content not in (WITH_FULL_SCREEN, WITH_KEEP_BODIES):
            raise DriverError(f"bh.cfg is neither copy's output: {content!r}")
    finally:
        first.stop()
        second.stop()


CASES = [folder_read_only, disk_full, commit_fails, two_copies_press_ok]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--fail-rename", required=True)
    parser.add_argument("--only")
    args = parser.parse_args()
    args.exe = os.path.abspath(args.exe)
    args.fail_rename = os.path.abspath(args.fail_rename)
    args.mount = can_mount()
    cases = [case for case in CASES if args.only in (None, case.__name__)]
    return run_cases(cases, lambda session, case, _: case(session, args.exe, args),
                     screen="1440x600x24")


if __name__ == "__main__":
    sys.exit(main())
