#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""register-launcher puts the menu entry and icons for the game folder it sits in under the
user's data folder; unregister-launcher takes exactly those away again."""

import os
import shutil

from gamefolder import PROGRAM, Failures, check_launcher_files, parse_options, run, temp_dir

opts = parse_options()
app_id = opts.app_id

f = Failures()
root, installed = temp_dir("launcher")


def registered_files(share):
    return [share / "applications" / f"{app_id}.desktop", share / app_id / PROGRAM,
            share / "icons" / "hicolor" / "32x32" / "apps" / f"{app_id}.png",
            share / "icons" / "hicolor" / "64x64" / "apps" / f"{app_id}.png"]


def player_env(home, data_home=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
    env["HOME"] = str(home)
    if data_home is not None:
        env["XDG_DATA_HOME"] = str(data_home)
    return env


try:
    result = run([opts.cmake, "--install", opts.build, "--prefix", installed])
    if not f.check(result.returncode == 0, "cmake --install failed"):
        f.finish()

    # The player has moved the game folder since it was installed: the entry must follow the
    # folder the script is run from, not the install prefix.
    # Every character an Exec key has to escape is in its name.
    game = root / "moved here" / 'Brackenholt $HOME\'s "best" `game` \\ 100%'

    game.parent.mkdir()
    installed.rename(game)

    # Each row: how the player runs the script, where the files must land, what would be wrong.
    home = root / "home"
    data_home = root / "data home"
    CASES = [
        ("from another folder, by its full path", {"cwd": "/"}, player_env(home),
         home / ".local" / "share", "the entry names a path relative to where it was run"),
        ("through a link on the desktop", {"link": home / "Desktop" / "register"},
         player_env(home), home / ".local" / "share",
         "the entry names the link's folder instead of the game folder"),
        ("with XDG_DATA_HOME set", {"cwd": game}, player_env(home, data_home), data_home,
         "XDG_DATA_HOME is ignored and the menu never sees the entry"),
        ("with a relative XDG_DATA_HOME", {"cwd": root}, player_env(home, "data home"),
         home / ".local" / "share", "the entry lands under the working directory"),
    ]
    for name, how, env, share, fault in CASES:
        script = game / "register-launcher"
        if "link" in how:
            how["link"].parent.mkdir(parents=True, exist_ok=True)
            how["link"].symlink_to(script)
            script = how["link"]
        result = run([script], cwd=how.get("cwd", "/"), env=env)
        if not f.check(result.returncode == 0, f"register-launcher {name} failed"):
            continue
        for path in registered_files(share):
            f.check(path.is_file(), f"register-launcher {name}: {path} missing: {fault}")
        check_launcher_files(f, share, app_id, game / PROGRAM, f"register-launcher {name}")

        # Unregistering leaves the game folder and everything else in the data folder alone.
        neighbour = share / "applications" / "someone-else.desktop"
        neighbour.write_text("[Desktop Entry]\n")
        result = run([game / "unregister-launcher"], cwd="/", env=env)
        f.check(result.returncode == 0, f"unregister-launcher after registering {name} failed")
        for path in registered_files(share):
            f.check(not path.exists(), f"unregister-launcher left {path}")
        f.check(neighbour.is_file(), "unregister-launcher removed another program's entry")
        f.check((game / PROGRAM).is_file() and (game / "bh.cfg").is_file(),
                "unregister-launcher touched the game folder")
        neighbour.unlink()

    # A tab or a CR in the folder's name must not reach the entry's Exec.
    for odd in ("tab\there", "carriage\rreturn"):
        game = game.rename(game.parent / odd)
        result = run([game / "register-launcher"], cwd="/", env=player_env(home))
        if f.check(result.returncode == 0, f"register-launcher in folder {odd!r} failed"):
            check_launcher_files(f, home / ".local" / "share", app_id, game / PROGRAM,
                                 f"register-launcher in folder {odd!r}")

    # Unregistering what was never registered is no error: a player may run it twice.
    result = run([game / "unregister-launcher"], cwd="/", env=player_env(root / "fresh home"))
    f.check(result.returncode == 0, "unregister-launcher fails when nothing is registered")

    # Run from a folder that is not a game folder, it must refuse rather than write an entry
    # for a program that is not there.
    stray = root / "stray"
    stray.mkdir()
    shutil.copy2(game / "register-launcher", stray)
    stray_home = root / "stray home"
    result = run([stray / "register-launcher"], cwd="/", env=player_env(stray_home))
    f.check(result.returncode != 0, "register-launcher outside a game folder did not refuse")
    f.check(not (stray_home / ".local" / "share" / "applications").exists(),
            "register-launcher outside a game folder still wrote an entry")
finally:
    shutil.rmtree(root, ignore_errors=True)

f.finish()
