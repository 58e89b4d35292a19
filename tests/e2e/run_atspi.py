#!/usr/bin/python3
# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Edits and saves the settings through AT-SPI alone, as a screen reader does: no pointer, no
keys, only what the program tells assistive technology and the actions it offers.

    dbus-run-session -- run_atspi.py --exe build/brackenholt-config

Runs under a private session bus (dbus-run-session), so the accessibility bus, its registry and
the program are this test's own. Exit status 0 when every check holds, 1 when one fails, 77
(skipped) when the X tools, pyatspi or a session bus are missing. ctest sets the environment it
needs (harness.py).
"""

import argparse
import os
import sys

from harness import CAPTION, CAPTIONS, SKIPPED, AppRun, DriverError, poll, run_cases
from scenario import DEFAULT_COLOURS, cfg

NAMES = [CAPTIONS[f"lblMessages({i})"] for i in range(14)]
COMPONENTS = [CAPTIONS[f"Label{c + 1}"] for c in range(3)]
START = cfg(colours=DEFAULT_COLOURS)


class Window:
    """The program's accessible objects, found by role and name as a screen reader finds them."""

    def __init__(self, pyatspi, frame):
        self.pyatspi = pyatspi
        found = {}

        def walk(node):
            for child in node:
                if child is not None:
                    found.setdefault((child.getRoleName(), child.name), child)
                    walk(child)

        walk(frame)
        self.found = found

    def get(self, role, name):
        try:
            return self.found[(role, name)]
        except KeyError:
            raise DriverError(f"no {role} named {name!r}; the program shows "
                              f"{sorted(self.found)}") from None

    @staticmethod
    def actions(obj):
        actions = obj.queryAction()
        return [actions.getName(i) for i in range(actions.nActions)]

    def act(self, obj, action):
        names = self.actions(obj)
        if action not in names:
            raise DriverError(f"{obj.name!r} offers {names}, not {action!r}")
        obj.queryAction().doAction(names.index(action))

    def selected(self, obj):
        return obj.getState().contains(self.pyatspi.STATE_SELECTED)

    def box_texts(self):
        return [self.get("text", c).queryText().getText(0, -1) for c in COMPONENTS]

    def bar_values(self):
        return [round(self.get("scroll bar", c).queryValue().currentValue) for c in COMPONENTS]


def find_frame(pyatspi, pump):
    """The program registers with the accessibility bus a little after its window shows."""
    desktop = pyatspi.Registry.getDesktop(0)

    def frame():
        pump()
        for app in desktop:
            if app is not None and app.name == CAPTION and app.childCount:
                return app[0]
        return None

    return poll("the program on the accessibility bus", frame, timeout=30)


def drive(pyatspi, pump, announced, app):
    w = Window(pyatspi, find_frame(pyatspi, pump))
    names = [w.get("list item", n) for n in NAMES]
    for name in names:
        if w.actions(name) != ["Press"]:
            raise DriverError(f"{name.name!r} offers {w.actions(name)}, not a press")
    if [w.selected(n) for n in names] != [i == 0 for i in range(14)]:
        raise DriverError("after start-up only \"System messages\" should be selected")

    def expect(what, probe, want):
        def holds():
            pump()
            return probe() == want

        poll(f"{what} to read {want}", holds, timeout=10)

    expect("the boxes", w.box_texts, [str(v) for v in DEFAULT_COLOURS[0]])

    # Quests by its press action: its colour comes into the boxes and bars, and the selection
    # moves to it, announced.
    w.act(names[3], "Press")
    expect("the boxes", w.box_texts, [str(v) for v in DEFAULT_COLOURS[3]])
    expect("the bars", w.bar_values, list(DEFAULT_COLOURS[3]))
    expect("the selection", lambda: [w.selected(n) for n in names],
           [i == 3 for i in range(14)])
    expect("the announced selection", lambda: announced[-1:], [NAMES[3]])
    for role in ("scroll bar", "text"):
        description = w.get(role, "Green").description
        if description != f"{COMPONENTS[1]} of {NAMES[3]}":
            raise DriverError(f"the green {role} is described as {description!r}")

    # A bar set through its value, a box through its text: each as the player's own edit.
    w.get("scroll bar", "Red").queryValue().currentValue = 10.0
    expect("the red box", lambda: w.box_texts()[0], "10")
    w.get("text", "Green").queryEditableText().setTextContents("77")
    expect("the green bar", lambda: w.bar_values()[1], 77)
    w.get("text", "Blue").queryEditableText().setTextContents("300")
    expect("the blue box", lambda: w.box_texts()[2], "255")

    # Another type: Quests keeps what it was given. Then an option, and OK.
    w.act(names[12], "Press")
    expect("the boxes", w.box_texts, [str(v) for v in DEFAULT_COLOURS[12]])
    keep = w.get("check box", "Keep bodies of dead NPCs")
    w.act(keep, "Toggle")
    expect("Keep bodies", lambda: keep.getState().contains(pyatspi.STATE_CHECKED), True)
    w.act(w.get("push button", "OK"), "Press")
    status = app.wait_for_exit()
    if status != 0:
        raise DriverError(f"exit status {status}; stderr: {app.stderr_text().strip()!r}")
    colours = list(DEFAULT_COLOURS)
    colours[3] = (10, 77, 255)
    with open(app.config_path, "rb") as saved:
        written = saved.read()
    if written != cfg(colours=colours, keep=1):
        raise DriverError(f"bh.cfg afterwards: {written!r}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    args = parser.parse_args()
    try:
        import pyatspi
        from gi.repository import GLib
    except ImportError:
        print("skipped: python3-pyatspi not installed (scripts/install-deps)")
        return SKIPPED
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        print("skipped: no session bus (run under dbus-run-session)")
        return SKIPPED

    # Selection changes arrive as events; the main loop is turned by hand while waiting.
    announced = []

    def on_selected(event):
        if event.detail1 == 1:
            announced.append(event.source.name)

    pyatspi.Registry.registerEventListener(on_selected, "object:state-changed:selected")
    context = GLib.MainContext.default()

    def pump():
        while context.iteration(False):
            pass

    def through_atspi(session, _case, _artifacts):
        app = AppRun(session, args.exe, START)
        app.extra_env.update(DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
                             QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        try:
            app.start()
            app.wait_for_main_window()
            drive(pyatspi, pump, announced, app)
        finally:
            app.stop()

    through_atspi.__name__ = "choose_edit_and_save_through_atspi"
    return run_cases([through_atspi], through_atspi)


if __name__ == "__main__":
    sys.exit(main())
