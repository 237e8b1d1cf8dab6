# The layers of the core, lowest first. Each folder under src/ is a static library that links,
# and may include headers from, only the folders listed for it (and its own). The same table drives
# the link order and the include check (check_layers.cmake), so the two cannot drift apart.
# xml is the Expat set-up the XML readers share; it stays out of platform so that platform (like
# settings and filters) needs no third-party library.
set(ORVEL_LAYERS platform host xml settings database audit filters softlist launch info app)

set(ORVEL_USES_platform "")
set(ORVEL_USES_host "")
set(ORVEL_USES_xml "")
set(ORVEL_USES_settings platform)
set(ORVEL_USES_database platform host xml settings)
set(ORVEL_USES_audit platform host settings database)
set(ORVEL_USES_filters platform host database)
set(ORVEL_USES_softlist platform host xml)
set(ORVEL_USES_launch platform host settings database softlist)
set(ORVEL_USES_info platform xml settings database audit)
set(ORVEL_USES_app platform host xml settings database audit filters softlist launch info)

# The two programs sit on top; only the desktop program includes Qt.
set(ORVEL_USES_gui ${ORVEL_LAYERS})
set(ORVEL_USES_cli ${ORVEL_LAYERS})
set(ORVEL_QT_FOLDERS gui)

# Sources and tests that need a third-party library (Expat, libarchive, libpng, zlib), relative
# to src/ and tests/. A build without those libraries (ORVEL_LIBRARY_FREE, the Windows cross
# build) leaves them out, and with them every folder left empty; what remains must build and pass.
set(ORVEL_LIBRARY_SOURCES
    xml/*
    audit/*
    softlist/*
    app/*
    database/listing_build.cpp
    launch/launch.cpp
    info/dat_*
    info/history_xml.cpp
    info/machine_info.cpp
    info/zip_index.cpp
    info/png.cpp)
set(ORVEL_LIBRARY_TESTS
    app/*
    audit/*
    cli/*
    softlist/*
    database/listing_build_test.cpp
    launch/launch_test.cpp
    info/dat_files_test.cpp
    info/machine_info_test.cpp
    info/png_test.cpp)

# Drops from the list named by var the files under root that match one of the patterns.
function(orvel_drop_library_files var root)
    set(kept)
    foreach(file IN LISTS ${var})
        file(RELATIVE_PATH rel ${root} ${file})
        set(keep TRUE)
        foreach(pattern IN LISTS ARGN)
            string(REPLACE "." "\\." regex "${pattern}")
            string(REPLACE "*" "[^/]*" regex "${regex}")
            if(rel MATCHES "^${regex}$")
                set(keep FALSE)
            endif()
        endforeach()
        if(keep)
            list(APPEND kept ${file})
        endif()
    endforeach()
    set(${var} ${kept} PARENT_SCOPE)
endfunction()
