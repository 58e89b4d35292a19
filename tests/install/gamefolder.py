# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""What the install tests share: reading a game folder back the way a desktop would."""

import argparse
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from pathlib import Path

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402  (python3-gi, scripts/install-deps)

PROGRAM = "brackenholt-config"


class Failures:
    """Collects every broken expectation, so one run shows all of them."""

    def __init__(self):
        self.messages = []

    def check(self, ok, message):
        if not ok:
            self.messages.append(message)
        return ok

    def finish(self):
        for message in self.messages:
            print("FAIL:", message)
        if self.messages:
            sys.exit(1)
        print("all checks passed")


def parse_options(*extra_tools, flags=(), choices=None):
    """The options every install test gets from ctest; extra_tools names further programs
    (such as "cpack") passed as --NAME PATH, flags switches passed as --NAME, choices optional
    --NAME VALUE options and the values each may take."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--cmake", required=True)
    for name in extra_tools:
        parser.add_argument(f"--{name}", required=True)
    for name in flags:
        parser.add_argument(f"--{name}", action="store_true")
    for name, values in (choices or {}).items():
        parser.add_argument(f"--{name}", choices=values)
    parser.add_argument("--build", required=True, type=Path)
    parser.add_argument("--source", required=True, type=Path)
    parser.add_argument("--app-id", required=True)
    parser.add_argument("--version", required=True)
    return parser.parse_args()


def run(args, **kwargs):
    """Runs a command; its output goes into the test log, and a failure names the command."""
    result = subprocess.run([str(a) for a in args], capture_output=True, text=True, **kwargs)
    sys.stdout.write(result.stdout)
    sys.stdout.write(result.stderr)
    return result


def tool(name):
    path = shutil.which(name)
    if path is None:
        print(f"FAIL: {name} is missing; scripts/install-deps installs it")
        sys.exit(1)
    return path


def temp_dir(test_name):
    """A temporary folder named after the test, with a blank in its path: the launcher entry
    has to quote the program's path, and a folder like "Brackenholt Games" is what a player
    picks."""
    root = Path(tempfile.mkdtemp(prefix=f"bh-{test_name}-"))
    return root, root / "Brackenholt Games"


def read_desktop_entry(path):
    """The keys of the [Desktop Entry] group, with the string escapes undone."""
    keys = {}
    group = None
    for raw in Path(path).read_text(encoding="utf-8").splitlines():
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        if line.startswith("["):
            group = line
            continue
        if group == "[Desktop Entry]" and "=" in line:
            key, value = line.split("=", 1)
            try:
                keys[key.strip()] = unescape_string(value.strip())
            except ValueError as error:
                keys[key.strip()] = str(error)
    return keys


def unescape_string(value):
    """Strict: a backslash before anything but s n t r or another backslash is not a string
    escape, and a launcher may read it either way."""
    out = []
    i = 0
    escapes = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}
    while i < len(value):
        if value[i] == "\\":
            if i + 1 >= len(value) or value[i + 1] not in escapes:
                raise ValueError(f"undefined escape in {value!r}")
            out.append(escapes[value[i + 1]])
            i += 2
        else:
            out.append(value[i])
            i += 1
    return "".join(out)


def exec_arguments(exec_value):
    """Splits an Exec value (already string-unescaped) into arguments as a launcher does."""
    args = []
    current = []
    quoted = False
    have_arg = False
    i = 0
    while i < len(exec_value):
        c = exec_value[i]
        if quoted:
            if c == "\\" and i + 1 < len(exec_value) and exec_value[i + 1] in '"`$\\':
                current.append(exec_value[i + 1])
                i += 1
            elif c == '"':
                quoted = False
            else:
                current.append(c)
        elif c == '"':
            quoted = True
            have_arg = True
        elif c == " ":
            if have_arg:
                args.append("".join(current))
                current = []
                have_arg = False
        else:
            current.append(c)
            have_arg = True
        i += 1
    if quoted:
        raise ValueError(f"unterminated quote in Exec={exec_value}")
    if have_arg:
        args.append("".join(current))
    return [a.replace("%%", "%") for a in args]


def png_size(path):
    data = Path(path).read_bytes()[:24]
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    return int.from_bytes(data[16:20], "big"), int.from_bytes(data[20:24], "big")


def is_executable(path):
    return Path(path).is_file() and bool(Path(path).stat().st_mode & stat.S_IXUSR)


def elf_files(folder):
    """The programs and libraries in a folder, found by their magic rather than their names."""
    found = []
    for path in sorted(Path(folder).rglob("*")):
        if path.is_file() and not path.is_symlink():
            with open(path, "rb") as data:
                if data.read(4) == b"\x7fELF":
                    found.append(path)
    return found


def check_rpaths(f, folder, where):
    """Every program, library and plugin of the game folder looks for libraries inside the
    folder, relative to itself, and there first: an RPATH, which the loader searches before
    LD_LIBRARY_PATH (a RUNPATH comes after it). Anything else names the build machine, misses
    the bundle or lets a launcher's library path swap in another Qt."""
    elves = elf_files(folder)
    f.check(len(elves) > 1, f"{where}: no libraries beside the program")
    for path in elves:
        dynamic = run_quietly(["readelf", "-d", path])
        paths = re.findall(r"\((RPATH|RUNPATH)\)[^\[]*\[([^\]]*)\]", dynamic)
        f.check(len(paths) == 1 and paths[0][0] == "RPATH"
                and all(entry.startswith("$ORIGIN") for entry in paths[0][1].split(":")),
                f"{where}: {path.relative_to(folder)} looks for its libraries in {paths}, "
                "not first in an RPATH within the folder")


