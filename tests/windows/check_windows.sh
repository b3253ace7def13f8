#!/usr/bin/env bash
# `make check-windows`: cross-compiles the Windows parts that call the system directly (and the
# GDI metafile renderer) with MinGW-w64 and runs their check program under Wine, in a private
# Wine prefix on a private virtual X server. The Linux renderings of the metafile samples are
# the references, handed over as PAM files.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${WINDOWS_BUILD:-$root/build-windows}

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root/tests/windows" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/tests/windows/mingw-w64.cmake"
fi
cmake --build "$build"

# There is no Qt for MinGW here: the adapters from the cores to the Qt-typed interfaces are
# compiled against the Linux Qt headers, for the Windows target, without code generation.
qt=$(pkg-config --variable=includedir Qt6Core)
for source in platform/win/drives_win.cpp platform/win/folders_win.cpp \
    platform/win/frame_win.cpp platform/win/single_instance_win.cpp platform/win/handover_win.cpp \
    platform/win/wallpaper_win.cpp platform/win/display_win.cpp \
    platform/win/settings_store_win.cpp platform/win/memory_win.cpp \
    platform/win/screen_awake_win.cpp \
    imageformats/metafile/metafile_handler.cpp; do
    x86_64-w64-mingw32-g++-posix -fsyntax-only -std=c++20 -Wall -Wextra -Werror \
        -DNOMINMAX -D_WIN32_WINNT=0x0A00 -DPIKUTA_EXECUTABLE_SUFFIX='".exe"' \
        -DPIKUTA_RENDERER_FROM_PROGRAM='"../libexec"' \
        -I"$root/src" -I"$root/src/imageformats/metafile" \
        -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" -isystem "$qt/QtWidgets" \
        "$root/src/$source"
done
echo "The adapters compile for Windows."

mkdir -p "$build/references"
for png in "$root"/tests/imageformats/reference/*.png; do
    convert "$png" -alpha set "pam:$build/references/$(basename "$png" .png).pam"
done

prefix=$(mktemp -d /tmp/pikuta-wine.XXXXXX)
cleanup() {
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT
# No Mono or Gecko: installing them would ask in a dialog; no debugger on a crash either.
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe="
# Wine's drive Z: is the root folder. (winepath would start Wine before the X server is up.)
win() { printf 'Z:%s' "${1//\//\\}"; }
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wineboot --init >/dev/null 2>&1
    wine "$1" "$2" "$3" "$4"
    status=$?
    wineserver -w
    exit $status' check "$build/check_windows.exe" "$(win "$root/samples")" \
    "$(win "$build/references")" "$(win "$build/pikuta-metafile.exe")"
