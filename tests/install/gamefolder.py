# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""What the install tests share: the game folder laid out once per ctest run (fixture
game_folder, from --game-folder), and reading a folder back the way a desktop would: the
launcher entry through GLib's key-file reader and shell_parse_argv, the icons through Pillow."""

import os
import re
import shutil
from pathlib import Path

import gi
import pytest

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402
from PIL import Image

from harness import run

PROGRAM = "brackenholt-config"


@pytest.fixture(scope="session")
def game_folder(request):
    folder = request.config.getoption("game_folder")
    if not folder:
        pytest.fail("--game-folder: ctest's install_game_folder lays it out")
    return Path(folder)


def tool(name):
    assert shutil.which(name), f"{name} is missing; scripts/install-deps installs it"
    return name


def desktop_entry(path):
    """The [Desktop Entry] keys as a launcher reads them; a value GLib cannot read (an undefined
    escape, say) reads as GLib's complaint."""
    keys = GLib.KeyFile()
    keys.load_from_file(str(path), GLib.KeyFileFlags.NONE)
    entry = {}
    for key in keys.get_keys("Desktop Entry")[0]:
        try:
            entry[key] = keys.get_string("Desktop Entry", key)
        except GLib.Error as error:
            entry[key] = error.message
    return entry


def exec_arguments(entry):
    """The Exec key split into arguments as a launcher does, %% read as %."""
    return [arg.replace("%%", "%") for arg in GLib.shell_parse_argv(entry.get("Exec", ""))[1]]


def elf_files(folder):
    """The programs and libraries in a folder, found by their magic rather than their names."""
    return [path for path in sorted(Path(folder).rglob("*"))
            if path.is_file() and not path.is_symlink() and path.open("rb").read(4) == b"\x7fELF"]


def check_rpaths(folder):
    """Every ELF file of the folder looks for libraries there first, relative to itself: an RPATH
    of $ORIGIN paths, searched before LD_LIBRARY_PATH (a RUNPATH comes after it). Anything else
    names the build machine, misses the bundle or lets a launcher's path swap in another Qt."""
    elves = elf_files(folder)
    assert len(elves) > 1, "no libraries beside the program"
    wrong = {}
    for path in elves:
        paths = re.findall(r"\((RPATH|RUNPATH)\)[^\[]*\[([^\]]*)\]",
                           run(["readelf", "-d", path]).stdout)
        if not (len(paths) == 1 and paths[0][0] == "RPATH"
                and all(entry.startswith("$ORIGIN") for entry in paths[0][1].split(":"))):
            wrong[str(path.relative_to(folder))] = paths
    assert wrong == {}, "libraries that do not look first in an RPATH within the folder"


def check_launcher_files(share, app_id, program, glib=True, resolve=os.path.realpath):
    """The entry and its icons under one share/ folder: the entry must start program (through
    register-launcher's link, which resolve follows on both sides, as a checkout or a home reached
    through a link names one file twice), GLib must load it as GNOME's menu and gio launch do
    (glib), and the icon it names must be there in both sizes."""
    path, program = share / "applications" / f"{app_id}.desktop", resolve(program)
    entry = desktop_entry(path)
    assert {key: entry.get(key) for key in ("Type", "Name", "Icon")} == {
        "Type": "Application", "Name": "Brackenholt Config", "Icon": app_id}
    assert resolve(entry.get("TryExec", "")) == program
    assert {"Game", "Settings"} <= set(entry.get("Categories", "").split(";"))
    assert [resolve(arg) for arg in exec_arguments(entry)] == [program]
    if glib:  # GLib looks for the program before it turns %% back into %
        try:
            info = Gio.DesktopAppInfo.new_from_filename(str(path))
        except TypeError:  # PyGObject's word for a constructor that gave NULL
            info = None
        assert info, f"GLib does not load {path}"
        assert resolve(GLib.shell_parse_argv(info.get_commandline())[1][0]) == program
    assert [Image.open(share / "icons" / "hicolor" / f"{size}x{size}" / "apps" / f"{app_id}.png")
            .size for size in (32, 64)] == [(32, 32), (64, 64)]
    run([tool("desktop-file-validate"), path])


def check_metainfo(share, app_id, version):
    import xml.etree.ElementTree as ET

    path = share / "metainfo" / f"{app_id}.metainfo.xml"
    root = ET.parse(path).getroot()
    image = root.findtext("screenshots/screenshot/image") or ""
    release = root.find("releases/release")
    assert (root.findtext("id"), root.findtext("launchable"), release.get("version")) == \
        (app_id, f"{app_id}.desktop", version)
    assert root.findtext("summary") and root.find("description/p") is not None
    assert image.startswith("https://") and image.endswith("/docs/screenshot.png"), image
    run([tool("appstreamcli"), "validate", "--no-net", path])
