# SPDX-License-Identifier: GPL-3.0-or-later
# Installing Kestra and packaging it as a .deb.
#
# `cmake --install` (and `make install`, which honours DESTDIR and PREFIX) puts the three
# programs in bin/, the desktop file, the AppStream metainfo, the application icon in the hicolor
# theme (the SVG plus PNG sizes rendered from it with rsvg-convert) and the man pages of
# the three programs under share/. `make package` runs CPack on the same rules: a .deb for /usr whose
# library dependencies come from dpkg-shlibdeps.
#
# The installed programs keep looking for Program.ini, Default.dat and the bitmaps in their own
# folder (or $KESTRA_HOME); Program.ini falls back to ~/.config/kestra/ where that folder is not
# writable, so nothing besides the rules below needs to know about the installed layout.

include(GNUInstallDirs)

# The application's id: the desktop file, the metainfo, the icon and the Wayland app id.
set(KESTRA_APP_ID "io.github.kestra_radio.Kestra")
set(KESTRA_PACKAGING_DIR "${CMAKE_SOURCE_DIR}/packaging")
set(KESTRA_ICON_SIZES 16 22 24 32 48 64 128 256)

install(TARGETS kestra kestra-cli kestra-virtual-radio
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES "${KESTRA_PACKAGING_DIR}/${KESTRA_APP_ID}.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${KESTRA_PACKAGING_DIR}/${KESTRA_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "${KESTRA_PACKAGING_DIR}/${KESTRA_APP_ID}.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# PNG sizes of the icon, for desktops and menus that do not draw SVG.
find_program(KESTRA_RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_outputs)
foreach(size IN LISTS KESTRA_ICON_SIZES)
    set(png "${CMAKE_BINARY_DIR}/icons/${size}x${size}/${KESTRA_APP_ID}.png")
    add_custom_command(
        OUTPUT "${png}"
        COMMAND ${CMAKE_COMMAND} -E make_directory "${CMAKE_BINARY_DIR}/icons/${size}x${size}"
        COMMAND ${KESTRA_RSVG_CONVERT} -w ${size} -h ${size} -o "${png}"
                "${KESTRA_PACKAGING_DIR}/${KESTRA_APP_ID}.svg"
        DEPENDS "${KESTRA_PACKAGING_DIR}/${KESTRA_APP_ID}.svg"
        COMMENT "Rendering the ${size}x${size} application icon"
        VERBATIM)
    list(APPEND icon_outputs "${png}")
    install(FILES "${png}" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The man pages carry the program's version and are installed compressed, as Debian wants.
set(man_outputs)
foreach(program IN ITEMS kestra kestra-cli kestra-virtual-radio)
    set(page "${CMAKE_BINARY_DIR}/man/${program}.1")
    configure_file("${KESTRA_PACKAGING_DIR}/${program}.1.in" "${page}" @ONLY)
    add_custom_command(
        OUTPUT "${page}.gz"
        COMMAND gzip -9nkf "${page}"
        DEPENDS "${page}"
        COMMENT "Compressing the man page of ${program}"
        VERBATIM)
    list(APPEND man_outputs "${page}.gz")
    install(FILES "${page}.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

add_custom_target(kestra_install_data ALL DEPENDS ${icon_outputs} ${man_outputs})

# So that Wayland compositors match the running program to its desktop file and icon.
target_compile_definitions(kestra_ui PRIVATE KESTRA_APP_ID="${KESTRA_APP_ID}")

# ---- the .deb ----------------------------------------------------------------------------
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kestra")
set(CPACK_PACKAGE_VENDOR "Kestra")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programming software for a dual-band handheld radio")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kestra reads the memory of a dual-band handheld FM radio over a serial programming cable, "
    "edits its channels in a grid and its settings in dialogs, keeps the memory as files and "
    "writes it back. It includes kestra-cli for scripts, with a cable doctor that finds out why "
    "a cable does not work, and kestra-virtual-radio, a radio emulator on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kestra developers")
set(CPACK_DEBIAN_PACKAGE_SECTION "hamradio")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its windowing plugins at run time, so shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_OUTPUT_FILE_PREFIX "${CMAKE_BINARY_DIR}/packages")
include(CPack)
