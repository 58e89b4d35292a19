# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""The portable .tar.xz, as a player uses it: unpack it anywhere, register the launcher, start
the program from the entry's Exec, change an option, press OK, and find bh.cfg read from and
written to in the unpacked folder.

With --in-root the player's machine is a minimal Debian entered with chroot: Debian 12 without
Qt or ICU, where the archive must bring everything else, or Debian 13 with its own newer Qt that
a launcher's environment points at, where the folder's Qt and plugins must still be the ones
that run. Each root is made once with mmdebstrap and cached; where it cannot be made (no root
rights, no Debian archive in this machine's apt configuration) the tests say skipped."""

import fcntl
import hashlib
import json
import os
import re
import shutil
import tarfile
from pathlib import Path
from typing import NamedTuple

import pytest

from gamefolder import (PROGRAM, check_launcher_files, check_rpaths, desktop_entry, elf_files,
                        exec_arguments)
from harness import LAYOUT, Program, Session, cfg, check_own_qt, near_left, run

# bh.cfg as another tool might leave it (LF line ends, settings unlike the default) and the
# bytes the program writes once Full Screen is checked: CRLF lines, the other values kept.
SETTINGS_IN = cfg(options=(0, 1, 1, 0, 1), depth=24).replace(b"\r\n", b"\n")
SETTINGS_OUT = cfg(options=(1, 1, 1, 0, 1), depth=24)


def debian_archive():
    """The Debian archive this machine's apt configuration names, as the builds take it."""
    script = Path(__file__).resolve().parents[2] / "scripts" / "fetch-debian-source"
    return run([str(script), "--archive"], check=False).stdout.strip() or None


# The players' machines for --in-root: the base libraries the game folder leaves to the desktop
# (C and C++ runtime, X11 and xcb, Wayland, OpenGL/EGL, fonts, GLib, D-Bus), named one by one.
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
    # Qt 6.8 of its own, with a launcher's library path and KDE's plugin paths pointing at it:
    # without the folder's RPATH that Qt would load and refuse the folder's plugins; without the
    # plugin rule the folder's Qt would scan the system's, and KDE's colours (THEME) would show.
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

PLAYER_HOME = Path("/home/player")
# Enters the root in a mount namespace of its own, so every mount ends with the program: the
# host's X socket, a fresh /tmp, /proc, and the test's folder as the player's home.
ENTER_ROOT = (
    'root=$1 home=$2; shift 2; '
    'mount -t tmpfs tmpfs "$root/tmp" && mkdir "$root/tmp/.X11-unix" && '
    'mkdir -m 700 "$root/tmp/runtime" && mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" && '
    'mount --bind "$home" "$root/home/player" && mount -t proc proc "$root/proc" && '
    'exec chroot "$root" "$@"')


def debian_root(name, row):
    """The cached root, made on first use; a recipe change makes a new one."""
    if os.geteuid() != 0:
        pytest.skip("making and entering a Debian root needs root rights")
    if shutil.which("mmdebstrap") is None:
        pytest.skip("mmdebstrap is missing; scripts/install-deps installs it")
    archive = debian_archive()
    if archive is None:
        pytest.skip("no Debian archive in this machine's apt configuration to make roots from")
    recipe = json.dumps([row.suite, row.packages, row.hooks])
    cache = Path(os.environ.get("XDG_CACHE_HOME") or Path.home() / ".cache") / "brackenholt"
    made = cache / f"{name}-desktop-{hashlib.sha256(recipe.encode()).hexdigest()[:12]}"
    cache.mkdir(parents=True, exist_ok=True)
    with open(cache / "roots.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)  # another build's test may be making the same root
        if not made.is_dir():
            part = made.with_suffix(".part")
            shutil.rmtree(part, ignore_errors=True)
            result = run(["mmdebstrap", "--mode=root", "--variant=essential",
                          "--include=" + ",".join(row.packages),
                          *[f"--customize-hook={hook}" for hook in row.hooks], row.suite, part,
                          archive], check=False)
            if result.returncode != 0:
                shutil.rmtree(part, ignore_errors=True)
                pytest.skip(f"mmdebstrap could not make the {name} root:\n{result.stderr[-2000:]}")
            part.rename(made)
    return made


class Player(NamedTuple):
    """Where the player is: the unpacked game folder, its home, the Debian root it runs in (None:
    this machine) and that root's row of ROOTS."""
    game: Path
    home: Path
    root: Path
    row: Root
    archive: Path

    def command(self, command):
        """The command, run where the player runs it: here, or inside the Debian root."""
        if self.root is None:
            return [str(c) for c in command]
        return ["unshare", "--mount", "--propagation", "private", "sh", "-c", ENTER_ROOT, "sh",
                str(self.root), str(self.home), *[str(c) for c in command]]

    def env(self):
        """A player's environment, with a home where the player's programs see it."""
        env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "QT_"))}
        return dict(env, HOME=str(self.sees(self.home)))

    def sees(self, path):
        """Where the player's programs see a file of the test's folder."""
        return path if self.root is None else PLAYER_HOME / path.relative_to(self.home)

    def link_target(self, path):
        """What a link the player's programs see at path points to, as they see it (a file that
        is no link: path itself)."""
        if self.root is None:
            return os.path.realpath(path)
        here = self.home / Path(path).relative_to(PLAYER_HOME)
        return os.readlink(here) if here.is_symlink() else str(path)


