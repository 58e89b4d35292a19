#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Saves that cannot complete, and two copies of the program pressing OK at once.

    save_faults.py --exe build/brackenholt-config --fail-rename build/tests/libbh_fail_rename.so
                   [--only NAME]
    save_faults.py --exe unpacked/brackenholt-config.exe --launcher wine-run
                   --helper file_helper.exe [--only NAME]

The real program runs in a private Xvfb display, driven through harness.py.
After a failed save a player must see the error box, the program must end with status 1 once
it is dismissed, and the old bh.cfg must be as it was with no temporary file left beside it.
When two copies both press OK, bh.cfg afterwards is exactly one copy's output.
With --launcher the Windows build plays in a copy of its whole folder under Wine, where
another program (file_helper) holds bh.cfg open during the save, or has hidden it.

Exit status 0 when all pass, 1 when any fails, 77 (skipped) when the X tools are missing.
"""

import argparse
import errno
import os
import select
import shutil
import subprocess
import sys
import tempfile

from harness import (LAYOUT, AppRun, DriverError, Program, Skipped, centre, cfg,
                     end_process_group, near_left, poll, run_cases)


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


# --- Windows, under Wine: bh.cfg open in another program, or hidden --------------------------


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def helper(session, args, *command, **popen):
    """file_helper in the Wine the program under test runs in."""
    return subprocess.Popen([args.launcher, "--join", args.helper, *command], env=session.env,
                            start_new_session=True, **popen)


class Holder:
    """file_helper keeping bh.cfg open, shared with no one: until let_go(), or let_go_ms after
    the save begins (a name changes in the folder)."""

    def __init__(self, session, args, path, let_go_ms=None):
        extra = [str(let_go_ms)] if let_go_ms is not None else []
        self.process = helper(session, args, "hold", windows_path(path), *extra,
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        ready, _, _ = select.select([self.process.stdout], [], [], 30)
        line = self.process.stdout.readline().strip() if ready else b""
        if line != b"held":
            self.stop()
            raise DriverError(f"file_helper did not hold bh.cfg: {line!r}")

    def wait(self):
        self.process.stdin.close()
        status = self.process.wait(timeout=20)
        if status != 0:
            raise DriverError(f"file_helper ended with status {status}")

    def stop(self):
        end_process_group(self.process)


def press_ok_and_save(app):
    app.click(*OK)
    status = app.wait_for_exit()
    if status != 0:
        raise DriverError(f"exit status {status}, expected 0")


def wine_app(session, exe, args):
    return AppRun(session, exe, OLD, launcher=[args.launcher], whole_folder=True)


def box_text(session, args, box):
    """The error box's message, as Ctrl+C copies it on Windows."""
    session.activate(box)
    session.key("ctrl+c")

    def copied():
        done = helper(session, args, "clipboard", stdout=subprocess.PIPE)
        out, _ = done.communicate(timeout=20)
        lines = out.decode("utf-8", errors="replace").replace("\r", "").split("\n")
        # Title, message and buttons, each between two lines of dashes.
        return lines[3] if len(lines) > 3 and lines[1] == "Brackenholt Config" else None

    return poll("the box's text on the clipboard", copied, timeout=20)


def held_briefly_saves(session, exe, args):
    """Another program has bh.cfg open when OK is pressed and lets go 300 ms after the save
    begins, as a virus scanner would: the save waits for it and succeeds."""
    app = wine_app(session, exe, args)
    holder = None
    try:
        open_window(app)
        holder = Holder(session, args, app.config_path, let_go_ms=300)
        press_ok_and_save(app)
        holder.wait()
        app.check_folder(WITH_FULL_SCREEN)
    finally:
        app.stop()
        if holder:
            holder.stop()


IN_USE = ("another program is using it; close that program (for example the game) and try "
          "again. Nothing was changed on disk.")


def held_throughout_fails_in_use(session, exe, args):
    """Another program keeps bh.cfg open through the whole save: the box says so, the program
    ends with status 1, and the file is as it was, with nothing beside it."""
    app = wine_app(session, exe, args)
    holder = None
    try:
        open_window(app)
        holder = Holder(session, args, app.config_path)
        app.click(*OK)
        box = app.wait_for_error_box()
        text = box_text(session, args, box)
        print(f"    the box says: {text}")
        wanted = f"Cannot save {windows_path(app.config_path)}: {IN_USE}"
        if text != wanted:
            raise DriverError(f"the box says {text!r}, expected {wanted!r}")
        app.dismiss_error_box(box)
        status = app.wait_for_exit()
        if status != 1:
            raise DriverError(f"exit status {status} after a failed save, expected 1")
        app.check_folder(OLD)
        holder.wait()
    finally:
        app.stop()
        if holder:
            holder.stop()


def hidden_stays_hidden(session, exe, args):
    """A player hid bh.cfg: after a save it is still hidden."""
    app = wine_app(session, exe, args)
    try:
        # Neither helper runs beside the program: each starts a Wine of its own.
        run([args.launcher, args.helper, "hide", windows_path(app.config_path)])
        open_window(app)
        press_ok_and_save(app)
        app.check_folder(WITH_FULL_SCREEN)
        run([args.launcher, args.helper, "hidden", windows_path(app.config_path)])
    finally:
        app.stop()


CASES = [folder_read_only, disk_full, commit_fails, two_copies_press_ok]
WINE_CASES = [held_briefly_saves, held_throughout_fails_in_use, hidden_stays_hidden]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--fail-rename")
    parser.add_argument("--launcher")
    parser.add_argument("--helper")
    parser.add_argument("--only")
    args = parser.parse_args()
    if not (args.fail_rename or (args.launcher and args.helper)):
        parser.error("--fail-rename, or --launcher and --helper, are needed")
    args.exe = os.path.abspath(args.exe)
    args.mount = can_mount()
    if args.launcher:
        args.helper = os.path.abspath(args.helper)
    else:
        args.fail_rename = os.path.abspath(args.fail_rename)
    cases = [case for case in (WINE_CASES if args.launcher else CASES)
             if args.only in (None, case.__name__)]
    return run_cases(cases, lambda session, case, _: case(session, args.exe, args),
                     screen="1440x600x24")


if __name__ == "__main__":
    sys.exit(main())
