# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""register-launcher puts the menu entry and icons for the game folder it sits in under the
user's data folder; unregister-launcher takes exactly those away again."""

import os
import shutil

import pytest

from gamefolder import PROGRAM, check_launcher_files
from harness import run

# Every character an Exec key has to escape is in the moved folder's name.
MOVED = 'Brackenholt $HOME\'s "best" `game` \\ 100%'


@pytest.fixture
def game(game_folder, tmp_path):
    """The player has moved the game folder since it was installed: the entry must follow the
    folder the script is run from, not the install prefix."""
    game = tmp_path / "moved here" / MOVED
    shutil.copytree(game_folder, game, symlinks=True)
    return game


def player_env(home, data_home=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
    return dict(env, HOME=str(home), **({"XDG_DATA_HOME": str(data_home)} if data_home else {}))


def registered_files(share, app_id):
    return [share / "applications" / f"{app_id}.desktop", share / app_id / PROGRAM,
            *(share / "icons" / "hicolor" / f"{size}x{size}" / "apps" / f"{app_id}.png"
              for size in (32, 64))]


# Each row: how the player runs the script (from a folder, through a link on the desktop, with
# XDG_DATA_HOME set), and what would be wrong.
@pytest.mark.parametrize("cwd, link, data_home, fault", [
    # fmt: off
    pytest.param("/", None, False, "the entry names a path relative to where it was run", id="from another folder, by its full path"),
    pytest.param("/", "Desktop/register", False, "the entry names the link's folder instead of the game folder", id="through a link on the desktop"),
    pytest.param(None, None, True, "XDG_DATA_HOME is ignored and the menu never sees the entry", id="with XDG_DATA_HOME set"),
    pytest.param("/", None, "data home", "the entry lands under the working directory", id="with a relative XDG_DATA_HOME"),
    # fmt: on
])
def test_register_then_unregister(game, tmp_path, option, cwd, link, data_home, fault):
    home = tmp_path / "home"
    share = tmp_path / "data home" if data_home is True else home / ".local" / "share"
    env = player_env(home, data_home if isinstance(data_home, str) else share if data_home else None)
    script = game / "register-launcher"
    if link:
        (home / link).parent.mkdir(parents=True)
        (home / link).symlink_to(script)
        script = home / link
    run([script], cwd=cwd or game, env=env)
    for path in registered_files(share, option("app_id")):
        assert path.is_file(), fault
    check_launcher_files(share, option("app_id"), game / PROGRAM)

    # Unregistering leaves the game folder and everything else in the data folder alone.
    neighbour = share / "applications" / "someone-else.desktop"
    neighbour.write_text("[Desktop Entry]\n")
    run([game / "unregister-launcher"], cwd="/", env=env)
    assert [path for path in registered_files(share, option("app_id")) if path.exists()] == []
    assert neighbour.is_file(), "unregister-launcher removed another program's entry"
    assert (game / PROGRAM).is_file() and (game / "bh.cfg").is_file()


@pytest.mark.parametrize("name", ["tab\there", "carriage\rreturn"])
def test_register_in_a_folder_with_a_control_character(game, tmp_path, option, name):
    """GLib loads the entry although the folder's name holds what Exec cannot carry raw."""
    game = game.rename(game.parent / name)
    home = tmp_path / "home"
    run([game / "register-launcher"], cwd="/", env=player_env(home))
    check_launcher_files(home / ".local" / "share", option("app_id"), game / PROGRAM)


def test_unregister_when_nothing_is_registered(game, tmp_path):
    """No error: a player may run it twice."""
    run([game / "unregister-launcher"], cwd="/", env=player_env(tmp_path / "fresh home"))


def test_unregister_of_an_old_copy_leaves_the_new_copys_entry(game, tmp_path, option):
    """The update the folder's README describes: the new folder registered, then the old one
    unregistered. The menu still starts the new folder; the new folder's own script removes it."""
    new = tmp_path / "new copy"
    shutil.copytree(game, new, symlinks=True)
    env = player_env(tmp_path / "home")
    share = tmp_path / "home" / ".local" / "share"
    run([game / "register-launcher"], cwd="/", env=env)
    run([new / "register-launcher"], cwd="/", env=env)
    said = run([game / "unregister-launcher"], cwd="/", env=env).stdout
    assert "another copy" in said and str(new) in said, said
    check_launcher_files(share, option("app_id"), new / PROGRAM)
    run([new / "unregister-launcher"], cwd="/", env=env)
    assert [path for path in registered_files(share, option("app_id")) if path.exists()] == []


def test_register_outside_a_game_folder_refuses(game, tmp_path):
    """Rather than write an entry for a program that is not there."""
    shutil.copy2(game / "register-launcher", tmp_path)
    home = tmp_path / "stray home"
    assert run([tmp_path / "register-launcher"], False, cwd="/", env=player_env(home)).returncode
    assert not (home / ".local" / "share" / "applications").exists()
