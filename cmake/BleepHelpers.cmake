# Includes are written from the repository root ("gui/CFrame.h"), but no target gets the root
# itself: each source folder has an include root of its own, in the build tree, that holds only
# that folder (a link to it). A library publishes its folder's root, so a target sees the folders
# of the libraries it links and no others, and an include that crosses that line fails to compile.
# Tests and benchmarks see the whole tree.
function(bleep_include_roots target scope)
    foreach(folder ${ARGN})
        string(REPLACE "/" "_" name ${folder})
        set(root ${CMAKE_BINARY_DIR}/include-roots/${name})
        if(NOT IS_SYMLINK ${root}/${folder})
            get_filename_component(parent ${root}/${folder} DIRECTORY)
            file(MAKE_DIRECTORY ${parent})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
        endif()
        target_include_directories(${target} ${scope} ${root})
    endforeach()
endfunction()

# A folder's library is the .cpp files it holds (plus any extra globs); new files need no list edits.
# A folder without sources yet yields an interface library so that dependants still link.
function(bleep_library name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${ARGN})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    if(sources)
        add_library(${name} STATIC ${sources})
        bleep_include_roots(${name} PUBLIC ${folder})
    else()
        add_library(${name} INTERFACE)
        bleep_include_roots(${name} INTERFACE ${folder})
    endif()
endfunction()

# Links a target's dependencies whether the library is static or still interface-only.
function(bleep_link name)
    get_target_property(kind ${name} TYPE)
    if(kind STREQUAL "INTERFACE_LIBRARY")
        target_link_libraries(${name} INTERFACE ${ARGN})
    else()
        target_link_libraries(${name} PUBLIC ${ARGN})
    endif()
endfunction()

# One GoogleTest executable per tests/ subfolder, mirroring the source folders.
function(bleep_gtest name)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main Threads::Threads)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()
