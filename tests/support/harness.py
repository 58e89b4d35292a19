# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""What every test that drives the real brackenholt-config from outside shares: the window's
layout, a private display with a desktop on it, the program started there, clicks, keys and
screenshots (Pillow images). conftest.py makes the sessions into fixtures.

Every session is an Xvfb of its own, so tests running side by side never see each other's
windows; the desktop on it is openbox (Session), sway, mutter or weston on Wayland, or openbox
with the program under Wine. A desktop is a subclass that says how it starts and where windows
stand. Nothing here sleeps blindly: every wait polls for something observable and gives up after
a bounded time. Every process is started in its own process group and ended by that group's id.
"""

import glob
import io
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

import pytest
from PIL import Image

# The window as the player sees it, in the figures the layout test checks too (name, caption,
# left, top, width, height; a label is 0 wide): written by hand, never from the program's table.
CAPTION = "Brackenholt Config"
with open(os.path.join(os.path.dirname(__file__), "layout_figures.json"), encoding="utf-8") as f:
    _FIGURES = json.load(f)
LAYOUT = {name: tuple(place) for name, _, *place in _FIGURES if name != "imgBase"}
WINDOW = next(tuple(place) for name, _, *place in _FIGURES if name == "imgBase")  # the backdrop
NAMES = [caption for name, caption, *_ in _FIGURES if name.startswith("lblMessages(")]
COMPONENTS = [caption for name, caption, *_ in _FIGURES if name.startswith("Label")]


class DriverError(AssertionError):
    """Something the test expected did not happen in time, or the session itself broke."""


def centre(rect):
    left, top, width, height = rect
    return left + width // 2, top + height // 2


def near_left(rect):
    """On a check box's square, or in a label's shortest caption, whatever the face."""
    left, top, _, height = rect
    return left + 8, top + height // 2


# Fourteen colours, all different from each other, from white, from the panel and from the
# grey of the controls, so every name can be found by its colour alone.
DEFAULT_COLOURS = [
    (255, 255, 128), (255, 160, 64), (128, 255, 128), (255, 96, 96), (160, 160, 255),
    (255, 0, 255), (255, 215, 0), (192, 255, 255), (128, 192, 255), (192, 192, 160),
    (255, 128, 192), (224, 224, 160), (0, 255, 192), (250, 250, 250),
]


def cfg(options=(0, 0, 0, 0, 0), depth=32, keep=0, colours=DEFAULT_COLOURS, lines=None):
    """A bh.cfg as the program writes it: 49 lines ended by CR LF. options: full screen, debug,
    antialiasing, dithering, W-buffering (file order); lines: raw field texts instead."""
    if lines is None:
        lines = [*options, depth, keep, *(v for colour in colours for v in colour)]
    return b"".join(str(line).encode("latin-1") + b"\r\n" for line in lines)


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
    for sig in (signal.SIGTERM, signal.SIGKILL):
        if process is None or process.poll() is not None:
            break
        try:
            os.killpg(process.pid, sig)
            process.wait(timeout=grace)
        except ProcessLookupError:
            break
        except subprocess.TimeoutExpired:
            continue
    try:  # the leader may be gone while children of its group live on (openbox's helpers)
        os.killpg(process.pid, signal.SIGKILL)
    except (AttributeError, ProcessLookupError, PermissionError):
        pass


def run(argv, check=True, **popen):
    """Runs a command to its end and hands back how it went (text, unless text=False); a failure
    names the command and what it said."""
    popen.setdefault("text", True)
    done = subprocess.run([str(a) for a in argv], capture_output=True,
                          errors="replace" if popen["text"] else None, **popen)
    if check and done.returncode != 0:
        raise DriverError(f"{' '.join(map(str, argv))} failed ({done.returncode}): "
                          f"{str(done.stderr).strip()[-2000:]}")
    return done


def read(path, tail=None):
    try:
        with open(path, errors="replace") as f:
            text = f.read()
    except OSError:
        return ""
    return text.strip()[-tail:] if tail else text


def check_own_qt(pid, folder):
    """The process has a platform plug-in, and every Qt library, ICU and plug-in it has mapped
    has folder in its path: what a game folder brings must win over the system's."""
    qt = {path for path in re.findall(r" (/.*)$", read(f"/proc/{pid}/maps"), re.M)
          if "/plugins/" in path or os.path.basename(path).startswith(("libQt6", "libicu"))}
    assert any("/platforms/" in path for path in qt), f"no platform plug-in among {sorted(qt)}"
    assert sorted(path for path in qt if folder not in path) == [], "Qt from outside the folder"


