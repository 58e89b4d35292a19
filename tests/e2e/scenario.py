# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""The vocabulary of the end-to-end scenarios: where things stand in the window, the steps a
player takes, the checks on a screenshot, and the runner that plays one scenario.

Coordinates are the client area's own pixels at scale 1; the runner multiplies them by the
window's scale, so one scenario reads the same at 2x.
"""

import dataclasses
import glob
import os
import re
import socket
import threading
import time

# cfg, centre, near_left and DEFAULT_COLOURS are part of the scenarios' vocabulary, handed on.
from harness import (DEFAULT_COLOURS, LAYOUT, WINDOW, AppRun, DriverError, centre, cfg, near_left,
                     poll)

WHITE = (255, 255, 255)
PANEL_FILL = (64, 64, 64)
LIGHT_GREY = (192, 192, 192)

# Where the controls stand, as (left, top, width, height), from the program's own layout.
CHECK_BOXES = {name: place for name, place in LAYOUT.items() if name.startswith("chk")}
SCROLL_BARS = [LAYOUT[f"scrColor({c})"] for c in range(3)]
TEXT_BOXES = [LAYOUT[f"txtColor({c})"] for c in range(3)]
OK_BUTTON = LAYOUT["cmdOK"]
PANEL = LAYOUT["shpMessages"]
DEBUG_PREVIEW = LAYOUT["imgDebugON"]
# The column of the option boxes and OK, where a click moves check marks and the focus, and all
# left of it; and below every control, the backdrop alone.
_OPTIONS_LEFT = min(place[0] for name, place in LAYOUT.items() if name.startswith(("chk", "cmd")))
OPTION_COLUMN = (_OPTIONS_LEFT, 0, WINDOW[2] - _OPTIONS_LEFT, WINDOW[3])
LEFT_OF_OPTIONS = (0, 0, _OPTIONS_LEFT, WINDOW[3])
_BELOW_CONTROLS = max(top + height for name, (_, top, _, height) in LAYOUT.items()
                      if name != "imgBase")
BACKDROP_ONLY = (0, _BELOW_CONTROLS, WINDOW[2], WINDOW[3] - _BELOW_CONTROLS)


def _label_area(name, right):
    """Where a label's caption is drawn: from its left edge up to the next control, so a search
    does not depend on how wide the face sets it."""
    left, top, _, height = LAYOUT[name]
    return (left, top, right - left, height)


def message_label(index):
    return _label_area(f"lblMessages({index})", SCROLL_BARS[0][0])


def caption_label(c):
    return _label_area(f"Label{c + 1}", TEXT_BOXES[c][0])


# Parts of a colour bar, as the toolkit draws it at its size: arrows of 13 pixels at either
# end, a thumb of 26 pixels that stands just below the upper arrow at value 0 (full intensity).
def _bar_point(c, from_top):
    left, top, width, _ = SCROLL_BARS[c]
    return left + width // 2, top + from_top


def bar_up_arrow(c):
    return _bar_point(c, 6)


def bar_down_arrow(c):
    return _bar_point(c, SCROLL_BARS[c][3] - 7)


def bar_thumb_at_top(c):
    return _bar_point(c, 26)


def bar_track_near_bottom(c):
    """Below the thumb for every value that does not put the thumb into the last fifth."""
    return _bar_point(c, SCROLL_BARS[c][3] - 19)


# --- Steps ----------------------------------------------------------------------------------


@dataclasses.dataclass
class Click:
    x: int
    y: int
    times: int = 1

    def run(self, ctx):
        ctx.app.click(self.x, self.y, self.times)


@dataclasses.dataclass
class MouseDown:
    x: int
    y: int

    def run(self, ctx):
        sx, sy = ctx.app.to_screen(self.x, self.y)
        ctx.session.xdotool("mousemove", sx, sy, "mousedown", 1)


@dataclasses.dataclass
class MouseMove:
    x: int
    y: int

    def run(self, ctx):
        sx, sy = ctx.app.to_screen(self.x, self.y)
        ctx.session.xdotool("mousemove", sx, sy)


@dataclasses.dataclass
class MouseUp:
    def run(self, ctx):
        ctx.session.xdotool("mouseup", 1)


@dataclasses.dataclass
class Key:
    """Key presses, in xdotool's names (Tab, space, Return, Escape, ctrl+a, ...)."""
    keys: tuple

    def __init__(self, *keys):
        self.keys = keys

    def run(self, ctx):
        ctx.session.key(*self.keys)


