#include "engine/RowUse.h"

#include <map>
#include <string>
#include <vector>

#include "app/ErrorReport.h"
#include "engine/CopyPrimitives.h"
#include "engine/SectionCatalogue.h"
#include "formula/Formula.h"
#include "platform/visio/Constants.h"

namespace tess::engine {
namespace {

using visio::ShapePtr;

/// The multi-row sections whose rows formulas name by index or by name.
constexpr int16_t kRowSections[] = {
    visio::visSectionScratch,  visio::visSectionConnectionPts, visio::visSectionTextField,
    visio::visSectionControls, visio::visSectionAction,        visio::visSectionLayer,
    visio::visSectionUser,     visio::visSectionProp,          visio::visSectionHyperlink,
    visio::visSectionSmartTag};

/// The cells of one row a copy would read, as triples.
void AddRowCells(app::IPrompt& prompt, const ShapePtr& sheet, int16_t section, int16_t row,
                 CellTriples& triples) {
    std::vector<int16_t> cells;
    if (visio::IsGeometrySection(section)) {
        for (int16_t cell = 0; cell < sheet->RowsCellCount(section, row); ++cell)
            cells.push_back(cell);
    } else if (!GetCellIndicies(prompt, sheet, section,
                                section == visio::visSectionObject ? row : 0, cells)) {
        return;
    }
    for (int16_t cell : cells)
        triples.insert(triples.end(), {section, row, cell});
}

/// Finds the rows of one sheet that references name, by index or by name.
class RowFinder {
public:
    explicit RowFinder(const ShapePtr& sheet) : m_sheet(sheet) {}

