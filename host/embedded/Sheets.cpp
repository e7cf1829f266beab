// Sections, rows and cells of a sheet, with what it inherits from its master shape and styles.
#include <algorithm>
#include <cctype>
#include <functional>

#include "formula/CellCatalogue.h"
#include "host/embedded/HostErrors.h"
#include "host/embedded/Model.h"
#include "platform/visio/Constants.h"

namespace tess::embedded {
namespace {

using namespace visio;

bool IsNamedSection(int16_t section) {
    return formula::IsNamedRowSection(section);
}

bool IsTextSection(int16_t section) {
    return section == visSectionCharacter || section == visSectionParagraph ||
           section == visSectionTab;
}

/// The style category that governs a cell: 0 line, 1 fill, 2 text and everything else.
int StyleCategory(int16_t section, int16_t row, int16_t cell) {
    if (section == visSectionLineGradientStops) return 0;
    if (section == visSectionFillGradientStops) return 1;
    if (section != visSectionObject) return 2;
    switch (row) {
        case visRowLine:
            return 0;
        case visRowFill:
        case 28:  // other effects
        case 29:  // bevel
        case 30:  // 3-D rotation
            return 1;
        case 26:  // gradients: line cells 0, 1, 4; the rest fill
            return cell == 0 || cell == 1 || cell == 4 ? 0 : 1;
        default:
            return 2;
    }
}

bool SameRowName(std::string_view a, std::string_view b) {
    return formula::SameName(a, b);
}

/// The default row tag of a new row in a section.
int16_t DefaultTag(int16_t section, int16_t position) {
    if (IsGeometrySection(section)) return position == 0 ? visTagComponent : visTagLineTo;
    switch (section) {
        case visSectionConnectionPts:
            return visTagCnnctPt;
        case visSectionControls:
            return visTagCtlPtTip;  // files hold every control with its tip
        default:
            return 0;
    }
}

bool IsValidTag(int16_t section, int16_t tag) {
    if (IsGeometrySection(section)) return formula::GeometryCellCount(tag) > 0;
    switch (section) {
        case visSectionConnectionPts:
            return tag == visTagCnnctPt || tag == visTagCnnctNamed || tag == visTagCnnctPtABCD ||
                   tag == visTagCnnctNamedABCD;
        case visSectionControls:
            return tag == visTagCtlPt || tag == visTagCtlPtTip;
        default:
            return tag == 0;
    }
}

bool IsValidRowName(std::string_view name) {
    if (name.empty() || name.size() > 255) return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
               static_cast<unsigned char>(c) >= 0x80;
    });
}

/// Page and document sheets hold only the sections Visio gives them; shapes and styles hold any.
bool CanHoldSection(SheetKind kind, int16_t section) {
    switch (kind) {
        case SheetKind::PageSheet:
            return section == visSectionScratch || section == visSectionAction ||
                   section == visSectionLayer || section == visSectionUser ||
                   section == visSectionProp || section == visSectionHyperlink ||
                   section == visSectionAnnotation || section == visSectionSmartTag;
        case SheetKind::DocumentSheet:
            return section == visSectionScratch || section == visSectionUser ||
                   section == visSectionProp || section == visSectionHyperlink ||
                   section == visSectionReviewer || section == visSectionAnnotation;
        default:
            return true;
    }
}

const char* SheetKindName(SheetKind kind) {
    return kind == SheetKind::PageSheet ? "A page sheet" : "The document sheet";
}

}  // namespace

bool CanHoldObjectRow(const SheetData& sheet, int16_t row) {
    const auto bit = static_cast<size_t>(row);
    switch (sheet.kind) {
        case SheetKind::PageSheet:
        case SheetKind::DocumentSheet:
            return DefaultObjectRows(sheet.kind, sheet.shapeKind).test(bit);
        case SheetKind::Shape: {
            // The rows of page and document sheets are theirs alone.
            const auto others = DefaultObjectRows(SheetKind::PageSheet, ShapeKind::Shape) |
                                DefaultObjectRows(SheetKind::DocumentSheet, ShapeKind::Shape);
            const auto shapes = DefaultObjectRows(SheetKind::Shape, ShapeKind::Shape);
            return shapes.test(bit) || !others.test(bit);
        }
        case SheetKind::StyleSheet:
            return true;
    }
    return true;
}