@dataclasses.dataclass
class Type:
    text: str

    def run(self, ctx):
        ctx.session.xdotool("type", "--delay", 40, self.text)


@dataclasses.dataclass
class Shot:
    """Takes screenshots until every check holds (or gives up), then keeps the last one under
    name for later comparisons. Checks that only say "nothing changed" pass before the program
    has caught up, so a shot that has them also needs one check that something did."""
    name: str
    checks: tuple

    def __init__(self, name, *checks):
        self.name, self.checks = name, checks

    def run(self, ctx):
        failures = []

        def all_hold():
            shot = ctx.app.client_shot()
            failures[:] = [f for f in (c.failure(shot, ctx) for c in self.checks) if f]
            if not failures:
                return shot
            return None

        try:
            ctx.app.shots[self.name] = poll(f"screenshot {self.name!r}", all_hold, timeout=15,
                                            interval=0.1)
        except DriverError:
            shot = ctx.app.client_shot()
            path = os.path.join(ctx.artifacts, f"{ctx.scenario.name}-{self.name}.ppm")
            shot.save_ppm(path)
            raise DriverError(f"screenshot {self.name!r} (saved as {path}):\n  " +
                              "\n  ".join(failures)) from None


@dataclasses.dataclass
class CloseThroughWindowManager:
    """What the title bar's close button does: the window manager (on Wayland the compositor)
    asks the window to close."""

    def run(self, ctx):
        ctx.session.close_window(ctx.app.window)


@dataclasses.dataclass
class CloseWithAltF4:
    """The window manager's close key. openbox now and then lets one press go by while the
    machine is busy (the window is active and focused, yet nothing is asked of it), so the key
    is pressed again, as a player would, a few times at most; a program that ignores the close
    request still keeps running and fails the scenario."""

    def run(self, ctx):
        for _ in range(3):
            ctx.session.key("alt+F4")
            deadline = time.monotonic() + 5
            while time.monotonic() < deadline:
                if not ctx.app.alive():
                    return
                time.sleep(0.05)


# What a desktop's title bar does; the session says where the bar is (title_bar).


def _settle(ctx, what, wanted=lambda window: True):
    """Waits until the window stands still (the same place and size in two reads in a row) where
    wanted says it should, and follows it there."""
    last = [None]

    def settled():
        if not ctx.app.alive():
            raise DriverError(f"the program ended (status {ctx.app.process.returncode}) while "
                              f"waiting for {what}; stderr: {ctx.app.stderr_text().strip()!r}")
        found = ctx.session.windows()
        place = tuple(found[0][k] for k in ("x", "y", "width", "height")) if found else None
        if place is not None and place == last[0] and wanted(found[0]):
            return found[0]
        last[0] = place
        return None

    ctx.app.window = poll(what, settled, timeout=15, interval=0.3)


def _bar_spot(ctx, from_right=None):
    """A point on the middle line of the bar: a quarter in from its left, or from_right bar
    heights in from its right end, where the buttons stand."""
    left, top, width, height = ctx.session.title_bar(ctx.app.window)
    x = left + width // 4 if from_right is None else left + width - int(height * from_right)
    return x, top + height // 2


@dataclasses.dataclass
class TitleBar:
    """A bar above the client area: mostly light, with the caption's dark letters on it. What a
    desktop shows around a window that has none is neither. The window manager may have placed
    the window since it was first seen, so the step follows it to where it stays."""

    def run(self, ctx):
        _settle(ctx, "the window to take its place")
        seen = []

        def drawn():
            left, top, width, height = ctx.session.title_bar(ctx.app.window)
            seen[:] = [ctx.session.screenshot()]
            bar = seen[0].crop(left, top, width, height)
            pixels = [p for _, _, p in bar.region_pixels(0, 0, width, height)]
            light = sum(1 for p in pixels if min(p) > 180)
            dark = sum(1 for p in pixels if max(p) < 100)
            return light > len(pixels) // 2 and dark >= 20

        try:
            poll("a title bar above the window", drawn, timeout=15, interval=0.2)
        except DriverError as error:
            path = os.path.join(ctx.artifacts, f"{ctx.scenario.name}-title-bar.ppm")
            seen[0].save_ppm(path)
            raise DriverError(f"{error} (screen saved as {path})") from None


