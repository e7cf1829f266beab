#include "window/SheetDiff.h"

#include <algorithm>
#include <map>
#include <string_view>

#include "app/ErrorReport.h"
#include "engine/ReferenceResolution.h"
#include "engine/SheetMap.h"
#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"
#include "window/RowDetails.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::window {
namespace {

using engine::CatalogueEntry;
using visio::ShapePtr;

/// The master shapes a sheet inherits from, nearest first, and their masters' names, each
/// asked of the host once.
class Inheritance {
public:
    explicit Inheritance(const ShapePtr& sheet) {
        for (ShapePtr shape = sheet->MasterShape(); shape; shape = shape->MasterShape())
            m_shapes.push_back(shape);
        m_names.resize(m_shapes.size());
    }

    /// Where a formula the sheet does not hold itself comes from: the nearest master shape it
    /// inherits from that holds it, else a style.
    FormulaOrigin OriginOf(int16_t section, int16_t row, int16_t cell, std::string& master) {
        for (size_t i = 0; i < m_shapes.size(); ++i) {
            const ShapePtr& shape = m_shapes[i];
            if (shape->CellsSRCExists(section, row, cell, visio::visExistsLocally)) {
                if (!m_names[i]) m_names[i] = shape->ContainingMaster()->Name();
                master = *m_names[i];
                return FormulaOrigin::Master;
            }
            if (!shape->CellsSRCExists(section, row, cell, visio::visExistsAnywhere)) break;
        }
        return FormulaOrigin::Style;
    }

private:
    std::vector<ShapePtr> m_shapes;
    std::vector<std::optional<std::string>> m_names;
};

/// A cell's name within its row, without the row's number ("X" for Scratch.X2 and Geometry1.X2).
std::string RowCellName(int16_t section, int16_t row, int16_t cell) {
    std::string name = CellShortName(section, row, cell);
    if (section == visio::visSectionObject) return name;
    while (name.size() > 1 && name.back() >= '0' && name.back() <= '9')
        name.pop_back();
    return name;
}

/// A Geometry row's type: its name, or its row tag where it has none.
std::string RowTypeText(app::IPrompt& prompt, const ShapePtr& sheet, int16_t section, int16_t row) {
    const std::string name = GetGeometryRowType(prompt, sheet, section, row);
    return name.empty() ? std::to_string(sheet->RowType(section, row)) : name;
}

/// The cells of a row that the sheet has, in the order given.
std::vector<CellImage> ReadCells(const ShapePtr& sheet, Inheritance& masters, int16_t section,
                                 int16_t row, const std::vector<int16_t>& cells) {
    std::vector<int16_t> stream;
    std::vector<CellImage> images;
    for (int16_t cell : cells) {
        // A cell of the sheet's own exists: most are, and so cost one question.
        const bool local = sheet->CellsSRCExists(section, row, cell, visio::visExistsLocally);
        if (!local && !sheet->CellsSRCExists(section, row, cell, visio::visExistsAnywhere))
            continue;
        stream.insert(stream.end(), {section, row, cell});
        CellImage image{cell, RowCellName(section, row, cell), {}, {}, FormulaOrigin::Local, {}};
        image.value = sheet->CellsSRC(section, row, cell)->ResultStr(visio::visNoCast);
        if (!local) image.origin = masters.OriginOf(section, row, cell, image.master);
        images.push_back(std::move(image));
    }
    if (images.empty()) return images;
    std::vector<std::string> formulas = sheet->GetFormulas(stream);
    for (size_t i = 0; i < images.size(); ++i)
        images[i].formula = std::move(formulas[i]);
    return images;
}

/// The cells a copy writes in a row of the entry's section.
std::vector<int16_t> CellsOfRow(app::IPrompt& prompt, const ShapePtr& sheet,
                                const CatalogueEntry& entry, int16_t section, int16_t row) {
    std::vector<int16_t> cells;
    if (visio::IsGeometrySection(section)) {
        for (int16_t c = 0; c < sheet->RowsCellCount(section, row); ++c)
            cells.push_back(c);
    } else {
        engine::GetCellIndicies(prompt, sheet, section,
                                section == visio::visSectionObject ? entry.row : row, cells);
    }
    return cells;
}

SectionImage ReadEntry(app::IPrompt& prompt, const ShapePtr& sheet, Inheritance& masters,
                       const CatalogueEntry& entry) {
    SectionImage image{&entry, {}};
    if (entry.kind == engine::EntryKind::Nothing) return image;
    if (RowsTabName(entry).empty()) {
        // Glue Info's cells sit in the Miscellaneous row.
        const int16_t row = entry.row == visio::kRowGlueInfo ? visio::visRowMisc : entry.row;
        if (!sheet->RowExists(entry.section, row, visio::visExistsAnywhere)) return image;
        image.rows.push_back({{}, {}, {},
                              ReadCells(sheet, masters, entry.section, row,
                                        CellsOfRow(prompt, sheet, entry, entry.section, row))});
        return image;
    }
    for (const ListedRow& listed : ListEntryRows(sheet, entry)) {
        RowImage row{listed.label, listed.name.empty() ? listed.label : "\n" + listed.name, {},
                     ReadCells(sheet, masters, listed.section, listed.row,
                               CellsOfRow(prompt, sheet, entry, listed.section, listed.row))};
        if (visio::IsGeometrySection(listed.section))
            row.type = RowTypeText(prompt, sheet, listed.section, listed.row);
        std::transform(row.key.begin(), row.key.end(), row.key.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
        image.rows.push_back(std::move(row));
    }
    return image;
}

/// True when the replacement list renames something ("Sheet.1!|Sheet.5!"), false when each
/// entry keeps its name, as between a shape and itself or its copy in another drawing.
bool Renames(const app::StringCollection& replacements) {
    return std::any_of(replacements.begin(), replacements.end(), [](const auto& entry) {
        const std::string_view item = entry.item;
        const size_t bar = item.find('|');
        return bar == std::string_view::npos || item.substr(0, bar) != item.substr(bar + 1);
    });
}

/// The first row's formulas as they read on the second sheet.
std::vector<std::string> MappedFormulas(app::IPrompt& prompt, const RowImage& row,
                                        const CatalogueEntry& entry, const ReferenceMap& map) {
    engine::FormulaList formulas;
    for (const CellImage& cell : row.cells)
        formulas.push_back(cell.formula);
    if (map.renamesSheets) engine::ResolveReferences(prompt, formulas, map.sheets);
    if (entry.section == visio::visSectionTextField && Renames(map.parents))
        engine::ResolveReferences(prompt, formulas, map.parents);
    return formulas;
}

const CellImage* FindCell(const RowImage& row, int16_t index) {
    for (const CellImage& cell : row.cells) {
        if (cell.cell == index) return &cell;
    }
    return nullptr;
}

RowDifference CompareRows(app::IPrompt& prompt, const RowImage& first, const RowImage& second,
                          const CatalogueEntry& entry, const ReferenceMap& map) {
    RowDifference row{first.label, true, true, {}, {}, {}};
    if (first.type != second.type) {
        row.firstType = first.type;
        row.secondType = second.type;
    }
    const std::vector<std::string> mapped = MappedFormulas(prompt, first, entry, map);
    for (size_t i = 0; i < first.cells.size(); ++i) {
        const CellImage& cell = first.cells[i];
        const CellImage* other = FindCell(second, cell.cell);
        CellDifference difference{cell.name, cell, {}, mapped[i], CellChange::Missing};
        if (other) {
            if (FormulaDisplayText(mapped[i]) != FormulaDisplayText(other->formula)) {
                difference.change = CellChange::Formula;
            } else if (cell.value != other->value && !cell.value.empty() &&
                       !other->value.empty()) {
                // An empty value is one the host could not compute: not a difference.
                difference.change = CellChange::Value;
            } else {
                continue;
            }
            difference.second = *other;
        }
        row.cells.push_back(std::move(difference));
    }
    for (const CellImage& cell : second.cells) {
        if (!FindCell(first, cell.cell))
            row.cells.push_back({cell.name, {}, cell, {}, CellChange::Missing});
    }
    return row;
}

/// A row only one sheet has.
RowDifference LoneRow(const RowImage& row, bool inFirst) {
    return {row.label.empty() ? std::string() : row.label, inFirst, !inFirst, {}, {}, {}};
}

SectionDifference CompareSections(app::IPrompt& prompt, const SectionImage& first,
                                  const SectionImage& second, const ReferenceMap& map) {
    SectionDifference section{first.entry, !first.rows.empty(), !second.rows.empty(), 0, {}};
    std::map<std::string, const RowImage*> seconds;
    for (const RowImage& row : second.rows)
        seconds.emplace(row.key, &row);
    for (const RowImage& row : first.rows) {
        const auto found = seconds.find(row.key);
        if (found == seconds.end()) {
            section.rows.push_back(LoneRow(row, true));
            continue;
        }
        ++section.rowsCompared;
        RowDifference difference = CompareRows(prompt, row, *found->second, *first.entry, map);
        seconds.erase(found);
        if (!difference.cells.empty() || difference.firstType != difference.secondType)
            section.rows.push_back(std::move(difference));
    }
    for (const RowImage& row : second.rows) {
        if (seconds.count(row.key)) section.rows.push_back(LoneRow(row, false));
    }
    return section;
}

}  // namespace

size_t SheetDiff::Count() const {
    size_t count = 0;
    for (const SectionDifference& section : sections) {
        for (const RowDifference& row : section.rows) {
            const bool typeDiffers = row.firstType != row.secondType;
            count += row.inFirst && row.inSecond ? row.cells.size() + (typeDiffers ? 1 : 0) : 1;
        }
    }
    return count;
}

std::string CellShortName(int16_t section, int16_t row, int16_t cell) {
    std::string name = formula::CellNameText(section, row, cell, "Row");
    if (const size_t bracket = name.find('['); bracket != std::string::npos) name.resize(bracket);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos) name = name.substr(dot + 1);
    return name;
}

