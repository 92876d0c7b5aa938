# Cross build for Windows with MinGW-w64.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DBLEEP_MINGW_TRIPLE=i686-w64-mingw32 ...
# BLEEP_MINGW_TRIPLE is i686-w64-mingw32 (the 32-bit product) or x86_64-w64-mingw32.
if(NOT BLEEP_MINGW_TRIPLE)
    set(BLEEP_MINGW_TRIPLE i686-w64-mingw32)
endif()
set(BLEEP_MINGW_TRIPLE ${BLEEP_MINGW_TRIPLE} CACHE STRING "MinGW-w64 target triple")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BLEEP_MINGW_TRIPLE)

set(CMAKE_SYSTEM_NAME Windows)
if(BLEEP_MINGW_TRIPLE MATCHES "^x86_64")
    set(CMAKE_SYSTEM_PROCESSOR AMD64)
else()
    set(CMAKE_SYSTEM_PROCESSOR x86)
endif()

# The -posix variants carry std::thread; fall back to the plain names.
foreach(lang C CXX)
    if(lang STREQUAL C)
        set(tool gcc)
    else()
        set(tool g++)
    endif()
    find_program(BLEEP_${lang}_COMPILER NAMES ${BLEEP_MINGW_TRIPLE}-${tool}-posix ${BLEEP_MINGW_TRIPLE}-${tool})
    set(CMAKE_${lang}_COMPILER ${BLEEP_${lang}_COMPILER})
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${BLEEP_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BLEEP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine through a wrapper that provides a display and a private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
