# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""The vocabulary of the end-to-end scenarios: where things stand in the window, the steps a
player takes, the checks on a screenshot, and the runner that plays one scenario.

Coordinates are the client area's own pixels at scale 1; the runner multiplies them by the
window's scale, so one scenario reads the same at 2x.
"""

import dataclasses
import functools
import glob
import os
import socket
import threading
import time
import types

from PIL import Image, ImageChops

# cfg, centre, near_left and DEFAULT_COLOURS are part of the scenarios' vocabulary, handed on.
from harness import (DEFAULT_COLOURS, LAYOUT, WINDOW, AppRun, DriverError, centre, cfg,
                     check_own_qt, near_left, poll)

WHITE = (255, 255, 255)
PANEL_FILL = (64, 64, 64)
LIGHT_GREY = (192, 192, 192)

# Where the controls stand, as (left, top, width, height), from the layout in harness.py.
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
_BELOW_CONTROLS = max(top + height for _, top, _, height in LAYOUT.values())
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


def step(do):
    """Makes do(ctx, *args) a step of the scenarios: Name(*args) is the step, its name and args
    what a failure reports. Points are in the client area's own pixels."""

    @functools.wraps(do)
    def make(*args, **kwargs):
        step = lambda ctx: do(ctx, *args, **kwargs)  # noqa: E731
        step.name = f"{do.__name__} {' '.join(map(str, args))}"[:60]
        return step

    return make


@step
def Click(ctx, x, y, times=1):
    ctx.app.click(x, y, times)


@step
def MouseDown(ctx, x, y):
    ctx.session.xdotool("mousemove", *ctx.app.to_screen(x, y), "mousedown", 1)


@step
def MouseMove(ctx, x, y):
    ctx.session.xdotool("mousemove", *ctx.app.to_screen(x, y))


@step
def MouseUp(ctx):
    ctx.session.xdotool("mouseup", 1)


@step
def Key(ctx, *keys):
    """Key presses, in xdotool's names (Tab, space, Return, Escape, ctrl+a, ...)."""
    ctx.session.key(*keys)


@step
def Pad(ctx, *buttons):
    """Buttons of the virtual game controller pressed in turn, in SDL's names (a, dpdown, ...);
    returns once the program has had each one, or has ended."""
    ctx.pads = getattr(ctx, "pads", 0) + 1
    with open(ctx.pad, "w") as fifo:  # opened once the program reads pads
        fifo.write(" ".join(buttons) + "\n")
    done = ctx.pad + ".done"
    poll("the buttons to be pressed", lambda: ctx.app.process.poll() is not None or (
        os.path.exists(done) and open(done).read().count("\n") >= ctx.pads))


@step
def Type(ctx, text):
    ctx.session.xdotool("type", "--delay", 40, text)


@step
def CloseThroughWindowManager(ctx):
    """What the title bar's close button does: the window manager (on Wayland the compositor)
    asks the window to close."""
    ctx.session.close_window(ctx.app.window)


@step
def Shot(ctx, name, *checks):
    """Takes screenshots until every check holds, keeping the last under name. Checks that only
    say "nothing changed" pass before the program catches up, so such a shot needs a change too."""
    failures = []

    def all_hold():
        shot = ctx.app.client_shot()
        failures[:] = [f for f in (c.failure(shot, ctx) for c in checks) if f]
        return None if failures else shot

    try:
        ctx.app.shots[name] = poll(f"screenshot {name!r}", all_hold, timeout=15, interval=0.1)
    except DriverError:
        path = os.path.join(ctx.artifacts, f"{ctx.scenario.name}-{name}.png")
        ctx.app.client_shot().save(path)
        raise DriverError(f"screenshot {name!r} (saved as {path}):\n  " + "\n  ".join(failures)
                          ) from None


@step
def CloseWithAltF4(ctx):
    """The window manager's close key, pressed again a few times at most, as a player would: a
    busy openbox now and then lets one go by. A program that ignores it keeps running and fails."""
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
        ctx.app.check_alive(what)
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


