#!/usr/bin/env bash
# Seeds for the fuzzing targets: the sample pictures and a settings file as the program writes it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$1"
mkdir -p "$out/picture_io" "$out/metafile" "$out/ini_text"
for f in "$root"/samples/*.{bmp,dib,gif,jpg}; do cp "$f" "$out/picture_io/"; done
for f in "$root"/samples/*.{emf,wmf}; do cp "$f" "$out/metafile/"; done
printf '[Startup]\nn_left=120\nn_top=-15\nw_width=8880\nopc1_flag=1\nHScroll1_Value=3\nmoto_dr=/\nf_path="  /pics\\x01"\n' \
    >"$out/ini_text/settings.ini"
