# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""What every test that drives the real brackenholt-config from outside shares: the window's
layout, a private display, the program started on it, clicks and keys, screenshots, and the
report of a run of cases. Used by e2e/, save_faults.py and install/portable_package.py; ctest
puts this folder on PYTHONPATH and names the layout file in BH_WINDOW_LAYOUT (by hand, build/'s
is taken).

Each XSession is a private Xvfb display with openbox on it, so tests running side by side never
see each other's windows. A session offers env, run, click, key, screenshot and windows; another
display server is another class with the same methods: SwaySession, MutterSession and
WestonSession are the Wayland ones. A Program is one start of a command on a session (a launcher
such as wine64 goes in front of the program); an AppRun is a Program copied into a fresh folder
beside a chosen bh.cfg.

Nothing here sleeps blindly: every wait polls for something observable and gives up after a
bounded time. Every process is started in its own process group and ended by that group's id,
also when a test fails half way.
"""

import functools
import glob
import json
import os
import pwd
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import traceback

X_TOOLS = ("Xvfb", "openbox", "xdotool", "wmctrl", "xwininfo", "xprop", "import")
SKIPPED = 77


class DriverError(AssertionError):
    """Something the test expected did not happen in time, or the session itself broke."""


@functools.cache
def _layout():
    """The window's layout as the program builds it (layout/WindowLayout.h, written out by the
    build), read when first asked for: CAPTION, WINDOW (the client area), and by control name
    its LAYOUT (place) and CAPTIONS (text on creation). Places are (left, top, width, height) in
    the client area's pixels at scale 1; a label's width is 0, as it is as wide as its caption."""
    default = os.path.join(os.path.dirname(__file__), "..", "build", "tests", "window-layout.json")
    with open(os.environ.get("BH_WINDOW_LAYOUT") or default, encoding="utf-8") as f:
        layout = json.load(f)
    return {"CAPTION": layout["caption"], "WINDOW": tuple(layout["window"]),
            "LAYOUT": {c["name"]: tuple(c["place"]) for c in layout["controls"]},
            "CAPTIONS": {c["name"]: c["caption"] for c in layout["controls"]}}


def __getattr__(name):
    try:
        return _layout()[name]
    except KeyError:
        raise AttributeError(f"module 'harness' has no attribute {name!r}") from None


def centre(rect):
    left, top, width, height = rect
    return left + width // 2, top + height // 2


def near_left(rect):
    """On a check box's square, or in a label's shortest caption, whatever the face."""
    left, top, _, height = rect
    return left + 8, top + height // 2


def cfg(options=(0, 0, 0, 0, 0), depth=32, keep=0, colours=None, lines=None):
    """A bh.cfg as the program writes it: 49 lines ended by CR LF.

    options: full screen, debug, antialiasing, dithering, W-buffering (file order).
    colours: 14 (r, g, b) triples; lines: raw field texts instead, for files the program would
    never write.
    """
    if lines is None:
        if colours is None:
            colours = DEFAULT_COLOURS
        lines = [str(v) for v in options] + [str(depth), str(keep)]
        lines += [str(component) for colour in colours for component in colour]
    return b"".join(line.encode("latin-1") + b"\r\n" for line in lines)


# Fourteen colours, all different from each other, from white, from the panel and from the
# grey of the controls, so every name can be found by its colour alone.
DEFAULT_COLOURS = [
    (255, 255, 128), (255, 160, 64), (128, 255, 128), (255, 96, 96), (160, 160, 255),
    (255, 0, 255), (255, 215, 0), (192, 255, 255), (128, 192, 255), (192, 192, 160),
    (255, 128, 192), (224, 224, 160), (0, 255, 192), (250, 250, 250),
]


def poll(what, probe, timeout=10.0, interval=0.05):
    """Calls probe until it returns something other than None or False; raises after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        result = probe()
        if result not in (None, False):
            return result
        if time.monotonic() >= deadline:
            raise DriverError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


