#!/usr/bin/env bash
# On a screen of FACTOR times the usual density (96 dpi), set the way desktops do (Xft.dpi) or
# by hand (SOURCE "qt": Qt's scale factor), the layout keeps its size in twips, no control
# covers another's text, a five-digit list number fits its box, the folder list's icons grow
# with the text, and one pixel of a picture is one pixel of the screen: a one-pixel
# checkerboard the size of the picture area, fitted, reaches the screen as a perfect
# checkerboard, and one-pixel stripes larger than the area, at their own size, as perfect
# stripes: no grey from enlarging a smaller canvas.
[[ -d /dev/shm ]] && export TMPDIR=/dev/shm # the 10,000 entries are made much faster in memory
source "$(dirname "$0")/lib.sh"

factor=${1:?usage: test_density.sh FACTOR [xft|qt]}
source_=${2:-xft}
# Twips to screen pixels at this density, rounded half to even (Python's round).
px() { python3 -c "import sys; print(round(float(sys.argv[1]) * 96 * $factor / 1440))" "$1"; }

start_xvfb_session
[[ $source_ == qt ]] && export QT_SCALE_FACTOR=$factor || echo "Xft.dpi: $(px 1440)" | xrdb -override -
start_wm
# The picture area: 5655 x 3495 twips at (3000, 3120) of the client area.
bx=$(px 3000) by=$(px 3120) bw=$(px 5655) bh=$(px 3495)
pics=$WORK/pictures && mkdir -p "$pics"
# A one-pixel pattern as a bitmap: "checker" or "stripes" (columns).
pattern() {
    python3 -c '
import sys
kind, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rows = (bytes(255 * ((x + (y if kind == "checker" else 0)) % 2) for x in range(w)) for y in range(h))
sys.stdout.buffer.write(b"P5 %d %d 255\n" % (w, h) + b"".join(rows))' "$1" "$2" "$3" |
        convert pgm:- -type TrueColor BMP3:"$4"
}
# Names long enough to run past the select-all button that sits over the list.
long=", named at such length that the name runs on past the select-all button"
pattern checker "$bw" "$bh" "$pics/1 fitted$long.bmp"
pattern stripes $((bw + 66)) $((bh + 64)) "$pics/2 own size$long.bmp"
# Enough entries after them for a five-digit list number: 10000 in all.
(cd "$pics" && python3 -c 'for i in range(9998): open("z%05d.bmp" % i, "w").close()')
write_folder_settings "$pics"
start_app "$WORK"
window=$(wait_for_window 10)
read -r cx cy cw ch < <(window_geometry "$window")
read -r left right _ _ < <(frame_extents "$window")
note "client area ${cw}x${ch}, picture area ${bw}x${bh} at $bx,$by"
(( cw + left + right == $(px 8880) )) || fail "the window is $((cw + left + right)) px wide, expected $(px 8880)"
# The start-up window ends with the upper band's frames (2895 twips), no part of the lower
# panel below them.
(( ch >= $(px 2895) - 1 && ch <= $(px 2895) + 1 )) || fail "the client area is $ch px high, expected $(px 2895)"

# No control covers another's text: the search button (1680, 2400 in the folder frame) lies
# below the folder list, on the frame's own grey; the list's entries stop short of the
# select-all button (3960, 1530, 1095 wide in the list frame at 3090), over every row.
screenshot "$WORK/list.png"
got=$(pixel "$WORK/list.png" $((cx + $(px 2107))) $((cy + $(px 2400) - 2)))
colour_near "$got" "192 192 192" 16 || fail "above the search button lies $got, not the frame"
inked=$(count_pixels "$WORK/list.png" $((cx + $(px 7050) - 1)) $((cy + $(px 240))) "$(px 1095)" "$(px 360)" "r + g + b < 300")
((inked == 0)) || fail "$inked dark pixels of the entries in the select-all button's column"