std::bitset<40> DefaultObjectRows(SheetKind kind, ShapeKind shapeKind) {
    std::bitset<40> rows;
    const auto set = [&](std::initializer_list<int> list) {
        for (int row : list)
            rows.set(static_cast<size_t>(row));
    };
    switch (kind) {
        case SheetKind::Shape:
            set({visRowXFormOut, visRowLine, visRowFill, visRowEvent, visRowLayerMem, visRowText,
                 visRowTextXForm, visRowAlign, visRowLock, visRowHelpCopyright, visRowMisc,
                 visRowShapeLayout, 26, 27, 28, 29, 30, 31, 32});
            if (shapeKind == ShapeKind::Foreign) set({visRowForeign, visRowImage});
            if (shapeKind == ShapeKind::Group) set({visRowGroup});
            break;
        case SheetKind::PageSheet:
            set({visRowPage, visRowRulerGrid, visRowPageLayout, visRowPrintProperties, 31});
            break;
        case SheetKind::DocumentSheet:
            set({visRowDoc});
            break;
        case SheetKind::StyleSheet:
            for (int row = 1; row < 33; ++row)
                rows.set(static_cast<size_t>(row));
            break;
    }
    return rows;
}

// --- Inheritance ----------------------------------------------------------------------------

const SheetData* Model::InheritanceSource(const SheetData& sheet, int16_t section) const {
    if (sheet.masterShape && sheet.masterShape->Section(section)) return sheet.masterShape.get();
    int category = -1;
    if (IsTextSection(section)) category = 2;
    if (section == visSectionLineGradientStops) category = 0;
    if (section == visSectionFillGradientStops) category = 1;
    if (category < 0 || !sheet.document) return nullptr;
    const SheetData* style = Style(*sheet.document, sheet.styles[static_cast<size_t>(category)]);
    return style == &sheet ? nullptr : style;
}

const SheetData* Model::StyleFor(const SheetData& sheet, int16_t section, int16_t row,
                                 int16_t cell) const {
    if (!sheet.document) return nullptr;
    const SheetData* style = Style(
        *sheet.document, sheet.styles[static_cast<size_t>(StyleCategory(section, row, cell))]);
    return style == &sheet ? nullptr : style;
}

const CellData* Model::OwnCell(const SheetData& sheet, int16_t section, int16_t row,
                               int16_t cell) const {
    if (section == visSectionObject) return sheet.objectCells.Find(ObjectCellKey(row, cell));
    const SectionData* data = sheet.Section(section);
    if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size()) return nullptr;
    return data->rows[static_cast<size_t>(row)].Find(cell);
}

const CellData* Model::FormulaCell(const SheetData& sheet, int16_t section, int16_t row,
                                   int16_t cell, const SheetData** owner) const {
    const SheetData* current = &sheet;
    for (int depth = 0; current && depth < 64; ++depth) {
        const CellData* own = OwnCell(*current, section, row, cell);
        if (own && own->source != CellData::Source::Inherited) {
            if (owner) *owner = current;
            return own;
        }
        if (section == visSectionObject) {
            if (current->masterShape) {
                if (const CellData* inherited =
                        FormulaCell(*current->masterShape, section, row, cell, owner)) {
                    return inherited;
                }
            }
            current = StyleFor(*current, section, row, cell);
            continue;
        }
        const SectionData* data = current->Section(section);
        if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size()) return nullptr;
        const RowData& rowData = data->rows[static_cast<size_t>(row)];
        if (rowData.key < 0) return nullptr;
        const SheetData* source = InheritanceSource(*current, section);
        section = data->key >= 0 ? data->key : section;
        row = rowData.key;
        current = source;
    }
    return nullptr;
}

