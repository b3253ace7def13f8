#!/usr/bin/env bash
# The screen stays awake while the slideshow plays. Argument "bus": under openbox, with a
# desktop screen-saver service (a stand-in on a private session bus), the program asks it to
# inhibit the screen saver when the show starts and lets go when the window is minimised, again
# when it is restored, when STOP is pressed and when the window closes: the service sees
# Inhibit and UnInhibit in that order, each releasing the cookie it was given. Argument "bare":
# a bare X server with no session bus; with the X screen saver set to start after 2 s of
# idleness, it does not start while the show plays, and does once STOP has been pressed.
source "$(dirname "$0")/lib.sh"

mode=${1:?usage: test_screen_awake.sh bus|bare}
start_xvfb_session
pics=$WORK/pictures && mkdir -p "$pics"
for colour in red lime blue; do convert -size 40x30 "xc:$colour" BMP3:"$pics/$colour.bmp"; done
write_folder_settings "$pics"

# Marks every entry with "すべて選択" and starts the show with the p key.
play() {
    local cx cy
    read -r cx cy _ _ < <(window_geometry "$window")
    click_at $((cx + 506)) $((cy + 110))
    xdotool key p
}

if [[ $mode == bus ]]; then
    dbus-daemon --session --fork --print-address=3 --print-pid=4 3>"$WORK/bus" 4>"$WORK/bus.pid"
    APP_PIDS+=("$(cat "$WORK/bus.pid")")
    export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$WORK/bus")
    # Debian's own interpreter: the one with the bus and GLib modules.
    /usr/bin/python3 "$(dirname "$0")/screensaver_standin.py" >"$WORK/saver.log" 2>&1 &
    APP_PIDS+=($!)
    poll 10 grep -qs ready "$WORK/saver.log" || fail "the stand-in service did not start: $(cat "$WORK/saver.log")"
    start_wm
    start_app "$WORK"
    window=$(wait_for_window 10)
    calls() { grep -v ready "$WORK/saver.log" | xargs; }
    calls_are() { [[ $(calls) == "$expected" ]]; }
    expect_calls() { expected=$1 && poll 5 calls_are || fail "the service saw: $(calls); expected: $1"; }
    expect_calls ""
    play
    expect_calls "Inhibit PIKUTA 1"
    xdotool windowminimize --sync "$window"
    expect_calls "Inhibit PIKUTA 1 UnInhibit 1"
    wmctrl -i -a "$window"
    expect_calls "Inhibit PIKUTA 1 UnInhibit 1 Inhibit PIKUTA 2"
    wait_for_settled "$window"
    xdotool key s
    expect_calls "Inhibit PIKUTA 1 UnInhibit 1 Inhibit PIKUTA 2 UnInhibit 2"
    xdotool key p
    expect_calls "Inhibit PIKUTA 1 UnInhibit 1 Inhibit PIKUTA 2 UnInhibit 2 Inhibit PIKUTA 3"
    close_window_gracefully "$window" "$APP_PID" 5
    expect_calls "Inhibit PIKUTA 1 UnInhibit 1 Inhibit PIKUTA 2 UnInhibit 2 Inhibit PIKUTA 3 UnInhibit 3"
    exit 0
fi

# No session bus to be found (and none started on demand).
export DBUS_SESSION_BUS_ADDRESS=unix:path=$WORK/no-bus
xset s 2
# The X screen saver's state ("on" or "off") and the idle time in milliseconds.
saver() {
    /usr/bin/python3 -c '
from Xlib import display
from Xlib.ext import screensaver
info = display.Display().screen().root.screensaver_query_info()
print("on" if info.state == screensaver.StateOn else "off", info.idle)'
}
idle_longer_than() { local idle; read -r _ idle < <(saver); ((idle > $1)); }
start_app "$WORK"
window=$(wait_for_window 10)
play
poll 10 idle_longer_than 3000 || fail "the server reports no idle time"
[[ $(saver) == off* ]] || fail "the screen saver started while the show plays: $(saver)"
xdotool key s
poll 10 idle_longer_than 3000 || fail "the server reports no idle time"
[[ $(saver) == on* ]] || fail "the screen saver did not start after STOP: $(saver)"
