#!/usr/bin/env bash
# The slideshow shows the marked pictures only, in list order, one a tick (1.5 s at the
# middle speed); STOP holds the picture; n and b step to the next and the previous marked
# picture a second after the key.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
pics=$WORK/pictures
mkdir -p "$pics"
for picture in 1_red:red 2_yellow:yellow 3_green:lime 4_blue:blue; do
    convert -size 160x120 "xc:${picture#*:}" BMP3:"$pics/${picture%:*}.bmp"
done
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
read -r cx cy _ _ < <(window_geometry "$window")

find_list_rows "$window" 4
click_at $((list_x + 100)) $((list_y + lines[0]))
click_at $((list_x + 100)) $((list_y + lines[2])) ctrl
click_at $((list_x + 100)) $((list_y + lines[3])) ctrl

# The colour at the middle of the picture area, by name.
centre_x=$((cx + 200 + 188)) centre_y=$((cy + 208 + 116))
shown() {
    local got name
    got=$(screen_pixel "$centre_x" "$centre_y")
    for name in black:'0 0 0' red:'255 0 0' yellow:'255 255 0' green:'0 255 0' blue:'0 0 255'; do
        if colour_near "$got" "${name#*:}" 40; then
            echo "${name%%:*}"
            return
        fi
    done
    echo "other($got)"
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Presses `key` (none when empty) and watches the picture until `count` changes were seen or
# `seconds` pass; leaves the pictures in SEEN and the milliseconds after the key at which each
# appeared in AT.
watch_changes() {
    local key=$1 count=$2 seconds=$3 start colour last
    last=$(shown)
    [[ -z $key ]] || xdotool key "$key"
    start=$(now_ms)
    SEEN=() AT=()
    while ((${#SEEN[@]} < count && $(now_ms) - start < seconds * 1000)); do
        colour=$(shown)
        if [[ $colour != "$last" ]]; then
            SEEN+=("$colour")
            AT+=($(($(now_ms) - start)))
            last=$colour
        fi
    done
}

# PLAY shows the first marked picture at once and then one a tick.
watch_changes p 3 8
xdotool key s
note "pictures seen: ${SEEN[*]} at ${AT[*]} ms"
[[ ${SEEN[*]} == "red green blue" ]] || fail "the slideshow showed ${SEEN[*]}, expected red green blue"
((AT[0] < 1000)) || fail "the first picture came ${AT[0]} ms after PLAY"
for i in 1 2; do
    tick=$((AT[i] - AT[i - 1]))
    ((tick > 1200 && tick < 2500)) || fail "picture $((i + 1)) came $tick ms after the one before, expected one tick of 1500 ms"
done

# STOP holds the picture: no change over two ticks' worth of time.
watch_changes "" 1 2
((${#SEEN[@]} == 0)) || fail "after STOP the picture changed to ${SEEN[*]} after ${AT[*]} ms"

# n goes on from the last picture (blue) to the next marked one, round to the first.
for step in "n red" "n green" "b red"; do
    read -r key expected <<<"$step"
    watch_changes "$key" 1 3
    note "$key: ${SEEN[*]} after ${AT[*]} ms"
    [[ ${SEEN[*]} == "$expected" ]] || fail "after $key the picture became '${SEEN[*]}', expected $expected"
    ((AT[0] >= 900)) || fail "after $key the picture changed after ${AT[0]} ms, before the second's delay"
done
kill -0 "$APP_PID" || fail "the program ended"
