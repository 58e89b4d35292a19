# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""~/.config and ~/.local of the user running the tests (dconf's database among them), saved
before the first test and compared after the last: python3 user_settings.py save|compare FILE.
Each entry by its path from home: its mode, and for a file its size and time of change."""

import json
import os
import sys

home, now = os.path.expanduser("~"), {}
for folder, dirs, files in (*os.walk(f"{home}/.config"), *os.walk(f"{home}/.local")):
    for path in (os.path.join(folder, name) for name in dirs + files):
        status = os.lstat(path)
        now[os.path.relpath(path, home)] = [status.st_mode, *(
            [status.st_size, status.st_mtime_ns] if os.path.isfile(path) else [])]
action, saved = sys.argv[1:]
if action == "save":
    with open(saved, "w") as out:
        json.dump(now, out)
    sys.exit(0)
with open(saved) as before_file:
    before = json.load(before_file)
changed = sorted(p for p in before.keys() | now.keys() if before.get(p) != now.get(p))
sys.exit("\n".join(f"~/{p} was {before.get(p)}, is {now.get(p)}" for p in changed) or 0)
