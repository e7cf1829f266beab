# What a Qt program needs beside it to start on Windows: Qt's DLLs, the platform and style
# plugins, and the MinGW-w64 runtime DLLs that Qt's DLLs link. They are copied beside the
# program after each build, so that it runs from the build tree (and under Wine), and the ZIP
# of the Windows programs installs the same files (cmake/WindowsPackage.cmake).

# A DLL of the compiler's runtime, where the compiler finds it.
function(tessaline_compiler_dll variable name)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The MinGW-w64 runtime's ${name} was not found")
    endif()
    set(${variable} ${path} PARENT_SCOPE)
endfunction()

tessaline_compiler_dll(tessaline_libstdcxx libstdc++-6.dll)
tessaline_compiler_dll(tessaline_libgcc libgcc_s_seh-1.dll)
tessaline_compiler_dll(tessaline_winpthread libwinpthread-1.dll)
# The DLLs beside the program, and the plugins in the folders Qt looks in beside it.
set(TESSALINE_QT_RUNTIME_DLLS
    $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    $<TARGET_FILE:Qt6::Network> ${tessaline_libstdcxx} ${tessaline_libgcc} ${tessaline_winpthread})
set(TESSALINE_QT_PLATFORM_PLUGINS $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>)
set(TESSALINE_QT_STYLE_PLUGINS $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>)

# Copies the runtime beside a target after each build; further DLLs it needs (a test's
# Qt6Test.dll) may follow the target's name.
function(tessaline_copy_qt_runtime target)
    set(folder $<TARGET_FILE_DIR:${target}>)
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/platforms ${folder}/styles
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSALINE_QT_RUNTIME_DLLS} ${ARGN}
                ${folder}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSALINE_QT_PLATFORM_PLUGINS}
                ${folder}/platforms
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSALINE_QT_STYLE_PLUGINS}
                ${folder}/styles
        VERBATIM)
endfunction()
