#!/usr/bin/env bash
# On a first run the fit-to-window height defaults to the window's frame height plus 6765
# twips; under a window manager the frame is its title bar and borders, not zero.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
start_app
window=$(wait_for_window 10)
read -r left right top bottom < <(frame_extents "$window")
close_window_gracefully "$window" "$APP_PID" 5

expected=$(((top + bottom) * TWIPS_PER_PIXEL + 6765))
got=$(read_setting w_height)
[[ $got == "$expected" ]] ||
    fail "w_height=$got, expected $expected (6765 + the ${top}+${bottom} px frame the window manager drew)"
