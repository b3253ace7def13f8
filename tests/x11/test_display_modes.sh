#!/usr/bin/env bash
# The loupe and the display modes on one picture. The loupe: a left click in the top right
# corner of the picture switches it on at the picture's own size; each left click, however
# quick, magnifies one step around the clicked point; the corner switches it off and the
# fitted picture returns. The version window comes back after the window manager minimised
# it, and goes at a right click. The display modes chosen from the picture's popup menu: a
# right click opens the menu with its corner at the click in every mode; the full-screen mode
# fills the screen with the fitted picture and its overlay line; restoring it (by a second
# start of the program) gives the resizable window, at the default place and size when these
# were chosen while maximised, whose picture refits when the user resizes it and which stays
# as the user left it when the window manager maximises it, and whose balloons follow the
# pointer along the strip of buttons; closing in that mode and starting again restores the
# rectangle.
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

# The version window, minimised by the window manager, comes back when it is asked for
# again; a click with either button puts it away.
version_window() { xdotool search --name '^バージョン情報$' 2>/dev/null | head -1; }
version_shown() { [[ -n $(version_window) ]] && viewable "$(version_window)"; }
# (Each click a pixel away from the last: a move to where the pointer is would wait.)
right_click_menu_at $((px + 247)) $((py + 100))
choose_menu_item 5
poll 5 version_shown || fail "the version window did not appear"
xdotool windowminimize --sync "$(version_window)"
for x in 248 249; do
    right_click_menu_at $((px + x)) $((py + 100))
    choose_menu_item 5
    poll 5 version_shown || fail "the version window did not come back"
done
read -r vx vy vw vh < <(window_geometry "$(version_window)")
xdotool mousemove --sync $((vx + vw / 2)) $((vy + vh / 3)) click 3
poll 3 eval '! version_shown' || fail "a right click left the version window open"

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

# The default place and size chosen while maximised, then the window restored by a second
# start of the program: the fit-to-window mode at the default place, its client area the
# default height below the normal window's title bar (not the maximised window's).
right_click_menu_at $((cx + 701)) $((cy + 400))
choose_menu_item 8
(cd "$WORK" && exec timeout 10 "$PIKUTA_BIN") >"$WORK/second.log" 2>&1 || fail "the second start failed"
poll 5 eval '! xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED' || fail "still maximised"
wait_for_settled "$window"
read -r fx fy < <(frame_origin "$window")
read -r cx cy cw ch < <(window_geometry "$window")
((fx == 0 && fy == 0 && cw < 1000 && ch == 6765 / TWIPS_PER_PIXEL)) ||
    fail "restored window at $fx,$fy, $cw x $ch"
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
# Maximised by the window manager (a double click on the title bar, or a pager): the window
# keeps the rectangle the user gave it, with the picture fitted to it.
for how in title pager; do
    if [[ $how == title ]]; then
        read -r fx fy < <(frame_origin "$window")
        read -r _ _ top _ < <(frame_extents "$window")
        xdotool mousemove --sync $((fx + 100)) $((fy + top / 2)) click --repeat 2 --delay 80 1
    else
        wmctrl -i -r "$window" -b add,maximized_vert,maximized_horz
    fi
    sleep 0.5 && wait_for_settled "$window"
    read -r cx cy cw ch < <(window_geometry "$window")
    now="$(frame_origin "$window") $cw $ch"
    [[ $now == "$kept" ]] || fail "maximised by the $how, the window went to $now from $kept"
    screenshot "$WORK/mode2-$how.png"
    expect_quadrants "$WORK/mode2-$how.png" $((cx + 400)) $((cy + 300)) 200 150
done
# The balloon over NEXT in the strip along the picture's bottom edge goes when the pointer
# moves on into the gap beside it, where a click does nothing. (Balloons are popups of the
# program like the menu.)
xdotool mousemove --sync $((cx + 700)) $((cy + 550)) sleep 0.1 mousemove --sync $((cx + 702)) $((cy + 551))
poll 3 menu_open || fail "no balloon over NEXT"
xdotool mousemove --sync $((cx + 550)) $((cy + 550))
poll 2 menu_closed || fail "the balloon stayed up over the gap"

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
