#!/usr/bin/env bash
# Opening a picture or folder as the file manager does (pikuta PATH), under openbox.
# A picture given by a path relative to where the program starts opens in its folder's list and
# is on show at once. Started again with a path, the program hands it to the running instance,
# which comes back from the taskbar, active, and opens it: a folder fills the list, a picture
# (here one whose name is not UTF-8) is shown; the new instance ends at once. A path that does
# not exist changes nothing: handed over, or given at a start without a running instance, the
# program goes on as without it, and what it saves at exit is what it would have saved anyway.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
pics=$WORK/pictures start=$WORK/start
mkdir -p "$pics" "$start"
sjis=$'\x8d\xf7.bmp' # a name in Shift-JIS, not UTF-8
for spec in "red:$pics/a red.bmp" "blue:$pics/b blue.bmp" "lime:$pics/$sjis" "grey:$start/s.bmp"; do
    convert -size 40x30 "xc:${spec%%:*}" BMP3:"${spec#*:}"
done
write_folder_settings "$start"

# The middle of the picture area (5655 x 3495 twips at 3000, 3120 of the client area).
shows() {
    local x y
    read -r x y _ _ < <(window_geometry "$window")
    colour_near "$(screen_pixel $((x + 388)) $((y + 324)))" "$1" 40
}
handed_over() {
    local status=0
    (cd / && exec timeout 10 "$PIKUTA_BIN" "$1") >"$WORK/handed.log" 2>&1 || status=$?
    ((status == 0)) || fail "the instance given $1 ended with status $status"
    [[ $(main_windows) == "$window" ]] || fail "another main window appeared: $(main_windows)"
}
is_active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$window" ]]; }

start_app "$WORK" "pictures/b blue.bmp"
window=$(wait_for_window 10)
poll 5 picture_area_open "$window" || fail "the picture area did not open"
wait_for_settled "$window"
poll 3 shows "0 0 255" || fail "the picture given is not on show"

xdotool windowminimize --sync "$window"
poll 3 eval '! viewable "$window"' || fail "the window could not be minimised"
handed_over "$pics"
poll 3 viewable "$window" || fail "the window did not come back"
poll 3 is_active || fail "the window is not active"
wait_for_settled "$window"
find_list_rows "$window" 3

handed_over "$pics/$sjis"
poll 3 shows "0 255 0" || fail "the picture handed over is not on show"

handed_over /nowhere/x.bmp
poll 3 shows "0 255 0" || fail "a path that does not exist changed the picture"
close_window_gracefully "$window" "$APP_PID" 5
[[ $(read_setting f_path) == "$pics" ]] || fail "f_path=$(read_setting f_path), expected $pics"

# No instance runs: as without the path.
write_folder_settings "$start"
saved=$(cat "$(settings_file)")
start_app "$WORK" /nowhere/y.bmp
window=$(wait_for_window 10)
find_list_rows "$window" 1
close_window_gracefully "$window" "$APP_PID" 5
for key in n_left n_top w_width w_height w_left w_top opc1_flag opc2_flag opc3_flag opc4_flag \
    HScroll1_Value moto_dr f_path; do
    [[ $(read_setting "$key") == "$(sed -n "s/^$key=//p" <<<"$saved")" ]] ||
        fail "$key=$(read_setting "$key"), before: $(sed -n "s/^$key=//p" <<<"$saved")"
done