# The folder list's icons come at the screen's density: the blue folder of its first row is as
# wide as 16 pixels at 96 dpi make here (the list is at 120, 600 twips of the client area).
screenshot "$WORK/folders.png"
icon_width=$(convert "$WORK/folders.png" -crop "$(px 600)x$(px 120)+$((cx + $(px 120)))+$((cy + $(px 660)))" \
    +repage -depth 8 rgb:- | python3 -c '
import sys
d, w = sys.stdin.buffer.read(), int(sys.argv[1])
xs = [i // 3 % w for i in range(0, len(d), 3) if d[i + 2] - d[i] > 60]
print(max(xs) - min(xs) + 1 if xs else 0)' "$(px 600)")
note "folder icon $icon_width px wide"
((icon_width >= $(px 240) - 2)) || fail "the folder icon is $icon_width px wide, expected about $(px 240)"

# Both entries marked; the first shows fitted.
list_x=$((cx + $(px 3210))) list_y=$((cy + $(px 210)))
# Right of a horizontal scroll bar's arrow.
mapfile -t lines < <(text_line_middles "$WORK/list.png" $((list_x + $(px 300))) "$list_y" "$(px 3450)" "$(px 1860)")
((${#lines[@]} >= 2)) || fail "the list shows ${#lines[@]} lines of text, expected the pictures'"
click_at $((list_x + 20)) $((list_y + lines[0]))
click_at $((list_x + 20)) $((list_y + lines[1])) shift
xdotool key n
picture_area_open() { local h; read -r _ _ _ h < <(window_geometry "$window"); ((h > by + bh)); }
poll 5 picture_area_open || fail "the picture area did not open"
wait_for_settled "$window"

# How many pixels of the picture area are not black or white, or break the pattern ("checker":
# each differs from its right and lower neighbours; "stripes": from its right one only).
flaws() {
    xdotool mousemove 0 0
    sleep 0.3
    screenshot "$WORK/$1.png"
    grey_area "$WORK/$1.png" $((cx + bx)) $((cy + by)) "$bw" "$bh" | python3 -c '
import sys
w, h, rows_alternate = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3] == "checker"
d = sys.stdin.buffer.read()
bad = 0
for y in range(h):
    for x in range(w):
        v = d[y * w + x]
        if v not in (0, 255) or (x + 1 < w and d[y * w + x + 1] == v) or (y + 1 < h and (d[(y + 1) * w + x] == v) == rows_alternate):
            bad += 1
print(bad)' "$bw" "$bh" "$1"
}
bad=$(flaws checker)
note "fitted: $bad flawed pixels"
((bad == 0)) || fail "the fitted checkerboard has $bad flawed pixels"

# Own size (the popup menu's fourth item), then the larger picture: its middle part.
right_click_menu_at $((cx + bx + bw / 2)) $((cy + by + bh / 2))
choose_menu_item 4
xdotool key n
sleep 1
bad=$(flaws stripes)
note "own size: $bad flawed pixels"
((bad == 0)) || fail "the checkerboard at its own size has $bad flawed pixels"

# Every entry marked, and BACK twice (to the first, then round to the last): No. 10000, whose
# five digits each show in the list number's box (120, 2580 in the list frame, 600 x 255) as a
# run of inked columns.
click_at $((cx + $(px 7597))) $((cy + $(px 1657)))
xdotool key b b
sleep 0.3
screenshot "$WORK/number.png"
digits=$(grey_area "$WORK/number.png" $((cx + $(px 3210))) $((cy + $(px 2580))) "$(px 600)" "$(px 255)" |
    python3 -c '
import sys
w, d = int(sys.argv[1]), sys.stdin.buffer.read()
inked = [any(d[y * w + x] < 100 for y in range(len(d) // w)) for x in range(w)]
print(sum(1 for x in range(w) if inked[x] and (x == 0 or not inked[x - 1])))' "$(px 600)")
((digits == 5)) || fail "the list number shows $digits digits of 10000"
