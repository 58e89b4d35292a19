#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""`cmake --install` lays out a game folder (--windows: the Windows build's): the program beside a
default bh.cfg and a README.txt, the launcher files, and never a default over the player's own."""

import os
import re
import shutil
from pathlib import Path

from gamefolder import (PROGRAM, Failures, check_launcher_files, check_metainfo, check_rpaths,
                        is_executable, parse_options, read_desktop_entry, run, temp_dir)

opts = parse_options(flags=("windows",))
app_id = opts.app_id
program = PROGRAM + ".exe" if opts.windows else PROGRAM
default_settings = (opts.source / "resources" / "bh.cfg").read_bytes()

# Each row: path in the game folder, whether it must be executable, what is wrong without it.
LAYOUT = [
    (program, True, "the program is not at the top of the game folder, beside bh.cfg"),
    ("bh.cfg", False, "a fresh install has no settings and the program cannot start"),
    ("README.txt", False, "a player who unpacks the folder finds nothing that says what it is"),
] + ([("platforms/qwindows.dll", False, "no window")] if opts.windows else [
    ("register-launcher", True, "a player cannot add the program to the menu"),
    ("unregister-launcher", True, "a player cannot take the program out of the menu"),
    (f"share/applications/{app_id}.desktop", False, "no launcher entry"),
    (f"share/icons/hicolor/32x32/apps/{app_id}.png", False, "no menu icon"),
    (f"share/icons/hicolor/64x64/apps/{app_id}.png", False, "no sharp menu icon"),
    (f"share/metainfo/{app_id}.metainfo.xml", False, "software centres know nothing of it"),
    ("qt.conf", False, "Qt looks for its plugins on the player's system"),
    ("lib/libQt6Widgets.so.6", False, "the program needs Qt from the player's system"),
    ("lib/libicuuc.so.72", False, "the program needs the build machine's ICU"),
    ("plugins/platforms/libqxcb.so", False, "no window on an X11 desktop"),
    ("plugins/platforms/libqwayland-generic.so", False, "no window on a Wayland desktop"),
    ("plugins/wayland-shell-integration/libxdg-shell.so", False, "no window on Wayland"),
    ("licences/README.txt", False, "the bundled libraries' licences and sources go unnamed"),
    ("licences/libqt6core6/copyright", False, "Qt's licence text is missing"),
    ("share/brackenholt-config/needs", False, "register-launcher cannot tell a too old system"),
])

f = Failures()
root, _ = temp_dir("install")
# The characters an Exec key has to escape: blank, quote, dollar, backquote and percent. (CMake
# reads a backslash in a prefix as a separator; the launcher script test covers that one.)
prefix = root / 'Brackenholt "$HOME" `games` 100%'


def install(destination, destdir=None):
    env = dict(os.environ)
    env.pop("DESTDIR", None)
    if destdir is not None:
        env["DESTDIR"] = str(destdir)
    result = run([opts.cmake, "--install", opts.build, "--prefix", destination], env=env)
    return f.check(result.returncode == 0, f"cmake --install into {destination} failed")


try:
    if install(prefix):
        for relative, executable, fault in LAYOUT:
            path = prefix / relative
            f.check(path.is_file(), f"{relative} missing: {fault}")
            if executable:
                f.check(is_executable(path), f"{relative} is not executable: {fault}")
        f.check(not (prefix / "bin").exists(),
                "a bin/ folder would separate the program from its bh.cfg")
        readme = (prefix / "README.txt").read_bytes() if (prefix / "README.txt").is_file() else b""
        f.check(all(line.endswith(b"\r") == opts.windows for line in readme.split(b"\n")[:-1]),
                "README.txt is not in the platform's line ends")
        f.check(program.encode() in readme, "README.txt does not name the program to start")
        index = re.search(rb"licences[/\\]\w+\.txt", readme)
        f.check(index and (prefix / index[0].decode().replace("\\", "/")).is_file(),
                f"README.txt points at licence notes the folder lacks: {index}")
        settings = prefix / "bh.cfg"
        if settings.is_file():
            f.check(settings.read_bytes() == default_settings,
                    "the installed bh.cfg is not the shipped default")
            f.check(settings.stat().st_mode & 0o200, "the installed bh.cfg is read-only: OK fails")
        if not opts.windows:
            check_rpaths(f, prefix, "cmake --install")
            check_launcher_files(f, prefix / "share", app_id, prefix / PROGRAM, "cmake --install",
                                 glib=False)
            check_metainfo(f, prefix / "share", app_id, opts.version)

        # A reinstall or update over a game folder must keep what the player saved, whatever
        # stands where bh.cfg belongs.
        elsewhere = root / "settings kept elsewhere.cfg"
        elsewhere.write_bytes(b"player's\r\n")
        KEPT = [
            ("settings the player saved", lambda p: p.write_bytes(b"0\r\n1\r\n")),
            ("a link to settings kept elsewhere", lambda p: p.symlink_to(elsewhere)),
            ("a link whose target is gone", lambda p: p.symlink_to(root / "gone")),
        ]
        for name, make in KEPT:
            settings.unlink()
            make(settings)
            before = (settings.is_symlink(), os.readlink(settings) if settings.is_symlink()
                      else settings.read_bytes())
            if install(prefix):
                after = (settings.is_symlink(), os.readlink(settings) if settings.is_symlink()
                         else settings.read_bytes())
                f.check(before == after, f"a second install replaced {name}")
        f.check(elsewhere.read_bytes() == b"player's\r\n",
                "a second install wrote through the link into the player's settings")

    # Packagers stage with DESTDIR: the files land under it, the entry names the real prefix.
    staged = root / "stage"
    real = Path("/opt/brackenholt")
    real_existed = real.exists()
    if install(real, destdir=staged):
        game = staged / "opt" / "brackenholt"
        f.check((game / program).is_file() and (game / "bh.cfg").is_file(),
                "with DESTDIR the game folder is not staged under it")
        entry = game / "share" / "applications" / f"{app_id}.desktop"
        if not opts.windows and f.check(entry.is_file(), "with DESTDIR no entry is staged"):
            f.check(read_desktop_entry(entry).get("TryExec") == f"/opt/brackenholt/{PROGRAM}",
                    "with DESTDIR the entry does not name the program's final place")
        f.check(real_existed or not real.exists(), f"with DESTDIR the install wrote into {real}")
finally:
    shutil.rmtree(root, ignore_errors=True)

f.finish()
