# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Saves that cannot complete, and two copies of the program pressing OK at once, on the real
program in a private Xvfb (harness.py):

    pytest tests/e2e/test_save_faults.py --exe build/brackenholt-config
           --fail-rename build/tests/libbh_fail_rename.so -k "not wine"
    pytest tests/e2e/test_save_faults.py --exe unpacked/brackenholt-config.exe --session wine
           --launcher build-windows/wine-run --helper file_helper.exe -k wine

After a failed save the player sees the error box and, once it is dismissed, the window with
every edit: closed, the program ends with status 1 and the old bh.cfg is as it was with nothing
left beside it; with the cause mended, OK saves. Under Wine (test_wine_*)
the Windows build plays in a copy of its folder, where file_helper holds bh.cfg open during the
save, or the player has hidden it (Wine's attrib).
"""

import contextlib
import errno
import functools
import os
import shutil
import signal
import subprocess
import tempfile

import pytest

from harness import LAYOUT, AppRun, Program, centre, cfg, near_left, poll, run

FULL_SCREEN = near_left(LAYOUT["chkFullScreen"])
OLD = cfg(options=(0, 0, 1, 0, 0), depth=24)
# What a copy writes after its one click: full screen on, or bodies kept.
WITH_FULL_SCREEN = cfg(options=(1, 0, 1, 0, 0), depth=24)
WITH_KEEP_BODIES = cfg(options=(0, 0, 1, 0, 0), depth=24, keep=1)


@pytest.fixture
def screen():
    return "1440x600x24"  # two windows side by side


@pytest.fixture
def app(session, option):
    """The program in a folder of its own beside OLD (the whole folder under Wine), not started."""
    return AppRun(session, os.path.abspath(option("exe")), OLD,
                  whole_folder=bool(option("launcher")))


@pytest.fixture
def undo(session):
    """Registers what puts the machine back, run once the session's programs have ended."""
    with contextlib.ExitStack() as stack:
        yield stack.callback
        session.close()


@functools.cache
def can_mount():
    if os.geteuid() != 0 or shutil.which("mount") is None:
        return False
    with tempfile.TemporaryDirectory(prefix="bh-mount-probe-") as probe:
        mounted = run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", probe], check=False)
        return mounted.returncode == 0 and run(["umount", probe]).returncode == 0


def open_window(app, **env):
    app.extra_env.update(env)
    app.start()
    app.wait_for_main_window()
    app.click(*FULL_SCREEN)


def test_folder_read_only(app, undo):
    """The folder becomes unwritable while the window is open. Root writes through folder
    permissions, so for root the folder is a read-only mount instead, from the start: the
    program keeps to the folder it started in, and a mount made over it later is not that."""
    if os.geteuid() != 0:
        open_window(app)
        os.chmod(app.folder, 0o555)
        undo(os.chmod, app.folder, 0o755)
    elif not can_mount():
        pytest.skip("root, and mounting is not permitted")
    else:
        run(["mount", "--bind", app.folder, app.folder])
        undo(run, ["umount", app.folder])
        run(["mount", "-o", "remount,bind,ro", app.folder])
        open_window(app)
        # The player makes the folder writable again and presses OK once more: it saves.
        app.press_ok(status=1, mend=lambda: run(["mount", "-o", "remount,bind,rw", app.folder]))
        app.check_folder(WITH_FULL_SCREEN)
        return
    app.press_ok(status=1)
    app.check_folder(OLD)


def test_disk_full(app, undo):
    """The program's folder is on a small file system that fills up while the window is open."""
    if not can_mount():
        pytest.skip("mounting a small tmpfs is not permitted")
    staged = app.folder + ".staged"
    os.rename(app.folder, staged)
    os.mkdir(app.folder)
    size = os.path.getsize(os.path.join(staged, os.path.basename(app.exe))) + 256 * 1024
    run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", app.folder])
    undo(run, ["umount", app.folder])
    for name in os.listdir(staged):
        shutil.copy2(os.path.join(staged, name), os.path.join(app.folder, name))
    open_window(app)
    # Fill every last block: the save then has no room even for its temporary file's data.
    with open(os.path.join(app.folder, "filler"), "wb", buffering=0) as filler:
        with pytest.raises(OSError) as full:
            while True:
                filler.write(b"\0" * 4096)
    assert full.value.errno == errno.ENOSPC
    app.press_ok(status=1)
    app.check_folder(OLD, extra=["filler"])


def test_commit_fails(app, option):
    """Everything works up to the last step of the save, where putting the new file in place
    of the old one fails (injected)."""
    open_window(app, LD_PRELOAD=os.path.abspath(option("fail_rename")))
    app.press_ok(status=1)
    app.check_folder(OLD)


@pytest.mark.parametrize("number", [signal.SIGTERM, signal.SIGHUP, signal.SIGINT, signal.SIGQUIT,
                                    signal.SIGXFSZ])
def test_signal_during_save(app, option, number):
    """A kill, a log-out, Ctrl+C, Ctrl+\\ or a limit's signal arrives between making the new file
    and putting it in place: the save completes, then the signal ends the program, and nothing
    is left beside bh.cfg."""
    open_window(app, LD_PRELOAD=os.path.abspath(option("fail_rename")),
                BH_RENAME_SIGNAL=str(int(number)))
    app.click(*centre(LAYOUT["cmdOK"]))
    app.wait_for_exit(-number)
    app.check_folder(WITH_FULL_SCREEN)


def test_two_copies_press_ok(session, app):
    """Two copies on the same bh.cfg, each with its own edit, press OK within a moment of each
    other. The file afterwards is one of the two outputs, whole."""
    second = Program(session, [app.exe], app.cwd)  # the same program in the same folder
    app.start()
    app.wait_for_main_window()
    session.xdotool("windowmove", "--sync", app.window["id"], 20, 40)
    app.wait_for_main_window()
    second.start()
    window = poll("the second copy's window", lambda: next(
        (w for w in second.main_windows() if w["id"] != app.window["id"]), None))
    session.xdotool("windowmove", "--sync", window["id"], 720, 40)
    second.window = poll("the second window in place", lambda: next(
        (w for w in second.main_windows() if w["id"] == window["id"] and w["x"] >= 700), None))
    app.wait_for_main_window()  # its place again, now that both stand apart
    app.click(*FULL_SCREEN)
    second.click(*near_left(LAYOUT["chkKeepBodies"]))
    # Both OKs in one xdotool call: the two saves start a few milliseconds apart.
    ok = centre(LAYOUT["cmdOK"])
    session.xdotool("mousemove", *app.to_screen(*ok), "click", 1,
                    "mousemove", *second.to_screen(*ok), "click", 1)
    app.wait_for_exit()
    second.wait_for_exit()
    assert sorted(os.listdir(app.folder)) == sorted([os.path.basename(app.exe), "bh.cfg"])
    with open(app.config_path, "rb") as f:
        assert f.read() in (WITH_FULL_SCREEN, WITH_KEEP_BODIES)


# --- Windows, under Wine: bh.cfg open in another program, or hidden --------------------------


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def hold(session, option, path, let_go_ms=()):
    """file_helper keeping bh.cfg open, shared with no one: until its input ends, or let_go_ms
    after the save begins (a name changes in the folder). It runs in the program's Wine."""
    holder = session.spawn([option("launcher"), "--join", os.path.abspath(option("helper")),
                            "hold", windows_path(path), *map(str, let_go_ms)],
                           stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    assert holder.stdout.readline().strip() == b"held"
    return holder


def let_go(holder):
    holder.stdin.close()
    assert holder.wait(timeout=20) == 0


def test_wine_held_briefly_saves(session, app, option):
    """Another program has bh.cfg open when OK is pressed and lets go 300 ms after the save
    begins, as a virus scanner would: the save waits for it and succeeds."""
    open_window(app)
    holder = hold(session, option, app.config_path, [300])
    app.press_ok()
    let_go(holder)
    app.check_folder(WITH_FULL_SCREEN)


IN_USE = ("another program is using it. Nothing was changed on disk, and your changes are still "
          "here: close that program (for example the game), then press OK again.")


def test_wine_held_throughout_fails_in_use(session, app, option):
    """Another program keeps bh.cfg open through the whole save: the box says so, the window
    closed after it ends the program with status 1, and the file is as it was, with nothing
    beside it."""
    open_window(app)
    holder = hold(session, option, app.config_path)

    def says(box):
        # Ctrl+C copies a box's title, message and buttons, each between lines of dashes.
        session.activate(box)
        session.key("ctrl+c")
        copied = poll("the box's text on the clipboard", lambda: [
            line for line in session.run(["xclip", "-o", "-selection", "clipboard"], check=False)
            .replace("\r", "").split("\n") if line and not line.startswith("---")][1:2])
        assert copied == [f"Cannot save {windows_path(app.config_path)}: {IN_USE}"]

    app.press_ok(status=1, error_box=says)
    app.check_folder(OLD)
    let_go(holder)


def test_wine_hidden_stays_hidden(app, option):
    """A player hid bh.cfg: after a save it is still hidden. (attrib runs in a Wine of its own,
    before the program starts and after it ends.)"""
    run([option("launcher"), "attrib", "+h", windows_path(app.config_path)])
    open_window(app)
    app.press_ok()
    app.check_folder(WITH_FULL_SCREEN)
    attributes = run([option("launcher"), "attrib", windows_path(app.config_path)]).stdout
    assert "H" in attributes.split(":")[0], attributes
