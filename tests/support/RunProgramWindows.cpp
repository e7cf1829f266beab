// Windows: the program is started with a command line quoted as its C runtime splits it, and
// its output goes to files through inherited handles.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/visio/FileNames.h"
#include "platform/windows/Windows.h"
#include "support/RunProgram.h"

namespace tess::test {
namespace {

/// One argument as CommandLineToArgvW and the C runtime read it back: quoted when it holds
/// blanks or quotes or is empty, backslashes doubled where a quote follows them.
std::wstring Quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

HANDLE CreateOutput(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string Take(const std::filesystem::path& path) {
    std::string text;
    {
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // A program started meanwhile by another thread may have inherited the file too.
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    return text;
}

}  // namespace

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& folder) {
    const std::filesystem::path outPath = PathOf(folder) / ".program-out";
    const std::filesystem::path errPath = PathOf(folder) / ".program-err";
    std::wstring command = Quoted(PathOf(program).wstring());
    for (const std::string& argument : arguments)
        command += L" " + Quoted(PathOf(argument).wstring());

    HANDLE out = CreateOutput(outPath);
    HANDLE err = CreateOutput(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const BOOL started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                         CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    ProgramResult result;
    if (!started) {
        result.err = program + " cannot be run";
        return result;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.status = static_cast<int>(status);
    result.out = Take(outPath);
    result.err = Take(errPath);
    return result;
}

}  // namespace tess::test
