#!/usr/bin/env bash
# Key to screen with the real program on a virtual 1280 x 1024 X server: for sets of 20 JPEG
# photos of 1, 12 and 24 megapixels, all marked, in the maximised mode at speed 10 (the timer
# never comes between two keys), the milliseconds from the key "p" to the next picture fully
# on screen (median of 20 presses half a second apart) and the program's peak resident memory
# over the whole run. One line a figure: name value unit - -
#
#   PIKUTA_BIN=build/pikuta PIKUTA_BENCH=build/pikuta-bench bench/key_to_screen.sh [--quick]
#
# --quick: tiny photos, three presses (keeps the script from rotting).
here=$(cd "$(dirname "$0")" && pwd)
export PIKUTA_SAMPLES=${PIKUTA_SAMPLES:-$here/../samples}
source "$here/../tests/x11/lib.sh"
: "${PIKUTA_BENCH:?PIKUTA_BENCH must name pikuta-bench}"
PIKUTA_BENCH=$(realpath "$PIKUTA_BENCH")

sets=("1mp 1152 864" "12mp 4000 3000" "24mp 6000 4000") presses=20
if [[ ${1:-} == --quick ]]; then sets=("1mp 160 120") presses=3; fi

start_xvfb_session
start_wm

maximised() { xprop -id "$1" _NET_WM_STATE | grep -q MAXIMIZED_HORZ; }

for set in "${sets[@]}"; do
    read -r name w h <<<"$set"
    dir=$WORK/$name
    "$PIKUTA_BENCH" photos "$dir" "$w" "$h" 20 || fail "cannot make the photos"
    write_settings n_left=0 n_top=0 w_width=8880 w_height=7140 w_left=0 w_top=0 \
        opc1_flag=1 opc2_flag=1 opc3_flag=0 opc4_flag=1 HScroll1_Value=10 moto_dr=/ "f_path=$dir"
    start_app "$WORK"
    window=$(wait_for_window 20)
    read -r cx cy _ _ < <(window_geometry "$window")
    click_at $((cx + 300)) $((cy + 22)) # the list's first entry, then all of them
    xdotool key ctrl+a
    xdotool key p                         # the first picture opens the picture area
    poll 10 picture_area_open "$window" || fail "the picture area did not open"
    wait_for_settled "$window"
    read -r cx cy _ _ < <(window_geometry "$window")
    right_click_menu_at $((cx + 450)) $((cy + 308))
    choose_menu_item 2 # maximised
    poll 5 maximised "$window" || fail "not maximised"
    wait_for_settled "$window"
    sleep 1
    screenshot "$WORK/maximised-$name.png"
    # Rows through the top, the middle and the bottom of the fitted picture.
    mapfile -t times < <(/usr/bin/python3 "$here/key_to_screen.py" p "$presses" 500 262 512 762)
    rss=$(awk '/^VmHWM:/ { print $2 }' "/proc/$APP_PID/status")
    screenshot "$WORK/last-$name.png"
    kill "$APP_PID"
    poll 5 process_gone "$APP_PID" || kill -KILL "$APP_PID"
    shown=$(printf '%s\n' "${times[@]}" | grep -vc timeout || true)
    ((shown == presses)) || note "key_to_screen_$name: $((presses - shown)) of $presses presses showed no new picture" >&2
    median=$(printf '%s\n' "${times[@]}" | grep -v timeout | sort -n |
        awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2); else print "-" }')
    echo "key_to_screen_$name $median ms - -"
    echo "peak_rss_key_$name $(awk -v k="$rss" 'BEGIN { printf "%.2f", k / 1024 }') MB - -"
done
