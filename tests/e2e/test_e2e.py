# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""One group of end-to-end scenarios (scenarios.py) on one desktop, each on a display of its own:

    pytest tests/e2e/test_e2e.py --exe build/brackenholt-config --group colours [-k NAME]
    pytest tests/e2e/test_e2e.py --exe FOLDER/brackenholt-config --whole-folder --session sway
           --group wayland

--whole-folder plays each scenario in a copy of the whole folder --exe is in (a game folder
laid out by cmake --install, or the unpacked Windows .zip with --session wine --launcher)."""

import pytest

from scenario import run_scenario
from scenarios import GROUPS, SCREENS


def pytest_generate_tests(metafunc):
    scenarios = GROUPS[metafunc.config.getoption("group")]
    metafunc.parametrize("scenario", scenarios, ids=[s.name for s in scenarios])


@pytest.fixture
def screen(request, scenario):
    return scenario.screen or SCREENS.get(request.config.getoption("group"), "1024x768x24")


def test_scenario(session, scenario, option, artifacts):
    run_scenario(session, option("exe"), scenario, artifacts,
                 whole_folder=option("whole_folder") or bool(option("launcher")),
                 virtual_pad=option("virtual_pad"))
