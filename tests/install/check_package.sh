#!/usr/bin/env bash
# `cpack -G DEB` makes a package that installs the same layout under /usr and nothing else, that
# depends on the runtime packages of the libraries the binaries link, and recommends Debian's MAME;
# it carries the licence terms and a changelog, shows its one version everywhere, and lintian
# (when installed) finds no error and no warning in it.
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

# The licence terms, the changelog from the project's history and one version everywhere.
version=$(dpkg-deb -f "$deb" Version)
doc=$work/root/usr/share/doc/orvel
if [ -f "$doc/copyright" ]; then
    head -n1 "$doc/copyright" |
        grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fault "the copyright file is not in Debian's machine-readable format"
    grep -qx 'License: GPL-3+' "$doc/copyright" || fault "the copyright file names no GPL-3+"
    grep -q '/usr/share/common-licenses/GPL-3' "$doc/copyright" ||
        fault "the copyright file does not point at the licence text"
else
    fault "usr/share/doc/orvel/copyright is missing"
fi
if [ -f "$doc/changelog.gz" ]; then
    first=$(gzip -dc "$doc/changelog.gz" | head -n1)
    [ "$first" = "orvel ($version) unstable; urgency=medium" ] ||
        fault "the changelog starts with '$first'"
    [ "$(gzip -dc "$doc/changelog.gz" | grep -c '^  \* ')" -gt 0 ] ||
        fault "the changelog lists no change"
else
    fault "usr/share/doc/orvel/changelog.gz is missing"
fi
metainfo=$work/root/usr/share/metainfo/$id.metainfo.xml
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" ||
    fault "the metainfo has no project_license GPL-3.0-or-later"
grep -q "<release version=\"$version\"" "$metainfo" ||
    fault "the metainfo's release is not $version"
for program in orvel orvel-cli; do
    # Both print their version and exit without a window (there is no display here).
    shown=$(env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/$program" --version | head -n1)
    [ "$(awk '{ print $1, $2 }' <<<"$shown")" = "$program $version" ] ||
        fault "$program --version says '$shown', the package $version"
    env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/usr/bin/$program" --help | grep -q '^usage:' ||
        fault "$program --help prints no usage"
done
gzip -dc "$work/root/usr/share/man/man1/orvel-cli.1.gz" | grep -q "^\.TH ORVEL-CLI 1 .*\"Orvel $version\"" ||
    fault "the manual page of orvel-cli is not for $version"

# Lintian, when it is installed: no error and no warning.
if command -v lintian >/dev/null 2>&1; then
    if ! lintian --fail-on error,warning --display-info --no-tag-display-limit "$deb" \
        >"$work/lintian.log" 2>&1; then
        cat "$work/lintian.log"
        fault "lintian finds errors or warnings"
    else
        echo "lintian: no error or warning; $(grep -c '^[IP]:' "$work/lintian.log" || true) note(s)"
    fi
    # A package built with Debian's hardening flags (scripts/package.sh) has every one of them.
    if grep -qx 'ORVEL_HARDENING:BOOL=ON' "$build/CMakeCache.txt"; then
        ! grep '^I: .* hardening-' "$work/lintian.log" ||
            fault "a hardened build lacks some of Debian's hardening flags"
    fi
else
    echo "lintian is not installed: not run"
fi

echo "Debian package: $FAULTS fault(s)"
[ "$FAULTS" -eq 0 ]