@pytest.fixture(scope="module")
def player(option, tmp_path_factory):
    """The archive cpack packs (kept in the build folder: the runs in a Debian root unpack the
    same one), unpacked where the player puts it: a folder with a blank in its name."""
    name = option("in_root")
    row = ROOTS.get(name)
    machine_root = debian_root(name, row) if name else None
    home = tmp_path_factory.mktemp("package") / "home"
    home.mkdir()
    packages = Path(option("build")) / "test-package"
    if not name:
        shutil.rmtree(packages, ignore_errors=True)
        run([option("cpack"), "--config", Path(option("build")) / "CPackConfig.cmake", "-G", "TXZ",
             "-B", packages])
    archives = list(packages.glob("*.tar.xz"))
    assert len(archives) == 1, "cpack made not one .tar.xz"
    unpack_to = home / "Brackenholt Games"
    unpack_to.mkdir()
    run(["tar", "-xf", archives[0], "-C", unpack_to])
    with tarfile.open(archives[0]) as archive:
        tops = {entry.split("/", 1)[0] for entry in archive.getnames()}
    assert len(tops) == 1, "the archive unpacks into more than one game folder"
    player = Player(unpack_to / tops.pop(), home, machine_root, row, archives[0])
    if machine_root is not None:
        entered = run(player.command(["true"]), check=False)
        if entered.returncode != 0:
            pytest.skip(f"cannot enter the Debian root (no rights to mount?): {entered.stderr}")
    return player


def test_root_has_the_qt_it_should(player):
    """Debian 12's root is Qt-less; Debian 13's has a Qt of its own that could get in the way."""
    if player.root is None:
        pytest.skip("played on this machine")
    system_qt = sorted(str(found) for found in (player.root / "usr").rglob("lib*.so*")
                       if found.name.startswith(("libQt6", "libicu")))
    plugin = player.root / SYSTEM_LIBS[1:] / "qt6" / "plugins" / "platforms" / "libqxcb.so"
    assert (bool(system_qt), plugin.is_file()) == (player.row.system_qt,) * 2, system_qt[:3]


def test_unpacked_folder(player):
    game = player.game
    assert [name for name in (PROGRAM, "register-launcher", "unregister-launcher")
            if not os.access(game / name, os.X_OK)] == []
    assert (game / "bh.cfg").is_file() and (game / "README.txt").is_file()
    assert os.access(game, os.W_OK), "the unpacked folder is not writable: OK could not save"
    if player.root is None:
        check_rpaths(game)


def test_libraries_resolve_to_the_folder_in_the_root(player):
    """Every library of the program and of each plugin resolves inside the root, and each one
    the folder carries to the folder's own, whatever the launcher's library path says."""
    if player.root is None:
        pytest.skip("played on this machine")
    for binary in [player.game / PROGRAM, *sorted((player.game / "plugins").glob("*/*.so"))]:
        result = run(player.command(["ldd", player.sees(binary)]),
                     env=dict(os.environ, **player.row.env))
        assert "not found" not in result.stdout
        for name, path in re.findall(r"^\s*(\S+) => (.*) \(0x", result.stdout, re.M):
            if (player.game / "lib" / name).is_file():
                assert os.path.normpath(path) == str(player.sees(player.game / "lib" / name))


def test_nothing_names_the_build_machine(player, option):
    """The packed entry cannot know where it will be unpacked; nor may anything else name the
    build: the libraries and plugins look only inside the folder."""
    app_id, game = option("app_id"), player.game
    # A tree reached through a link has two names, and either may have been written down.
    machine = [os.fsencode(name) for tree in ("source", "build")
               for name in {option(tree), os.path.realpath(option(tree))}]
    entry = game / "share" / "applications" / f"{app_id}.desktop"
    for text_file in (entry, game / "share" / "metainfo" / f"{app_id}.metainfo.xml"):
        assert not any(name in text_file.read_bytes() for name in machine)
    assert exec_arguments(desktop_entry(entry)) == [PROGRAM]
    if player.root is None:
        assert [str(path.relative_to(game)) for path in sorted(game.rglob("*")) if path.is_file()
                and any(name in path.read_bytes() for name in machine)] == []


