#!/usr/bin/env bash
# A long search under a real window system: its count rises while the animation runs; "中止"
# stops it within a second; minimised by the window manager, the search window comes back at
# "検索する"; "閉じる" hides it; "すべて選択" beside the list's entries marks every entry;
# closing the main window during a search ends the program within two seconds, with the
# settings written.
[[ -d /dev/shm ]] && export TMPDIR=/dev/shm # the big tree is made much faster in memory
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
tree=$WORK/tree
# 27,000 folders three deep, one picture in each of the deepest.
python3 - "$tree" <<'PY'
import os, sys
for a in range(30):
    for b in range(30):
        for c in range(30):
            folder = os.path.join(sys.argv[1], f"a{a:02}", f"b{b:02}", f"c{c:02}")
            os.makedirs(folder)
            open(os.path.join(folder, "p.jpg"), "w").close()
PY
start_app "$tree"
window=$(wait_for_window 10)

# While a search runs, the animation box shows the film strip, dark at its top edge.
searching() { colour_near "$(screen_pixel $((sx + 52)) $((sy + 40)))" "36 34 40" 20; }
not_searching() { ! searching; }
count_digest() { screen_area_digest $((sx + 6)) $((sy + 17)) 190 15; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

start_search "$window"
poll 5 searching || fail "no animation while searching"
declare -A counts=()
for _ in 1 2 3 4 5 6; do
    counts[$(count_digest)]=1
    sleep 0.2
done
note "${#counts[@]} different counts seen in a second"
((${#counts[@]} >= 3)) || fail "the count did not rise while searching (${#counts[@]} texts)"

start=$(now_ms)
click_at $((sx + 28)) $((sy + 50)) # "中止"
poll 3 not_searching || fail "the search went on after 中止"
stopped_after=$(($(now_ms) - start))
note "stopped ${stopped_after} ms after 中止"
((stopped_after < 1000)) || fail "the search stopped only ${stopped_after} ms after 中止"
first=$(count_digest)
sleep 1
[[ $(count_digest) == "$first" ]] || fail "the count still changes after 中止"

# Minimised by the window manager, the search window comes back at "検索する".
xdotool windowminimize --sync "$(search_window)"
poll 3 eval '! search_window_viewable' || fail "the search window could not be minimised"
read -r cx cy _ _ < <(window_geometry "$window")
click_at $((cx + 140)) $((cy + 168))
poll 5 search_window_viewable || fail "検索する left the minimised search window out of sight"
wait_for_settled "$(search_window)"
click_at $((sx + 132)) $((sy + 50)) # "閉じる": the window goes out of sight
poll 5 eval '! search_window_viewable' || fail "閉じる left the search window on screen"
# "すべて選択" lies over the list, right of its entries; a click on it marks every row.
find_list_rows "$window" 8 9 # whole rows only, eight above a horizontal scroll bar
read -r cx cy _ _ < <(window_geometry "$window")
click_at $((cx + 506)) $((cy + 110))
sleep 0.5
screenshot "$WORK/marked.png"
for line in "${lines[@]}"; do
    got=$(pixel "$WORK/marked.png" $((list_x + 2)) $((list_y + line))) # left of the text
    colour_near "$got" "48 140 198" 60 || fail "row at $line is not marked after すべて選択 ($got)"
done

# Searching again, then closing the main window: the program ends within two seconds.
start_search "$window"
poll 5 searching || fail "the second search did not start"
sleep 0.5
close_window_gracefully "$window" "$APP_PID" 2
[[ $(read_setting f_path) == "$tree" ]] || fail "f_path=$(read_setting f_path) after closing during a search"
