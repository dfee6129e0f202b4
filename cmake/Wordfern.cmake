# Shared helpers for the project's targets.

# wf_core_library(NAME SOURCES... DEPS ...): a Qt-free static library of the core.
function(wf_core_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# wf_gtest(NAME SOURCES... DEPS ... LABELS ...): a GoogleTest program registered with ctest.
function(wf_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE wf_test_support GTest::gtest_main GTest::gmock ${ARG_DEPS})
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        PROPERTIES LABELS "${ARG_LABELS}"
        DISCOVERY_TIMEOUT 60)
endfunction()
