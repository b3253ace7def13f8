#!/usr/bin/python3
# Key to screen with the real program on a virtual 1280 x 1024 X server: for sets of 20 JPEG
# photos of 1, 12 and 24 megapixels, all marked, in the maximised mode at speed 10 (the timer
# seldom comes between two keys), the milliseconds to the next picture fully on screen on each
# way a person moves on (the median of 20), with the program's peak resident memory meanwhile:
#   key_to_screen_N        "p" while the slideshow plays
#   key_to_screen_stop_N   "s" (STOP), then "p" (PLAY), timed from the "p"
#   key_to_screen_next_N   "n" (NEXT) while stopped, timed from the delayed load's tick, one
#                          second after the key
# One line a figure: name value unit goal ratio. The goals are the figures of the fastest
# viewer that reads ahead, measured beside the program on the same kind of machine.
#
#   PIKUTA_BIN=build/pikuta PIKUTA_BENCH=build/pikuta-bench bench/key_to_screen.py [--quick | SET...]
#
# --quick: tiny photos, three presses (keeps the script from rotting). SET: 1mp, 12mp or 24mp
# alone.
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

from Xlib import X, XK
from Xlib.ext import xtest

HERE = Path(__file__).resolve().parent
os.environ.setdefault("PIKUTA_SAMPLES", str(HERE.parent / "samples"))
sys.path.insert(0, str(HERE.parent / "tests/x11"))
from pikuta_x11 import Session, poll  # noqa: E402

SETS = {"1mp": (1152, 864, 8), "12mp": (4000, 3000, 25), "24mp": (6000, 4000, 32)}
ROWS = (262, 512, 762)  # through the top, the middle and the bottom of the fitted picture


def times(s, key, count, pause, before=None, delayed=0):
    """Presses `key` `count` times, `pause` ms apart (`before` a moment ahead of each), and gives
    for each press the milliseconds until every row shows new pixels, after the `delayed` ms
    the program waits by design (None when that has not happened within five seconds)."""
    def press(k):
        code = s.d.keysym_to_keycode(XK.string_to_keysym(k))
        xtest.fake_input(s.d, X.KeyPress, code)
        xtest.fake_input(s.d, X.KeyRelease, code)
        s.d.sync()

    def grab():  # one channel of every pixel: consecutive photos differ almost everywhere
        return [s.root.get_image(0, y, 1280, 1, X.ZPixmap, 0xFFFFFFFF).data[0::4] for y in ROWS]

    def all_new(now, old):
        return all(sum(a != b for a, b in zip(n, o)) > 0.9 * len(n) for n, o in zip(now, old))

    result = []
    for _ in range(count):
        time.sleep(pause / 1000)
        if before:
            press(before)
            time.sleep(0.2)
        old = grab()
        start = time.perf_counter()
        press(key)
        # Nothing can show before the wait is over: polling meanwhile would only slow the program.
        time.sleep(max(delayed / 1000 - 0.03, 0))
        while not all_new(grab(), old) and time.perf_counter() - start < 5 + delayed / 1000:
            pass
        took = (time.perf_counter() - start) * 1000 - delayed
        result.append(took if took < 5000 else None)
    return result


def measure(s, app, figure, goal, count, *args, **options):
    """Prints the median of one way of moving on against the goal, and the peak memory meanwhile."""
    Path(f"/proc/{app.pid}/clear_refs").write_text("5")  # the peak starts again from now
    got = [t for t in times(s, *args, **options) if t is not None]
    if len(got) < count:
        print(f"{figure}: {count - len(got)} of {count} presses showed no new picture", file=sys.stderr)
    peak = next(int(line.split()[1]) for line in open(f"/proc/{app.pid}/status") if line.startswith("VmHWM:"))
    median = statistics.median(got) if got else None
    print(f"{figure} {'-' if median is None else f'{median:.1f}'} ms {goal:.2f} "
          f"{'-' if median is None else f'{median / goal:.2f}'}")
    print(f"peak_rss_key_{figure.removeprefix('key_to_screen_')} {peak / 1024:.2f} MB - -", flush=True)


def main(args):
    sets, presses = {k: v for k, v in SETS.items() if k in args or not args}, 20
    if args == ["--quick"]:
        sets, presses = {"1mp": (160, 120, 8)}, 3
    bench = os.path.realpath(os.environ["PIKUTA_BENCH"])
    with Session() as s:
        s.start_wm()
        for name, (w, h, goal) in sets.items():
            folder = s.work / name
            subprocess.run([bench, "photos", folder, str(w), str(h), "20"], check=True)
            s.write_folder_settings(folder, opc3_flag=0, HScroll1_Value=10)
            app = s.start(cwd=s.work)
            window = s.wait_for_window(20)
            cx, cy, _, _ = s.geometry(window)
            s.click(cx + 300, cy + 22)  # the list's first entry, then all of them
            s.key("ctrl+a", "p")  # the first picture opens the picture area
            assert poll(10, lambda: s.picture_area_open(window)), "the picture area did not open"
            s.settled(window)
            cx, cy, _, _ = s.geometry(window)
            s.menu_at(cx + 450, cy + 308)
            s.choose(2)  # maximised
            assert poll(5, lambda: s.maximised(window)), "not maximised"
            s.settled(window)
            time.sleep(1)
            measure(s, app, f"key_to_screen_{name}", goal, presses, "p", presses, 500)
            measure(s, app, f"key_to_screen_stop_{name}", goal, presses, "p", presses, 500, before="s")
            s.key("s")
            measure(s, app, f"key_to_screen_next_{name}", goal, presses, "n", presses, 300, delayed=1000)
            app.terminate()
            app.wait(5)


if __name__ == "__main__":
    main(sys.argv[1:])
