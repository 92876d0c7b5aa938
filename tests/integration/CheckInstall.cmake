# Installs the build into a scratch prefix and checks what a user gets: the plug-in where Linux
# hosts look for VST 2.4 plug-ins, the LV2 bundle (when built) where they look for LV2 ones, and a
# bleepify on the PATH that finds the VST plug-in by itself.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "cmake --install failed")
endif()
set(expected lib/vst/Bleepifier.so bin/bleepify)
if(LV2)
    foreach(file Bleepifier.so manifest.ttl Bleepifier.ttl presets.ttl)
        list(APPEND expected lib/lv2/Bleepifier.lv2/${file})
    endforeach()
endif()
foreach(file ${expected})
    if(NOT EXISTS ${PREFIX}/${file})
        message(FATAL_ERROR "missing ${file} in the installed tree")
    endif()
endforeach()
unset(ENV{BLEEPIFY_PLUGIN})
execute_process(COMMAND ${PREFIX}/bin/bleepify params RESULT_VARIABLE failed
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors)
if(failed OR NOT listing MATCHES "DutyRatio")
    message(FATAL_ERROR "installed bleepify could not use the installed plug-in: ${errors}")
endif()