namespace {

/// The sections a sheet can inherit: its master shape's, and the text and gradient sections
/// of its styles.
std::vector<int16_t> InheritableSections(const SheetData& sheet) {
    std::vector<int16_t> candidates;
    if (sheet.masterShape) {
        for (const auto& section : sheet.masterShape->sections)
            candidates.push_back(section.index);
    }
    for (int16_t text : {visSectionCharacter, visSectionParagraph, visSectionTab,
                         visSectionLineGradientStops, visSectionFillGradientStops}) {
        if (std::find(candidates.begin(), candidates.end(), text) == candidates.end())
            candidates.push_back(text);
    }
    return candidates;
}

/// A named row deleted and then added again is one row of the sheet's own that overrides the
/// inherited one, however a file says it: its inherited row is no longer deleted.
void ForgetReaddedRows(std::vector<int16_t>& deletedKeys, const SectionData& own,
                       const SectionData& inherited) {
    std::erase_if(deletedKeys, [&](int16_t key) {
        const auto k = static_cast<size_t>(key);
        return k < inherited.rows.size() && !inherited.rows[k].name.empty() &&
               std::any_of(own.rows.begin(), own.rows.end(), [&](const RowData& row) {
                   return row.local && SameRowName(row.name, inherited.rows[k].name);
               });
    });
}

/// The row a sheet shows in the place of inherited row `key`: its own row overriding it (by
/// name in named-row sections, else by key) when one not yet `used` does, else a row with no
/// cells of its own. A row that is not the sheet's own shows the inherited type and name.
RowData RowOverriding(const SectionData* own, std::vector<bool>& used, const RowData& from,
                      int16_t key, bool named) {
    RowData row;
    for (size_t i = 0; own && i < own->rows.size(); ++i) {
        const RowData& candidate = own->rows[i];
        const bool match = named && !from.name.empty() ? SameRowName(candidate.name, from.name)
                                                       : candidate.key == key;
        if (!used[i] && match) {
            row = candidate;
            used[i] = true;
            break;
        }
    }
    if (!row.local) {
        row.type = from.type;
        row.name = from.name;
    }
    row.key = key;
    return row;
}

/// One section as the sheet shows it: the inherited rows it did not delete (overridden by its
/// own where it has them), then the rows of its own that override none.
SectionData MergedSection(const SectionData* own, const SectionData& inherited, int16_t index) {
    SectionData merged;
    merged.index = index;
    merged.local = own && own->local;
    merged.key = index;
    merged.origin = own ? own->origin : -1;
    merged.deletedKeys = own ? own->deletedKeys : std::vector<int16_t>();
    const bool named = IsNamedSection(index);
    if (own && named) ForgetReaddedRows(merged.deletedKeys, *own, inherited);
    std::vector<bool> used(own ? own->rows.size() : 0, false);
    merged.rows.reserve(inherited.rows.size());
    for (size_t k = 0; k < inherited.rows.size(); ++k) {
        const auto key = static_cast<int16_t>(k);
        if (std::count(merged.deletedKeys.begin(), merged.deletedKeys.end(), key)) continue;
        merged.rows.push_back(RowOverriding(own, used, inherited.rows[k], key, named));
    }
    for (size_t i = 0; own && i < own->rows.size(); ++i) {
        if (!used[i] && own->rows[i].local) {
            RowData row = own->rows[i];
            row.key = -1;
            merged.rows.push_back(std::move(row));
        }
    }
    return merged;
}

}  // namespace

void Model::SyncInheritedRows(const SheetPtr& sheet) {
    const std::vector<int16_t> candidates = InheritableSections(*sheet);
    sheet->sections.reserve(sheet->sections.size() + candidates.size());
    for (int16_t index : candidates) {
        const SheetData* source = InheritanceSource(*sheet, index);
        const SectionData* inherited = source ? source->Section(index) : nullptr;
        if (!inherited) continue;
        if (std::count(sheet->deletedSections.begin(), sheet->deletedSections.end(), index))
            continue;
        const SectionData* own = sheet->Section(index);
        SectionData merged = MergedSection(own, *inherited, index);
        if (own) RemoveSection(sheet, index);
        InsertSection(sheet, std::move(merged));
    }
    DropOrphanedSections(sheet);
    if (sheet->masterShape &&
        (sheet->objectRows | sheet->masterShape->objectRows) != sheet->objectRows) {
        SetObjectRows(sheet, sheet->objectRows | sheet->masterShape->objectRows);
    }
}

void Model::DropOrphanedSections(const SheetPtr& sheet) {
    for (size_t i = sheet->sections.size(); i-- > 0;) {
        const SectionData& own = sheet->sections[i];
        if (own.key < 0) continue;
        const SheetData* source = InheritanceSource(*sheet, own.index);
        if (source && source->Section(own.index)) continue;
        SectionData kept = RemoveSection(sheet, own.index);
        if (!kept.local) continue;
        kept.key = -1;
        kept.deletedKeys.clear();
        kept.rows.erase(std::remove_if(kept.rows.begin(), kept.rows.end(),
                                       [](const RowData& row) { return !row.local; }),
                        kept.rows.end());
        for (RowData& row : kept.rows)
            row.key = -1;
        // A Geometry section begins with its component row: an inherited one that went with
        // its source is one of the sheet's own now, without formulas.
        if (IsGeometrySection(kept.index) && !kept.rows.empty() &&
            kept.rows.front().type != visTagComponent) {
            RowData component;
            component.type = visTagComponent;
            component.local = true;
            kept.rows.insert(kept.rows.begin(), std::move(component));
        }
        InsertSection(sheet, std::move(kept));
    }
}

