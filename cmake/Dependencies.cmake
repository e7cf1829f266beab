# The libraries the layers use, found once for the whole build under names that are the same on
# every platform.

if(CMAKE_CROSSCOMPILING)
    # Header-only libraries serve a cross build from the build machine's /usr/include; each is
    # seen through a folder of the build tree that holds only its headers, so the cross compiler
    # never meets the machine's other headers (its libzip and pugixml are not Windows ones).
    function(tessaline_host_headers target folder)
        set(root ${CMAKE_BINARY_DIR}/host-headers/${folder})
        if(NOT EXISTS /usr/include/${folder})
            message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/setup.sh --windows")
        endif()
        file(MAKE_DIRECTORY ${root})
        file(CREATE_LINK /usr/include/${folder} ${root}/${folder} SYMBOLIC)
        add_library(${target} INTERFACE IMPORTED GLOBAL)
        set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
    endfunction()
    tessaline_host_headers(nlohmann_json::nlohmann_json nlohmann)
    tessaline_host_headers(CLI11::CLI11 CLI)
else()
    find_package(nlohmann_json 3 REQUIRED)
    find_package(CLI11 REQUIRED)
endif()

if(TESSALINE_BUILD_TESTS)
    if(CMAKE_CROSSCOMPILING)
        # GoogleTest built from the source Debian's googletest package ships (which names its
        # targets GTest::gtest and GTest::gtest_main, as the installed package does).
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    else()
        find_package(GTest REQUIRED)
    endif()
    # Paths of the build machine compiled into the tests: under Wine they are on drive Z:.
    if(WIN32 AND CMAKE_CROSSCOMPILING)
        set(TESSALINE_TEST_DRIVE "Z:")
    else()
        set(TESSALINE_TEST_DRIVE "")
    endif()
endif()

if(TESSALINE_BUILD_PACKAGES)
    find_package(pugixml REQUIRED)
    add_library(tessaline_libzip INTERFACE)
    if(WIN32)
        # libzip's own CMake package; the cross build's (scripts/mingw-deps.sh) is static, on
        # MinGW-w64's static zlib.
        if(CMAKE_CROSSCOMPILING)
            set(ZLIB_USE_STATIC_LIBS ON)
        endif()
        find_package(ZLIB REQUIRED)
        find_package(libzip CONFIG REQUIRED)
        target_link_libraries(tessaline_libzip INTERFACE libzip::zip)
    else()
        # Through pkg-config: Debian's CMake package file for libzip also names the zipcmp,
        # zipmerge and ziptool programs, which live in packages of their own and stop the
        # configure step on a machine that lacks them.
        find_package(PkgConfig REQUIRED)
        pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET GLOBAL libzip)
        target_link_libraries(tessaline_libzip INTERFACE PkgConfig::LIBZIP)
    endif()
endif()
