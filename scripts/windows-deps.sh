#!/usr/bin/env bash
# Cross-builds, with Debian's mingw-w64, the libraries the Windows build of Orvel links, from
# Debian's own source packages (fetched with apt-get source): Expat, libpng, libarchive (zip and
# 7z reading, nothing else), utf8proc, all static; zlib is Debian's libz-mingw-w64-dev. With --qt
# it also cross-builds a static qtbase (Core, Gui, Widgets, the windows and offscreen platform
# plugins) from Debian's qt6-base, the same version as the build machine's Qt, whose moc, rcc and
# uic serve the cross build.
#
# Everything goes into a cache folder outside the source tree, kept between runs:
#   ${ORVEL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvel-windows}/
#     src/                    the unpacked source packages
#     libs-<VERSIONS>/        the libraries' prefix, named after their source versions
#     qt-<VERSION>/           the Qt prefix (--qt)
# A prefix that is complete is used as it is; the script then only prints its path.
#
#   scripts/windows-deps.sh            build the libraries when missing; print the prefix
#   scripts/windows-deps.sh --qt       the same, then Qt when missing; print Qt's prefix
#   scripts/windows-deps.sh --qt-only  Qt alone (it needs none of the libraries)
#   scripts/windows-deps.sh --qt-path  print Qt's prefix when it is complete (exit 1 otherwise)
# Progress and timings go to standard error; the prefix alone to standard output.
set -euo pipefail
cd "$(dirname "$0")/.."
src_root=$(pwd)
mode=${1:-}

cache=${ORVEL_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvel-windows}
jobs=${ORVEL_JOBS:-2}
triple=x86_64-w64-mingw32
libs=(expat libpng1.6 libarchive utf8proc)
qt_source=qt6-base

say() { echo "windows-deps: $*" >&2; }

qt_prefix_of() { echo "$cache/qt-$1"; }
host_qt_version() {
    dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null | sed 's/[^0-9.].*//'
}

if [ "$mode" = --qt-path ]; then
    qt_prefix=$(qt_prefix_of "$(host_qt_version)")
    [ -f "$qt_prefix/.complete" ] || exit 1
    echo "$qt_prefix"
    exit 0
fi

bash scripts/setup.sh --windows >&2
mkdir -p "$cache/src"

# apt-get source needs a deb-src line for the suites the machine installs from.
ensure_deb_src() {
    if grep -rqs '^\(Types:.*deb-src\|deb-src \)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 0
    fi
    if [ "$(id -u)" -ne 0 ]; then
        say "apt-get source needs a deb-src line; add one as root, for example:"
        say "  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources" \
            "> /etc/apt/sources.list.d/orvel-deb-src.sources && apt-get update"
        exit 1
    fi
    local from=/etc/apt/sources.list.d/debian.sources
    if [ -f "$from" ]; then
        sed 's/^Types: deb$/Types: deb-src/' "$from" >/etc/apt/sources.list.d/orvel-deb-src.sources
    else
        grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
            >/etc/apt/sources.list.d/orvel-deb-src.list
    fi
    say "added a deb-src line; updating apt's lists"
    apt-get update -q >&2
}

# Unpacks a source package into src/<PACKAGE>_<VERSION>/ once and sets $fetched to that folder:
# the newest version apt knows that is already unpacked or can be downloaded (a mirror may lack
# the newest one's files).
fetch() {
    local package=$1 version dir tmp
    for version in $(apt-cache showsrc --only-source "$package" | sed -n 's/^Version: //p' |
        sort -urV); do
        dir="$cache/src/${package}_$version"
        # A version the mirror lacked is not asked for again for a day.
        if [ ! -f "$dir/.unpacked" ] && [ -n "$(find "$dir.unavailable" -mmin -1440 2>/dev/null)" ]; then
            continue
        fi
        if [ ! -f "$dir/.unpacked" ]; then
            tmp="$dir.download"
            rm -rf "$dir" "$tmp"
            mkdir -p "$tmp"
            if ! (cd "$tmp" && apt-get source -q --only-source "$package=$version" >"$tmp.log" 2>&1); then
                say "$package $version could not be fetched ($(grep -m1 '^E:' "$tmp.log" || true))"
                rm -rf "$tmp" "$tmp.log"
                touch "$dir.unavailable"
                continue
            fi
            mv "$(find "$tmp" -mindepth 1 -maxdepth 1 -type d | head -1)" "$dir"
            rm -rf "$tmp" "$tmp.log"
            touch "$dir/.unpacked"
        fi
        fetched=$dir
        return 0
    done
    say "no source of $package could be fetched (is there a deb-src line? apt-get update?)"
    return 1
}

