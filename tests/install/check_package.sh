#!/usr/bin/env bash
# `cpack -G DEB` makes a package that installs the same layout under /usr and nothing else, that
# depends on the runtime packages of the libraries the binaries link, and recommends Debian's MAME.
#   check_package.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
id=$2
source "$(dirname "$0")/layout.sh"
need_tools desktop-file-validate appstreamcli dpkg-deb dpkg-shlibdeps

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; exit 1; }
debs=("$work"/orvel_*.deb)
[ -f "${debs[0]}" ] || { echo "FAULT: cpack made no orvel_*.deb"; cat "$work/cpack.log"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

# Files only under /usr; every one the install lays out is there.
outside=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | grep -v '^\./usr/' | grep -vx '\./' || true)
[ -z "$outside" ] || fault "files outside /usr: $outside"
dpkg-deb -x "$deb" "$work/root"
check_layout "$work/root/usr" "$id"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libexpat1 libarchive13 \
    libpng16-16; do
    tr ',' '\n' <<<"$depends" | awk '{ print $1 }' | grep -qxF "$lib" || fault "Depends lacks $lib"
done
grep -q 'mame' <<<"$depends" && fault "Depends names mame (it is only recommended)"
recommends=$(dpkg-deb -f "$deb" Recommends)
[ "$recommends" = mame ] || fault "Recommends is '$recommends', not mame"
[ "$(dpkg-deb -f "$deb" Package)" = orvel ] || fault "the package is not named orvel"

echo "Debian package: $FAULTS fault(s)"
[ "$FAULTS" -eq 0 ]
