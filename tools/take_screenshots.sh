#!/usr/bin/env bash
# Takes the pictures of the user guide into OUTPUT_FOLDER: the main window with a folder's
# pictures listed, a fitted picture, full-screen mode, the loupe and the search window.
# The test suite writes them into the build folder; `make screenshots` into docs/.
source "$(dirname "$0")/../tests/x11/lib.sh"

out=${1:?usage: take_screenshots.sh OUTPUT_FOLDER}
mkdir -p "$out"
out=$(realpath "$out")

# The window with its frame, as a person sees it, into a small PNG.
window_shot() {
    local x y w h left right top bottom
    read -r x y w h < <(window_geometry "$1")
    read -r left right top bottom < <(frame_extents "$1")
    import -window root -crop "$((w + left + right))x$((h + top + bottom))+$((x - left))+$((y - top))" \
        +repage -strip -define png:compression-level=9 "$out/$2"
    note "$2: $(identify -format '%wx%h' "$out/$2")"
}

start_xvfb_session
start_wm
# The bundled samples folder, opened at start with every file type on.
write_folder_settings "$(cd "$PIKUTA_SAMPLES" && pwd -P)"
start_app "$WORK"
window=$(wait_for_window 10)
xdotool mousemove 0 1000 # no tool tip in the pictures
window_shot "$window" main-window.png

find_list_rows "$window" 8 9
# The second last entry, sunrise.bmp (the last is 桜.jpg).
click_at $((list_x + 100)) $((list_y + lines[0]))
xdotool key End Up n
poll 5 picture_area_open "$window" || fail "the picture area did not open"
wait_for_settled "$window"
xdotool mousemove 0 1000
sleep 0.5
window_shot "$window" fitted-picture.png

# The loupe: on from the picture's top right corner, then one step around the sun.
read -r cx cy _ _ < <(window_geometry "$window")
px=$((cx + 200)) py=$((cy + 208))
xdotool mousemove --sync $((px + 360)) $((py + 20)) click 1
sleep 0.3
xdotool mousemove --sync $((px + 188)) $((py + 110)) click 1
sleep 0.5
window_shot "$window" loupe.png
xdotool mousemove --sync $((px + 360)) $((py + 20)) click 1
sleep 0.3

# Full screen from the popup menu, reduced to half size.
right_click_menu_at $((px + 250)) $((py + 100))
choose_menu_item 2
poll 5 eval 'xprop -id "$window" _NET_WM_STATE | grep -q MAXIMIZED_HORZ' || fail "not maximised"
wait_for_settled "$window"
xdotool mousemove 1279 1023
sleep 0.5
import -window root -resize 50% -depth 8 -strip -define png:compression-level=9 "$out/full-screen.png"
note "full-screen.png: $(identify -format '%wx%h' "$out/full-screen.png")"
right_click_menu_at 300 300
choose_menu_item 1
wait_for_settled "$window"

start_search "$window"
sleep 2
xdotool mousemove 0 1000
window_shot "$(search_window)" search-window.png
