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
poll 5 grep -qs ready "$WORK/manager.log" || fail "the clipboard manager did not start: $(cat "$WORK/manager.log")"
pics=$WORK/pictures
mkdir -p "$pics"
# a: four coloured quarters, 64x48; b: a 40x30 gradient; c: a JPEG cut off half way.
convert \( -size 32x24 xc:red xc:lime +append \) \( -size 32x24 xc:blue xc:yellow +append \) \
    -append BMP3:"$pics/a.bmp"
convert -size 40x30 gradient:white-purple BMP3:"$pics/b.bmp"
convert -size 320x240 gradient:yellow-orange -quality 90 "$WORK/whole.jpg"
head -c $(($(stat -c %s "$WORK/whole.jpg") / 2)) "$WORK/whole.jpg" >"$pics/c_broken.jpg"
cp "$pics/b.bmp" "$WORK/b.bmp"
wallpaper=$HOME/.local/share/PIKUTA/pk_w_pap.bmp
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
read -r cx cy _ _ < <(window_geometry "$window")

# Same pixels, same size: ImageMagick counts the pixels that differ.
same_picture() {
    [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]
}
clipboard_is() {
    xclip -selection clipboard -t image/png -o >"$WORK/clip.png" 2>/dev/null &&
        same_picture "$WORK/clip.png" "$1"
}
# The picture centred on the 1280x1024 root window, beside the program's window.
root_shows() {
    local w h
    read -r w h < <(identify -format '%w %h' "$1")
    import -window root -crop "${w}x${h}+$(((1280 - w) / 2))+$(((1024 - h) / 2))" +repage \
        "$WORK/root.png" && same_picture "$WORK/root.png" "$1"
}
root_pixmap() {
    xprop -root "$1" | sed -n 's/.*pixmap id # //p'
}
name_box() {
    screen_area_digest $((cx + 8)) $((cy + 288)) 185 17
}
# Presses a key and waits for the load it starts (the name box changes).
load_with() {
    local before
    before=$(name_box)
    xdotool key "$1"
    poll 3 eval '[[ $(name_box) != "$before" ]]' || fail "no picture load within 3 s of $1"
    sleep 0.3
}

find_list_rows "$window" 3
for i in 0 1 2; do click_at $((list_x + 100)) $((list_y + lines[i])) ctrl; done
click_at $((cx + 362)) $((cy + 180)) # PLAY: a.bmp
poll 3 eval '[[ -n $(name_box) ]]'
xdotool key s
sleep 0.5

xdotool key c
poll 3 clipboard_is "$pics/a.bmp" || fail "the clipboard does not hold a.bmp at its own size after c"
targets=$(xclip -selection clipboard -t TARGETS -o)
grep -qx image/png <<<"$targets" && grep -qx image/bmp <<<"$targets" ||
    fail "the clipboard offers neither PNG nor BMP: $targets"

xdotool key w
poll 5 root_shows "$pics/a.bmp" || fail "the root window does not show a.bmp after w"
same_picture "$wallpaper" "$pics/a.bmp" || fail "pk_w_pap.bmp does not hold a.bmp"
first=$(root_pixmap _XROOTPMAP_ID)
[[ -n $first && $(root_pixmap ESETROOT_PMAP_ID) == "$first" ]] ||
    fail "the root properties do not name the background pixmap: '$first'"

# The second picture overwrites the same file, and the background follows it.
load_with n
xdotool key w
poll 5 root_shows "$pics/b.bmp" || fail "the root window does not show b.bmp after w"
same_picture "$wallpaper" "$pics/b.bmp" || fail "pk_w_pap.bmp does not hold b.bmp"
second=$(root_pixmap _XROOTPMAP_ID)
[[ $second != "$first" ]] || fail "the second wallpaper did not get a pixmap of its own"

# The picture on show is deleted: neither key changes anything.
wallpaper_sum=$(md5sum <"$wallpaper")
rm "$pics/b.bmp"
xdotool key c w
sleep 1
clipboard_is "$pics/a.bmp" || fail "the clipboard changed after c with the file deleted"
[[ $(md5sum <"$wallpaper") == "$wallpaper_sum" ]] || fail "pk_w_pap.bmp changed with the file deleted"
[[ $(root_pixmap _XROOTPMAP_ID) == "$second" ]] || fail "the background changed with the file deleted"

# A damaged picture on show: the key does nothing, and neither does the copy button.
load_with n
xdotool key c
click_at $((cx + 100)) $((cy + 320)) # クリップボードにコピー
sleep 1
clipboard_is "$pics/a.bmp" || fail "the clipboard changed with a damaged picture on show"

# The background outlives the program.
close_window_gracefully "$window" "$APP_PID" 10
sleep 0.5
root_shows "$WORK/b.bmp" || fail "the root background went away with the program"
[[ $(root_pixmap _XROOTPMAP_ID) == "$second" ]] || fail "the root property changed at exit"
clipboard_is "$pics/a.bmp" || fail "the copy did not outlive the program"
note "clipboard, wallpaper, the background and the copy after exit as expected"
