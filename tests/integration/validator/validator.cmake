# The host validator: one program for all three binaries, each category a test of its own.
# Not in sanitizer builds, whose allocator its interposed allocation functions would displace.
if(BLEEP_SANITIZE)
    return()
endif()
set(validator_dir ${CMAKE_CURRENT_LIST_DIR})
set(host_dir ${CMAKE_CURRENT_SOURCE_DIR}/host)
add_executable(validator
    ${validator_dir}/ValidatorMain.cpp ${validator_dir}/Validator.cpp ${validator_dir}/Signals.cpp
    ${validator_dir}/LifecycleChecks.cpp ${validator_dir}/SignalChecks.cpp
    ${validator_dir}/BlockChecks.cpp ${validator_dir}/HeapChecks.cpp
    ${validator_dir}/ThreadChecks.cpp ${validator_dir}/TextChecks.cpp
    ${validator_dir}/StateChecks.cpp ${validator_dir}/EditorChecks.cpp
    ${host_dir}/TestHost.cpp)
target_include_directories(validator PRIVATE ${PROJECT_SOURCE_DIR} ${host_dir} ${validator_dir})
if(WIN32)
    target_sources(validator PRIVATE ${host_dir}/PluginLoaderWin32.cpp
                   ${validator_dir}/HeapProbeWin32.cpp ${host_dir}/HostWindowWin32.cpp
                   ${validator_dir}/DropTargetChecks.cpp ${validator_dir}/GestureChecks.cpp)
    target_link_libraries(validator PRIVATE user32 gdi32 ole32 uuid)
    target_link_options(validator PRIVATE -static -static-libgcc -static-libstdc++)
else()
    find_package(Threads REQUIRED)
    find_package(X11)
    target_sources(validator PRIVATE ${host_dir}/PluginLoaderPosix.cpp
                   ${validator_dir}/HeapProbePosix.cpp)
    if(X11_FOUND)
        target_sources(validator PRIVATE ${host_dir}/HostWindowX11.cpp)
        target_link_libraries(validator PRIVATE X11::X11)
    else()
        target_sources(validator PRIVATE ${host_dir}/HostWindowNone.cpp)
    endif()
    target_link_libraries(validator PRIVATE Threads::Threads ${CMAKE_DL_LIBS})
    # The interposed allocation functions must be the ones the loaded plug-in binds to.
    set_target_properties(validator PROPERTIES ENABLE_EXPORTS ON)
endif()
add_dependencies(validator Bleepifier)

# The categories are the check groups the compiled sources register (CHECK_GROUP("name", ...), as
# --list prints them); an edit of a source reads them again.
get_target_property(validator_sources validator SOURCES)
set(validator_categories)
foreach(source ${validator_sources})
    file(STRINGS ${source} registrations REGEX "^CHECK_GROUP\\( *\"[^\"]+\"")
    foreach(registration ${registrations})
        string(REGEX REPLACE "^CHECK_GROUP\\( *\"([^\"]+)\".*" "\\1" category "${registration}")
        list(APPEND validator_categories ${category})
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endforeach()
if(NOT validator_categories)
    message(FATAL_ERROR "No CHECK_GROUP found in the validator's sources: how do they register?")
endif()
list(SORT validator_categories)
foreach(category ${validator_categories})
    if(category STREQUAL editor AND NOT WIN32 AND XVFB_RUN)
        add_test(NAME validator_${category}
                 COMMAND ${XVFB_RUN} -s "-screen 0 1024x768x24"
                         $<TARGET_FILE:validator> $<TARGET_FILE:Bleepifier> ${category})
    else()
        add_test(NAME validator_${category}
                 COMMAND validator $<TARGET_FILE:Bleepifier> ${category})
    endif()
    set_tests_properties(validator_${category} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endforeach()
# Synthesised input needs Wine's desktop to itself, as the editor input test does: other Wine
# programs share its pointer and foreground window.
if(TEST validator_gestures)
    set_tests_properties(validator_gestures PROPERTIES RUN_SERIAL TRUE)
endif()
# The categories read above against the program's own list (sorted alike): a group the reading
# misses fails here.
set(listing "categories:\r?\n")
foreach(category ${validator_categories})
    string(APPEND listing "  ${category} +[^\r\n]*\r?\n")
endforeach()
add_test(NAME validator_categories COMMAND validator --list)
set_tests_properties(validator_categories PROPERTIES PASS_REGULAR_EXPRESSION "${listing}([^ ]|$)"
                     SKIP_RETURN_CODE 77)
