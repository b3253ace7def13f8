#!/usr/bin/env bash
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
#   PIKUTA_BIN=build/pikuta PIKUTA_BENCH=build/pikuta-bench bench/key_to_screen.sh [--quick | SET...]
#
# --quick: tiny photos, three presses (keeps the script from rotting). SET: 1mp, 12mp or 24mp
# alone.
here=$(cd "$(dirname "$0")" && pwd)
export PIKUTA_SAMPLES=${PIKUTA_SAMPLES:-$here/../samples}
source "$here/../tests/x11/lib.sh"
: "${PIKUTA_BENCH:?PIKUTA_BENCH must name pikuta-bench}"
PIKUTA_BENCH=$(realpath "$PIKUTA_BENCH")

sets=("1mp 1152 864 8" "12mp 4000 3000 25" "24mp 6000 4000 32") presses=20
if [[ ${1:-} == --quick ]]; then
    sets=("1mp 160 120 8") presses=3
elif (($#)); then
    mapfile -t sets < <(printf '%s\n' "${sets[@]}" | grep -E "^($(IFS='|'; echo "$*")) ")
fi

start_xvfb_session
start_wm

maximised() { xprop -id "$1" _NET_WM_STATE | grep -q MAXIMIZED_HORZ; }

# Times one way of moving on (key_to_screen.py's arguments without the rows) and prints its
# median against the goal, and the program's peak resident memory meanwhile.
measure() {
    local figure=$1 goal=$2 times shown median rss
    shift 2
    echo 5 >"/proc/$APP_PID/clear_refs" # the peak starts again from what is resident now
    # Rows through the top, the middle and the bottom of the fitted picture.
    mapfile -t times < <(/usr/bin/python3 "$here/key_to_screen.py" "$@" 262 512 762)
    rss=$(awk '/^VmHWM:/ { print $2 }' "/proc/$APP_PID/status")
    shown=$(printf '%s\n' "${times[@]}" | grep -vc timeout || true)
    ((shown == presses)) || note "$figure: $((presses - shown)) of $presses presses showed no new picture" >&2
    median=$(printf '%s\n' "${times[@]}" | grep -v timeout | sort -n |
        awk '{ v[NR] = $1 } END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2); else print "-" }')
    awk -v f="$figure" -v m="$median" -v g="$goal" \
        'BEGIN { printf "%s %s ms %.2f %s\n", f, m, g, m == "-" ? "-" : sprintf("%.2f", m / g) }'
    echo "peak_rss_key_${figure#key_to_screen_} $(awk -v k="$rss" 'BEGIN { printf "%.2f", k / 1024 }') MB - -"
}

for set in "${sets[@]}"; do
    read -r name w h goal <<<"$set"
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
    measure "key_to_screen_$name" "$goal" p "$presses" 500
    measure "key_to_screen_stop_$name" "$goal" --before s p "$presses" 500
    xdotool key s
    measure "key_to_screen_next_$name" "$goal" --delayed 1000 n "$presses" 300
    screenshot "$WORK/last-$name.png"
    kill "$APP_PID"
    poll 5 process_gone "$APP_PID" || kill -KILL "$APP_PID"
done
