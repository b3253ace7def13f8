#!/usr/bin/python3
# Takes the pictures of the user guide into OUTPUT_FOLDER: the main window with a folder's
# pictures listed, a fitted picture, full-screen mode, the loupe and the search window.
# The test suite writes them into the build folder (x11.user_guide_screenshots); `make
# screenshots` into docs/.
#   PIKUTA_BIN=build/pikuta PIKUTA_SAMPLES=$PWD/samples tools/take_screenshots.py OUTPUT_FOLDER
import os
import sys
import time
from pathlib import Path

from PIL import Image

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests/x11"))
from pikuta_x11 import PX, PY, SAMPLES, poll, run  # noqa: E402


def take_screenshots(s, out):
    out = Path(out).resolve()
    out.mkdir(parents=True, exist_ok=True)

    def shot(window, name):  # the window with its frame, as a person sees it
        x, y, w, h = s.geometry(window)
        left, right, top, bottom = s.extents(window)
        s.grab(x - left, y - top, w + left + right, h + top + bottom).save(out / name, optimize=True)

    s.start_wm()
    s.write_folder_settings(os.path.realpath(SAMPLES))  # every file type on
    s.start(cwd=s.work)
    window = s.wait_for_window()
    s.xdo("mousemove", 0, 1000)  # no tool tip in the pictures
    shot(window, "main-window.png")
    x, y, rows = s.list_rows(window, 8, 9)
    s.click(x + 100, y + rows[0])
    s.key("End", "Up", "n")  # the second last entry, sunrise.bmp (the last is 桜.jpg)
    assert poll(5, lambda: s.picture_area_open(window)), "the picture area did not open"
    s.settled(window)
    s.xdo("mousemove", 0, 1000)
    time.sleep(0.5)
    shot(window, "fitted-picture.png")
    cx, cy, _, _ = s.geometry(window)
    px, py = cx + PX, cy + PY
    for x, y, pause in ((360, 20, 0.3), (188, 110, 0.5)):  # the loupe on, one step around the sun
        s.click(px + x, py + y)
        time.sleep(pause)
    shot(window, "loupe.png")
    s.click(px + 360, py + 20)
    time.sleep(0.3)
    s.menu_at(px + 250, py + 100)
    s.choose(2)  # full screen, at half size
    assert poll(5, lambda: s.maximised(window)), "not maximised"
    s.settled(window)
    s.xdo("mousemove", 1279, 1023)
    time.sleep(0.5)
    s.grab().resize((640, 512), Image.LANCZOS).save(out / "full-screen.png", optimize=True)
    s.menu_at(300, 300)
    s.choose(1)
    s.settled(window)
    s.search(window)
    time.sleep(2)
    s.xdo("mousemove", 0, 1000)
    shot(s.shown("検索"), "search-window.png")


if __name__ == "__main__":
    run(take_screenshots, sys.argv[1])
