#!/usr/bin/env bash
# What a screen reader finds over the desktop's accessibility bus (AT-SPI), on a private session
# bus: the program started on a picture, with balloon help off. Every control of the main,
# search and version windows has a name; the buttons are described by their tips all the same;
# the picture area names the picture shown and the speed bar gives its value.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$WORK/bus" 4>"$WORK/bus.pid"
APP_PIDS+=("$(cat "$WORK/bus.pid")")
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$WORK/bus")
start_wm
pics=$WORK/pictures && mkdir -p "$pics"
convert -size 40x30 xc:red BMP3:"$pics/red.bmp"
write_folder_settings "$pics"
sed -i 's/^opc4_flag=.*/opc4_flag=0/' "$(settings_file)"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_app "$WORK" "$pics/red.bmp"
window=$(wait_for_window 10)
poll 5 picture_area_open "$window" || fail "the picture area did not open"

# Debian's own interpreter: the one with the AT-SPI module. The registry starts on demand, so
# the program may take a moment to appear.
check() {
    /usr/bin/python3 - "$TITLE" <<'PY'
import sys
import pyatspi

title = sys.argv[1]
apps = [a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "PIKUTA"]
if not apps:
    sys.exit("no application PIKUTA on the accessibility bus")
found, unnamed = {}, []

def walk(node, path):
    role, name = node.getRoleName(), node.name
    found.setdefault((role, name), node)
    if not name and role != "application":
        unnamed.append(f"{path} > {role}")
    # The entries of a list and a drop-down's own popup are the toolkit's, named by their text.
    if role in ("list", "combo box"):
        return
    for child in node:
        if child is not None:
            walk(child, f"{path} > {role} {name!r}")

walk(apps[0], "PIKUTA")
problems = [f"no name: {u}" for u in unnamed]
for role, name, description in [
    ("filler", title, None),
    ("push button", "BACK", "一つ戻る"),
    ("push button", "PLAY", "表示の開始"),
    ("list", "ファイルリスト", None),
    ("filler", "画像 red.bmp", None),
    ("scroll bar", "表示速度", "表示速度 1=早い 10=遅い"),
    ("check box", "バルーンヘルプを表示", "ﾁｪｯｸするとﾊﾞﾙｰﾝﾍﾙﾌﾟを表示"),
]:
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
PY
}
poll 15 check >"$WORK/atspi.txt" 2>&1 || fail "over AT-SPI: $(cat "$WORK/atspi.txt")"
note "$(cat "$WORK/atspi.txt")"
