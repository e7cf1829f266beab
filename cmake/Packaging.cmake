# What `cmake --install` puts where, and the Debian package CPack builds from it:
#   bin/tessaline-cli, bin/tessaline
#   share/tessaline/help/        the desktop program looks for it at <program dir>/../share/tessaline/help
#   share/applications/tessaline.desktop, share/icons/hicolor/scalable/apps/tessaline.svg
#   share/doc/tessaline/copyright   notices of the libraries compiled into the programs
# Only the programs and what they read at run time are installed: no libraries, headers, tests
# or benchmarks.
include(GNUInstallDirs)

set(TESSALINE_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tessaline)

install(TARGETS tessaline-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/copyright DESTINATION ${TESSALINE_DOC_DIR})

if(TESSALINE_BUILD_DESKTOP)
    install(TARGETS tessaline RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/help/
            DESTINATION ${CMAKE_INSTALL_DATADIR}/tessaline/help)
    # The entry's file name matches the program's, which is the window class Qt gives its
    # windows, so docks and task bars tie the running program to this entry and its icon.
    install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/tessaline.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/tessaline.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# cpack --config <build>/CPackConfig.cmake builds tessaline_<version>-<release>_<arch>.deb.
set(TESSALINE_PACKAGE_MAINTAINER
    "Tessaline maintainers <maintainers@users.noreply.c-seed-7f154644.example>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VENDOR "Tessaline")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TESSALINE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "copies ShapeSheet sections, rows and formulas between Visio shapes")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR TXZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSALINE_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The Depends line comes from the libraries the programs link, as dpkg-shlibdeps (dpkg-dev)
# finds them on the building machine.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack makes CPACK_PACKAGE_DESCRIPTION_SUMMARY the first line; this is the long text below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tessaline copies ShapeSheet content (whole sections, chosen rows and the
formulas of their cells) from one Visio shape, page sheet or document sheet
to one or many others, rewriting the references in the copied formulas so
that what pointed at the source points at the destination. It works on
.vsdx, .vsdm, .vssx, .vssm, .vstx and .vstm files directly.
.
This package holds the command line, tessaline-cli")
if(TESSALINE_BUILD_DESKTOP)
    string(APPEND CPACK_DEBIAN_PACKAGE_DESCRIPTION ",\nand the desktop program, tessaline.")
    # Loaded at run time, so dpkg-shlibdeps cannot see them: Qt's SVG plugin draws the
    # program's icons (it falls back on the style's own without it), and xdg-open shows the help.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6svg6, xdg-utils")
else()
    string(APPEND CPACK_DEBIAN_PACKAGE_DESCRIPTION ".")
endif()

include(CPack)
