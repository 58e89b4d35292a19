# SPDX-FileCopyrightText: Brackenholt Config developers
# SPDX-License-Identifier: MIT
"""Drives the real brackenholt-config from outside, the way a player does.

Each XSession is a private Xvfb display with openbox on it, so tests running side by side never
see each other's windows. Each AppRun copies the executable into a fresh folder beside a chosen
bh.cfg and starts it there; the driver then clicks, drags and types with xdotool, closes through
the window manager and reads pixels from screenshots.

Nothing here sleeps blindly: every wait polls for something observable and gives up after a
bounded time. Every process is started in its own process group and ended by that group's id,
also when a test fails half way.
"""

import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

CAPTION = "Brackenholt Config"
CLIENT_SIZE = (640, 480)
X_TOOLS = ("Xvfb", "openbox", "xdotool", "wmctrl", "xwininfo", "xprop", "import")


class DriverError(AssertionError):
    """Something the test expected did not happen in time, or the session itself broke."""


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
        # P6 header: magic, width, height, maxval, each separated by whitespace.
        fields, pos = [], 0
        while len(fields) < 4:
            while data[pos:pos + 1].isspace():
                pos += 1
            if data[pos:pos + 1] == b"#":
                pos = data.index(b"\n", pos)
                continue
            end = pos
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[pos:end])
            pos = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise DriverError(f"unexpected screenshot format {fields[0]!r} maxval {fields[3]!r}")
        width, height = int(fields[1]), int(fields[2])
        pixels = data[pos + 1:pos + 1 + width * height * 3]
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

    def __init__(self, workdir, screen="1024x768x24"):
        self.workdir = workdir
        self.screen = screen
        self.xvfb = None
        self.wm = None
        self.display = None
        self.env = None

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
        done = subprocess.run(argv, env=self.env, capture_output=True, timeout=timeout)
        if check and done.returncode != 0:
            raise DriverError(f"{' '.join(argv)} failed ({done.returncode}): "
                              f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout.decode(errors="replace")

    def xdotool(self, *args):
        self.run(["xdotool", *[str(a) for a in args]])

    def screenshot(self):
        return Image.from_ppm(subprocess.run(
            ["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
            capture_output=True, check=True, timeout=30).stdout)

    def windows(self):
        """Visible top-level windows titled exactly with the program's caption."""
        out = self.run(["xdotool", "search", "--onlyvisible", "--name",
                        "^" + re.escape(CAPTION) + "$"], check=False)
        found = []
        for wid in out.split():
            info = self.run(["xwininfo", "-id", wid], check=False)
            fields = dict(re.findall(r"^\s*([A-Za-z -]+):\s+(.*)$", info, re.M))
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


class AppRun:
    """One start of the program in a fresh folder of its own, with the given bh.cfg bytes."""

    def __init__(self, session, executable, config_bytes, scale=1):
        self.session = session
        self.scale = scale
        self.root = tempfile.mkdtemp(prefix="run-", dir=session.workdir)
        self.folder = os.path.join(self.root, "game")
        os.mkdir(self.folder)
        self.exe = os.path.join(self.folder, os.path.basename(executable))
        shutil.copy2(executable, self.exe)
        self.config_path = os.path.join(self.folder, "bh.cfg")
        if config_bytes is not None:
            with open(self.config_path, "wb") as out:
                out.write(config_bytes)
        self.process = None
        self.window = None  # the main window's client area: id, x, y, width, height
        self.shots = {}

    def start(self):
        env = dict(self.session.env, QT_QPA_PLATFORM="xcb")
        if self.scale != 1:
            env["QT_SCALE_FACTOR"] = str(self.scale)
        # Started from another folder on purpose: the program must find bh.cfg beside itself,
        # not in the working directory.
        self.process = subprocess.Popen([self.exe], cwd=self.root, env=env, start_new_session=True,
                                        stdout=subprocess.DEVNULL,
                                        stderr=open(os.path.join(self.root, "stderr.log"), "w"))

    def stop(self):
        end_process_group(self.process)

    def stderr_text(self):
        try:
            with open(os.path.join(self.root, "stderr.log"), errors="replace") as log:
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
        return CLIENT_SIZE[0] * self.scale, CLIENT_SIZE[1] * self.scale

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
                               f"{CAPTION!r}", found, timeout=30)
        except DriverError as error:
            raise DriverError(f"{error}\n{self.diagnosis()}") from None
        self.session.xdotool("windowactivate", "--sync", self.window["id"])
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
        lines = []
        out = self.session.run(["xdotool", "search", "--name", CAPTION], check=False)
        for wid in out.split():
            info = self.session.run(["xwininfo", "-id", wid], check=False)
            fields = dict(re.findall(r"^\s*([A-Za-z -]+):\s+(.*)$", info, re.M))
            lines.append(f"  window {wid}: {fields.get('Width')}x{fields.get('Height')} "
                         f"at {fields.get('Absolute upper-left X')},"
                         f"{fields.get('Absolute upper-left Y')} {fields.get('Map State')}")
        try:
            with open(f"/proc/{self.process.pid}/wchan") as wchan, \
                    open(f"/proc/{self.process.pid}/stat") as stat:
                lines.append(f"  program waits in {wchan.read()!r}, state {stat.read().split()[2]}")
        except OSError:
            lines.append("  program is gone")
        lines.append(f"  stderr: {self.stderr_text().strip()!r}")
        active = self.session.run(["xdotool", "getactivewindow"], check=False).strip()
        focus = self.session.run(["xdotool", "getwindowfocus"], check=False).strip()
        lines.append(f"  active window {active or 'none'}, keyboard focus {focus or 'none'}")
        wm = self.session.wm
        lines.append("  openbox is running" if wm is not None and wm.poll() is None
                     else f"  openbox has ended (status {wm.returncode if wm else None})")
        try:
            with open(os.path.join(self.session.workdir, "openbox.log"), errors="replace") as log:
                lines.append(f"  openbox said: {log.read().strip()[-800:]!r}")
        except OSError:
            pass
        return "\n".join(lines)

    def wait_for_error_box(self):
        def found():
            self._check_alive("the error box")
            boxes = self.other_windows()
            return boxes[0] if boxes else None

        return poll(f"an error box titled {CAPTION!r}", found, timeout=30)

    def wait_for_exit(self, timeout=20):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise DriverError(f"the program was still running {timeout} s later\n"
                              f"{self.diagnosis()}") from None

    def client_shot(self):
        w = self.window
        return self.session.screenshot().crop(w["x"], w["y"], w["width"], w["height"])

    def to_screen(self, x, y):
        """Absolute screen position of a point given in the client area's own pixels."""
        return self.window["x"] + x * self.scale, self.window["y"] + y * self.scale