void Model::LoadShapes(ShapeContainer& where) {
    if (!where.pendingShapes) return;
    const std::function<void()> load = std::move(where.pendingShapes);
    where.pendingShapes = nullptr;
    const bool undo = m_undo.Enabled();
    m_undo.SetEnabled(false);  // reading is not a change anyone can undo
    try {
        load();
    } catch (...) {
        m_undo.SetEnabled(undo);
        where.pendingShapes = load;
        throw;
    }
    m_undo.SetEnabled(undo);
}

void Model::LinkInheritance(ShapeContainer& container) {
    std::function<void(const SheetPtr&)> link = [&](const SheetPtr& sheet) {
        SyncInheritedRows(sheet);
        for (const auto& member : sheet->shapes)
            link(member);
    };
    for (const auto& shape : container.shapes)
        link(shape);
}

void Model::LinkInheritance(DocumentData& document) {
    std::function<void(const SheetPtr&)> link = [&](const SheetPtr& sheet) {
        SyncInheritedRows(sheet);
        for (const auto& member : sheet->shapes)
            link(member);
    };
    // Styles first, each after the styles it inherits from.
    std::vector<const SheetData*> done;
    std::function<void(const SheetPtr&, int)> linkStyle = [&](const SheetPtr& style, int depth) {
        if (depth > 64 || std::count(done.begin(), done.end(), style.get())) return;
        done.push_back(style.get());
        for (int32_t parent : style->styles) {
            SheetData* found = Style(document, parent);
            if (found && found != style.get()) linkStyle(found->shared_from_this(), depth + 1);
        }
        SyncInheritedRows(style);
    };
    for (const auto& style : document.styles)
        linkStyle(style, 0);
    for (const auto& master : document.masters) {
        if (master->pageSheet) link(master->pageSheet);
        for (const auto& shape : master->shapes)
            link(shape);
    }
    for (const auto& page : document.pages) {
        if (page->pageSheet) link(page->pageSheet);
        for (const auto& shape : page->shapes)
            link(shape);
    }
    if (document.documentSheet) link(document.documentSheet);
}

// --- Queries --------------------------------------------------------------------------------

bool Model::SectionExists(const SheetData& sheet, int16_t section, bool locally) const {
    if (section == visSectionObject) return true;
    const SectionData* data = sheet.Section(section);
    return data && (!locally || data->local);
}

int16_t Model::RowCount(const SheetData& sheet, int16_t section) const {
    if (section == visSectionObject) return static_cast<int16_t>(sheet.objectRows.count());
    const SectionData* data = sheet.Section(section);
    return data ? static_cast<int16_t>(data->rows.size()) : 0;
}

bool Model::RowExists(const SheetData& sheet, int16_t section, int16_t row, bool locally) const {
    if (section == visSectionObject) {
        if (row < 0 || row >= 40 || !sheet.objectRows.test(static_cast<size_t>(row))) return false;
        if (!locally || !sheet.masterShape) return true;
        return std::any_of(sheet.objectCells.cells.begin(), sheet.objectCells.cells.end(),
                           [&](const CellData& cell) {
                               return cell.index / 64 == row &&
                                      cell.source != CellData::Source::Inherited;
                           });
    }
    const SectionData* data = sheet.Section(section);
    if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size()) return false;
    return !locally || data->rows[static_cast<size_t>(row)].local;
}

int16_t Model::ObjectRowCellCount(int16_t row) const {
    return formula::ColumnCount(visSectionObject, row);
}

int16_t Model::RowsCellCount(const SheetData& sheet, int16_t section, int16_t row) const {
    if (!RowExists(sheet, section, row, false)) hosterr::Raise(hosterr::kNoSuchCell);
    if (section == visSectionObject) return ObjectRowCellCount(row);
    if (IsGeometrySection(section)) return formula::GeometryCellCount(RowType(sheet, section, row));
    return formula::ColumnCount(section, row);
}

bool Model::CellExists(const SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                       bool locally) const {
    if (!RowExists(sheet, section, row, false) || cell < 0) return false;
    if (IsGeometrySection(section)) {
        if (cell >= formula::GeometryCellCount(RowType(sheet, section, row))) return false;
    } else if (!formula::IsKnownCell(section, row, cell)) {
        return false;
    }
    if (!locally) return true;
    const CellData* own = OwnCell(sheet, section, row, cell);
    return own && own->source != CellData::Source::Inherited;
}

int16_t Model::GeometryCount(const SheetData& sheet) const {
    return static_cast<int16_t>(
        std::count_if(sheet.sections.begin(), sheet.sections.end(),
                      [](const SectionData& data) { return IsGeometrySection(data.index); }));
}

