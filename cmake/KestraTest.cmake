# SPDX-License-Identifier: GPL-3.0-or-later
# kestra_add_test(<name> SOURCES <files...> [LIBS <targets...>] [ENV <VAR=value...>]
#                 [TIMEOUT <seconds>])
# One GoogleTest executable registered as one ctest test. Widget tests run offscreen and every
# test gets its own program directory through KESTRA_HOME when it asks for one.
function(kestra_add_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        KESTRA_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data"
        KESTRA_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENV}")
endfunction()
