#!/usr/bin/python3
# Window tests: the real program on a private virtual X server with a fresh home folder, driven
# like a user would (xdotool, wmctrl) and checked by what a user would see: the screen (read
# through Xlib), window properties, the clipboard and the settings file.
#
#   PIKUTA_BIN=build/pikuta PIKUTA_SAMPLES=$PWD/samples tests/x11/pikuta_x11.py TEST [ARG...]
#
# Each test is a function taking the fixture `Session` (its X server, window manager, session
# bus and every process it started end with it; on failure a screenshot, the window tree and
# the logs are kept). Debian's own interpreter: the one with python3-xlib, -pil and -pyatspi.
import configparser
import contextlib
import io
import itertools
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from PIL import Image, ImageChops, ImageStat
from Xlib import X, Xatom, display, error
from Xlib.ext import screensaver

HERE = Path(__file__).resolve().parent
BIN = os.path.realpath(os.environ["PIKUTA_BIN"]) if "PIKUTA_BIN" in os.environ else None
SAMPLES = os.environ.get("PIKUTA_SAMPLES")
TITLE = "PIKUTA (*.BMP) (*.DIB) (*.JPG) (*.EMF)"
TWIPS = 15  # twips per pixel at the usual density
KEYS = ("n_left n_top w_width w_height w_left w_top opc1_flag opc2_flag opc3_flag opc4_flag "
        "HScroll1_Value moto_dr f_path").split()
RED, LIME, BLUE, YELLOW, BLACK = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (0, 0, 0)
# The picture area at the usual density: 377 x 233 px at (200, 208) of the client area.
PX, PY, PW, PH = 200, 208, 377, 233


def poll(seconds, condition, interval=0.1):
    # Asks `condition` every `interval` until it holds or `seconds` pass; its last answer.
    deadline = time.monotonic() + seconds
    while not (got := condition()) and time.monotonic() < deadline:
        time.sleep(interval)
    return got


def steady(read, times=1, seconds=5, interval=0.1):
    # Waits until `read()` gives the same answer `times` more times in a row; whether it did.
    last, same, deadline = None, -1, time.monotonic() + seconds
    while same < times and time.monotonic() < deadline:
        now = read()
        same = same + 1 if now == last else 0
        last = now
        if same < times:
            time.sleep(interval)
    return same >= times


def near(have, want, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(have, want))


def dark(p):  # text on the light window background
    return sum(p[:3]) < 300


def count(image, meets):
    return sum(1 for p in image.getdata() if meets(p))


def same_picture(a, b):
    # Same size, same pixels; each a picture or a file.
    a, b = (p if isinstance(p, Image.Image) else Image.open(p) for p in (a, b))
    return a.size == b.size and ImageChops.difference(a.convert("RGB"), b.convert("RGB")).getbbox() is None


def ink_runs(image, along_rows=True):
    # The runs (first, past the last) of rows (or columns) of a picture that hold dark ink.
    grey = image.convert("L")
    w, h = grey.size
    data = grey.tobytes()
    lines = [data[y * w:(y + 1) * w] for y in range(h)] if along_rows else [data[x::w] for x in range(w)]
    runs, at = [], 0
    for ink, group in itertools.groupby(min(line) < 100 for line in lines):
        length = len(list(group))
        if ink:
            runs.append((at, at + length))
        at += length
    return runs


def save_bmp(image, path):
    image.convert("RGB").save(path, "BMP")
    return path


def solid(path, colour, size=(40, 30)):
    return save_bmp(Image.new("RGB", size, colour), path)


