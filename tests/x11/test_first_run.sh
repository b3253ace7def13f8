#!/usr/bin/env bash
# A first run without settings, on the samples folder. Argument: "bare" for a server without a
# window manager, "wm" to run under openbox.
# Both: windows of other programs with titles close to the main window's (one character short
# or more, another case or letter) do not pass for a running instance: the program starts.
# bare: the main window appears with its exact title at the top-left corner, showing only the
# upper band of controls, and its picture list shows the samples at once. The Japanese
# captions are drawn with real glyphs: the list frame's caption is dense text, not the thin
# outline boxes of missing glyphs.
# Both: a second start (with WAYLAND_DISPLAY set beside DISPLAY) finds the running instance by
# its exact title, brings its window back and ends at once without a window or settings of its
# own: bare, unmapped and covered by another window: mapped, on top and focused; wm, minimised:
# restored and active; wm, covered: on top and active.
# wm: maximised by the window manager before any picture is shown, the window is put back at
# once as it was.
# wm: closing the main window through the window manager ends the program and writes all
# thirteen settings as plain text: the defaults, the start-up folder and a fit-to-window height
# that counts the real window frame. A later run restores the saved window position (twips)
# and reopens the saved folder, whose pictures fill the list at once; closing it again saves
# the same position, so the window does not creep across the screen from run to run.
source "$(dirname "$0")/lib.sh"

mode=${1:?usage: test_first_run.sh wm|bare}
start_xvfb_session
[[ $mode == wm ]] && start_wm
for title in "${TITLE%?}" "$TITLE " "${TITLE,,}" "${TITLE/EMF/EMX}"; do
    xmessage -title "$title" decoy >/dev/null 2>&1 &
    APP_PIDS+=($!)
    xdotool search --sync --name "^${title//[()*.]/.}\$" >/dev/null
done
start_app
first_pid=$APP_PID
first=$(wait_for_window 10)

if [[ $mode == bare ]]; then
    read -r x y w h < <(window_geometry "$first")
    note "client area ${w}x${h} at ($x,$y)"
    [[ "$x $y" == "0 0" ]] || fail "the window is at ($x,$y), not at the top-left corner"
    # The design width of 8880 twips and the upper band of 2895 twips, down to the bottom of
    # its frames: no strip of the lower panel below them.
    [[ "$w $h" == "592 193" ]] || fail "client area is ${w}x${h}, expected 592x193"
    [[ $(xprop -id "$first" _NET_WM_NAME) == "_NET_WM_NAME(UTF8_STRING) = \"$TITLE\"" ]] ||
        fail "title is $(xprop -id "$first" _NET_WM_NAME)"
    # The list (white box right of the folder list) is filled: a row of text for each line.
    find_list_rows "$first" 8 9 # whole rows only, eight above a horizontal scroll bar
    # The caption spans about x 207..440, y 2..12 of the client area. Its 22 characters give
    # about 600 dark pixels in the Japanese font and under 200 as empty boxes.
    caption=$(count_pixels "$WORK/list.png" $((x + 200)) "$y" 246 16 "r + g + b < 300")
    note "caption: $caption dark pixels"
    ((caption > 400)) || fail "the list frame's caption has only $caption dark pixels (is fonts-ipafont-gothic installed?)"
    # Beyond the caption the band is plain background.
    beyond=$(count_pixels "$WORK/list.png" $((x + 450)) "$y" 120 12 "r + g + b < 300")
    ((beyond == 0)) || fail "$beyond dark pixels right of the caption"
    xdotool windowunmap --sync "$first"
else
    xdotool windowminimize --sync "$first"
