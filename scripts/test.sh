#!/usr/bin/env bash
# Installs what is missing (Debian's MAME included, so that the integration tests really run),
# checks that every source is formatted as .clang-format says, builds with warnings as errors and
# runs every test; then cross-builds the Windows side and runs its tests under Wine
# (scripts/test-windows.sh); then builds the core under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs its tests again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --tests

# A formatting difference fails like a failing test; "clang-format -i FILE" mends it.
source_dirs=()
for d in src tests bench tools; do [ -d "$d" ] && source_dirs+=("$d"); done
find "${source_dirs[@]}" \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z |
    xargs -0 clang-format --dry-run --Werror

bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVEL_WERROR=ON
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300 -LE slow)
# Checks that take minutes (many runs of the real MAME) come after the quick ones.
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 1800 -L slow --no-tests=ignore)

# The Windows side: what needs no third-party library, cross-built and run under Wine.
if [ "${ORVEL_SKIP_WINDOWS:-0}" != 1 ]; then
    bash scripts/test-windows.sh build-windows
fi

if [ "${ORVEL_SKIP_SANITIZE:-0}" != 1 ]; then
    bash scripts/build.sh build-sanitize -DCMAKE_BUILD_TYPE=Debug -DORVEL_WERROR=ON \
        -DORVEL_SANITIZE=ON -DORVEL_BUILD_GUI=OFF -DORVEL_BUILD_BENCH=OFF
    (cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --output-on-failure -j2 --timeout 600 -L unit)
fi
