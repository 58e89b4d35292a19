# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""The settings of the user who runs the tests, ~/.config and ~/.local (dconf's database among
them), as they stand: saved before the first test and compared after the last (ctest's fixture
user_settings). Every test keeps what it sets to folders of its own or in memory.

    python3 user_settings.py save|compare SNAPSHOT
"""

import json
import os
import stat
import sys


def snapshot():
    """Each entry under the two folders by its path from the home folder: its type and
    permissions, and for a file its size and time of change, for a link its target."""
    home = os.path.expanduser("~")
    seen = {}
    for top in (".config", ".local"):
        for folder, dirs, files in os.walk(os.path.join(home, top)):
            for name in dirs + files:
                path = os.path.join(folder, name)
                try:
                    status = os.lstat(path)
                except FileNotFoundError:
                    continue
                entry = [status.st_mode]
                if stat.S_ISREG(status.st_mode):
                    entry += [status.st_size, status.st_mtime_ns]
                elif stat.S_ISLNK(status.st_mode):
                    entry.append(os.readlink(path))
                seen[os.path.relpath(path, home)] = entry
    return seen


def main(action, saved):
    now = snapshot()
    if action == "save":
        with open(saved, "w") as out:
            json.dump(now, out)
        return 0
    with open(saved) as before_file:
        before = json.load(before_file)
    changes = [f"added {p}" for p in sorted(now.keys() - before.keys())]
    changes += [f"removed {p}" for p in sorted(before.keys() - now.keys())]
    changes += [f"changed {p}" for p in sorted(now.keys() & before.keys()) if now[p] != before[p]]
    for change in changes:
        print(f"~/{change}")
    return 1 if changes else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
