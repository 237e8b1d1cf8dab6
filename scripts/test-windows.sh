#!/usr/bin/env bash
# Cross-builds Orvel for 64-bit Windows with Debian's mingw-w64 and runs its tests under Wine,
# headless, printing CTest's summary: orvel-cli.exe, the core's libraries, their unit and CLI
# tests and the fake MAME, linked with the libraries scripts/windows-deps.sh builds (once, into
# its cache); with the cache's Qt for Windows also orvel.exe and its tests (offscreen). Installs
# the cross compiler, Wine and GoogleTest's sources when they are missing.
#   scripts/test-windows.sh [BUILD_DIR]     (default: build-windows)
# ORVEL_WINDOWS_LIBRARY_FREE=1 builds only what needs no third-party library
# (-DORVEL_LIBRARY_FREE=ON), as does a machine where the libraries cannot be built (Debian's
# sources out of reach), which says so.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-windows}

bash scripts/setup.sh --windows

launcher=()
command -v ccache >/dev/null 2>&1 &&
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
config=(-DORVEL_LIBRARY_FREE=ON -DORVEL_BUILD_GUI=OFF)
if [ "${ORVEL_WINDOWS_LIBRARY_FREE:-0}" != 1 ] && ! prefix=$(bash scripts/windows-deps.sh); then
    echo "The libraries for Windows could not be built (above): only what needs no third-party" \
         "library is built and tested for Windows."
elif [ "${ORVEL_WINDOWS_LIBRARY_FREE:-0}" != 1 ]; then
    config=(-DORVEL_LIBRARY_FREE=OFF -DORVEL_WINDOWS_PREFIX="$prefix" -DORVEL_BUILD_GUI=OFF)
    if qt=$(bash scripts/windows-deps.sh --qt-path); then
        echo "Qt for Windows: $qt"
        config=(-DORVEL_LIBRARY_FREE=OFF -DORVEL_WINDOWS_PREFIX="$prefix" -DORVEL_WINDOWS_QT="$qt"
                -DORVEL_BUILD_GUI=ON)
    else
        echo "Qt for Windows is not in the cache: orvel.exe and its tests are skipped" \
             "(scripts/windows-deps.sh --qt builds it, about half an hour)."
    fi
fi
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEL_WERROR=ON -DORVEL_BUILD_BENCH=OFF "${config[@]}" \
    "${launcher[@]}" >/dev/null

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
