#!/usr/bin/env bash
# Two monitors side by side, as the desktop's monitor list (and Xinerama) reports them, under
# openbox: A 1280x1024 (primary) at 0,0 and B 1024x768 at 1280,0; the area below B lies on no
# monitor. A window stored on B opens there, at its place; the search and version windows
# open on B beside it; maximised it fills B; closed and started again it is back at the same
# place. A place on no monitor any more is moved onto the primary one by the usual rules:
# within its right and bottom edges.
source "$(dirname "$0")/lib.sh"

XVFB_SCREEN=2304x1024 start_xvfb_session
xrandr --setmonitor A 1280/339x1024/271+0+0 screen >/dev/null
xrandr --setmonitor B 1024/271x768/203+1280+0 none >/dev/null
start_wm
pics=$WORK/pictures && mkdir -p "$pics"
convert -size 40x30 xc:red BMP3:"$pics/red.bmp"
# The frame's corner at (1380, 90) on B: 20700 x 1350 twips.
write_folder_settings "$pics"
sed -i 's/^n_left=.*/n_left=20700/; s/^n_top=.*/n_top=1350/' "$(settings_file)"

# Expects the window `id`'s frame (or its client area, "client") to lie within monitor B.
on_b() {
    local x y w h
    read -r x y w h < <(window_geometry "$1")
    ((x >= 1280 && x + w <= 2304 && y >= 0 && y + h <= 768)) ||
        fail "$2 is at $x,$y ${w}x${h}, not on monitor B"
}
expect_frame_at() {
    local fx fy
    read -r fx fy < <(frame_origin "$window")
    [[ "$fx $fy" == "$1 $2" ]] || fail "$3: the window's frame is at ($fx,$fy), expected ($1,$2)"
}

for run in first again; do
    start_app "$WORK"
    window=$(wait_for_window 10)
    expect_frame_at 1380 90 "$run run"
    [[ $run == again ]] && break
    read -r cx cy _ _ < <(window_geometry "$window")
    click_at $((cx + 140)) $((cy + 168)) # 検索する
    poll 10 search_window_viewable || fail "the search window did not appear"
    wait_for_settled "$(search_window)"
    on_b "$(search_window)" "the search window"
    wmctrl -i -c "$(search_window)"
    poll 5 eval '! search_window_viewable' || fail "the search window stayed"
    show_first_entry "$window"
    read -r cx cy _ _ < <(window_geometry "$window")
    right_click_menu_at $((cx + 388)) $((cy + 324))
    choose_menu_item 5 # バージョン情報
    version() { xdotool search --name '^バージョン情報$' 2>/dev/null | head -1; }
    poll 5 eval '[[ -n $(version) ]] && viewable "$(version)"' || fail "the version window did not appear"
    wait_for_settled "$(version)"
    on_b "$(version)" "the version window"
    xdotool key --window "$(version)" a
    right_click_menu_at $((cx + 388)) $((cy + 324))
    choose_menu_item 2 # maximised
    filling_b() { [[ $(window_geometry "$window") == "1280 "* ]] && read -r _ _ w h < <(window_geometry "$window") && ((w > 1000)); }
    poll 5 filling_b || fail "maximised, the window is at $(window_geometry "$window"), not filling monitor B"
    on_b "$window" "the maximised window"
    close_window_gracefully "$window" "$APP_PID" 5
    [[ "$(read_setting n_left) $(read_setting n_top)" == "20700 1350" ]] ||
        fail "saved at $(read_setting n_left),$(read_setting n_top), expected 20700,1350"
done
close_window_gracefully "$window" "$APP_PID" 5

# Below B: on no monitor. The primary one's right edge, and its bottom edge.
sed -i 's/^n_left=.*/n_left=21000/; s/^n_top=.*/n_top=13500/' "$(settings_file)"
start_app "$WORK"
window=$(wait_for_window 10)
read -r fx fy < <(frame_origin "$window")
read -r _ _ w h < <(window_geometry "$window")
read -r left right top bottom < <(frame_extents "$window")
expect_frame_at $((1280 - w - left - right)) $((1024 - h - top - bottom)) "placed on no monitor"
