#include "engine/ReferenceIndex.h"

#include <algorithm>
#include <iterator>

#include "app/ErrorReport.h"
#include "engine/SectionCatalogue.h"
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

/// Calls visit with every formula of the sheet's catalogue cells and the section it is in: one
/// read of the object section's rows and one of each multi-row section.
void VisitFormulas(app::IPrompt& prompt, const ShapePtr& sheet,
                   const std::function<void(int16_t, const std::string&)>& visit) {
    std::vector<int16_t> sections = {visio::visSectionObject};
    sections.insert(sections.end(), std::begin(kRowSections), std::end(kRowSections));
    for (int16_t g = 0; g < sheet->GeometryCount(); ++g)
        sections.push_back(static_cast<int16_t>(visio::visSectionFirstComponent + g));
    for (int16_t section : sections) {
        std::vector<int16_t> triples;
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

/// Whether a reference can name a row a copy clears, or a member of a group: references to
/// cells of the object section of their own sheet never do, nor references through a
/// collection or to a sheet a function computes.
bool Kept(const formula::Reference& reference) {
    const formula::SheetSelector& sheet = reference.sheet;
    if (!sheet.collection.empty()) return false;
    if (sheet.kind == formula::SheetKind::Self)
        return reference.cell && reference.cell->section != visio::visSectionObject;
    return sheet.kind == formula::SheetKind::ById || sheet.kind == formula::SheetKind::ByName;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

/// The groups holding a shape, nearest first.
std::vector<int32_t> GroupsOf(const ShapePtr& shape) {
    std::vector<int32_t> groups;
    for (auto parent = std::dynamic_pointer_cast<visio::IShape>(shape->Parent()); parent;
         parent = std::dynamic_pointer_cast<visio::IShape>(parent->Parent()))
        groups.push_back(parent->ID());
    return groups;
}

/// Calls visit with every shape of a list and its members at any depth, each with the groups
/// holding it (groups: those holding the list).
void VisitShapes(const visio::ShapesPtr& list, const std::vector<int32_t>& groups,
                 const std::function<void(const ShapePtr&, const std::vector<int32_t>&)>& visit) {
    const int16_t count = list ? list->Count() : int16_t{0};
    for (int16_t i = 1; i <= count; ++i) {
        const ShapePtr shape = list->Item(i);
        visit(shape, groups);
        if (shape->Type() != visio::visTypeGroup) continue;
        std::vector<int32_t> inner{shape->ID()};
        inner.insert(inner.end(), groups.begin(), groups.end());
        VisitShapes(shape->Shapes(), inner, visit);
    }
}

}  // namespace

ReferencedCell ReferencedCell::Of(const formula::CellName& name) {
    return {name.section, name.row, name.cell, name.named, name.rowName};
}

int32_t IndexedSheet::Key() const {
    return type == visio::visTypePage ? -1 : id;
}

bool IndexedSheet::Names(const SheetReference& reference, const IndexedSheet& target) const {
    switch (reference.kind) {
        case formula::SheetKind::Self:
            return id == target.id && type == target.type;
        case formula::SheetKind::ById:
            return reference.id == target.id;
        case formula::SheetKind::ByName:
            return formula::SameName(reference.name, target.name) ||
                   formula::SameName(reference.name, target.nameU);
        default:
            return false;
    }
}

IndexedSheet Identity(const ShapePtr& sheet) {
    IndexedSheet identity;
    identity.id = sheet->ID();
    identity.type = sheet->Type();
    identity.name = sheet->Name();
    identity.nameU = sheet->NameU();
    return identity;
}

IndexedSheet ReadSheet(app::IPrompt& prompt, const ShapePtr& sheet, std::vector<int32_t> groups) {
    IndexedSheet read = Identity(sheet);
    read.groups = std::move(groups);
    if (const ShapePtr inherited = sheet->MasterShape()) {
        if (const visio::MasterPtr master = inherited->ContainingMaster()) {
            read.master = master->Name();
            read.masterShape = inherited->ID();
        }
    }
    VisitFormulas(prompt, sheet, [&](int16_t section, const std::string& text) {
        for (formula::Reference& reference : formula::Parse(text).formula.references) {
            if (!Kept(reference)) continue;
            formula::SheetSelector& selector = reference.sheet;
            std::optional<ReferencedCell> cell;
            if (reference.cell) cell = ReferencedCell::Of(*reference.cell);
            read.references.push_back(
                {section, selector.kind, selector.id, selector.name, std::move(cell)});
        }
    });
    read.references.shrink_to_fit();  // kept for the whole run, for every sheet of the page
    return read;
}

void AddRowCells(app::IPrompt& prompt, const ShapePtr& sheet, int16_t section, int16_t row,
                 std::vector<int16_t>& triples) {
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

Place Place::Of(const ShapePtr& sheet) {
    if (const visio::PagePtr page = sheet->ContainingPage()) return Of(page);
    Place place;
    const visio::MasterPtr master = sheet->ContainingMaster();
    if (!master) return place;
    place.shapes = master->Shapes();
    if (!place.shapes || place.shapes->Count() == 0) return {};
    place.document = sheet->Document()->Name();
    place.master = master->Name();
    place.key = place.document + "|master|" + place.master;
    return place;
}

Place Place::Of(const visio::PagePtr& page) {
    Place place;
    place.document = page->Document()->Name();
    place.key = place.document + "|page|" + std::to_string(page->ID());
    place.shapes = page->Shapes();
    place.pageSheet = page->PageSheet();
    return place;
}

std::vector<const IndexedSheet*> ReferenceIndex::Naming(app::IPrompt& prompt, const Place& place,
                                                        const IndexedSheet& target,
                                                        const Skip& skip) {
    const Container& container = Ready(prompt, place);
    std::set<int32_t> keys{target.Key()};  // its own Self references
    if (const auto found = container.byId.find(target.id); found != container.byId.end())
        keys.insert(found->second.begin(), found->second.end());
    for (const std::string& name : {target.name, target.nameU}) {
        if (const auto found = container.byName.find(Lower(name)); found != container.byName.end())
            keys.insert(found->second.begin(), found->second.end());
    }
    std::vector<const IndexedSheet*> sheets;
    for (int32_t key : keys) {
        const auto found = container.sheets.find(key);
        if (found != container.sheets.end() && !skip(found->second))
            sheets.push_back(&found->second);
    }
    return sheets;
}

std::vector<ReferenceIndex::Instance> ReferenceIndex::Instances(app::IPrompt& prompt,
                                                                const visio::DocumentPtr& document,
                                                                const std::string& master,
                                                                std::optional<int32_t> shape) {
    std::vector<Container*> pages;
    const visio::PagesPtr list = document->Pages();
    const int16_t count = list->Count();
    for (int16_t p = 1; p <= count; ++p)
        pages.push_back(&Ready(prompt, Place::Of(list->Item(p))));
    std::vector<Instance> instances;
    for (const Container* page : pages) {
        for (const auto& [key, sheet] : page->sheets) {
            if (sheet.master == master && (!shape || sheet.masterShape == *shape))
                instances.push_back({&sheet, &page->place});
        }
    }
    return instances;
}

void ReferenceIndex::Written(const ShapePtr& top) {
    if (m_containers.empty()) return;
    // Should the written sheets not be found, nothing read before is trusted.
    if (!app::IgnoreFailure([&] { MarkWritten(top); })) m_containers.clear();
}

void ReferenceIndex::MarkWritten(const ShapePtr& top) {
    const Place place = Place::Of(top);
    const IndexedSheet identity = Identity(top);
    std::set<int32_t> written{identity.Key()};
    if (identity.type == visio::visTypeGroup) {
        VisitShapes(top->Shapes(), {}, [&](const ShapePtr& member, const std::vector<int32_t>&) {
            written.insert(member->ID());
        });
    }
    const auto isWritten = [&](int32_t key) { return written.count(key) > 0; };
    if (const auto found = m_containers.find(place.key); found != m_containers.end()) {
        // Members the run deleted go with their group.
        Container& container = found->second;
        std::vector<int32_t> gone;
        for (const auto& [key, sheet] : container.sheets) {
            if (isWritten(key) || std::any_of(sheet.groups.begin(), sheet.groups.end(), isWritten))
                gone.push_back(key);
        }
        for (int32_t key : gone)
            Remove(container, key);
        container.pending.insert(written.begin(), written.end());
    }
    if (place.master.empty()) return;
    // A master's shape written changes the formulas its instances inherit.
    for (auto& [key, container] : m_containers) {
        if (!container.place.pageSheet || container.place.document != place.document) continue;
        std::vector<int32_t> instances;
        for (const auto& [instanceKey, sheet] : container.sheets) {
            if (sheet.master == place.master && isWritten(sheet.masterShape))
                instances.push_back(instanceKey);
        }
        for (int32_t instance : instances)
            Remove(container, instance);
        container.pending.insert(instances.begin(), instances.end());
    }
}

ReferenceIndex::Container& ReferenceIndex::Ready(app::IPrompt& prompt, const Place& place) {
    auto [found, fresh] = m_containers.try_emplace(place.key);
    Container& container = found->second;
    container.place = place;  // a master's edit copy is a new one for every destination
    if (fresh) {
        Read(prompt, container);
    } else if (!container.pending.empty()) {
        ReadAgain(prompt, container);
    }
    return container;
}

void ReferenceIndex::Read(app::IPrompt& prompt, Container& container) {
    if (container.place.pageSheet) Add(container, ReadSheet(prompt, container.place.pageSheet, {}));
    VisitShapes(container.place.shapes, {},
                [&](const ShapePtr& shape, const std::vector<int32_t>& groups) {
                    Add(container, ReadSheet(prompt, shape, groups));
                });
}

void ReferenceIndex::ReadAgain(app::IPrompt& prompt, Container& container) {
    const std::set<int32_t> pending = std::move(container.pending);
    container.pending.clear();
    for (int32_t key : pending) {
        ShapePtr sheet = key == -1 ? container.place.pageSheet : nullptr;
        if (key != -1 && container.place.shapes)
            app::IgnoreFailure([&] { sheet = container.place.shapes->ItemFromID(key); });
        if (sheet) Add(container, ReadSheet(prompt, sheet, GroupsOf(sheet)));  // else deleted
    }
}

void ReferenceIndex::Add(Container& container, IndexedSheet sheet) {
    const int32_t key = sheet.Key();
    Remove(container, key);
    for (const SheetReference& reference : sheet.references) {
        if (reference.kind == formula::SheetKind::ById) container.byId[reference.id].insert(key);
        if (reference.kind == formula::SheetKind::ByName)
            container.byName[Lower(reference.name)].insert(key);
    }
    container.sheets[key] = std::move(sheet);
}

void ReferenceIndex::Remove(Container& container, int32_t key) {
    const auto found = container.sheets.find(key);
    if (found == container.sheets.end()) return;
    for (const SheetReference& reference : found->second.references) {
        if (reference.kind == formula::SheetKind::ById) container.byId[reference.id].erase(key);
        if (reference.kind == formula::SheetKind::ByName)
            container.byName[Lower(reference.name)].erase(key);
    }
    container.sheets.erase(found);
}

}  // namespace tess::engine