zlib_args=(-DZLIB_INCLUDE_DIR=/usr/$triple/include -DZLIB_LIBRARY=/usr/$triple/lib/libz.a)
if [ "$mode" != --qt-only ] && { [ ! -f "/usr/$triple/include/zlib.h" ] || [ ! -f "/usr/$triple/lib/libz.a" ]; }; then
    say "zlib for Windows is missing (/usr/$triple/include/zlib.h, /usr/$triple/lib/libz.a):" \
        "install Debian's libz-mingw-w64-dev (scripts/setup.sh --windows does)"
    exit 1
fi
# Configures, builds and installs one CMake project; with ORVEL_TARGET set, builds only that
# target and leaves the install to the caller.
cmake_cross() {
    local source=$1 build=$2 prefix=$3
    shift 3
    rm -rf "$build"
    cmake -S "$source" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src_root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" \
        -DORVEL_WINDOWS_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_CROSSCOMPILING_EMULATOR= "$@" >"$build.log" 2>&1 ||
        { tail -30 "$build.log" >&2; return 1; }
    cmake --build "$build" -j"$jobs" ${ORVEL_TARGET:+--target "$ORVEL_TARGET"} >>"$build.log" 2>&1 ||
        { tail -30 "$build.log" >&2; return 1; }
    [ -n "${ORVEL_TARGET:-}" ] && return 0
    cmake --install "$build" >>"$build.log" 2>&1 || { tail -30 "$build.log" >&2; return 1; }
    rm -rf "$build"
}

build_lib() {
    local package=$1 source=$2 prefix=$3 build="$cache/build/$1"
    mkdir -p "$cache/build"
    case $package in
    expat)
        # Debian's source keeps the library one folder down.
        local top=$source
        [ -f "$source/expat/CMakeLists.txt" ] && top=$source/expat
        # Debian's patches test "#if XML_DTD == 1", as its autotools build defines it; CMake's
        # template defines it empty.
        sed -i 's/^#cmakedefine XML_DTD$/#cmakedefine XML_DTD 1/' "$top/expat_config.h.cmake"
        cmake_cross "$top" "$build" "$prefix" -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
            -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF \
            -DEXPAT_BUILD_FUZZERS=OFF -DEXPAT_BUILD_PKGCONFIG=ON
        ;;
    libpng1.6)
        cmake_cross "$source" "$build" "$prefix" "${zlib_args[@]}" -DPNG_SHARED=OFF -DPNG_STATIC=ON \
            -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
        ;;
    libarchive)
        # Reads zip and 7z (and writes zip, for the tests) with zlib alone: no other compression
        # library, no crypto, no XML, no command-line tools.
        local off=()
        for f in OPENSSL MBEDTLS NETTLE LIBB2 LZ4 LZO LZMA ZSTD BZip2 LIBXML2 EXPAT PCREPOSIX \
            PCRE2POSIX ICONV CNG TAR CPIO CAT XATTR ACL TEST COVERAGE UNZIP WERROR; do
            off+=("-DENABLE_$f=OFF")
        done
        # Its project always makes the DLL too: only the static library is built and installed.
        ORVEL_TARGET=archive_static cmake_cross "$source" "$build" "$prefix" "${zlib_args[@]}" \
            -DENABLE_ZLIB=ON "${off[@]}"
        mkdir -p "$prefix/include" "$prefix/lib"
        cp "$source/libarchive/archive.h" "$source/libarchive/archive_entry.h" "$prefix/include/"
        cp "$build/libarchive/libarchive_static.a" "$prefix/lib/libarchive.a"
        rm -rf "$build"
        ;;
    utf8proc)
        cmake_cross "$source" "$build" "$prefix" -DUTF8PROC_INSTALL=ON -DUTF8PROC_ENABLE_TESTING=OFF
        ;;
    esac
}