class Session:
    """A private X display: Xvfb on a free display number, with openbox managing its windows.

    The desktops below change only what differs: start_desktop, windows, activate, close_window
    and SHOT. desktop_env is the Xvfb's, where pointer, keys and screenshots go; env is what the
    program gets. as_user says whom the desktop, the program and the tools run as."""

    NAME = "openbox"
    TOOLS = ("Xvfb", "openbox", "xdotool", "wmctrl", "xwininfo", "xprop", "import", "xmessage")
    SHOT = ["import", "-window", "root", "-depth", "8", "ppm:-"]
    launcher = ()  # what goes in front of the program (wine-run)

    def __init__(self, workdir, screen="1024x768x24"):
        self.workdir, self.screen = workdir, screen
        self.processes = []
        self.as_user = {}
        self.wm = None

    def __enter__(self):
        try:
            self._start_xvfb()
            self.desktop_env = dict(self.env)
            self.wm = self.start_desktop()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        for process in reversed(self.processes):
            end_process_group(process)

    def spawn(self, argv, log=None, env=None, **popen):
        """Starts a process of this session in a group of its own, its errors in log."""
        popen.setdefault("stderr", open(log, "w") if log else subprocess.DEVNULL)
        popen.setdefault("stdout", subprocess.DEVNULL)
        process = subprocess.Popen(argv, env=env or self.env, start_new_session=True,
                                   **{**self.as_user, **popen})
        self.processes.append(process)
        return process

    def log(self):
        return os.path.join(self.workdir, f"{self.NAME}.log")

    def hand_over(self, path):
        """Gives what the driver made to the session's user, so the program can use it."""
        for folder, dirs, files in os.walk(path) if self.as_user else ():
            for name in [folder, *(os.path.join(folder, n) for n in dirs + files)]:
                os.chown(name, self.as_user["user"], self.as_user["group"],
                         follow_symlinks=False)

    def _start_xvfb(self):
        # -displayfd lets the server pick a free display and tell us which, so parallel tests
        # never race for the same number.
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", self.screen,
                                 "-nolisten", "tcp", "-noreset"], pass_fds=[write_end],
                                start_new_session=True, stdout=subprocess.DEVNULL,
                                stderr=open(os.path.join(self.workdir, "xvfb.log"), "w"))
        self.processes.append(xvfb)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb", buffering=0) as pipe:
            while not number.endswith(b"\n"):
                if not select.select([pipe], [], [], 20)[0]:
                    raise DriverError("Xvfb did not report its display number")
                chunk = pipe.read(16)
                if not chunk:
                    raise DriverError(f"Xvfb ended at start (status {xvfb.poll()})")
                number += chunk
        home, runtime = (os.path.join(self.workdir, name) for name in ("home", "runtime"))
        os.makedirs(home, exist_ok=True)
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        # A clean environment: nothing from the developer's desktop (styles, scale factors,
        # platform plug-ins) may change what the program draws. No session bus either: without
        # one libdbus launches a bus daemon that outlives the test (AT-SPI hands its own in).
        self.env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"),
                    "DISPLAY": ":" + number.decode().strip(), "HOME": home,
                    "XDG_RUNTIME_DIR": runtime, "XDG_CONFIG_HOME": os.path.join(home, ".config"),
                    "XDG_CACHE_HOME": os.path.join(home, ".cache"), "LANG": "C.UTF-8",
                    "LC_ALL": "C.UTF-8", "QT_QPA_PLATFORM": "xcb",
                    "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.workdir, "nobus")}

    def start_desktop(self):
        wm = self.spawn(["openbox"], log=self.log())

        def ready():
            if wm.poll() is not None:
                raise DriverError(f"openbox ended at start (status {wm.returncode})")
            return "window id #" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                             check=False)

        poll("openbox to manage the display", ready, timeout=20)
        # openbox announces itself before it handles requests, and a window mapped in that gap
        # can stay unmapped for good. Only a probe window that it really maps proves it ready;
        # a probe that stays unmapped is replaced until one gets through.
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            probe = self.spawn(["xmessage", "-name", "bh-wm-probe", "probe"])
            try:
                poll("the probe", lambda: self.run(["xdotool", "search", "--onlyvisible",
                                                    "--classname", "^bh-wm-probe$"],
                                                   check=False).split(), timeout=3)
                return wm
            except DriverError:
                pass
            finally:
                end_process_group(probe)
        raise DriverError("openbox never mapped a window within 20 s")

    def run(self, argv, check=True, env=None, text=True):
        """A tool of the desktop, as the session's user; its output."""
        return run(argv, check, env=env or self.env, text=text, timeout=30, **self.as_user).stdout

    def xdotool(self, *args):
        self.run(["xdotool", *args], env=self.desktop_env)

    def click(self, x, y, times=1):
        """A pause between clicks keeps two from counting as one double click, which a scroll
        bar would take as a single press."""
        for i in range(times):
            self.xdotool("mousemove", x, y, "click", 1)
            if i + 1 < times:
                time.sleep(0.3)

    def key(self, *keys):
        """Key presses, in xdotool's names (Tab, space, Return, Escape, ctrl+a, ...)."""
        self.xdotool("key", "--delay", 40, *keys)

    def screenshot(self):
        return Image.open(io.BytesIO(self.run(self.SHOT, env=self.desktop_env, text=False)))

    def activate(self, window):
        self.xdotool("windowactivate", "--sync", window["id"])

    def close_window(self, window):
        """What the title bar's close button does: the window manager asks the window to close."""
        self.run(["wmctrl", "-i", "-c", window["id"]])

    def after_window_shown(self, app):
        """Whatever the desktop needs before the program takes keys."""

    def size_limits(self, window):
        """The smallest and the largest size the window asks the window manager for."""
        hints = self.run(["xprop", "-id", window["id"], "WM_NORMAL_HINTS"])
        return [tuple(map(int, found)) for found in
                re.findall(r"program specified (?:minimum|maximum) size: (\d+) by (\d+)", hints)]

    def describe(self):
        """What the desktop is doing, for a wait that ran out."""
        try:
            lines = [f"  window {w}" for w in self.windows(visible_only=False)]
        except (DriverError, ValueError) as error:
            lines = [f"  no windows: {error}"]
        if self.wm is not None:
            lines.append(f"  {self.NAME} " + ("is running" if self.wm.poll() is None
                                              else f"has ended ({self.wm.returncode})"))
        return lines + [f"  {self.NAME} said: {read(self.log(), 800)!r}"]

    def windows(self, visible_only=True):
        """Top-level windows titled exactly with the program's caption, by their client area."""
        out = self.run(["xdotool", "search", "--name", f"^{re.escape(CAPTION)}$"], check=False)
        found = []
        for wid in out.split():
            info = dict(re.findall(r"^\s*([A-Za-z -]+):\s+(.*)$",
                                   self.run(["xwininfo", "-id", wid], check=False), re.M))
            if "Width" in info and (info.get("Map State") == "IsViewable" or not visible_only):
                found.append({"id": wid, "x": int(info["Absolute upper-left X"]),
                              "y": int(info["Absolute upper-left Y"]),
                              "width": int(info["Width"]), "height": int(info["Height"])})
        return found


