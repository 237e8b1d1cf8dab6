#!/usr/bin/env bash
# Cross-builds for 64-bit Windows, with Debian's mingw-w64, everything that needs no third-party
# library (the folder libraries, their unit tests and the fake MAME) and runs those tests under
# Wine, headless, printing CTest's summary. Installs the cross compiler, Wine and GoogleTest's
# sources when they are missing.
#   scripts/test-windows.sh [BUILD_DIR]     (default: build-windows)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}

bash scripts/setup.sh --windows

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEL_LIBRARY_FREE=ON -DORVEL_WERROR=ON "${launcher[@]}"
fi

# Wine, quiet and without a display, in a prefix of the build folder's own (the toolchain file
# runs the tests the same way). The prefix is made once, before the build runs test programs to
# list their tests; one Wine server serves every test program until the end.
export WINEDEBUG=-all WINEPREFIX="$(cd "$dir" && pwd)/wine-prefix" WINEDLLOVERRIDES="mscoree,mshtml="
export DISPLAY=
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -p 2>/dev/null || true # already serving this prefix
trap '"$wineserver" -k 2>/dev/null || true' EXIT

cmake --build "$dir" -j"${ORVEL_JOBS:-2}"
# Wine now and then cuts a test program off from its server ("Connection reset by peer"): such a
# run is tried again; a test that really fails fails every time.
(cd "$dir" && ctest --output-on-failure -j2 --timeout 120 --repeat until-pass:3)
