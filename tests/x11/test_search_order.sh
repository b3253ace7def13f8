#!/usr/bin/env bash
# The search under a real window system: a first start lists the pictures of its folder at
# once; the search window fills the list and shows its count; "閉じる" hides it; "すべて選択"
# over the list marks every entry. (The order of the entries is the unit tests' business.)
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
tree=$WORK/tree
mkdir -p "$tree/S1" "$tree/S2/T"
for picture in a S1/b S2/c S2/T/d; do convert -size 16x12 xc:red BMP3:"$tree/$picture.bmp"; done
start_app "$tree"
window=$(wait_for_window 10)
read -r cx cy _ _ < <(window_geometry "$window")
find_list_rows "$window" 1 # the start folder's own picture, with no folder chosen

start_search "$window"
sleep 1
screenshot "$WORK/searched.png"
label_text=$(dark_pixels "$WORK/searched.png" $((sx + 6)) $((sy + 17)) 190 15)
((label_text > 100)) || fail "the search window's result line looks empty ($label_text dark pixels)"
click_at $((sx + 132)) $((sy + 50)) # "閉じる": the window goes out of sight
poll 5 bash -c "! xwininfo -id $(xdotool search --name '^検索$' | head -1) | grep -q IsViewable" ||
    fail "閉じる left the search window on screen"
find_list_rows "$window" 4

# "すべて選択" lies over the list's lower-right corner; a click on it marks every row.
click_at $((cx + 506)) $((cy + 110))
sleep 0.5
screenshot "$WORK/marked.png"
for line in "${lines[@]}"; do
    got=$(pixel "$WORK/marked.png" $((list_x + 320)) $((list_y + line))) # right of the text
    colour_near "$got" "48 140 198" 60 || fail "row at $line is not marked after すべて選択 ($got)"
done

kill -0 "$APP_PID" || fail "the program ended"
