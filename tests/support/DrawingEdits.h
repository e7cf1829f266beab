#pragma once

#include <string>

// Changes made to a saved test drawing (the command line tests' drawing: shapes Source, Target
// and Other on Page-1) for tests that need formulas a destination refuses or that reach nothing.
namespace tess::test {

/// Source's Scratch.Y1 names User.Alpha, a row only Source has: every other shape refuses it.
/// Saved to `to`, which may be the drawing itself.
void NameRowOnlySourceHas(const std::string& drawing, const std::string& to);

/// References that reach nothing: Target's Width names Other, which is then deleted, and
/// Source's Scratch.Y2 names User.Missing, a row Source lacks. Saved to `to`.
void BreakReferences(const std::string& drawing, const std::string& to);

}  // namespace tess::test