int16_t Model::RowType(const SheetData& sheet, int16_t section, int16_t row) const {
    if (section == visSectionObject) {
        if (!RowExists(sheet, section, row, false)) hosterr::Raise(hosterr::kNoSuchCell);
        return 0;
    }
    const SectionData* data = sheet.Section(section);
    if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size())
        hosterr::Raise(hosterr::kNoSuchCell);
    return data->rows[static_cast<size_t>(row)].type;
}

std::string Model::RowName(const SheetData& sheet, int16_t section, int16_t row) const {
    if (section == visSectionObject) return {};
    const SectionData* data = sheet.Section(section);
    if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size())
        hosterr::Raise(hosterr::kNoSuchCell);
    return data->rows[static_cast<size_t>(row)].name;
}

int16_t Model::FindNamedRow(const SheetData& sheet, int16_t section, std::string_view name) const {
    const SectionData* data = sheet.Section(section);
    if (!data) return -1;
    for (size_t i = 0; i < data->rows.size(); ++i) {
        if (SameRowName(data->rows[i].name, name)) return static_cast<int16_t>(i);
    }
    return -1;
}

std::string Model::Formula(const SheetData& sheet, int16_t section, int16_t row,
                           int16_t cell) const {
    const SheetData* owner = nullptr;
    const CellData* source = FormulaCell(sheet, section, row, cell, &owner);
    return source && source->source == CellData::Source::Local
               ? SeenThrough(sheet, *owner, source->formula)
               : std::string();
}

bool Model::IsOneD(const SheetData& sheet) const {
    return sheet.objectRows.test(visRowXForm1D);
}

// --- Changes --------------------------------------------------------------------------------

SectionData Model::NewLocalSection(const SheetPtr& sheet, int16_t section) {
    SectionData fresh;
    fresh.index = section;
    fresh.local = true;
    auto deleted = sheet->deletedSections;
    const auto hidden = std::find(deleted.begin(), deleted.end(), section);
    if (hidden != deleted.end()) {
        // Re-added after being deleted: in the file a section of the sheet's own at the index of
        // an inherited one overrides it, so the section takes that one's place again, with the
        // inherited rows hidden.
        const SheetData* source = InheritanceSource(*sheet, section);
        const SectionData* inherited = source ? source->Section(section) : nullptr;
        for (size_t k = 0; inherited && k < inherited->rows.size(); ++k) {
            fresh.deletedKeys.push_back(static_cast<int16_t>(k));
        }
        deleted.erase(hidden);
        SetDeletedSections(sheet, std::move(deleted));
        fresh.key = section;
    }
    return fresh;
}

SectionData& Model::LocalSection(const SheetPtr& sheet, int16_t section) {
    SectionData* data = sheet->Section(section);
    if (!data) {
        InsertSection(sheet, NewLocalSection(sheet, section));
        return *sheet->Section(section);
    }
    if (!data->local) SetSectionHead(sheet, section, true, data->key, data->deletedKeys);
    return *sheet->Section(section);
}

void Model::MakeRowLocal(const SheetPtr& sheet, int16_t section, int16_t row) {
    if (section == visSectionObject) return;
    LocalSection(sheet, section);
    const RowData& data = sheet->Section(section)->rows[static_cast<size_t>(row)];
    if (!data.local)
        ReplaceRowHead(sheet, section, static_cast<size_t>(row), data.type, data.name, data.key,
                       true);
}

void Model::RequireSection(const SheetData& sheet, int16_t section) {
    // A section the sheet has already (read from a file) stays usable.
    if (CanHoldSection(sheet.kind, section) || sheet.Section(section)) return;
    hosterr::Raise(hosterr::kBadArgument, std::string(SheetKindName(sheet.kind)) +
                                              " cannot have section " + std::to_string(section) +
                                              ".");
}

void Model::CheckCellWritable(const SheetData& sheet, int16_t section, int16_t row,
                              int16_t cell) const {
    RequireAlive(sheet);
    if (!CellExists(sheet, section, row, cell, false)) {
        hosterr::Raise(hosterr::kNoSuchCell, "Section " + std::to_string(section) + ", row " +
                                                 std::to_string(row) + ", cell " +
                                                 std::to_string(cell) + ".");
    }
}

