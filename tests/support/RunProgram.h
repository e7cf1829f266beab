#pragma once

#include <string>
#include <vector>

namespace tess::test {

/// What a program run printed and how it ended.
struct ProgramResult {
    int status = -1;  // the exit status; -1 when the program did not exit by itself
    std::string out;
    std::string err;
};

/// Runs a program with its arguments, no shell between, and waits for it; standard output and
/// error are kept apart in files of the folder given.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& folder);

}  // namespace tess::test
