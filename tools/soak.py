#!/usr/bin/python3
# Soak: the real program on a private virtual X server runs a slideshow at the quickest speed
# over 2,000 marked entries (a third of them damaged, every kind of picture, a few metafiles)
# while the display mode changes and the loupe is clicked every few seconds. Checks that it
# never ends, that its memory stays flat after the first minute, that it still answers a key at
# the end and that the settings file it leaves is whole. Prints the memory figures.
# Usage: PIKUTA_BIN=build/pikuta PIKUTA_SAMPLES=samples tools/soak.py [seconds]
import itertools
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "tests/x11"))
from pikuta_x11 import KEYS, PH, PW, PX, PY, SAMPLES, Session, poll  # noqa: E402


def make_pictures(folder, entries=2000):
    samples = sorted(p for ext in ("bmp", "dib", "jpg", "gif") for p in Path(SAMPLES).glob(f"*.{ext}"))
    metafiles = sorted(Path(SAMPLES).glob("*.emf"))
    for i in range(entries):
        source = metafiles[i // 100 % len(metafiles)] if i % 100 == 7 else samples[i % len(samples)]
        data = source.read_bytes()
        if i % 3 == 2:  # damaged: cut short, empty, or something else under the name
            data = (data[:len(data) // 2], b"", os.urandom(4096))[i // 3 % 3]
        (folder / f"p{i:04}{source.suffix}").write_bytes(data)


def memory_report(samples):
    """The memory figures; whether the resident memory grows less than 1 MB a minute after the
    first minute (least squares over the samples after it)."""
    late = [(t, kb) for t, kb in samples if t >= 60]
    n = len(late)
    sx, sy = sum(t for t, _ in late), sum(kb for _, kb in late)
    sxx, sxy = sum(t * t for t, _ in late), sum(t * kb for t, kb in late)
    slope = (n * sxy - sx * sy) / (n * sxx - sx * sx) if n > 1 else 0
    # The lowest sample of each five minutes: pictures come and go, a leak raises the floor.
    low = {}
    for t, kb in samples:
        low[int(t // 300)] = min(kb, low.get(int(t // 300), kb))
    print(f"soak: {len(samples)} samples over {samples[-1][0]:.0f} s")
    print(f"soak: resident memory start {samples[0][1] / 1024:.1f} MB, after 1 min "
          f"{(late[0][1] if late else 0) / 1024:.1f} MB, end {samples[-1][1] / 1024:.1f} MB")
    print(f"soak: slope after the first minute {slope * 60:.1f} kB/min")
    print("soak: lowest per five minutes (MB):", *(f"{low[w] / 1024:.1f}" for w in sorted(low)))
    return slope * 60 <= 1024


def main(duration):
    with Session() as s:
        s.start_wm()
        pics = s.pictures()
        make_pictures(pics)
        s.write_folder_settings(pics, HScroll1_Value=1)
        app = s.start(cwd=s.work)
        window = s.wait_for_window(20)
        cx, cy, _, _ = s.geometry(window)
        s.click(cx + 506, cy + 110)  # every entry marked with the select-all button, then PLAY
        time.sleep(1)
        s.key("p")
        assert poll(10, lambda: s.picture_area_open(window)), "the slideshow did not open the picture area"
        s.settled(window)
        cx, cy, _, _ = s.geometry(window)
        px, py = cx + PX, cy + PY
        rss = lambda: int(next(line.split()[1] for line in open(f"/proc/{app.pid}/status")
                               if line.startswith("VmRSS:")))
        samples, start = [], time.monotonic()
        for step in itertools.count():
            elapsed = time.monotonic() - start
            assert app.poll() is None, f"the program ended after {elapsed:.0f} s"
            samples.append((elapsed, rss()))
            if elapsed >= duration:
                break
            if step % 4 in (0, 2):  # the loupe on and a zoom click, or off again
                s.click(px + 360, py + 20)
                s.click(px + 150, py + 100)
            elif step % 4 == 1:  # a display mode from the popup menu, chosen by keys
                s.click(px + 100, py + 50, button=3)
                if poll(2, s.menu):  # (keys only while the menu is open: in the list, Down moves the marks)
                    s.key(*["Down"] * ((step + 1) % 3 + 1), "Return")
            if s.menu():
                s.key("Escape")
            s.key("p")  # the loupe stops the show: PLAY after every action keeps it going
            time.sleep(3)

        # Still answering: STOP, then n shows another picture a second later (a damaged entry
        # keeps the picture before it, so up to three tries).
        s.key("s")
        time.sleep(2)
        area = lambda: s.grab(px, py, PW, PH).tobytes()
        before = area()
        for _ in range(3):
            s.key("n")
            if poll(4, lambda: area() != before):
                break
        else:
            raise AssertionError("the picture did not change after n three times")
        s.close(window, app, 30)
        stored = s.settings()
        assert all(stored.get(key) for key in KEYS), f"the settings file lost keys: {stored}"
        assert stored["f_path"] == str(pics) and stored["HScroll1_Value"] == "1", stored
        assert memory_report(samples), "soak: memory grows more than 1 MB a minute"
        print("soak passed: no crash, window answered, settings whole")


if __name__ == "__main__":
    main(int(sys.argv[1]) if len(sys.argv) > 1 else 300)
