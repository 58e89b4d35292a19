# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""What the Python tests share under pytest: the options ctest passes, a desktop session per
test as a fixture, and exit status 77 (ctest's skipped) when every test of a run was skipped."""

import os
import shutil
import tempfile

import pytest

pytest.register_assert_rewrite("harness", "scenario", "gamefolder")

import harness  # noqa: E402  (after the rewrite is registered)

# A new desktop is a new row: --session NAME picks it.
SESSIONS = {"openbox": harness.Session, "sway": harness.SwaySession,
            "mutter": harness.MutterSession, "weston": harness.WestonSession,
            "kwin": harness.KWinSession, "wine": harness.WineSession,
            "gamescope": harness.GamescopeSession}


def pytest_addoption(parser):
    for name, what in (
            ("exe", "the program to drive"),
            ("session", "the desktop: " + ", ".join(SESSIONS)),
            ("group", "the group of end-to-end scenarios"),
            ("keep", "folder for screenshots of failed checks"),
            ("launcher", "what starts the program (the Windows build's wine-run)"),
            ("helper", "file_helper.exe, which holds bh.cfg open under Wine"),
            ("fail-rename", "the library that makes the save's last rename fail"),
            ("virtual-pad", "the library that plugs a virtual game controller in"),
            ("game-folder", "a game folder laid out by cmake --install once per ctest run"),
            ("build", "the build tree"), ("source", "the source tree"),
            ("cmake", "cmake"), ("cpack", "cpack"), ("app-id", "the launcher entry's id"),
            ("app-version", "the program's version"), ("in-root", "the Debian root to play in")):
        parser.addoption(f"--{name}", help=what)
    parser.addoption("--whole-folder", action="store_true",
                     help="play in a copy of the whole folder --exe is in")
    parser.addoption("--windows", action="store_true", help="the Windows build's folder")


@pytest.fixture(scope="session")
def option(request):
    return lambda name: request.config.getoption(name)


@pytest.fixture
def screen():
    """The Xvfb's screen; a test module overrides it where the window needs more room."""
    return "1024x768x24"


@pytest.fixture
def session(request, screen):
    """The desktop --session names, on an Xvfb of its own, ended with everything it started."""
    kind = SESSIONS[request.config.getoption("session") or "openbox"]
    missing = [tool for tool in kind.TOOLS if shutil.which(tool) is None]
    if missing:
        pytest.skip(f"{', '.join(missing)} not installed (scripts/install-deps)")
    # Not pytest's tmp_path: its parents are closed to the unprivileged user sway runs as.
    workdir = tempfile.mkdtemp(prefix="bh-")
    try:
        with kind(workdir, screen) as desktop:
            if request.config.getoption("launcher"):
                desktop.launcher = [request.config.getoption("launcher")]
            yield desktop
    finally:
        shutil.rmtree(workdir, ignore_errors=True)


@pytest.fixture
def artifacts(request):
    folder = request.config.getoption("keep") or tempfile.gettempdir()
    os.makedirs(folder, exist_ok=True)
    return folder


def pytest_sessionfinish(session, exitstatus):
    """ctest counts a run whose every test was skipped as skipped (SKIP_RETURN_CODE 77)."""
    stats = session.config.pluginmanager.get_plugin("terminalreporter").stats
    if exitstatus == 0 and stats.get("skipped") and not stats.get("passed"):
        session.exitstatus = 77
