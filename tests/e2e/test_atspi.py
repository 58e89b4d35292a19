# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Edits and saves the settings through AT-SPI alone, as a screen reader does: no pointer, and
keys only where a player presses them with the reader running (Ctrl+Down); otherwise only what
the program tells assistive technology and the actions it offers. A second run plays the same
keys to the real Orca, speech off, and reads what it would have said from its debug log.

    dbus-run-session -- pytest tests/e2e/test_atspi.py --exe build/brackenholt-config

Runs under a private session bus (dbus-run-session), so the accessibility bus, its registry, Orca
and the program are this test's own. Skipped when pyatspi or a session bus is missing; the Orca
run alone without Orca, or while another Orca runs for this user.
"""

import os
import re
import shutil
import subprocess

import pytest

from harness import (CAPTION, COMPONENTS, DEFAULT_COLOURS, NAMES, AppRun, DriverError, cfg, poll,
                     read)


def choice(index, place=None):
    """What choosing a type by key announces, written out independently of the program."""
    red, green, blue = DEFAULT_COLOURS[index]
    place = f"{index + 1} of 14" + (f", {place}" if place else "")
    return f"{NAMES[index]}, {place}, red {red}, green {green}, blue {blue}"


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
        """A colour box by its component alone: its name says the type it edits too."""
        for (r, n), found in self.found.items():
            if r == role and (n == name or role == "text" and n.startswith(f"{name} of ")):
                return found
        raise DriverError(f"no {role} named {name!r}; the program shows {sorted(self.found)}")

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

    def attribute_runs(self, obj):
        text = obj.queryText()
        return [tuple(text.getAttributeRun(i)[1:]) for i in range(text.characterCount)]

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


def screen_reader(on):
    """What a desktop sets on the accessibility bus while the player has its screen reader on."""
    from gi.repository import Gio, GLib
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
        GLib.Variant("(ssv)", ("org.a11y.Status", "ScreenReaderEnabled", GLib.Variant("b", on))),
        None, Gio.DBusCallFlags.NONE, -1, None)


def test_ok_waits_for_no_one_without_a_screen_reader(atspi, app):
    """The accessibility bus on for some other tool: OK saves and closes at once, not after the
    seconds a reader would be given to fetch "Settings saved"."""
    screen_reader(False)
    app.start()
    app.wait_for_main_window()
    w = Window(atspi[0], find_frame(atspi[0], atspi[1]))
    w.act(w.get("push button", "OK"), "Press")
    app.wait_for_exit(timeout=1)
    app.check_folder(START)


def test_choose_edit_and_save_through_atspi(atspi, app):
    """Every control found by role and name, driven by its actions and values alone."""
    pyatspi, pump, announced, notices = atspi
    screen_reader(True)
    app.start()
    app.wait_for_main_window()
    frame = find_frame(pyatspi, pump)
    # A frame named by its title, so a reader announces it and its title command reads it.
    assert (frame.getRoleName(), frame.name) == ("frame", CAPTION)
    w = Window(pyatspi, frame)
    names = [w.get("list item", n) for n in NAMES]
    # The names are the items of one list, in their order, so a reader can say "2 of 14".
    panel = w.get("list", "Message types")
    assert [panel[i] for i in range(panel.childCount)] == names, "the list's items"
    assert all(n.parent == panel and n.getIndexInParent() == i for i, n in enumerate(names))
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

    def announces(what, act, text):
        """act makes the program announce exactly text, once."""
        since = len(notices)
        act()
        expect(what, lambda: notices[since:], [text])

    expect("the boxes", w.box_texts, [str(v) for v in DEFAULT_COLOURS[0]])
    # One run over the whole text: runs of no length make a reader drop the last digit.
    for box in ("Red", "Blue"):
        runs = w.attribute_runs(w.get("text", box))
        whole = (0, len(w.get("text", box).queryText().getText(0, -1)))
        if runs != [whole] * whole[1]:
            raise DriverError(f"the {box} box's text attribute runs are {runs}, not {whole}")

    # Ctrl+Down and Ctrl+Up change the type from wherever the focus is, and the new type is
    # announced, since the focus does not move to its name.
    for role, name, key, text in (("check box", "Dithering", "ctrl+Down", choice(1)),
                                  ("scroll bar", "Green", "ctrl+Down", choice(2)),
                                  ("text", "Blue", "ctrl+Up", choice(1)),
                                  ("push button", "OK", "ctrl+Up", choice(0, "first")),
                                  ("check box", "16-bit", "ctrl+Up", choice(0, "first"))):
        control = w.get(role, name)
        control.queryComponent().grabFocus()
        expect(f"the focus on the {role}",
               lambda c=control: c.getState().contains(pyatspi.STATE_FOCUSED), True)
        announces(f"the announcement after {key} on the {role}",
                  lambda: app.session.key(key), text)

    # Quests by its press action: its colour comes into the boxes and bars, and the selection
    # moves to it, announced.
    announces("the press on Quests", lambda: w.act(names[3], "Press"), choice(3))
    expect("the boxes", w.box_texts, [str(v) for v in DEFAULT_COLOURS[3]])
    expect("the bars", w.bar_values, list(DEFAULT_COLOURS[3]))
    expect("the selection", lambda: [w.selected(n) for n in names],
           [i == 3 for i in range(14)])
    expect("the announced selection", lambda: announced[-1:], [NAMES[3]])
    # A review of the screen, which reads by place, reads "chosen" on the line of that name.
    mark, quests = (o.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                    for o in (w.get("label", "chosen"), names[3]))
    assert mark.x < quests.x and quests.y <= mark.y + mark.height // 2 < quests.y + quests.height
    assert w.get("text", "Green").name == f"{COMPONENTS[1]} of {NAMES[3]}"  # said before its value
    # The list takes no focus: where a reader lands first and on each editor, how to choose.
    hint = "Ctrl+Up and Ctrl+Down choose the message type; on a pad, the shoulder buttons"
    for role, name, description in (("check box", "Full Screen", hint),
                                    ("scroll bar", "Green", f"Green of {NAMES[3]}. {hint}"),
                                    ("text", "Blue", hint)):
        assert w.get(role, name).description == description, f"the {name} {role}'s description"

    # A bar set through its value, a box through its text: each as the player's own edit.
    w.get("scroll bar", "Red").queryValue().currentValue = 10.0
    expect("the red box", lambda: w.box_texts()[0], "10")
    w.get("text", "Green").queryEditableText().setTextContents("77")
    expect("the green bar", lambda: w.bar_values()[1], 77)
    announces("the value that stands",
              lambda: w.get("text", "Blue").queryEditableText().setTextContents("300"), "255")
    expect("the blue box", lambda: w.box_texts()[2], "255")

    # Another type: Quests keeps what it was given. Then options, one with the depth rule's
    # changes to other boxes announced, and OK.
    announces("the press on Reason", lambda: w.act(names[12], "Press"), choice(12))
    expect("the boxes", w.box_texts, [str(v) for v in DEFAULT_COLOURS[12]])
    keep = w.get("check box", "Keep bodies of dead NPCs")
    w.act(keep, "Toggle")
    expect("Keep bodies", lambda: keep.getState().contains(pyatspi.STATE_CHECKED), True)
    announces("the depth rule's changes", lambda: w.act(w.get("check box", "16-bit"), "Toggle"),
              "32-bit off, W-Buffering on")
    announces("the save", lambda: w.act(w.get("push button", "OK"), "Press"), "Settings saved")
    app.wait_for_exit()
    colours = list(DEFAULT_COLOURS)
    colours[3] = (10, 77, 255)
    app.check_folder(cfg(options=(0, 0, 0, 0, 1), depth=16, colours=colours, keep=1))


def test_colour_check_through_atspi(atspi, app):
    """F1 brings a dialog a reader can read whole: each type's contrast, the look-alike pairs by
    vision, the palettes. A palette is announced and written nowhere; Escape gives the focus back."""
    pyatspi, pump, _, notices = atspi
    screen_reader(True)
    game = cfg(colours=[(255, 255, 255), (255, 255, 128), (255, 160, 64), (128, 255, 128),
                        (255, 96, 96), (160, 160, 255), (255, 0, 255), (255, 215, 0),
                        (192, 255, 255), (128, 192, 255), (192, 192, 192), (255, 128, 192),
                        (224, 224, 160), (0, 255, 192)])
    with open(app.config_path, "wb") as f:
        f.write(game)
    app.start()
    app.wait_for_main_window()
    frame = find_frame(pyatspi, pump)
    form = Window(pyatspi, frame)
    assert form.get("list", "Message types").description == "F1 checks the colours; on a pad, Y"
    app.session.key("F1")

    def window(probe):
        pump()
        w = Window(pyatspi, frame)
        return w if probe(w) else None

    w = poll("the colour check", lambda: window(lambda w: ("dialog", "Colour check") in w.found))
    # The game's colours on the panel's grey, worked out by hand, and the pairs they are known for.
    for row in ("NPC hits, contrast 3.5 to 1, hard to read", "Cheats, contrast 3.3 to 1, hard to "
                "read", "Targets, contrast 9.8 to 1"):
        w.get("label", row)
    pairs = {v: [i.name for i in w.get("list", f"Look alike {v}")] for v in (
        "with normal vision", "for red-blind players (protanopia)",
        "for green-blind players (deuteranopia)", "for blue-blind players (tritanopia)")}
    assert pairs["for red-blind players (protanopia)"] == ["System messages and Loots",
                                                           "Targets and Quests"], pairs
    assert "Potions and Cheats" in pairs["for green-blind players (deuteranopia)"], pairs
    since = len(notices)
    w.act(w.get("push button", "High contrast"), "Press")
    poll("the announcement", lambda: pump() or notices[since:] == ["High contrast colours applied"])
    poll("every row to read well", lambda: window(
        lambda w: not any("hard to read" in n for r, n in w.found if r == "label")))
    app.session.key("Escape")
    poll("the focus back on Full Screen", lambda: pump() or form.get(
        "check box", "Full Screen").getState().contains(pyatspi.STATE_FOCUSED))
    assert not w.get("dialog", "Colour check").getState().contains(pyatspi.STATE_SHOWING)
    app.session.close_window(app.window)
    app.wait_for_exit()
    app.check_folder(game)


# What Orca must say, step by step from the first focus on Full Screen: the type chosen from a
# check box, the last of a fast run of choices each way (each choice changes a dozen objects, and
# a flooded Orca drops the notice), the boxes the depth rule changed, the checked depth box that
# stays, the whole 255 in Targets' red box on focus, a refused letter and the value it left, the
# runs again from that box, whose text each choice rewrites, and on OK its "where am I" (keypad
# Enter), which must not press it, then Return.
# The last field: whether the window is still open with bh.cfg as it was, or saved and gone.
ORCA_STEPS = (
    (("ctrl+Down",), f"notification {choice(1)}.", "open"),
    (("ctrl+Down",) * 13, f"notification {choice(13, 'last')}.", "open"),
    (("ctrl+Up",) * 12, f"notification {choice(1)}.", "open"),
    (("Tab",) * 4 + ("space",), "notification 32-bit off, W-Buffering on.", "open"),
    (("space",), "notification 16-bit stays checked, one depth is always chosen.", "open"),
    (("Tab",) * 8, f"{DEFAULT_COLOURS[1][0]} selected.", "open"),
    (("x",), "notification 0, numbers 0 to 255.", "open"),
    (("ctrl+Down",) * 13, f"notification {choice(13, 'last')}.", "open"),
    (("ctrl+Up",) * 12, "notification Targets, 2 of 14, red 0, green {}, blue {}.".format(
        *DEFAULT_COLOURS[1][1:]), "open"),
    (("Tab",) * 3, "OK push button.", "open"),
    (("KP_Enter",), "OK push button.", "open"),
    (("Return",), "notification Settings saved.", "saved"),
)
START = cfg()
SAVED = cfg(options=(0, 0, 0, 0, 1), depth=16,
            colours=[DEFAULT_COLOURS[0], (0, *DEFAULT_COLOURS[1][1:]), *DEFAULT_COLOURS[2:]])


# Orca's own hook for a user's settings, run as it starts. Speech stays silent by giving Orca no
# speech server, not by turning speech off, which would keep its messages out of the log too.
# The log is written line by line, so each utterance can be read as soon as it is made.
ORCA_CUSTOMIZATIONS = """\
from orca import debug, settings
settings.speechServerFactory = ""
settings.enableBraille = False
debug.debugFile.reconfigure(line_buffering=True)
"""


def test_what_orca_says(atspi, session, app):
    """Plays ORCA_STEPS with the real Orca running."""
    if shutil.which("orca") is None:
        pytest.skip("orca not installed (scripts/install-deps)")
    prefs = os.path.join(session.workdir, "orca")
    os.makedirs(prefs)
    with open(os.path.join(prefs, "orca-customizations.py"), "w") as f:
        f.write(ORCA_CUSTOMIZATIONS)
    log = os.path.join(session.workdir, "orca-debug.log")
    output = os.path.join(session.workdir, "orca-output.log")
    env = dict(session.env, DBUS_SESSION_BUS_ADDRESS=os.environ["DBUS_SESSION_BUS_ADDRESS"],
               GSETTINGS_BACKEND="memory")
    screen_reader(True)  # as a desktop does when it starts Orca
    orca = session.spawn(["orca", "-u", prefs, "--debug-file", log], env=env,
                         stdout=open(output, "w"), stderr=subprocess.STDOUT)

    def said():
        if orca.poll() is not None:
            why = read(output).strip()
            if "already running" in why:
                pytest.skip(f"another Orca runs for this user: {why!r}")
            raise DriverError(f"Orca ended (status {orca.returncode}): {why!r}")
        return [m.group(1) for m in re.finditer(r"SPEECH OUTPUT: '(.*)' ?\{", read(log))]

    def hear(what, since):
        try:
            poll(f"Orca to say {what!r}", lambda: what in said()[since:], timeout=15)
        except DriverError as error:
            raise DriverError(f"{error}; it said {said()[since:]}") from None

    hear("Screen reader on.", 0)
    app.start()
    app.wait_for_main_window()
    # A program that shows its window before it is on the accessibility bus (a slow start) tells
    # Orca nothing of its first focus, so the focus goes away and comes back; Orca says nothing
    # new if it had heard of it.
    find_frame(atspi[0], atspi[1])
    app.session.key("Tab", "shift+Tab")
    hear("Full Screen check box not checked.", 0)
    for keys, utterance, after in ORCA_STEPS:
        since = len(said())
        app.session.key(*keys)
        hear(utterance, since)
        # A run of keys is told once, where it ends.
        notices = [u for u in said()[since:] if u.startswith("notification ")]
        assert notices in ([], [utterance]), f"after {keys[0]} x{len(keys)} Orca said {notices}"
        if after == "saved":
            app.wait_for_exit()
        assert app.process.poll() is None or after == "saved", f"{keys} closed the window"
        with open(app.config_path, "rb") as f:
            assert f.read() == (SAVED if after == "saved" else START), f"bh.cfg after {keys}"


@pytest.fixture(scope="module")
def atspi():
    """pyatspi, a pump that turns GLib's main loop by hand while waiting, and the selections
    and notifications announced so far (notices: a notification shown with the text as name)."""
    pyatspi = pytest.importorskip("pyatspi", reason="python3-pyatspi not installed")
    from gi.repository import GLib
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ:
        pytest.skip("no session bus (run under dbus-run-session)")
    announced, notices = [], []
    pyatspi.Registry.registerEventListener(
        lambda e: e.detail1 == 1 and announced.append(e.source.name),
        "object:state-changed:selected")
    pyatspi.Registry.registerEventListener(
        lambda e: (e.detail1 == 1 and e.source.getRole() == pyatspi.ROLE_NOTIFICATION
                   and notices.append(e.source.name)), "object:state-changed:showing")
    context = GLib.MainContext.default()

    def pump():
        while context.iteration(False):
            pass

    return pyatspi, pump, announced, notices


@pytest.fixture
def app(session, option):
    return AppRun(session, option("exe"), START, env={
        "DBUS_SESSION_BUS_ADDRESS": os.environ["DBUS_SESSION_BUS_ADDRESS"],
        "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
