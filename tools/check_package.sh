#!/usr/bin/env bash
# Tries the Debian package built in BUILD/package on this machine: checks it with lintian,
# installs it, checks the installed desktop entry and metainfo, starts the installed program
# on a virtual X server as the desktop entry does for a picture (its window appears with its
# title, shows the picture and closes; the slideshow window test passes, metafiles included,
# so the installed renderer is found), then removes the package and checks that it left
# nothing behind.
# Needs root or sudo, as any package installation does.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build}

sudo=()
((EUID == 0)) || sudo=(sudo)
apt_get() { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -y -q "$@"; }

debs=("$build"/package/pikuta_*.deb)
((${#debs[@]} == 1)) && [[ -f ${debs[0]} ]] || {
    echo "check-package: expected one package in $build/package, found: ${debs[*]}" >&2
    exit 1
}
deb=$(realpath "${debs[0]}")
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --field "$deb" Depends
# Debian's own checks of a package: errors fail (warnings are shown).
lintian --fail-on error "$deb" 2> >(grep -v 'root privileges' >&2)

if dpkg-query -W -f='${Status}' pikuta 2>/dev/null | grep -q 'ok installed'; then
    echo "check-package: pikuta is installed already; remove it first (apt-get remove pikuta)" >&2
    exit 1
fi
apt_get install "$deb" >/dev/null
installed_files=$(dpkg-query -L pikuta)
removed=no
remove() { [[ $removed == yes ]] || apt_get remove --purge pikuta >/dev/null; removed=yes; }
trap remove EXIT

desktop-file-validate /usr/share/applications/jp.mofurasoft.pikuta.desktop
appstreamcli validate --no-net --pedantic /usr/share/metainfo/jp.mofurasoft.pikuta.metainfo.xml
# Addresses that lead nowhere have no place in what is installed or in the package's fields.
if grep -l 'example\.\(org\|com\|net\)' /usr/share/metainfo/jp.mofurasoft.pikuta.metainfo.xml \
    /usr/share/applications/jp.mofurasoft.pikuta.desktop /usr/share/doc/pikuta/copyright ||
    dpkg-deb --field "$deb" | grep 'example\.\(org\|com\|net\)'; then
    echo "check-package: a made-up address is left in the package" >&2
    exit 1
fi
for size in 16x16 24x24 32x32 48x48 64x64 128x128 256x256; do
    identify -format "%wx%h\n" /usr/share/icons/hicolor/$size/apps/pikuta.png | grep -qx "$size" ||
        { echo "check-package: the $size icon is missing or of another size" >&2; exit 1; }
done

export PIKUTA_BIN=/usr/bin/pikuta PIKUTA_SAMPLES=$PWD/samples
/usr/bin/python3 tests/x11/pikuta_x11.py installed
/usr/bin/python3 tests/x11/pikuta_x11.py slideshow

remove
left=()
while read -r path; do
    [[ $path == /usr/* && ! -d $path && -e $path ]] && left+=("$path")
done <<<"$installed_files"
[[ -e /usr/libexec/pikuta ]] && left+=(/usr/libexec/pikuta)
((${#left[@]} == 0)) || { echo "check-package: left after removal: ${left[*]}" >&2; exit 1; }
echo "check-package: installed, ran and removed cleanly"
