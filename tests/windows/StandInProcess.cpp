#include "tests/windows/StandInProcess.h"

#include <stdexcept>

#include "tests/windows/StandIn.h"

namespace tess::test {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

StandInProcess::StandInProcess(const char* program, const std::vector<std::string>& arguments,
                               Ready) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        throw std::runtime_error("no pipe for " + std::string(program));
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string command = "\"" + ProgramFolder() + program + "\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &m_process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(readEnd);
        throw std::runtime_error(std::string(program) + " did not start");
    }
    // It is ready once it has registered itself and says so.
    std::string said;
    char buffer[256];
    DWORD read = 0;
    while (said.find(kStandInReady) == std::string::npos &&
           ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        said.append(buffer, read);
    }
    CloseHandle(readEnd);
    if (said.find(kStandInReady) == std::string::npos)
        throw std::runtime_error(std::string(program) + " ended before it was ready: " + said);
}

StandInProcess::StandInProcess(const std::string& path, const std::vector<std::string>& arguments) {
    std::string command = "\"" + path + "\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_process))
        throw std::runtime_error(path + " did not start");
}

DWORD StandInProcess::ExitCode() const {
    DWORD status = STILL_ACTIVE;
    GetExitCodeProcess(m_process.hProcess, &status);
    return status;
}

StandInProcess::~StandInProcess() {
    if (!WaitForExit(0)) {
        TerminateProcess(m_process.hProcess, 1);
        WaitForExit(5000);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

bool StandInProcess::WaitForExit(DWORD timeoutMs) {
    return WaitForSingleObject(m_process.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

void PumpMessages(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG message;
    while (GetTickCount64() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

}  // namespace tess::test
