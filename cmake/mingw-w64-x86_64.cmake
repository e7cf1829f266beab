# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads variant, whose
# libstdc++ has std::thread and std::mutex). Programs are linked statically so that Wine, or a
# Windows machine, runs them without the MinGW runtime DLLs beside them (the desktop program
# still needs them for Qt's DLLs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TESSALINE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TESSALINE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSALINE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSALINE_MINGW_TRIPLE}-windres)

# Qt, pugixml and libzip, which Debian has no MinGW-w64 builds of: scripts/mingw-deps.sh builds
# them into folders of the user's cache and names those folders. Set TESSALINE_MINGW_PREFIXES
# (a list) to use builds from elsewhere.
if(NOT TESSALINE_MINGW_PREFIXES)
    execute_process(
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/../scripts/mingw-deps.sh --prefixes
        OUTPUT_VARIABLE TESSALINE_MINGW_PREFIXES OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE result)
    string(REPLACE "\n" ";" TESSALINE_MINGW_PREFIXES "${TESSALINE_MINGW_PREFIXES}")
    foreach(prefix IN LISTS TESSALINE_MINGW_PREFIXES)
        if(NOT EXISTS ${prefix}/.complete)
            set(result 1)
        endif()
    endforeach()
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "The MinGW-w64 builds of Qt, pugixml and libzip are missing: run "
                            "bash scripts/setup.sh --windows")
    endif()
endif()

# The compiler checks' projects are given the folders rather than asking again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TESSALINE_MINGW_PREFIXES)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSALINE_MINGW_TRIPLE} ${TESSALINE_MINGW_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's tools (moc, uic, rcc) are the build machine's: Debian's Qt of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# Windows 7 is the oldest system the program's calls need.
set(CMAKE_C_FLAGS_INIT "-D_WIN32_WINNT=0x0601")
set(CMAKE_CXX_FLAGS_INIT "-D_WIN32_WINNT=0x0601")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest and test discovery run the Windows programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
