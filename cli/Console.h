#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The command line's side of the console: its arguments and its output in UTF-8 whatever the
// system's own code page, and whether a person watches an output.
namespace tess::cli {

/// Sets the console up for UTF-8 output and terminal control sequences where it needs asking,
/// and gives the program's arguments (its own name first) in UTF-8.
std::vector<std::string> StartConsole(int argc, char** argv);

/// True when the stream is a terminal that takes control sequences, not a file or a pipe.
bool IsTerminal(std::FILE* stream);

}  // namespace tess::cli
