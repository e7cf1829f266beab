// Picking a copy at random, and running it through the engine as the front ends do.
#include <algorithm>
#include <functional>

#include "engine/CopyDriver.h"
#include "platform/visio/Resolver.h"
#include "sweep/Sweep.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::sweep {
namespace {

using engine::CatalogueEntry;
using visio::ShapePtr;

/// The section boxes a sheet of that tree image enables, as the Sections tab sets them.
window::SectionBoxes Enabled(const ShapePtr& sheet, int16_t image) {
    Quiet prompt;
    window::SectionBoxes boxes;
    window::UnCheckAllSections(boxes);
    window::EnableDisableSections(prompt, boxes, image, sheet);
    return boxes;
}

std::string Quoted(const std::string& text) {
    return text.find_first_of(" '") == std::string::npos ? text : "'" + text + "'";
}

/// The tokens of rows, by their positions, separated by commas.
std::string TokenList(const CopyCase::Rows& rows, const std::vector<size_t>& positions) {
    std::string text;
    for (size_t position : positions)
        text += (text.empty() ? "" : ",") + rows.tokens[position];
    return text;
}

bool Chance(std::mt19937_64& random, double probability) {
    return std::uniform_real_distribution<double>(0, 1)(random) < probability;
}

template <class T>
const T& AnyOf(const std::vector<T>& items, std::mt19937_64& random) {
    return items[std::uniform_int_distribution<size_t>(0, items.size() - 1)(random)];
}

/// A shape of a master as "master/ID"; empty for a shape on a page.
std::string MasterKey(const ShapePtr& shape) {
    const visio::MasterPtr master = shape->ContainingPage() ? nullptr : shape->ContainingMaster();
    return master ? master->Name() + "/" + std::to_string(shape->ID()) : std::string();
}

/// Whether one of the destinations inherits from another: the run would change the one while it
/// writes the other, which the sweep leaves out (the model does not bring an instance's own
/// Geometry in line with a master changed under it).
bool OneInheritsFromAnother(const std::vector<SheetEntry>& destinations) {
    for (const SheetEntry& one : destinations) {
        ShapePtr inherited = one.sheet;
        for (int depth = 0; depth < 16 && (inherited = inherited->MasterShape()); ++depth) {
            for (const SheetEntry& other : destinations) {
                if (other.inMaster && MasterKey(other.sheet) == MasterKey(inherited)) return true;
            }
        }
    }
    return false;
}

bool SameKind(int16_t a, int16_t b) {
    const auto shape = [](int16_t image) {
        return image == visio::kImageShape || image == visio::kImageGroup;
    };
    return a == b || (shape(a) && shape(b));
}

/// Rows of a multi-row entry: a few of the source's, in their order or shuffled.
std::optional<CopyCase::Rows> PickRows(const CatalogueEntry& entry, const ShapePtr& source,
                                       std::mt19937_64& random) {
    if (entry.kind == engine::EntryKind::WholeSection || window::RowsTabName(entry).empty())
        return std::nullopt;
    const std::vector<window::ListedRow> listed = window::ListEntryRows(source, entry);
    if (listed.empty() || !Chance(random, 0.45)) return std::nullopt;
    CopyCase::Rows rows;
    rows.entry = entry.index;
    for (const window::ListedRow& row : listed)
        rows.tokens.push_back(row.Token());
    for (size_t i = 0; i < listed.size(); ++i) {
        if (Chance(random, 0.5)) rows.chosen.push_back(i);
    }
    if (rows.chosen.empty()) rows.chosen.push_back(random() % listed.size());
    if (window::Orderable(entry) && rows.chosen.size() > 1 && Chance(random, 0.5)) {
        for (size_t p = 0; p < rows.chosen.size(); ++p)
            rows.order.push_back(p);
        std::shuffle(rows.order.begin(), rows.order.end(), random);
    }
    return rows;
}

}  // namespace

const CopyCase::Rows* CopyCase::RowsOf(int16_t entry) const {
    for (const Rows& each : rows) {
        if (each.entry == entry) return &each;
    }
    return nullptr;
}

