# test_plugin_tsan: the thread stress test with the plug-in and the signal processing compiled
# for ThreadSanitizer, registered as an ordinary test. The plug-in's sources are compiled again
# here, so the sanitizer sees every access of both threads.
if(NOT BLEEP_TSAN OR BLEEP_SANITIZE OR CMAKE_CROSSCOMPILING)
    return()
endif()

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS -fsanitize=thread)
set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=thread)
check_cxx_source_compiles("int main() { return 0; }" BLEEP_HAVE_TSAN)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(NOT BLEEP_HAVE_TSAN)
    message(STATUS "ThreadSanitizer not available: the thread stress test runs uninstrumented only")
    return()
endif()

get_target_property(tsan_plugin_sources bleep_plugin SOURCES)
get_target_property(tsan_sound_sources bleep_sound SOURCES)
get_target_property(tsan_plugin_links bleep_plugin LINK_LIBRARIES)
list(REMOVE_ITEM tsan_plugin_links bleep_sound)
add_executable(test_plugin_tsan ${CMAKE_CURRENT_LIST_DIR}/ThreadStressTest.cpp
               ${tsan_plugin_sources} ${tsan_sound_sources})
target_include_directories(test_plugin_tsan PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(test_plugin_tsan PRIVATE -fsanitize=thread -g -fno-omit-frame-pointer)
bleep_dft_wide(test_plugin_tsan)
target_link_options(test_plugin_tsan PRIVATE -fsanitize=thread)
target_link_libraries(test_plugin_tsan PRIVATE ${tsan_plugin_links} GTest::gtest GTest::gtest_main
                      Threads::Threads)
add_test(NAME plugin_thread_sanitizer COMMAND test_plugin_tsan)
# Any report fails the test: stop at the first one with a non-zero exit.
set_tests_properties(plugin_thread_sanitizer PROPERTIES
                     ENVIRONMENT "TSAN_OPTIONS=halt_on_error=1:exitcode=66:second_deadlock_stack=1"
                     TIMEOUT 600)
