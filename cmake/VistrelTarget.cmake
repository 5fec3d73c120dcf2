# Warnings are errors in our own code; third-party headers come in as system includes.
function(vistrel_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# Registers a GoogleTest executable built from the given sources with CTest.
# Usage: vistrel_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib... [LABELS l...]
#                         [PROPERTIES prop value...])
function(vistrel_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    # Test programs live apart from the program folder build/bin/, so their own program
    # folder (build/tests/) never mixes with the real one.
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    vistrel_warnings(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    # Parameter values stay out of the test names: byte tables would print as raw memory.
    # A test that hangs fails after two minutes (even under a sanitizer none comes near it)
    # instead of holding the whole run until CI gives up; a caller's TIMEOUT comes later and wins.
    gtest_discover_tests(${T_NAME}
        DISCOVERY_TIMEOUT 60
        NO_PRETTY_VALUES
        PROPERTIES LABELS "${T_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120
                   ${T_PROPERTIES})
endfunction()
