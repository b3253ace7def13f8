#!/usr/bin/env bash
# The display modes chosen from the picture's popup menu: a right click opens the menu with its
# corner at the click in every mode; the full-screen mode fills the screen with the fitted
# picture and its overlay line; restoring it gives the resizable window, whose picture refits
# when the user resizes it; closing in that mode and starting again restores the rectangle.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
pics=$WORK/pictures
mkdir -p "$pics"
quadrant_picture "$pics/quad.bmp" 640 480
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
show_first_entry "$window"

# Colours of the picture at the middle of its four quadrants, for a picture drawn at x y with
# size w h on the screen shot `file`.
expect_quadrants() {
    local file=$1 x=$2 y=$3 w=$4 h=$5 spot name got
    for spot in "1 1 255 0 0 red" "3 1 0 255 0 lime" "1 3 0 0 255 blue" "3 3 255 255 0 yellow"; do
        read -r qx qy r g b name <<<"$spot"
        got=$(pixel "$file" $((x + w * qx / 4)) $((y + h * qy / 4)))
        colour_near "$got" "$r $g $b" 40 || fail "$name quadrant shows $got"
    done
}

# Mode 0: pic at (200, 208) in the client area, 377 x 233.
read -r cx cy _ _ < <(window_geometry "$window")
right_click_menu_at $((cx + 200 + 250)) $((cy + 208 + 100))
choose_menu_item 2

# Mode 1: maximised, the picture fitted to the whole client area with the overlay line.
poll 5 eval 'xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED_HORZ' || fail "not maximised"
wait_for_settled "$window"
read -r cx cy cw ch < <(window_geometry "$window")
((cx == 0 && cw == 1280 && cy + ch == 1024)) || fail "maximised client area is $cw x $ch at $cx,$cy"
screenshot "$WORK/mode1.png"
# 640 x 480 fitted to the width: 1280 x 960, centred.
expect_quadrants "$WORK/mode1.png" "$cx" $((cy + (ch - 960) / 2)) 1280 960
grey=$(pixels_near "$WORK/mode1.png" "$cx" "$cy" "$cw" "$ch" "192 192 192")
((grey == 0)) || fail "$grey grey pixels of the panels show in full-screen mode"
magenta=$(pixels_near "$WORK/mode1.png" "$cx" "$cy" 400 16 "255 0 255")
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
expect_quadrants "$WORK/mode2.png" "$cx" "$cy" 800 600
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
