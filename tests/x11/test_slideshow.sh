#!/usr/bin/env bash
# The slideshow shows the marked pictures only, in list order, one a tick (1.5 s at the
# middle speed); STOP holds the picture; n and b step to the next and the previous marked
# picture a second after the key. Enhanced and Windows metafiles show like any picture: fitted
# to the picture area with proportions kept; the area on screen is compared with the reference
# rendering of the metafile scaled the same way.
source "$(dirname "$0")/lib.sh"

# Bilinear scaling here and on screen differ only along edges, and the screen's smooth scaling
# gives full colours a few units short (252 for 255): a correct picture measures up to about
# 0.02 (normalised RMSE), while the same picture one pixel off measures 0.10, two pixels too
# large 0.11 and the other sample 0.31.
readonly MOST_DIFFERENCE=0.04
REFERENCES=$(dirname "$0")/../imageformats/reference

start_xvfb_session
start_wm
pics=$WORK/pictures && mkdir -p "$pics"
for picture in 1_red:red 2_yellow:yellow 3_green:lime 4_blue:blue; do
    convert -size 160x120 "xc:${picture#*:}" BMP3:"$pics/${picture%:*}.bmp"
done
cp "$PIKUTA_SAMPLES/shapes.emf" "$PIKUTA_SAMPLES/shapes.wmf" "$pics/"
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
read -r cx cy _ _ < <(window_geometry "$window")

find_list_rows "$window" 6
click_at $((list_x + 100)) $((list_y + lines[0]))
click_at $((list_x + 100)) $((list_y + lines[2])) ctrl
click_at $((list_x + 100)) $((list_y + lines[3])) ctrl

# The picture area: 377x233 px at (200,208) of the client area.
px=$((cx + 200)) py=$((cy + 208))
# The colour at the middle of the picture area, by name.
shown() {
    local got name
    got=$(screen_pixel $((px + 188)) $((py + 116)))
    for name in black:'0 0 0' red:'255 0 0' yellow:'255 255 0' green:'0 255 0' blue:'0 0 255'; do
        colour_near "$got" "${name#*:}" 40 && echo "${name%%:*}" && return
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
        [[ $colour == "$last" ]] || { SEEN+=("$colour") && AT+=($(($(now_ms) - start))) && last=$colour; }
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

picture_area() { screen_area_digest "$px" "$py" 377 233; }
# Waits until the area differs from the digest `$1` and then holds still for a moment.
wait_for_new_picture() {
    local old=$1 last now
    changed() { now=$(picture_area) && [[ $now != "$old" ]]; }
    poll 5 changed || return 1
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        sleep 0.2 && last=$now && now=$(picture_area)
        [[ $now != "$last" ]] || return 0
    done
    return 1
}

# The reference fitted into a black 377x233 box the way the viewer fits it: both samples (320 x
# 240 and 427 x 320) fill the height, 311 x 233 from column 32.
expected_area() {
    convert -size 377x233 xc:black \( "$1" -background white -alpha remove -filter Triangle \
        -resize "311x233!" \) -geometry +32+0 -composite "$2"
}

check_shown() {
    local name=$1 difference
    import -window root -crop "377x233+$px+$py" +repage "$WORK/$name.png"
    expected_area "$REFERENCES/$name.png" "$WORK/$name.expected.png"
    # compare prints "absolute (normalised)" and ends with status 1 when the pictures differ.
    difference=$(compare -metric RMSE "$WORK/$name.png" "$WORK/$name.expected.png" null: 2>&1 |
        sed -n 's/.*(\(.*\)).*/\1/p') || true
    note "$name: difference $difference (RMSE, 0..1)"
    [[ -n $difference ]] || fail "$name: could not compare with the reference"
    python3 -c 'import sys; sys.exit(float(sys.argv[1]) > float(sys.argv[2]))' "$difference" "$MOST_DIFFERENCE" ||
        fail "$name on screen differs from its reference by $difference (more than $MOST_DIFFERENCE)"
}

# One marked at a time: the EMF by PLAY (held with STOP), then the WMF by NEXT.
for step in "4 p shapes.emf" "5 n shapes.wmf"; do
    read -r line key name <<<"$step"
    click_at $((list_x + 100)) $((list_y + lines[line]))
    before=$(picture_area)
    xdotool key "$key"
    wait_for_new_picture "$before" || fail "$name did not show after $key"
    [[ $key == n ]] || xdotool key s
    check_shown "$name"
done
kill -0 "$APP_PID" || fail "the program ended"
