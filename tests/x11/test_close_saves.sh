#!/usr/bin/env bash
# Closing the main window through the window manager ends the program and writes all thirteen
# settings as plain text; on a first run they hold the defaults, the start-up folder and a
# fit-to-window height that counts the real window frame.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
start_app
window=$(wait_for_window 10)
[[ ! -e $(settings_file) ]] || fail "settings were written before the window closed"
read -r left right top bottom < <(frame_extents "$window")
close_window_gracefully "$window" "$APP_PID" 5

[[ -f $(settings_file) ]] || fail "no settings file at $(settings_file)"
keys=(n_left n_top w_width w_height w_left w_top opc1_flag opc2_flag opc3_flag opc4_flag
    HScroll1_Value moto_dr f_path)
stored=$(awk -F= '/^\[/ { group = $0; next } group == "[Startup]" && NF { print $1 }' \
    "$(settings_file)" | sort | xargs)
[[ $stored == "$(printf '%s\n' "${keys[@]}" | sort | xargs)" ]] ||
    fail "stored keys: $stored"
for key in "${keys[@]:0:11}"; do
    [[ $(read_setting "$key") =~ ^-?[0-9]+$ ]] || fail "$key is not plain decimal text: $(read_setting "$key")"
done

# The values themselves are the handler tests' business; here: the ones that depend on the
# real screen and file system.
expect() {
    local key=$1 value=$2 got
    got=$(read_setting "$key")
    [[ $got == "$value" ]] || fail "$key=$got, expected $value"
}
expect n_left 0
# The fit-to-window height defaults to the frame height plus 6765 twips; under a window
# manager the frame is its title bar and borders, not zero.
expect w_height $(((top + bottom) * TWIPS_PER_PIXEL + 6765))
expect f_path "$(cd "$PIKUTA_SAMPLES" && pwd -P)"
[[ -n $(read_setting moto_dr) ]] || fail "moto_dr is empty"
