# Release artefacts through CPack (scripts/package.sh drives it): on Linux a Debian package with
# the VST plug-in, the LV2 bundle and bleepify; for each Windows DLL a zip with a short readme.
set(CPACK_PACKAGE_NAME bleepifier)
set(CPACK_PACKAGE_VENDOR "Tanuvo Soft")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Pitch-following chip-sound effect (VST 2.4 and LV2 plug-ins, bleepify renderer)")
set(CPACK_PACKAGE_CONTACT "Tanuvo Soft <support@tanuvo.example>")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
    # The DLL and a plain-text readme side by side at the zip's top, ready to drop into a plug-in
    # folder. The readme has Windows line ends, so that every Windows editor shows it as written.
    set(CPACK_GENERATOR ZIP)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(CPACK_SYSTEM_NAME win32)
        set(BLEEP_ZIP_BITS 32)
    else()
        set(CPACK_SYSTEM_NAME win64)
        set(BLEEP_ZIP_BITS 64)
    endif()
    set(BLEEP_ZIP_32 ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-win32.zip)
    set(BLEEP_ZIP_64 ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-win64.zip)
    configure_file(${PROJECT_SOURCE_DIR}/resources/ReadMe-Windows.txt.in
                   ${CMAKE_BINARY_DIR}/Bleepifier-ReadMe.txt @ONLY NEWLINE_STYLE CRLF)
    install(FILES ${CMAKE_BINARY_DIR}/Bleepifier-ReadMe.txt DESTINATION .)
    # The shipped DLL without the debug sections the static runtimes bring along.
    set(CPACK_STRIP_FILES ON)
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION sound)
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Follows the pitch of a voice or instrument and plays it back as a chip sound.\n\
Plug-ins for VST 2.4 hosts (lib/vst) and LV2 hosts (lib/lv2), and the bleepify\n\
command that renders audio files through the plug-in.")
    find_program(BLEEP_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(BLEEP_DPKG_SHLIBDEPS)
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    endif()
endif()
include(CPack)
