#pragma once

#include <string>

#include "platform/windows/Windows.h"

namespace tess::test {

/// The stand-in Visio running in a process of its own for the life of the object; it is ended
/// when the object goes, unless it has quit by then.
class StandInProcess {
public:
    StandInProcess();
    ~StandInProcess();
    StandInProcess(const StandInProcess&) = delete;
    StandInProcess& operator=(const StandInProcess&) = delete;

    /// Waits up to timeoutMs for the process to end; true when it has.
    bool WaitForExit(DWORD timeoutMs);

private:
    PROCESS_INFORMATION m_process{};
};

/// The folder of the running test program, where the stand-in is built too.
std::string ProgramFolder();

/// Pumps the thread's messages for a while, so that COM calls and events reach it.
void PumpMessages(DWORD milliseconds);

}  // namespace tess::test
