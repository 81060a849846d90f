# Build time on two cores. A Qt widget file spends most of its compile time reading the Qt headers
# (some 40,000 lines for QtWidgets' common classes), and each test file as much again reading
# GoogleTest or QtTest. Two remedies, applied per target:
# - unity builds: the target's sources compiled in batches of IONVANE_UNITY_BATCH files as one
#   unit each, so the headers are read once a batch. Sources with file-local names that clash in
#   one unit are listed with ionvane_unity_skip. A batch of 8 keeps a one-file change from
#   recompiling the whole target and leaves both cores work for a target of a dozen files.
# - precompiled headers: the Qt and standard headers the widget code shares, read once per target
#   (or once for a group of test programs built alike, PCH_FROM: such programs share the same
#   flags, which a precompiled header needs).
# ccache stays in front of the compiler; precompiled headers need its "pch_defines,time_macros"
# sloppiness to be cached (scripts/install-deps.sh sets it).
option(IONVANE_FAST_BUILD "Unity builds and precompiled headers for the heavy targets" ON)
set(IONVANE_UNITY_BATCH 8 CACHE STRING "Sources per unity batch")

# The headers of the precompiled header: for code on QtCore (and QtNetwork) alone, and for widget
# code. Those most included by the targets below, and the standard ones every file uses.
set(IONVANE_CORE_PCH_HEADERS
    <QByteArray> <QObject> <QString> <QTimer>
    <algorithm> <map> <memory> <optional> <string> <string_view> <vector>)
set(IONVANE_WIDGETS_PCH_HEADERS ${IONVANE_CORE_PCH_HEADERS}
    <QAction> <QApplication> <QColor> <QLabel> <QLineEdit> <QPainter> <QPushButton> <QWidget>)

# ionvane_fast_build(TARGET [UNITY] [PCH CORE|WIDGETS] [PCH_FROM OTHER]): unity batches, a
# precompiled header of its own, or the one of OTHER (built with the same flags).
function(ionvane_fast_build target)
    cmake_parse_arguments(PARSE_ARGV 1 FAST "UNITY" "PCH;PCH_FROM" "")
    if(NOT IONVANE_FAST_BUILD)
        return()
    endif()
    if(FAST_UNITY)
        set_target_properties(${target} PROPERTIES
            UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${IONVANE_UNITY_BATCH})
    endif()
    if(FAST_PCH)
        target_precompile_headers(${target} PRIVATE ${IONVANE_${FAST_PCH}_PCH_HEADERS})
    elseif(FAST_PCH_FROM)
        target_precompile_headers(${target} REUSE_FROM ${FAST_PCH_FROM})
    endif()
endfunction()

# ionvane_unity_skip(DIR FILE...): sources of the folder DIR (from the top) kept out of unity
# batches, for file-local names that clash.
function(ionvane_unity_skip dir)
    list(TRANSFORM ARGN PREPEND ${PROJECT_SOURCE_DIR}/${dir}/)
    set_source_files_properties(${ARGN} DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}
        PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
endfunction()

# The targets defined in DIR and the folders below it, into VAR.
function(ionvane_targets_below dir var)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(subdir IN LISTS subdirs)
        ionvane_targets_below(${subdir} below)
        list(APPEND targets ${below})
    endforeach()
    set(${var} ${targets} PARENT_SCOPE)
endfunction()

# ionvane_fast_test_builds(DIR): the GoogleTest programs of DIR (and below) share one precompiled
# header of GoogleTest and the standard headers, read some 100,000 lines a test file otherwise.
# Programs with a precompiled header of their own keep it. They are built with the same flags
# (the folder's), which sharing needs; a mismatch fails the build (-Winvalid-pch, warnings as
# errors) rather than slowing it silently.
function(ionvane_fast_test_builds dir)
    if(NOT IONVANE_FAST_BUILD)
        return()
    endif()
    ionvane_targets_below(${dir} targets)
    set(first)
    foreach(target IN LISTS targets)
        get_target_property(type ${target} TYPE)
        get_target_property(libraries ${target} LINK_LIBRARIES)
        get_target_property(own ${target} PRECOMPILE_HEADERS)
        get_target_property(shared ${target} PRECOMPILE_HEADERS_REUSE_FROM)
        if(NOT type STREQUAL "EXECUTABLE" OR NOT libraries MATCHES "GTest::" OR own OR shared)
            continue()
        endif()
        if(NOT first)
            set(first ${target})
            target_precompile_headers(${target} PRIVATE <gtest/gtest.h> <algorithm> <map>
                                      <memory> <optional> <string> <string_view> <vector>)
        else()
            target_precompile_headers(${target} REUSE_FROM ${first})
        endif()
    endforeach()
endfunction()
