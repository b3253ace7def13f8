# Helpers for the window tests: each test runs the real program on its own virtual X server
# with a fresh home folder, drives it like a user would and looks at the screen.
# Source it from a test script; it needs PIKUTA_BIN (the program) and PIKUTA_SAMPLES.
set -euo pipefail

: "${PIKUTA_BIN:?PIKUTA_BIN must name the program}"
: "${PIKUTA_SAMPLES:?PIKUTA_SAMPLES must name the samples folder}"
# The program is started from other folders: a path relative to here must still find it.
PIKUTA_BIN=$(realpath "$PIKUTA_BIN")

readonly TITLE='PIKUTA (*.BMP) (*.DIB) (*.JPG) (*.EMF)'
readonly TITLE_PATTERN='^PIKUTA \(\*\.BMP\) \(\*\.DIB\) \(\*\.JPG\) \(\*\.EMF\)$'
readonly TWIPS_PER_PIXEL=15
WORK="" XVFB_PID="" WM_PID=""
APP_PIDS=()

# Reports the failure and keeps what the screen and the programs looked like at that moment.
fail() {
    echo "FAIL: $*" >&2
    [[ -z ${DISPLAY:-} || -z $WORK ]] || import -window root "$WORK/at-failure.png" 2>/dev/null || true
    [[ -z ${DISPLAY:-} || -z $WORK ]] || xwininfo -root -tree >"$WORK/windows-at-failure.txt" 2>&1 || true
    local pid
    for pid in "${APP_PIDS[@]}"; do
        kill -0 "$pid" 2>/dev/null && echo "program $pid still runs ($(ps -o stat=,wchan= -p "$pid" | xargs))" >&2 ||
            echo "program $pid has ended" >&2
    done
    exit 1
}
note() { echo "$*"; }

# Runs "$@" every 0.1 s until it succeeds or `seconds` pass; returns its last status.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do ((SECONDS < deadline)) && sleep 0.1 || return 1; done
}
process_gone() { ! kill -0 "$1" 2>/dev/null; }

# Ends the processes this test started, politely first, then for sure, so that a hung program
# cannot keep the test (or a stray X server) alive; keeps the evidence of a failed test.
cleanup() {
    local status=$? pid
    for pid in "${APP_PIDS[@]}" "$WM_PID" "$XVFB_PID"; do [[ -z $pid ]] || kill "$pid" 2>/dev/null || true; done
    for pid in "${APP_PIDS[@]}" "$WM_PID" "$XVFB_PID"; do
        [[ -z $pid ]] || poll 3 process_gone "$pid" || kill -KILL "$pid" 2>/dev/null || true
    done
    ((status != 0)) || { rm -rf "$WORK"; return; }
    [[ -z $WORK ]] || echo "Screenshots, program output and settings kept in $WORK" >&2
}

# Starts a private X server (1280x1024, 24 bit, or the size in XVFB_SCREEN) and points
# DISPLAY, HOME and the XDG folders at fresh places. The server picks its own free display number (-displayfd), so tests can
# run side by side without racing for one.
start_xvfb_session() {
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/pikuta-x11.XXXXXX")
    trap cleanup EXIT
    # A test run out of time is ended with a signal; exiting runs the clean-up all the same.
    trap 'exit 143' TERM INT HUP
    export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/runtime
    mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    # -noreset: by default the server resets whenever its last client leaves, and a client
    # that connects during the reset (the next probe, the window manager) is dropped.
    Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1280x1024}x24" -nolisten tcp -noreset 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
    XVFB_PID=$!
    poll 10 test -s "$WORK/display" || fail "the virtual X server did not start ($(cat "$WORK/xvfb.log"))"
    export DISPLAY=":$(tr -d '\n' <"$WORK/display")"
}

# Starts openbox and waits until it manages the screen.
start_wm() {
    openbox --sm-disable >"$WORK/openbox.log" 2>&1 &
    WM_PID=$!
    poll 10 eval "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'" ||
        fail "openbox did not start"
}

