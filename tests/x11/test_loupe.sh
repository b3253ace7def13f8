#!/usr/bin/env bash
# The loupe: a left click in the top right corner of the picture switches it on at the
# picture's own size; each left click, however quick, magnifies one step around the clicked
# point; the corner switches it off and the fitted picture returns.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
pics=$WORK/pictures
mkdir -p "$pics"
quadrant_picture "$pics/quad.bmp" 400 300
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
show_first_entry "$window"
# pic lies at (200, 208) in the client area, 377 x 233 pixels; its middle is (188, 116).
read -r cx cy _ _ < <(window_geometry "$window")
px=$((cx + 200)) py=$((cy + 208))

# Expects the four quadrants around the point x y of pic: the picture's middle lies there.
expect_middle_at() {
    local x=$1 y=$2 spot got file=$WORK/loupe-$1-$2.png
    screenshot "$file"
    for spot in "-8 -8 255 0 0 red" "8 -8 0 255 0 lime" "-8 8 0 0 255 blue" "8 8 255 255 0 yellow"; do
        read -r dx dy r g b name <<<"$spot"
        got=$(pixel "$file" $((px + x + dx)) $((py + y + dy)))
        colour_near "$got" "$r $g $b" 40 || fail "$name expected at pic $((x + dx)),$((y + dy)), got $got"
    done
}
click_pic() {
    xdotool mousemove --sync $((px + $1)) $((py + $2)) click --repeat "${3:-1}" --delay 60 1
    sleep 0.3
}

click_pic 360 20 # the loupe corner
expect_middle_at 188 116
click_pic 178 106 # 10 pixels up and left of the middle: that point goes to the middle, 2x
expect_middle_at 208 136
click_pic 188 116 # 4x around the same point
expect_middle_at 228 156
click_pic 188 116 2 # a quick double click: two steps, 6x then 10x
expect_middle_at 288 216
click_pic 360 20 # off again: the whole picture, fitted (311 x 233 from x 32)
screenshot "$WORK/fitted.png"
colour_near "$(pixel "$WORK/fitted.png" $((px + 10)) $((py + 116)))" "0 0 0" 40 || fail "no black margin"
colour_near "$(pixel "$WORK/fitted.png" $((px + 60)) $((py + 60)))" "255 0 0" 40 || fail "not fitted"
