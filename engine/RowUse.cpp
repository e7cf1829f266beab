#include "engine/RowUse.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "engine/ReferenceIndex.h"
#include "formula/Formula.h"
#include "platform/visio/Constants.h"

namespace tess::engine {
namespace {

using visio::ShapePtr;

/// Finds the rows of one sheet that references name, by index or by name.
class RowFinder {
public:
    explicit RowFinder(const ShapePtr& sheet) : m_sheet(sheet) {}

    int16_t Row(const ReferencedCell& cell) {
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

/// A sheet and its members at any depth.
std::vector<ShapePtr> Members(const ShapePtr& sheet) {
    std::vector<ShapePtr> members{sheet};
    for (size_t i = 0; i < members.size(); ++i) {
        if (members[i]->Type() != visio::visTypeGroup) continue;
        const visio::ShapesPtr list = members[i]->Shapes();
        const int16_t count = list ? list->Count() : int16_t{0};
        for (int16_t k = 1; k <= count; ++k)
            members.push_back(list->Item(k));
    }
    return members;
}

/// The sheets the run is writing now, read as they stand: the current destination and its
/// members, of those that are neighbours in place; sheet alone where it has no place.
struct Writing {
    std::vector<IndexedSheet> sheets;
    std::set<int32_t> keys;

    /// Whether a sheet the index read is one of these, or a member since deleted of one.
    bool Covers(const IndexedSheet& read) const {
        const auto in = [&](int32_t key) { return keys.count(key) > 0; };
        return in(read.Key()) || std::any_of(read.groups.begin(), read.groups.end(), in);
    }
};

Writing ReadWriting(CopyRun& run, const ShapePtr& sheet, const Place& place) {
    Writing writing;
    const ShapePtr top = place.key.empty() || !run.Current().sheet ? sheet : run.Current().sheet;
    for (const ShapePtr& member : Members(top)) {
        // A master's page sheet is none of its shapes' neighbours.
        if (!place.key.empty() && !place.pageSheet && member->Type() == visio::visTypePage) continue;
        writing.sheets.push_back(ReadSheet(run, member, {}));
        writing.keys.insert(writing.sheets.back().Key());
    }
    return writing;
}

/// The sheets of place whose formulas may name target: those the index read, and those being
/// written as they stand.
std::vector<const IndexedSheet*> Neighbours(CopyRun& run, const Place& place,
                                            const IndexedSheet& target, const Writing& writing) {
    std::vector<const IndexedSheet*> sheets;
    if (!place.key.empty()) {
        sheets = run.references.Naming(run, place, target,
                                       [&](const IndexedSheet& read) { return writing.Covers(read); });
    }
    for (const IndexedSheet& sheet : writing.sheets)
        sheets.push_back(&sheet);
    return sheets;
}

/// Adds the cells of the sheet rows reads that references of sheets make to target (target's
/// own formulas in inSections aside, when skipOwn), in the sections inSections accepts.
void AddCellsNamedIn(const IndexedSheet& target, const std::vector<const IndexedSheet*>& sheets,
                     bool skipOwn, RowFinder& rows, const std::function<bool(int16_t)>& inSections,
                     std::set<NamedCell>& named) {
    for (const IndexedSheet* other : sheets) {
        const bool self = other->id == target.id && other->type == target.type;
        for (const SheetReference& reference : other->references) {
            if (self && skipOwn && inSections(reference.inSection)) continue;  // copied over whole
            if (!reference.cell || !inSections(reference.cell->section) ||
                !other->Names(reference, target))
                continue;
            if (const int16_t row = rows.Row(*reference.cell); row >= 0)
                named.insert({reference.cell->section, row, reference.cell->cell});
        }
    }
}

}  // namespace

std::set<NamedCell> CellsNamedFromOutside(CopyRun& run, const ShapePtr& sheet,
                                          const std::function<bool(int16_t)>& inSections) {
    std::set<NamedCell> named;
    RowFinder rows(sheet);
    const IndexedSheet target = Identity(sheet);
    const Place place = Place::Of(sheet);
    const Writing writing = ReadWriting(run, sheet, place);
    AddCellsNamedIn(target, Neighbours(run, place, target, writing), true, rows, inSections, named);
    if (place.master.empty()) return named;
    // Its instances on the pages, as the formulas there name them.
    for (const ReferenceIndex::Instance& instance :
         run.references.Instances(run, sheet->Document(), place.master, target.id)) {
        const auto none = [](const IndexedSheet&) { return false; };
        AddCellsNamedIn(*instance.sheet,
                        run.references.Naming(run, *instance.page, *instance.sheet, none), false,
                        rows, inSections, named);
    }
    return named;
}

bool HasInstances(CopyRun& run, const ShapePtr& shape) {
    const Place place = Place::Of(shape);
    return !place.master.empty() &&
           !run.references.Instances(run, shape->Document(), place.master, std::nullopt).empty();
}

std::set<int32_t> MembersNamedFromOutside(CopyRun& run, const ShapePtr& group) {
    std::vector<IndexedSheet> members;
    std::set<int32_t> ids;
    std::map<std::string, int32_t, std::less<>> names;
    const std::vector<ShapePtr> inside = Members(group);
    for (size_t i = 1; i < inside.size(); ++i) {
        members.push_back(Identity(inside[i]));
        ids.insert(members.back().id);
        names.emplace(members.back().name, members.back().id);
    }
    const Place place = Place::Of(group);
    const Writing writing = ReadWriting(run, group, place);
    std::set<const IndexedSheet*> sheets;
    for (const IndexedSheet& member : members) {
        for (const IndexedSheet* sheet : Neighbours(run, place, member, writing))
            sheets.insert(sheet);
    }
    std::set<int32_t> named;
    for (const IndexedSheet* other : sheets) {
        if (ids.count(other->id)) continue;
        for (const SheetReference& reference : other->references) {
            if (reference.kind == formula::SheetKind::ById && ids.count(reference.id))
                named.insert(reference.id);
            if (reference.kind == formula::SheetKind::ByName && names.count(reference.name.view()))
                named.insert(names.find(reference.name.view())->second);
        }
    }
    return named;
}

std::set<int16_t> RowsNamedFrom(app::IPrompt& prompt, const ShapePtr& sheet, int16_t section,
                                std::set<int16_t> rows) {
    RowFinder finder(sheet);
    std::vector<int16_t> pending(rows.begin(), rows.end());
    while (!pending.empty()) {
        const int16_t row = pending.back();
        pending.pop_back();
        std::vector<int16_t> triples;
        AddRowCells(prompt, sheet, section, row, triples);
        for (const std::string& text : sheet->GetFormulas(triples)) {
            for (const formula::Reference& reference : formula::Parse(text).formula.references) {
                const formula::SheetSelector& selector = reference.sheet;
                if (!selector.collection.empty() || selector.kind != formula::SheetKind::Self ||
                    !reference.cell || reference.cell->section != section)
                    continue;
                const int16_t named = finder.Row(ReferencedCell::Of(*reference.cell));
                if (named >= 0 && rows.insert(named).second) pending.push_back(named);
            }
        }
    }
    return rows;
}

}  // namespace tess::engine