def test_readme_names_what_the_folder_needs(player, option):
    """What a player reads before unpacking is what the folder asks of the system: the floor
    register-launcher checks, and every library it takes from there but glibc's."""
    if player.root is not None:
        pytest.skip("the same archive as on this machine")
    game = player.game
    needs = re.findall(r"^(glibc|GLIBCXX) (\S+)$", (game / NEEDS).read_text(), re.M)
    readme = (Path(option("source")) / "README.md").read_text(encoding="utf-8")
    assert len(needs) == 2 and f"glibc **{needs[0][1]}**" in readme \
        and f"GLIBCXX_{needs[1][1]}" in readme
    needed = {name for path in elf_files(game) for name in
              re.findall(r"\(NEEDED\).*\[(.*)\]", run(["readelf", "-d", path]).stdout)}
    assert sorted(name for name in needed if not (game / "lib" / name).exists()
                  and not re.match(r"(ld-linux|libc|libm)\b", name)
                  and name.split(".so")[0] not in readme) == []


def test_register_refuses_too_old_a_glibc(player):
    """A folder needing one glibc more than the root has (changed in this unpacked copy only):
    register-launcher must say so and add nothing to the menu."""
    if not (player.row and player.row.glibc):
        pytest.skip("no known glibc to go past")
    kept = (player.game / NEEDS).read_text()
    major, minor = player.row.glibc.split(".")
    raised = f"{major}.{int(minor) + 1}"
    (player.game / NEEDS).write_text(re.sub(r"^glibc .*$", f"glibc {raised}", kept, flags=re.M))
    try:
        result = run(player.command([player.sees(player.game / "register-launcher")]), False,
                     cwd="/", env=player.env())
    finally:
        (player.game / NEEDS).write_text(kept)
    told = f"Brackenholt Config needs glibc {raised} or newer; this system has {player.row.glibc}."
    assert result.returncode != 0 and result.stderr.strip().splitlines()[-1:] == [told]
    assert len(result.stderr.splitlines()) <= 2
    assert not (player.home / ".local" / "share" / "applications").exists()


def test_register_start_from_the_entry_and_save(player, option):
    """The player registers the unpacked folder, starts the program from the menu entry's Exec
    in another folder, checks Full Screen and presses OK: the settings come from and go to the
    folder's bh.cfg."""
    game, home, row = player.game, player.home, player.row
    run(player.command([player.sees(game / "register-launcher")]), cwd="/", env=player.env())
    share = home / ".local" / "share"
    # In a Debian root the entry's link names the program as the player sees it there.
    check_launcher_files(share, option("app_id"), player.sees(game / PROGRAM),
                         glib=player.root is None, resolve=player.link_target)
    command = exec_arguments(desktop_entry(share / "applications" / f"{option('app_id')}.desktop"))

    (game / "bh.cfg").write_bytes(SETTINGS_IN)
    (home / ".config").mkdir(exist_ok=True)
    (home / ".config" / "kdeglobals").write_bytes(THEME)
    elsewhere = home / "started from here"
    elsewhere.mkdir()
    seen = player.sees(home)
    inside = {"HOME": str(seen), "XDG_CONFIG_HOME": str(seen / ".config"),
              "XDG_CACHE_HOME": str(seen / ".cache"), "XDG_RUNTIME_DIR": "/tmp/runtime"}
    with Session(str(home.parent)) as session:
        program = Program(session, player.command(command), elsewhere,
                          env=dict(inside, **row.env) if row else None)
        program.start()
        program.wait_for_main_window()
        if row is not None and row.system_qt:
            # The program itself (entering the root ends in exec).
            check_own_qt(program.process.pid, f"/{game.name}/")
        left, top, width, height = LAYOUT["txtColor(0)"]
        assert program.client_shot().getpixel((left + width - 4, top + height // 2)) \
            != (255, 0, 255), "the window takes the desktop's colour scheme"
        program.click(*near_left(LAYOUT["chkFullScreen"]))
        program.press_ok()
    assert "incompatible Qt library" not in program.stderr_text(), "plugins of another Qt"
    assert (game / "bh.cfg").read_bytes() == SETTINGS_OUT
    assert not (elsewhere / "bh.cfg").exists(), "the program wrote bh.cfg where it was started"
    assert sorted(p.name for p in game.iterdir()) == sorted(
        [PROGRAM, "bh.cfg", "README.txt", "register-launcher", "unregister-launcher", "share",
         "qt.conf", "lib", "plugins", "licences"]), "saving left files in the game folder"
