#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tess::embedded {

/// Every member call of the embedded host objects passes here: it is counted, and a test can
/// make the n-th call from now fail, to prove that every host failure is handled.
class CallGate {
public:
    /// Counts a call of a host member and fails it when a failure was injected for it. member
    /// is a string literal: its address finds its count without comparing names.
    void Gate(const char* member);
    /// Makes the n-th host call from now (1 = the next one) fail with the given error.
    void InjectFailure(uint64_t n, int32_t number = 0, std::string description = {});
    void ClearInjectedFailure();
    uint64_t CallCount(std::string_view member) const;
    uint64_t TotalCalls() const { return m_totalCalls; }
    const std::map<std::string, uint64_t, std::less<>>& CallCounts() const { return m_callCounts; }
    void ResetCallCounts();

private:
    std::map<std::string, uint64_t, std::less<>> m_callCounts;
    std::unordered_map<const char*, uint64_t*> m_countOf;  // by the literal's address
    uint64_t m_totalCalls = 0;
    uint64_t m_failAt = 0;
    int32_t m_failNumber = 0;
    std::string m_failDescription;
};

}  // namespace tess::embedded
