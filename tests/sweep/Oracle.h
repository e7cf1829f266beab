#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sweep/Sweep.h"

// Whether a copy did what was asked: the chosen rows, in the chosen order, on each destination,
// with the source's formulas, their references to the source, its members and its own rows
// made references to the destination, its matching members and the rows they went to; or the
// report says what was not done there.
namespace tess::sweep {

/// What the copy is to do, read before it runs (a copy can change the source: it may lie in a
/// destination group whose members are replaced).
class Expectation {
public:
    Expectation(cli::Workspace& files, const CopyCase& copy);
    ~Expectation();
    Expectation(Expectation&&) noexcept;

    /// What the destinations hold now that are not what was asked, and that the report does not
    /// account for.
    std::vector<Violation> Check(cli::Workspace& files, const engine::CopyReport& report) const;

private:
    struct Data;
    std::unique_ptr<Data> m_data;
};

}  // namespace tess::sweep