class WineSession(Session):
    """openbox with the Windows build started through wine-run (the launcher)."""

    TOOLS = Session.TOOLS + ("wine", "xclip")

    def after_window_shown(self, app):
        # Wine gives keys only to a window that has the pointer over it: rest it on the
        # backdrop, below the panel, where no control reacts to it.
        self.xdotool("mousemove", *app.to_screen(320, 470))


class GamescopeSession(Session):
    """gamescope's Xwayland (gamescope needs a GPU): no window manager, so no frame."""

    def start_desktop(self):
        return None

    def activate(self, window):
        self.xdotool("windowfocus", "--sync", window["id"])


# --- Wayland ---------------------------------------------------------------------------------
# sway, nested in a private Xvfb through wlroots' X11 backend. xdotool's pointer and keys go to
# sway's window on the Xvfb, so they reach sway as its seat's input, and sway hands them on to
# the program as Wayland events. grim takes the screenshots; sway's tree tells where the window
# stands, its title and its app id.
#
# sway will not run as root, and CI runs as root. Then sway, the program, grim and swaymsg run
# under a user id that no account on the machine has: nothing is created in the user database,
# and the id can reach no one's files but the session's own. Debian keeps the id back from its
# account tools, below 65536 so that a container's user namespace maps it too.
UNPRIVILEGED = {"user": 65500, "group": 65500, "extra_groups": []}

