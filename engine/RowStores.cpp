#include "engine/RowStores.h"

#include "app/ErrorReport.h"
#include "engine/WindowState.h"
#include "platform/visio/Constants.h"

namespace tess::engine {
namespace {

constexpr std::string_view kRowsModule = "modRowsTab";
constexpr std::string_view kOrderModule = "modRowOrderTab";

struct NamedSection {
    std::string_view name;
    int16_t section;
};

constexpr NamedSection kChoiceSections[] = {
    {"Actions", visio::visSectionAction},
    {"Character Format", visio::visSectionCharacter},
    {"Connection Points", visio::visSectionConnectionPts},
    {"Controls", visio::visSectionControls},
    {"Custom Properties", visio::visSectionProp},
    {"Paragraph Format", visio::visSectionParagraph},
    {"Scratch", visio::visSectionScratch},
    {"Text Fields", visio::visSectionTextField},
    {"User-defined Cells", visio::visSectionUser},
    {"Layers", visio::visSectionLayer},
    {"HyperLink", visio::visSectionHyperlink},
    {"Smart Tags", visio::visSectionSmartTag},
};

std::string_view NameOf(int16_t section, bool orderable) {
    for (const NamedSection& entry : kChoiceSections) {
        if (entry.section == section && (!orderable || section != visio::visSectionSmartTag))
            return entry.name;
    }
    return {};
}

}  // namespace

RowSelectionStore::RowSelectionStore() {
    ResetAll();
}

void RowSelectionStore::ResetAll() {
    for (const NamedSection& entry : kChoiceSections)
        choices[std::string(entry.name)] = RowChoice(1, 0);
    geometry.clear();
}

void RowSelectionStore::Reset(std::string_view sectionName) {
    if (sectionName == "Geometry") {
        geometry.clear();
    } else if (const auto found = choices.find(sectionName); found != choices.end()) {
        found->second = RowChoice(1, 0);
    }
}

RowOrderStore::RowOrderStore() {
    ResetAll();
}

void RowOrderStore::ResetAll() {
    for (const NamedSection& entry : kChoiceSections) {
        if (entry.section != visio::visSectionSmartTag)
            orders[std::string(entry.name)] = RowOrder(1, 0);
    }
}

void RowOrderStore::Reset(std::string_view sectionName) {
    if (const auto found = orders.find(sectionName); found != orders.end())
        found->second = RowOrder(1, 0);
}

RowChoice GetRowIndicies(const RowSelectionStore& store, int16_t section) {
    const std::string_view name = NameOf(section, false);
    if (name.empty()) return RowChoice(1, 0);
    return store.choices.find(name)->second;
}

GeometryRowTable GetGeometryRowIndicies(const RowSelectionStore& store) {
    return store.geometry;
}

RowOrder GetRowOrderIndicies(const RowOrderStore& store, int16_t section) {
    const std::string_view name = NameOf(section, true);
    if (name.empty()) return RowOrder(1, 0);
    return store.orders.find(name)->second;
}

bool ShouldWeCopySection(const CopyWindow& window, const visio::ShapePtr& shape, int16_t section) {
    bool whole = false;
    app::Trap(kRowsModule, "ShouldWeCopySection", [&] {
        const visio::ShapePtr source = GetSourceShape(window);
        if (!source) Raise(err::kObjectNotSet, err::DescriptionOf(err::kObjectNotSet));
        if (shape->Name() != source->Name()) {
            whole = true;
            return;
        }
        if (GetRowOrderIndicies(window.rowOrders, section).size() > 1) return;
        if (visio::IsGeometrySection(section)) {
            // Before the first listing the table cannot be indexed: the whole section goes.
            const GeometryRowTable& table = window.rowSelection.geometry;
            for (const GeometryRow& line : table) {
                if (line.chosen == 0 && line.section == section) return;
            }
            whole = true;
            return;
        }
        for (int16_t element : GetRowIndicies(window.rowSelection, section)) {
            if (element == 0) return;
        }
        whole = true;
    });
    return whole;
}

std::string GetGeometryRowType(const visio::ShapePtr& shape, int16_t section, int16_t row) {
    std::string name;
    app::Trap(kRowsModule, "GetGeometryRowType", [&] {
        switch (shape->RowType(section, row)) {
            case visio::visTagComponent:
                name = "Start";
                break;
            case visio::visTagMoveTo:
                name = "MoveTo";
                break;
            case visio::visTagLineTo:
                name = "LineTo";
                break;
            case visio::visTagArcTo:
                name = "ArcTo";
                break;
            case visio::visTagEllipticalArcTo:
                name = "EllipticalArcTo";
                break;
            case visio::visTagSplineBeg:
                name = "SplineStart";
                break;
            case visio::visTagSplineSpan:
                name = "SplineKnot";
                break;
            case visio::visTagEllipse:
                name = "Ellipse";
                break;
            case visio::visTagNURBSTo:
                name = "Nurbs";
                break;
            case visio::visTagInfiniteLine:
                name = "InfiniteLine";
                break;
            case visio::visTagPolylineTo:
                name = "Polyline";
                break;
            default:
                break;
        }
    });
    return name;
}

}  // namespace tess::engine
