# End-to-end tests of the bleepify renderer: the real program driving the real plug-in binary.
# Included from tests/integration/CMakeLists.txt.
if(NOT CMAKE_CROSSCOMPILING AND TARGET bleepify AND TARGET Bleepifier AND TARGET GTest::gtest)
    # Libraries that look like plug-ins but are not, for the error cases.
    set(fixtures ${CMAKE_CURRENT_LIST_DIR}/bleepify/fixtures)
    add_library(bleepify_fixture_no_entry MODULE ${fixtures}/NotAPlugin.cpp)
    add_library(bleepify_fixture_null_entry MODULE ${fixtures}/NotAPlugin.cpp)
    foreach(fixture bleepify_fixture_no_entry bleepify_fixture_null_entry)
        target_include_directories(${fixture} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../..)
    endforeach()
    target_compile_definitions(bleepify_fixture_null_entry PRIVATE WITH_NULL_ENTRY=1)

    file(GLOB bleepify_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/bleepify/*.cpp)
    add_executable(test_bleepify ${bleepify_test_sources})
    target_include_directories(test_bleepify PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../.. ${SNDFILE_INCLUDE_DIR})
    target_link_libraries(test_bleepify PRIVATE ${SNDFILE_LIBRARY} GTest::gtest GTest::gtest_main)
    target_compile_definitions(test_bleepify PRIVATE
        BLEEPIFY_EXE="$<TARGET_FILE:bleepify>"
        BLEEPIFIER_PLUGIN="$<TARGET_FILE:Bleepifier>"
        NO_ENTRY_LIBRARY="$<TARGET_FILE:bleepify_fixture_no_entry>"
        NULL_ENTRY_LIBRARY="$<TARGET_FILE:bleepify_fixture_null_entry>")
    add_dependencies(test_bleepify bleepify Bleepifier bleepify_fixture_no_entry
                     bleepify_fixture_null_entry)
    gtest_discover_tests(test_bleepify DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "integration")
endif()
