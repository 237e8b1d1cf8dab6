#!/usr/bin/env bash
# Builds Orvel in build/ (or BUILD_DIR) and makes the Debian package there:
#   scripts/package.sh [BUILD_DIR]
# It installs with `apt install ./orvel_VERSION_ARCH.deb`, which brings its dependencies.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
if ! command -v dpkg-shlibdeps >/dev/null 2>&1; then
    echo "The package's dependencies are computed by dpkg-shlibdeps. Install it as root with:" >&2
    echo "  apt-get install -y dpkg-dev" >&2
    exit 1
fi
# Debian's hardening flags come from dpkg-buildflags (-DORVEL_HARDENING=ON).
bash scripts/build.sh "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEL_HARDENING=ON
(cd "$dir" && cpack -G DEB)
ls -1 "$dir"/orvel_*.deb
