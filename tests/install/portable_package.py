#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""The portable .tar.gz, as a player uses it: unpack it anywhere, register the launcher, start
the program from the entry's Exec, press OK, and find the settings read from and written to
the bh.cfg in the unpacked folder."""

import os
import select
import shutil
import subprocess
import tarfile
import time
from pathlib import Path

from gamefolder import (PROGRAM, Failures, check_launcher_files, exec_arguments, is_executable,
                        parse_options, read_desktop_entry, run, temp_dir, tool)

opts = parse_options("cpack")
app_id = opts.app_id

# Safety nets only: a healthy run takes a second or two. They bound how long a broken build
# can hang the suite, and no result depends on them.
STARTUP_LIMIT = 60
EXIT_LIMIT = 60

# bh.cfg as another tool might leave it (LF line ends, settings unlike the default) and the
# bytes the program writes for the same settings: CRLF lines, same values.
options = ["0", "1", "1", "0", "1", "24", "0"]
colours = [str((37 * i + 11 * c + 5) % 256) for i in range(14) for c in range(3)]
SETTINGS_IN = "\n".join(options + colours).encode() + b"\n"
SETTINGS_OUT = b"".join(v.encode() + b"\r\n" for v in options + colours)

f = Failures()
root, unpack_to = temp_dir("package")
programs = []
servers = []


def wait_for(predicate, limit, interval=0.1):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return None


def start_display():
    """A private X server: the program shows a real window and the test presses OK in it.
    The number is one with neither a lock nor a socket: a server killed without its clean-up
    leaves a socket behind that a new server on that number cannot take over."""
    tool("xdotool")
    for number in range(140, 240):
        if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
            continue
        read_end, write_end = os.pipe()
        server = subprocess.Popen([tool("Xvfb"), f":{number}", "-displayfd", str(write_end),
                                   "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                  pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Read up to the line end: the server writes the number and the line end apart, and
        # dies if the pipe is closed between the two.
        answer = b""
        while b"\n" not in answer:
            ready, _, _ = select.select([read_end], [], [], STARTUP_LIMIT)
            chunk = os.read(read_end, 64) if ready else b""
            if not chunk:
                break
            answer += chunk
        os.close(read_end)
        answer = answer.decode().strip()
        if answer == str(number):
            servers.append(server)
            return f":{number}"
        # Another test took the number between the check and the start.
        stop(server)
    f.check(False, "Xvfb did not start")
    f.finish()


def stop(process):
    """Asks first, so an X server removes its lock and socket."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def main_window(display, pid):
    """The program's 640 x 480 window, once shown; its error box has the same title but
    another size, and must not count."""
    env = dict(os.environ, DISPLAY=display)
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid),
                            "--name", "^Brackenholt Config$"],
                           capture_output=True, text=True, env=env)
    for window in found.stdout.split():
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                                  capture_output=True, text=True, env=env).stdout
        if "WIDTH=640" in geometry.split() and "HEIGHT=480" in geometry.split():
            return window
    return None


try:
    packages = root / "packages"
    result = run([opts.cpack, "--config", opts.build / "CPackConfig.cmake", "-G", "TGZ",
                  "-B", packages])
    if not f.check(result.returncode == 0, "cpack failed"):
        f.finish()
    archives = list(packages.glob("*.tar.gz"))
    if not f.check(len(archives) == 1, f"cpack made {archives}, not one .tar.gz"):
        f.finish()

    with tarfile.open(archives[0]) as archive:
        names = archive.getnames()
    tops = {name.split("/", 1)[0] for name in names}
    f.check(len(tops) == 1, f"the archive unpacks into {sorted(tops)}, not one game folder")
    top = next(iter(tops))

    unpack_to.mkdir()
    result = run(["tar", "-xzf", archives[0], "-C", unpack_to])
    if not f.check(result.returncode == 0, "tar could not unpack the package"):
        f.finish()
    game = unpack_to / top
    for name in (PROGRAM, "register-launcher", "unregister-launcher"):
        f.check(is_executable(game / name), f"{name} is missing or not executable once unpacked")
    f.check((game / "bh.cfg").is_file(), "the package has no default bh.cfg")
    f.check(os.access(game, os.W_OK), "the unpacked folder is not writable: OK could not save")

    # The packed entry cannot know where it will be unpacked; it must not name the build.
    packed_entry = game / "share" / "applications" / f"{app_id}.desktop"
    for text_file in (packed_entry, game / "share" / "metainfo" / f"{app_id}.metainfo.xml"):
        text = text_file.read_text(encoding="utf-8") if text_file.is_file() else ""
        f.check(text != "", f"{text_file.name} is not in the package")
        f.check(str(opts.build.resolve()) not in text and str(packages) not in text,
                f"{text_file.name} in the package names a folder of the build machine")
    if packed_entry.is_file():
        f.check(exec_arguments(read_desktop_entry(packed_entry).get("Exec", "")) == [PROGRAM],
                "the packed entry's Exec is not the bare program name")

    # The player registers the unpacked folder, then starts the program from the menu entry.
    home = root / "home"
    env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "QT_"))}
    env["HOME"] = str(home)
    result = run([game / "register-launcher"], cwd="/", env=env)
    f.check(result.returncode == 0, "register-launcher in the unpacked folder failed")
    share = home / ".local" / "share"
    check_launcher_files(f, share, app_id, game / PROGRAM, "unpacked, registered")
    entry = share / "applications" / f"{app_id}.desktop"
    if not entry.is_file():
        f.finish()
    command = exec_arguments(read_desktop_entry(entry)["Exec"])

    (game / "bh.cfg").write_bytes(SETTINGS_IN)
    # Started from elsewhere, as a menu does: the settings must still come from the game folder.
    elsewhere = root / "started from here"
    elsewhere.mkdir()
    display = start_display()
    env.update(DISPLAY=display, QT_QPA_PLATFORM="xcb")
    log_path = root / "program.log"
    with open(log_path, "w") as log:
        program = subprocess.Popen(command, cwd=elsewhere, env=env, stdout=log,
                                   stderr=subprocess.STDOUT)
    programs.append(program)

    def shown_or_ended():
        if program.poll() is not None:
            return "ended"
        return main_window(display, program.pid)

    window = wait_for(shown_or_ended, STARTUP_LIMIT)
    if not f.check(window not in (None, "ended"),
                   f"the window never showed (program {window or 'still running'})"):
        stop(program)
        print(log_path.read_text())
        f.finish()

    # OK stands at (456, 296), 105 x 25, in the window. A click that lands while the window is
    # still being mapped can be lost; clicking again is harmless, as OK ends the program.
    status = None
    deadline = time.monotonic() + EXIT_LIMIT
    while status is None and time.monotonic() < deadline:
        subprocess.run(["xdotool", "mousemove", "--window", window, "508", "308", "click", "1"],
                       env=env, capture_output=True)
        try:
            status = program.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pass
    print(log_path.read_text())
    f.check(status == 0, f"after OK the program ended with {status}, not 0")
    f.check((game / "bh.cfg").read_bytes() == SETTINGS_OUT,
            "the unpacked folder's bh.cfg does not hold the settings it was started with, "
            "as the program writes them")
    f.check(not (elsewhere / "bh.cfg").exists(), "the program wrote bh.cfg where it was started")
    leftovers = sorted(p.name for p in game.iterdir()
                       if p.name not in {PROGRAM, "bh.cfg", "register-launcher",
                                         "unregister-launcher", "share"})
    f.check(not leftovers, f"saving left {leftovers} in the game folder")
finally:
    for process in programs + servers:
        stop(process)
    shutil.rmtree(root, ignore_errors=True)

f.finish()
