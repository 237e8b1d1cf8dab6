# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix) and
# runs the results, tests included, under Wine. The libraries come from scripts/windows-deps.sh:
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#         -DORVEL_WINDOWS_PREFIX=$(scripts/windows-deps.sh) [-DORVEL_WINDOWS_QT=<Qt's prefix>]
# or, with none of them, -DORVEL_LIBRARY_FREE=ON.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
# The POSIX threads flavour: std::thread and std::mutex need it.
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)

# The prefixes of the libraries and of Qt built for Windows (scripts/windows-deps.sh), searched
# with mingw-w64's own folder; checks that compile a test program see them too.
set(ORVEL_WINDOWS_PREFIX "${ORVEL_WINDOWS_PREFIX}" CACHE PATH "Libraries built for Windows")
set(ORVEL_WINDOWS_QT "${ORVEL_WINDOWS_QT}" CACHE PATH "Qt built for Windows")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORVEL_WINDOWS_PREFIX ORVEL_WINDOWS_QT)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix} ${ORVEL_WINDOWS_PREFIX} ${ORVEL_WINDOWS_QT})
if(ORVEL_WINDOWS_QT)
    # Qt for Windows runs the build machine's moc, rcc and uic (Debian's qt6-base-dev-tools).
    file(GLOB host_info_dir /usr/lib/*/cmake/Qt6HostInfo)
    set(QT_HOST_PATH /usr CACHE PATH "")
    get_filename_component(host_cmake_dir "${host_info_dir}" DIRECTORY)
    set(QT_HOST_PATH_CMAKE_DIR "${host_cmake_dir}" CACHE PATH "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config must not offer the build machine's libraries.
set(pkg_config_dirs /usr/${mingw_prefix}/lib/pkgconfig)
if(ORVEL_WINDOWS_PREFIX)
    list(PREPEND pkg_config_dirs ${ORVEL_WINDOWS_PREFIX}/lib/pkgconfig)
endif()
string(REPLACE ";" ":" pkg_config_dirs "${pkg_config_dirs}")
set(ENV{PKG_CONFIG_LIBDIR} "${pkg_config_dirs}")

# Executables that need no DLL of the compiler's beside them, so that Wine runs them as they are.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests (and GoogleTest's discovery) run through Wine: quiet, headless, in a Wine prefix of the
# build folder's own, so that nothing of the user's Wine set-up is touched.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    find_program(ORVEL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
    if(ORVEL_WINE)
        set(CMAKE_CROSSCOMPILING_EMULATOR
            /usr/bin/env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix
            WINEDLLOVERRIDES=mscoree,mshtml= DISPLAY= ${ORVEL_WINE})
    endif()
endif()