Entries OfferedEntries(app::IPrompt& prompt, const ShapePtr& first, const ShapePtr& second) {
    SectionBoxes boxes, others;
    EnableDisableSections(prompt, boxes, ImageOfSheet(first), first);
    EnableDisableSections(prompt, others, ImageOfSheet(second), second);
    Entries entries;
    for (const CatalogueEntry& entry : engine::CatalogueEntries()) {
        const auto index = static_cast<size_t>(entry.index);
        if (entry.kind != engine::EntryKind::Nothing &&
            (boxes.boxes[index].enabled || others.boxes[index].enabled))
            entries.push_back(&entry);
    }
    return entries;
}

SheetImage ReadSheet(app::IPrompt& prompt, const ShapePtr& sheet, const Entries& entries) {
    SheetImage image;
    Inheritance masters(sheet);
    for (const CatalogueEntry* entry : entries)
        image.sections.push_back(ReadEntry(prompt, sheet, masters, *entry));
    return image;
}

ReferenceMap MapReferences(const ShapePtr& first, const ShapePtr& second) {
    ReferenceMap map{engine::SheetNameMap(first, second), {}};
    map.renamesSheets = Renames(map.sheets);
    app::IgnoreFailure([&] {
        const std::string from = visio::NameIDOf(first->Parent()) + "!";
        map.parents.Add(from + "|" + visio::NameIDOf(second->Parent()) + "!");
    });
    return map;
}

