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

bool UndoLog::Tracks(const SheetData& sheet) const {
    if (m_discarding) return false;
    if (m_replayTarget || m_openScopes.empty()) return true;
    // By the sheet itself, not the group it is in: a shape that was there before the scope and
    // was moved into a new group is restored by its own records.
    return !m_openScopes.back().created.contains(&sheet);
}

int32_t UndoLog::ScopeForNewRows() const {
    if (m_discarding || m_replayTarget || !m_enabled || m_openScopes.empty()) return 0;
    return m_openScopes.back().id;
}

void UndoLog::NoteCreated(const SheetData& shape) {
    if (m_discarding || m_replayTarget || !m_enabled || m_openScopes.empty()) return;
    // A master's edit copy lives only as long as the records that name it: its shapes keep theirs.
    if (shape.master && shape.master->editOf) return;
    Step& scope = m_openScopes.back();
    if (scope.inverses.empty()) return;
    const size_t position = scope.inverses.size() - 1;
    // The members it was made with are new too.
    const std::function<void(const SheetData&)> note = [&](const SheetData& sheet) {
        scope.created[&sheet] = position;
        for (const auto& member : sheet.shapes)
            note(*member);
    };
    note(shape);
}

bool UndoLog::CancelCreation(const SheetData& shape) {
    if (m_discarding || m_replayTarget || !m_enabled || m_openScopes.empty()) return false;
    Step& scope = m_openScopes.back();
    const auto found = scope.created.find(&shape);
    if (found == scope.created.end() || found->second + 1 != scope.inverses.size()) return false;
    scope.inverses.pop_back();
    scope.cancelled = true;
    // The shape goes now: no address of it or its members may stay behind to be taken again.
    const std::function<void(const SheetData&)> forget = [&](const SheetData& sheet) {
        scope.created.erase(&sheet);
        for (const auto& member : sheet.shapes)
            forget(*member);
    };
    forget(shape);
    return true;
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
    if (step.inverses.empty() && !step.cancelled) return;
    if (!m_openScopes.empty()) {
        // The outer scope takes the shapes made in this one, at their records' new positions.
        Step& outer = m_openScopes.back();
        outer.cancelled = outer.cancelled || step.cancelled;
        const size_t offset = outer.inverses.size();
        std::move(step.inverses.begin(), step.inverses.end(), std::back_inserter(outer.inverses));
        for (const auto& [shape, position] : step.created)
            outer.created[shape] = offset + position;
    } else {
        step.created = {};
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

void UndoLog::ReplayLast(std::vector<Step>& from, std::vector<Step>& to) {
    RequireNoOpenScope();
    if (from.empty()) return;
    Step step = std::move(from.back());
    from.pop_back();
    to.push_back(Replay(std::move(step)));
}

void UndoLog::Undo() {
    ReplayLast(m_undoStack, m_redoStack);
}

void UndoLog::Redo() {
    ReplayLast(m_redoStack, m_undoStack);
}

}  // namespace tess::embedded