int16_t Model::AddSection(const SheetPtr& sheet, int16_t section) {
    RequireAlive(*sheet);
    if (section == visSectionObject || IsTextSection(section) || section < 0 || section > 252) {
        hosterr::Raise(hosterr::kBadArgument,
                       "Section " + std::to_string(section) + " cannot be added.");
    }
    RequireSection(*sheet, section);
    if (IsGeometrySection(section)) {
        const int16_t count = GeometryCount(*sheet);
        if (section > visSectionFirstComponent + count) hosterr::Raise(hosterr::kBadArgument);
        for (int16_t index = static_cast<int16_t>(visSectionFirstComponent + count - 1);
             index >= section; --index) {
            SectionData moved = RemoveSection(sheet, index);
            moved.index = static_cast<int16_t>(index + 1);
            InsertSection(sheet, std::move(moved));
        }
        InsertSection(sheet, NewLocalSection(sheet, section));
        return section;
    }
    if (sheet->Section(section))
        hosterr::Raise(hosterr::kNotAllowed, "The section already exists.");
    LocalSection(sheet, section);
    return section;
}

void Model::DeleteSection(const SheetPtr& sheet, int16_t section) {
    RequireAlive(*sheet);
    SectionData* data = sheet->Section(section);
    if (!data) hosterr::Raise(hosterr::kNoSuchCell);
    if (IsTextSection(section))
        hosterr::Raise(hosterr::kNotAllowed, "The text sections cannot be deleted.");
    const SheetData* source = InheritanceSource(*sheet, data->key >= 0 ? data->key : section);
    const bool inherited = data->key >= 0 && source && source->Section(data->key);
    if (inherited) {
        auto deleted = sheet->deletedSections;
        deleted.push_back(data->key);
        SetDeletedSections(sheet, std::move(deleted));
    }
    RemoveSection(sheet, section);
    if (IsGeometrySection(section)) {
        for (int16_t index = static_cast<int16_t>(section + 1); index <= visSectionLastComponent;
             ++index) {
            if (!sheet->Section(index)) break;
            SectionData moved = RemoveSection(sheet, index);
            moved.index = static_cast<int16_t>(index - 1);
            InsertSection(sheet, std::move(moved));
        }
    }
}

namespace {

/// The first "Row_n" that no row of the section has and that `deleted` (the name of an
/// inherited row the sheet deleted) does not hold.
std::string AutomaticRowName(const SectionData* section,
                             const std::function<bool(std::string_view)>& deleted) {
    for (size_t n = section ? section->rows.size() + 1 : 1;; ++n) {
        const std::string name = "Row_" + std::to_string(n);
        const bool taken =
            section && std::any_of(section->rows.begin(), section->rows.end(),
                                   [&](const RowData& row) { return SameRowName(row.name, name); });
        if (!taken && !deleted(name)) return name;
    }
}

bool RowsAreNamed(const SectionData* section) {
    return section && !section->rows.empty() && !section->rows.front().name.empty();
}

/// Whether a row appended at position takes back the place of the inherited row of that index
/// the section deleted: the rows before it are inherited rows at their own indices.
bool RevivesDeletedRow(const SectionData& section, int16_t position) {
    if (section.key < 0 || static_cast<size_t>(position) != section.rows.size() ||
        std::find(section.deletedKeys.begin(), section.deletedKeys.end(), position) ==
            section.deletedKeys.end())
        return false;
    if (position == 0) return true;
    const int16_t before = section.rows.back().key;
    return before >= 0 && before < position;
}

}  // namespace

int16_t Model::AddRow(const SheetPtr& sheet, int16_t section, int16_t row, int16_t rowTag) {
    RequireAlive(*sheet);
    if (section == visSectionObject) {
        if (row <= 0 || row >= 40 || ObjectRowCellCount(row) == 0)
            hosterr::Raise(hosterr::kBadArgument);
        if (!CanHoldObjectRow(*sheet, row)) {
            hosterr::Raise(hosterr::kBadArgument,
                           "The sheet cannot have row " + std::to_string(row) + ".");
        }
        if (sheet->objectRows.test(static_cast<size_t>(row))) {
            hosterr::Raise(hosterr::kNotAllowed, "The row already exists.");
        }
        auto rows = sheet->objectRows;
        rows.set(static_cast<size_t>(row));
        SetObjectRows(sheet, rows);
        return row;
    }
    if (IsTextSection(section) || section < 0 || section > 252) {
        hosterr::Raise(hosterr::kNotAllowed,
                       "Rows cannot be added to section " + std::to_string(section) + ".");
    }
    RequireSection(*sheet, section);
    const SectionData* existing = sheet->Section(section);
    const bool named =
        IsNamedSection(section) || (section == visSectionConnectionPts && RowsAreNamed(existing));
    const int16_t count = existing ? static_cast<int16_t>(existing->rows.size()) : 0;
    int16_t position = row == visRowLast || row > count ? count : row;
    if (position < 0) hosterr::Raise(hosterr::kBadArgument);
    if (named) position = count;
    const int16_t tag = rowTag == visTagDefault ? DefaultTag(section, position) : rowTag;
    if (!IsValidTag(section, tag))
        hosterr::Raise(hosterr::kBadArgument, "Invalid row tag " + std::to_string(rowTag) + ".");
    const SectionData& data = LocalSection(sheet, section);
    RowData fresh;
    fresh.type = tag;
    fresh.local = true;
    if (named) {
        fresh.name = AutomaticRowName(sheet->Section(section), DeletedNames(sheet, section));
    } else if (RevivesDeletedRow(data, position)) {
        // In the file a row of the sheet's own at the index of an inherited row it deleted
        // overrides that row: the row added takes its place. A Geometry section's component
        // row is the sheet's own once it has a cell of its own: the file says no more.
        fresh.key = position;
        fresh.local = !(IsGeometrySection(section) && position == 0);
        std::vector<int16_t> keys = data.deletedKeys;
        std::erase(keys, position);
        SetSectionHead(sheet, section, true, data.key, std::move(keys));
    }
    InsertRow(sheet, section, static_cast<size_t>(position), std::move(fresh));
    return position;
}