std::string CopyCase::Text() const {
    std::string text = "copy " + Quoted(drawing) + " --from " + Quoted(source);
    for (const std::string& destination : destinations)
        text += " --to " + Quoted(destination);
    for (int16_t index : entries) {
        const CatalogueEntry& entry = *engine::FindCatalogueEntry(index);
        const std::string caption = window::CaptionOf(entry);
        const Rows* chosen = RowsOf(index);
        if (!chosen) {
            text += " --section " + Quoted(caption);
            continue;
        }
        text += " --rows " + Quoted(caption + "=" + TokenList(*chosen, chosen->chosen));
        if (chosen->order.empty()) continue;
        std::vector<size_t> ordered;
        for (size_t position : chosen->order)
            ordered.push_back(chosen->chosen[position]);
        text += " --order " + Quoted(caption + "=" + TokenList(*chosen, ordered));
    }
    if (append) text += " --append";
    if (subShapes == SubShapes::Cells) text += " --sub-shapes cells";
    if (subShapes == SubShapes::Replace) text += " --sub-shapes replace";
    if (shapeText) text += " --shape-text";
    if (helpString) text += " --help-string";
    return text;
}

engine::CopyReport RunCase(cli::Workspace& files, const CopyCase& copy) {
    const visio::Resolver names(files.AppPtr());
    const auto target = [&](const std::string& address) {
        const visio::ResolvedObject found = names.Resolve(visio::ObjectPath::Parse(address));
        return engine::CopyTarget{address, found.name, found.sheet};
    };
    engine::CopyRequest request;
    request.source = target(copy.source);
    for (const std::string& address : copy.destinations)
        request.destinations.push_back(target(address));
    request.sections = copy.entries;
    for (const CopyCase::Rows& rows : copy.rows) {
        const CatalogueEntry& entry = *engine::FindCatalogueEntry(rows.entry);
        const std::vector<window::ListedRow> listed =
            window::ListEntryRows(request.source->sheet, entry);
        engine::RowChoice flags(listed.size(), 0);
        for (size_t chosen : rows.chosen)
            flags[chosen] = 1;
        if (entry.kind == engine::EntryKind::GeometryRows) {
            for (size_t i = 0; i < listed.size(); ++i)
                request.geometryRows.push_back({flags[i], listed[i].section, listed[i].row});
            continue;
        }
        flags.push_back(0);  // the spare element
        request.rows[entry.section] = flags;
        if (rows.order.empty()) continue;
        engine::RowOrder order(rows.order.begin(), rows.order.end());
        order.push_back(0);
        request.orders[entry.section] = order;
    }
    request.options.copyType = copy.append ? engine::CopyType::Append : engine::CopyType::Overwrite;
    request.options.subShapes = copy.subShapes == CopyCase::SubShapes::Cells
                                    ? engine::SubShapes::CopyCells
                                : copy.subShapes == CopyCase::SubShapes::Replace
                                    ? engine::SubShapes::ReplaceAll
                                    : engine::SubShapes::Ignore;
    request.options.copyShapeText = copy.shapeText;
    request.options.copyHelpString = copy.helpString;
    Quiet frontEnd;
    return engine::CopyDriver(files.AppPtr()).BeginCopy(request, frontEnd);
}

std::vector<SheetEntry> ListSheets(cli::Workspace& files) {
    const visio::Resolver names(files.AppPtr());
    std::vector<SheetEntry> sheets;
    const std::function<void(const visio::ShapesPtr&, bool)> shapes =
        [&](const visio::ShapesPtr& list, bool inMaster) {
            for (int16_t i = 1; i <= list->Count(); ++i) {
                const ShapePtr shape = list->Item(i);
                const int16_t image = shape->Shapes()->Count() > 0 ? visio::kImageGroup
                                                                   : visio::kImageShape;
                sheets.push_back({names.AddressOf(shape), shape, image, inMaster});
                shapes(shape->Shapes(), inMaster);
            }
        };
    for (const cli::Workspace::Document& document : files.Documents()) {
        sheets.push_back({names.AddressOfDocument(document.object),
                          document.object->DocumentSheet(), visio::kImageDrawing});
        const visio::PagesPtr pages = document.object->Pages();
        for (int16_t p = 1; p <= pages->Count(); ++p) {
            const visio::PagePtr page = pages->Item(p);
            sheets.push_back({names.AddressOfPage(page), page->PageSheet(), visio::kImagePage});
            shapes(page->Shapes(), false);
        }
        const visio::MastersPtr masters = document.object->Masters();
        for (int16_t m = 1; m <= masters->Count(); ++m)
            shapes(masters->Item(m)->Shapes(), true);
    }
    return sheets;
}

