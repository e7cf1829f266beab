#pragma once

#include <string>
#include <vector>

#include "platform/windows/Windows.h"

namespace tess::test {

/// A helper program of the tests (by default the stand-in Visio) running in a process of its
/// own for the life of the object, from the moment it prints kStandInReady; it is ended when the
/// object goes, unless it has ended by then. The stand-in opens the drawing files it is given.
class StandInProcess {
public:
    explicit StandInProcess(const char* program = "tessaline_standin.exe")
        : StandInProcess(program, std::vector<std::string>{}, Ready{}) {}
    /// The stand-in Visio with the drawing files it opens.
    explicit StandInProcess(const std::vector<std::string>& files)
        : StandInProcess("tessaline_standin.exe", files, Ready{}) {}
    /// Any program, by its path, with its arguments: running from the moment it has started.
    StandInProcess(const std::string& path, const std::vector<std::string>& arguments);
    ~StandInProcess();
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    /// Waits up to timeoutMs for the process to end; true when it has.
    bool WaitForExit(DWORD timeoutMs);
    /// The status it ended with; STILL_ACTIVE while it runs.
    DWORD ExitCode() const;
    DWORD Id() const { return m_process.dwProcessId; }

private:
    struct Ready {};
    /// A helper program of the tests, beside the test program, running once it says kStandInReady.
    StandInProcess(const char* program, const std::vector<std::string>& arguments, Ready);

    PROCESS_INFORMATION m_process{};
};

/// The folder of the running test program, where the stand-in is built too.
std::string ProgramFolder();

/// Pumps the thread's messages for a while, so that COM calls and events reach it.
void PumpMessages(DWORD milliseconds);

}  // namespace tess::test
