# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
from gamefolder import game_folder  # noqa: F401  (the fixture, for every install test)
