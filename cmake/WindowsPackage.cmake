# What `cmake --install` puts where in the Windows build, and the ZIP CPack makes of it
# (cpack --config <build>/CPackConfig.cmake): a folder that runs where it is unpacked.
#   tessaline-cli.exe, tessaline.exe
#   Qt6*.dll and the MinGW-w64 runtime DLLs beside them; platforms/ and styles/, Qt's plugins
#   help/                    where the desktop program's Help looks beside it
#   README.txt               what the programs are, how they attach to Visio, what was tested
#   licenses/                the notices of everything compiled in or shipped beside
# The programs link pugixml, libzip and zlib statically; Qt is shipped as its own DLLs, so that
# it can be replaced, as its licence asks.

install(TARGETS tessaline-cli RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/windows/README.txt DESTINATION .)

# The licence texts are Debian's: the copyright file of the package each library's source or
# build came from, and the full texts they refer to.
set(tessaline_notices
    libpugixml-dev pugixml
    libzip-dev libzip
    libz-mingw-w64-dev zlib
    libcli11-dev CLI11
    nlohmann-json3-dev nlohmann-json
    libutfcpp-dev utfcpp
    gcc-mingw-w64-base gcc-runtime
    mingw-w64-common mingw-w64-runtime)
if(TESSALINE_BUILD_DESKTOP)
    list(APPEND tessaline_notices qt6-base-dev Qt)
endif()
while(tessaline_notices)
    list(POP_FRONT tessaline_notices package name)
    set(notice /usr/share/doc/${package}/copyright)
    if(NOT EXISTS ${notice})
        message(FATAL_ERROR "${notice} is missing: run bash scripts/setup.sh --windows")
    endif()
    install(FILES ${notice} DESTINATION licenses RENAME ${name}.txt)
endwhile()
install(FILES /usr/share/common-licenses/GPL-3 /usr/share/common-licenses/LGPL-3
        DESTINATION licenses)

if(TESSALINE_BUILD_DESKTOP)
    install(TARGETS tessaline RUNTIME DESTINATION .)
    install(FILES ${TESSALINE_QT_RUNTIME_DLLS} DESTINATION .)
    install(FILES ${TESSALINE_QT_PLATFORM_PLUGINS} DESTINATION platforms)
    install(FILES ${TESSALINE_QT_STYLE_PLUGINS} DESTINATION styles)
    install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/help/ DESTINATION help)
    # The DLLs keep their symbol tables (a third of Qt's size): stripped when the programs are.
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            file(GLOB dlls \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll
                 \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/platforms/*.dll
                 \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/styles/*.dll)
            execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded \${dlls}
                            COMMAND_ERROR_IS_FATAL ANY)
        endif()")
endif()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VENDOR "Tessaline")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tessaline-${PROJECT_VERSION}-windows-x64)
# One folder of the package's name holds everything.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
