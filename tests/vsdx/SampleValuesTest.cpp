// The evaluator against Visio itself: every numeric value the sample files store for a formula
// the model can compute is what the model computes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "formula/CellCatalogue.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "support/Samples.h"

namespace tess::test {
namespace {

using embedded::CellData;
using embedded::SheetPtr;

struct Tally {
    size_t numeric = 0;   // formulas whose stored value is a number
    size_t computed = 0;  // of those, formulas the model computes
    std::vector<std::string> differing;
};

void CheckSheet(embedded::Model& model, const SheetPtr& sheet, Tally& tally) {
    const auto check = [&](int16_t section, int16_t row, int16_t index, const CellData& cell) {
        if (cell.source != CellData::Source::Local || cell.valueOnly || !cell.inFile) return;
        if (cell.value.type != formula::Value::Type::Number) return;
        ++tally.numeric;
        const double stored = cell.value.number;
        const formula::Value result = model.Result(sheet, section, row, index);
        const CellData* after =
            section == visio::visSectionObject
                ? sheet->objectCells.Find(embedded::ObjectCellKey(row, index))
                : sheet->Section(section)->rows[static_cast<size_t>(row)].Find(index);
        if (after && after->estimated) return;
        ++tally.computed;
        if (result.IsNumber() &&
            std::fabs(result.number - stored) <= 1e-9 * std::max(1.0, std::fabs(stored)))
            return;
        tally.differing.push_back(formula::CellNameText(section, row, index) + " = " +
                                  cell.formula);
    };
    for (const CellData& cell : std::vector<CellData>(sheet->objectCells.cells)) {
        check(visio::visSectionObject, static_cast<int16_t>(cell.index / 64),
              static_cast<int16_t>(cell.index % 64), cell);
    }
    for (size_t s = 0; s < sheet->sections.size(); ++s) {
        const int16_t section = sheet->sections[s].index;
        for (size_t r = 0; r < sheet->Section(section)->rows.size(); ++r) {
            for (const CellData& cell :
                 std::vector<CellData>(sheet->Section(section)->rows[r].cells)) {
                check(section, static_cast<int16_t>(r), cell.index, cell);
            }
        }
    }
    for (const SheetPtr& member : std::vector<SheetPtr>(sheet->shapes))
        CheckSheet(model, member, tally);
}

TEST(SampleValues, TheModelComputesWhatVisioStored) {
    Tally tally;
    for (const std::string& sample : SampleFiles()) {
        embedded::Model model;
        const auto document = vsdx::OpenDocument(model, sample);
        for (const SheetPtr& style : document->styles)
            CheckSheet(model, style, tally);
        CheckSheet(model, document->documentSheet, tally);
        for (const auto& master : document->masters) {
            if (master->pageSheet) CheckSheet(model, master->pageSheet, tally);
            for (const SheetPtr& shape : master->shapes)
                CheckSheet(model, shape, tally);
        }
        for (const auto& page : document->pages) {
            CheckSheet(model, page->pageSheet, tally);
            for (const SheetPtr& shape : page->shapes)
                CheckSheet(model, shape, tally);
        }
    }
    // Theme colours, text metrics and the like cannot be computed without Visio's renderer;
    // nearly everything else can.
    EXPECT_GT(tally.computed, tally.numeric * 9 / 10);
    EXPECT_TRUE(tally.differing.empty()) << ::testing::PrintToString(tally.differing);
    RecordProperty("numeric", static_cast<int>(tally.numeric));
    RecordProperty("computed", static_cast<int>(tally.computed));
}

}  // namespace
}  // namespace tess::test