# No wallpaper, no Xwayland (the program must reach sway as a Wayland client), no key bindings
# that could eat the scenarios' keys, no title bar (while sway decides on one its tree can
# place the client area 25 pixels off).
SWAY_CONFIG = """\
xwayland disable
output * bg #203040 solid_color
default_floating_border none
"""


def wayland_display(runtime):
    found = [p for p in glob.glob(os.path.join(runtime, "wayland-*")) if not p.endswith(".lock")]
    return os.path.basename(found[0]) if found else None


class SwaySession(Session):
    NAME = "sway"
    TOOLS = ("Xvfb", "xdotool", "sway", "swaymsg", "grim")
    SHOT = ["grim", "-t", "ppm", "-"]

    def start_desktop(self):
        self.as_user = UNPRIVILEGED if os.geteuid() == 0 else {}
        config = os.path.join(self.workdir, "sway.conf")
        with open(config, "w") as out:
            out.write(SWAY_CONFIG)
        self.hand_over(self.workdir)
        # The software renderer: Xvfb has no GPU to hand out.
        wm = self.spawn(["sway", "-c", config], log=self.log(),
                        env=dict(self.env, WLR_BACKENDS="x11", WLR_RENDERER="pixman"))
        # What a sway session gives its programs; the program must find Wayland by itself.
        del self.env["QT_QPA_PLATFORM"]
        self.env["XDG_SESSION_TYPE"] = "wayland"
        runtime = self.env["XDG_RUNTIME_DIR"]

        def ready():
            if wm.poll() is not None:
                raise DriverError(f"sway ended at start: {read(self.log(), 800)!r}")
            sockets = glob.glob(os.path.join(runtime, "sway-ipc.*.sock"))
            if not sockets or not wayland_display(runtime):
                return False
            self.env.update(SWAYSOCK=sockets[0], WAYLAND_DISPLAY=wayland_display(runtime))
            return '"active": true' in self.run(["swaymsg", "-r", "-t", "get_outputs"],
                                                check=False)

        poll("sway to show its output on the X display", ready, timeout=20)
        self.desktop_env = self.env
        return wm

    def windows(self, visible_only=True):
        """Placed by their client area: the container's place plus the client area's in it."""
        tree = json.loads(self.run(["swaymsg", "-r", "-t", "get_tree"]))
        stack, found = [tree], []
        while stack:
            node = stack.pop()
            stack += node.get("nodes", []) + node.get("floating_nodes", [])
            outer, inner = node["rect"], node.get("window_rect")
            if (node.get("pid") and node.get("name") == CAPTION
                    and (node.get("visible") or not visible_only)):
                found.append({"id": str(node["id"]), "app_id": node.get("app_id"),
                              "x": outer["x"] + inner["x"], "y": outer["y"] + inner["y"],
                              "width": inner["width"], "height": inner["height"]})
        return found

    def activate(self, window):
        self.run(["swaymsg", f"[con_id={window['id']}]", "focus"])

    def close_window(self, window):
        self.run(["swaymsg", f"[con_id={window['id']}]", "kill"])


