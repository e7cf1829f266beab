#include "cli/Check.h"

#include <algorithm>
#include <functional>
#include <tuple>

#include "cli/HostSheets.h"
#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"
#include "platform/visio/Resolver.h"

namespace tess::cli {
namespace {

using Checker = std::function<std::optional<formula::FormulaProblem>(const std::string&)>;

/// Checks a sheet's formulas of its own in the order of their cells, whatever order the sheet
/// keeps its sections in.
void CheckSheet(std::vector<OwnFormula> formulas, const std::string& address,
                const Checker& check, CheckResult& result) {
    std::stable_sort(formulas.begin(), formulas.end(), [](const auto& a, const auto& b) {
        return std::tie(a.section, a.row, a.cell) < std::tie(b.section, b.row, b.cell);
    });
    for (const OwnFormula& own : formulas) {
        ++result.formulas;
        if (const auto problem = check(own.formula))
            result.broken.push_back({address, own.name, own.formula, problem->message});
    }
}

/// The formulas a sheet of a file holds itself: what the file wrote as a formula, and what it
/// wrote as a bare value, which Visio shows as a formula too.
std::vector<OwnFormula> FileFormulas(const embedded::SheetPtr& sheet) {
    std::vector<OwnFormula> formulas;
    const auto add = [&](int16_t section, int16_t row, int16_t index,
                         const embedded::CellData& cell, const std::string& rowName) {
        if (cell.source != embedded::CellData::Source::Local || cell.formula.empty()) return;
        formulas.push_back({section, row, index,
                            formula::CellNameText(section, row, index, rowName),
                            cell.formula.str()});
    };
    for (const embedded::CellData& cell : sheet->objectCells.cells) {
        add(visio::visSectionObject, static_cast<int16_t>(cell.index / 64),
            static_cast<int16_t>(cell.index % 64), cell, {});
    }
    for (const embedded::SectionData& section : sheet->sections) {
        for (size_t r = 0; r < section.rows.size(); ++r) {
            for (const embedded::CellData& cell : section.rows[r].cells)
                add(section.index, static_cast<int16_t>(r), cell.index, cell,
                    section.rows[r].name.str());
        }
    }
    return formulas;
}

/// Checks a sheet reached through the host interface and the members of its shapes below it.
class HostCheck {
public:
    explicit HostCheck(const visio::ApplicationPtr& application) : m_names(application) {}

    void Document(const visio::DocumentPtr& document) {
        Sheet(m_sheets.DocumentSheet(document), m_names.AddressOfDocument(document));
        const visio::MastersPtr masters = document->Masters();
        for (int16_t i = 1; i <= masters->Count(); ++i) {
            const visio::MasterPtr master = masters->Item(i);
            const std::string address = m_names.AddressOfMaster(master);
            if (const auto sheet = m_sheets.MasterSheet(document, master)) Sheet(sheet, address);
            Shapes(m_sheets.MasterShapes(document, master), address);
        }
        const visio::PagesPtr pages = document->Pages();
        for (int16_t i = 1; i <= pages->Count(); ++i) {
            const visio::PagePtr page = pages->Item(i);
            const std::string address = m_names.AddressOfPage(page);
            Sheet(m_sheets.PageSheet(document, page), address);
            Shapes(m_sheets.PageShapes(document, page), address);
        }
    }

    CheckResult result;

private:
    void Sheet(formula::ISheetResolver::Sheet sheet, const std::string& address) {
        m_sheets.SetSelf(sheet);
        CheckSheet(
            m_sheets.OwnFormulas(sheet), address,
            [&](const std::string& text) { return formula::CheckFormula(text, m_sheets); }, result);
    }

    void Shapes(const HostSheets::Members& members, const std::string& address) {
        for (const auto& [member, id] : members) {
            const std::string at = address + "/Sheet." + std::to_string(id);
            Sheet(member, at);
            Shapes(m_sheets.GroupMembers(member), at);
        }
    }

    const visio::Resolver m_names;
    HostSheets m_sheets;
};

}  // namespace

bool BrokenFormula::operator<(const BrokenFormula& other) const {
    return std::tie(address, cell, formula, why) <
           std::tie(other.address, other.cell, other.formula, other.why);
}

CheckResult CheckDocuments(Workspace& files) {
    CheckResult result;
    files.ForEachSheet([&](const embedded::SheetPtr& sheet, const std::string& address) {
        CheckSheet(
            FileFormulas(sheet), address,
            [&](const std::string& text) { return files.Model().Values().CheckFormula(sheet, text); },
            result);
    });
    return result;
}

CheckResult CheckDrawings(const visio::ApplicationPtr& application) {
    HostCheck check(application);
    const visio::DocumentsPtr documents = application->Documents();
    for (int16_t i = 1; i <= documents->Count(); ++i)
        check.Document(documents->Item(i));
    return std::move(check.result);
}

}  // namespace tess::cli
