#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/embedded/ModelData.h"

namespace tess::embedded {

/// The model's undo scopes and the change count. Every primitive that changes the model
/// records how to reverse itself here, so that undo costs what changed, not the size of the
/// document; undoing a step records the steps that redo it.
class UndoLog {
public:
    int32_t BeginScope(const std::string& name);
    /// Closes the innermost scope; without commit its changes are reversed at once.
    void EndScope(int32_t scope, bool commit);
    void Undo();
    void Redo();
    /// Off while a file is read into the model: nothing read is undoable.
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool Enabled() const { return m_enabled; }
    bool ScopeOpen() const { return !m_openScopes.empty(); }
    /// Throws when an undo scope is open (closing a document must wait for it).
    void RequireNoOpenScope() const;
    /// Forgets every undo and redo step (they may reach into a closed document).
    void Forget();
    size_t UndoDepth() const { return m_undoStack.size(); }
    size_t RedoDepth() const { return m_redoStack.size(); }
    /// The names of the scopes Undo and Redo would take back or do again; "" when none.
    std::string UndoName() const { return m_undoStack.empty() ? "" : m_undoStack.back().name; }
    std::string RedoName() const { return m_redoStack.empty() ? "" : m_redoStack.back().name; }

    /// Records how to reverse a change just made.
    void Record(std::function<void()> inverse);
    /// Records how to reverse a change just made to what a sheet holds, unless the sheet was
    /// made in the innermost open scope (with its group or inside it): undoing the scope takes
    /// the shape away, and redoing it puts it back as it ends up, so its steps in between cost
    /// nothing.
    template <class Inverse>
    void RecordFor(const SheetData& sheet, Inverse&& inverse) {
        if (Tracks(sheet)) Record(std::function<void()>(std::forward<Inverse>(inverse)));
    }
    /// As RecordFor, also leaving out changes to a row or section (part) inserted in the
    /// innermost open scope.
    template <class Part, class Inverse>
    void RecordFor(const SheetData& sheet, const Part& part, Inverse&& inverse) {
        if (part.madeIn == 0 || part.madeIn != ScopeForNewRows())
            RecordFor(sheet, std::forward<Inverse>(inverse));
    }
    /// Whether a change to what the sheet holds needs recording.
    bool Tracks(const SheetData& sheet) const;
    /// The scope that a row or section inserted now is made in (their madeIn): 0 when none
    /// records it.
    int32_t ScopeForNewRows() const;
    /// Notes that a shape new to the model was inserted, its insertion recorded just now.
    void NoteCreated(const SheetData& shape);
    /// When the shape was made in the innermost open scope and nothing has been recorded since
    /// its insertion, forgets that insertion and returns true: its removal then needs no record,
    /// and the scope keeps nothing of the shape.
    bool CancelCreation(const SheetData& shape);
    /// Changes so far: every change bumps it, so that cached results know they may be stale.
    uint64_t ChangeCount() const { return m_changes; }
    void Changed() { ++m_changes; }
    /// A change to one sheet (or list of shapes), or to a document's lists of pages or masters.
    void Changed(ShapeContainer& where) { where.changedAt = ++m_changes; }
    void Changed(DocumentData& where) { where.changedAt = ++m_changes; }

private:
    struct Step {
        int32_t id = 0;
        std::string name;
        std::vector<std::function<void()>> inverses;
        /// Shapes made in this scope while it is open, with the position of the inverse that
        /// records their insertion.
        std::unordered_map<const SheetData*, size_t> created;
        bool cancelled = false;  // a shape came and went: the scope is a step even if empty
    };

    /// Runs a step's inverses backwards, recording what reverses them into a new step.
    Step Replay(Step step);
    /// Takes the last step of one stack back and pushes what reverses it onto the other.
    void ReplayLast(std::vector<Step>& from, std::vector<Step>& to);

    uint64_t m_changes = 1;
    bool m_enabled = true;
    std::vector<Step> m_openScopes;
    std::vector<Step> m_undoStack;
    std::vector<Step> m_redoStack;
    std::vector<std::function<void()>>* m_replayTarget = nullptr;
    bool m_discarding = false;
    int32_t m_nextScopeId = 1;
};

}  // namespace tess::embedded