# Starts the program in the background in `folder` (default: the samples folder), with the
# arguments that follow; its process id is left in APP_PID. Output goes to $WORK/app<N>.log.
start_app() {
    local log="$WORK/app${#APP_PIDS[@]}.log"
    (cd "${1:-$PIKUTA_SAMPLES}" && exec "$PIKUTA_BIN" "${@:2}") >"$log" 2>&1 &
    APP_PID=$!
    APP_PIDS+=("$APP_PID")
}

# The ids of the windows with exactly the main window title, one a line.
# (The search ignores case: other programs' windows with the title in other case are left out.)
main_windows() {
    local w
    for w in $(xdotool search --name "$TITLE_PATTERN" 2>/dev/null); do
        [[ $(xprop -id "$w" WM_CLASS) != *'"pikuta"'* ]] || echo "$w"
    done
}
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
one_viewable_main_window() { local w; w=$(main_windows); [[ -n $w && $(wc -l <<<"$w") -eq 1 ]] && viewable "$w"; }

# Waits until the main window is on screen and has stopped moving (a window manager frames
# and places it a moment after it appears), and prints its id.
wait_for_window() {
    poll "${1:-10}" one_viewable_main_window || fail "no main window within ${1:-10} s"
    wait_for_settled "$(main_windows)"
    main_windows
}

# Waits until the window's place, size and decorations stay the same for half a second.
wait_for_settled() {
    local last="" now same=0 deadline=$((SECONDS + 5))
    while ((same < 5 && SECONDS < deadline)); do
        now="$(window_geometry "$1") $(frame_extents "$1")"
        [[ $now == "$last" ]] && ((++same)) || same=0
        last=$now && sleep 0.1
    done
}

# Client area of a window in screen pixels: "x y width height".
window_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}

# Decoration sizes the window manager put around a window: "left right top bottom"
# (all 0 without a window manager).
frame_extents() { local e; e=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.* = //p' | tr -d ','); echo "${e:-0 0 0 0}"; }

# Top-left corner of the window with its decorations, in screen pixels: "x y".
frame_origin() {
    local x y left top
    read -r x y _ _ < <(window_geometry "$1")
    read -r left _ top _ < <(frame_extents "$1")
    echo "$((x - left)) $((y - top))"
}

screenshot() { import -window root "$1"; }
# One pixel of a picture file as "r g b" (0..255).
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -depth 8 rgb:- | od -An -tu1 | xargs; }
# One pixel of the screen as "r g b", read at the moment of the call.
screen_pixel() { import -window root -crop "1x1+$1+$2" -depth 8 rgb:- | od -An -tu1 | xargs; }
# A digest of the pixels of a rectangle (x y width height) of the screen as it is now: equal
# digests, equal pictures.
screen_area_digest() {
    import -window root -crop "${3}x${4}+${1}+${2}" +repage -depth 8 rgb:- | md5sum | cut -d' ' -f1
}

# How many pixels of a rectangle (x y width height) of a picture meet a Python condition on
# their r, g and b (0..255), e.g. 'r + g + b < 300' for text on the light window background.
count_pixels() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -depth 8 rgb:- | python3 -c '
import sys
d, meets = sys.stdin.buffer.read(), eval("lambda r, g, b: " + sys.argv[1])
print(sum(meets(*p) for p in zip(d[0::3], d[1::3], d[2::3])))' "$6"
}

# The grey levels (one byte a pixel) of a rectangle (x y width height) of a picture file.
grey_area() { convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace Gray -depth 8 gray:-; }

