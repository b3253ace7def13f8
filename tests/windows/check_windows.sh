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

# The Windows build takes its icon file as it is kept in the sources; it must be what the
# program's icon tool (built for Linux) draws now.
if [[ ! -f $host/CMakeCache.txt ]]; then cmake -S "$root" -B "$host" -G Ninja; fi
cmake --build "$host" --target pikuta-ico
if ! cmp -s "$host/dist/pikuta.ico" "$root/dist/windows/pikuta.ico"; then
    echo "dist/windows/pikuta.ico is not what pikuta-make-icons draws now; refresh it:" >&2
    echo "  cp $host/dist/pikuta.ico $root/dist/windows/pikuta.ico" >&2
    exit 1
fi

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root/tests/windows" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/tests/windows/mingw-w64.cmake"
fi
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

# The packages, as a Windows user gets them: a ZIP and an installer.
rm -rf "$build/package"
(cd "$build" && cpack -G "ZIP;NSIS" >/dev/null)
zip=$(ls "$build"/package/PIKUTA-*-win64.zip)
installer=$(ls "$build"/package/PIKUTA-*-win64.exe)
top=$(basename "$zip" .zip)
listing=$(unzip -Z1 "$zip")
for file in pikuta.exe pikuta-metafile.exe; do
    grep -qx "$top/$file" <<<"$listing" || { echo "FAILED: $file is not in $zip" >&2; exit 1; }
done
echo "The ZIP holds the program and its renderer in $top/."

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
# The programs built here load the MinGW thread library; the installed ones find it beside them.
runtime=$(win "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")")
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -u
    wineboot --init >/dev/null 2>&1
    WINEPATH=$8 wine "$1" "$2" "$3" "$4" "$5"
    status=$?
    wineserver -w
    fail() { echo "FAILED: $*" >&2; status=1; }
    # The installer, silent: the programs in Program Files, a Start-menu entry, an uninstaller.
    wine "$6" /S
    wineserver -w
    folder=$WINEPREFIX/drive_c/Program\ Files/PIKUTA
    menu=$(find "$WINEPREFIX/drive_c" -path "*Start Menu/Programs/PIKUTA/PIKUTA.lnk" | head -1)
    [[ -f $folder/pikuta.exe && -f $folder/pikuta-metafile.exe ]] || fail "not installed"
    [[ -n $menu ]] && grep -aq pikuta.exe "$menu" || fail "no Start-menu entry for pikuta.exe"
    size=$(wine "C:\\Program Files\\PIKUTA\\pikuta-metafile.exe" size 96 <"$7" | od -An -tu4)
    [[ $(echo $size) == "269 202" ]] || fail "the installed renderer measures \"$size\""
    wine "C:\\Program Files\\PIKUTA\\Uninstall.exe" /S
    wineserver -w
    [[ ! -e $folder/pikuta.exe && ! -e $menu ]] || fail "not uninstalled"
    [[ $status == 0 ]] && echo "The installer installs the programs with their runtime and a" \
        "Start-menu entry, the installed renderer draws, the uninstaller removes them."
    exit $status' check "$build/check_windows.exe" "$(win "$root/samples")" \
    "$(win "$build/references")" "$(win "$build/pikuta-metafile.exe")" \
    "$(win "$build/pikuta.exe")" "$installer" "$root/samples/plain.wmf" "$runtime"
