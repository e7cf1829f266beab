#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "sweep/Sweep.h"

// What a package's XML says of every cell, section and row, read so that the file a copy wrote
// can be held against the file it read: it must hold only what Visio writes.
namespace tess::sweep {

/// One Cell element: its formula, value and error as written.
struct CellFact {
    std::string kind;  // "Section/Cell" (the section's N, empty for the sheet's own cells)
    bool hasFormula = false;
    std::string formula;
    bool hasValue = false;
    std::string value;
    std::string error;

    bool operator==(const CellFact&) const = default;
};

/// One XML part: its bytes, its cells by where they stand, and what is wrong in its structure
/// (two sections of one kind and index, two rows of one name or index, rows out of order).
struct PartFacts {
    std::string bytes;
    std::map<std::string, CellFact> cells;
    std::set<std::string> problems;
};

struct PackageFacts {
    std::map<std::string, PartFacts> parts;
    /// Formulas Visio itself stored with an error beside them.
    std::set<std::string> erring;
};

PackageFacts ReadFacts(const std::string& path);

/// The kinds of cell ("Section/Cell") Visio writes with an empty value in any of the files:
/// text cells, which may be empty.
std::set<std::string> EmptyValueKinds(const std::vector<std::string>& paths);

/// What the written package holds that the read one did not and Visio never writes.
std::vector<Violation> CompareFacts(const PackageFacts& read, const PackageFacts& written,
                                    const std::set<std::string>& emptyValueKinds);

}  // namespace tess::sweep