@step
def TitleBar(ctx):
    """A bar above the client area: mostly light, with the caption's dark letters on it (what a
    desktop shows around a window without one is neither), wherever the window manager put it."""
    _settle(ctx, "the window to take its place")
    seen = []

    def drawn():
        left, top, width, height = ctx.session.title_bar(ctx.app.window)
        seen[:] = [ctx.session.screenshot().convert("RGB")]
        pixels = list(seen[0].crop((left, top, left + width, top + height)).getdata())
        light = sum(1 for p in pixels if min(p) > 180)
        dark = sum(1 for p in pixels if max(p) < 100)
        return light > len(pixels) // 2 and dark >= 20

    try:
        poll("a title bar above the window", drawn, timeout=15, interval=0.2)
    except DriverError as error:
        path = os.path.join(ctx.artifacts, f"{ctx.scenario.name}-title-bar.png")
        seen[0].save(path)
        raise DriverError(f"{error} (screen saved as {path})") from None


@step
def DragTitleBar(ctx, dx, dy):
    """Drags the bar by dx, dy at a hand's pace; the window must follow exactly."""
    before = ctx.app.window
    x, y = _bar_spot(ctx)
    ctx.session.xdotool("mousemove", x, y, "mousedown", 1)
    for part in range(1, 5):
        time.sleep(0.1)
        ctx.session.xdotool("mousemove", x + dx * part // 4, y + dy * part // 4)
    ctx.session.xdotool("mouseup", 1)
    _settle(ctx, f"the window to move by {dx},{dy}",
            lambda w: (w["x"] - before["x"], w["y"] - before["y"]) == (dx, dy))


@step
def DoubleClickTitleBar(ctx, stays=False):
    """Whatever the desktop makes of it (nothing, or maximising), the program goes on; with
    stays, where a double click maximises what may be maximised, the window must stay as it was."""
    before = ctx.app.window
    ctx.session.xdotool("mousemove", *_bar_spot(ctx), "click", "--repeat", 2, "--delay", 80, 1)
    _settle(ctx, "the window to settle after a double click on its bar",
            lambda w: not stays or all(w[k] == before[k] for k in ("x", "y", "width", "height")))


@step
def ClickTitleBarButton(ctx, button):
    """Clicks the close button at the bar's right end, or the place left of it where a bar puts
    maximise (a bar without one takes it as a click on the bar)."""
    ctx.session.click(*_bar_spot(ctx, from_right={"close": 0.5, "maximise": 1.5}[button]))
    if button != "close":
        _settle(ctx, f"the window to settle after a click on {button}")


@step
def FullScreen(ctx, on):
    """Full screen on or off as the window menu does it. The window must take the whole screen,
    the form centred on black, or stand at its own size again, where the compositor says."""
    ctx.session.full_screen(ctx.app.window)
    size = ctx.session.screenshot().size if on else ctx.app.main_size
    _settle(ctx, f"the window to be {size}", lambda w: (w["width"], w["height"]) == size)

    def black_around():
        shot = ctx.session.screenshot().convert("RGB")
        shot.paste((0, 0, 0), box((*ctx.app.form_origin(), *ctx.app.main_size), 1))
        return shot.getbbox() is None

    if on:
        poll("nothing but black around the form", black_around, timeout=15, interval=0.2)


@step
def ErrorBox(ctx, main_window_shown=False):
    """Waits for the error box, with no main window beside it unless main_window_shown, and
    dismisses it with Return as a player would."""
    box = ctx.app.wait_for_error_box()
    if not main_window_shown and ctx.app.main_windows():
        raise DriverError("the main window is on screen beside the error box")
    ctx.app.dismiss_error_box(box)


@step
def FixedFrame(ctx):
    """The window cannot be resized: the smallest and largest size it asks the window manager for
    are both its own (a Windows program under Wine asks so only with the fixed frame, not the
    sizing border), so no desktop offers to maximise it."""
    size = ctx.session.size_limits(ctx.app.window)
    if size != [ctx.app.main_size] * 2:
        raise DriverError(f"the window can be resized: {size}, size {ctx.app.main_size}")


@step
def OnScreen(ctx, whole=True):
    """The whole window lies on the screen, none of it past an edge (or only its top left)."""
    w, shot = ctx.app.window, ctx.session.screenshot()
    if min(w["x"], w["y"]) < 0 or whole and (w["x"] + w["width"] > shot.width or
                                             w["y"] + w["height"] > shot.height):
        raise DriverError(f"the window {w} is not wholly on the {shot.width}x{shot.height} screen")


@step
def DrawnAsQtScales(ctx, ref):
    """The form is centred, and shot ref is the form as Qt draws it told the scale by
    QT_SCALE_FACTOR (which Wine hands no Windows program), in a second run ended unsaved."""
    app, width, left = ctx.app, ctx.session.screenshot().width, ctx.app.window["x"]
    if abs(2 * left + app.main_size[0] - width) > 2:
        raise DriverError(f"the form at x {left} is not centred on the screen")
    if ctx.session.launcher:
        return
    qt = AppRun(ctx.session, ctx.run[0], ctx.scenario.config, app.scale, ctx.run[1])
    qt.others.add(app.window["id"])
    try:
        qt.start()
        qt.wait_for_main_window()
        diff = ImageChops.difference(qt.client_shot(), app.shots[ref]).getbbox()
        if diff or qt.window["x"] != left:
            raise DriverError(f"not Qt's form at {app.scale}: {diff}, {qt.window}")
    finally:
        qt.stop()


@step
def LoseFolder(ctx):
    """Renames the folder while the window is open, leaving a plain file in its place where
    nothing, root included, can create a file; bh.cfg is checked in the renamed folder."""
    moved = ctx.app.folder + ".moved"
    os.rename(ctx.app.folder, moved)
    with open(ctx.app.folder, "wb") as blocker:
        blocker.write(b"not a folder\n")
    ctx.folder = moved


# --- Checks on a screenshot -----------------------------------------------------------------
# Each returns None when it holds, else what is wrong. Rectangles are in the client area's own
# pixels at scale 1; box() gives the physical pixels Pillow crops.


def box(rect, s):
    left, top, width, height = (v * s for v in rect)
    return left, top, left + width, top + height


def colours_in(shot, rect, s):
    area = shot.crop(box(rect, s))
    return {rgb for _, rgb in area.getcolors(area.width * area.height)}


@dataclasses.dataclass
class Pixel:
    """Every physical pixel of one client-area pixel has exactly this colour."""
    x: int
    y: int
    rgb: tuple
    what: str

    def failure(self, shot, ctx):
        seen = colours_in(shot, (self.x, self.y, 1, 1), ctx.app.scale)
        if seen != {self.rgb}:
            return f"{self.what}: pixel {self.x},{self.y} is {sorted(seen)}, not {self.rgb}"
        return None


@dataclasses.dataclass
class Contains:
    """Some pixel in the rectangle has exactly this colour (a name drawn in it, say)."""
    rect: tuple
    rgb: tuple
    what: str
    present: bool = True  # False: no pixel has it

    def failure(self, shot, ctx):
        if (self.rgb in colours_in(shot, self.rect, ctx.app.scale)) != self.present:
            return f"{self.what}: {self.rgb} {'missing from' if self.present else 'in'} {self.rect}"
        return None


def Lacks(rect, rgb, what):
    return Contains(rect, rgb, what, present=False)


@dataclasses.dataclass
class CaptionInk:
    """A check box's caption is this many pixels wide in ink right of the indicator, within one."""
    name: str
    width: int

    def failure(self, shot, ctx):
        left, top, width, height = CHECK_BOXES[self.name]
        area = shot.crop(box((left + 16, top, width - 16, height), ctx.app.scale)).convert("L")
        ink = area.point(lambda v: 255 if v < 128 else 0).getbbox() or (0, 0, 0, 0)
        seen = (ink[2] - ink[0]) / ctx.app.scale
        return f"{self.name}: caption {seen:g} wide" if abs(seen - self.width) > 1 else None


@dataclasses.dataclass
class Box:
    """A check box shows a check mark, or none. The mark is the only near-black thing in the
    box's indicator square; the caption stands to its right, outside the square."""
    name: str
    checked: bool

    def failure(self, shot, ctx):
        s = ctx.app.scale
        left, top, _, _ = CHECK_BOXES[self.name]
        square = shot.crop(box((left, top + 2, 17, 21), s))
        shown = sum(1 for p in square.getdata() if max(p) < 64) >= 6 * s * s
        if shown != self.checked:
            return f"{self.name} is {'checked' if shown else 'unchecked'} on screen"
        return None


@dataclasses.dataclass
class Same:
    """The rectangle looks exactly as it did in an earlier screenshot of this run, or in a
    picture of tests/e2e/looks/ (changed: it does not), or changes only inside the rectangles
    of inside."""
    ref: str
    rect: tuple
    what: str
    changed: bool = False
    inside: tuple = ()

    def failure(self, shot, ctx):
        s = ctx.app.scale
        earlier = ctx.app.shots.get(self.ref) or Image.open(
            os.path.join(os.path.dirname(__file__), "looks", self.ref)).convert("RGB")
        diff = ImageChops.difference(shot.crop(box(self.rect, s)),
                                     earlier.crop(box(self.rect, s)))
        for rect in self.inside:
            diff.paste((0, 0, 0), box(rect, s))
        where = diff.getbbox()
        if (where is not None) != self.changed:
            return (f"{self.what}: {where[0] // s},{where[1] // s} changed since screenshot "
                    f"{self.ref!r}" if where else f"{self.what}: unchanged since {self.ref!r}")
        return None


def Differs(ref, rect, what):
    return Same(ref, rect, what, changed=True)


def ChangedOnlyWithin(ref, rects, what):
    """Every pixel that differs from an earlier screenshot lies inside one of the rectangles."""
    return Same(ref, WINDOW, what, inside=rects)


@dataclasses.dataclass
class NotPixelDoubled:
    """At scale 2 a picture drawn from its double-size version has detail inside 2 x 2 blocks of
    screen pixels; the normal-size one, drawn by repeating each pixel, has every block one colour.
    Counts the blocks whose pixels differ by more than a faint step."""
    rect: tuple
    min_share: float
    what: str

    def failure(self, shot, ctx):
        area = shot.crop(box(self.rect, ctx.app.scale))
        width, pixels = area.width, area.tobytes()
        blocks = detailed = 0
        for y in range(0, area.height - 1, 2):
            for x in range(0, width - 1, 2):
                quad = [pixels[((y + dy) * width + x + dx) * 3:][:3] for dy in (0, 1)
                        for dx in (0, 1)]
                blocks += 1
                detailed += max(max(p[k] for p in quad) - min(p[k] for p in quad)
                                for k in range(3)) > 8
        share = detailed / max(blocks, 1)
        if share < self.min_share:
            return (f"{self.what}: only {share:.2%} of 2x2 blocks show detail "
                    f"(want at least {self.min_share:.2%}): drawn from the normal-size picture?")
        return None


# --- Scenarios ------------------------------------------------------------------------------

UNCHANGED = "unchanged"
ABSENT = "absent"
FIFO = "fifo"  # as a value in Scenario.env: the path of a FIFO that nothing ever writes to


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
    # "silent", "hangup" or "full": WAYLAND_DISPLAY names a compositor that never answers, one
    # that hangs up at once or one whose queue of new connections is full, and DISPLAY the
    # session's X server. "silent-x": DISPLAY names an X server that never answers.
    compositor: str = None
    env: dict = None  # set for the program on top of the session's
    says: str = None  # standard error is one line holding this
    pad: bool = False  # a virtual game controller plugged in, for Pad steps
    game_mode: bool = False  # started as gamescope starts it: it must choose scale by itself
    screen: str = None  # the screen, where the group's is not the one
    quiet: bool = False  # nothing on standard error, whatever the session


def fake_compositor(workdir, kind):
    """A Wayland socket whose compositor accepts and then never answers or hangs up at once, or
    takes no connections at all; or an X server's that accepts and never answers."""
    server = socket.socket(socket.AF_UNIX)
    if kind == "silent-x":
        number = next(n for n in range(4700, 4800) if _claim(server, f"\0/tmp/.X11-unix/X{n}"))
        server.listen(8)
        threading.Thread(target=_accept_and_hold, args=(server,), daemon=True).start()
        return {"DISPLAY": f":{number}", "QT_QPA_PLATFORM": "", "_held": server}
    path = os.path.join(workdir, f"wayland-{kind}")
    server.bind(path)
    env = {"WAYLAND_DISPLAY": path, "XDG_SESSION_TYPE": "wayland", "QT_QPA_PLATFORM": ""}
    if kind == "full":
        server.listen(0)
        queued = []
        while True:
            client = socket.socket(socket.AF_UNIX)
            client.setblocking(False)
            queued.append(client)
            try:
                client.connect(path)
            except BlockingIOError:
                return dict(env, _held=(server, queued))
    server.listen(8)
    held = []

    def serve():
        while True:
            connection, _ = server.accept()
            held.append(connection) if kind == "silent" else connection.close()

    threading.Thread(target=serve, daemon=True).start()
    return env


def _claim(server, address):
    """Binds server to the X server address, unless another X server has it already."""
    try:
        server.bind(address)
        return True
    except OSError:
        return False


def _accept_and_hold(server):
    held = []
    while True:
        held.append(server.accept()[0])


def flatten(steps):
    for step in steps:
        if isinstance(step, (list, tuple)):
            yield from flatten(step)
        else:
            yield step


def run_scenario(session, executable, scenario, artifacts, whole_folder=False,
                 virtual_pad=None):
    app = AppRun(session, executable, scenario.config, scale=scenario.scale,
                 whole_folder=whole_folder, folder_name=scenario.folder,
                 env={"GAMESCOPE_WAYLAND_DISPLAY": "gamescope-0"} if scenario.game_mode else None)
    if scenario.compositor:
        fake = fake_compositor(session.workdir, scenario.compositor)
        _kept = fake.pop("_held", None)  # open until the scenario ends
        app.extra_env.update(fake)
    app.extra_env.update(scenario.env or {})
    for name in [name for name, value in app.extra_env.items() if value == FIFO]:
        app.extra_env[name] = os.path.join(session.workdir, f"fifo-{name}")
        os.mkfifo(app.extra_env[name])
    ctx = types.SimpleNamespace(session=session, scenario=scenario, app=app, artifacts=artifacts,
                                folder=app.folder, pad=os.path.join(session.workdir, "pad"),
                                run=(executable, whole_folder))
    if scenario.pad:
        os.mkfifo(ctx.pad)
        app.extra_env.update(LD_PRELOAD=os.path.abspath(virtual_pad), BH_VIRTUAL_PAD=ctx.pad)
    try:
        app.start()
        if scenario.shows_window:
            app.wait_for_main_window()
            _check_identity(app)
            session.after_window_shown(app)
        for number, step in enumerate(flatten(scenario.steps), 1):
            try:
                step(ctx)
            except DriverError as error:
                raise DriverError(f"step {number} ({step.name}): {error}") from None
        app.wait_for_exit(scenario.expect_status)
        if scenario.says is not None:
            said = app.stderr_text()
            assert scenario.says in said and "\n" not in said, said
        # A game folder started on its desktop says nothing on standard error.
        elif scenario.quiet or (whole_folder and not session.launcher):
            assert not app.stderr_text(), "standard error is not empty"
        expected = {ABSENT: None, UNCHANGED: scenario.config}.get(scenario.expect_file,
                                                                 scenario.expect_file)
        app.check_folder(expected, ctx.folder)
    finally:
        app.stop()


def _check_identity(app):
    """A desktop that knows windows by app id (Wayland) must be told the menu entry's name, and
    a folder that brings its own Qt must have that loaded, and no other."""
    entries = glob.glob(os.path.join(app.folder, "share", "applications", "*.desktop"))
    if "app_id" in app.window and entries:
        assert app.window["app_id"] == os.path.basename(entries[0])[:-len(".desktop")]
    if os.path.isdir(os.path.join(app.folder, "plugins")):
        # The process maps its libraries by their resolved paths.
        check_own_qt(app.process.pid, os.path.realpath(app.folder) + "/")