def quadrants(w, h):
    # Four colours: red top left, lime top right, blue bottom left, yellow bottom right.
    image = Image.new("RGB", (w, h), YELLOW)
    for colour, x, y in ((RED, 0, 0), (LIME, w // 2, 0), (BLUE, 0, h // 2)):
        image.paste(colour, (x, y, x + w // 2, y + h // 2))
    return image


def expect_quadrants(shot, x, y, dx, dy):
    for sx, sy, colour, name in ((-1, -1, RED, "red"), (1, -1, LIME, "lime"), (-1, 1, BLUE, "blue"),
                                 (1, 1, YELLOW, "yellow")):
        got = shot.getpixel((x + sx * dx, y + sy * dy))
        assert near(got, colour), f"{name} expected at {x + sx * dx},{y + sy * dy}, got {got}"


class Session:
    # The fixture: a private X server (any free display number) and a fresh home folder.

    def __init__(self, screen="1280x1024", tmp=None):
        self.work = Path(tempfile.mkdtemp(prefix="pikuta-x11.", dir=tmp))
        self.procs = []
        home = self.work / "home"
        (home / ".config").mkdir(parents=True)
        (self.work / "runtime").mkdir(mode=0o700)
        os.environ.update(HOME=str(home), XDG_CONFIG_HOME=str(home / ".config"),
                          XDG_RUNTIME_DIR=str(self.work / "runtime"))
        # No desktop: no session bus, no desktop's name, the usual data folder.
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP",
                     "DESKTOP_SESSION", "XDG_DATA_HOME"):
            os.environ.pop(name, None)
        self.settings_file = home / ".config/PIKUTA/PIKUTA.ini"
        # -noreset: by default the server resets when its last client leaves, dropping a client
        # that connects meanwhile.
        r, w = os.pipe()
        self.spawn(["Xvfb", "-displayfd", str(w), "-screen", "0", f"{screen}x24", "-nolisten", "tcp",
                    "-noreset"], "xvfb", pass_fds=(w,))
        os.close(w)
        with os.fdopen(r) as f:
            number = f.readline().strip()
        assert number, f"the virtual X server did not start: {self.log('xvfb')}"
        os.environ["DISPLAY"] = f":{number}"
        self.d = display.Display()
        self.root = self.d.screen().root

    def __enter__(self):
        return self

    def __exit__(self, kind, failure, trace):
        if failure is not None:
            with contextlib.suppress(Exception):
                self.grab().save(self.work / "at-failure.png")
                subprocess.run(["xwininfo", "-root", "-tree"], stdout=open(self.work / "windows.txt", "w"))
            for p in self.procs:
                state = "has ended" if p.poll() is not None else "still runs"
                print(f"{p.args[0]} ({p.pid}) {state}", file=sys.stderr)
        for p in reversed(self.procs):  # the programs, the window manager, the X server last
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(3)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
        if failure is None:
            shutil.rmtree(self.work)
        else:
            print(f"Screenshots, program output and settings kept in {self.work}", file=sys.stderr)

    # Processes
    def spawn(self, args, name, **options):
        log = open(self.work / f"{name}.log", "w")
        p = subprocess.Popen([str(a) for a in args], stdout=log, stderr=subprocess.STDOUT,
                             stdin=subprocess.DEVNULL, **options)
        self.procs.append(p)
        return p

    def log(self, name):
        return (self.work / f"{name}.log").read_text(errors="replace")

    def start(self, *args, cwd=None, env=None):
        # The program, started in `cwd` (the samples folder by default).
        return self.spawn([BIN, *args], f"app{len(self.procs)}", cwd=cwd or SAMPLES,
                          env=None if env is None else {**os.environ, **env})

    def run_again(self, *args, cwd=None, env=None):
        # A further start that must end by itself within 10 s; its exit status.
        return subprocess.run([BIN, *args], cwd=cwd or self.work, env={**os.environ, **(env or {})},
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10).returncode

    def start_wm(self):
        self.spawn(["openbox", "--sm-disable"], "openbox")
        assert poll(10, lambda: self.prop(self.root, "_NET_SUPPORTING_WM_CHECK")), "openbox did not start"

    def start_bus(self):
        # A private session bus.
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address"],
                               stdout=subprocess.PIPE, text=True)
        self.procs.append(bus)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()

    def wait_for_line(self, name, line, seconds=10):
        assert poll(seconds, lambda: line in self.log(name)), f"{name}: {self.log(name)}"

    def wmctrl(self, window, action, *args):  # -c closes as the close box does, -a activates
        subprocess.run(["wmctrl", "-i", action, hex(window.id), *args], check=True)

    def maximise(self, window):  # as a pager or a double click on the title bar does
        self.wmctrl(window, "-r", "-b", "add,maximized_vert,maximized_horz")

    def clipboard(self, target="image/png"):
        got = subprocess.run(["xclip", "-selection", "clipboard", "-t", target, "-o"], capture_output=True)
        return got.stdout if got.returncode == 0 else None

    def close(self, window, app, seconds=5):
        # Closes the window as its close box does and expects the program to end.
        self.wmctrl(window, "-c")
        assert poll(seconds, lambda: app.poll() is not None), f"the program did not end within {seconds} s"

    # Windows
    def prop(self, window, name):
        try:
            got = window.get_full_property(self.d.intern_atom(name), X.AnyPropertyType)
        except error.XError:
            return None
        return got.value if got else None

    def title(self, window):
        name = self.prop(window, "_NET_WM_NAME")
        return name.decode(errors="replace") if name else (self.prop(window, "WM_NAME") or b"").decode("latin-1")

    def windows(self, deep=True):
        stack = [self.root]
        while stack:
            try:
                children = stack.pop().query_tree().children
            except error.XError:
                continue
            yield from children
            if deep:
                stack.extend(children)

    def find(self, title, deep=True):
        return [w for w in self.windows(deep=deep) if self.title(w) == title]

    def shown(self, title, deep=True):
        return next((w for w in self.find(title, deep) if self.viewable(w)), None)

    def viewable(self, window):
        try:
            return window.get_attributes().map_state == X.IsViewable
        except error.XError:
            return False

    def main_windows(self):
        return self.find(TITLE)

    def wait_for_window(self, seconds=10):
        # The one main window, once on screen and no longer moving.
        one = lambda: len(found := self.main_windows()) == 1 and self.viewable(found[0]) and found[0]
        window = poll(seconds, one)
        assert window, f"no main window within {seconds} s"
        self.settled(window)
        return window

    def settled(self, window):
        # Waits until the window's place, size and decorations stay the same for half a second.
        steady(lambda: (self.geometry(window), self.extents(window)), 5)

    def geometry(self, window):
        # The client area in screen pixels: x, y, width, height.
        g = window.get_geometry()
        origin = self.root.translate_coords(window, 0, 0)
        return origin.x, origin.y, g.width, g.height

    def extents(self, window):
        # The decorations' sizes: left, right, top, bottom (all 0 without a window manager).
        return tuple(self.prop(window, "_NET_FRAME_EXTENTS") or (0, 0, 0, 0))

    def frame(self, window):
        # The top-left corner with the decorations, and the client area's size.
        x, y, w, h = self.geometry(window)
        left, _, top, _ = self.extents(window)
        return x - left, y - top, w, h

    def maximised(self, window):
        return self.d.intern_atom("_NET_WM_STATE_MAXIMIZED_HORZ") in (self.prop(window, "_NET_WM_STATE") or ())

    def active(self):
        return (self.prop(self.root, "_NET_ACTIVE_WINDOW") or [0])[0]

    def picture_area_open(self, window, bottom=300):
        return self.geometry(window)[3] > bottom

    def expect_picture_area(self, window, bottom=300, what="the picture area did not open"):
        assert poll(5, lambda: self.picture_area_open(window, bottom)), what
        self.settled(window)

    # The screen
    def grab(self, x=0, y=0, w=None, h=None):
        g = self.root.get_geometry()
        w, h = w or g.width - x, h or g.height - y
        data = self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
        return Image.frombytes("RGB", (w, h), data, "raw", "BGRX")

    def pixel(self, x, y):
        return self.grab(x, y, 1, 1).getpixel((0, 0))

    # Keys and the mouse
    def xdo(self, *args):
        subprocess.run(["xdotool", *map(str, args)], check=True)

    def key(self, *keys):
        self.xdo("key", *keys)

    def click(self, x, y, *held, button=1, repeat=1):
        # Clicks at a screen position, holding the named keys (e.g. ctrl).
        pointer = self.root.query_pointer()
        # A synchronous move waits for the pointer to move: not when it is there already.
        move = [] if (pointer.root_x, pointer.root_y) == (x, y) else ["mousemove", "--sync", x, y]
        self.xdo(*move, *[a for k in held for a in ("keydown", k)], "click", "--repeat", repeat,
                 "--delay", 60, button, *[a for k in held for a in ("keyup", k)])

    # Popup menus and balloons: top-level windows of the program that the window manager leaves be.
    def menu(self):
        return self.shown("PIKUTA", deep=False)

    def menu_at(self, x, y):
        # Right-clicks at x y and expects the popup menu with its top-left corner there.
        self.click(x, y, button=3)
        menu = poll(3, self.menu)
        assert menu, f"no menu after a right click at {x},{y}"
        mx, my, _, _ = self.geometry(menu)
        assert abs(mx - x) <= 2 and abs(my - y) <= 2, f"the menu opened at {mx},{my}, the click was at {x},{y}"

    def choose(self, item):
        # Chooses the n-th item of the open popup menu from the keyboard.
        self.key(*["Down"] * item, "Return")
        assert poll(3, lambda: not self.menu()), "the menu stayed open"

    # The program's own screens
    def list_rows(self, window, expected, most=None):
        # The picture list's top-left on screen and its rows' middles (relative to the top);
        # expects `expected` rows (up to `most`), all whole: none cut by the list's bottom edge.
        cx, cy, _, _ = self.geometry(window)
        x, y = cx + 214, cy + 14
        # Left of the select-all button and right of a horizontal scroll bar's arrow. Each entry
        # begins with a "/" as tall as the line: a row cut by the list's edge shows less ink.
        runs = ink_runs(self.grab(x + 20, y, 230, 124))
        assert expected <= len(runs) <= (most or expected), f"the list shows {len(runs)} rows, expected {expected}"
        heights = [b - t for t, b in runs]
        assert min(heights) + 3 >= max(heights), f"a list row is cut: ink heights {heights}"
        return x, y, [(t + b - 1) // 2 for t, b in runs]

    def mark(self, window, expected, *rows):
        # Marks the list's rows given (all when none is): the first by a click, the others with
        # ctrl held. The list's top-left and its rows, as list_rows gives them.
        x, y, middles = self.list_rows(window, expected)
        for i, row in enumerate(rows or range(len(middles))):
            self.click(x + 100, y + middles[row], *(("ctrl",) if i else ()))
        return x, y, middles

    def show_first_entry(self, window):
        # Marks the list's first entry and shows it with n.
        self.mark(window, 1)
        self.key("n")
        self.expect_picture_area(window)

    def search(self, window, start=True):
        # Opens the search window with "検索する" and starts a search in it unless told not to;
        # the search window.
        cx, cy, _, _ = self.geometry(window)
        self.click(cx + 140, cy + 168)
        found = poll(10, lambda: self.shown("検索"))
        assert found, "the search window did not appear"
        self.settled(found)
        if start:
            sx, sy, _, _ = self.geometry(found)
            self.click(sx + 28, sy + 50)
        return found

    # The settings file
    def settings(self):
        ini = configparser.ConfigParser(interpolation=None, strict=False)
        ini.optionxform = str
        ini.read(self.settings_file, encoding="utf-8")
        return dict(ini["Startup"]) if ini.has_section("Startup") else {}

    def write_settings(self, **values):
        self.settings_file.parent.mkdir(parents=True, exist_ok=True)
        self.settings_file.write_text("[Startup]\n" + "".join(f"{k}={v}\n" for k, v in values.items()))

    def write_folder_settings(self, folder, **changes):
        # Opens `folder` at start with the window at the top-left corner, every option on and
        # the speed bar at its middle (a tick of 1.5 s).
        self.write_settings(**{**dict(n_left=0, n_top=0, w_width=8880, w_height=7140, w_left=0, w_top=0,
                                      opc1_flag=1, opc2_flag=1, opc3_flag=1, opc4_flag=1,
                                      HScroll1_Value=3, moto_dr="/", f_path=folder), **changes})

    def pictures(self, **files):
        # A folder of pictures: name=image (a PIL image, saved as a bitmap) or bytes.
        folder = self.work / "pictures"
        folder.mkdir(exist_ok=True)
        for name, content in files.items():
            if isinstance(content, bytes):
                (folder / name).write_bytes(content)
            else:
                save_bmp(content, folder / name)
        return folder


TESTS = {}


def x11_test(**fixture):
    def register(test):
        TESTS[test.__name__] = test, fixture
        return test
    return register


# ---------------------------------------------------------------------------------------------
@x11_test()
def first_run(s, mode):
    # A first run without settings, on the samples folder; "bare": without a window manager,
    # "wm": under openbox. Windows of other programs with titles close to the main window's do not
    # pass for a running instance. bare: the window at the top-left corner with its exact title,
    # only the upper band of controls, the list filled at once and the Japanese caption drawn
    # with real glyphs. A second start (with WAYLAND_DISPLAY beside DISPLAY) brings the first
    # window back (bare: unmapped and covered: mapped, on top, focused; wm: minimised, then
    # covered: restored, on top, active) and ends at once, writing no settings. wm: maximised by
    # the window manager before any picture, the window is put back at once; closed, it writes
    # the thirteen settings as plain text. (A later run restoring its place and folder and saving
    # the same place again: monitors.)
    if mode == "wm":
        s.start_wm()

    def other_window(title):
        s.spawn(["xmessage", "-title", title, title], "xmessage")
        found = poll(5, lambda: s.find(title))
        assert found, f"no window {title}"
        return found[0]

    for title in (TITLE[:-1], TITLE + " ", TITLE.lower(), TITLE.replace("EMF", "EMX")):
        other_window(title)
    app = s.start()
    first = s.wait_for_window()
    if mode == "bare":
        x, y, w, h = s.geometry(first)
        # The design width of 8880 twips and the upper band of 2895 twips.
        assert (x, y, w, h) == (0, 0, 592, 193), f"client area {w}x{h} at {x},{y}"
        s.list_rows(first, 8, 9)  # whole rows only, eight above a horizontal scroll bar
        # The list frame's caption: its 22 characters make about 600 dark pixels in the
        # Japanese font and under 200 as empty boxes; beyond it plain background.
        caption = count(s.grab(x + 200, y, 246, 16), dark)
        assert caption > 400, f"the list frame's caption has {caption} dark pixels (fonts-ipafont-gothic?)"
        assert count(s.grab(x + 450, y, 120, 12), dark) == 0, "dark pixels right of the caption"
        s.xdo("windowunmap", "--sync", first.id)
    else:
        s.xdo("windowminimize", "--sync", first.id)
    assert poll(3, lambda: not s.viewable(first)), "the first window could not be hidden"

    def stacking():  # bottom up
        return list(s.prop(s.root, "_NET_CLIENT_LIST_STACKING") or [w.id for w in s.windows(deep=False)])

    def on_top(a, b):
        order = stacking()
        return order.index(a.id) > order.index(b.id)

    def second_start(how, cover=None):
        started = time.monotonic()
        # As from a Wayland session that also runs an X server: the rule holds all the same.
        status = s.run_again(cwd=SAMPLES, env=dict(WAYLAND_DISPLAY="wayland-pikuta", XDG_SESSION_TYPE="wayland"))
        took = time.monotonic() - started
        print(f"second instance ({how}) ended with status {status} after {took:.2f} s")
        assert status == 0 and took < 2, f"{how}: the second instance ended with {status} after {took:.2f} s"
        back = lambda: [w.id for w in s.main_windows()] == [first.id] and s.viewable(first)
        assert poll(3, back), f"{how}: the first window is not the one viewable main window"
        assert app.poll() is None, "the first instance ended"
        assert not s.settings_file.exists(), "settings were written while the first instance runs"
        focus = lambda: s.active() if mode == "wm" else getattr(s.d.get_input_focus().focus, "id", 0)
        assert poll(3, lambda: focus() == first.id), f"{how}: the first window was not activated"
        assert not cover or poll(3, lambda: on_top(first, cover)), f"{how}: the first window is not on top"

    if mode == "bare":
        return second_start("unmapped and covered", other_window("pikuta cover"))
    second_start("minimised")
    s.settled(first)
    placed = s.frame(first)
    s.maximise(first)
    time.sleep(0.5)
    s.settled(first)
    assert not s.maximised(first) and s.frame(first) == placed, f"maximised: at {s.frame(first)}, was {placed}"
    cover = other_window("pikuta cover")
    assert poll(3, lambda: not on_top(first, cover)), "the other window does not cover the first"
    second_start("covered", cover)

    s.settled(first)
    _, _, top, bottom = s.extents(first)
    s.close(first, app)
    stored = s.settings()
    assert sorted(stored) == sorted(KEYS), f"stored keys: {sorted(stored)}"
    for key in KEYS[:11]:
        assert stored[key].lstrip("-").isdigit(), f"{key} is not plain decimal text: {stored[key]}"
    # The values themselves are the handler tests' business; here the ones that depend on the
    # real screen and file system. The fit-to-window height counts the real window frame.
    assert stored["n_left"] == "0" and stored["moto_dr"], stored
    assert stored["w_height"] == str((top + bottom) * TWIPS + 6765), stored
    assert stored["f_path"] == os.path.realpath(SAMPLES), stored


@x11_test()
def open_path(s):
    # Opening a picture or folder as the file manager does (pikuta PATH), under openbox: a
    # picture given relative to where the program starts is on show at once; a second start with
    # a path hands it over to the running instance, which comes back from the taskbar, active, and
    # opens it (a folder fills the list, a picture whose name is not UTF-8 shows); a path that
    # does not exist changes nothing, handed over or given without a running instance.
    s.start_wm()
    pics = s.pictures(**{"a red.bmp": Image.new("RGB", (40, 30), RED),
                         "b blue.bmp": Image.new("RGB", (40, 30), BLUE)})
    sjis = pics / os.fsdecode(b"\x8d\xf7.bmp")  # a name in Shift-JIS, not UTF-8
    solid(sjis, LIME)
    start = s.work / "start"
    start.mkdir()
    solid(start / "s.bmp", (190, 190, 190))
    s.write_folder_settings(start)

    def shows(colour):
        x, y, _, _ = s.geometry(window)
        return near(s.pixel(x + PX + PW // 2, y + PY + PH // 2), colour)

    def handed_over(path):
        assert s.run_again(path, cwd="/") == 0, f"the instance given {path} failed"
        assert [w.id for w in s.main_windows()] == [window.id], "another main window appeared"

    app = s.start("pictures/b blue.bmp", cwd=s.work)
    window = s.wait_for_window()
    s.expect_picture_area(window)
    assert poll(3, lambda: shows(BLUE)), "the picture given is not on show"
    s.xdo("windowminimize", "--sync", window.id)
    assert poll(3, lambda: not s.viewable(window)), "the window could not be minimised"
    handed_over(pics)
    assert poll(3, lambda: s.viewable(window)), "the window did not come back"
    assert poll(3, lambda: s.active() == window.id), "the window is not active"
    s.settled(window)
    s.list_rows(window, 3)
    handed_over(sjis)
    assert poll(3, lambda: shows(LIME)), "the picture handed over is not on show"
    handed_over("/nowhere/x.bmp")
    assert poll(3, lambda: shows(LIME)), "a path that does not exist changed the picture"
    s.close(window, app)
    assert s.settings()["f_path"] == str(pics), s.settings()

    # No instance runs: as without the path, and it saves what it would have saved anyway.
    s.write_folder_settings(start)
    saved = s.settings()
    app = s.start("/nowhere/y.bmp", cwd=s.work)
    window = s.wait_for_window()
    s.list_rows(window, 1)
    s.close(window, app)
    assert s.settings() == saved, f"{s.settings()}, before: {saved}"


@x11_test()
def slideshow(s):
    # The slideshow as the user sees it on the real timers: the marked pictures only, in list
    # order, the first at once and then one a tick (1.5 s at the middle speed); NEXT steps on,
    # round to the first, a second after the key. Enhanced and Windows metafiles show fitted with
    # proportions kept, as their reference renderings scaled the same way.
    s.start_wm()
    colours = dict(red=RED, yellow=YELLOW, green=LIME, blue=BLUE)
    pics = s.pictures(**{f"{i}_{n}.bmp": Image.new("RGB", (160, 120), c) for i, (n, c) in enumerate(colours.items(), 1)})
    for name in ("shapes.emf", "shapes.wmf"):
        shutil.copy(Path(SAMPLES) / name, pics)
    s.write_folder_settings(pics)
    s.start(cwd=s.work)
    window = s.wait_for_window()
    cx, cy, _, _ = s.geometry(window)
    x, y, rows = s.mark(window, 6, 0, 2, 3)
    px, py = cx + PX, cy + PY

    def shown():  # the picture's name by its colour; None while none shows (the area opening)
        got = s.pixel(px + PW // 2, py + PH // 2)
        return next((n for n, c in colours.items() if near(got, c)), None)

    def watch(key, changes, seconds):
        # Presses `key` and watches the picture: the pictures seen and when (ms after the key).
        last, seen = shown(), []
        s.key(key)
        start = time.monotonic()
        while len(seen) < changes and time.monotonic() - start < seconds:
            if (now := shown()) not in (last, None):
                seen.append((now, int((time.monotonic() - start) * 1000)))
                last = now
        print(f"after {key}: {seen}")
        return [n for n, _ in seen], [t for _, t in seen]

    names, at = watch("p", 3, 8)
    s.key("s")
    assert names == ["red", "green", "blue"], f"the slideshow showed {names}"
    assert at[0] < 1000, f"the first picture came {at[0]} ms after PLAY"
    for i in (1, 2):
        assert 1200 < at[i] - at[i - 1] < 2500, f"picture {i + 1} came {at[i] - at[i - 1]} ms after the one before"
    names, at = watch("n", 1, 3)
    assert names == ["red"] and at[0] >= 900, f"after n: {names} at {at} ms, expected red after a second"

    area = lambda: s.grab(px, py, PW, PH)
    for row, key, name in ((4, "p", "shapes.emf"), (5, "n", "shapes.wmf")):  # one marked at a time
        s.click(x + 100, y + rows[row])
        before = area().tobytes()
        s.key(key)
        assert poll(5, lambda: area().tobytes() != before), f"{name} did not show after {key}"
        assert steady(lambda: area().tobytes(), 1, 2, 0.2), f"{name} does not hold still"
        if key == "p":
            s.key("s")
        # The reference fitted the way the viewer fits it: both samples (320 x 240 and 427 x
        # 320) fill the height, 311 x 233 from column 32. Smooth scaling here and on screen
        # differ only along edges: a correct picture measures up to about 0.02 (normalised
        # RMSE), one pixel off 0.10, the other sample 0.31.
        reference = Image.open(HERE.parent / "imageformats/reference" / f"{name}.png").convert("RGBA")
        white = Image.new("RGBA", reference.size, "white")
        expected = Image.new("RGB", (PW, PH), BLACK)
        expected.paste(Image.alpha_composite(white, reference).convert("RGB").resize((311, 233), Image.BILINEAR), (32, 0))
        rms = ImageStat.Stat(ImageChops.difference(area(), expected)).rms
        difference = math.sqrt(sum(v * v for v in rms) / 3) / 255
        print(f"{name}: difference {difference:.3f} (RMSE, 0..1)")
        assert difference <= 0.04, f"{name} on screen differs from its reference by {difference:.3f}"


@x11_test()
def display_modes(s):
    # The loupe and the display modes on one picture under openbox. The loupe: on at the
    # picture's own size from the top right corner; a quick double click is two steps around the
    # clicked point; off again from the corner, the fitted picture. The version window comes back
    # after the window manager minimised it and goes at a right click. A right click opens the
    # popup menu with its corner at the click in every mode. Full screen fills the screen with
    # the fitted picture and its overlay line; restored by a second start, the default place and
    # size chosen meanwhile hold; the resizable window refits its picture when the user resizes
    # it, keeps the user's rectangle when the window manager maximises it (title bar, pager),
    # drops a balloon when the pointer moves on, and comes back in that rectangle after a
    # restart.
    s.start_wm()
    s.write_folder_settings(s.pictures(**{"quad.bmp": quadrants(640, 480)}))
    app = s.start(cwd=s.work)
    window = s.wait_for_window()
    s.show_first_entry(window)
    cx, cy, _, _ = s.geometry(window)
    px, py = cx + PX, cy + PY
    # Click, clicks, where the picture's middle is then, and how far from it to look: the corner
    # (own size, middle at 188, 116); a double click 10 px up and left of the middle: 2x with that
    # point in the middle, then 4x around the point now under the pointer; the corner again: off,
    # the whole picture fitted (311 x 233 from x 33).
    for x, y, clicks, mx, my, dx, dy in ((360, 20, 1, 188, 116, 8, 8), (178, 106, 2, 248, 176, 8, 8),
                                         (360, 20, 1, 188, 116, 78, 58)):
        s.click(px + x, py + y, repeat=clicks)
        time.sleep(0.3)
        expect_quadrants(shot := s.grab(), px + mx, py + my, dx, dy)
    assert near(shot.getpixel((px + 10, py + 116)), BLACK), "no black margin"

    version = lambda: s.shown("バージョン情報")
    for x in (247, 248, 249):  # each click a pixel away from the last
        s.menu_at(px + x, py + 100)
        s.choose(5)
        assert poll(5, version), f"the version window did not show (menu at {x})"
        if x == 247:
            s.xdo("windowminimize", "--sync", version().id)
    vx, vy, vw, vh = s.geometry(version())
    s.click(vx + vw // 2, vy + vh // 3, button=3)
    assert poll(3, lambda: not version()), "a right click left the version window open"

    # Full screen: the picture fitted to the whole client area, no panels, the overlay line.
    s.menu_at(px + 250, py + 100)
    s.choose(2)
    assert poll(5, lambda: s.maximised(window)), "not maximised"
    s.settled(window)
    cx, cy, cw, ch = s.geometry(window)
    assert cx == 0 and cw == 1280 and cy + ch == 1024, f"full screen client area {cw}x{ch} at {cx},{cy}"
    shot = s.grab()
    expect_quadrants(shot, cx + 640, cy + ch // 2, 320, 240)  # 1280 x 960, centred
    grey = count(shot.crop((cx, cy, cx + cw, cy + ch)), lambda p: near(p, (192, 192, 192), 60))
    assert grey == 0, f"{grey} grey pixels of the panels show in full-screen mode"
    magenta = count(shot.crop((cx, cy, cx + 400, cy + 16)), lambda p: p[0] >= 195 and p[1] <= 60 and p[2] >= 195)
    assert magenta > 30, f"no overlay line ({magenta} magenta pixels)"
    s.menu_at(cx + 700, cy + 400)
    s.key("Escape")
    assert poll(3, lambda: not s.menu()), "Escape left the menu open"

    # The default place and size chosen while maximised, then the window restored by a second
    # start: fit-to-window at the default place, the default height below the normal title bar.
    s.menu_at(cx + 701, cy + 400)
    s.choose(8)
    assert s.run_again() == 0, "the second start failed"
    assert poll(5, lambda: not s.maximised(window)), "still maximised"
    s.settled(window)
    fx, fy, cw, ch = s.frame(window)
    assert (fx, fy) == (0, 0) and cw < 1000 and ch == 6765 // TWIPS, f"restored at {fx},{fy}, {cw}x{ch}"
    cx, cy, _, _ = s.geometry(window)
    s.menu_at(cx + 300, cy + 200)
    s.key("Escape")

    # The user resizes it: the picture refits the new client area exactly.
    s.xdo("windowsize", "--sync", window.id, 800, 600)
    s.settled(window)
    cx, cy, cw, ch = s.geometry(window)
    assert (cw, ch) == (800, 600), f"resized to {cw}x{ch}"
    expect_quadrants(s.grab(), cx + 400, cy + 300, 200, 150)
    kept = s.frame(window)
    # Maximised by the window manager (a double click on the title bar, a pager): the window
    # keeps the user's rectangle, the picture fitted to it.
    for how in ("title", "pager"):
        if how == "title":
            fx, fy, _, _ = s.frame(window)
            s.click(fx + 100, fy + s.extents(window)[2] // 2, repeat=2)
        else:
            s.maximise(window)
        time.sleep(0.5)
        s.settled(window)
        assert s.frame(window) == kept, f"maximised by the {how}, the window went to {s.frame(window)} from {kept}"
        expect_quadrants(s.grab(), cx + 400, cy + 300, 200, 150)
    # The balloon over NEXT in the strip along the picture's bottom edge goes when the pointer
    # moves on into the gap beside it.
    s.xdo("mousemove", "--sync", cx + 700, cy + 550, "sleep", 0.1, "mousemove", "--sync", cx + 702, cy + 551)
    assert poll(3, s.menu), "no balloon over NEXT"
    s.xdo("mousemove", "--sync", cx + 550, cy + 550)
    assert poll(2, lambda: not s.menu()), "the balloon stayed up over the gap"

    # Closed in this mode and started again: fit-to-window returns to the same rectangle.
    s.close(window, app)
    app = s.start(cwd=s.work)
    window = s.wait_for_window()
    s.show_first_entry(window)
    cx, cy, _, _ = s.geometry(window)
    s.menu_at(cx + PX + 100, cy + PY + 50)
    s.choose(3)
    s.settled(window)
    assert s.frame(window) == kept, f"fit-to-window came back at {s.frame(window)}, it was left at {kept}"
    cx, cy, _, _ = s.geometry(window)
    s.menu_at(cx + 500, cy + 300)


@x11_test(tmp="/dev/shm" if os.path.isdir("/dev/shm") else None)  # the big tree in memory
def search_stop(s):
    # A long search under a real window system: its count rises while the animation runs;
    # "中止" stops it within a second; minimised by the window manager, the search window comes
    # back at "検索する"; "閉じる" hides it; closing the main window during a search ends the
    # program within two seconds, the settings written. ("すべて選択" over the list: screen_awake.)
    s.start_wm()
    tree = s.work / "tree"
    for a in range(30):  # 27,000 folders three deep, one picture in each of the deepest
        for b in range(30):
            for c in range(30):
                folder = tree / f"a{a:02}/b{b:02}/c{c:02}"
                folder.mkdir(parents=True)
                (folder / "p.jpg").touch()
    app = s.start(cwd=tree)
    window = s.wait_for_window()
    sx, sy, _, _ = s.geometry(s.search(window))
    # While a search runs, the animation box shows the film strip, dark at its top edge.
    searching = lambda: near(s.pixel(sx + 52, sy + 40), (36, 34, 40), 20)
    count_text = lambda: s.grab(sx + 6, sy + 17, 190, 15).tobytes()
    assert poll(5, searching), "no animation while searching"
    # The program is held still whenever the test looks or clicks and searches only while the
    # test sleeps: however slowly the test runs on a loaded machine, the search cannot reach its
    # end first (the button would read "検索" again, and the click would start a new search).
    hold, go_on = (lambda: app.send_signal(signal.SIGSTOP)), (lambda: app.send_signal(signal.SIGCONT))
    try:
        counts = set()
        for i in range(6):
            if i:
                go_on()
                time.sleep(0.2)
            hold()
            counts.add(count_text())
        assert len(counts) >= 3, f"the count did not rise while searching ({len(counts)} texts)"
        assert searching(), "the search came to its end before 中止"
        s.click(sx + 28, sy + 50)  # "中止", taken by the program when it goes on
    finally:
        go_on()
    started = time.monotonic()
    assert poll(1, lambda: not searching()), "the search went on after 中止"
    print(f"the search seen stopped {time.monotonic() - started:.2f} s after 中止")
    # A search that really goes on after 中止 changes the count.
    stopped = count_text()
    time.sleep(1)
    assert count_text() == stopped, "the count still changes after 中止"

    s.xdo("windowminimize", "--sync", s.shown("検索").id)
    assert poll(3, lambda: not s.shown("検索")), "the search window could not be minimised"
    s.search(window, start=False)  # 検索する brings the minimised search window back
    s.click(sx + 132, sy + 50)  # "閉じる"
    assert poll(5, lambda: not s.shown("検索")), "閉じる left the search window on screen"
    s.search(window)
    assert poll(5, searching), "the second search did not start"
    time.sleep(0.5)
    s.close(window, app, 2)
    assert s.settings()["f_path"] == str(tree), s.settings()


@x11_test()
def session_end(s):
    # The end of a session: SIGTERM (logout, shutdown) and SIGHUP (the terminal or session
    # goes; here with the search window open) close the program as its close box does: status 0,
    # and the settings of the run written (the folder shown, the place the user moved it to).
    s.start_wm()
    for sig in (signal.SIGTERM, signal.SIGHUP):
        s.settings_file.unlink(missing_ok=True)
        app = s.start()
        window = s.wait_for_window()
        if sig == signal.SIGHUP:
            s.settled(s.search(window))
        s.xdo("windowmove", "--sync", window.id, 300, 200)
        s.settled(window)
        fx, fy, _, _ = s.frame(window)
        app.send_signal(sig)
        assert poll(5, lambda: app.poll() is not None), f"{sig.name}: the program did not end within 5 s"
        assert app.returncode == 0, f"{sig.name}: the program ended with status {app.returncode}"
        got = {k: s.settings().get(k) for k in ("n_left", "n_top", "f_path")}
        assert got == dict(n_left=str(fx * TWIPS), n_top=str(fy * TWIPS), f_path=os.path.realpath(SAMPLES)), \
            f"{sig.name}: {got}"


@x11_test()
def export(s):
    # Pictures on show, the clipboard and the wallpaper, without a desktop. A picture is drawn
    # fitted with its proportions kept between black bands. "c"
    # puts it on the clipboard at its own size; "w" writes pk_w_pap.bmp and makes it the root
    # window's background, which outlives the program, as does the copy, kept by a clipboard
    # manager. A picture deleted from disk changes nothing; a damaged JPEG (cut off half way)
    # leaves the picture area black within a second, changes nothing on the clipboard or the
    # background and raises no message; the next good picture shows as usual.
    s.start_wm()
    s.spawn([sys.executable, HERE / "clipboard_manager.py"], "manager")
    s.wait_for_line("manager", "ready", 5)
    a = quadrants(64, 48)
    whole = io.BytesIO()
    quadrants(320, 240).save(whole, "JPEG", quality=90)
    pics = s.pictures(**{"a.bmp": a, "b_broken.jpg": whole.getvalue()[:len(whole.getvalue()) // 2],
                         "c.bmp": Image.new("RGB", (200, 100), LIME)})
    wallpaper = s.work / "home/.local/share/PIKUTA/pk_w_pap.bmp"
    s.write_folder_settings(pics)
    app = s.start(cwd=s.work)
    window = s.wait_for_window()
    cx, cy, _, _ = s.geometry(window)
    px, py = cx + PX, cy + PY

    clipboard_holds_a = lambda: (got := s.clipboard()) and same_picture(a, io.BytesIO(got))

    root_shows_a = lambda: same_picture(a, s.grab(608, 488, 64, 48))  # centred on the root window
    pixmap = lambda name: s.prop(s.root, name)
    name_box = lambda: s.grab(cx + 8, cy + 288, 185, 17).tobytes()  # the file each load tried
    s.mark(window, 3)
    empty = name_box()
    s.click(cx + 362, cy + 180)  # PLAY: a.bmp
    assert poll(3, lambda: name_box() != empty), "a.bmp was not loaded"
    s.key("s")
    s.settled(window)  # grown by the first load: display_modes measures it
    expect_quadrants(s.grab(), px + 188, py + 116, 78, 58)  # the exact rectangle: Drawing tests

    s.key("c")
    assert poll(3, clipboard_holds_a), "the clipboard does not hold a.bmp at its own size after c"
    targets = (s.clipboard("TARGETS") or b"").decode().split()
    assert {"image/png", "image/bmp"} <= set(targets), f"the clipboard offers {targets}"
    s.key("w")
    assert poll(5, root_shows_a), "the root window does not show a.bmp after w"
    assert same_picture(a, wallpaper), "pk_w_pap.bmp does not hold a.bmp"
    background = pixmap("_XROOTPMAP_ID")
    assert background and pixmap("ESETROOT_PMAP_ID") == background, "the root properties name no background"

    # The picture on show deleted, then a damaged one: the picture area goes black, nothing else
    # changes, neither by the keys nor by the copy button.
    kept = wallpaper.read_bytes()
    (pics / "a.bmp").unlink()
    s.key("c", "w")
    before = name_box()
    s.key("n")
    assert poll(3, lambda: name_box() != before), "the damaged picture was not tried"
    black = lambda: count(s.grab(px, py, PW, PH), lambda p: sum(p) > 24) == 0
    assert poll(3, black), "the picture before still shows under the damaged JPEG's name"
    assert s.active() == window.id, "another window took the focus after the damaged JPEG"
    s.key("c")
    s.click(cx + 100, cy + 320)  # クリップボードにコピー
    time.sleep(1)
    assert wallpaper.read_bytes() == kept, "pk_w_pap.bmp changed"
    assert pixmap("_XROOTPMAP_ID") == background, "the background changed"
    assert clipboard_holds_a(), "the clipboard changed"
    s.key("n")
    assert poll(3, lambda: near(s.pixel(px + PW // 2, py + PH // 2), LIME, 8)), "c.bmp did not show after the damaged JPEG"

    s.close(window, app, 10)
    time.sleep(0.5)
    assert root_shows_a() and pixmap("_XROOTPMAP_ID") == background, "the background went with the program"
    assert clipboard_holds_a(), "the copy did not outlive the program"


@x11_test()
def photos(s):
    # Photos as phones and cameras write them, on a display whose colour manager announces its
    # profile (the root window's _ICC_PROFILE): a portrait stored on its side with Exif
    # orientation 6 shows upright; a photo in Adobe RGB shows, and goes to the clipboard, in the
    # display's colours, as ImageMagick converts it to the display's profile.
    s.start_wm()
    icc = Path("/usr/share/color/icc")
    profile = icc / "LStar-RGB.icc"  # a display of a wider range than sRGB
    s.root.change_property(s.d.intern_atom("_ICC_PROFILE"), Xatom.CARDINAL, 8, profile.read_bytes())
    s.d.sync()
    pics = s.pictures()
    exif = Image.Exif()
    exif[0x0112] = 6  # turn a quarter clockwise
    quadrants(240, 160).save(pics / "a_portrait.jpg", quality=95, exif=exif)
    adobe = pics / "b_adobe_rgb.jpg"
    subprocess.run(["convert", "-size", "120x80", "xc:rgb(60,160,80)", "-profile",
                    icc / "compatibleWithAdobeRGB1998.icc", "-quality", "95", adobe], check=True)
    in_profile = lambda p: tuple(subprocess.run(["convert", adobe, "-profile", p, "-crop", "1x1+60+40", "+repage",
                                                 "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout)
    for_display = in_profile(profile)
    assert not near(for_display, in_profile(icc / "sRGB.icc"), 6), "the display's profile is too close to sRGB"
    s.write_folder_settings(pics)
    s.start(cwd=s.work)
    window = s.wait_for_window()
    s.mark(window, 2)
    s.key("n")
    s.expect_picture_area(window)
    cx, cy, _, _ = s.geometry(window)
    mx, my = cx + PX + PW // 2, cy + PY + PH // 2
    # Turned a quarter clockwise: the stored bottom left (blue) is now top left, and so on.
    upright = lambda: all(near(s.pixel(mx + dx * 40, my + dy * 60), c)
                          for dx, dy, c in ((-1, -1, BLUE), (1, -1, RED), (-1, 1, YELLOW), (1, 1, LIME)))
    assert poll(5, upright), "the portrait is not upright"
    s.key("n")
    assert poll(5, lambda: near(s.pixel(mx, my), for_display, 4)), \
        f"the Adobe RGB photo shows as {s.pixel(mx, my)}, expected {for_display}"
    s.key("c")

    clipboard_in_display_colours = lambda: (got := s.clipboard()) and near(
        Image.open(io.BytesIO(got)).convert("RGB").getpixel((60, 40)), for_display, 4)
    assert poll(3, clipboard_in_display_colours), "the clipboard's copy is not in the display's colours"


@x11_test(screen="2304x1024")
def monitors(s):
    # Two monitors side by side under openbox: A 1280x1024 (primary) at 0,0 and B 1024x768 at
    # 1280,0; below B lies no monitor. A window stored on B opens there; the search and version
    # windows open on B beside it; maximised it fills B; closed and started again it is back at
    # its place. A place on no monitor any more is moved onto the primary one, within its edges.
    subprocess.run(["xrandr", "--setmonitor", "A", "1280/339x1024/271+0+0", "screen"], check=True, capture_output=True)
    subprocess.run(["xrandr", "--setmonitor", "B", "1024/271x768/203+1280+0", "none"], check=True, capture_output=True)
    s.start_wm()
    s.write_folder_settings(s.pictures(**{"red.bmp": Image.new("RGB", (40, 30), RED)}),
                            n_left=20700, n_top=1350)  # the frame's corner at (1380, 90) on B

    def on_b(window, what):
        x, y, w, h = s.geometry(window)
        assert x >= 1280 and x + w <= 2304 and y >= 0 and y + h <= 768, f"{what} is at {x},{y} {w}x{h}, not on B"

    for run in ("first", "again"):
        app = s.start(cwd=s.work)
        window = s.wait_for_window()
        assert s.frame(window)[:2] == (1380, 90), f"{run} run: the frame is at {s.frame(window)[:2]}"
        if run == "again":
            break
        search = s.search(window, start=False)
        on_b(search, "the search window")
        s.wmctrl(search, "-c")
        assert poll(5, lambda: not s.shown("検索")), "the search window stayed"
        s.show_first_entry(window)
        cx, cy, _, _ = s.geometry(window)
        s.menu_at(cx + 388, cy + 324)
        s.choose(5)  # バージョン情報
        version = poll(5, lambda: s.shown("バージョン情報"))
        assert version, "the version window did not appear"
        s.settled(version)
        on_b(version, "the version window")
        s.xdo("key", "--window", version.id, "a")
        s.menu_at(cx + 388, cy + 324)
        s.choose(2)  # maximised
        assert poll(5, lambda: s.geometry(window)[0] == 1280 and s.geometry(window)[2] > 1000), \
            f"maximised, the window is at {s.geometry(window)}, not filling B"
        on_b(window, "the maximised window")
        s.close(window, app)
        assert (s.settings()["n_left"], s.settings()["n_top"]) == ("20700", "1350"), s.settings()
    s.close(window, app)

    # Below B: on no monitor. The primary one's right edge, and its bottom edge.
    s.write_settings(**{**s.settings(), "n_left": 21000, "n_top": 13500})
    s.start(cwd=s.work)
    window = s.wait_for_window()
    _, _, w, h = s.geometry(window)
    left, right, top, bottom = s.extents(window)
    assert s.frame(window)[:2] == (1280 - w - left - right, 1024 - h - top - bottom), \
        f"placed on no monitor: the frame is at {s.frame(window)[:2]}"


def atspi_names():
    # What a screen reader finds (run in a process of its own: the registry's view of the
    # desktop is taken once); problems, one a line, and the exit status.
    import pyatspi
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "PIKUTA"]
    if not apps:
        sys.exit("no application PIKUTA on the accessibility bus")
    found, problems = {}, []

    def walk(node, path):
        role, name = node.getRoleName(), node.name
        found.setdefault((role, name), node)
        if not name and role != "application":
            problems.append(f"no name: {path} > {role}")
        if role not in ("list", "combo box"):  # their entries are the toolkit's, named by their text
            for child in node:
                if child is not None:
                    walk(child, f"{path} > {role} {name!r}")

    walk(apps[0], "PIKUTA")
    # Each control's name and description are the accessibility unit test's; here that names,
    # descriptions and values reach the screen reader at all.
    for role, name, description in (("push button", "PLAY", "表示の開始"), ("filler", "画像 red.bmp", None),
                                    ("check box", "バルーンヘルプを表示", "ﾁｪｯｸするとﾊﾞﾙｰﾝﾍﾙﾌﾟを表示")):
        node = found.get((role, name))
        if node is None:
            problems.append(f"no {role} named {name!r}")
        elif description is not None and node.description != description:
            problems.append(f"{role} {name!r} is described as {node.description!r}")
    bar = found.get(("scroll bar", "表示速度"))
    if bar is not None and bar.queryValue().currentValue != 3:
        problems.append(f"the speed bar gives {bar.queryValue().currentValue}, not 3")
    print("\n".join(problems) or f"{len(found)} accessible objects, all named")
    sys.exit(1 if problems else 0)


@x11_test()
def accessibility(s):
    # What a screen reader finds over AT-SPI on a private session bus, the program started on a
    # picture with balloon help off: every control of the main, search and version windows has a
    # name; the buttons are described by their tips all the same; the picture area names the
    # picture shown and the speed bar gives its value.
    s.start_bus()
    s.start_wm()
    pics = s.pictures(**{"red.bmp": Image.new("RGB", (40, 30), RED)})
    s.write_folder_settings(pics, opc4_flag=0)
    s.start(pics / "red.bmp", cwd=s.work, env=dict(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"))
    window = s.wait_for_window()
    s.expect_picture_area(window)
    # The registry starts on demand: the program may take a moment to appear.
    check = lambda: subprocess.run([sys.executable, __file__, "--atspi"], capture_output=True, text=True)
    got = poll(15, lambda: (r := check()).returncode == 0 and r) or check()
    print(got.stdout, got.stderr)
    assert got.returncode == 0, f"over AT-SPI: {got.stdout}{got.stderr}"


@x11_test()
def screen_awake(s, mode):
    # The screen stays awake while the slideshow plays. "bus": under openbox, with a desktop
    # screen-saver service (a stand-in on a private session bus), the program inhibits the screen
    # saver when the show starts and lets go when the window is minimised, again when restored,
    # at STOP and when the window closes, each time releasing the cookie it was given. "bare": no
    # session bus; the X screen saver, set to start after 2 s of idleness, does not start while
    # the show plays and does after STOP.
    s.write_folder_settings(s.pictures(**{f"{n}.bmp": Image.new("RGB", (40, 30), c)
                                          for n, c in (("red", RED), ("lime", LIME), ("blue", BLUE))}))

    def play():  # every entry marked with "すべて選択", then PLAY
        cx, cy, _, _ = s.geometry(window)
        s.click(cx + 506, cy + 110)
        s.key("p")

    if mode == "bus":
        s.start_bus()
        s.spawn([sys.executable, HERE / "screensaver_standin.py"], "saver")
        s.wait_for_line("saver", "ready")
        s.start_wm()
        app = s.start(cwd=s.work)
        window = s.wait_for_window()
        calls = lambda: " ".join(s.log("saver").split()[1:])
        expected = []

        def expect(*more):
            expected.extend(more)
            want = " ".join(expected)
            assert poll(5, lambda: calls() == want), f"the service saw: {calls()}; expected: {want}"

        expect()
        for action, call in ((play, "Inhibit PIKUTA 1"), (lambda: s.xdo("windowminimize", "--sync", window.id), "UnInhibit 1"),
                             (lambda: s.wmctrl(window, "-a"), "Inhibit PIKUTA 2"),
                             (lambda: (s.settled(window), s.key("s")), "UnInhibit 2"),
                             (lambda: s.key("p"), "Inhibit PIKUTA 3"), (lambda: s.close(window, app), "UnInhibit 3")):
            action()
            expect(call)
        return

    os.environ["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={s.work}/no-bus"  # none, nor one on demand
    saver = s.d.get_screen_saver()
    s.d.set_screen_saver(2, saver.interval, saver.prefer_blanking, saver.allow_exposures)
    info = lambda: s.root.screensaver_query_info()
    s.start(cwd=s.work)
    window = s.wait_for_window()
    for action, state in ((play, screensaver.StateOff), (lambda: s.key("s"), screensaver.StateOn)):
        action()
        assert poll(10, lambda: info().idle > 3000), "the server reports no idle time"
        assert info().state == state, f"the screen saver's state is {info().state} (expected {state}) after {action}"


@x11_test(tmp="/dev/shm" if os.path.isdir("/dev/shm") else None)  # 10,000 entries made in memory
def density(s, factor, source="xft"):
    # On a screen of FACTOR times the usual density, set the way desktops do (Xft.dpi) or by
    # Qt's scale factor ("qt"): the layout keeps its size in twips, no control covers another's
    # text, a five-digit list number fits its box, the folder list's icons grow with the text,
    # and one pixel of a picture is one pixel of the screen: a one-pixel checkerboard the size of
    # the picture area, fitted, and one-pixel stripes larger than it, at their own size, reach
    # the screen perfect (no grey from enlarging a smaller canvas).
    factor = float(factor)
    px = lambda twips: round(twips * 96 * factor / 1440)  # half to even, as the program rounds
    if source == "qt":
        os.environ["QT_SCALE_FACTOR"] = str(factor)
    else:
        s.root.change_property(s.d.intern_atom("RESOURCE_MANAGER"), Xatom.STRING, 8, f"Xft.dpi:\t{px(1440)}\n".encode())
        s.d.sync()
    s.start_wm()
    bx, by, bw, bh = px(3000), px(3120), px(5655), px(3495)  # the picture area in the client area

    def pattern(kind, w, h):
        image = Image.new("L", (w, h))
        image.putdata([255 * ((x + (y if kind == "checker" else 0)) % 2) for y in range(h) for x in range(w)])
        return image

    # Names long enough to run past the select-all button over the list.
    long = ", named at such length that the name runs on past the select-all button"
    pics = s.pictures(**{f"1 fitted{long}.bmp": pattern("checker", bw, bh),
                         f"2 own size{long}.bmp": pattern("stripes", bw + 66, bh + 64)})
    for i in range(9998):  # 10,000 entries in all: a five-digit list number
        (pics / f"z{i:05}.bmp").touch()
    s.write_folder_settings(pics)
    s.start(cwd=s.work)
    window = s.wait_for_window()
    cx, cy, cw, ch = s.geometry(window)
    left, right, _, _ = s.extents(window)
    print(f"client area {cw}x{ch}, picture area {bw}x{bh} at {bx},{by}")
    assert cw + left + right == px(8880), f"the window is {cw + left + right} px wide, expected {px(8880)}"
    # The start-up window ends with the upper band's frames (2895 twips).
    assert abs(ch - px(2895)) <= 1, f"the client area is {ch} px high, expected {px(2895)}"

    # No control covers another's text: above the search button lies the frame's own grey; the
    # list's entries stop short of the select-all button, over every row.
    shot = s.grab()
    got = shot.getpixel((cx + px(2107), cy + px(2400) - 2))
    assert near(got, (192, 192, 192), 16), f"above the search button lies {got}, not the frame"
    x0, y0 = cx + px(7050) - 1, cy + px(240)
    inked = count(shot.crop((x0, y0, x0 + px(1095), y0 + px(360))), dark)
    assert inked == 0, f"{inked} dark pixels of the entries in the select-all button's column"
    # The folder list's icons come at the screen's density: the blue folder of its first row.
    x0, y0 = cx + px(120), cy + px(660)
    icon = shot.crop((x0, y0, x0 + px(600), y0 + px(120)))
    xs = [i % icon.width for i, p in enumerate(icon.getdata()) if p[2] - p[0] > 60]
    width = max(xs) - min(xs) + 1 if xs else 0
    assert width >= px(240) - 2, f"the folder icon is {width} px wide, expected about {px(240)}"

    # Both entries marked; the first shows fitted.
    list_x, list_y = cx + px(3210), cy + px(210)
    x0 = list_x + px(300)  # right of a horizontal scroll bar's arrow
    rows = [(t + b - 1) // 2 for t, b in ink_runs(shot.crop((x0, list_y, x0 + px(3450), list_y + px(1860))))]
    assert len(rows) >= 2, f"the list shows {len(rows)} rows, expected the pictures'"
    s.click(list_x + 20, list_y + rows[0])
    s.click(list_x + 20, list_y + rows[1], "shift")
    s.key("n")
    s.expect_picture_area(window, by + bh)

    def flaws(kind):
        # Pixels of the picture area not black or white, or breaking the pattern (checker: each
        # differs from its right and lower neighbours; stripes: from its right one only).
        s.xdo("mousemove", 0, 0)
        time.sleep(0.3)
        d = s.grab(cx + bx, cy + by, bw, bh).convert("L").tobytes()
        rows_alternate = kind == "checker"
        return sum(1 for y in range(bh) for x in range(bw)
                   if (v := d[y * bw + x]) not in (0, 255) or (x + 1 < bw and d[y * bw + x + 1] == v)
                   or (y + 1 < bh and (d[(y + 1) * bw + x] == v) == rows_alternate))

    assert (bad := flaws("checker")) == 0, f"the fitted checkerboard has {bad} flawed pixels"
    s.menu_at(cx + bx + bw // 2, cy + by + bh // 2)
    s.choose(4)  # own size, then the larger picture: its middle part
    s.key("n")  # shown a second after the key
    assert poll(5, lambda: flaws("stripes") == 0), f"the stripes at their own size have {flaws('stripes')} flawed pixels"

    # Every entry marked, and BACK twice (to the first, then round to the last): No. 10000,
    # each of its five digits a run of inked columns in the list number's box.
    s.click(cx + px(7597), cy + px(1657))
    s.key("b", "b")
    digits = lambda: len(ink_runs(s.grab(cx + px(3210), cy + px(2580), px(600), px(255)), along_rows=False))
    assert poll(3, lambda: digits() == 5), f"the list number shows {digits()} digits of 10000"


@x11_test()
def installed(s):
    # The installed program as the desktop starts it for a picture chosen in the file manager
    # (the installed desktop entry's command line, found on PATH): its window appears with its
    # exact title and shows the picture; closing the window ends it.
    s.start_wm()
    red = solid(s.work / "red.bmp", RED)
    entry = Path("/usr/share/applications/jp.mofurasoft.pikuta.desktop").read_text()
    command = next(line[5:] for line in entry.splitlines() if line.startswith("Exec="))
    app = s.spawn([str(red) if a == "%f" else a for a in command.split()], "app", cwd=s.work)
    window = s.wait_for_window(15)
    s.expect_picture_area(window, what="the picture chosen is not on show")
    s.close(window, app)


def run(test, *args, **fixture):
    # A test run out of time is ended with a signal: the clean-up runs all the same.
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, lambda *_: sys.exit(143))
    with Session(**fixture) as s:
        return test(s, *args)


def main():
    if sys.argv[1:] == ["--atspi"]:
        return atspi_names()
    name, *args = sys.argv[1:]
    test, fixture = TESTS[name]
    run(test, *args, **fixture)


if __name__ == "__main__":
    main()
