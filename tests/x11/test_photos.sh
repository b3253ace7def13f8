#!/usr/bin/env bash
# Photos as phones and cameras write them, on a display whose colour manager announces its
# profile (the root window's _ICC_PROFILE): a portrait that a phone stored on its side with
# Exif orientation 6 shows upright; a photo with an Adobe RGB profile shows, and goes to the
# clipboard, in the display's colours, as ImageMagick converts it to the display's profile.
source "$(dirname "$0")/lib.sh"

start_xvfb_session
start_wm
unset DBUS_SESSION_BUS_ADDRESS XDG_CURRENT_DESKTOP DESKTOP_SESSION
icc=/usr/share/color/icc
display_profile=$icc/LStar-RGB.icc # a display of a wider range than sRGB
# Debian's own interpreter: the one with the X library of python3-xlib.
/usr/bin/python3 - "$display_profile" <<'EOF' || fail "could not announce the display's profile"
import sys
from Xlib import Xatom, display
d = display.Display()
with open(sys.argv[1], "rb") as f:
    d.screen().root.change_property(d.intern_atom("_ICC_PROFILE"), Xatom.CARDINAL, 8, f.read())
d.sync()
EOF

pics=$WORK/pictures
mkdir -p "$pics"
# a: the quadrant picture on its side, 240x160 as stored, with an Exif block naming
# orientation 6 (turn a quarter clockwise) right after the start of the file.
quadrant_picture "$WORK/stored.bmp" 240 160
convert "$WORK/stored.bmp" -quality 95 "$WORK/stored.jpg"
{
    head -c 2 "$WORK/stored.jpg"
    printf '\xff\xe1\x00\x22Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\x06\0\0\0\0\0\0\0'
    tail -c +3 "$WORK/stored.jpg"
} >"$pics/a_portrait.jpg"
# b: one colour, stored in Adobe RGB with its profile.
convert -size 120x80 'xc:rgb(60,160,80)' -profile "$icc/compatibleWithAdobeRGB1998.icc" \
    -quality 95 "$pics/b_adobe_rgb.jpg"
in_profile() { convert "$pics/b_adobe_rgb.jpg" -profile "$1" -crop 1x1+60+40 +repage -depth 8 rgb:- | od -An -tu1 | xargs; }
for_display=$(in_profile "$display_profile") for_srgb=$(in_profile "$icc/sRGB.icc")
note "the Adobe RGB colour for this display: $for_display (for sRGB: $for_srgb)"
! colour_near "$for_display" "$for_srgb" 6 || fail "the display's profile is too close to sRGB to tell"

write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
read -r cx cy _ _ < <(window_geometry "$window")
find_list_rows "$window" 2
click_at $((list_x + 100)) $((list_y + lines[0]))
click_at $((list_x + 100)) $((list_y + lines[1])) ctrl
xdotool key n
poll 5 picture_area_open "$window" || fail "the picture area did not open"
wait_for_settled "$window"
read -r cx cy _ _ < <(window_geometry "$window")
# The picture area: 377x233 px at (200,208) of the client area; its middle.
mx=$((cx + 200 + 188)) my=$((cy + 208 + 116))

# Turned a quarter clockwise: the stored bottom left (blue) is now top left, and so on.
upright() {
    local spot sx sy r g b
    for spot in "-1 -1 0 0 255" "1 -1 255 0 0" "-1 1 255 255 0" "1 1 0 255 0"; do
        read -r sx sy r g b <<<"$spot"
        colour_near "$(screen_pixel $((mx + sx * 40)) $((my + sy * 60)))" "$r $g $b" 40 || return 1
    done
}
poll 5 upright || { screenshot "$WORK/portrait.png"; fail "the portrait is not upright (see portrait.png)"; }
screenshot "$WORK/portrait.png"

xdotool key n
in_display_colours() { colour_near "$(screen_pixel "$mx" "$my")" "$for_display" 4; }
poll 5 in_display_colours ||
    fail "the Adobe RGB photo shows as $(screen_pixel "$mx" "$my"), expected $for_display"
screenshot "$WORK/adobe_rgb.png"
xdotool key c
clipboard_in_display_colours() {
    xclip -selection clipboard -t image/png -o >"$WORK/clip.png" 2>/dev/null &&
        colour_near "$(pixel "$WORK/clip.png" 60 40)" "$for_display" 4
}
poll 3 clipboard_in_display_colours || fail "the clipboard's copy is not in the display's colours"
note "the portrait upright, the Adobe RGB photo on screen and on the clipboard in the display's colours"
