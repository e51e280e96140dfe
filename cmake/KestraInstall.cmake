# SPDX-License-Identifier: GPL-3.0-or-later
# Installing Kestra.
#
# `cmake --install` (and `make install`, which honours DESTDIR and PREFIX) puts the three
# programs in bin/, the desktop file, the AppStream metainfo, the application icon in the hicolor
# theme (the SVG plus PNG sizes rendered from it with rsvg-convert) and the man pages of the
# three programs under share/. The Debian package (debian/, `make package`) installs with the
# same rules.
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
