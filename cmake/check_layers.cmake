# Checks every #include under a source tree against the layer table in layers.cmake:
#   cmake -DSOURCE_DIR=<tree holding the folders> [-DSTAMP=<file to touch>] -P check_layers.cmake
# A quoted include names its folder first ("database/machine.h"); it must be the file's own
# folder or one the table lets that folder use. Qt headers (<QWidget>, <QtCore/...>) are allowed
# only in the folders the table names. The desktop's windows pump no events (long work runs as a
# job) and reach no whole state (they ask the session). Every violation is printed; any violation
# fails.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/layers.cmake)

if(NOT SOURCE_DIR)
    message(FATAL_ERROR "check_layers: SOURCE_DIR is not set")
endif()

set(known ${ORVEL_LAYERS} gui cli)
set(violations "")
foreach(folder IN LISTS known)
    file(GLOB files ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
    list(SORT files)
    set(allowed ${folder} ${ORVEL_USES_${folder}})
    set(uses "${ORVEL_USES_${folder}}")
    if(NOT uses)
        set(uses "no other folder")
    endif()
    string(REPLACE ";" " " uses "${uses}")
    list(FIND ORVEL_QT_FOLDERS ${folder} qt_index)
    foreach(file IN LISTS files)
        file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
        file(RELATIVE_PATH shown ${SOURCE_DIR} ${file})
        foreach(line IN LISTS lines)
            if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]*)\"")
                set(target ${CMAKE_MATCH_1})
                if(target MATCHES "^\\.\\./|/\\.\\./")
                    string(APPEND violations
                           "  ${shown}: \"${target}\" climbs out of its folder; "
                           "includes are rooted at src/\n")
                elseif(target MATCHES "^([^/]+)/")
                    set(dep ${CMAKE_MATCH_1})
                    list(FIND known ${dep} known_index)
                    list(FIND allowed ${dep} allowed_index)
                    if(known_index GREATER -1 AND allowed_index EQUAL -1)
                        string(APPEND violations
                               "  ${shown}: ${folder} may not include \"${target}\" "
                               "(${folder} uses: ${uses})\n")
                    endif()
                endif()
            elseif(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z0-9_]*)[/>]" AND qt_index EQUAL -1)
                string(APPEND violations
                       "  ${shown}: ${folder} may not include the Qt header <${CMAKE_MATCH_1}>\n")
            endif()
        endforeach()
        if(folder STREQUAL "gui")
            file(STRINGS ${file} pumps REGEX "processEvents|whole_state[ \t]*\\(")
            foreach(line IN LISTS pumps)
                if(line MATCHES "processEvents")
                    string(APPEND violations "  ${shown}: the desktop pumps no events: ${line}\n")
                else()
                    string(APPEND violations
                           "  ${shown}: a window asks the session, not its whole state: ${line}\n")
                endif()
            endforeach()
        endif()
    endforeach()
endforeach()

if(violations)
    message(FATAL_ERROR "Sources that break the layers:\n${violations}")
endif()
if(STAMP)
    file(TOUCH ${STAMP})
endif()
