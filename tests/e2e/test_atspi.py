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
        """A colour bar or box by its component alone: its name says the type it edits too."""
        for (r, n), found in self.found.items():
            if r == role and (n == name or n.startswith(f"{name} of ")):
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


def assistive_technology(screen_reader):
    """The accessibility bus's flags: IsEnabled, as any assistive tool sets it, and
    ScreenReaderEnabled, which a desktop's switch sets while it runs its screen reader."""
    from gi.repository import Gio, GLib
    for flag, on in (("IsEnabled", True), ("ScreenReaderEnabled", screen_reader)):
        Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
            "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
            GLib.Variant("(ssv)", ("org.a11y.Status", flag, GLib.Variant("b", on))),
            None, Gio.DBusCallFlags.NONE, -1, None)


def test_ok_waits_for_no_one_without_a_screen_reader(atspi, app):
    """The accessibility bus on for some other tool, which follows no focus and hears no typing:
    OK saves and closes at once, not after the seconds a reader would be given to fetch
    "Settings saved"."""
    assistive_technology(screen_reader=False)
    app.start()
    app.wait_for_main_window()
    w = Window(atspi[0], find_frame(atspi[0], atspi[1]))
    w.act(w.get("push button", "OK"), "Press")
    app.wait_for_exit(timeout=1)
    app.check_folder(START)


def test_choose_edit_and_save_through_atspi(atspi, app):
    """Every control found by role and name, driven by its actions and values alone."""
    pyatspi, pump, announced, notices = atspi
    assistive_technology(screen_reader=True)
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
    for role in ("text", "scroll bar"):  # said before its value
        assert w.get(role, "Green").name == f"{COMPONENTS[1]} of {NAMES[3]}", f"the {role}'s name"
    # A review reads the bar by its text: what it edits and its value as set.
    assert w.get("scroll bar", "Green").queryText().getText(0, -1) == \
        f"{COMPONENTS[1]} of {NAMES[3]}, {DEFAULT_COLOURS[3][1]}"
    # The list takes no focus: where a reader lands first, how to choose, and only there. The
    # depth boxes are told as one choice.
    for role, name, description in (("check box", "Full Screen", HINT), ("scroll bar", "Green", ""),
                                    ("text", "Blue", ""), ("check box", "24-bit",
                                                           "Colour depth, 2 of 3")):
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
    assistive_technology(screen_reader=True)
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


HINT = "Ctrl+Up and Ctrl+Down choose the message type; on a pad, the shoulder buttons"


# What Orca must say, step by step after a round of Tab from the first focus on Full Screen: its
# "where am I" (keypad Enter) with the hint again, on request; a type chosen from a check box, at once and as it is (a single ctrl key's words are checked to be
# the first thing Orca says, within 0.3 s of the arrow); the first and the last of a fast run of
# choices each way (each choice changes a dozen objects, and a flooded Orca drops what it is told);
# the boxes the depth rule changed; the checked depth box that stays; the bar after a choice and
# Tab at once (no number of the bar left behind), its review, a choice from it; the whole 255 in
# Targets' red box on focus, and its review; a refused letter; the runs again from that box, whose
# text each choice rewrites; and on OK its "where am I" (keypad Enter), which must not press it,
# then Return. Review lines end with the control's words: the names of the list share its line.
# The last field: whether the window is still open with bh.cfg as it was, or saved and gone.
ORCA_STEPS = (
    (("KP_Enter",), f"{HINT}.", "open"),
    (("ctrl+Down",), choice(1), "open"),
    (("ctrl+Down",) * 13, choice(13, "last"), "open"),
    (("ctrl+Up",) * 12, choice(1), "open"),
    (("Tab",) * 4 + ("space",), "32-bit off, W-Buffering on", "open"),
    (("space",), "16-bit stays checked, one depth is always chosen", "open"),
    (("Tab",) * 6, f"Green of Targets scroll bar {DEFAULT_COLOURS[1][1]}.", "open"),
    (("ctrl+Down", "Tab"), f"Blue of Your hits scroll bar {DEFAULT_COLOURS[2][2]}.", "open"),
    (("shift+Tab",), f"Green of Your hits scroll bar {DEFAULT_COLOURS[2][1]}.", "open"),
    (("KP_Up",), f"Green of Your hits, {DEFAULT_COLOURS[2][1]}", "open"),
    (("KP_Subtract",), "Leaving flat review.", "open"),
    (("ctrl+Up",), choice(1), "open"),
    (("Tab",) * 2, f"{DEFAULT_COLOURS[1][0]} selected.", "open"),
    (("KP_Up",), f"Red of Targets, {DEFAULT_COLOURS[1][0]}", "open"),
    (("KP_Subtract",), "Leaving flat review.", "open"),
    (("x",), "0, numbers 0 to 255", "open"),
    (("ctrl+Down",) * 13, choice(13, "last"), "open"),
    (("ctrl+Up",) * 12, "Targets, 2 of 14, red 0, green {}, blue {}".format(
        *DEFAULT_COLOURS[1][1:]), "open"),
    (("Tab",) * 3, "OK push button.", "open"),
    (("KP_Enter",), "OK push button.", "open"),
    (("Return",), "notification Settings saved.", "saved"),
)
STAMP = r"(\d\d):(\d\d):(\d\d\.\d+) - "  # Orca's time of day on each line of its log


