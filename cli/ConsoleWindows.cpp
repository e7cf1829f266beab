// Windows hands a program its arguments in the system's code page, which cannot hold every file
// name: they are taken from the UTF-16 command line instead. The console is asked to show UTF-8
// and to follow the control sequences of the progress line, and lines end as on other systems
// (what the program prints is the same bytes everywhere, for scripts reading it).
#include "platform/windows/Windows.h"  // first: the headers below need its types

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include "cli/Console.h"

namespace tess::cli {
namespace {

std::string Utf8(const wchar_t* text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.pop_back();  // the terminating zero
    return narrow;
}

HANDLE HandleOf(std::FILE* stream) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
}

}  // namespace

std::vector<std::string> StartConsole(int argc, char** argv) {
    SetConsoleOutputCP(CP_UTF8);
    for (std::FILE* stream : {stdout, stderr}) {
        _setmode(_fileno(stream), _O_BINARY);
        DWORD mode = 0;
        if (GetConsoleMode(HandleOf(stream), &mode))
            SetConsoleMode(HandleOf(stream), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    }
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i)
        arguments.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

bool IsTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return GetConsoleMode(HandleOf(stream), &mode) && (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace tess::cli
