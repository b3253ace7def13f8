#!/usr/bin/env bash
# A wide picture is drawn fitted to the picture area with its proportions kept: full width,
# centred between black bands. Stepping onto a damaged JPEG (cut off half way) changes
# nothing on screen and raises no message; the next good picture shows as usual.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
pics=$WORK/pictures
mkdir -p "$pics"
# 640x240: red left half, blue right half.
convert -size 320x240 xc:red -size 320x240 xc:blue +append BMP3:"$pics/a.bmp"
convert -size 320x240 gradient:yellow-orange -quality 90 "$WORK/whole.jpg"
head -c $(($(stat -c %s "$WORK/whole.jpg") / 2)) "$WORK/whole.jpg" >"$pics/b_broken.jpg"
convert -size 200x100 xc:lime BMP3:"$pics/c.bmp"
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
read -r cx cy cw ch < <(window_geometry "$window")
read -r left right top bottom < <(frame_extents "$window")

# The list's entries, in name order: a.bmp, b_broken.jpg, c.bmp.
find_list_rows "$window" 3
entry_x=$((list_x + 100))

# The picture area: 377x233 px at (200,208) of the client area.
px=$((cx + 200)) py=$((cy + 208))
red='255 0 0' blue='0 0 255' black='0 0 0' lime='0 255 0'
shows() { colour_near "$(screen_pixel $((px + $1)) $((py + $2)))" "$3" 8; }
click_at "$entry_x" $((list_y + lines[0]))
click_at $((cx + 362)) $((cy + 180)) # PLAY
poll 3 shows 60 116 "$red" || fail "a.bmp did not show after PLAY"
xdotool key s
# Fitted to the width: 377 x round(240 * 377 / 640) = 141 px, from row 116 - 70 = 46 down.
for check in "60 116 $red" "316 116 $blue" "0 116 $red" "376 116 $blue" \
    "60 46 $red" "316 186 $blue" "60 45 $black" "316 187 $black" \
    "188 20 $black" "188 212 $black" "0 0 $black" "376 232 $black"; do
    read -r x y r g b <<<"$check"
    got=$(screen_pixel $((px + x)) $((py + y)))
    colour_near "$got" "$r $g $b" 8 || fail "pixel ($x,$y) of the picture area is $got, expected $r $g $b"
done

# The first load grows the window: 8880 twips wide outside, 6765 twips of client height.
read -r _ _ cw ch < <(window_geometry "$window")
note "client area ${cw}x${ch}, frame $left $right $top $bottom"
(((cw + left + right) * TWIPS_PER_PIXEL == 8880)) ||
    fail "the window is $((cw + left + right)) px wide with its frame, expected 592"
((ch == 451)) || fail "the client area is $ch px high, expected 451"

click_at "$entry_x" $((list_y + lines[1])) ctrl
click_at "$entry_x" $((list_y + lines[2])) ctrl
before=$(screen_area_digest "$px" "$py" 377 233)
# The name box under the speed bar names the file each load tried.
name_box() { screen_area_digest $((cx + 8)) $((cy + 288)) 185 17; }
name_before=$(name_box)
name_changed() { [[ $(name_box) != "$name_before" ]]; }
xdotool key n
poll 3 name_changed || fail "no load was tried within 3 s of n"
screenshot "$WORK/after-broken.png"
[[ $(screen_area_digest "$px" "$py" 377 233) == "$before" ]] ||
    fail "the picture area changed when the damaged JPEG was loaded"
[[ $(xdotool getactivewindow) == "$window" ]] ||
    fail "another window took the focus after the damaged JPEG: $(xdotool getactivewindow getwindowname)"

xdotool key n
poll 3 shows 188 116 "$lime" || fail "c.bmp did not show after the damaged JPEG"
kill -0 "$APP_PID" || fail "the program ended"
