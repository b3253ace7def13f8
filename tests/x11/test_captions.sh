#!/usr/bin/env bash
# The Japanese captions are drawn with real glyphs: the list frame's caption along the top of
# the client area is dense text, not the thin outline boxes of missing glyphs.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_app
window=$(wait_for_window 10)
read -r x y w h < <(window_geometry "$window")
screenshot "$WORK/captions.png"

# The caption spans about x 207..440, y 2..12 of the client area. Its 22 characters give
# about 600 dark pixels in the Japanese font and under 200 as empty boxes.
caption=$(dark_pixels "$WORK/captions.png" $((x + 200)) "$y" 246 16)
note "caption: $caption dark pixels"
((caption > 400)) || fail "the list frame's caption has only $caption dark pixels"
# Beyond the caption the band is plain background.
beyond=$(dark_pixels "$WORK/captions.png" $((x + 450)) "$y" 120 12)
((beyond == 0)) || fail "$beyond dark pixels right of the caption"
