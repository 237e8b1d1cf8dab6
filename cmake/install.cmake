# Installing Orvel on Linux: the programs, the desktop entry, the icon in the hicolor theme, the
# AppStream metadata and the manual pages; `cpack -G DEB` packs the same files into a Debian
# package whose dependencies dpkg-shlibdeps computes from the binaries.
include(GNUInstallDirs)

# One name for the desktop entry, the icon, the metadata and the window's desktop file name.
set(ORVEL_APP_ID org.example.orvel)
set(ORVEL_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)
set(ORVEL_GENERATED_DIR ${PROJECT_BINARY_DIR}/dist)

install(TARGETS orvel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(ORVEL_MAINTAINER "The Orvel Developers <orvel@example.org>")
# The release date shown by the manual pages and the AppStream metadata: the day of the last
# change in the project's history (the day of the build without one).
execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 --format=%cs
                OUTPUT_VARIABLE ORVEL_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE
                ERROR_QUIET RESULT_VARIABLE git_result)
if(NOT git_result EQUAL 0 OR NOT ORVEL_RELEASE_DATE)
    string(TIMESTAMP ORVEL_RELEASE_DATE "%Y-%m-%d" UTC)
endif()

# The licence terms (Debian's machine-readable copyright file, which points at the GPL's text in
# /usr/share/common-licenses) and the changelog made from the project's history.
set(ORVEL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/orvel)
install(FILES ${ORVEL_DIST_DIR}/debian/copyright DESTINATION ${ORVEL_DOC_DIR})
add_custom_target(
    debian_changelog ALL
    COMMAND bash ${ORVEL_DIST_DIR}/debian/make_changelog.sh ${PROJECT_SOURCE_DIR}
            ${PROJECT_VERSION} ${ORVEL_MAINTAINER} ${ORVEL_GENERATED_DIR}/changelog.gz
    BYPRODUCTS ${ORVEL_GENERATED_DIR}/changelog.gz
    COMMENT "Writing the changelog from the project's history" VERBATIM)
install(FILES ${ORVEL_GENERATED_DIR}/changelog.gz DESTINATION ${ORVEL_DOC_DIR})

# Manual pages carry the version; Debian keeps them compressed.
find_program(ORVEL_GZIP gzip)
set(man_pages orvel-cli.1)
if(ORVEL_BUILD_GUI)
    list(APPEND man_pages orvel.1)
endif()
set(installed_man_pages)
foreach(page IN LISTS man_pages)
    configure_file(${ORVEL_DIST_DIR}/${page} ${ORVEL_GENERATED_DIR}/${page} @ONLY)
    if(ORVEL_GZIP)
        add_custom_command(
            OUTPUT ${ORVEL_GENERATED_DIR}/${page}.gz
            COMMAND ${ORVEL_GZIP} -9 -n -c ${ORVEL_GENERATED_DIR}/${page} >
                    ${ORVEL_GENERATED_DIR}/${page}.gz
            DEPENDS ${ORVEL_GENERATED_DIR}/${page} VERBATIM)
        list(APPEND installed_man_pages ${ORVEL_GENERATED_DIR}/${page}.gz)
    else()
        list(APPEND installed_man_pages ${ORVEL_GENERATED_DIR}/${page})
    endif()
endforeach()
add_custom_target(manual_pages ALL DEPENDS ${installed_man_pages})
install(FILES ${installed_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(ORVEL_BUILD_GUI)
    install(TARGETS orvel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    target_compile_definitions(orvel PRIVATE ORVEL_APP_ID="${ORVEL_APP_ID}")

    # The icon is drawn by the program's own routine at every size the theme is given.
    add_executable(make_program_icons ${PROJECT_SOURCE_DIR}/tools/make_program_icons.cpp)
    target_link_libraries(make_program_icons PRIVATE orvel_gui)
    set(ORVEL_ICON_SIZES 16 32 48 64 128 256)
    set(icon_files)
    foreach(size IN LISTS ORVEL_ICON_SIZES)
        list(APPEND icon_files ${ORVEL_GENERATED_DIR}/icons/${size}x${size}/${ORVEL_APP_ID}.png)
    endforeach()
    add_custom_command(
        OUTPUT ${icon_files}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                $<TARGET_FILE:make_program_icons> ${ORVEL_GENERATED_DIR}/icons ${ORVEL_APP_ID}
        DEPENDS make_program_icons VERBATIM)
    add_custom_target(program_icons ALL DEPENDS ${icon_files})
    foreach(size IN LISTS ORVEL_ICON_SIZES)
        install(FILES ${ORVEL_GENERATED_DIR}/icons/${size}x${size}/${ORVEL_APP_ID}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()

    install(FILES ${ORVEL_DIST_DIR}/${ORVEL_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${ORVEL_DIST_DIR}/${ORVEL_APP_ID}.metainfo.xml
                   ${ORVEL_GENERATED_DIR}/${ORVEL_APP_ID}.metainfo.xml @ONLY)
    install(FILES ${ORVEL_GENERATED_DIR}/${ORVEL_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The Debian package: `cpack -G DEB` in the build folder, or scripts/package.sh.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Orvel Developers")
set(CPACK_PACKAGE_CONTACT ${ORVEL_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop front end for the MAME arcade emulator")
# The package's long description, below the summary line: lines within 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Orvel lists every machine that MAME emulates, narrowed by a filter tree,\n\
category folders and a search box, tells which ones can run with the ROM sets\n\
found, shows their history, pictures and notes, and starts MAME with the right\n\
command line. orvel-cli does the same from a terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Emulators and what goes with them; the games section is for the games themselves (and wants
# its programs in /usr/games).
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS mame)
include(CPack)
