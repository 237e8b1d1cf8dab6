#!/usr/bin/env bash
# Installs what Orvel needs to build, test and run on Debian 12, when it is missing.
#   scripts/setup.sh          build and run dependencies, and Debian's MAME when no MAME is found
#   scripts/setup.sh --tests  the same, plus Debian's MAME always (the integration tests run it)
#                             and the tools the install tests use (the desktop entry and
#                             AppStream validators, dpkg-shlibdeps, lintian and man for the
#                             Debian package and its manual pages)
#   scripts/setup.sh --windows  only what the Windows cross build needs (scripts/test-windows.sh):
#                             the mingw-w64 cross compiler, zlib for Windows, Wine and
#                             GoogleTest's sources
set -euo pipefail

mode=${1:-}
for_tests=no
[ "$mode" = "--tests" ] && for_tests=yes

packages=(build-essential cmake pkg-config ninja-build qt6-base-dev libexpat1-dev libarchive-dev
          libpng-dev zlib1g-dev libutf8proc-dev libgtest-dev libgmock-dev libbenchmark-dev fonts-dejavu-core
          xdg-utils clang-format)
if [ "$mode" = "--windows" ]; then
    packages=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 googletest cmake ninja-build)
elif [ "$for_tests" = yes ]; then
    packages+=(mame desktop-file-utils appstream dpkg-dev lintian man-db)
elif ! command -v mame >/dev/null 2>&1 && [ ! -x /usr/games/mame ]; then
    packages+=(mame)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Orvel needs these Debian packages. Install them as root with:" >&2
    echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
