# GUI toolkit tests outside the unit tests: the pixel-comparison scene (software canvas natively,
# GDI under Wine) and, on Windows, frames in real Win32 windows.
set(gui_dir ${CMAKE_CURRENT_SOURCE_DIR}/gui)
set(host_dir ${CMAKE_CURRENT_SOURCE_DIR}/host)
if(WIN32)
    add_executable(gui_scene_gdi ${gui_dir}/GuiSceneGdi.cpp ${gui_dir}/GuiScene.cpp)
    add_executable(gui_window_test ${gui_dir}/GuiWindowTest.cpp ${host_dir}/HostWindowWin32.cpp)
    target_include_directories(gui_window_test PRIVATE ${host_dir})
    foreach(program gui_scene_gdi gui_window_test)
        target_link_libraries(${program} PRIVATE bleep_gui)
        target_include_directories(${program} PRIVATE ${gui_dir})
        target_link_options(${program} PRIVATE -static -static-libgcc -static-libstdc++)
    endforeach()
    add_test(NAME gui_window_test COMMAND gui_window_test)
    # The editor inside the real plug-in DLL, driven through its entry like a host.
    add_executable(editor_dll_test ${gui_dir}/EditorDllTest.cpp ${host_dir}/HostWindowWin32.cpp)
    target_include_directories(editor_dll_test PRIVATE ${PROJECT_SOURCE_DIR} ${host_dir})
    target_link_options(editor_dll_test PRIVATE -static -static-libgcc -static-libstdc++)
    add_dependencies(editor_dll_test Bleepifier)
    add_test(NAME editor_dll_test COMMAND editor_dll_test $<TARGET_FILE:Bleepifier>)
    # The comparison needs the native build's rendering of the same scene; the test script
    # builds natively beside the cross builds (<build>/native), so that is the default.
    set(native_dir ${BLEEP_NATIVE_BUILD_DIR})
    if(NOT native_dir AND EXISTS ${CMAKE_BINARY_DIR}/../native/CMakeCache.txt)
        get_filename_component(native_dir ${CMAKE_BINARY_DIR}/../native ABSOLUTE)
    endif()
    if(native_dir)
        add_test(NAME gui_pixel_compare
                 COMMAND gui_scene_gdi ${CMAKE_CURRENT_BINARY_DIR}/gui-scene-gdi.ppm
                         ${native_dir}/tests/integration/gui-scene-soft.ppm)
    else()
        add_test(NAME gui_scene_gdi COMMAND gui_scene_gdi ${CMAKE_CURRENT_BINARY_DIR}/gui-scene-gdi.ppm)
    endif()
    # Wine reports 77 where it cannot run this architecture. Each takes well under a minute, also
    # under 32-bit emulation; the bound only stops a hang.
    foreach(test gui_window_test editor_dll_test gui_pixel_compare gui_scene_gdi)
        if(TEST ${test})
            set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
        endif()
    endforeach()
else()
    add_executable(gui_scene_soft ${gui_dir}/GuiSceneSoft.cpp ${gui_dir}/GuiScene.cpp)
    target_link_libraries(gui_scene_soft PRIVATE bleep_gui)
    target_include_directories(gui_scene_soft PRIVATE ${gui_dir})
    add_test(NAME gui_scene_soft COMMAND gui_scene_soft ${CMAKE_CURRENT_BINARY_DIR}/gui-scene-soft.ppm)
endif()