@dataclasses.dataclass
class DragTitleBar:
    """Drags the bar by dx, dy at a hand's pace; the window must follow exactly."""
    dx: int
    dy: int

    def run(self, ctx):
        before = ctx.app.window
        x, y = _bar_spot(ctx)
        ctx.session.xdotool("mousemove", x, y, "mousedown", 1)
        for part in range(1, 5):
            time.sleep(0.1)
            ctx.session.xdotool("mousemove", x + self.dx * part // 4, y + self.dy * part // 4)
        ctx.session.xdotool("mouseup", 1)
        _settle(ctx, f"the window to move by {self.dx},{self.dy}",
                lambda w: (w["x"] - before["x"], w["y"] - before["y"]) == (self.dx, self.dy))


@dataclasses.dataclass
class DoubleClickTitleBar:
    """Whatever the desktop makes of it (nothing, or maximising), the program goes on."""

    def run(self, ctx):
        ctx.session.xdotool("mousemove", *_bar_spot(ctx), "click", "--repeat", 2,
                            "--delay", 80, 1)
        _settle(ctx, "the window to settle after a double click on its bar")


@dataclasses.dataclass
class ClickTitleBarButton:
    """Clicks the close button at the bar's right end, or the place left of it where a bar puts
    maximise (a bar without one takes it as a click on the bar)."""
    button: str

    def run(self, ctx):
        ctx.session.click(*_bar_spot(ctx, from_right={"close": 0.5, "maximise": 1.5}[self.button]))
        if self.button != "close":
            _settle(ctx, f"the window to settle after a click on {self.button}")


@dataclasses.dataclass
class ErrorBox:
    """Waits for the error box, makes sure the main window is not (or no longer) the only
    thing on screen as expected, and dismisses the box with Return as a player would."""
    main_window_shown: bool = False

    def run(self, ctx):
        box = ctx.app.wait_for_error_box()
        if not self.main_window_shown and ctx.app.main_windows():
            raise DriverError("the main window is on screen beside the error box")
        if (box["width"], box["height"]) == ctx.app.main_size:
            raise DriverError("the error box has the size of the main window")
        ctx.app.dismiss_error_box(box)


@dataclasses.dataclass
class FixedFrame:
    """The window tells the window manager it cannot be resized: its X size hints carry a
    minimum and a maximum, both the window's own size. (A Windows program under Wine gets them
    only when it has the fixed frame, not the sizing border.)"""

    def run(self, ctx):
        hints = ctx.session.run(["xprop", "-id", ctx.app.window["id"], "WM_NORMAL_HINTS"])
        size = {}
        for bound in ("minimum", "maximum"):
            found = re.search(rf"program specified {bound} size: (\d+) by (\d+)", hints)
            size[bound] = (int(found[1]), int(found[2])) if found else None
        if not size["minimum"] == size["maximum"] == ctx.app.main_size:
            raise DriverError(f"the window can be resized: minimum {size['minimum']}, maximum "
                              f"{size['maximum']}, size {ctx.app.main_size}:\n{hints.strip()}")


@dataclasses.dataclass
class LoseFolder:
    """Takes the program's folder away while the window is open and leaves a plain file in its
    place, so no file can be created there whatever the user's rights (root included). The old
    bh.cfg lives on, unchanged, in the moved folder; that is where the result is checked."""

    def run(self, ctx):
        moved = ctx.app.folder + ".moved"
        os.rename(ctx.app.folder, moved)
        with open(ctx.app.folder, "wb") as blocker:
            blocker.write(b"not a folder\n")
        ctx.folder = moved


# --- Checks on a screenshot -----------------------------------------------------------------


def scaled(rect, s):
    return tuple(v * s for v in rect)


def colour_text(rgb):
    return "(%d,%d,%d)" % tuple(rgb)


@dataclasses.dataclass
class Pixel:
    """Every physical pixel of one client-area pixel has exactly this colour."""
    x: int
    y: int
    rgb: tuple
    what: str

    def failure(self, shot, ctx):
        s = ctx.app.scale
        seen = {p for _, _, p in shot.region_pixels(self.x * s, self.y * s, s, s)}
        if seen != {tuple(self.rgb)}:
            return (f"{self.what}: pixel {self.x},{self.y} is "
                    f"{', '.join(map(colour_text, sorted(seen)))}, not {colour_text(self.rgb)}")
        return None


@dataclasses.dataclass
class Contains:
    """Some pixel in the rectangle has exactly this colour (a name drawn in it, say)."""
    rect: tuple
    rgb: tuple
    what: str

    def failure(self, shot, ctx):
        left, top, width, height = scaled(self.rect, ctx.app.scale)
        wanted = bytes(self.rgb)
        for y in range(top, top + height):
            row = shot.row(y, left, width)
            if any(row[i:i + 3] == wanted for i in range(0, len(row), 3)):
                return None
        return f"{self.what}: no pixel of {colour_text(self.rgb)} in {self.rect}"


@dataclasses.dataclass
class Lacks:
    rect: tuple
    rgb: tuple
    what: str

    def failure(self, shot, ctx):
        if Contains(self.rect, self.rgb, self.what).failure(shot, ctx) is None:
            return f"{self.what}: {colour_text(self.rgb)} appears in {self.rect}"
        return None


@dataclasses.dataclass
class Box:
    """A check box shows a check mark, or none. The mark is the only near-black thing in the
    box's indicator square; the caption stands to its right, outside the square."""
    name: str
    checked: bool

    def failure(self, shot, ctx):
        s = ctx.app.scale
        left, top, _, _ = CHECK_BOXES[self.name]
        dark = sum(1 for _, _, p in shot.region_pixels(left * s, (top + 2) * s, 17 * s, 21 * s)
                   if max(p) < 64)
        shown = dark >= 6 * s * s
        if shown != self.checked:
            return f"{self.name} is {'checked' if shown else 'unchecked'} on screen"
        return None


def _differing(shot, ref, rect, s):
    left, top, width, height = scaled(rect, s)
    for y in range(top, top + height):
        a, b = shot.row(y, left, width), ref.row(y, left, width)
        if a != b:
            for x in range(width):
                if a[x * 3:x * 3 + 3] != b[x * 3:x * 3 + 3]:
                    yield (left + x) // s, y // s


@dataclasses.dataclass
class Same:
    """The rectangle looks exactly as it did in an earlier screenshot of this run."""
    ref: str
    rect: tuple
    what: str

    def failure(self, shot, ctx):
        for x, y in _differing(shot, ctx.app.shots[self.ref], self.rect, ctx.app.scale):
            return f"{self.what}: {x},{y} differs from screenshot {self.ref!r}"
        return None


@dataclasses.dataclass
class Differs:
    ref: str
    rect: tuple
    what: str

    def failure(self, shot, ctx):
        for _ in _differing(shot, ctx.app.shots[self.ref], self.rect, ctx.app.scale):
            return None
        return f"{self.what}: {self.rect} is unchanged since screenshot {self.ref!r}"


@dataclasses.dataclass
class ChangedOnlyWithin:
    """Every pixel that differs from an earlier screenshot lies inside one of the rectangles."""
    ref: str
    rects: tuple
    what: str

    def failure(self, shot, ctx):
        def inside(x, y):
            return any(l <= x < l + w and t <= y < t + h for l, t, w, h in self.rects)

        for x, y in _differing(shot, ctx.app.shots[self.ref], WINDOW, ctx.app.scale):
            if not inside(x, y):
                return f"{self.what}: {x},{y} changed since screenshot {self.ref!r}"
        return None


@dataclasses.dataclass
class NotPixelDoubled:
    """At scale 2 a picture drawn from its double-size version has detail inside 2 x 2 blocks of
    screen pixels. The normal-size picture, which the toolkit draws on a 2x screen by repeating
    each pixel, has none: every block is one colour. Counts the blocks whose pixels differ by
    more than a faint step."""
    rect: tuple
    min_share: float
    what: str

    def failure(self, shot, ctx):
        s = ctx.app.scale
        left, top, width, height = scaled(self.rect, s)
        blocks = detailed = 0
        for y in range(top, top + height - 1, 2):
            upper, lower = shot.row(y, left, width), shot.row(y + 1, left, width)
            for i in range(0, width * 3 - 3, 6):
                quad = (upper[i:i + 3], upper[i + 3:i + 6], lower[i:i + 3], lower[i + 3:i + 6])
                spread = max(max(p[k] for p in quad) - min(p[k] for p in quad) for k in range(3))
                blocks += 1
                detailed += spread > 8
        share = detailed / max(blocks, 1)
        if share < self.min_share:
            return (f"{self.what}: only {share:.2%} of 2x2 blocks show detail "
                    f"(want at least {self.min_share:.2%}): drawn from the normal-size picture?")
        return None


# --- Scenarios ------------------------------------------------------------------------------

UNCHANGED = "unchanged"
ABSENT = "absent"


@dataclasses.dataclass
class Scenario:
    name: str
    config: bytes  # None: no bh.cfg at all
    steps: list
    expect_file: object  # the bytes of bh.cfg afterwards, UNCHANGED or ABSENT
    expect_status: int
    shows_window: bool = True  # False: the program must stop at its error box
    scale: int = 1
    folder: bytes = b"game"  # the game folder's name, as the file system holds it
    # "silent" or "hangup": WAYLAND_DISPLAY names a compositor that never answers, or one that
    # hangs up at once, and DISPLAY the session's X server.
    compositor: str = None


def fake_compositor(workdir, kind):
    """A Wayland socket whose compositor accepts and then never answers or hangs up at once."""
    path = os.path.join(workdir, f"wayland-{kind}")
    server = socket.socket(socket.AF_UNIX)
    server.bind(path)
    server.listen(8)
    held = []

    def serve():
        while True:
            connection, _ = server.accept()
            held.append(connection) if kind == "silent" else connection.close()

    threading.Thread(target=serve, daemon=True).start()
    return {"WAYLAND_DISPLAY": path, "XDG_SESSION_TYPE": "wayland", "QT_QPA_PLATFORM": ""}


class Context:
    def __init__(self, session, scenario, app, artifacts):
        self.session, self.scenario, self.app, self.artifacts = session, scenario, app, artifacts
        self.folder = app.folder


def flatten(steps):
    for step in steps:
        if isinstance(step, (list, tuple)):
            yield from flatten(step)
        else:
            yield step


_TRACE_START = [time.monotonic()]


def trace(text):
    """With BH_E2E_TRACE set, prints when each step ended: where a slow scenario spends it."""
    if os.environ.get("BH_E2E_TRACE"):
        print(f"  {time.monotonic() - _TRACE_START[0]:6.2f} s  {text}", flush=True)


def run_scenario(session, executable, scenario, artifacts, whole_folder=False, launcher=()):
    _TRACE_START[0] = time.monotonic()
    app = AppRun(session, executable, scenario.config, scale=scenario.scale,
                 whole_folder=whole_folder, launcher=launcher, folder_name=scenario.folder)
    if scenario.compositor:
        app.extra_env.update(fake_compositor(session.workdir, scenario.compositor))
    ctx = Context(session, scenario, app, artifacts)
    try:
        app.start()
        if scenario.shows_window:
            app.wait_for_main_window()
            _check_identity(app)
            if launcher:
                # Wine gives keys only to a window that has the pointer over it: rest it on
                # the backdrop, below the panel, where no control reacts to it.
                session.xdotool("mousemove", *app.to_screen(320, 470))
        trace("window up")
        for number, step in enumerate(flatten(scenario.steps), 1):
            try:
                step.run(ctx)
                trace(f"step {number} {type(step).__name__}")
            except DriverError as error:
                label = getattr(step, "name", "")
                raise DriverError(f"step {number} ({type(step).__name__} {label}): {error}"
                                  ) from None
        status = app.wait_for_exit()
        if status != scenario.expect_status:
            raise DriverError(f"exit status {status}, expected {scenario.expect_status}; "
                              f"stderr: {app.stderr_text().strip()!r}")
        # A game folder started on its desktop says nothing on standard error.
        if whole_folder and not launcher and app.stderr_text():
            raise DriverError(f"standard error is not empty: {app.stderr_text().strip()!r}")
        _check_folder(ctx)
    finally:
        app.stop()


def _check_identity(app):
    """A desktop that knows windows by app id (Wayland) must be told the menu entry's name, and
    a folder that brings its own Qt plug-ins must have those loaded, and no others."""
    entries = glob.glob(os.path.join(app.folder, "share", "applications", "*.desktop"))
    if "app_id" in app.window and entries:
        wanted = os.path.basename(entries[0])[:-len(".desktop")]
        if app.window["app_id"] != wanted:
            raise DriverError(f"the window's app id is {app.window['app_id']!r}, not the menu "
                              f"entry's name {wanted!r}")
    plugins = os.path.join(app.folder, "plugins")
    if os.path.isdir(plugins):
        with open(f"/proc/{app.process.pid}/maps") as maps:
            mapped = {fields[5].strip() for fields in (line.split(None, 5) for line in maps)
                      if len(fields) == 6}
        loaded = sorted(path for path in mapped if "/plugins/" in path)
        if (not any("/platforms/" in path for path in loaded)
                or any(not path.startswith(plugins + "/") for path in loaded)):
            raise DriverError(f"Qt plug-ins loaded: {loaded}, not the folder's own")


def _check_folder(ctx):
    expected = {ABSENT: None, UNCHANGED: ctx.scenario.config}.get(ctx.scenario.expect_file,
                                                                 ctx.scenario.expect_file)
    ctx.app.check_folder(expected, ctx.folder)
