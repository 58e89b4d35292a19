#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""The portable .tar.xz, as a player uses it: unpack it anywhere, register the launcher, start
the program from the entry's Exec, change an option, press OK, and find the settings read from
and written to the bh.cfg in the unpacked folder.

With --in-root the player's machine is a minimal Debian with a desktop's base libraries,
entered with chroot: Debian 12 with neither Qt nor ICU, where the archive the plain run made must
bring everything else, or Debian 13 with its own, newer Qt and a launcher's environment pointing
at it, where the folder's Qt and plugins must still be the ones that run. Each root is made once
with mmdebstrap and kept in the user's cache folder; where it cannot be made (no root rights, no
Debian mirror) the test says skipped."""

import fcntl
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tarfile
from pathlib import Path
from typing import NamedTuple

from gamefolder import (PROGRAM, Failures, check_launcher_files, check_rpaths, elf_files,
                        exec_arguments, is_executable, parse_options, read_desktop_entry, run,
                        run_quietly, temp_dir, tool)
from harness import (LAYOUT, SKIPPED, X_TOOLS, DriverError, Program, XSession, centre, cfg,
                     near_left)

# A safety net only: a healthy run takes a second or two. It bounds how long a broken build can
# hang the suite, and no result depends on it.
EXIT_LIMIT = 60

# bh.cfg as another tool might leave it (LF line ends, settings unlike the default) and the
# bytes the program writes once Full Screen is checked: CRLF lines, the other values kept.
SETTINGS_IN = cfg(options=(0, 1, 1, 0, 1), depth=24).replace(b"\r\n", b"\n")
SETTINGS_OUT = cfg(options=(1, 1, 1, 0, 1), depth=24)

# The players' machines for --in-root: the base libraries the game folder leaves to the desktop
# (C and C++ runtime, X11 and xcb, Wayland, OpenGL/EGL, fonts, GLib, D-Bus), named one by one.
MIRROR = "http://deb.debian.org/debian"
BASE_PACKAGES = [
    "libstdc++6", "libx11-6", "libx11-xcb1", "libxcb1", "libxext6", "libxrender1", "libxfixes3",
    "libxi6", "libxcursor1", "libsm6", "libice6", "libxcb-randr0", "libxcb-render0",
    "libxcb-shape0", "libxcb-shm0", "libxcb-sync1", "libxcb-xfixes0", "libxcb-xkb1",
    "libxkbcommon0", "xkb-data", "libwayland-client0", "libwayland-cursor0", "libwayland-egl1",
    "libegl1", "libgl1", "libglx0", "libopengl0", "libfontconfig1", "libfreetype6",
    "fonts-dejavu-core", "libglib2.0-0", "libdbus-1-3", "zlib1g", "libexpat1"]
# The player's home is a mount point for the test's own folder, so a cached root is never
# written to.
HOME_HOOK = 'mkdir -p "$1/home/player"'
SYSTEM_LIBS = "/usr/lib/x86_64-linux-gnu"


class Root(NamedTuple):
    suite: str
    packages: list
    hooks: list
    system_qt: bool  # the root has a Qt of its own, which must never be loaded
    env: dict  # what a launcher or a desktop session sets when it starts the program there
    glibc: str = ""  # the root's; where given, register-launcher is shown a folder needing more


ROOTS = {
    # Neither Qt nor ICU, whatever pulled it in: the folder must bring them.
    "debian12": Root("bookworm", BASE_PACKAGES,
                     ['rm -f "$1"/usr/lib/*/libicu* "$1"/lib/*/libicu*', HOME_HOOK],
                     system_qt=False, env={}, glibc="2.36"),
    # Qt 6.8 of its own, and a launcher's library path and a KDE session's plugin paths pointing
    # at it: without the folder's RPATH the system's Qt would load and refuse the folder's
    # plugins; without the plugin rule the folder's Qt would scan the system's and warn for
    # each, and KDE's colours (THEME) would reach the window.
    "debian13": Root("trixie",
                     [{"libglib2.0-0": "libglib2.0-0t64"}.get(p, p) for p in BASE_PACKAGES]
                     + ["libqt6core6t64", "libqt6gui6", "libqt6widgets6", "qt6-qpa-plugins"],
                     [HOME_HOOK], system_qt=True,
                     env={"LD_LIBRARY_PATH": SYSTEM_LIBS,
                          "QT_PLUGIN_PATH": f"{SYSTEM_LIBS}/qt6/plugins",
                          "QT_QPA_PLATFORM_PLUGIN_PATH": f"{SYSTEM_LIBS}/qt6/plugins/platforms",
                          "QT_QPA_PLATFORMTHEME": "qt6ct", "QT_IM_MODULE": "ibus",
                          "XDG_CURRENT_DESKTOP": "KDE", "KDE_SESSION_VERSION": "5"}),
}
# A KDE colour scheme that would paint the colour boxes magenta.
THEME = b"[Colors:Button]\nBackgroundNormal=255,0,255\n[Colors:View]\nBackgroundNormal=255,0,255\n"
# Written when the folder is made: the oldest glibc and libstdc++ it runs on.
NEEDS = Path("share/brackenholt-config/needs")

opts = parse_options("cpack", choices={"in-root": list(ROOTS)})
app_id = opts.app_id
row = ROOTS.get(opts.in_root)
PLAYER_HOME = Path("/home/player")
# Enters the root in a mount namespace of its own, so every mount ends with the program: the
# host's X socket, a fresh /tmp, /proc, and the test's folder as the player's home.
ENTER_ROOT = (
    'root=$1 home=$2; shift 2; '
    'mount -t tmpfs tmpfs "$root/tmp" && mkdir "$root/tmp/.X11-unix" && '
    'mkdir -m 700 "$root/tmp/runtime" && mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" && '
    'mount --bind "$home" "$root/home/player" && mount -t proc proc "$root/proc" && '
    'exec chroot "$root" "$@"')


def skip(why):
    shutil.rmtree(root, ignore_errors=True)
    print(f"skipped: {why}")
    sys.exit(SKIPPED)


def debian_root():
    """The cached root, made on first use; a recipe change makes a new one."""
    if os.geteuid() != 0:
        skip("making and entering a Debian root needs root rights")
    if shutil.which("mmdebstrap") is None:
        skip("mmdebstrap is missing; scripts/install-deps installs it")
    recipe = json.dumps([row.suite, MIRROR, row.packages, row.hooks])
    cache = Path(os.environ.get("XDG_CACHE_HOME") or Path.home() / ".cache") / "brackenholt"
    made = cache / f"{opts.in_root}-desktop-{hashlib.sha256(recipe.encode()).hexdigest()[:12]}"
    cache.mkdir(parents=True, exist_ok=True)
    with open(cache / "roots.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)  # another build's test may be making the same root
        if not made.is_dir():
            part = made.with_suffix(".part")
            shutil.rmtree(part, ignore_errors=True)
            result = subprocess.run(
                ["mmdebstrap", "--mode=root", "--variant=essential",
                 "--include=" + ",".join(row.packages),
                 *[f"--customize-hook={hook}" for hook in row.hooks], row.suite, part, MIRROR],
                capture_output=True, text=True)
            if result.returncode != 0:
                shutil.rmtree(part, ignore_errors=True)
                skip(f"mmdebstrap could not make the {opts.in_root} root:\n"
                     f"{result.stderr[-2000:]}")
            part.rename(made)
    return made


f = Failures()
root, unpack_to = temp_dir("package")
machine_root = debian_root() if opts.in_root else None


def as_player(command):
    """The command, run where the player runs it: here, or inside the Debian root."""
    if machine_root is None:
        return [str(c) for c in command]
    return ["unshare", "--mount", "--propagation", "private", "sh", "-c", ENTER_ROOT, "sh",
            str(machine_root), str(root / "home"), *[str(c) for c in command]]


if machine_root is not None:
    (root / "home").mkdir()
    entered = subprocess.run(as_player(["true"]), capture_output=True, text=True)
    if entered.returncode != 0:
        skip(f"cannot enter the Debian root (no rights to mount?): {entered.stderr.strip()}")


def seen_by_player(path):
    """Where the player's programs see a file of the test's folder."""
    if machine_root is None:
        return path
    return PLAYER_HOME / path.relative_to(root / "home")


try:
    # Kept in the build folder: the runs in a Debian root unpack the same archive.
    packages = opts.build / "test-package"
    if not opts.in_root:
        shutil.rmtree(packages, ignore_errors=True)
        result = run([opts.cpack, "--config", opts.build / "CPackConfig.cmake", "-G", "TXZ",
                      "-B", packages])
        if not f.check(result.returncode == 0, "cpack failed"):
            f.finish()
    else:
        unpack_to = root / "home" / unpack_to.name
        system_qt = sorted(str(found) for found in (machine_root / "usr").rglob("lib*.so*")
                           if found.name.startswith(("libQt6", "libicu")))
        if row.system_qt:
            plugin = machine_root / SYSTEM_LIBS[1:] / "qt6" / "plugins" / "platforms" / "libqxcb.so"
            f.check(system_qt and plugin.is_file(),
                    f"the {opts.in_root} root has no Qt of its own that could get in the way")
        else:
            f.check(not system_qt, f"the Debian root is not Qt-less: it has {system_qt[:3]}")
    archives = list(packages.glob("*.tar.xz"))
    if not f.check(len(archives) == 1, f"cpack made {archives}, not one .tar.xz"):
        f.finish()

    with tarfile.open(archives[0]) as archive:
        names = archive.getnames()
    tops = {name.split("/", 1)[0] for name in names}
    f.check(len(tops) == 1, f"the archive unpacks into {sorted(tops)}, not one game folder")
    top = next(iter(tops))

    unpack_to.mkdir(parents=True)
    result = run(["tar", "-xf", archives[0], "-C", unpack_to])
    if not f.check(result.returncode == 0, "tar could not unpack the package"):
        f.finish()
    game = unpack_to / top
    for name in (PROGRAM, "register-launcher", "unregister-launcher"):
        f.check(is_executable(game / name), f"{name} is missing or not executable once unpacked")
    for name in ("bh.cfg", "README.txt"):
        f.check((game / name).is_file(), f"the package has no {name}")
    f.check(os.access(game, os.W_OK), "the unpacked folder is not writable: OK could not save")

    if opts.in_root:
        # Every library of the program and of each plugin resolves inside the root, and each
        # one the folder carries to the folder's own, whatever the launcher's library path says.
        for binary in [game / PROGRAM, *sorted((game / "plugins").glob("*/*.so"))]:
            seen = seen_by_player(binary)
            result = run(as_player(["ldd", seen]), env=dict(os.environ, **row.env))
            f.check(result.returncode == 0 and "not found" not in result.stdout,
                    f"in the {opts.in_root} root, ldd cannot resolve every library of {seen}")
            for name, path in re.findall(r"^\s*(\S+) => (.*) \(0x", result.stdout, re.M):
                if (game / "lib" / name).is_file():
                    f.check(os.path.normpath(path) == str(seen_by_player(game / "lib" / name)),
                            f"in the {opts.in_root} root, {seen} takes {name} from {path}")

    # The packed entry cannot know where it will be unpacked; it must not name the build.
    packed_entry = game / "share" / "applications" / f"{app_id}.desktop"
    for text_file in (packed_entry, game / "share" / "metainfo" / f"{app_id}.metainfo.xml"):
        text = text_file.read_text(encoding="utf-8") if text_file.is_file() else ""
        f.check(text != "", f"{text_file.name} is not in the package")
        f.check(str(opts.build.resolve()) not in text and str(packages) not in text,
                f"{text_file.name} in the package names a folder of the build machine")
    # Nor may anything else: the libraries and plugins look only inside the folder.
    if not opts.in_root:
        check_rpaths(f, game, "unpacked")
        machine = [str(path).encode() for path in (opts.source.resolve(), opts.build.resolve())]
        for path in sorted(game.rglob("*")):
            if path.is_file():
                f.check(not any(name in path.read_bytes() for name in machine),
                        f"{path.relative_to(game)} in the package names a folder of the build "
                        "machine")
        # What a player reads before unpacking is what the folder asks of the system: the
        # floor register-launcher checks, and every library it takes from there but glibc's.
        needs = re.findall(r"^(glibc|GLIBCXX) (\S+)$", (game / NEEDS).read_text(), re.M) \
            if (game / NEEDS).is_file() else []
        readme = (opts.source / "README.md").read_text(encoding="utf-8")
        f.check(len(needs) == 2 and f"glibc **{needs[0][1]}**" in readme
                and f"GLIBCXX_{needs[1][1]}" in readme,
                f"the README's glibc and libstdc++ floor is not the folder's {needs}")
        needed = {name for path in elf_files(game) for name in
                  re.findall(r"\(NEEDED\).*\[(.*)\]", run_quietly(["readelf", "-d", path]))}
        unnamed = sorted(name for name in needed if not (game / "lib" / name).exists()
                         and not re.match(r"(ld-linux|libc|libm)\b", name)
                         and name.split(".so")[0] not in readme)
        f.check(not unnamed, f"the README's base libraries leave out {unnamed}")
    if packed_entry.is_file():
        f.check(exec_arguments(read_desktop_entry(packed_entry).get("Exec", "")) == [PROGRAM],
                "the packed entry's Exec is not the bare program name")

    # The player registers the unpacked folder, then starts the program from the menu entry.
    home = root / "home"
    env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "QT_"))}
    env["HOME"] = str(seen_by_player(home))
    share = home / ".local" / "share"
    if row is not None and row.glibc:
        # A folder needing one glibc more than the root has (changed in this unpacked copy
        # only): register-launcher must say so and add nothing to the menu.
        kept = (game / NEEDS).read_text()
        major, minor = row.glibc.split(".")
        raised = f"{major}.{int(minor) + 1}"
        (game / NEEDS).write_text(re.sub(r"^glibc .*$", f"glibc {raised}", kept, flags=re.M))
        result = run(as_player([seen_by_player(game / "register-launcher")]), cwd="/", env=env)
        told = f"Brackenholt Config needs glibc {raised} or newer; this system has {row.glibc}."
        f.check(result.returncode != 0 and told in result.stderr.splitlines()
                and len(result.stderr.splitlines()) <= 2,
                f"register-launcher on too old a glibc did not refuse with {told!r} alone")
        f.check(not (share / "applications").exists(),
                "register-launcher on too old a glibc still added a menu entry")
        (game / NEEDS).write_text(kept)
    result = run(as_player([seen_by_player(game / "register-launcher")]), cwd="/", env=env)
    f.check(result.returncode == 0, "register-launcher in the unpacked folder failed")
    # In a Debian root the entry's link names the program as the player sees it.
    check_launcher_files(f, share, app_id, seen_by_player(game / PROGRAM), "unpacked, registered",
                         glib=machine_root is None, resolve=os.path.realpath if machine_root is None
                         else lambda p: os.readlink(root / "home" / Path(p).relative_to(PLAYER_HOME)))
    entry = share / "applications" / f"{app_id}.desktop"
    if not entry.is_file():
        f.finish()
    command = exec_arguments(read_desktop_entry(entry)["Exec"])

    (game / "bh.cfg").write_bytes(SETTINGS_IN)
    (home / ".config").mkdir(exist_ok=True)
    (home / ".config" / "kdeglobals").write_bytes(THEME)
    # Started from elsewhere, as a menu does: the settings must still come from the game folder.
    elsewhere = root / "started from here"
    elsewhere.mkdir()
    for name in X_TOOLS:
        tool(name)
    # The session's home is the one register-launcher has just written to; inside the root
    # the player's folders are seen under their home there.
    player = seen_by_player(home)
    inside = {"HOME": str(player), "XDG_CONFIG_HOME": str(player / ".config"),
              "XDG_CACHE_HOME": str(player / ".cache"), "XDG_RUNTIME_DIR": "/tmp/runtime"}
    with XSession(str(root)) as session:
        program = Program(session, as_player(command), elsewhere,
                          env=dict(inside, **row.env) if row else None)
        status = None
        try:
            program.start()
            program.wait_for_main_window()
            if row is not None and row.system_qt:
                # The program itself (entering the root ends in exec): every Qt library, ICU
                # and plugin it has mapped is the folder's.
                maps = Path(f"/proc/{program.process.pid}/maps").read_text()
                qt = {path for path in re.findall(r" (/.*)$", maps, re.M)
                      if "/plugins/" in path or Path(path).name.startswith(("libQt6", "libicu"))}
                strays = sorted(path for path in qt if f"/{game.name}/" not in path)
                f.check(qt and not strays, f"in the {opts.in_root} root the program runs with "
                        f"Qt libraries or plugins from outside the folder: {strays or 'none'}")
            box_left, box_top, box_width, box_height = LAYOUT["txtColor(0)"]
            f.check(program.client_shot().pixel(box_left + box_width - 4, box_top + box_height // 2)
                    != (255, 0, 255), "the window takes the desktop's colour scheme")
            program.click(*near_left(LAYOUT["chkFullScreen"]))
            # A click on OK that lands while the window is still being mapped can be lost;
            # clicking again is harmless, as OK ends the program.
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
    f.check("incompatible Qt library" not in program.stderr_text(),
            "Qt tried plugins of another Qt: they are not the folder's")
    saved = (game / "bh.cfg").read_bytes()
    f.check(saved == SETTINGS_OUT,
            "the unpacked folder's bh.cfg does not hold the settings it was started with and "
            f"Full Screen checked, as the program writes them: {saved[:40]!r}...")
    f.check(not (elsewhere / "bh.cfg").exists(), "the program wrote bh.cfg where it was started")
    leftovers = sorted(p.name for p in game.iterdir()
                       if p.name not in {PROGRAM, "bh.cfg", "README.txt", "register-launcher",
                                         "unregister-launcher", "share", "qt.conf", "lib",
                                         "plugins", "licences"})
    f.check(not leftovers, f"saving left {leftovers} in the game folder")
finally:
    shutil.rmtree(root, ignore_errors=True)

f.finish()
