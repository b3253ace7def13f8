#!/usr/bin/env bash
# The loupe and the display modes on one picture. The loupe: a left click in the top right
# corner of the picture switches it on at the picture's own size; each left click, however
# quick, magnifies one step around the clicked point; the corner switches it off and the
# fitted picture returns. The display modes chosen from the picture's popup menu: a right click
# opens the menu with its corner at the click in every mode; the full-screen mode fills the
# screen with the fitted picture and its overlay line; restoring it gives the resizable window,
# whose picture refits when the user resizes it; closing in that mode and starting again
# restores the rectangle.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
pics=$WORK/pictures && mkdir -p "$pics"
quadrant_picture "$pics/quad.bmp" 640 480
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
show_first_entry "$window"
# pic lies at (200, 208) in the client area, 377 x 233 pixels; its middle is (188, 116).
read -r cx cy _ _ < <(window_geometry "$window")
px=$((cx + 200)) py=$((cy + 208))

# Expects the picture's middle at the point x y of pic, seen by the quadrants around it.
expect_middle_at() {
    screenshot "$WORK/loupe.png"
    expect_quadrants "$WORK/loupe.png" $((px + $1)) $((py + $2)) 8 8
}
click_pic() {
    xdotool mousemove --sync $((px + $1)) $((py + $2)) click --repeat "${3:-1}" --delay 60 1
    sleep 0.3
}
# Click x y, clicks, and where the picture's middle is then: the loupe corner; 10 pixels up
# and left of the middle, which goes to the middle, 2x; 4x around the same point; a quick
# double click: two steps, 6x then 10x.
for step in "360 20 1 188 116" "178 106 1 208 136" "188 116 1 228 156" "188 116 2 288 216"; do
    read -r x y n mx my <<<"$step"
    click_pic "$x" "$y" "$n"
    expect_middle_at "$mx" "$my"
done
click_pic 360 20 # off again: the whole picture, fitted (311 x 233 from x 33)
screenshot "$WORK/fitted.png"
colour_near "$(pixel "$WORK/fitted.png" $((px + 10)) $((py + 116)))" "0 0 0" 40 || fail "no black margin"
expect_quadrants "$WORK/fitted.png" $((px + 188)) $((py + 116)) 78 58

# Mode 0.
right_click_menu_at $((px + 250)) $((py + 100))
choose_menu_item 2

# Mode 1: maximised, the picture fitted to the whole client area with the overlay line.
poll 5 eval 'xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED_HORZ' || fail "not maximised"
wait_for_settled "$window"
read -r cx cy cw ch < <(window_geometry "$window")
((cx == 0 && cw == 1280 && cy + ch == 1024)) || fail "maximised client area is $cw x $ch at $cx,$cy"
screenshot "$WORK/mode1.png"
# 640 x 480 fitted to the width: 1280 x 960, centred.
expect_quadrants "$WORK/mode1.png" $((cx + 640)) $((cy + ch / 2)) 320 240
grey=$(count_pixels "$WORK/mode1.png" "$cx" "$cy" "$cw" "$ch" "max(abs(r - 192), abs(g - 192), abs(b - 192)) <= 60")
((grey == 0)) || fail "$grey grey pixels of the panels show in full-screen mode"
magenta=$(count_pixels "$WORK/mode1.png" "$cx" "$cy" 400 16 "r >= 195 and g <= 60 and b >= 195")
((magenta > 30)) || fail "no overlay line ($magenta magenta pixels)"
right_click_menu_at $((cx + 700)) $((cy + 400))
xdotool key Escape
poll 3 menu_closed || fail "Escape left the menu open"

# Restored by the window manager: the fit-to-window mode at its remembered (default) place.
wmctrl -i -r "$window" -b remove,maximized_vert,maximized_horz
poll 5 eval '! xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED' || fail "still maximised"
wait_for_settled "$window"
read -r fx fy < <(frame_origin "$window")
read -r cx cy cw ch < <(window_geometry "$window")
((fx == 0 && fy == 0 && cw < 1000)) || fail "restored window at $fx,$fy, $cw x $ch"
right_click_menu_at $((cx + 300)) $((cy + 200))
xdotool key Escape

# The user resizes it; the picture refits the new client area exactly.
xdotool windowsize --sync "$window" 800 600
wait_for_settled "$window"
read -r cx cy cw ch < <(window_geometry "$window")
((cw == 800 && ch == 600)) || fail "resized to $cw x $ch"
screenshot "$WORK/mode2.png"
expect_quadrants "$WORK/mode2.png" $((cx + 400)) $((cy + 300)) 200 150
kept="$(frame_origin "$window") $cw $ch"

# Closed in mode 2 and started again, the fit-to-window mode returns to the same rectangle.
close_window_gracefully "$window" "$APP_PID" 5
note "stored w_width=$(read_setting w_width) w_height=$(read_setting w_height)"
start_app "$WORK"
window=$(wait_for_window 10)
show_first_entry "$window"
read -r cx cy _ _ < <(window_geometry "$window")
right_click_menu_at $((cx + 200 + 100)) $((cy + 208 + 50))
choose_menu_item 3
wait_for_settled "$window"
read -r _ _ cw ch < <(window_geometry "$window")
again="$(frame_origin "$window") $cw $ch"
[[ $again == "$kept" ]] || fail "mode 2 came back at $again, it was left at $kept"
read -r cx cy _ _ < <(window_geometry "$window")
right_click_menu_at $((cx + 500)) $((cy + 300))
