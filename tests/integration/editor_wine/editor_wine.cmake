# The editor in a real Win32 host window under Wine, worked with synthesised mouse and keys.
if(WIN32)
    add_executable(editor_input_test ${CMAKE_CURRENT_LIST_DIR}/EditorInputTest.cpp)
    target_include_directories(editor_input_test PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(editor_input_test PRIVATE user32 gdi32)
    target_link_options(editor_input_test PRIVATE -static -static-libgcc -static-libstdc++)
    add_dependencies(editor_input_test Bleepifier)
    # The Shift case needs a helper that holds Shift in the X server (see the test).
    # The system's own interpreter: wrappers in front of it may not pass the display on.
    find_program(BLEEP_HOST_PYTHON3 python3 PATHS /usr/bin /bin NO_DEFAULT_PATH)
    set(xkey)
    if(BLEEP_HOST_PYTHON3)
        set(xkey ${BLEEP_HOST_PYTHON3} ${CMAKE_CURRENT_LIST_DIR}/hold_x_key.py)
    endif()
    add_test(NAME editor_input_test COMMAND editor_input_test $<TARGET_FILE:Bleepifier> ${xkey})
    # Real input needs the display to itself.
    set_tests_properties(editor_input_test PROPERTIES RUN_SERIAL TRUE SKIP_RETURN_CODE 77
                         TIMEOUT 600)
endif()