# --- Wayland desktops that draw no title bars ------------------------------------------------
# GNOME's mutter and weston, each nested in a private Xvfb with its Xwayland. The program gets
# what such a session gives it (XDG_SESSION_TYPE=wayland, WAYLAND_DISPLAY, and DISPLAY naming
# the Xwayland) and no QT_QPA_PLATFORM. Its window is then an X11 window on the Xwayland, framed
# by the compositor: xdotool, xwininfo and xprop find it there. Pointer, keys and screenshots go
# through the Xvfb, where the compositor's output stands at 0,0, so all share one coordinate
# system. mutter needs a session bus, and the bus an account with a passwd entry: as root, the
# compositor, the program and the tools run as nobody.


class XwaylandSession(Session):
    """A compositor that cannot be started makes the case skipped: it says nothing about the
    program."""

    TOOLS = ("Xvfb", "xdotool", "xwininfo", "xprop", "xdpyinfo", "import", "Xwayland")
    X_DISPLAY_LINE = None  # how the compositor's log names its Xwayland display
    BAR_HEIGHT = None

    def start_desktop(self):
        if os.geteuid() == 0:
            nobody = pwd.getpwnam("nobody")
            self.as_user = {"user": nobody.pw_uid, "group": nobody.pw_gid, "extra_groups": []}
        self.hand_over(self.workdir)
        wm = self.start_compositor()

        def displays():
            if wm.poll() is not None:
                raise DriverError(f"it ended at start (status {wm.returncode})")
            found = re.search(self.X_DISPLAY_LINE, read(self.log()))
            authority = self.x_authority()
            wayland = wayland_display(self.env["XDG_RUNTIME_DIR"])
            if found and wayland and authority is not None:
                return dict(WAYLAND_DISPLAY=wayland, DISPLAY=found[1], **authority)
            return None

        try:
            found = poll(f"{self.NAME} to offer Wayland and X11 displays", displays, timeout=30)
            self.env = {k: v for k, v in self.desktop_env.items() if k != "QT_QPA_PLATFORM"}
            self.env.update(found, XDG_SESSION_TYPE="wayland")
            poll("its Xwayland to take clients",
                 lambda: self.run(["xdpyinfo"], check=False).startswith("name of display"),
                 timeout=30)
        except DriverError as error:
            pytest.skip(f"{self.NAME} could not be started: {error}: {read(self.log(), 800)!r}")
        return wm

    def x_authority(self):
        """What an X client needs besides DISPLAY; None while the compositor is not there yet."""
        return {}

    def activate(self, window):
        """The compositor gives a window the focus when it is first shown."""

    def bar_height(self, window):
        return self.BAR_HEIGHT

    def title_bar(self, window):
        """The bar above a window's client area, as (left, top, width, height) on screen."""
        height = self.bar_height(window)
        return window["x"], window["y"] - height, window["width"], height


