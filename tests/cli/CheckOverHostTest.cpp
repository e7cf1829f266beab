// The check through the host interface (what --visio runs over COM) against the check of the
// drawing model, both on the embedded host: the same broken formulas, the same formulas checked
// but for style sheets, which the host interface does not reach.
#include <gtest/gtest.h>

#include "cli/Check.h"
#include "cli/CliRun.h"
#include "support/DrawingEdits.h"
#include "support/Samples.h"

namespace tess::test {
namespace {

/// The formulas of their own the style sheets of the files hold: the file check reads them,
/// the host interface cannot.
size_t StyleFormulas(const cli::Workspace& files) {
    size_t count = 0;
    const auto add = [&](const embedded::CellData& cell) {
        count += cell.source == embedded::CellData::Source::Local && !cell.formula.empty();
    };
    for (const cli::Workspace::Document& document : files.Documents()) {
        for (const embedded::SheetPtr& style : document.data->styles) {
            for (const embedded::CellData& cell : style->objectCells.cells)
                add(cell);
            for (const embedded::SectionData& section : style->sections) {
                for (const embedded::RowData& row : section.rows) {
                    for (const embedded::CellData& cell : row.cells)
                        add(cell);
                }
            }
        }
    }
    return count;
}

using CheckOverHost = Cli;

TEST_F(CheckOverHost, FindsWhatTheFileCheckFinds) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string broken = folder.Path("broken.vsdx");
    BreakReferences(drawing, broken);
    std::vector<std::string> files = {broken};
    for (const char* sample : {"BFlowcht.vsdx", "test10_nested_shapes.vsdx",
                               "test_master_multiple_child_shapes.vsdx", "Boxes.vssx"})
        files.push_back(SamplePath(sample));
    for (const std::string& file : files) {
        cli::Workspace onFile({file});
        cli::CheckResult expected = cli::CheckDocuments(onFile);
        std::erase_if(expected.broken, [](const cli::BrokenFormula& problem) {
            return problem.address.starts_with("style:");
        });
        cli::Workspace overHost({file});
        const cli::CheckResult found = cli::CheckDrawings(overHost.AppPtr());
        EXPECT_EQ(found.formulas, expected.formulas - StyleFormulas(onFile)) << file;
        EXPECT_EQ(found.broken.empty(), file != broken) << file;
        ASSERT_EQ(found.broken.size(), expected.broken.size()) << file;
        for (size_t i = 0; i < found.broken.size(); ++i) {
            const cli::BrokenFormula &a = found.broken[i], &b = expected.broken[i];
            EXPECT_EQ(std::tie(a.address, a.cell, a.formula, a.why),
                      std::tie(b.address, b.cell, b.formula, b.why))
                << file << ": " << a.address << " " << a.cell << " / " << b.address << " "
                << b.cell;
        }
    }
}

}  // namespace
}  // namespace tess::test
