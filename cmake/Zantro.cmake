# Small helpers that keep every folder's CMakeLists.txt a few lines long.

# zantro_library(<name> SOURCES ... [LINKS ...])
# A static library whose headers are included as "<folder>/<file>.h" from the source root.
function(zantro_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LINKS})
endfunction()

# zantro_executable(<name> SOURCES ... [LINKS ...]) -- lands in build/bin.
function(zantro_executable name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ZANTRO_BIN_DIR})
endfunction()

# zantro_test(<name> SOURCES ... [LINKS ...] [LABEL label] [TIMEOUT seconds])
# A Qt Test executable run by CTest with the offscreen platform, so widget tests need no display.
function(zantro_test name)
    cmake_parse_arguments(ARG "" "LABEL;TIMEOUT" "SOURCES;LINKS" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    if(NOT ARG_LABEL)
        set(ARG_LABEL unit)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LINKS} zantro_test_support Qt6::Test)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${ZANTRO_TEST_BIN_DIR})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        LABELS ${ARG_LABEL}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZANTRO_BIN_DIR=${ZANTRO_BIN_DIR};ZANTRO_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
endfunction()
