#!/usr/bin/env bash
# Soak: the real program on a private virtual X server runs a slideshow at the quickest speed
# over 2,000 marked entries (a third of them damaged, every kind of picture, a few metafiles)
# while the display mode changes and the loupe is clicked every few seconds. Checks that it
# never ends, that its memory stays flat after the first minute, that it still answers a key at
# the end and that the settings file it leaves is whole. Prints the memory figures.
# Usage: PIKUTA_BIN=build/pikuta PIKUTA_SAMPLES=samples tools/soak.sh [seconds]
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/tests/x11/lib.sh"
duration=${1:-300}
entries=2000

start_xvfb_session
start_wm
pics=$WORK/pictures
mkdir -p "$pics"
samples=("$PIKUTA_SAMPLES"/*.{bmp,dib,jpg,gif})
metafiles=("$PIKUTA_SAMPLES"/*.emf)
for ((i = 0; i < entries; ++i)); do
    name=$(printf 'p%04d' "$i")
    if ((i % 100 == 7)); then
        src=${metafiles[i / 100 % ${#metafiles[@]}]}
    else
        src=${samples[i % ${#samples[@]}]}
    fi
    ext=${src##*.}
    case $((i % 3)) in
    0 | 1) cp "$src" "$pics/$name.$ext" ;;
    2) case $((i / 3 % 3)) in # damaged: cut short, empty, or something else under the name
        0) head -c $(($(stat -c %s "$src") / 2)) "$src" >"$pics/$name.$ext" ;;
        1) : >"$pics/$name.$ext" ;;
        2) head -c 4096 /dev/urandom >"$pics/$name.$ext" ;;
        esac ;;
    esac
done
write_settings n_left=0 n_top=0 w_width=8880 w_height=7140 w_left=0 w_top=0 \
    opc1_flag=1 opc2_flag=1 opc3_flag=1 opc4_flag=1 HScroll1_Value=1 moto_dr=/ "f_path=$pics"
start_app "$WORK"
window=$(wait_for_window 20)
read -r cx cy _ _ < <(window_geometry "$window")
# Every entry marked with the select-all button over the list's lower-right corner, then PLAY.
click_at $((cx + 506)) $((cy + 110))
sleep 1
xdotool key p
poll 10 picture_area_open "$window" || fail "the slideshow did not open the picture area"
wait_for_settled "$window"
read -r cx cy _ _ < <(window_geometry "$window")
px=$((cx + 200)) py=$((cy + 208))

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$APP_PID/status"; }
start=$SECONDS
samples_file=$WORK/rss.txt
: >"$samples_file"
step=0
while ((SECONDS - start < duration)); do
    kill -0 "$APP_PID" 2>/dev/null || fail "the program ended after $((SECONDS - start)) s"
    echo "$((SECONDS - start)) $(rss_kb)" >>"$samples_file"
    case $((step++ % 4)) in
    0 | 2) # the loupe on and a zoom click, or off again
        xdotool mousemove --sync $((px + 360)) $((py + 20)) click 1
        xdotool mousemove --sync $((px + 150)) $((py + 100)) click 1 ;;
    1) # a display mode from the popup menu, chosen by keys
        # (keys only while the menu is open: in the list, Down would move the marks)
        xdotool mousemove --sync $((px + 100)) $((py + 50)) click 3
        if poll 2 menu_open; then
            xdotool key $(printf 'Down %.0s' $(seq $((step % 3 + 1)))) Return
        fi ;;
    3) ;; # a few seconds of the show alone
    esac
    # The loupe stops the show; PLAY after every action keeps it going most of the time.
    ! menu_open || xdotool key Escape
    xdotool key p
    sleep 3
done
echo "$((SECONDS - start)) $(rss_kb)" >>"$samples_file"

# Still answering: STOP, then n shows another picture a second later (a damaged entry keeps
# the picture before it, so up to three tries).
xdotool key s
sleep 2
before=$(screen_area_digest "$px" "$py" 377 233)
picture_changed() { [[ $(screen_area_digest "$px" "$py" 377 233) != "$before" ]]; }
for try in 1 2 3; do
    xdotool key n
    if poll 4 picture_changed; then break; fi
    ((try < 3)) || fail "the picture did not change after n three times"
done
kill -0 "$APP_PID" || fail "the program ended"
close_window_gracefully "$window" "$APP_PID" 30
for key in n_left n_top w_width w_height w_left w_top opc1_flag opc2_flag opc3_flag opc4_flag \
    HScroll1_Value moto_dr f_path; do
    [[ -n $(read_setting "$key") ]] || fail "the settings file lost $key: $(cat "$(settings_file)")"
done
[[ $(read_setting f_path) == "$pics" ]] || fail "the settings file names $(read_setting f_path)"
[[ $(read_setting HScroll1_Value) == 1 ]] || fail "the speed was saved as $(read_setting HScroll1_Value)"

# Memory: first sample, at one minute, at the end, and the least-squares slope after the
# first minute.
awk '
    { t[NR] = $1; m[NR] = $2 }
    $1 >= 60 && !one { one = $2 }
    $1 >= 60 { n++; sx += $1; sy += $2; sxx += $1 * $1; sxy += $1 * $2 }
    # The lowest sample of each five minutes: pictures come and go, a leak raises the floor.
    { w = int($1 / 300); if (!(w in low) || $2 < low[w]) low[w] = $2; last = w }
    END {
        slope = n > 1 ? (n * sxy - sx * sy) / (n * sxx - sx * sx) : 0
        printf "soak: %d samples over %d s\n", NR, t[NR]
        printf "soak: resident memory start %.1f MB, after 1 min %.1f MB, end %.1f MB\n",
            m[1] / 1024, one / 1024, m[NR] / 1024
        printf "soak: slope after the first minute %.1f kB/min\n", slope * 60
        printf "soak: lowest per five minutes (MB):"
        for (i = 0; i <= last; i++) printf " %.1f", low[i] / 1024
        printf "\n"
        if (slope * 60 > 1024) { print "soak: FAIL memory grows more than 1 MB a minute"; exit 1 }
    }' "$samples_file" || fail "memory not flat"
note "soak passed: no crash, window answered, settings whole"