int16_t Model::AddNamedRow(const SheetPtr& sheet, int16_t section, const std::string& name,
                           int16_t rowTag) {
    RequireAlive(*sheet);
    if (!IsNamedSection(section) && section != visSectionConnectionPts)
        hosterr::Raise(hosterr::kBadArgument);
    if (!name.empty() && (!IsValidRowName(name) || FindNamedRow(*sheet, section, name) >= 0)) {
        hosterr::Raise(hosterr::kBadArgument, "Invalid or duplicate row name '" + name + "'.");
    }
    if (section == visSectionConnectionPts && !RowsAreNamed(sheet->Section(section))) {
        const SectionData* points = sheet->Section(section);
        for (size_t i = 0; points && i < points->rows.size(); ++i) {
            SetRowName(sheet, section, static_cast<int16_t>(i), "Row_" + std::to_string(i + 1));
        }
    }
    const int16_t index = AddRow(sheet, section, visRowLast, rowTag);
    if (section == visSectionConnectionPts &&
        sheet->Section(section)->rows[static_cast<size_t>(index)].name.empty()) {
        SetRowName(sheet, section, index,
                   name.empty()
                       ? AutomaticRowName(sheet->Section(section), DeletedNames(sheet, section))
                       : name);
    } else if (!name.empty()) {
        SetRowName(sheet, section, index, name);
        // A row that takes back an inherited row's place stands where that row stood.
        return FindNamedRow(*sheet, section, name);
    }
    return index;
}

void Model::DeleteRow(const SheetPtr& sheet, int16_t section, int16_t row) {
    RequireAlive(*sheet);
    if (section == visSectionObject) {
        if (!RowExists(*sheet, section, row, false)) hosterr::Raise(hosterr::kNoSuchCell);
        if (row != visRowXForm1D && row != visRowGroup) {
            hosterr::Raise(hosterr::kNotAllowed, "This row cannot be deleted.");
        }
        auto rows = sheet->objectRows;
        rows.reset(static_cast<size_t>(row));
        SetObjectRows(sheet, rows);
        return;
    }
    if (IsTextSection(section))
        hosterr::Raise(hosterr::kNotAllowed, "Rows of the text sections follow the text.");
    const SectionData* data = sheet->Section(section);
    if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size())
        hosterr::Raise(hosterr::kNoSuchCell);
    RemoveOwnedRow(sheet, section, row);
}

void Model::RemoveOwnedRow(const SheetPtr& sheet, int16_t section, int16_t row) {
    const SectionData* data = sheet->Section(section);
    const int16_t key = data->rows[static_cast<size_t>(row)].key;
    if (key >= 0) {
        auto deleted = data->deletedKeys;
        deleted.push_back(key);
        SetSectionHead(sheet, section, true, data->key, std::move(deleted));
    }
    RemoveRow(sheet, section, static_cast<size_t>(row));
}

