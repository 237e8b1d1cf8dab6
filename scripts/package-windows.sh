#!/usr/bin/env bash
# Makes the package a Windows user unpacks: build-windows-release/orvel-VERSION-windows-x64.zip
# holding one folder with orvel.exe, orvel-cli.exe, README.txt and the licence. Both programs are
# linked statically (Qt, the libraries, the compiler's runtime), so nothing else is needed; the
# script checks that they import only DLLs of Windows itself.
#   scripts/package-windows.sh              needs Qt for Windows (scripts/windows-deps.sh --qt)
#   scripts/package-windows.sh --cli-only   orvel-cli.exe alone: orvel-VERSION-windows-x64-cli.zip
set -euo pipefail
cd "$(dirname "$0")/.."
cli_only=no
[ "${1:-}" = --cli-only ] && cli_only=yes
dir=build-windows-release
triple=x86_64-w64-mingw32

prefix=$(bash scripts/windows-deps.sh)
config=(-DORVEL_WINDOWS_PREFIX="$prefix" -DORVEL_BUILD_GUI=OFF)
targets=(orvel-cli)
if [ "$cli_only" = no ]; then
    if ! qt=$(bash scripts/windows-deps.sh --qt-path); then
        echo "orvel.exe needs Qt for Windows: build it first with scripts/windows-deps.sh --qt" \
             "(about half an hour), or package orvel-cli.exe alone with --cli-only." >&2
        exit 1
    fi
    config=(-DORVEL_WINDOWS_PREFIX="$prefix" -DORVEL_WINDOWS_QT="$qt" -DORVEL_BUILD_GUI=ON)
    targets+=(orvel)
fi
launcher=()
command -v ccache >/dev/null 2>&1 &&
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DCMAKE_BUILD_TYPE=Release -DORVEL_BUILD_TESTS=OFF -DORVEL_BUILD_BENCH=OFF "${config[@]}" \
    "${launcher[@]}" >/dev/null
cmake --build "$dir" -j"${ORVEL_JOBS:-2}" --target "${targets[@]}"

version=$(sed -n 's/^project(Orvel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=orvel-$version-windows-x64
[ "$cli_only" = yes ] && name+=-cli
stage="$dir/package/orvel-$version"
rm -rf "$dir/package"
mkdir -p "$stage"
for t in "${targets[@]}"; do
    "$triple-strip" -o "$stage/$t.exe" "$dir/$t.exe"
    # Only Windows' own DLLs: a DLL of the compiler's or of a library would be missing on the
    # user's machine.
    imports=$("$triple-objdump" -p "$stage/$t.exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
    for dll in $imports; do
        case $dll in
        kernel32.dll | user32.dll | gdi32.dll | shell32.dll | ole32.dll | oleaut32.dll | \
            advapi32.dll | comdlg32.dll | imm32.dll | winmm.dll | ws2_32.dll | uxtheme.dll | \
            dwmapi.dll | shlwapi.dll | version.dll | bcrypt.dll | normaliz.dll | netapi32.dll | \
            userenv.dll | setupapi.dll | wtsapi32.dll | d3d9.dll | d3d11.dll | dxgi.dll | \
            dxguid.dll | authz.dll | mpr.dll | msvcrt.dll | comctl32.dll | crypt32.dll | \
            dwrite.dll | shcore.dll | \
            api-ms-win-*) ;;
        *) echo "$t.exe needs $dll, which Windows does not have" >&2; exit 1 ;;
        esac
    done
done

# The licence: the repository's own, otherwise the GPL's text as Debian ships it.
licence=""
for f in COPYING LICENSE LICENSE.txt; do
    [ -f "$f" ] && { licence=$f; break; }
done
[ -n "$licence" ] || licence=/usr/share/common-licenses/GPL-3
sed 's/$/\r/' "$licence" >"$stage/LICENSE.txt"

programs="orvel.exe       the program
orvel-cli.exe   the same from a command prompt (orvel-cli --help lists its commands)"
[ "$cli_only" = yes ] && programs="orvel-cli.exe   Orvel from a command prompt (orvel-cli --help lists its commands)"
sed 's/$/\r/' >"$stage/README.txt" <<EOF
Orvel $version for Windows (64-bit)

Orvel is a front end for the MAME arcade emulator: point it once at your mame.exe and it lists
every machine MAME emulates, shows which ones you can run, and starts MAME with the right
command line.

$programs

Nothing needs installing: unpack this folder anywhere you can write to and start orvel.exe.
Orvel keeps its preferences and its machine database in a folder ORVEL_Data inside the folder
it was started in (for a double-click, this folder); orvel-cli --data FOLDER names another.
MAME itself is not included: download it from the MAME project and choose its mame.exe when
Orvel asks.

Orvel is free software under the GNU General Public License, version 3 or (at your option) any
later version (LICENSE.txt).
EOF

zip_file="$dir/$name.zip"
rm -f "$zip_file"
(cd "$dir/package" && cmake -E tar cf "../$name.zip" --format=zip "orvel-$version")
echo "$zip_file"
(cd "$dir/package" && find . -type f -printf '%P\t%s\n' | sort)
