#!/usr/bin/env bash
# Pictures on show, the clipboard and the wallpaper, without a desktop. The first load grows the
# window; a picture is drawn fitted to the picture area with its proportions kept, centred
# between black bands. "c" puts the picture on the X clipboard at its own size; "w" writes
# pk_w_pap.bmp and makes it the root window's background, which stays after the program ends,
# and so does the copy, kept by a clipboard manager. A picture deleted from disk changes nothing;
# stepping onto a damaged JPEG (cut off half way) leaves the picture area black, as no picture
# of that name can be shown, changes nothing on the clipboard or the background and raises no
# message; the next good picture shows as usual.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
# No desktop: no session bus, no desktop name.
unset DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP DESKTOP_SESSION XDG_DATA_HOME
# Debian's own interpreter: the one with the X library of python3-xlib.
/usr/bin/python3 "$(dirname "$0")/clipboard_manager.py" >"$WORK/manager.log" 2>&1 &
APP_PIDS+=($!)
poll 5 grep -qs ready "$WORK/manager.log" || fail "no clipboard manager: $(cat "$WORK/manager.log")"
# a: four coloured quarters, 64x48; b: a JPEG cut off half way; c: lime.
pics=$WORK/pictures a=$WORK/a.bmp
mkdir -p "$pics" && quadrant_picture "$a" 64 48 && cp "$a" "$pics/a.bmp"
convert -size 320x240 gradient:yellow-orange -quality 90 "$WORK/whole.jpg"
head -c $(($(stat -c %s "$WORK/whole.jpg") / 2)) "$WORK/whole.jpg" >"$pics/b_broken.jpg"
convert -size 200x100 xc:lime BMP3:"$pics/c.bmp"
wallpaper=$HOME/.local/share/PIKUTA/pk_w_pap.bmp
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
read -r cx cy _ _ < <(window_geometry "$window")
read -r left right top bottom < <(frame_extents "$window")

# Same size, same pixels: ImageMagick counts the pixels that differ.
same_picture() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }
clipboard_holds_a() { xclip -selection clipboard -t image/png -o >"$WORK/clip.png" 2>/dev/null && same_picture "$WORK/clip.png" "$a"; }
# The picture centred on the 1280x1024 root window, beside the program's window.
root_shows_a() { import -window root -crop 64x48+608+488 +repage "$WORK/root.png" && same_picture "$WORK/root.png" "$a"; }
root_pixmap() { xprop -root "$1" | sed -n 's/.*pixmap id # //p'; }
# The name box under the speed bar names the file each load tried.
name_box() { screen_area_digest $((cx + 8)) $((cy + 288)) 185 17; }
# Waits up to 3 s for the name box to change from the digest `$1`.
name_changed_from() { local was=$1; poll 3 eval '[[ $(name_box) != "$was" ]]'; }
# The picture area: 377x233 px at (200,208) of the client area.
px=$((cx + 200)) py=$((cy + 208))
picture_area() { screen_area_digest "$px" "$py" 377 233; }

find_list_rows "$window" 3
click_at $((list_x + 100)) $((list_y + lines[0]))
for i in 1 2; do click_at $((list_x + 100)) $((list_y + lines[i])) ctrl; done
empty_name=$(name_box)
click_at $((cx + 362)) $((cy + 180)) # PLAY: a.bmp
name_changed_from "$empty_name" || fail "a.bmp was not loaded"
xdotool key s
wait_for_settled "$window"

# The first load grows the window: 8880 twips wide outside, 6765 twips of client height.
read -r _ _ cw ch < <(window_geometry "$window")
note "client area ${cw}x${ch}, frame $left $right $top $bottom"
(((cw + left + right) * TWIPS_PER_PIXEL == 8880)) ||
    fail "the window is $((cw + left + right)) px wide with its frame, expected 592"
((ch == 451)) || fail "the client area is $ch px high, expected 451"
# Fitted to the height: round(64 * 233 / 48) = 311 px wide, from column 188 - 156 = 32 on.
screenshot "$WORK/fitted.png"
expect_quadrants "$WORK/fitted.png" $((px + 188)) $((py + 116)) 78 58
for check in "32 0 255 0 0" "342 232 255 255 0" "31 116 0 0 0" "343 116 0 0 0" "0 0 0 0 0"; do
    read -r x y r g b <<<"$check"
    got=$(pixel "$WORK/fitted.png" $((px + x)) $((py + y)))
    colour_near "$got" "$r $g $b" 8 || fail "pixel ($x,$y) of the picture area is $got, expected $r $g $b"
done

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

# The picture on show is deleted, then a damaged one is named: the picture area goes black, and
# nothing else changes, neither by the keys nor by the copy button.
wallpaper_sum=$(md5sum <"$wallpaper")
rm "$pics/a.bmp"
xdotool key c w
before=$(name_box)
xdotool key n
name_changed_from "$before" || fail "the damaged picture was not tried"
black_area() { screenshot "$WORK/damaged.png" && (($(count_pixels "$WORK/damaged.png" "$px" "$py" 377 233 "r + g + b > 24") == 0)); }
poll 3 black_area || fail "the picture before still shows under the damaged JPEG's name"
[[ $(xdotool getactivewindow) == "$window" ]] ||
    fail "another window took the focus after the damaged JPEG: $(xdotool getactivewindow getwindowname)"
xdotool key c
click_at $((cx + 100)) $((cy + 320)) # クリップボードにコピー
sleep 1
[[ $(md5sum <"$wallpaper") == "$wallpaper_sum" ]] || fail "pk_w_pap.bmp changed"
[[ $(root_pixmap _XROOTPMAP_ID) == "$pixmap" ]] || fail "the background changed"
clipboard_holds_a || fail "the clipboard changed"
lime_shown() { colour_near "$(screen_pixel $((px + 188)) $((py + 116)))" "0 255 0" 8; }
xdotool key n
poll 3 lime_shown || fail "c.bmp did not show after the damaged JPEG"

# The background and the copy outlive the program.
close_window_gracefully "$window" "$APP_PID" 10
sleep 0.5
root_shows_a || fail "the root background went away with the program"
[[ $(root_pixmap _XROOTPMAP_ID) == "$pixmap" ]] || fail "the root property changed at exit"
clipboard_holds_a || fail "the copy did not outlive the program"
note "pictures, clipboard, wallpaper, the background and the copy after exit as expected"