class MutterSession(XwaylandSession):
    """GNOME's compositor: mutter --nested --wayland, on a session bus of its own."""

    NAME = "mutter"
    TOOLS = XwaylandSession.TOOLS + ("mutter", "dbus-run-session")
    X_DISPLAY_LINE = r"Using public X11 display (:\d+)"

    def start_compositor(self):
        width, height = self.screen.split("x")[:2]
        return self.spawn(["dbus-run-session", "--", "mutter", "--nested", "--wayland"],
                          log=self.log(), env=dict(self.desktop_env,
                                                   MUTTER_DEBUG_DUMMY_MODE_SPECS=f"{width}x{height}"))

    def x_authority(self):
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

    def start_compositor(self):
        xwayland, config = (os.path.join(self.workdir, n) for n in ("xwayland", "weston.ini"))
        with open(xwayland, "w") as out:
            out.write('#!/bin/sh\nexec Xwayland -ac "$@"\n')
        os.chmod(xwayland, 0o755)
        with open(config, "w") as out:
            out.write(WESTON_CONFIG.format(xwayland=xwayland))
        self.hand_over(self.workdir)
        width, height = (int(v) - 16 for v in self.screen.split("x")[:2])
        self.output = width, height
        return self.spawn(["weston", f"--config={config}", "--backend=x11-backend.so",
                           "--xwayland", "--use-pixman", f"--width={width}", f"--height={height}",
                           f"--log={self.log()}"], env=self.desktop_env)

    def start_desktop(self):
        wm = super().start_desktop()
        self.xdotool("mousemove", self.output[0] + 8, self.output[1] + 8)
        self.xdotool("mousemove", self.output[0] // 2, self.output[1] // 2)
        return wm


class KWinSession(Session):
    """KDE's KWin, nested in the Xvfb, on a session bus of its own. The program gets Wayland alone
    (no DISPLAY); pointer, keys and screenshots go through the Xvfb, where KWin's output stands
    at 0,0. KWin's scripts, run over D-Bus, say where windows stand (their print() lands in its
    log) and toggle full screen as its window menu does."""

    NAME = "kwin"
    TOOLS = ("Xvfb", "kwin_wayland", "dbus-daemon", "dbus-send", "xdotool", "import")
    CALL = ["dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin"]

    def start_desktop(self):
        # Every Plasma session has the Breeze decoration; without it nested KWin draws no bar, and
        # the title bar a player sees would go untested.
        if not glob.glob("/usr/lib/*/qt5/plugins/org.kde.kdecoration2/breezedecoration.so"):
            pytest.skip("kwin-style-breeze not installed (scripts/install-deps)")
        # The installed binary carries a file capability, which a container cannot grant.
        kwin = shutil.copy(shutil.which("kwin_wayland"), self.workdir)
        bus, (width, height) = os.path.join(self.workdir, "bus"), self.screen.split("x")[:2]
        self.spawn(["dbus-daemon", "--session", "--nofork", "--address", "unix:path=" + bus])
        poll("the session bus", lambda: os.path.exists(bus))
        self.env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + bus
        wm = self.spawn([kwin, "--x11-display", self.env["DISPLAY"], "--xwayland", "--socket",
                         "wayland-bh", "--no-lockscreen", "--width", width, "--height", height],
                        log=self.log())
        self.desktop_env, self.scripts = dict(self.env), 0
        self.env = {k: v for k, v in self.env.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM")}
        self.env.update(WAYLAND_DISPLAY="wayland-bh", XDG_SESSION_TYPE="wayland")

        def ready():
            if wm.poll() is not None:
                raise DriverError(f"kwin ended at start: {read(self.log(), 800)!r}")
            return wayland_display(self.env["XDG_RUNTIME_DIR"]) and self.run(
                [*self.CALL, "/Scripting", "org.kde.kwin.Scripting.isScriptLoaded", "string:bh"],
                check=False)

        poll("kwin to take clients", ready, timeout=30)
        return wm

    def script(self, action):
        """Runs action in KWin on each of the program's windows w, where out(text) prints a line
        to its log; hands back those lines."""
        self.scripts += 1
        name, path = f"bh{self.scripts}", os.path.join(self.workdir, f"bh{self.scripts}.js")
        with open(path, "w") as out:
            out.write(f"function out(t) {{ print('{name} ' + t); }}\n"
                      f"var all = workspace.clientList(); for (var i = 0; i < all.length; ++i) "
                      f"{{ var w = all[i]; if (w.caption == '{CAPTION}') {{ {action}; }} }}\n"
                      f"out('end');\n")

        def started():
            # KWin drops its bus name and its objects and makes them again as it sets up, so a
            # call may miss them even after it first answered: then the script is tried again.
            loaded = self._call("/Scripting", "org.kde.kwin.Scripting.loadScript",
                                "string:" + path, "string:" + name)
            if loaded and self._call("/" + loaded.split()[-1], "org.kde.kwin.Script.run"):
                return True
            self._call("/Scripting", "org.kde.kwin.Scripting.unloadScript", "string:" + name)
            return False

        poll(f"kwin to start {path}", started, timeout=20)
        lines = poll(f"kwin to run {path}", lambda: f"js: {name} end" in read(self.log()) and [
            line[len(name) + 5:] for line in read(self.log()).splitlines()
            if line.startswith(f"js: {name} ")])
        self._call("/Scripting", "org.kde.kwin.Scripting.unloadScript", "string:" + name)
        return lines[:-1]

    def _call(self, *args):
        """A call to KWin over its bus: what it answered, or None."""
        done = run([*self.CALL, *args], False, env=self.env, timeout=30, **self.as_user)
        return done.stdout if done.returncode == 0 else None

    def windows(self, visible_only=True):
        """By client area, which is the surface's buffer for a window that leaves its frame to
        KWin; the frame, with Breeze's bar on top, is kept beside it for title_bar."""
        found = self.script("var b = w.bufferGeometry, f = w.frameGeometry; out([w.internalId, "
                            "w.desktopFileName, b.x, b.y, b.width, b.height, f.x, f.y, f.width, "
                            "f.height].join(' '))")
        keys = ("id", "app_id", "x", "y", "width", "height", "frame")
        return [dict(zip(keys, [*line.split()[:2], *map(int, line.split()[2:6]),
                                tuple(map(int, line.split()[6:]))])) for line in found]

    def title_bar(self, window):
        """The frame above the client area: the bar Breeze draws, as (left, top, width, height)."""
        left, top, width, _ = window["frame"]
        return left, top, width, window["y"] - top

    def size_limits(self, window):
        return [tuple(map(int, line.split())) for line in self.script(
            "out([w.minSize.width, w.minSize.height].join(' ')); "
            "out([w.maxSize.width, w.maxSize.height].join(' '))")]

    def activate(self, window):
        """KWin gives a new window the focus."""

    def full_screen(self, window):
        self.script("w.fullScreen = !w.fullScreen")


class Program:
    """One start of a command on a session's display, watched and driven from outside; scale is
    the window's scale."""

    def __init__(self, session, command, cwd, scale=1, env=None):
        self.session, self.cwd, self.scale = session, cwd, scale
        self.command = [*session.launcher, *command]
        self.extra_env = dict(env or {})
        self.log_path = tempfile.mkstemp(prefix="stderr-", suffix=".log", dir=session.workdir)[1]
        self.process = None
        self.window = None  # the main window's client area: id, x, y, width, height
        self.shots = {}
        self.main_size = round(WINDOW[2] * scale), round(WINDOW[3] * scale)
        self.others = set()  # ids of windows of the same title that another run shows

    def start(self):
        env = dict(self.session.env, **self.extra_env)
        if self.scale != 1 and "GAMESCOPE_WAYLAND_DISPLAY" not in env:  # else the program's
            env["QT_SCALE_FACTOR"] = f"{float(self.scale):.17g}"
        self.process = self.session.spawn(self.command, log=self.log_path, cwd=self.cwd, env=env)

    def stop(self):
        end_process_group(self.process)

    def stderr_text(self):
        return read(self.log_path).strip()

    def alive(self):
        return self.process.poll() is None

    def check_alive(self, what):
        if not self.alive():
            raise DriverError(f"the program ended (status {self.process.returncode}) while "
                              f"waiting for {what}; stderr: {self.stderr_text()!r}")

    def main_windows(self, main=True):
        return [w for w in self.session.windows() if w["id"] not in self.others
                and ((w["width"], w["height"]) == self.main_size) == main]

    def wait_for_main_window(self):
        def found():
            self.check_alive("the main window")
            return next(iter(self.main_windows()), None)

        # Generous bounds: a machine busy compiling can take long to start a Qt program, and
        # with a screen reader's bus just started, Qt's bridge has been seen to hold the first
        # window back for over 30 s on a loaded machine.
        try:
            self.window = poll(f"a {self.main_size[0]}x{self.main_size[1]} window titled "
                               f"{CAPTION!r}", found, timeout=60)
        except DriverError as error:
            raise DriverError(f"{error}\n{self.diagnosis()}") from None
        self.session.activate(self.window)
        # Mapped is not painted: wait until two screenshots in a row agree and show more than
        # one colour.
        previous = [None]

        def painted():
            self.check_alive("the first paint")
            shot = self.client_shot()
            stable = previous[0] is not None and shot.tobytes() == previous[0].tobytes()
            previous[0] = shot
            return stable and any(low != high for low, high in shot.getextrema())

        poll("the window to finish painting", painted, timeout=30)

    def diagnosis(self):
        """What the display and the program were doing, for a wait that ran out."""
        lines = self.session.describe()
        state = read(f"/proc/{self.process.pid}/stat").split()
        lines.append(f"  program waits in {read(f'/proc/{self.process.pid}/wchan')!r}, state "
                     f"{state[2]}" if state else "  program is gone")
        return "\n".join([*lines, f"  stderr: {self.stderr_text()!r}"])

    def wait_for_error_box(self):
        def found():
            self.check_alive("the error box")
            return next(iter(self.main_windows(main=False)), None)

        return poll(f"an error box titled {CAPTION!r}", found, timeout=30)

    def dismiss_error_box(self, box):
        """With Return, as a player would."""
        self.session.activate(box)
        self.session.key("Return")

    def wait_for_exit(self, status=0, timeout=20):
        """Waits for the program to end; it must end with status."""
        try:
            ended = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise DriverError(f"the program was still running {timeout} s later\n"
                              f"{self.diagnosis()}") from None
        if ended != status:
            raise DriverError(f"exit status {ended}, expected {status}; "
                              f"stderr: {self.stderr_text()!r}")

    def form_origin(self):
        """Where the form stands on screen: in the middle of a window that a window manager has
        made larger (maximised, full screen), as the program centres it."""
        w, (width, height) = self.window, self.main_size
        return (w["x"] + max(0, (w["width"] - width) // 2),
                w["y"] + max(0, (w["height"] - height) // 2))

    def client_shot(self):
        left, top = self.form_origin()
        (width, height), shot = self.main_size, self.session.screenshot()
        if left < 0 or top < 0:  # past the right and the bottom edge, the shot shows black
            raise DriverError(f"the form at {left},{top} leaves the {shot.size} screen")
        return shot.convert("RGB").crop((left, top, left + width, top + height))

    def to_screen(self, x, y):
        """Absolute screen position of a point given in the form's own pixels."""
        left, top = self.form_origin()
        return left + round(x * self.scale), top + round(y * self.scale)

    def click(self, x, y, times=1):
        """Clicks a point given in the client area's own pixels."""
        self.session.click(*self.to_screen(x, y), times=times)

    def press_ok(self, status=0, error_box=None, mend=None):
        """Clicks OK; the program ends with status. A failed save (status 1) shows its error box,
        which error_box may read before it is dismissed; the window then stays, and is closed
        (saving nothing), or with mend the cause is mended and OK pressed again, which saves."""
        self.click(*centre(LAYOUT["cmdOK"]))
        if status != 0:
            box = self.wait_for_error_box()
            if error_box:
                error_box(box)
            self.dismiss_error_box(box)
            poll("the error box to go and the window to stay", lambda: self.check_alive(
                "the window after the error box") or not self.main_windows(main=False))
            if mend:
                mend()
                return self.press_ok()
            self.session.close_window(self.window)
        self.wait_for_exit(status)


_SYSTEM_PLUGINS = "/usr/lib/x86_64-linux-gnu/qt6/plugins"


class AppRun(Program):
    """The program copied into a fresh folder of its own beside the given bh.cfg bytes (None:
    no bh.cfg), and started from another folder: it must find bh.cfg beside itself, not in the
    working directory. With whole_folder the copy is of the whole folder the executable was
    installed into (its libraries, plug-ins and launcher files), less the default bh.cfg."""

    def __init__(self, session, executable, config_bytes, scale=1, whole_folder=False, env=None,
                 folder_name=b"game"):
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
        super().__init__(session, [self.exe], root, scale=scale, env=env)

    def check_folder(self, config_bytes, folder=None, extra=()):
        """The folder (this run's, or where it was moved to) holds what was shipped, extra and a
        bh.cfg of exactly config_bytes (None: no bh.cfg)."""
        folder = folder or self.folder
        for path, data in self.decoys.items():
            with open(path, "rb") as decoy:
                assert decoy.read() == data, f"the program changed {path}, outside its folder"
        wanted = sorted([*self.shipped, *extra] + (["bh.cfg"] if config_bytes is not None else []))
        assert sorted(os.listdir(folder)) == wanted, "the program's folder holds other files"
        if config_bytes is not None:
            with open(os.path.join(folder, "bh.cfg"), "rb") as f:
                assert f.read().split(b"\n") == config_bytes.split(b"\n"), "bh.cfg afterwards"
