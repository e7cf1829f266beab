# The Windows programs as a ZIP, from the cross build:
#   cpack --config build/windows-cross/CPackConfig.cmake -B build/windows-package
# makes tessaline-<version>-windows-x64.zip holding, in a folder of that name:
#   tessaline-cli.exe      the command line, linked statically: it needs no DLL beside it
#   README.md
#   licenses/              the notices of everything compiled into the program: the
#                          header-only libraries, pugixml, libzip, zlib, the MinGW-w64 runtime
#                          and GCC's runtime libraries (from the Debian packages that built them)
install(TARGETS tessaline-cli RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/resources/linux/copyright DESTINATION licenses
        RENAME header-only-libraries.txt)
foreach(notice "libpugixml1v5;pugixml" "libzip4;libzip" "libz-mingw-w64;zlib"
               "mingw-w64-x86-64-dev;mingw-w64-runtime" "gcc-mingw-w64-base;gcc-runtime")
    list(GET notice 0 package)
    list(GET notice 1 name)
    set(file /usr/share/doc/${package}/copyright)
    if(NOT EXISTS ${file})
        message(FATAL_ERROR "${file} is missing: run scripts/setup.sh --windows")
    endif()
    install(FILES ${file} DESTINATION licenses RENAME ${name}.txt)
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VENDOR "Tessaline")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME tessaline-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
