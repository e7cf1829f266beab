#pragma once

#include <string>
#include <vector>

#include "cli/Workspace.h"
#include "platform/visio/Host.h"

// What `check` looks for: formulas of the open documents that name a cell, row or shape their
// sheet cannot reach, as the model would refuse them if they were written now.
namespace tess::cli {

struct BrokenFormula {
    std::string address;  // the sheet, as addresses name it
    std::string cell;     // as formulas name it
    std::string formula;
    std::string why;

    bool operator<(const BrokenFormula& other) const;
};

struct CheckResult {
    size_t formulas = 0;  // every formula of its own a sheet holds, checked
    std::vector<BrokenFormula> broken;
};

/// Checks every formula of every sheet of the open files: document and style sheets, masters'
/// page sheets and shapes, pages' sheets and shapes at any depth.
CheckResult CheckDocuments(Workspace& files);
/// The same check through the host interface, on the documents open in a host (the running
/// Visio): every sheet but style sheets, which the host interface does not reach.
CheckResult CheckDrawings(const visio::ApplicationPtr& application);

}  // namespace tess::cli