def end_process_group(process, grace=3.0):
    """Ends a process started with start_new_session=True, and everything it started."""
    if process is None:
        return
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, grace)):
        if process.poll() is not None:
            break
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            break
        try:
            process.wait(timeout=wait)
        except subprocess.TimeoutExpired:
            continue
    # The leader may be gone while children of its group live on (openbox's helpers).
    try:
        os.killpg(process.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


class Image:
    """A screenshot as packed RGB bytes, read from ImageMagick's PPM output."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    @classmethod
    def from_ppm(cls, data):
        # P6 header: magic, width, height, maxval, each followed by whitespace (import and grim
        # write no comments).
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        if not header:
            raise DriverError(f"unexpected screenshot format {data[:20]!r}")
        width, height = int(header[1]), int(header[2])
        pixels = data[header.end():header.end() + width * height * 3]
        if len(pixels) != width * height * 3:
            raise DriverError("screenshot is truncated")
        return cls(width, height, pixels)

    def crop(self, left, top, width, height):
        if left < 0 or top < 0 or left + width > self.width or top + height > self.height:
            raise DriverError(f"crop {width}x{height}+{left}+{top} leaves the {self.width}x"
                              f"{self.height} screen: is the window off screen?")
        stride = self.width * 3
        rows = [self.pixels[(top + y) * stride + left * 3:(top + y) * stride + (left + width) * 3]
                for y in range(height)]
        return Image(width, height, b"".join(rows))

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def row(self, y, left, width):
        i = (y * self.width + left) * 3
        return self.pixels[i:i + width * 3]

    def region_pixels(self, left, top, width, height):
        for y in range(top, top + height):
            row = self.row(y, left, width)
            for x in range(width):
                yield left + x, y, tuple(row[x * 3:x * 3 + 3])

    def save_ppm(self, path):
        with open(path, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (self.width, self.height))
            out.write(self.pixels)


class XSession:
    """A private X display: Xvfb on a free display number, with openbox managing its windows."""

    TOOLS = X_TOOLS

    def __init__(self, workdir, screen="1024x768x24"):
        self.workdir = workdir
        self.screen = screen
        self.xvfb = None
        self.wm = None
        self.display = None
        self.env = None
        self.as_user = {}  # whom the program and the desktop's tools run as: the driver's user

    def __enter__(self):
        try:
            self._start_xvfb()
            self._start_wm()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        end_process_group(self.wm)
        end_process_group(self.xvfb)
        self.wm = self.xvfb = None

    def _start_xvfb(self):
        # -displayfd lets the server pick a free display and tell us which, so parallel tests
        # never race for the same number.
        read_end, write_end = os.pipe()
        try:
            self.xvfb = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=[write_end], start_new_session=True,
                stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.workdir, "xvfb.log"), "w"))
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + 20
            while not number.endswith(b"\n"):
                remaining = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(remaining, 0))
                if not ready:
                    raise DriverError("Xvfb did not report its display number")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise DriverError(f"Xvfb ended at start (status {self.xvfb.poll()})")
                number += chunk
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.display = ":" + number.decode().strip()
        home = os.path.join(self.workdir, "home")
        runtime = os.path.join(self.workdir, "runtime")
        os.makedirs(home, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        # A clean environment: nothing from the developer's desktop (styles, scale factors,
        # platform plug-ins) may change what the program draws.
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": self.display,
            "HOME": home,
            "XDG_RUNTIME_DIR": runtime,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "LANG": "C.UTF-8",
            "LC_ALL": "C.UTF-8",
            "QT_QPA_PLATFORM": "xcb",
            # No session bus: without an address libdbus launches a bus daemon for the display,
            # and it outlives the test. A test that needs one (AT-SPI) hands its own address in.
            "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.workdir, "no-bus"),
        }

    def _start_wm(self):
        self.wm = subprocess.Popen(["openbox"], env=self.env, start_new_session=True,
                                   stdout=subprocess.DEVNULL,
                                   stderr=open(os.path.join(self.workdir, "openbox.log"), "w"))

        def wm_ready():
            if self.wm.poll() is not None:
                raise DriverError(f"openbox ended at start (status {self.wm.returncode})")
            out = self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False)
            return "window id #" in out

        poll("openbox to manage the display", wm_ready, timeout=20)
        self._wait_for_wm_event_loop()

    def _wait_for_wm_event_loop(self):
        # openbox announces itself before it has finished starting, and a window mapped in that
        # gap can stay unmapped for good (its map request is lost). Only a probe window that
        # openbox really maps proves it is handling requests; a probe that stays unmapped is
        # replaced until one gets through.
        deadline = time.monotonic() + 20
        while True:
            probe = subprocess.Popen(["xmessage", "-name", "bh-wm-probe", "probe"], env=self.env,
                                     start_new_session=True, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
            try:
                shown = time.monotonic() + 3
                while time.monotonic() < min(shown, deadline):
                    out = self.run(["xdotool", "search", "--onlyvisible", "--classname",
                                    "^bh-wm-probe$"], check=False)
                    if out.split():
                        return
                    time.sleep(0.05)
            finally:
                end_process_group(probe)
            if time.monotonic() >= deadline:
                raise DriverError("openbox never mapped a window within 20 s")

    def run(self, argv, check=True, timeout=20):
        done = subprocess.run(argv, env=self.env, capture_output=True, timeout=timeout,
                              **self.as_user)
        if check and done.returncode != 0:
            raise DriverError(f"{' '.join(argv)} failed ({done.returncode}): "
                              f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout.decode(errors="replace")

    def xdotool(self, *args):
        self.run(["xdotool", *[str(a) for a in args]])

    def click(self, x, y, times=1):
        """Clicks at a screen position. A pause between clicks keeps two from counting as one
        double click, which a scroll bar would take as a single press."""
        for i in range(times):
            self.xdotool("mousemove", x, y, "click", 1)
            if i + 1 < times:
                time.sleep(0.3)

    def key(self, *keys):
        """Key presses, in xdotool's names (Tab, space, Return, Escape, ctrl+a, ...)."""
        self.xdotool("key", "--delay", 40, *keys)

    def screenshot(self):
        return Image.from_ppm(subprocess.run(
            ["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
            capture_output=True, check=True, timeout=30).stdout)

    def hand_over(self, path):
        """Lets the program's user use a folder the driver made: here that is the driver."""

    def activate(self, window):
        self.xdotool("windowactivate", "--sync", window["id"])

    def close_window(self, window):
        """What the title bar's close button does: the window manager asks the window to close."""
        self.run(["wmctrl", "-i", "-c", window["id"]])

    def describe(self):
        """What the desktop is doing, for a wait that ran out."""
        lines = []
        out = self.run(["xdotool", "search", "--name", _layout()["CAPTION"]], check=False)
        for wid in out.split():
            fields = self._xwininfo(wid)
            lines.append(f"  window {wid}: {fields.get('Width')}x{fields.get('Height')} "
                         f"at {fields.get('Absolute upper-left X')},"
                         f"{fields.get('Absolute upper-left Y')} {fields.get('Map State')}")
        active = self.run(["xdotool", "getactivewindow"], check=False).strip()
        focus = self.run(["xdotool", "getwindowfocus"], check=False).strip()
        lines.append(f"  active window {active or 'none'}, keyboard focus {focus or 'none'}")
        lines.append("  openbox is running" if self.wm is not None and self.wm.poll() is None
                     else f"  openbox has ended (status {self.wm.returncode if self.wm else None})")
        try:
            with open(os.path.join(self.workdir, "openbox.log"), errors="replace") as log:
                lines.append(f"  openbox said: {log.read().strip()[-800:]!r}")
        except OSError:
            pass
        return lines

    def _xwininfo(self, wid):
        info = self.run(["xwininfo", "-id", wid], check=False)
        return dict(re.findall(r"^\s*([A-Za-z -]+):\s+(.*)$", info, re.M))

    def windows(self):
        """Visible top-level windows titled exactly with the program's caption."""
        out = self.run(["xdotool", "search", "--onlyvisible", "--name",
                        "^" + re.escape(_layout()["CAPTION"]) + "$"], check=False)
        found = []
        for wid in out.split():
            fields = self._xwininfo(wid)
            try:
                found.append({
                    "id": wid,
                    "x": int(fields["Absolute upper-left X"]),
                    "y": int(fields["Absolute upper-left Y"]),
                    "width": int(fields["Width"]),
                    "height": int(fields["Height"]),
                    "viewable": fields.get("Map State") == "IsViewable",
                })
            except KeyError:
                continue  # went away between search and xwininfo
        return [w for w in found if w["viewable"]]


# --- Wayland ---------------------------------------------------------------------------------
# sway, nested in a private Xvfb through wlroots' X11 backend. xdotool's pointer and keys go to
# sway's window on the Xvfb, so they reach sway as its seat's input, and sway hands them on to
# the program as Wayland events, as it would from a mouse and a keyboard. grim takes the
# screenshots; sway's tree tells where the window stands, its title and its app id.
#
# sway will not run as root, and CI runs as root. Then sway, the program, grim and swaymsg run
# under a user id that no account on the machine has: nothing has to be created in (or left
# behind in) the machine's user database, so a fresh machine or a container needs no set-up,
# and the id can reach no one's files but the session's own. The id is one Debian keeps back
# from its account tools, below 65536 so that a container's user namespace maps it too.

UNPRIVILEGED_ID = 65500

# No wallpaper, no Xwayland (the program must reach sway as a Wayland client), no key bindings
# that could eat the scenarios' keys. No title bar either: sway floats the fixed-size window,
# and while it is still deciding on the title bar its tree can place the client area 25 pixels
# off; without one the tree is right from the first frame.
SWAY_CONFIG = """\
xwayland disable
output * bg #203040 solid_color
default_floating_border none
"""


class SwaySession(XSession):
    """An Xvfb with sway on it in place of openbox, and the program shown on sway."""

    TOOLS = ("Xvfb", "xdotool", "sway", "swaymsg", "grim")

    def __init__(self, workdir, screen="1024x768x24"):
        super().__init__(workdir, screen)
        self.as_user = ({"user": UNPRIVILEGED_ID, "group": UNPRIVILEGED_ID, "extra_groups": []}
                        if os.geteuid() == 0 else {})

    def hand_over(self, path):
        """Gives what the driver made as root to the session's user, so the program can use it."""
        if not self.as_user:
            return
        for folder, dirs, files in os.walk(path):
            for name in [folder, *(os.path.join(folder, n) for n in dirs + files)]:
                os.chown(name, self.as_user["user"], self.as_user["group"],
                         follow_symlinks=False)

    def _start_wm(self):
        config = os.path.join(self.workdir, "sway.conf")
        with open(config, "w") as out:
            out.write(SWAY_CONFIG)
        self.hand_over(self.workdir)
        # The software renderer: Xvfb has no GPU to hand out.
        env = dict(self.env, WLR_BACKENDS="x11", WLR_RENDERER="pixman")
        # What a sway session gives its programs; the program must find Wayland by itself.
        del self.env["QT_QPA_PLATFORM"]
        self.env["XDG_SESSION_TYPE"] = "wayland"
        self.wm = subprocess.Popen(["sway", "-c", config], env=env, start_new_session=True,
                                   stdout=subprocess.DEVNULL,
                                   stderr=open(os.path.join(self.workdir, "sway.log"), "w"),
                                   **self.as_user)
        runtime = self.env["XDG_RUNTIME_DIR"]

        def sway_ready():
            if self.wm.poll() is not None:
                raise DriverError(f"sway ended at start (status {self.wm.returncode}): "
                                  f"{self._log_tail()!r}")
            sockets = glob.glob(os.path.join(runtime, "sway-ipc.*.sock"))
            displays = [p for p in glob.glob(os.path.join(runtime, "wayland-*"))
                        if not p.endswith(".lock")]
            if not sockets or not displays:
                return False
            self.env.update(SWAYSOCK=sockets[0], WAYLAND_DISPLAY=os.path.basename(displays[0]))
            outputs = self.run(["swaymsg", "-r", "-t", "get_outputs"], check=False)
            return '"active": true' in outputs

        poll("sway to show its output on the X display", sway_ready, timeout=20)

    def _log_tail(self):
        try:
            with open(os.path.join(self.workdir, "sway.log"), errors="replace") as log:
                return log.read().strip()[-800:]
        except OSError:
            return ""

    def screenshot(self):
        return Image.from_ppm(subprocess.run(["grim", "-t", "ppm", "-"], env=self.env,
                                             capture_output=True, check=True, timeout=30,
                                             **self.as_user).stdout)

    def _views(self):
        tree = json.loads(self.run(["swaymsg", "-r", "-t", "get_tree"]))
        stack = [tree]
        while stack:
            node = stack.pop()
            stack += node.get("nodes", []) + node.get("floating_nodes", [])
            if node.get("pid"):
                yield node

    def windows(self):
        """The program's windows on screen, placed by their client area: the container's place
        plus where the client area stands inside it."""
        found = []
        for view in self._views():
            outer, inner = view["rect"], view["window_rect"]
            if view.get("name") == _layout()["CAPTION"] and view.get("visible"):
                found.append({"id": str(view["id"]), "app_id": view.get("app_id"),
                              "x": outer["x"] + inner["x"], "y": outer["y"] + inner["y"],
                              "width": inner["width"], "height": inner["height"]})
        return found

    def activate(self, window):
        self.run(["swaymsg", f"[con_id={window['id']}]", "focus"])

    def close_window(self, window):
        self.run(["swaymsg", f"[con_id={window['id']}]", "kill"])

    def describe(self):
        try:
            lines = [f"  window {v.get('name')!r} app id {v.get('app_id')!r}: "
                     f"{v['window_rect']['width']}x{v['window_rect']['height']} at "
                     f"{v['rect']['x']},{v['rect']['y']} focused {v.get('focused')}"
                     for v in self._views()]
        except (DriverError, ValueError) as error:
            lines = [f"  no tree from sway: {error}"]
        alive = self.wm is not None and self.wm.poll() is None
        lines.append("  sway is running" if alive else "  sway has ended")
        lines.append(f"  sway said: {self._log_tail()!r}")
        return lines


# --- Wayland desktops that draw no title bars ------------------------------------------------
# GNOME's mutter and weston, each nested in a private Xvfb with its Xwayland. The program gets
# what such a session gives it (XDG_SESSION_TYPE=wayland, WAYLAND_DISPLAY, and DISPLAY naming
# the Xwayland) and no QT_QPA_PLATFORM. Its window is then an X11 window on the Xwayland, framed
# by the compositor's window manager: xdotool, xwininfo and xprop find it there. Pointer and keys
# go in through the Xvfb, as the compositor's mouse and keyboard, and screenshots come from the
# Xvfb too; the compositor's output window stands at 0,0 on it, so all share one coordinate
# system. mutter needs a session bus, and the bus an account with a passwd entry: as root, the
# compositor, the program and the tools run as nobody.


class XwaylandSession(XSession):
    """A compositor nested in the Xvfb, and the program on its Xwayland. A compositor that
    cannot be started makes the case skipped, not failed: it says nothing about the program."""

    NAME = None
    TOOLS = ("Xvfb", "xdotool", "xwininfo", "xprop", "xdpyinfo", "import", "Xwayland")

    def __init__(self, workdir, screen="1024x768x24"):
        super().__init__(workdir, screen)
        self.desktop_env = None  # the Xvfb's: where pointer, keys and screenshots go
        if os.geteuid() == 0:
            nobody = pwd.getpwnam("nobody")
            self.as_user = {"user": nobody.pw_uid, "group": nobody.pw_gid, "extra_groups": []}

    hand_over = SwaySession.hand_over

    def _start_wm(self):
        self.desktop_env = dict(self.env)
        self.hand_over(self.workdir)
        self.wm = self._start_compositor()
        try:
            session = poll(f"{self.NAME} to offer Wayland and X11 displays", self._displays,
                           timeout=30)
            self.env = {k: v for k, v in self.desktop_env.items() if k != "QT_QPA_PLATFORM"}
            self.env.update(session, XDG_SESSION_TYPE="wayland")
            poll("its Xwayland to take clients",
                 lambda: self.run(["xdpyinfo"], check=False).startswith("name of display"),
                 timeout=30)
        except DriverError as error:
            raise Skipped(f"{self.NAME} could not be started: {error}: "
                          f"{self._log_tail()!r}") from None

    def _log(self):
        return os.path.join(self.workdir, f"{self.NAME}.log")

    def _log_text(self):
        try:
            with open(self._log(), errors="replace") as log:
                return log.read()
        except OSError:
            return ""

    def _log_tail(self):
        return self._log_text().strip()[-800:]

    def _displays(self):
        if self.wm.poll() is not None:
            raise DriverError(f"it ended at start (status {self.wm.returncode})")
        wayland = [os.path.basename(p) for p in glob.glob(
            os.path.join(self.env["XDG_RUNTIME_DIR"], "wayland-*")) if not p.endswith(".lock")]
        found = re.search(self.X_DISPLAY_LINE, self._log_text())
        authority = self._x_authority()
        if not wayland or not found or authority is None:
            return None
        return dict(WAYLAND_DISPLAY=wayland[0], DISPLAY=found[1], **authority)

    def _x_authority(self):
        """What an X client needs besides DISPLAY; None while the compositor is not there yet."""
        return {}

    def _outside(self, argv):
        return subprocess.run(argv, env=self.desktop_env, capture_output=True, check=True,
                              timeout=30, **self.as_user).stdout

    def xdotool(self, *args):
        self._outside(["xdotool", *[str(a) for a in args]])

    def screenshot(self):
        return Image.from_ppm(self._outside(["import", "-window", "root", "-depth", "8",
                                             "ppm:-"]))

    def activate(self, window):
        """The compositor gives a window the focus when it is first shown."""

    def bar_height(self, window):
        return self.BAR_HEIGHT

    def title_bar(self, window):
        """The bar above a window's client area, as (left, top, width, height) on screen."""
        height = self.bar_height(window)
        return window["x"], window["y"] - height, window["width"], height

    def describe(self):
        lines = [line for line in super().describe() if "openbox" not in line]
        alive = self.wm is not None and self.wm.poll() is None
        lines.append(f"  {self.NAME} is running" if alive else f"  {self.NAME} has ended")
        lines.append(f"  {self.NAME} said: {self._log_tail()!r}")
        return lines


class MutterSession(XwaylandSession):
    """GNOME's compositor: mutter --nested --wayland, on a session bus of its own."""

    NAME = "mutter"
    TOOLS = XwaylandSession.TOOLS + ("mutter", "dbus-run-session")
    X_DISPLAY_LINE = r"Using public X11 display (:\d+)"

    def _start_compositor(self):
        width, height = self.screen.split("x")[:2]
        env = dict(self.desktop_env, MUTTER_DEBUG_DUMMY_MODE_SPECS=f"{width}x{height}")
        return subprocess.Popen(["dbus-run-session", "--", "mutter", "--nested", "--wayland"],
                                env=env, start_new_session=True, stdout=subprocess.DEVNULL,
                                stderr=open(self._log(), "w"), **self.as_user)

    def _x_authority(self):
        # mutter's Xwayland takes only clients that show the cookie it wrote.
        cookies = glob.glob(os.path.join(self.env["XDG_RUNTIME_DIR"], ".mutter-Xwaylandauth.*"))
        return {"XAUTHORITY": cookies[0]} if cookies else None

    def bar_height(self, window):
        extents = self.run(["xprop", "-id", window["id"], "_NET_FRAME_EXTENTS"])
        found = re.search(r"= (\d+), (\d+), (\d+), (\d+)", extents)
        if not found:
            raise DriverError(f"mutter gave the window no frame: {extents.strip()}")
        return int(found[3])


# weston's Xwayland turns away local clients unless it is told to take any.
WESTON_XWAYLAND = """\
#!/bin/sh
exec Xwayland -ac "$@"
"""

WESTON_CONFIG = """\
[core]
idle-time=0
[shell]
background-color=0xff203040
panel-position=none
[xwayland]
path={xwayland}
"""


class WestonSession(XwaylandSession):
    """weston with its X11 back end and Xwayland. Its output is a little smaller than the
    screen, so the pointer can leave it: the X11 back end takes pointer input only once the
    pointer has entered its window."""

    NAME = "weston"
    TOOLS = XwaylandSession.TOOLS + ("weston",)
    X_DISPLAY_LINE = r"xserver listening on display (:\d+)"
    BAR_HEIGHT = 27  # weston's own frame for X11 windows

    def _start_compositor(self):
        xwayland = os.path.join(self.workdir, "xwayland")
        with open(xwayland, "w") as out:
            out.write(WESTON_XWAYLAND)
        os.chmod(xwayland, 0o755)
        config = os.path.join(self.workdir, "weston.ini")
        with open(config, "w") as out:
            out.write(WESTON_CONFIG.format(xwayland=xwayland))
        self.hand_over(self.workdir)
        width, height = (int(v) for v in self.screen.split("x")[:2])
        self.output = (width - 16, height - 16)
        return subprocess.Popen(
            ["weston", f"--config={config}", "--backend=x11-backend.so", "--xwayland",
             "--use-pixman", f"--width={self.output[0]}", f"--height={self.output[1]}",
             f"--log={self._log()}"],
            env=self.desktop_env, start_new_session=True, stdout=subprocess.DEVNULL,
            stderr=subprocess.STDOUT, **self.as_user)

    def _start_wm(self):
        super()._start_wm()
        self.xdotool("mousemove", self.output[0] + 8, self.output[1] + 8)
        self.xdotool("mousemove", self.output[0] // 2, self.output[1] // 2)


class Program:
    """One start of a command on a session's display, watched and driven from outside.
    launcher goes in front of the command (["wine64"], say); scale is the window's scale."""

    def __init__(self, session, command, cwd, scale=1, launcher=(), env=None):
        self.session = session
        self.command = [*launcher, *command]
        self.cwd = cwd
        self.scale = scale
        self.extra_env = dict(env or {})
        fd, self.log_path = tempfile.mkstemp(prefix="stderr-", suffix=".log", dir=session.workdir)
        os.close(fd)
        self.process = None
        self.window = None  # the main window's client area: id, x, y, width, height
        self.shots = {}

    def start(self):
        env = dict(self.session.env, **self.extra_env)
        if self.scale != 1:
            env["QT_SCALE_FACTOR"] = str(self.scale)
        self.process = subprocess.Popen(self.command, cwd=self.cwd, env=env,
                                        start_new_session=True, stdout=subprocess.DEVNULL,
                                        stderr=open(self.log_path, "w"), **self.session.as_user)

    def stop(self):
        end_process_group(self.process)

    def stderr_text(self):
        try:
            with open(self.log_path, errors="replace") as log:
                return log.read()
        except OSError:
            return ""

    def alive(self):
        return self.process.poll() is None

    def _check_alive(self, what):
        if not self.alive():
            raise DriverError(f"the program ended (status {self.process.returncode}) while "
                              f"waiting for {what}; stderr: {self.stderr_text().strip()!r}")

    @property
    def main_size(self):
        return _layout()["WINDOW"][2] * self.scale, _layout()["WINDOW"][3] * self.scale

    def main_windows(self):
        return [w for w in self.session.windows()
                if (w["width"], w["height"]) == self.main_size]

    def other_windows(self):
        return [w for w in self.session.windows()
                if (w["width"], w["height"]) != self.main_size]

    def wait_for_main_window(self):
        def found():
            self._check_alive("the main window")
            windows = self.main_windows()
            return windows[0] if windows else None

        # Generous bounds: a machine busy compiling can take long to start a Qt program.
        try:
            self.window = poll(f"a {self.main_size[0]}x{self.main_size[1]} window titled "
                               f"{_layout()['CAPTION']!r}", found, timeout=30)
        except DriverError as error:
            raise DriverError(f"{error}\n{self.diagnosis()}") from None
        self.session.activate(self.window)
        # Mapped is not painted: wait until two screenshots in a row agree and show more than
        # one colour.
        previous = [None]

        def painted():
            self._check_alive("the first paint")
            shot = self.client_shot()
            stable = previous[0] is not None and shot.pixels == previous[0].pixels
            previous[0] = shot
            samples = {shot.pixels[i:i + 3] for i in range(0, len(shot.pixels) - 3, 3 * 997)}
            return stable and len(samples) > 1

        poll("the window to finish painting", painted, timeout=30)

    def diagnosis(self):
        """What the display and the program were doing, for a wait that ran out."""
        lines = self.session.describe()
        try:
            with open(f"/proc/{self.process.pid}/wchan") as wchan, \
                    open(f"/proc/{self.process.pid}/stat") as stat:
                lines.append(f"  program waits in {wchan.read()!r}, state {stat.read().split()[2]}")
        except OSError:
            lines.append("  program is gone")
        lines.append(f"  stderr: {self.stderr_text().strip()!r}")
        return "\n".join(lines)

    def wait_for_error_box(self):
        def found():
            self._check_alive("the error box")
            boxes = self.other_windows()
            return boxes[0] if boxes else None

        return poll(f"an error box titled {_layout()['CAPTION']!r}", found, timeout=30)

    def wait_for_exit(self, timeout=20):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise DriverError(f"the program was still running {timeout} s later\n"
                              f"{self.diagnosis()}") from None

    def form_origin(self):
        """Where the form stands on screen: in the middle of a window that a window manager has
        made larger (maximised, full screen), as the program centres it."""
        w, (width, height) = self.window, self.main_size
        return (w["x"] + max(0, (w["width"] - width) // 2),
                w["y"] + max(0, (w["height"] - height) // 2))

    def client_shot(self):
        return self.session.screenshot().crop(*self.form_origin(), *self.main_size)

    def to_screen(self, x, y):
        """Absolute screen position of a point given in the form's own pixels."""
        left, top = self.form_origin()
        return left + x * self.scale, top + y * self.scale

    def click(self, x, y, times=1):
        """Clicks a point given in the client area's own pixels."""
        self.session.click(*self.to_screen(x, y), times=times)

    def dismiss_error_box(self, box):
        """With Return, as a player would."""
        self.session.activate(box)
        self.session.key("Return")


_SYSTEM_PLUGINS = "/usr/lib/x86_64-linux-gnu/qt6/plugins"


class AppRun(Program):
    """The program copied into a fresh folder of its own beside the given bh.cfg bytes (None:
    no bh.cfg), and started from another folder: it must find bh.cfg beside itself, not in the
    working directory. With whole_folder the copy is of the whole folder the executable was
    installed into (its libraries, plug-ins and launcher files), less the default bh.cfg."""

    def __init__(self, session, executable, config_bytes, scale=1, launcher=(),
                 whole_folder=False, folder_name=b"game"):
        root = tempfile.mkdtemp(prefix="run-", dir=session.workdir)
        self.folder = os.fsdecode(os.path.join(root.encode(), folder_name))
        self.exe = os.path.join(self.folder, os.path.basename(executable))
        self.config_path = os.path.join(self.folder, "bh.cfg")
        if whole_folder:
            shutil.copytree(os.path.dirname(os.path.abspath(executable)), self.folder,
                            symlinks=True)
            if os.path.exists(self.config_path):
                os.remove(self.config_path)
        else:
            os.mkdir(self.folder)
            shutil.copy2(executable, self.exe)
        self.shipped = sorted(os.listdir(self.folder))  # all the folder holds but bh.cfg
        if config_bytes is not None:
            with open(self.config_path, "wb") as out:
                out.write(config_bytes)
        # The working directory holds a bh.cfg and a qt.conf of its own, naming the system's
        # plugins: neither may be read, written or loaded from.
        self.decoys = {os.path.join(root, "bh.cfg"): cfg(options=(1, 1, 1, 1, 1)),
                       os.path.join(root, "qt.conf"): b"[Paths]\nPlugins = " +
                       os.fsencode(_SYSTEM_PLUGINS) + b"\n"}
        for path, data in self.decoys.items():
            with open(path, "wb") as out:
                out.write(data)
        session.hand_over(root)
        super().__init__(session, [self.exe], root, scale=scale, launcher=launcher)

    def check_folder(self, config_bytes, folder=None, extra=()):
        """The folder (this run's, or where it was moved to) holds what was shipped, extra and a
        bh.cfg of exactly config_bytes (None: no bh.cfg)."""
        folder = folder or self.folder
        for path, data in self.decoys.items():
            with open(path, "rb") as decoy:
                if decoy.read() != data:
                    raise DriverError(f"the program changed {path}, outside its folder")
        left = sorted(os.listdir(folder))
        wanted = sorted([*self.shipped, *extra] + (["bh.cfg"] if config_bytes is not None else []))
        if left != wanted:
            raise DriverError(f"the program's folder holds {left}, expected {wanted}")
        if config_bytes is not None:
            with open(os.path.join(folder, "bh.cfg"), "rb") as f:
                written = f.read()
            if written != config_bytes:
                raise DriverError("bh.cfg afterwards differs:\n" +
                                  _line_diff(config_bytes, written))


def _line_diff(wanted, written):
    a, b = wanted.split(b"\n"), written.split(b"\n")
    out = []
    for i in range(max(len(a), len(b))):
        x = a[i] if i < len(a) else None
        y = b[i] if i < len(b) else None
        if x != y:
            out.append(f"  line {i + 1}: expected {x!r}, got {y!r}")
    return "\n".join(out[:12]) or f"  expected {wanted!r}\n  got {written!r}"


def run_cases(cases, run_case, screen="1024x768x24", keep=None, session_type=XSession):
    """Runs each case on a display of its own, so one that leaves the pointer pressed or a
    window behind cannot spoil the next, and prints a verdict per case. run_case(session, case,
    artifacts) raises AssertionError for a fault of the program, Skipped when the case cannot
    be made here. Returns the exit status: 0 all passed, 1 some failed, 77 the session's tools
    are missing."""
    missing = [tool for tool in session_type.TOOLS if shutil.which(tool) is None]
    if missing:
        print(f"skipped: {', '.join(missing)} not installed (scripts/install-deps)")
        return SKIPPED
    artifacts = keep or tempfile.gettempdir()
    os.makedirs(artifacts, exist_ok=True)
    failed, skipped = [], []
    for case in cases:
        name = getattr(case, "name", getattr(case, "__name__", str(case)))
        started = time.monotonic()
        workdir = tempfile.mkdtemp(prefix=f"bh-{name}-")
        try:
            screen_size = screen(case) if callable(screen) else screen
            with session_type(workdir, screen=screen_size) as session:
                run_case(session, case, artifacts)
            verdict = "ok"
        except Skipped as why:
            verdict = f"skipped ({why})"
            skipped.append(name)
        except AssertionError as error:
            verdict = f"FAILED\n    {error}".replace("\n", "\n    ")
            failed.append(name)
        except Exception:  # a fault in the driver itself: show where
            verdict = "ERROR\n" + traceback.format_exc()
            failed.append(name)
        finally:
            shutil.rmtree(workdir, ignore_errors=True)
        print(f"{name}: {verdict} ({time.monotonic() - started:.1f} s)", flush=True)
    if failed:
        print(f"{len(failed)} of {len(cases)} failed: {', '.join(failed)}")
        return 1
    if len(skipped) == len(cases):
        return SKIPPED
    print(f"all {len(cases)} passed")
    return 0


class Skipped(Exception):
    """The case cannot be made on this machine (no rights to mount, for instance)."""
