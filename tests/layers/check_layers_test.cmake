# Runs the include check of the build over small made-up source trees, one case a row:
# a file, the include line it holds, and whether the check must accept it. Then the real src/.
#   cmake -DSOURCE_ROOT=<repository> -DWORK_DIR=<scratch folder> -P check_layers_test.cmake
cmake_minimum_required(VERSION 3.25)
set(checker ${SOURCE_ROOT}/cmake/check_layers.cmake)

# file | include line | expected (pass/fail) | text the failure must show
set(cases
    "database/machine.h|#include \"platform/files.h\"|pass|"
    "database/machine.h|#include \"host/host.h\"|pass|"
    "database/machine.cpp|#include \"database/machine.h\"|pass|"
    "filters/filter_set.cpp|#include <string_view>|pass|"
    "gui/main_window.h|#include <QMainWindow>|pass|"
    "gui/main_window.h|#include \"app/app_state.h\"|pass|"
    "cli/main.cpp|#include \"app/startup.h\"|pass|"
    "database/machine.h|#include \"app/app_state.h\"|fail|database may not include \"app/app_state.h\""
    "platform/files.h|#  include \"settings/settings.h\"|fail|platform may not include \"settings/settings.h\""
    "host/host.h|#include \"database/machine.h\"|fail|host may not include"
    "softlist/software_list.cpp|#include \"filters/folders.h\"|fail|softlist may not include \"filters/folders.h\""
    "info/png.cpp|#include \"launch/launch.h\"|fail|info may not include"
    "launch/launch.cpp|#include \"gui/qt_text.h\"|fail|launch may not include \"gui/qt_text.h\""
    "cli/main.cpp|#include \"gui/main_window.h\"|fail|cli may not include"
    "filters/filter_set.cpp|#include <QString>|fail|filters may not include the Qt header <QString>"
    "app/startup.cpp|#include <QtCore/QDir>|fail|app may not include the Qt header <QtCore>"
    "cli/main.cpp|#include <QCoreApplication>|fail|Qt header"
    "settings/settings.cpp|#include \"../app/app_state.h\"|fail|climbs out of its folder"
    "gui/main_window.cpp|    QCoreApplication::processEvents(QEventLoop::AllEvents)|fail|pumps no events"
    "gui/main_window.cpp|    AppState& state = session_.whole_state()|fail|not its whole state"
    "cli/main.cpp|    AppState& state = session.whole_state()|pass|")

set(failures "")
set(index 0)
foreach(row IN LISTS cases)
    string(REPLACE "|" ";" fields "${row}")
    list(GET fields 0 file)
    list(GET fields 1 line)
    list(GET fields 2 expected)
    list(LENGTH fields count)
    set(needle "")
    if(count GREATER 3)
        list(GET fields 3 needle)
    endif()
    math(EXPR index "${index} + 1")
    set(tree ${WORK_DIR}/case${index})
    file(REMOVE_RECURSE ${tree})
    file(WRITE ${tree}/${file} "#pragma once\n#include <string>\n${line}\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${checker}
                    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(expected STREQUAL "pass" AND NOT result EQUAL 0)
        string(APPEND failures "  ${file} with '${line}' was rejected:\n${err}\n")
    elseif(expected STREQUAL "fail")
        if(result EQUAL 0)
            string(APPEND failures "  ${file} with '${line}' was accepted\n")
        else()
            string(FIND "${err}" "${needle}" at)
            string(FIND "${err}" "${file}" file_at)
            if(at EQUAL -1 OR file_at EQUAL -1)
                string(APPEND failures
                       "  ${file} with '${line}': the message lacks '${needle}' or the file:\n${err}\n")
            endif()
        endif()
    endif()
endforeach()

# Every violation in a tree is reported, not only the first.
set(tree ${WORK_DIR}/several)
file(REMOVE_RECURSE ${tree})
file(WRITE ${tree}/database/a.h "#include \"app/startup.h\"\n")
file(WRITE ${tree}/filters/b.cpp "#include <QList>\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -P ${checker}
                RESULT_VARIABLE result ERROR_VARIABLE err)
string(FIND "${err}" "database/a.h" first)
string(FIND "${err}" "filters/b.cpp" second)
if(result EQUAL 0 OR first EQUAL -1 OR second EQUAL -1)
    string(APPEND failures "  a tree with two violations did not report both:\n${err}\n")
endif()

# The program's own sources keep to the layers.
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_ROOT}/src -P ${checker}
                RESULT_VARIABLE result ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    string(APPEND failures "  src/ breaks the layers:\n${err}\n")
endif()

if(failures)
    message(FATAL_ERROR "Include check cases that went wrong:\n${failures}")
endif()
message(STATUS "include check: ${index} cases, the several-violation tree and src/ as expected")
