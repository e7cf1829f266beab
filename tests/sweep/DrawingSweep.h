#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cli/Check.h"
#include "support/TempFolder.h"
#include "sweep/PackageFacts.h"
#include "sweep/Sweep.h"

namespace tess::sweep {

/// One drawing open with a partner drawing (the target of document sheets and of copies to
/// another drawing), what it was like before any copy, and the checks of each copy made in it.
/// Every copy is undone after its checks, so that the next starts from the drawings as read.
class DrawingSweep {
public:
    DrawingSweep(std::string drawing, std::string partner, const std::set<std::string>& emptyKinds,
                 const SweepOptions& options, const test::TempFolder& folder);

    /// Picks a copy with the seed, makes it and checks it; false when the drawing offered no
    /// copy for the seed.
    bool Copy(uint64_t seed, CopyCase& copy, std::vector<Violation>& violations,
              std::ostream& trace);
    /// Makes the copy given and checks it.
    std::vector<Violation> Check(const CopyCase& copy);

    cli::Workspace& Files() { return *m_files; }
    /// The report of the last copy.
    const engine::CopyReport& Report() const { return m_report; }

private:
    void Open();
    const cli::Workspace::Document& Document(const std::string& name) const;
    void CheckBroken(std::vector<Violation>& violations);
    void CheckWritten(const CopyCase& copy, size_t index, const std::string& document,
                      std::vector<Violation>& violations);
    void CheckUndo(std::vector<Violation>& violations);

    std::vector<std::string> m_paths;
    const std::set<std::string>& m_emptyKinds;
    const SweepOptions& m_options;
    const test::TempFolder& m_folder;
    std::unique_ptr<cli::Workspace> m_files;
    std::vector<SheetEntry> m_sheets;
    std::string m_dump;
    std::set<cli::BrokenFormula> m_broken;
    std::map<std::string, PackageFacts> m_facts;            // as read, by document name
    std::map<std::string, std::optional<size_t>> m_drawn;  // the other reader's paths
    size_t m_written = 0;
    engine::CopyReport m_report;
};

}  // namespace tess::sweep