# The vertical middles of the lines of dark text in a rectangle (x y width height) of a
# picture, relative to the rectangle's top, one a line: where to click a list's entries.
text_line_middles() {
    grey_area "$@" | python3 -c '
import sys
width, data = int(sys.argv[1]), sys.stdin.buffer.read()
inked = [any(b < 100 for b in data[y:y + width]) for y in range(0, len(data), width)]
top = None
for y, ink in enumerate(inked + [False]):
    if ink and top is None:
        top = y
    elif not ink and top is not None:
        print((top + y - 1) // 2)
        top = None' "$4"
}

# Whether colour "r g b" lies within `tolerance` (per channel) of the colour "R G B".
colour_near() {
    local -a have=($1) want=($2)
    local i d
    for i in 0 1 2; do d=$((have[i] - want[i])) && ((d <= ${3:-40} && -d <= ${3:-40})) || return 1; done
}

# Asks the window manager to close the window, as the close box does, and waits up to
# `seconds` for the program to end by itself; then drops it from the clean-up list, as its
# process id may soon belong to someone else.
close_window_gracefully() {
    local pid=$2 seconds=${3:-5} kept=() p
    wmctrl -i -c "$1"
    poll "$seconds" process_gone "$pid" || fail "the program did not end within $seconds s of closing"
    for p in "${APP_PIDS[@]}"; do [[ $p == "$pid" ]] || kept+=("$p"); done
    APP_PIDS=("${kept[@]}")
}

settings_file() { echo "$XDG_CONFIG_HOME/PIKUTA/PIKUTA.ini"; }
# The value of a key of the [Startup] group of the settings file (empty when absent).
read_setting() {
    awk -F= -v key="$1" '/^\[/ { group = $0; next }
        group == "[Startup]" && $1 == key { sub(/^[^=]*=/, ""); print; exit }' "$(settings_file)"
}
# Writes a settings file with the given key=value pairs in the [Startup] group.
write_settings() { mkdir -p "$(dirname "$(settings_file)")" && printf '%s\n' "[Startup]" "$@" >"$(settings_file)"; }
# Settings that open `folder` at start-up with the window at the top-left corner, every
# option on and the speed bar at its middle (a tick of 1.5 s).
write_folder_settings() {
    write_settings n_left=0 n_top=0 w_width=8880 w_height=7140 w_left=0 w_top=0 \
        opc1_flag=1 opc2_flag=1 opc3_flag=1 opc4_flag=1 HScroll1_Value=3 moto_dr=/ "f_path=$1"
}

# Clicks the left mouse button at a screen position, holding the named keys (e.g. ctrl).
click_at() {
    local x=$1 y=$2 key px py
    shift 2
    # A synchronous move waits for the pointer to move: not when it is there already.
    read -r px py < <(xdotool getmouselocation | sed 's/x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/')
    [[ "$px $py" == "$x $y" ]] || xdotool mousemove --sync "$x" "$y"
    for key in "$@"; do xdotool keydown "$key"; done
    xdotool click 1
    for key in "$@"; do xdotool keyup "$key"; done
}

# Finds the rows of the picture list of `window` on screen: sets list_x and list_y (the list's
# top-left in screen pixels) and lines (each row's middle, relative to list_y), and fails
# unless there are `expected` rows (or from `expected` to `most`), all whole: one row height
# apart, none cut by the list's bottom edge.
find_list_rows() {
    local cx cy i heights tallest
    read -r cx cy _ _ < <(window_geometry "$1")
    screenshot "$WORK/list.png"
    list_x=$((cx + 214)) list_y=$((cy + 14))
    # Left of the select-all button and right of a horizontal scroll bar's arrow. Each entry
    # begins with a "/" as tall as the line: a row cut by the list's edge shows less ink.
    grey_area "$WORK/list.png" $((list_x + 20)) "$list_y" 230 124 >"$WORK/list.grey"
    mapfile -t lines < <(text_line_middles "$WORK/list.png" $((list_x + 20)) "$list_y" 230 124)
    ((${#lines[@]} >= $2 && ${#lines[@]} <= ${3:-$2})) ||
        fail "the list shows ${#lines[@]} lines of text, expected $2${3:+ to $3}"
    heights=$(python3 -c '
import sys
d = open(sys.argv[1], "rb").read()
inked = [any(b < 100 for b in d[y:y + 230]) for y in range(0, len(d), 230)] + [False]
tops = [y for y in range(len(inked) - 1) if inked[y] and (y == 0 or not inked[y - 1])]
print(*[next(y for y in range(t, len(inked)) if not inked[y]) - t for t in tops])' "$WORK/list.grey")
    read -ra heights <<<"$heights"
    tallest=$(printf '%s\n' "${heights[@]}" | sort -n | tail -1)
    for i in "${!heights[@]}"; do
        ((heights[i] + 3 >= tallest)) || fail "list row $((i + 1)) is cut: ink heights ${heights[*]}"
    done
}

# A w x h bitmap in four colours: red top left, lime top right, blue bottom left, yellow
# bottom right.
quadrant_picture() {
    local w=$(($2 / 2)) h=$(($3 / 2))
    convert \( -size "${w}x${h}" xc:red xc:lime +append \) \
        \( -size "${w}x${h}" xc:blue xc:yellow +append \) -append BMP3:"$1"
}
# Expects the quadrants of that picture around the point x y of the picture file `file`: red
# at x-dx y-dy, lime at x+dx y-dy, blue at x-dx y+dy, yellow at x+dx y+dy.
expect_quadrants() {
    local file=$1 x=$2 y=$3 dx=$4 dy=$5 spot sx sy r g b name got
    for spot in "-1 -1 255 0 0 red" "1 -1 0 255 0 lime" "-1 1 0 0 255 blue" "1 1 255 255 0 yellow"; do
        read -r sx sy r g b name <<<"$spot"
        got=$(pixel "$file" $((x + sx * dx)) $((y + sy * dy)))
        colour_near "$got" "$r $g $b" 40 || fail "$name expected at $((x + sx * dx)),$((y + sy * dy)), got $got"
    done
}

# Marks the first entry of the picture list of `window` and shows it with the n key; waits
# until the window has opened its picture area.
picture_area_open() { local h; read -r _ _ _ h < <(window_geometry "$1"); ((h > 300)); }
show_first_entry() {
    find_list_rows "$1" 1
    click_at $((list_x + 100)) $((list_y + lines[0]))
    xdotool key n
    poll 5 picture_area_open "$1" || fail "the picture area did not open"
    wait_for_settled "$1"
}

# The viewable popup menu of the program, if any: its id in MENU. Popups are top-level
# windows the window manager leaves alone, named after the program.
menu_open() {
    local id
    for id in $(xwininfo -root -children | awk '/"PIKUTA": \("pikuta"/ { print $1 }'); do viewable "$id" && MENU=$id && return 0; done
    MENU="" && return 1
}
menu_closed() { ! menu_open; }

# Right-clicks at the screen point x y and checks that the popup menu opens with its top-left
# corner there (within 2 px); the menu stays open, its id in MENU.
right_click_menu_at() {
    local x=$1 y=$2 mx my
    xdotool mousemove --sync "$x" "$y" click 3
    poll 3 menu_open || fail "no menu after a right click at $x,$y"
    read -r mx my _ _ < <(window_geometry "$MENU")
    note "menu corner at $mx,$my for a click at $x,$y"
    ((mx - x <= 2 && x - mx <= 2 && my - y <= 2 && y - my <= 2)) ||
        fail "the menu opened at $mx,$my, the click was at $x,$y"
}

# Chooses the n-th item of the open popup menu from the keyboard.
choose_menu_item() {
    local i
    for ((i = 0; i < $1; ++i)); do xdotool key Down; done && xdotool key Return
    poll 3 menu_closed || fail "the menu stayed open"
}

# Opens the search window from the main window's "検索する" button and starts a search with
# its "検索" button; sets sx and sy to the search window's client origin.
search_window() { xdotool search --name '^検索$' 2>/dev/null | head -1; }
search_window_viewable() { [[ -n $(search_window) ]] && viewable "$(search_window)"; }
start_search() {
    local cx cy
    read -r cx cy _ _ < <(window_geometry "$1")
    click_at $((cx + 140)) $((cy + 168))
    poll 10 search_window_viewable || fail "the search window did not appear"
    wait_for_settled "$(search_window)"
    read -r sx sy _ _ < <(window_geometry "$(search_window)")
    click_at $((sx + 28)) $((sy + 50))
}
