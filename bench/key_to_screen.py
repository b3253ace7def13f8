#!/usr/bin/python3
# Presses a key on the X display COUNT times, PAUSE_MS apart, and prints for each press the
# milliseconds until every one of the given screen rows shows new pixels: the next picture
# fully on screen. "timeout" when that has not happened within five seconds.
#
#   key_to_screen.py KEY COUNT PAUSE_MS ROW...
#
# Debian's own interpreter: the one with the X library of python3-xlib.
import sys
import time

from Xlib import X, XK, display
from Xlib.ext import xtest


def main():
    key, count, pause = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]) / 1000
    rows = [int(r) for r in sys.argv[4:]]
    d = display.Display()
    root = d.screen().root
    width = d.screen().width_in_pixels
    code = d.keysym_to_keycode(XK.string_to_keysym(key))

    def grab():
        # One channel of every pixel is enough: consecutive photos differ almost everywhere.
        return [root.get_image(0, y, width, 1, X.ZPixmap, 0xFFFFFFFF).data[0::4] for y in rows]

    def all_new(now, before):
        return all(sum(a != b for a, b in zip(n, o)) > 0.9 * len(n) for n, o in zip(now, before))

    for _ in range(count):
        time.sleep(pause)
        before = grab()
        start = time.perf_counter()
        xtest.fake_input(d, X.KeyPress, code)
        xtest.fake_input(d, X.KeyRelease, code)
        d.sync()
        while not all_new(grab(), before):
            if time.perf_counter() - start > 5:
                print("timeout", flush=True)
                break
        else:
            print(f"{(time.perf_counter() - start) * 1000:.1f}", flush=True)


if __name__ == "__main__":
    main()
