#!/usr/bin/env bash
# First run without settings: the main window appears with its exact title at the top-left
# corner, showing only the upper band of controls, and its picture list shows the pictures of
# the folder it starts in (the samples) at once. The Japanese captions are drawn with real
# glyphs: the list frame's caption along the top of the client area is dense text, not the
# thin outline boxes of missing glyphs.
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
# The caption spans about x 207..440, y 2..12 of the client area. Its 22 characters give
# about 600 dark pixels in the Japanese font and under 200 as empty boxes.
caption=$(dark_pixels "$WORK/list.png" $((x + 200)) "$y" 246 16)
note "caption: $caption dark pixels"
((caption > 400)) || fail "the list frame's caption has only $caption dark pixels"
# Beyond the caption the band is plain background.
beyond=$(dark_pixels "$WORK/list.png" $((x + 450)) "$y" 120 12)
((beyond == 0)) || fail "$beyond dark pixels right of the caption"
kill -0 "$APP_PID" || fail "the program ended"
