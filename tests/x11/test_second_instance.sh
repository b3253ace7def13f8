#!/usr/bin/env bash
# A second start finds the running instance by its title, brings its window back and ends at
# once without a window or settings of its own. Argument: "wm" to run under openbox, "bare"
# for a server without a window manager (there the window is unmapped instead of minimised).
source "$(dirname "$0")/lib.sh"

mode=${1:?usage: test_second_instance.sh wm|bare}
start_xvfb_session
[[ $mode == wm ]] && start_wm
start_app
first_pid=$APP_PID
first=$(wait_for_window 10)

if [[ $mode == wm ]]; then
    xdotool windowminimize --sync "$first"
else
    xdotool windowunmap --sync "$first"
fi
hidden() {
    ! viewable "$first"
}
poll 3 hidden || fail "the first window could not be hidden"

started=$(date +%s%N)
status=0
(cd "$PIKUTA_SAMPLES" && exec timeout 10 "$PIKUTA_BIN") >"$WORK/second.log" 2>&1 || status=$?
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
note "second instance ended with status $status after $elapsed_ms ms"
((status == 0)) || fail "the second instance ended with status $status"
((elapsed_ms < 2000)) || fail "the second instance took $elapsed_ms ms to end"

first_is_back() {
    one_viewable_main_window && [[ $(main_windows) == "$first" ]]
}
poll 3 first_is_back || fail "the first window is not the one viewable main window: $(main_windows)"
if [[ $mode == wm ]]; then
    first_is_active() {
        [[ $(xdotool getactivewindow 2>/dev/null) == "$first" ]]
    }
    poll 3 first_is_active || fail "the first window was not activated"
fi
kill -0 "$first_pid" || fail "the first instance ended"
[[ ! -e $(settings_file) ]] || fail "settings were written while the first instance still runs"