def seconds(stamped):
    return int(stamped[1]) * 3600 + int(stamped[2]) * 60 + float(stamped[3])


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
    """Plays ORCA_STEPS with the real Orca running, started on its own as from a terminal, which
    sets IsEnabled on the accessibility bus but not ScreenReaderEnabled."""
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
    assistive_technology(screen_reader=False)
    orca = session.spawn(["orca", "-u", prefs, "--debug-file", log], env=env,
                         stdout=open(output, "w"), stderr=subprocess.STDOUT)

    def said():
        if orca.poll() is not None:
            why = read(output).strip()
            if "already running" in why:
                pytest.skip(f"another Orca runs for this user: {why!r}")
            raise DriverError(f"Orca ended (status {orca.returncode}): {why!r}")
        return [m.group(1) for m in re.finditer(r"SPEECH OUTPUT: '(.*)' ?\[?\{", read(log))]

    def hear(what, since):
        try:
            poll(f"Orca to say {what!r}", lambda: any(u.endswith(what) for u in said()[since:]),
                 timeout=15)
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
    hear(f"{HINT}.", 0)
    def settle():
        """Waits until Orca has said nothing new for a moment."""
        heard = []
        poll("Orca to finish speaking", lambda: heard[-1:] == [len(said())] or heard.append(
            len(said())), timeout=10, interval=0.4)

    # One round of Tab, a control at a time: the hint is said once, where the player starts.
    settle()
    start = len(said())
    for _ in range(16):
        since = len(said())
        app.session.key("Tab")
        poll("Orca to say where Tab went", lambda: [u for u in said()[since:] if u[-1] != " "])
        settle()
    assert sum(HINT in u for u in said()[start:]) == 1, f"a round of Tab said {said()[start:]}"

    def first_words(key, logged):
        """What Orca said first of its own (no key echo) after it took key, and how soon."""
        tail = read(log)[logged:]
        took = re.search(rf"PROCESS ATSPI_KEY_PRESSED_EVENT: '{key}'.*?\n{STAMP}", tail, re.S)
        for spoken in re.finditer(rf"^{STAMP}SPEECH OUTPUT: '(.*)' ?\[?\{{", tail[took.end():],
                                  re.M):
            if spoken[4][-1] != " ":
                return spoken[4], seconds(spoken) - seconds(took)
        return None, None

    for keys, utterance, after in ORCA_STEPS:
        since, logged = len(said()), len(read(log))
        app.session.key(*keys)
        hear(utterance, since)
        if len(keys) == 1 and keys[0].startswith("ctrl+"):
            words, delay = first_words(keys[0][5:], logged)
            assert words == utterance and delay < 0.3, f"{keys}: {words!r} {delay} s after"
        # A choice's words say the value: no bare number of a bar or box, nor of one left at once.
        assert not (keys[0].startswith("ctrl+") and any(u.strip(" .").isdigit() for u in
                                                       said()[since:])), f"{keys}: {said()[since:]}"
        if after == "saved":
            app.wait_for_exit()
        assert app.process.poll() is None or after == "saved", f"{keys} closed the window"
        with open(app.config_path, "rb") as f:
            assert f.read() == (SAVED if after == "saved" else START), f"bh.cfg after {keys}"


@pytest.fixture(scope="module")
def atspi():
    """pyatspi, a pump that turns GLib's main loop by hand while waiting, and the selections
    and notices announced so far: a notification shown with the text as its name, or the words
    as the new description of the focused control."""
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
    # The words a reader speaks as they are: a description change that carries its text.
    pyatspi.Registry.registerEventListener(
        lambda e: isinstance(e.any_data, str) and notices.append(e.any_data),
        "object:property-change:accessible-description")
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
