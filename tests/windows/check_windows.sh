#!/usr/bin/env bash
# `make check-windows`: cross-compiles the Windows parts that call the system directly (and the
# GDI metafile renderer, and a stand-in for the program) with MinGW-w64, runs their check
# program under Wine, in a private Wine prefix on a private virtual X server, and installs,
# uses and uninstalls the Windows packages made of them there. The Linux renderings of the
# metafile samples are the references, handed over as PAM files.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${WINDOWS_BUILD:-$root/build-windows}
host=${PIKUTA_BUILD:-$root/build}
fail() { echo "FAILED: $*" >&2; exit 1; }

# The Windows build takes its icon file as it is kept in the sources; it must be what the
# program's icon tool (built for Linux) draws now.
[[ -f $host/CMakeCache.txt ]] || cmake -S "$root" -B "$host" -G Ninja
cmake --build "$host" --target pikuta-ico
cmp -s "$host/dist/pikuta.ico" "$root/dist/windows/pikuta.ico" ||
    fail "dist/windows/pikuta.ico is not what pikuta-make-icons draws now; refresh it:" \
        "cp $host/dist/pikuta.ico $root/dist/windows/pikuta.ico"

[[ -f $build/CMakeCache.txt ]] || cmake -S "$root/tests/windows" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/tests/windows/mingw-w64.cmake"
cmake --build "$build"

# There is no Qt for MinGW here: the adapters from the cores to the Qt-typed interfaces are
# compiled against the Linux Qt headers, for the Windows target, without code generation.
qt=$(pkg-config --variable=includedir Qt6Core)
for source in "$root"/src/platform/win/*_win.cpp \
    "$root"/src/imageformats/metafile/metafile_handler.cpp; do
    x86_64-w64-mingw32-g++-posix -fsyntax-only -std=c++20 -Wall -Wextra -Werror \
        -DNOMINMAX -D_WIN32_WINNT=0x0A00 -DPIKUTA_EXECUTABLE_SUFFIX='".exe"' \
        -DPIKUTA_RENDERER_FROM_PROGRAM='"."' \
        -I"$root/src" -I"$root/src/imageformats/metafile" \
        -isystem "$qt" -isystem "$qt/QtCore" -isystem "$qt/QtGui" -isystem "$qt/QtWidgets" \
        "$source"
done
echo "The adapters compile for Windows."

# The packages, as a Windows user gets them: a ZIP and an installer. The ZIP holds the programs
# and the thread library they load, and nothing else.
rm -rf "$build/package"
(cd "$build" && cpack -G "ZIP;NSIS" >/dev/null)
zip=$(ls "$build"/package/PIKUTA-*-win64.zip)
export installer=$(ls "$build"/package/PIKUTA-*-win64.exe)
top=$(basename "$zip" .zip)
listing=$(unzip -Z1 "$zip" | sort | paste -sd' ')
[[ $listing == "$top/libwinpthread-1.dll $top/pikuta-metafile.exe $top/pikuta.exe" ]] ||
    fail "$zip holds $listing"
echo "The ZIP holds the programs and their runtime in $top/."

mkdir -p "$build/references"
mogrify -path "$build/references" -format pam -alpha set "$root"/tests/imageformats/reference/*.png

prefix=$(mktemp -d /tmp/pikuta-wine.XXXXXX)
trap 'WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
# No Mono or Gecko: installing them would ask in a dialog; no debugger on a crash either.
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree=;mshtml=;winedbg.exe=" root build
# Wine's drive Z: is the root folder. (winepath would start Wine before the X server is up.)
win() { printf 'Z:%s' "${1//\//\\}"; }
# The programs built here load the MinGW thread library; the installed ones find it beside them.
export runtime=$(win "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")

# The check program, then the installer, silent: the programs in Program Files, a Start-menu
# entry, an uninstaller; the installed renderer draws.
in_wine() {
    local status=0 folder=$WINEPREFIX/drive_c/Program\ Files/PIKUTA menu size
    failed() { echo "FAILED: $*" >&2; status=1; }
    wineboot --init >/dev/null 2>&1
    WINEPATH=$runtime wine "$build/check_windows.exe" --gtest_brief=1 "$(win "$root/samples")" \
        "$(win "$build/references")" "$(win "$build/pikuta-metafile.exe")" \
        "$(win "$build/pikuta.exe")" || failed "the check program, see above"
    wineserver -w
    wine "$installer" /S
    wineserver -w
    menu=$(find "$WINEPREFIX/drive_c" -path "*Start Menu/Programs/PIKUTA/PIKUTA.lnk" | head -1)
    [[ -f $folder/pikuta.exe && -f $folder/pikuta-metafile.exe ]] || failed "not installed"
    [[ -n $menu ]] && grep -aq pikuta.exe "$menu" || failed "no Start-menu entry for pikuta.exe"
    size=$(wine "C:\\Program Files\\PIKUTA\\pikuta-metafile.exe" size 96 <"$root/samples/plain.wmf" |
        od -An -tu4)
    [[ $(echo $size) == "269 202" ]] || failed "the installed renderer measures \"$size\""
    wine "C:\\Program Files\\PIKUTA\\Uninstall.exe" /S
    wineserver -w
    [[ ! -e $folder/pikuta.exe && ! -e $menu ]] || failed "not uninstalled"
    [[ $status == 0 ]] && echo "The installer installs the programs with their runtime and a" \
        "Start-menu entry, the installed renderer draws, the uninstaller removes them."
    return $status
}
# (xvfb-run is a POSIX shell script, which passes on no exported functions.)
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$(declare -f win in_wine); in_wine"
