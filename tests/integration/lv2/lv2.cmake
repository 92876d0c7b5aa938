# The LV2 bundle: Debian's validator on its description, and a lilv host that compares its sound
# with the VST shared object's.
if(NOT TARGET Bleepifier_lv2 OR NOT TARGET GTest::gtest)
    return()
endif()
set(lv2_dir ${CMAKE_CURRENT_SOURCE_DIR}/lv2)
get_filename_component(lv2_path ${BLEEP_LV2_BUNDLE} DIRECTORY)

# Neither the LV2 DSP binary nor the core's tests link a GUI library.
if(CMAKE_READELF)
    foreach(binary Bleepifier_lv2 test_plugin)
        if(TARGET ${binary})
            add_test(NAME ${binary}_links_no_gui COMMAND ${CMAKE_READELF} -d $<TARGET_FILE:${binary}>)
            set_tests_properties(${binary}_links_no_gui PROPERTIES
                                 PASS_REGULAR_EXPRESSION "NEEDED.*libc\\.so"
                                 FAIL_REGULAR_EXPRESSION "libX|libxcb|libfreetype|libpng")
        endif()
    endforeach()
endif()

find_program(LV2_VALIDATE lv2_validate)
find_program(SORD_VALIDATE sord_validate)
if(LV2_VALIDATE AND SORD_VALIDATE)
    add_test(NAME lv2_validate
             COMMAND ${LV2_VALIDATE} ${BLEEP_LV2_BUNDLE}/manifest.ttl
                     ${BLEEP_LV2_BUNDLE}/Bleepifier.ttl ${BLEEP_LV2_BUNDLE}/presets.ttl)
    set_tests_properties(lv2_validate PROPERTIES FAIL_REGULAR_EXPRESSION "[1-9][0-9]* errors")
endif()

find_package(PkgConfig)
if(PKG_CONFIG_FOUND)
    pkg_check_modules(LILV IMPORTED_TARGET lilv-0)
endif()
if(LILV_FOUND)
    add_executable(lv2_host_test ${lv2_dir}/Lv2HostTest.cpp
                   ${CMAKE_CURRENT_SOURCE_DIR}/host/PluginLoaderPosix.cpp
                   ${PROJECT_SOURCE_DIR}/tools/bleepify/DemoPhrase.cpp)
    target_include_directories(lv2_host_test PRIVATE ${PROJECT_SOURCE_DIR}
                               ${CMAKE_CURRENT_SOURCE_DIR}/host)
    target_link_libraries(lv2_host_test PRIVATE bleep_plugin bleep_test_support PkgConfig::LILV
                          GTest::gtest ${CMAKE_DL_LIBS})
    add_dependencies(lv2_host_test Bleepifier Bleepifier_lv2)
    # Only this bundle and the specifications Debian installs.
    add_test(NAME lv2_host COMMAND lv2_host_test ${lv2_path}:/usr/lib/lv2
                                   $<TARGET_FILE:Bleepifier>)
    set_tests_properties(lv2_host PROPERTIES TIMEOUT 600)
endif()

find_program(LV2APPLY lv2apply)
find_package(Python3 COMPONENTS Interpreter)
if(LV2APPLY AND Python3_FOUND AND TARGET bleepify)
    add_test(NAME lv2apply_render
             COMMAND ${Python3_EXECUTABLE} ${lv2_dir}/lv2apply_render.py ${CMAKE_BINARY_DIR}
                     ${CMAKE_CURRENT_BINARY_DIR}/lv2apply-check $<TARGET_FILE:bleepify>)
    set_tests_properties(lv2apply_render PROPERTIES TIMEOUT 300)
endif()

# The latency Ardour's headless Lua host gives the insert, on its Dummy backend.
find_program(ARDOUR_LUA NAMES ardour7-lua ardour8-lua)
if(ARDOUR_LUA)
    add_test(NAME lv2_ardour_latency
             COMMAND ${ARDOUR_LUA} ${lv2_dir}/ardour_latency.lua ${CMAKE_CURRENT_BINARY_DIR})
    set_tests_properties(lv2_ardour_latency PROPERTIES ENVIRONMENT "LV2_PATH=${lv2_path}"
                         PASS_REGULAR_EXPRESSION "ardour latency: ok" TIMEOUT 120)
endif()

# The factory presets follow the pitch of voices that espeak-ng speaks (skipped without it).
if(Python3_FOUND AND TARGET bleepify)
    add_test(NAME lv2_preset_following
             COMMAND ${Python3_EXECUTABLE} ${lv2_dir}/preset_following.py $<TARGET_FILE:bleepify>
                     ${BLEEP_LV2_BUNDLE}/presets.ttl ${CMAKE_CURRENT_BINARY_DIR}/preset-following)
    set_tests_properties(lv2_preset_following PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
endif()

# The UI in a small UI host under Xvfb.
if(LILV_FOUND AND TARGET Bleepifier_lv2_ui AND XVFB_RUN)
    find_package(X11)
    if(X11_XTest_FOUND)
        add_executable(lv2_ui_test ${lv2_dir}/Lv2UiTest.cpp)
        target_include_directories(lv2_ui_test PRIVATE ${PROJECT_SOURCE_DIR})
        target_link_libraries(lv2_ui_test PRIVATE bleep_editor PkgConfig::LILV X11::X11 X11::Xtst
                              GTest::gtest Threads::Threads ${CMAKE_DL_LIBS})
        add_dependencies(lv2_ui_test Bleepifier_lv2)
        add_test(NAME lv2_ui
                 COMMAND ${XVFB_RUN} -s "-screen 0 1024x768x24"
                         $<TARGET_FILE:lv2_ui_test> ${lv2_path}:/usr/lib/lv2)
        set_tests_properties(lv2_ui PROPERTIES TIMEOUT 300)
    endif()
endif()
