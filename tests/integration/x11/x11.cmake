# The shared object's editor in an X server (Xvfb), driven through the XTest extension.
if(NOT WIN32)
    find_package(X11)
endif()
if(NOT WIN32 AND BLEEP_X11 AND X11_FOUND AND X11_XTest_FOUND AND X11_Xfixes_FOUND AND XVFB_RUN AND TARGET GTest::gtest)
    set(x11_dir ${CMAKE_CURRENT_SOURCE_DIR}/x11)
    add_executable(x11_editor_test ${x11_dir}/X11EditorTest.cpp
                                   ${CMAKE_CURRENT_SOURCE_DIR}/host/PluginLoaderPosix.cpp)
    target_include_directories(x11_editor_test PRIVATE ${PROJECT_SOURCE_DIR}
                               ${CMAKE_CURRENT_SOURCE_DIR}/host)
    target_link_libraries(x11_editor_test PRIVATE bleep_editor X11::X11 X11::Xtst X11::Xfixes GTest::gtest
                          Threads::Threads ${CMAKE_DL_LIBS})
    add_dependencies(x11_editor_test Bleepifier)
    add_test(NAME x11_editor
             COMMAND ${XVFB_RUN} -s "-screen 0 1024x768x24"
                     $<TARGET_FILE:x11_editor_test> $<TARGET_FILE:Bleepifier>)
    set_tests_properties(x11_editor PROPERTIES TIMEOUT 300)
endif()
