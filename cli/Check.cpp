#include "cli/Check.h"

#include <tuple>

#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"

namespace tess::cli {
namespace {

void CheckSheet(embedded::Model& model, const embedded::SheetPtr& sheet, const std::string& address,
                CheckResult& result) {
    const auto check = [&](int16_t section, int16_t row, const embedded::CellData& cell,
                           const std::string& rowName) {
        if (cell.source != embedded::CellData::Source::Local || cell.valueOnly ||
            cell.formula.empty())
            return;
        const int16_t index =
            section == visio::visSectionObject ? static_cast<int16_t>(cell.index % 64) : cell.index;
        const std::string text = cell.formula.str();
        ++result.formulas;
        if (const auto problem = model.Values().CheckFormula(sheet, text)) {
            result.broken.push_back({address, formula::CellNameText(section, row, index, rowName),
                                     text, problem->message});
        }
    };
    // Copies: checking a formula may compute values, which the sheet caches in its cells.
    for (const embedded::CellData& cell :
         std::vector<embedded::CellData>(sheet->objectCells.cells)) {
        check(visio::visSectionObject, static_cast<int16_t>(cell.index / 64), cell, {});
    }
    for (size_t s = 0; s < sheet->sections.size(); ++s) {
        const embedded::SectionData section = sheet->sections[s];
        for (size_t r = 0; r < section.rows.size(); ++r) {
            for (const embedded::CellData& cell : section.rows[r].cells) {
                check(section.index, static_cast<int16_t>(r), cell, section.rows[r].name.str());
            }
        }
    }
}

}  // namespace

bool BrokenFormula::operator<(const BrokenFormula& other) const {
    return std::tie(address, cell, formula, why) <
           std::tie(other.address, other.cell, other.formula, other.why);
}

CheckResult CheckDocuments(Workspace& files) {
    CheckResult result;
    files.ForEachSheet([&](const embedded::SheetPtr& sheet, const std::string& address) {
        CheckSheet(files.Model(), sheet, address, result);
    });
    return result;
}

}  // namespace tess::cli
