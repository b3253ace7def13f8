#!/usr/bin/env bash
# The installed program (PIKUTA_BIN) starts from the desktop's point of view: found on PATH,
# its window appears with its exact title, and closing the window ends it.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
start_app "$WORK"
window=$(wait_for_window 15)
[[ $(xprop -id "$window" _NET_WM_NAME) == "_NET_WM_NAME(UTF8_STRING) = \"$TITLE\"" ]] ||
    fail "title is $(xprop -id "$window" _NET_WM_NAME)"
note "installed program's window: $(xprop -id "$window" WM_CLASS)"
close_window_gracefully "$window" "$APP_PID" 5