build_libs() {
    local -A sources
    key=""
    for p in "${libs[@]}"; do
        fetch "$p"
        sources[$p]=$fetched
        key+="$(basename "$fetched") "
    done
    # The prefix is named after the sources' versions, short enough for a path.
    prefix="$cache/libs-$(echo "$key" | sha1sum | cut -c1-12)"
    mkdir -p "$prefix"
    echo "$key" | tr ' ' '\n' | grep . >"$prefix/versions.txt"

    local total_start start name p
    total_start=$(date +%s)
    for p in "${libs[@]}"; do
        name=$(basename "${sources[$p]}")
        [ -f "$prefix/.built-$name" ] && continue
        start=$(date +%s)
        say "building $name"
        build_lib "$p" "${sources[$p]}" "$prefix"
        touch "$prefix/.built-$name"
        say "$name: $(($(date +%s) - start)) s"
    done
    # libarchive carries its own BLAKE2s, as Qt's static Core does under the same names: the
    # program links both, so libarchive's copy gets names of its own.
    if [ ! -f "$prefix/.blake2s-renamed" ]; then
        local renames=()
        for f in $("$triple-nm" "$prefix/lib/libarchive.a" | sed -n 's/^[0-9a-f]* T \(blake2s[a-z_]*\)$/\1/p'); do
            renames+=(--redefine-sym "$f=archive_$f")
        done
        [ ${#renames[@]} -eq 0 ] || "$triple-objcopy" "${renames[@]}" "$prefix/lib/libarchive.a"
        touch "$prefix/.blake2s-renamed"
    fi
    [ -f "$prefix/.complete" ] || say "libraries ready in $(($(date +%s) - total_start)) s"
    touch "$prefix/.complete"
}

# qtbase: Core, Gui, Widgets and the windows and offscreen platform plugins, static, with what
# Orvel does not use turned off.
build_qt() {
    qt_version=$(host_qt_version)
    qt_prefix=$(qt_prefix_of "$qt_version")
    if [ ! -f "$qt_prefix/.complete" ]; then
        start=$(date +%s)
        fetch "$qt_source"
        dir=$fetched
        case $(basename "$dir") in
        "${qt_source}_$qt_version"*) ;;
        *) say "$(basename "$dir") is not the build machine's Qt $qt_version"; exit 1 ;;
        esac
        # The windows plugin still reaches for OpenGL classes under dynamicgl alone.
        window_cpp="$dir/src/plugins/platforms/windows/qwindowswindow.cpp"
        if grep -q '^#if QT_CONFIG(dynamicgl)$' "$window_cpp"; then
            sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' "$window_cpp"
        fi
        build="$cache/build/qtbase"
        rm -rf "$build" "$qt_prefix"
        mkdir -p "$build"
        say "configuring $(basename "$dir") (log: $build.log)"
        features=()
        # testlib stays: the desktop program's tests use it.
        for f in network sql dbus opengl printsupport concurrent xml tabletevent dynamicgl vulkan \
            system_zlib; do
            features+=("-DFEATURE_$f=OFF")
        done
        cmake -S "$dir" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src_root/cmake/mingw-w64.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$qt_prefix" -DCMAKE_CROSSCOMPILING_EMULATOR= \
            -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
            -DBUILD_SHARED_LIBS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
            -DQT_BUILD_BENCHMARKS=OFF "${features[@]}" \
            >"$build.log" 2>&1 || { tail -40 "$build.log" >&2; exit 1; }
        say "Qt configured in $(($(date +%s) - start)) s; building"
        cmake --build "$build" -j"$jobs" >>"$build.log" 2>&1 || { tail -40 "$build.log" >&2; exit 1; }
        cmake --install "$build" >>"$build.log" 2>&1 || { tail -40 "$build.log" >&2; exit 1; }
        rm -rf "$build"
        touch "$qt_prefix/.complete"
        say "Qt $qt_version: $(($(date +%s) - start)) s"
    fi
}

ensure_deb_src
if [ "$mode" != --qt-only ]; then
    build_libs
    [ "$mode" = --qt ] || { echo "$prefix"; exit 0; }
fi
build_qt
echo "$qt_prefix"
