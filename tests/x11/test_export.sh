#!/usr/bin/env bash
# Clipboard copy and wallpaper on a bare X server: "c" puts the picture on the X clipboard at
# its own size; "w" writes pk_w_pap.bmp and makes it the root window's background, which
# stays after the program ends, and so does the copy, kept by a clipboard manager. A picture
# deleted from disk, or a damaged one, changes nothing.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
# No desktop: no session bus, no desktop name.
unset DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP DESKTOP_SESSION XDG_DATA_HOME
# Debian's own interpreter: the one with the X library of python3-xlib.
/usr/bin/python3 "$(dirname "$0")/clipboard_manager.py" >"$WORK/manager.log" 2>&1 &
APP_PIDS+=($!)
poll 5 grep -qs ready "$WORK/manager.log" || fail "no clipboard manager: $(cat "$WORK/manager.log")"
# a: four coloured quarters, 64x48; b: a JPEG cut off half way.
pics=$WORK/pictures a=$WORK/a.bmp
mkdir -p "$pics"
convert \( -size 32x24 xc:red xc:lime +append \) \( -size 32x24 xc:blue xc:yellow +append \) \
    -append BMP3:"$a"
cp "$a" "$pics/a.bmp"
convert -size 320x240 gradient:yellow-orange -quality 90 "$WORK/whole.jpg"
head -c $(($(stat -c %s "$WORK/whole.jpg") / 2)) "$WORK/whole.jpg" >"$pics/b_broken.jpg"
wallpaper=$HOME/.local/share/PIKUTA/pk_w_pap.bmp
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
read -r cx cy _ _ < <(window_geometry "$window")

# Same size, same pixels: ImageMagick counts the pixels that differ.
same_picture() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }
clipboard_holds_a() {
    xclip -selection clipboard -t image/png -o >"$WORK/clip.png" 2>/dev/null &&
        same_picture "$WORK/clip.png" "$a"
}
# The picture centred on the 1280x1024 root window, beside the program's window.
root_shows_a() {
    import -window root -crop 64x48+608+488 +repage "$WORK/root.png" && same_picture "$WORK/root.png" "$a"
}
root_pixmap() { xprop -root "$1" | sed -n 's/.*pixmap id # //p'; }
name_box() { screen_area_digest $((cx + 8)) $((cy + 288)) 185 17; }

find_list_rows "$window" 2
click_at $((list_x + 100)) $((list_y + lines[0]))
click_at $((list_x + 100)) $((list_y + lines[1])) ctrl
empty_name=$(name_box)
click_at $((cx + 362)) $((cy + 180)) # PLAY: a.bmp
poll 3 eval '[[ $(name_box) != "$empty_name" ]]' || fail "a.bmp was not loaded"
xdotool key s

xdotool key c
poll 3 clipboard_holds_a || fail "the clipboard does not hold a.bmp at its own size after c"
targets=$(xclip -selection clipboard -t TARGETS -o)
grep -qx image/png <<<"$targets" && grep -qx image/bmp <<<"$targets" ||
    fail "the clipboard offers neither PNG nor BMP: $targets"
xdotool key w
poll 5 root_shows_a || fail "the root window does not show a.bmp after w"
same_picture "$wallpaper" "$a" || fail "pk_w_pap.bmp does not hold a.bmp"
pixmap=$(root_pixmap _XROOTPMAP_ID)
[[ -n $pixmap && $(root_pixmap ESETROOT_PMAP_ID) == "$pixmap" ]] ||
    fail "the root properties do not name the background pixmap: '$pixmap'"

# The picture on show is deleted, then a damaged one is on show: nothing changes, neither by
# the keys nor by the copy button.
wallpaper_sum=$(md5sum <"$wallpaper")
rm "$pics/a.bmp"
xdotool key c w
before=$(name_box)
xdotool key n
poll 3 eval '[[ $(name_box) != "$before" ]]' || fail "the damaged picture was not tried"
xdotool key c
click_at $((cx + 100)) $((cy + 320)) # クリップボードにコピー
sleep 1
[[ $(md5sum <"$wallpaper") == "$wallpaper_sum" ]] || fail "pk_w_pap.bmp changed"
[[ $(root_pixmap _XROOTPMAP_ID) == "$pixmap" ]] || fail "the background changed"
clipboard_holds_a || fail "the clipboard changed"

# The background and the copy outlive the program.
close_window_gracefully "$window" "$APP_PID" 10
sleep 0.5
root_shows_a || fail "the root background went away with the program"
[[ $(root_pixmap _XROOTPMAP_ID) == "$pixmap" ]] || fail "the root property changed at exit"
clipboard_holds_a || fail "the copy did not outlive the program"
note "clipboard, wallpaper, the background and the copy after exit as expected"
