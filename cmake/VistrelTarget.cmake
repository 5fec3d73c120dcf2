# What every target of ours is built with: warnings, and Qt's strict settings, which turn
# quiet conversions of bytes to text and narrowing signal arguments into compile errors and
# keep APIs that Qt 6.4 already deprecates out of the code. Linked PRIVATE by each target.
add_library(vistrel_common INTERFACE)
target_compile_options(vistrel_common INTERFACE -Wall -Wextra
    $<$<BOOL:${VISTREL_WERROR}>:-Werror>)
target_compile_definitions(vistrel_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_FORCE_ASSERTS
    # Qt 6.5 and later read the first; 6.4 knows only the second, which counts from the
    # version after.
    QT_DISABLE_DEPRECATED_UP_TO=0x060400
    QT_DISABLE_DEPRECATED_BEFORE=0x060500)

# Registers a GoogleTest executable built from the given sources with CTest.
# Usage: vistrel_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib... [LABELS l...]
#                         [PROPERTIES prop value...])
# A suite that links the sample listing site is left out when the site is not built.
function(vistrel_add_test)
    cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
    if(NOT VISTREL_WITH_TESTS)
        return()
    endif()
    if("listing_site_server" IN_LIST T_LIBS AND NOT "tools/listing_site" IN_LIST VISTREL_FOLDERS)
        message(STATUS "${T_NAME} left out: it needs the sample listing site")
        return()
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    # Test programs live apart from the program folder build/bin/, so their own program
    # folder (build/tests/) never mixes with the real one.
    set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${T_NAME} PRIVATE vistrel_common ${T_LIBS}
        GTest::gtest GTest::gmock GTest::gtest_main)
    # Parameter values stay out of the test names: byte tables would print as raw memory.
    # A test that hangs fails after two minutes (even under a sanitizer none comes near it)
    # instead of holding the whole run until CI gives up; a caller's TIMEOUT comes later and wins.
    gtest_discover_tests(${T_NAME}
        DISCOVERY_TIMEOUT 60
        NO_PRETTY_VALUES
        PROPERTIES LABELS "${T_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120
                   ${T_PROPERTIES})
endfunction()
