# Packs the build as the release script does, with one cpack generator, into ${SCRATCH}/packages;
# sets out to the one package made (of the extension given) or stops with what cpack said.
function(pack_once generator extension what out)
    file(REMOVE_RECURSE ${SCRATCH})
    execute_process(COMMAND ${CPACK} -G ${generator} -B ${SCRATCH}/packages
                    WORKING_DIRECTORY ${BUILD}
                    RESULT_VARIABLE failed OUTPUT_VARIABLE log ERROR_VARIABLE log)
    file(GLOB packages ${SCRATCH}/packages/*.${extension})
    list(LENGTH packages count)
    if(failed OR NOT count EQUAL 1)
        message(FATAL_ERROR "cpack made no ${what}: ${log}")
    endif()
    set(${out} ${packages} PARENT_SCOPE)
endfunction()
