#include "host/embedded/CallGate.h"

#include "host/embedded/HostErrors.h"
#include "platform/visio/Error.h"

namespace tess::embedded {

void CallGate::Gate(const char* member) {
    ++m_totalCalls;
    uint64_t*& count = m_countOf[member];
    if (!count) count = &m_callCounts.try_emplace(member, 0).first->second;
    ++*count;
    if (m_failAt != 0 && m_totalCalls == m_failAt) {
        m_failAt = 0;
        const int32_t number = m_failNumber != 0 ? m_failNumber : hosterr::kInjected;
        Raise(number, m_failDescription.empty() ? hosterr::Describe(number) : m_failDescription);
    }
}

void CallGate::InjectFailure(uint64_t n, int32_t number, std::string description) {
    m_failAt = n == 0 ? 0 : m_totalCalls + n;
    m_failNumber = number;
    m_failDescription = std::move(description);
}

void CallGate::ClearInjectedFailure() {
    m_failAt = 0;
}

uint64_t CallGate::CallCount(std::string_view member) const {
    const auto found = m_callCounts.find(member);
    return found == m_callCounts.end() ? 0 : found->second;
}

void CallGate::ResetCallCounts() {
    m_callCounts.clear();
    m_countOf.clear();
    m_totalCalls = 0;
}

}  // namespace tess::embedded
