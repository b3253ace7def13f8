#!/usr/bin/env bash
# The end of a session: SIGTERM (logout, shutdown) and SIGHUP (the terminal or session the
# program was started from goes) close the program as its close box does. It ends with status
# 0 and writes the settings of the run: the folder it showed and the place the user moved its
# window to. For SIGHUP the search window is open as well.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
for signal in TERM HUP; do
    rm -f "$(settings_file)"
    start_app
    window=$(wait_for_window 10)
    if [[ $signal == HUP ]]; then
        start_search "$window"
        wait_for_settled "$(search_window)"
    fi
    xdotool windowmove --sync "$window" 300 200
    wait_for_settled "$window"
    read -r fx fy < <(frame_origin "$window")
    kill -"$signal" "$APP_PID"
    poll 5 process_gone "$APP_PID" || fail "SIG$signal: the program did not end within 5 s"
    status=0
    wait "$APP_PID" || status=$?
    APP_PIDS=()
    note "SIG$signal: ended with status $status"
    ((status == 0)) || fail "SIG$signal: the program ended with status $status"
    [[ -f $(settings_file) ]] || fail "SIG$signal: no settings written"
    for expected in "n_left=$((fx * TWIPS_PER_PIXEL))" "n_top=$((fy * TWIPS_PER_PIXEL))" \
        "f_path=$(cd "$PIKUTA_SAMPLES" && pwd -P)"; do
        [[ $(read_setting "${expected%%=*}") == "${expected#*=}" ]] ||
            fail "SIG$signal: ${expected%%=*}=$(read_setting "${expected%%=*}"), expected ${expected#*=}"
    done
done
