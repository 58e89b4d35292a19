# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""`cmake --install` lays out a game folder (--windows: the Windows build's): the program beside a
default bh.cfg and a README.txt, the launcher files, and never a default over the player's own.
The folder is ctest's install_game_folder, under a name holding what an Exec key must escape."""

import os
import re
import shutil
from pathlib import Path

import pytest

from gamefolder import PROGRAM, check_launcher_files, check_metainfo, check_rpaths, desktop_entry
from harness import run

# Each row: path in the game folder, whether it must be executable, what is wrong without it;
# on both systems (BOTH), Linux or Windows only.
BOTH, LINUX, WINDOWS = None, False, True
FILES = [
    # fmt: off
    ("{program}", True, "the program is not at the top of the game folder, beside bh.cfg", BOTH),
    ("bh.cfg", False, "a fresh install has no settings and the program cannot start", BOTH),
    ("README.txt", False, "a player who unpacks the folder finds nothing that says what it is", BOTH),
    ("platforms/qwindows.dll", False, "no window", WINDOWS),
    ("register-launcher", True, "a player cannot add the program to the menu", LINUX),
    ("unregister-launcher", True, "a player cannot take the program out of the menu", LINUX),
    ("share/applications/{app_id}.desktop", False, "no launcher entry", LINUX),
    ("share/icons/hicolor/32x32/apps/{app_id}.png", False, "no menu icon", LINUX),
    ("share/icons/hicolor/64x64/apps/{app_id}.png", False, "no sharp menu icon", LINUX),
    ("share/metainfo/{app_id}.metainfo.xml", False, "software centres know nothing of it", LINUX),
    ("qt.conf", False, "Qt looks for its plugins on the player's system", LINUX),
    ("lib/libQt6Widgets.so.6", False, "the program needs Qt from the player's system", LINUX),
    ("lib/libicuuc.so.72", False, "the program needs the build machine's ICU", LINUX),
    ("plugins/platforms/libqxcb.so", False, "no window on an X11 desktop", LINUX),
    ("plugins/platforms/libqwayland-generic.so", False, "no window on a Wayland desktop", LINUX),
    ("plugins/wayland-shell-integration/libxdg-shell.so", False, "no window on Wayland", LINUX),
    ("licences/README.txt", False, "the bundled libraries' licences and sources go unnamed", LINUX),
    ("licences/libqt6core6/copyright", False, "Qt's licence text is missing", LINUX),
    ("lib/libSDL2-2.0.so.0", False, "no game controller without an SDL2 on the player's system", LINUX),
    ("SDL2.dll", False, "no game controller: the program does not start without its SDL2", WINDOWS),
    ("licences/SDL2/LICENSE.txt", False, "SDL2's licence text is missing", BOTH),
    ("share/brackenholt-config/needs", False, "register-launcher cannot tell a too old system", LINUX),
    # fmt: on
]

# A reinstall or update over a game folder must keep what the player saved, whatever stands
# where bh.cfg belongs: each row makes it.
KEPT = [
    ("settings the player saved", lambda path, elsewhere: path.write_bytes(b"0\r\n1\r\n")),
    ("a link to settings kept elsewhere", lambda path, elsewhere: path.symlink_to(elsewhere)),
    ("a link whose target is gone", lambda path, elsewhere: path.symlink_to(elsewhere.parent / "gone")),
]


def pytest_generate_tests(metafunc):
    windows = metafunc.config.getoption("windows")
    if "relative" in metafunc.fixturenames:
        metafunc.parametrize("relative, executable, fault",
                             [row[:3] for row in FILES if row[3] in (BOTH, windows)],
                             ids=[row[0] for row in FILES if row[3] in (BOTH, windows)])


@pytest.fixture
def linux(option):
    if option("windows"):
        pytest.skip("the Windows folder has no launcher files and no RPATHs")


@pytest.fixture
def program(option):
    return PROGRAM + ".exe" if option("windows") else PROGRAM


def install(option, prefix, **env):
    env = {k: v for k, v in os.environ.items() if k != "DESTDIR"} | env
    run([option("cmake"), "--install", option("build"), "--prefix", prefix], env=env)


def test_file(game_folder, option, program, relative, executable, fault):
    path = game_folder / relative.format(program=program, app_id=option("app_id"))
    assert path.is_file(), fault
    assert os.access(path, os.X_OK) or not executable, fault


def test_nothing_apart_from_bh_cfg(game_folder):
    assert not (game_folder / "bin").exists(), "a bin/ folder separates the program from bh.cfg"


def test_readme_in_the_platforms_line_ends_names_program_and_notes(game_folder, option, program):
    readme = (game_folder / "README.txt").read_bytes()
    assert {line.endswith(b"\r") for line in readme.split(b"\n")[:-1]} == {option("windows")}
    assert program.encode() in readme
    index = re.search(rb"licences[/\\]\w+\.txt", readme)
    assert index and (game_folder / index[0].decode().replace("\\", "/")).is_file()


def test_default_settings_writable(game_folder, option):
    settings = game_folder / "bh.cfg"
    assert settings.read_bytes() == (Path(option("source")) / "resources" / "bh.cfg").read_bytes()
    assert settings.stat().st_mode & 0o200, "the installed bh.cfg is read-only: OK fails"


def test_libraries_look_in_the_folder(game_folder, linux):
    check_rpaths(game_folder)


def test_launcher_files(game_folder, option, linux):
    # cmake --install's own entry names the prefix as it is, % and all, which GLib refuses; the
    # player's entry is register-launcher's, loaded through GLib in its own test.
    check_launcher_files(game_folder / "share", option("app_id"), game_folder / PROGRAM,
                         glib=False)
    check_metainfo(game_folder / "share", option("app_id"), option("app_version"))


@pytest.mark.parametrize("kind, make", KEPT, ids=[row[0] for row in KEPT])
def test_reinstall_keeps(game_folder, option, tmp_path, kind, make):
    prefix = tmp_path / game_folder.name
    shutil.copytree(game_folder, prefix, symlinks=True)
    elsewhere = tmp_path / "settings kept elsewhere.cfg"
    elsewhere.write_bytes(b"player's\r\n")
    settings = prefix / "bh.cfg"
    settings.unlink()
    make(settings, elsewhere)
    before = os.readlink(settings) if settings.is_symlink() else settings.read_bytes()
    install(option, prefix)
    assert (os.readlink(settings) if settings.is_symlink() else settings.read_bytes()) == before
    assert elsewhere.read_bytes() == b"player's\r\n", "the install wrote through the link"


def test_destdir_stages_under_it_and_names_the_real_place(option, program, tmp_path):
    """Packagers stage with DESTDIR: the files land under it, the entry names the real prefix."""
    real = Path("/opt/brackenholt")
    real_existed = real.exists()
    install(option, real, DESTDIR=str(tmp_path))
    game = tmp_path / "opt" / "brackenholt"
    assert (game / program).is_file() and (game / "bh.cfg").is_file()
    if not option("windows"):
        entry = game / "share" / "applications" / f"{option('app_id')}.desktop"
        assert desktop_entry(entry).get("TryExec") == f"/opt/brackenholt/{PROGRAM}"
    assert real_existed or not real.exists(), f"with DESTDIR the install wrote into {real}"