void Model::SetRowName(const SheetPtr& sheet, int16_t section, int16_t row,
                       const std::string& name) {
    RequireAlive(*sheet);
    const SectionData* data = sheet->Section(section);
    if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size())
        hosterr::Raise(hosterr::kNoSuchCell);
    if (!IsNamedSection(section) && section != visSectionConnectionPts) {
        hosterr::Raise(hosterr::kNotAllowed, "Rows of this section have no names.");
    }
    // Connection points without names keep none: naming one of them nothing changes nothing.
    if (section == visSectionConnectionPts && name.empty() && !RowsAreNamed(data)) return;
    const int16_t other = FindNamedRow(*sheet, section, name);
    if (!IsValidRowName(name) || (other >= 0 && other != row)) {
        hosterr::Raise(hosterr::kBadArgument, "Invalid or duplicate row name '" + name + "'.");
    }
    if (section == visSectionConnectionPts && !RowsAreNamed(data)) {
        for (size_t i = 0; i < data->rows.size(); ++i) {
            if (static_cast<int16_t>(i) == row) continue;
            const RowData& current = sheet->Section(section)->rows[i];
            MakeRowLocal(sheet, section, static_cast<int16_t>(i));
            ReplaceRowHead(sheet, section, i, current.type, "Row_" + std::to_string(i + 1),
                           current.key, true);
        }
    }
    MakeRowLocal(sheet, section, row);
    const RowData& current = sheet->Section(section)->rows[static_cast<size_t>(row)];
    const int16_t type = current.type;
    int16_t key = current.key;
    if (key < 0) {
        // A row of the sheet's own named as an inherited row it deleted takes that row's place:
        // a section holds one row of a name, and the row overrides the inherited one.
        const SectionData& head = *sheet->Section(section);
        if (const auto deleted = DeletedRowNamed(*sheet, section, name)) {
            key = *deleted;
            std::vector<int16_t> keys = head.deletedKeys;
            std::erase(keys, key);
            SetSectionHead(sheet, section, head.local, head.key, std::move(keys));
            ReplaceRowHead(sheet, section, static_cast<size_t>(row), type, name, key, true);
            // It stands where the inherited row stood: a file keeps inherited rows in their
            // master's order.
            SyncInheritedRows(sheet);
            return;
        }
    }
    ReplaceRowHead(sheet, section, static_cast<size_t>(row), type, name, key, true);
}

std::optional<int16_t> Model::DeletedRowNamed(const SheetData& sheet, int16_t section,
                                              std::string_view name) const {
    const SectionData* data = sheet.Section(section);
    if (!data || data->deletedKeys.empty()) return std::nullopt;
    const int16_t index = data->key >= 0 ? data->key : section;
    const SheetData* source = InheritanceSource(sheet, index);
    const SectionData* inherited = source ? source->Section(index) : nullptr;
    for (int16_t key : data->deletedKeys) {
        if (inherited && static_cast<size_t>(key) < inherited->rows.size() &&
            SameRowName(inherited->rows[static_cast<size_t>(key)].name, name)) {
            return key;
        }
    }
    return std::nullopt;
}

std::function<bool(std::string_view)> Model::DeletedNames(const SheetPtr& sheet,
                                                          int16_t section) const {
    return [this, sheet, section](std::string_view name) {
        return DeletedRowNamed(*sheet, section, name).has_value();
    };
}

void Model::SetRowType(const SheetPtr& sheet, int16_t section, int16_t row, int16_t rowTag) {
    RequireAlive(*sheet);
    const SectionData* data = sheet->Section(section);
    if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size())
        hosterr::Raise(hosterr::kNoSuchCell);
    if (!IsValidTag(section, rowTag)) hosterr::Raise(hosterr::kBadArgument);
    MakeRowLocal(sheet, section, row);
    const RowData& current = sheet->Section(section)->rows[static_cast<size_t>(row)];
    ReplaceRowHead(sheet, section, static_cast<size_t>(row), rowTag, current.name, current.key,
                   true);
}

void Model::SetOneD(const SheetPtr& sheet, bool oneD) {
    RequireAlive(*sheet);
    if (sheet->kind != SheetKind::Shape) hosterr::Raise(hosterr::kNotAllowed);
    if (oneD == IsOneD(*sheet)) return;
    auto rows = sheet->objectRows;
    rows.set(visRowXForm1D, oneD);
    SetObjectRows(sheet, rows);
    if (oneD) {
        // The endpoints lie on the shape's horizontal centre line.
        SetLocalFormula(sheet, visSectionObject, visRowXForm1D, 0, "PinX-Width*0.5");
        SetLocalFormula(sheet, visSectionObject, visRowXForm1D, 1, "PinY");
        SetLocalFormula(sheet, visSectionObject, visRowXForm1D, 2, "PinX+Width*0.5");
        SetLocalFormula(sheet, visSectionObject, visRowXForm1D, 3, "PinY");
    }
}

}  // namespace tess::embedded
