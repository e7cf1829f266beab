#include <unistd.h>

#include "cli/Console.h"

namespace tess::cli {

std::vector<std::string> StartConsole(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

}  // namespace tess::cli
