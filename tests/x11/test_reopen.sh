#!/usr/bin/env bash
# A later run restores the saved window position (twips) and reopens the saved folder, whose
# pictures fill the list at once; closing it again saves the same position, so the window does
# not creep across the screen from run to run.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
# 1500 x 900 twips = 100 x 60 px; the remaining keys as a normal exit writes them.
write_settings n_left=1500 n_top=900 w_width=8880 w_height=7140 w_left=0 w_top=0 \
    opc1_flag=1 opc2_flag=1 opc3_flag=0 opc4_flag=1 HScroll1_Value=3 moto_dr=/ \
    "f_path=$PIKUTA_SAMPLES"
start_app "$WORK"
window=$(wait_for_window 10)

# The list lies right of the folder list in the client area; its entries are dark text.
read -r x y w h < <(window_geometry "$window")
screenshot "$WORK/reopen.png"
list_text=$(dark_pixels "$WORK/reopen.png" $((x + 220)) $((y + 20)) 340 110)
note "list text: $list_text dark pixels"
((list_text > 200)) || fail "the picture list looks empty after reopening $PIKUTA_SAMPLES"

read -r fx fy < <(frame_origin "$window")
note "window frame at ($fx,$fy)"
[[ "$fx $fy" == "100 60" ]] || fail "the window frame is at ($fx,$fy), expected (100,60)"
close_window_gracefully "$window" "$APP_PID" 5
saved="$(read_setting n_left) $(read_setting n_top)"
[[ $saved == "1500 900" ]] || fail "saved n_left n_top = $saved after an unmoved run, expected 1500 900"
