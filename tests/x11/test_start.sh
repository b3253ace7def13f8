#!/usr/bin/env bash
# First run without settings: the main window appears with its exact title at the top-left
# corner, showing only the upper band of controls, and its picture list shows the pictures of
# the folder it starts in (the samples) at once.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_app
window=$(wait_for_window 10)

read -r x y w h < <(window_geometry "$window")
note "client area ${w}x${h} at ($x,$y)"
[[ "$x $y" == "0 0" ]] || fail "the window is at ($x,$y), not at the top-left corner"
# The design width of 8880 twips and the upper band of 2925 twips.
[[ "$w $h" == "592 195" ]] || fail "client area is ${w}x${h}, expected 592x195"

[[ $(xprop -id "$window" _NET_WM_NAME) == "_NET_WM_NAME(UTF8_STRING) = \"$TITLE\"" ]] ||
    fail "title is $(xprop -id "$window" _NET_WM_NAME)"

# The list (white box right of the folder list) is filled: a row of text for each line.
find_list_rows "$window" 10 # nine whole rows and the top of the tenth
note "the list shows ${#lines[@]} rows at once"
kill -0 "$APP_PID" || fail "the program ended"
