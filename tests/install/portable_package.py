#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""The portable .tar.xz, as a player uses it: unpack it anywhere, register the launcher, start
the program from the entry's Exec, press OK, and find the settings read from and written to
the bh.cfg in the unpacked folder."""

import os
import shutil
import subprocess
import tarfile

from gamefolder import (PROGRAM, Failures, check_launcher_files, check_runpaths, exec_arguments,
                        is_executable, parse_options, read_desktop_entry, run, temp_dir, tool)
from harness import LAYOUT, X_TOOLS, DriverError, Program, XSession, centre, cfg

opts = parse_options("cpack")
app_id = opts.app_id

# A safety net only: a healthy run takes a second or two. It bounds how long a broken build can
# hang the suite, and no result depends on it.
EXIT_LIMIT = 60

# bh.cfg as another tool might leave it (LF line ends, settings unlike the default) and the
# bytes the program writes for the same settings: CRLF lines, same values.
SETTINGS_OUT = cfg(options=(0, 1, 1, 0, 1), depth=24)
SETTINGS_IN = SETTINGS_OUT.replace(b"\r\n", b"\n")

f = Failures()
root, unpack_to = temp_dir("package")

try:
    # Kept in the build folder: the test in a Qt-less root unpacks the same archive.
    packages = opts.build / "test-package"
    shutil.rmtree(packages, ignore_errors=True)
    result = run([opts.cpack, "--config", opts.build / "CPackConfig.cmake", "-G", "TXZ",
                  "-B", packages])
    if not f.check(result.returncode == 0, "cpack failed"):
        f.finish()
    archives = list(packages.glob("*.tar.xz"))
    if not f.check(len(archives) == 1, f"cpack made {archives}, not one .tar.xz"):
        f.finish()

    with tarfile.open(archives[0]) as archive:
        names = archive.getnames()
    tops = {name.split("/", 1)[0] for name in names}
    f.check(len(tops) == 1, f"the archive unpacks into {sorted(tops)}, not one game folder")
    top = next(iter(tops))

    unpack_to.mkdir()
    result = run(["tar", "-xf", archives[0], "-C", unpack_to])
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
    # Nor may anything else: the libraries and plugins look only inside the folder.
    check_runpaths(f, game, "unpacked")
    machine = [str(path).encode() for path in (opts.source.resolve(), opts.build.resolve())]
    for path in sorted(game.rglob("*")):
        if path.is_file():
            data = path.read_bytes()
            f.check(not any(name in data for name in machine),
                    f"{path.relative_to(game)} in the package names a folder of the build machine")
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
    for name in X_TOOLS:
        tool(name)
    # The session's home is the one register-launcher has just written to.
    with XSession(str(root)) as session:
        program = Program(session, command, elsewhere)
        status = None
        try:
            program.start()
            program.wait_for_main_window()
            # A click that lands while the window is still being mapped can be lost; clicking
            # again is harmless, as OK ends the program.
            for _ in range(EXIT_LIMIT // 5):
                program.click(*centre(LAYOUT["cmdOK"]))
                try:
                    status = program.process.wait(timeout=5)
                    break
                except subprocess.TimeoutExpired:
                    pass
        except DriverError as error:
            f.check(False, str(error))
        finally:
            print(program.stderr_text())
            program.stop()
    f.check(status == 0, f"after OK the program ended with {status}, not 0")
    f.check((game / "bh.cfg").read_bytes() == SETTINGS_OUT,
            "the unpacked folder's bh.cfg does not hold the settings it was started with, "
            "as the program writes them")
    f.check(not (elsewhere / "bh.cfg").exists(), "the program wrote bh.cfg where it was started")
    leftovers = sorted(p.name for p in game.iterdir()
                       if p.name not in {PROGRAM, "bh.cfg", "register-launcher",
                                         "unregister-launcher", "share", "qt.conf", "lib",
                                         "plugins", "licences"})
    f.check(not leftovers, f"saving left {leftovers} in the game folder")
finally:
    shutil.rmtree(root, ignore_errors=True)

f.finish()