std::vector<std::pair<std::string, std::string>> MappedSheets(const ReferenceMap& map) {
    std::vector<std::pair<std::string, std::string>> sheets;
    for (const auto& entry : map.sheets) {
        // "Sheet.1!|Sheet.5!"
        const size_t bar = entry.item.find('|');
        std::string from = entry.item.substr(0, bar);
        std::string to = entry.item.substr(bar + 1);
        from.pop_back();
        to.pop_back();
        if (from != to) sheets.emplace_back(std::move(from), std::move(to));
    }
    return sheets;
}

SheetDiff CompareSheets(app::IPrompt& prompt, const SheetImage& first, const SheetImage& second,
                        const ReferenceMap& map) {
    SheetDiff diff;
    const size_t count = std::min(first.sections.size(), second.sections.size());
    for (size_t i = 0; i < count; ++i) {
        SectionDifference section =
            CompareSections(prompt, first.sections[i], second.sections[i], map);
        if (section.inFirst || section.inSecond) diff.sections.push_back(std::move(section));
    }
    return diff;
}

SheetComparison DiffSheets(app::IPrompt& prompt, const ShapePtr& first, const ShapePtr& second,
                           Entries entries) {
    if (entries.empty()) entries = OfferedEntries(prompt, first, second);
    const ReferenceMap map = MapReferences(first, second);
    return {MappedSheets(map), CompareSheets(prompt, ReadSheet(prompt, first, entries),
                                             ReadSheet(prompt, second, entries), map)};
}

std::string OriginText(const CellImage& cell) {
    switch (cell.origin) {
        case FormulaOrigin::Local:
            return "local";
        case FormulaOrigin::Master:
            return "master " + cell.master;
        case FormulaOrigin::Style:
            return "style";
    }
    return {};
}

}  // namespace tess::window
