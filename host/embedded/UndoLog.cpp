#include "host/embedded/UndoLog.h"

#include <iterator>

#include "host/embedded/HostErrors.h"

namespace tess::embedded {

void UndoLog::Record(std::function<void()> inverse) {
    if (m_discarding) return;
    if (m_replayTarget) {
        m_replayTarget->push_back(std::move(inverse));
        return;
    }
    if (!m_enabled) return;
    m_redoStack.clear();
    if (!m_openScopes.empty()) {
        m_openScopes.back().inverses.push_back(std::move(inverse));
    } else {
        m_undoStack.push_back(Step{0, {}, {}});
        m_undoStack.back().inverses.push_back(std::move(inverse));
    }
}

int32_t UndoLog::BeginScope(const std::string& name) {
    m_openScopes.push_back(Step{m_nextScopeId++, name, {}});
    return m_openScopes.back().id;
}

void UndoLog::EndScope(int32_t scope, bool commit) {
    if (m_openScopes.empty() || m_openScopes.back().id != scope) {
        hosterr::Raise(hosterr::kUndoScope,
                       "No open undo scope has the number " + std::to_string(scope) + ".");
    }
    Step step = std::move(m_openScopes.back());
    m_openScopes.pop_back();
    if (!commit) {
        m_discarding = true;
        for (auto inverse = step.inverses.rbegin(); inverse != step.inverses.rend(); ++inverse)
            (*inverse)();
        m_discarding = false;
        Changed();
        return;
    }
    if (step.inverses.empty()) return;
    if (!m_openScopes.empty()) {
        auto& outer = m_openScopes.back().inverses;
        std::move(step.inverses.begin(), step.inverses.end(), std::back_inserter(outer));
    } else {
        m_undoStack.push_back(std::move(step));
    }
}

void UndoLog::RequireNoOpenScope() const {
    if (!m_openScopes.empty()) hosterr::Raise(hosterr::kUndoScope, "An undo scope is open.");
}

void UndoLog::Forget() {
    m_undoStack.clear();
    m_redoStack.clear();
}

UndoLog::Step UndoLog::Replay(Step step) {
    Step reverse{step.id, step.name, {}};
    m_replayTarget = &reverse.inverses;
    for (auto inverse = step.inverses.rbegin(); inverse != step.inverses.rend(); ++inverse)
        (*inverse)();
    m_replayTarget = nullptr;
    Changed();
    return reverse;
}

void UndoLog::Undo() {
    RequireNoOpenScope();
    if (m_undoStack.empty()) return;
    Step step = std::move(m_undoStack.back());
    m_undoStack.pop_back();
    m_redoStack.push_back(Replay(std::move(step)));
}

void UndoLog::Redo() {
    RequireNoOpenScope();
    if (m_redoStack.empty()) return;
    Step step = std::move(m_redoStack.back());
    m_redoStack.pop_back();
    m_undoStack.push_back(Replay(std::move(step)));
}

}  // namespace tess::embedded