std::optional<CopyCase> PickCase(cli::Workspace& files, const std::vector<SheetEntry>& sheets,
                                 std::mt19937_64& random) {
    const std::string drawing = files.Documents().front().data->name;
    const auto inDrawing = [&](const SheetEntry& entry) {
        return files.DocumentOf(entry.sheet).data->name == drawing;
    };
    std::vector<SheetEntry> sources;
    std::copy_if(sheets.begin(), sheets.end(), std::back_inserter(sources), inDrawing);
    if (sources.empty()) return std::nullopt;
    // Shapes are what people copy most; page and document sheets now and then.
    const int16_t kind = Chance(random, 0.1)    ? visio::kImagePage
                         : Chance(random, 0.06) ? visio::kImageDrawing
                                                : visio::kImageShape;
    std::erase_if(sources, [&](const SheetEntry& entry) { return !SameKind(entry.image, kind); });
    if (sources.empty()) return std::nullopt;
    const SheetEntry source = AnyOf(sources, random);

    // Destinations of the same kind, mostly in the same drawing; a document sheet's in another.
    const bool elsewhere = kind == visio::kImageDrawing || Chance(random, 0.08);
    std::vector<SheetEntry> candidates;
    for (const SheetEntry& entry : sheets) {
        if (entry.address != source.address && SameKind(entry.image, kind) &&
            inDrawing(entry) != elsewhere)
            candidates.push_back(entry);
    }
    if (candidates.empty()) return std::nullopt;
    std::shuffle(candidates.begin(), candidates.end(), random);
    const size_t count = Chance(random, 0.75) ? 1 : Chance(random, 0.8) ? 2 : 3;
    candidates.resize(std::min(count, candidates.size()));
    if (OneInheritsFromAnother(candidates)) candidates.resize(1);

    CopyCase copy;
    copy.drawing = drawing;
    copy.source = source.address;
    // Any entry both sides offer.
    const window::SectionBoxes offered = Enabled(source.sheet, source.image);
    std::vector<int16_t> both;
    for (const CatalogueEntry& entry : engine::CatalogueEntries()) {
        const auto at = static_cast<size_t>(entry.index);
        bool all = offered.boxes[at].enabled && entry.kind != engine::EntryKind::Nothing;
        for (const SheetEntry& destination : candidates)
            all = all && Enabled(destination.sheet, destination.image).boxes[at].enabled;
        if (all) both.push_back(entry.index);
    }
    if (both.empty()) return std::nullopt;
    for (const SheetEntry& destination : candidates)
        copy.destinations.push_back(destination.address);
    if (Chance(random, 0.2)) {
        copy.entries = both;
    } else {
        std::shuffle(both.begin(), both.end(), random);
        both.resize(std::min<size_t>(both.size(), 1 + random() % 3));
        std::sort(both.begin(), both.end());
        copy.entries = both;
    }
    for (int16_t index : copy.entries) {
        if (auto rows = PickRows(*engine::FindCatalogueEntry(index), source.sheet, random))
            copy.rows.push_back(std::move(*rows));
    }
    copy.append = Chance(random, 0.4);
    const bool group = source.image == visio::kImageGroup;
    if (Chance(random, group ? 0.5 : 0.15)) {
        copy.subShapes =
            Chance(random, 0.5) ? CopyCase::SubShapes::Cells : CopyCase::SubShapes::Replace;
    }
    copy.shapeText = Chance(random, 0.15);
    copy.helpString = Chance(random, 0.15);
    return copy;
}

}  // namespace tess::sweep