    int16_t Row(const formula::CellName& cell) {
        if (!cell.named) return cell.row;
        auto [names, fresh] = m_names.try_emplace(cell.section);
        if (fresh && m_sheet->SectionExists(cell.section, 0)) {
            for (int16_t row = 0; row < m_sheet->RowCount(cell.section); ++row)
                names->second.push_back(m_sheet->CellsSRC(cell.section, row, 0)->RowName());
        }
        for (size_t row = 0; row < names->second.size(); ++row) {
            if (formula::SameName(names->second[row], cell.rowName)) return static_cast<int16_t>(row);
        }
        return -1;
    }

private:
    ShapePtr m_sheet;
    std::map<int16_t, std::vector<std::string>> m_names;
};

/// The cells that references in text make to sheet (when toSheet says a reference is to it) in
/// the sections inSections accepts.
void AddNamedCells(const std::string& text, RowFinder& rows,
                   const std::function<bool(const formula::SheetSelector&)>& toSheet,
                   const std::function<bool(int16_t)>& inSections, std::set<NamedCell>& named) {
    for (const formula::Reference& reference : formula::Parse(text).formula.references) {
        if (!toSheet(reference.sheet) || !reference.cell ||
            !inSections(reference.cell->section))
            continue;
        if (const int16_t row = rows.Row(*reference.cell); row >= 0)
            named.insert({reference.cell->section, row, reference.cell->cell});
    }
}

/// Calls visit with every formula of the sheet's catalogue cells and the section it is in: one
/// read of the object section's rows and one of each multi-row section.
void VisitFormulas(app::IPrompt& prompt, const ShapePtr& sheet,
                   const std::function<void(int16_t, const std::string&)>& visit) {
    std::vector<int16_t> sections = {visio::visSectionObject};
    sections.insert(sections.end(), std::begin(kRowSections), std::end(kRowSections));
    for (int16_t g = 0; g < sheet->GeometryCount(); ++g)
        sections.push_back(static_cast<int16_t>(visio::visSectionFirstComponent + g));
    for (int16_t section : sections) {
        CellTriples triples;
        if (section == visio::visSectionObject) {
            for (const CatalogueEntry& entry : CatalogueEntries()) {
                const int16_t row = entry.row == visio::kRowGlueInfo ? visio::visRowMisc : entry.row;
                if (entry.section == section && entry.row != visio::kRowGlueInfo &&
                    sheet->RowExists(section, row, 0))
                    AddRowCells(prompt, sheet, section, entry.row, triples);
            }
        } else if (sheet->SectionExists(section, 0)) {
            for (int16_t row = 0; row < sheet->RowCount(section); ++row)
                AddRowCells(prompt, sheet, section, row, triples);
        }
        if (triples.empty()) continue;
        for (const std::string& formula : sheet->GetFormulas(triples)) {
            if (!formula.empty()) visit(section, formula);
        }
    }
}

/// Adds every shape of a list, each before its members, at any depth.
void AddShapes(const visio::ShapesPtr& list, std::vector<ShapePtr>& shapes) {
    for (int16_t i = 1; list && i <= list->Count(); ++i) {
        shapes.push_back(list->Item(i));
        AddShapes(shapes.back()->Shapes(), shapes);
    }
}

/// A sheet and its members at any depth.
std::vector<ShapePtr> Members(const ShapePtr& sheet) {
    std::vector<ShapePtr> members{sheet};
    AddShapes(sheet->Shapes(), members);
    return members;
}

/// Every shape of a page at any depth, with its page sheet.
std::vector<ShapePtr> ShapesOfPage(const visio::PagePtr& page) {
    std::vector<ShapePtr> shapes{page->PageSheet()};
    AddShapes(page->Shapes(), shapes);
    return shapes;
}

/// The sheets whose formulas can name a sheet by its ID or name: every shape of its page (and
/// the page sheet) or of its master; a document sheet alone.
std::vector<ShapePtr> Neighbours(const ShapePtr& sheet) {
    if (const visio::PagePtr page = sheet->ContainingPage()) return ShapesOfPage(page);
    std::vector<ShapePtr> shapes;
    if (const visio::MasterPtr master = sheet->ContainingMaster()) AddShapes(master->Shapes(), shapes);
    if (shapes.empty()) shapes.push_back(sheet);
    return shapes;
}

/// Adds the cells of target's sections that the formulas of sheets name (target's own formulas
/// in those sections aside, when skipOwn), found on the destination through rows.
void AddCellsNamedIn(app::IPrompt& prompt, const ShapePtr& target, const std::vector<ShapePtr>& sheets, bool skipOwn,
                     RowFinder& rows, const std::function<bool(int16_t)>& inSections,
                     std::set<NamedCell>& named) {
    const int32_t id = target->ID();
    const std::string name = target->Name();
    const std::string nameU = target->NameU();
    for (const ShapePtr& other : sheets) {
        const bool self = other->ID() == id && other->Type() == target->Type();
        const auto toSheet = [&](const formula::SheetSelector& selector) {
            return selector.collection.empty() &&
                   ((self && selector.kind == formula::SheetKind::Self) ||
                    (selector.kind == formula::SheetKind::ById && selector.id == id) ||
                    (selector.kind == formula::SheetKind::ByName &&
                     (formula::SameName(selector.name, name) ||
                      formula::SameName(selector.name, nameU))));
        };
        VisitFormulas(prompt, other, [&](int16_t section, const std::string& text) {
            if (self && skipOwn && inSections(section)) return;  // copied over as a whole
            AddNamedCells(text, rows, toSheet, inSections, named);
        });
    }
}

}  // namespace

std::vector<ShapePtr> InstancesOf(const ShapePtr& shape, bool anyOfItsMaster) {
    std::vector<ShapePtr> instances;
    const visio::MasterPtr master = shape->ContainingMaster();
    if (!master || shape->ContainingPage()) return instances;
    const std::string masterName = master->Name();
    const int32_t id = shape->ID();
    const visio::PagesPtr pages = shape->Document()->Pages();
    for (int16_t p = 1; p <= pages->Count(); ++p) {
        for (const ShapePtr& candidate : ShapesOfPage(pages->Item(p))) {
            const ShapePtr inherited = candidate->MasterShape();
            const visio::MasterPtr from = inherited ? inherited->ContainingMaster() : nullptr;
            if (from && from->Name() == masterName && (anyOfItsMaster || inherited->ID() == id))
                instances.push_back(candidate);
        }
    }
    return instances;
}

std::set<NamedCell> CellsNamedFromOutside(app::IPrompt& prompt, const ShapePtr& sheet,
                                          const std::function<bool(int16_t)>& inSections) {
    std::set<NamedCell> named;
    RowFinder rows(sheet);
    AddCellsNamedIn(prompt, sheet, Neighbours(sheet), true, rows, inSections, named);
    for (const ShapePtr& instance : InstancesOf(sheet, false))
        AddCellsNamedIn(prompt, instance, ShapesOfPage(instance->ContainingPage()), false, rows,
                        inSections, named);
    return named;
}

std::set<int32_t> MembersNamedFromOutside(app::IPrompt& prompt, const ShapePtr& group) {
    std::set<int32_t> members;
    std::map<std::string, int32_t, std::less<>> names;
    const std::vector<ShapePtr> inside = Members(group);
    for (size_t i = 1; i < inside.size(); ++i) {
        members.insert(inside[i]->ID());
        names.emplace(inside[i]->Name(), inside[i]->ID());
    }
    std::set<int32_t> named;
    for (const ShapePtr& other : Neighbours(group)) {
        if (members.count(other->ID())) continue;
        VisitFormulas(prompt, other, [&](int16_t, const std::string& text) {
            for (const formula::Reference& reference : formula::Parse(text).formula.references) {
                const formula::SheetSelector& selector = reference.sheet;
                if (!selector.collection.empty()) continue;
                if (selector.kind == formula::SheetKind::ById && members.count(selector.id))
                    named.insert(selector.id);
                if (selector.kind == formula::SheetKind::ByName && names.count(selector.name))
                    named.insert(names.find(selector.name)->second);
            }
        });
    }
    return named;
}

std::set<int16_t> RowsNamedFrom(app::IPrompt& prompt, const ShapePtr& sheet, int16_t section,
                                std::set<int16_t> rows) {
    RowFinder finder(sheet);
    const auto own = [](const formula::SheetSelector& selector) {
        return selector.collection.empty() && selector.kind == formula::SheetKind::Self;
    };
    const auto inSection = [section](int16_t other) { return other == section; };
    std::vector<int16_t> pending(rows.begin(), rows.end());
    while (!pending.empty()) {
        const int16_t row = pending.back();
        pending.pop_back();
        CellTriples triples;
        AddRowCells(prompt, sheet, section, row, triples);
        std::set<NamedCell> named;
        for (const std::string& text : sheet->GetFormulas(triples))
            AddNamedCells(text, finder, own, inSection, named);
        for (const auto& [namedSection, namedRow, cell] : named) {
            if (rows.insert(namedRow).second) pending.push_back(namedRow);
        }
    }
    return rows;
}

}  // namespace tess::engine