fi
# A window of another program, started after the main window, lies above it.
cover_window() {
    xmessage -title "pikuta cover" cover >/dev/null 2>&1 &
    APP_PIDS+=($!)
    cover=$(xdotool search --sync --name '^pikuta cover$' | head -1)
}
# The top-level windows from the bottom up: the manager's stacking list, else the root's children.
stacking() {
    local list w
    list=$(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | grep -o '0x[0-9a-f]*') ||
        list=$(xwininfo -root -children | awk '/^ +0x/ { print $1 }' | tac)
    for w in $list; do echo $((w)); done
}
first_on_top() { stacking | awk -v a="$first" -v b="$cover" '$1 == a { i = NR } $1 == b { j = NR } END { exit !(i > j) }'; }
first_is_back() { one_viewable_main_window && [[ $(main_windows) == "$first" ]]; }
first_is_active() {
    [[ $(if [[ $mode == wm ]]; then xdotool getactivewindow; else xdotool getwindowfocus; fi 2>/dev/null) == "$first" ]]
}
first_unmaximised() { ! xprop -id "$first" _NET_WM_STATE | grep -q MAXIMIZED; }
# Starts a second instance and expects the first window back, active, and on top of `cover`.
second_start() {
    local started status=0 elapsed_ms
    started=$(date +%s%N)
    # As from a Wayland session that also runs an X server: the rule holds all the same.
    (cd "$PIKUTA_SAMPLES" && WAYLAND_DISPLAY=wayland-pikuta XDG_SESSION_TYPE=wayland \
        exec timeout 10 "$PIKUTA_BIN") >"$WORK/second.log" 2>&1 || status=$?
    elapsed_ms=$((($(date +%s%N) - started) / 1000000))
    note "second instance ($1) ended with status $status after $elapsed_ms ms"
    ((status == 0)) || fail "the second instance ($1) ended with status $status"
    ((elapsed_ms < 2000)) || fail "the second instance ($1) took $elapsed_ms ms to end"
    poll 3 first_is_back || fail "$1: the first window is not the one viewable main window: $(main_windows)"
    kill -0 "$first_pid" || fail "the first instance ended"
    [[ ! -e $(settings_file) ]] || fail "settings were written while the first instance still runs"
    poll 3 first_is_active || fail "$1: the first window was not activated"
    [[ -z $cover ]] || poll 3 first_on_top || fail "$1: the first window is not above the other: $(stacking | xargs)"
}
hidden() { ! viewable "$first"; }
poll 3 hidden || fail "the first window could not be hidden"
cover=""
if [[ $mode == bare ]]; then
    cover_window
    second_start "unmapped and covered"
    exit 0
fi
second_start minimised
wait_for_settled "$first"
# Maximised by the window manager before any picture: the compact window comes back at once,
# where it was.
placed="$(frame_origin "$first") $(window_geometry "$first" | cut -d' ' -f3,4)"
wmctrl -i -r "$first" -b add,maximized_vert,maximized_horz
sleep 0.5 && wait_for_settled "$first"
now="$(frame_origin "$first") $(window_geometry "$first" | cut -d' ' -f3,4)"
first_unmaximised && [[ $now == "$placed" ]] || fail "maximised, the window is at $now, was at $placed"
cover_window
poll 3 eval '! first_on_top' || fail "the other window does not cover the first"
second_start covered

wait_for_settled "$first"
read -r left right top bottom < <(frame_extents "$first")
close_window_gracefully "$first" "$APP_PID" 5
[[ -f $(settings_file) ]] || fail "no settings file at $(settings_file)"
keys=(n_left n_top w_width w_height w_left w_top opc1_flag opc2_flag opc3_flag opc4_flag
    HScroll1_Value moto_dr f_path)
stored=$(awk -F= '/^\[/ { group = $0; next } group == "[Startup]" && NF { print $1 }' \
    "$(settings_file)" | sort | xargs)
[[ $stored == "$(printf '%s\n' "${keys[@]}" | sort | xargs)" ]] || fail "stored keys: $stored"
for key in "${keys[@]:0:11}"; do
    [[ $(read_setting "$key") =~ ^-?[0-9]+$ ]] || fail "$key is not plain decimal text: $(read_setting "$key")"
done
# The values themselves are the handler tests' business; here: the ones that depend on the
# real screen and file system.
expect() { [[ $(read_setting "$1") == "$2" ]] || fail "$1=$(read_setting "$1"), expected $2"; }
expect n_left 0
# The fit-to-window height defaults to the frame height plus 6765 twips; under a window
# manager the frame is its title bar and borders, not zero.
expect w_height $(((top + bottom) * TWIPS_PER_PIXEL + 6765))
expect f_path "$(cd "$PIKUTA_SAMPLES" && pwd -P)"
[[ -n $(read_setting moto_dr) ]] || fail "moto_dr is empty"

# The later run: 1500 x 900 twips = 100 x 60 px; the remaining keys as a normal exit writes them.
write_settings n_left=1500 n_top=900 w_width=8880 w_height=7140 w_left=0 w_top=0 \
    opc1_flag=1 opc2_flag=1 opc3_flag=0 opc4_flag=1 HScroll1_Value=3 moto_dr=/ \
    "f_path=$PIKUTA_SAMPLES"
start_app "$WORK"
window=$(wait_for_window 10)
# The list lies right of the folder list in the client area; its entries are dark text.
read -r x y w h < <(window_geometry "$window")
screenshot "$WORK/reopen.png"
list_text=$(count_pixels "$WORK/reopen.png" $((x + 220)) $((y + 20)) 340 110 "r + g + b < 300")
note "list text: $list_text dark pixels"
((list_text > 200)) || fail "the picture list looks empty after reopening $PIKUTA_SAMPLES"
read -r fx fy < <(frame_origin "$window")
[[ "$fx $fy" == "100 60" ]] || fail "the window frame is at ($fx,$fy), expected (100,60)"
close_window_gracefully "$window" "$APP_PID" 5
expect n_left 1500
expect n_top 900
