#!/usr/bin/env bash
# Seeds for the fuzzing targets: the sample pictures and the damaged metafiles of the tests, the
# renderer's requests for all these metafiles, and a settings file as the program writes it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$1"
mkdir -p "$out/picture_io" "$out/metafile" "$out/renderer" "$out/ini_text"
for f in "$root"/samples/*.{bmp,dib,gif,jpg}; do cp "$f" "$out/picture_io/"; done
for f in "$root"/samples/*.{emf,wmf}; do cp "$f" "$out/metafile/"; done
# The renderer's seeds: its arguments on the first line, then the file.
for f in "$root"/samples/*.{emf,wmf}; do
    name="$(basename "$f")"
    { printf 'size 96\n'; cat "$f"; } >"$out/renderer/size-$name"
    { printf 'draw 96 64 48\n'; cat "$f"; } >"$out/renderer/draw-$name"
done
# Files that once broke the renderer; replayed in one process, they also catch what one drawing
# leaves behind for the next.
for f in "$root"/tests/imageformats/damaged/*; do
    { printf 'draw 96 64 48\n'; cat "$f"; } >"$out/renderer/damaged-$(basename "$f")"
    cp "$f" "$out/metafile/"
done
printf '[Startup]\nn_left=120\nn_top=-15\nw_width=8880\nopc1_flag=1\nHScroll1_Value=3\nmoto_dr=/\nf_path="  /pics\\x01"\n' \
    >"$out/ini_text/settings.ini"
