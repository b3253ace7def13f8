#!/usr/bin/python3
# Presses a key on the X display COUNT times, PAUSE_MS apart, and prints for each press the
# milliseconds until every one of the given screen rows shows new pixels: the next picture
# fully on screen. "timeout" when that has not happened within five seconds.
#
#   key_to_screen.py [--before KEY] [--delayed MS] KEY COUNT PAUSE_MS ROW...
#
# --before KEY: KEY is pressed a moment before each timed key (s before p: STOP, then PLAY).
# --delayed MS: the program waits MS by design before it shows the picture (the delayed load
#               after NEXT); the time printed is what comes after that wait.
#
# Debian's own interpreter: the one with the X library of python3-xlib.
import argparse
import time

from Xlib import X, XK, display
from Xlib.ext import xtest


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--before")
    parser.add_argument("--delayed", type=int, default=0)
    parser.add_argument("key")
    parser.add_argument("count", type=int)
    parser.add_argument("pause", type=int)
    parser.add_argument("rows", type=int, nargs="+")
    a = parser.parse_args()
    d = display.Display()
    root = d.screen().root
    width = d.screen().width_in_pixels

    def press(key):
        code = d.keysym_to_keycode(XK.string_to_keysym(key))
        xtest.fake_input(d, X.KeyPress, code)
        xtest.fake_input(d, X.KeyRelease, code)
        d.sync()

    def grab():
        # One channel of every pixel is enough: consecutive photos differ almost everywhere.
        return [root.get_image(0, y, width, 1, X.ZPixmap, 0xFFFFFFFF).data[0::4] for y in a.rows]

    def all_new(now, before):
        return all(sum(x != y for x, y in zip(n, o)) > 0.9 * len(n) for n, o in zip(now, before))

    delay = a.delayed / 1000
    for _ in range(a.count):
        time.sleep(a.pause / 1000)
        if a.before:
            press(a.before)
            time.sleep(0.2)
        before = grab()
        start = time.perf_counter()
        press(a.key)
        # Nothing can show before the wait is over; polling meanwhile would only take the
        # processor from the program.
        time.sleep(max(delay - 0.03, 0))
        while not all_new(grab(), before):
            if time.perf_counter() - start > 5 + delay:
                print("timeout", flush=True)
                break
        else:
            print(f"{(time.perf_counter() - start - delay) * 1000:.1f}", flush=True)


if __name__ == "__main__":
    main()
