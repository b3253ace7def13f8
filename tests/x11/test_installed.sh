#!/usr/bin/env bash
# The installed program starts from the desktop's point of view: as the installed desktop
# entry's command line says for a picture chosen in the file manager, found on PATH; its window
# appears with its exact title and shows the picture, and closing the window ends it.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
convert -size 40x30 xc:red BMP3:"$WORK/red.bmp"
launch=$(sed -n 's/^Exec=//p' /usr/share/applications/jp.mofurasoft.pikuta.desktop)
read -ra launch <<<"${launch//%f/$WORK/red.bmp}"
(cd "$WORK" && exec "${launch[@]}") >"$WORK/app.log" 2>&1 &
APP_PID=$! && APP_PIDS+=("$APP_PID")
window=$(wait_for_window 15)
poll 5 picture_area_open "$window" || fail "the picture chosen is not on show"
[[ $(xprop -id "$window" _NET_WM_NAME) == "_NET_WM_NAME(UTF8_STRING) = \"$TITLE\"" ]] ||
    fail "title is $(xprop -id "$window" _NET_WM_NAME)"
note "installed program's window: $(xprop -id "$window" WM_CLASS)"
close_window_gracefully "$window" "$APP_PID" 5