def run_quietly(args):
    return subprocess.run([str(a) for a in args], capture_output=True, text=True,
                          check=True).stdout


def check_launcher_files(f, share, app_id, program, where, glib=True, resolve=os.path.realpath):
    """The entry, its icons and (where given) the description under one share/ folder: the
    entry must start `program`, and the icon it names must be there in both sizes."""
    entry_path = share / "applications" / f"{app_id}.desktop"
    if not f.check(entry_path.is_file(), f"{where}: no launcher entry at {entry_path}"):
        return
    entry = read_desktop_entry(entry_path)
    f.check(entry.get("Type") == "Application", f"{where}: Type is {entry.get('Type')}")
    f.check(entry.get("Name") == "Brackenholt Config", f"{where}: Name is {entry.get('Name')}")
    categories = entry.get("Categories", "").split(";")
    f.check("Game" in categories and "Settings" in categories,
            f"{where}: Categories {entry.get('Categories')} lack Game or Settings")
    try:
        args = exec_arguments(entry.get("Exec", ""))
    except ValueError as error:
        args = [str(error)]
    # The entry may name the program through a link (register-launcher's).
    f.check([resolve(a) for a in args] == [str(program)],
            f"{where}: Exec starts {args}, not [{program}]")
    f.check(resolve(entry.get("TryExec", "")) == str(program),
            f"{where}: TryExec is {entry.get('TryExec')}, not {program}")
    # What GNOME's menu and gio launch load: GLib looks for the program before anything else.
    # (cmake --install's own entry names the prefix as it is, % and all: glib=False.)
    try:
        info = Gio.DesktopAppInfo.new_from_filename(str(entry_path))
    except TypeError:  # GLib refused the entry
        info = None
    argv = GLib.shell_parse_argv(info.get_commandline())[1] if info else [""]
    f.check(not glib or os.path.realpath(argv[0]) == str(program),
            f"{where}: GLib does not load {entry_path} as an entry starting {program}")
    f.check(entry.get("Icon") == app_id, f"{where}: Icon is {entry.get('Icon')}, not {app_id}")
    for size in (32, 64):
        icon = share / "icons" / "hicolor" / f"{size}x{size}" / "apps" / f"{app_id}.png"
        f.check(png_size(icon) == (size, size),
                f"{where}: {icon} is not a {size} x {size} PNG (found {png_size(icon)})")
    f.check(run([tool("desktop-file-validate"), entry_path]).returncode == 0,
            f"{where}: desktop-file-validate rejects {entry_path}")


def check_metainfo(f, share, app_id, version):
    path = share / "metainfo" / f"{app_id}.metainfo.xml"
    if not f.check(path.is_file(), f"no metainfo at {path}"):
        return
    root = ET.parse(path).getroot()
    f.check(root.findtext("id") == app_id, f"metainfo id is {root.findtext('id')}")
    f.check(root.findtext("launchable") == f"{app_id}.desktop",
            f"metainfo launches {root.findtext('launchable')}, not the installed entry")
    f.check(bool(root.findtext("summary")), "metainfo has no summary")
    f.check(root.find("description/p") is not None, "metainfo has no description")
    image = root.findtext("screenshots/screenshot/image") or ""
    f.check(image.startswith("https://") and image.endswith("/docs/screenshot.png"),
            f"metainfo screenshot is {image!r}")
    release = root.find("releases/release")
    f.check(release is not None and release.get("version") == version,
            f"metainfo release is not {version}")
    f.check(run([tool("appstreamcli"), "validate", "--no-net", path]).returncode == 0,
            f"appstreamcli rejects {path}")
