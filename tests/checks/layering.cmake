# Checks of the layering that the compiler cannot make:
# - every message box and file dialog is shown through the Dialogs interface (QtDialogs);
# - the build lists its files (no globbing);
# - the core library holds nothing of the widgets and nothing of the command line;
# - the main window names no control of a work area.
# Run by CTest: cmake -DPROJECT_DIR=... -DCORE_LIBRARY=... -DNM=... -P layering.cmake
set(failures "")

file(GLOB_RECURSE sources "${PROJECT_DIR}/src/*.h" "${PROJECT_DIR}/src/*.cpp")
foreach(f ${sources})
    if(f MATCHES "/src/platform/gui/QtDialogs\\.(h|cpp)$")
        continue()
    endif()
    file(STRINGS "${f}" hits REGEX "QMessageBox|QFileDialog|QInputDialog")
    if(hits)
        list(APPEND failures "${f} uses a message box or dialog class directly: ${hits}")
    endif()
endforeach()

file(GLOB_RECURSE cmake_files "${PROJECT_DIR}/CMakeLists.txt" "${PROJECT_DIR}/src/CMakeLists.txt"
    "${PROJECT_DIR}/src/*/CMakeLists.txt" "${PROJECT_DIR}/tests/CMakeLists.txt"
    "${PROJECT_DIR}/ostrandcore/CMakeLists.txt" "${PROJECT_DIR}/ostrandcore/*/CMakeLists.txt")
foreach(f ${cmake_files})
    file(STRINGS "${f}" hits REGEX "file *\\( *GLOB")
    if(hits)
        list(APPEND failures "${f} globs for files: ${hits}")
    endif()
endforeach()

execute_process(COMMAND "${NM}" -C "${CORE_LIBRARY}" OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0 OR symbols STREQUAL "")
    list(APPEND failures "cannot list the symbols of ${CORE_LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]*(QWidget|QApplication|QDialog|QMessageBox|QAbstractButton|QGuiApplication)[^\n]*"
    widget_symbols "${symbols}")
if(widget_symbols)
    list(APPEND failures "the core library uses widgets or Qt GUI: ${widget_symbols}")
endif()
string(REGEX MATCHALL "[^\n]*tolvane::cli::[^\n]*" cli_symbols "${symbols}")
if(cli_symbols)
    list(APPEND failures "the core library holds command-line code: ${cli_symbols}")
endif()

file(GLOB main_window "${PROJECT_DIR}/src/app/uMain.*")
foreach(f ${main_window})
    file(STRINGS "${f}" hits REGEX "\"(cbox|lb|st|sl|ed|bitbtn|ckbox|OD|SD)[A-Z][A-Za-z]*\"")
    if(hits)
        list(APPEND failures "${f} names a control of a work area: ${hits}")
    endif()
endforeach()

if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "${text}")
endif()
list(LENGTH sources n)
message(STATUS "layering: ${n} sources checked")
