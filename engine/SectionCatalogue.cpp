#include "engine/SectionCatalogue.h"

#include <algorithm>

#include "app/ErrorReport.h"
#include "platform/visio/Constants.h"

namespace tess::engine {
namespace {

using namespace visio;

using K = EntryKind;
using F = EntryFrame;

constexpr CatalogueEntry kEntries[] = {
    {0, 702, F::Shape, visSectionObject, visRowXForm1D, K::SingleRow},
    {1, 703, F::Shape, visSectionObject, visRowXFormOut, K::SingleRow},
    {2, 704, F::Shape, visSectionUser, -1, K::NamedRows},
    {3, 705, F::Shape, visSectionProp, -1, K::NamedRows},
    {4, 706, F::Shape, visSectionHyperlink, -1, K::NamedRows},
    {5, 707, F::Shape, visSectionConnectionPts, -1, K::IndexedOrNamed},
    {6, 708, F::Shape, visSectionAction, -1, K::NamedRows},
    {7, 709, F::Shape, visSectionControls, -1, K::NamedRows},
    {8, 710, F::Shape, visSectionFirstComponent, -1, K::GeometryRows},
    {9, 711, F::Shape, visSectionScratch, -1, K::IndexedRows},
    {10, 712, F::Shape, visSectionObject, visRowLock, K::SingleRow},
    {11, 713, F::Shape, visSectionObject, visRowMisc, K::SingleRow},
    {12, 714, F::Shape, visSectionObject, visRowGroup, K::SingleRow},
    {13, 715, F::Shape, visSectionObject, visRowLine, K::SingleRow},
    {14, 716, F::Shape, visSectionObject, visRowFill, K::SingleRow},
    {15, 717, F::Shape, visSectionTextField, -1, K::IndexedRows},
    {16, 718, F::Shape, visSectionCharacter, -1, K::WholeSection},
    {17, 719, F::Shape, visSectionParagraph, -1, K::WholeSection},
    {18, 720, F::Shape, -1, -1, K::Nothing},
    {19, 721, F::Shape, visSectionObject, visRowText, K::SingleRow},
    {20, 722, F::Shape, visSectionObject, visRowTextXForm, K::SingleRow},
    {21, 723, F::Shape, visSectionObject, visRowLayerMem, K::SingleRow},
    {22, 724, F::Shape, visSectionObject, visRowEvent, K::SingleRow},
    {23, 725, F::Shape, visSectionObject, visRowForeign, K::SingleRow},
    {24, 726, F::Shape, visSectionObject, visRowImage, K::SingleRow},
    {25, 727, F::Shape, visSectionObject, kRowGlueInfo, K::SingleRow},
    {26, 728, F::Shape, visSectionObject, visRowAlign, K::SingleRow},
    {27, 729, F::Shape, visSectionObject, visRowShapeLayout, K::SingleRow},
    {28, 730, F::Shape, visSectionSmartTag, -1, K::NamedRows},
    {40, 741, F::Page, visSectionObject, visRowPage, K::SingleRow},
    {41, 742, F::Page, visSectionObject, visRowPageLayout, K::SingleRow},
    {42, 743, F::Page, visSectionObject, visRowRulerGrid, K::SingleRow},
    {43, 744, F::Page, visSectionLayer, -1, K::IndexedRows},
    {44, 745, F::Page, visSectionAnnotation, 0, K::SingleRow},
    {45, 746, F::Page, -1, -1, K::Nothing},
    {50, 761, F::Document, visSectionObject, visRowDoc, K::SingleRow},
    {51, 762, F::Document, visSectionReviewer, 0, K::SingleRow},
};

constexpr MultiRowSection kMultiRowSections[] = {
    {"User-defined Cells", visSectionUser, "User."},
    {"Custom Properties", visSectionProp, "Prop."},
    {"HyperLink", visSectionHyperlink, "Hyperlink."},
    {"Smart Tags", visSectionSmartTag, "SmartTags."},
    {"Connection Points", visSectionConnectionPts, "Connections."},
    {"Actions", visSectionAction, "Actions."},
    {"Controls", visSectionControls, "Controls."},
    {"Geometry", visSectionFirstComponent, ""},
    {"Scratch", visSectionScratch, ""},
    {"Text Fields", visSectionTextField, ""},
    {"Layers", visSectionLayer, ""},
    {"Character Format", visSectionCharacter, ""},
    {"Paragraph Format", visSectionParagraph, ""},
};

struct Label {
    int16_t index;
    std::string_view text;
};

// Tested in this order; indices 0 to 239 not listed are Geometry.
constexpr Label kSectionLabels[] = {
    {visSectionSmartTag, "Smart Tags"}, {visSectionAction, "Action"},
    {visSectionCharacter, "Char"},      {visSectionConnectionPts, "Connections"},
    {visSectionControls, "Controls"},   {visSectionProp, "Prop"},
    {visSectionParagraph, "Para"},      {visSectionScratch, "Scratch"},
    {visSectionTextField, "Fields"},    {visSectionUser, "User"},
    {visSectionLayer, "Layers"},        {visSectionObject, "Object"},
};

constexpr Label kObjectRowLabels[] = {
    {visRowXFormOut, "Shape Transform"},
    {visRowLine, "Line Format"},
    {visRowFill, "Fill Format"},
    {visRowXForm1D, "1-D Endpoints"},
    {visRowEvent, "Events"},
    {visRowLayerMem, "Layer Membership"},
    {visRowForeign, "Foreign Image Info"},
    {visRowText, "Text Block Format"},
    {visRowTextXForm, "Text Transform"},
    {visRowAlign, "Alignment"},
    {visRowLock, "Protection"},
    {visRowHelpCopyright, "Help Copyright"},
    {visRowMisc, "Miscellaneous"},
    {visRowRulerGrid, "Ruler && Grid"},
    {visRowImage, "Image Properties"},
    {visRowGroup, "Group Properties"},
    {visRowShapeLayout, "Shape Layout"},
};

struct CellList {
    int16_t section;
    int16_t row;  // object-section rows only
    std::vector<int16_t> cells;
};

const CellList kObjectCellLists[] = {
    {1, visRowXFormOut, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
    {1, visRowLine, {0, 1, 2, 5, 6, 7, 8, 4, 3, 9}},
    {1, visRowFill, {1, 2, 0, 4, 5, 3, 6, 7, 8, 9, 13, 11, 12, 14, 10}},
    {1, visRowXForm1D, {0, 1, 2, 3}},
    {1, visRowEvent, {0, 1, 2, 3, 4}},
    {1, visRowLayerMem, {0}},
    {1, visRowForeign, {0, 1, 2, 3}},
    {1, visRowPage, {0, 1, 4, 5, 2, 3, 6, 7, 26, 36, 37, 35, 34}},
    {1, visRowText, {4, 2, 3, 0, 1, 5, 10, 6, 11}},
    {1, visRowTextXForm, {0, 1, 2, 3, 4, 5, 6}},
    {1, visRowAlign, {0, 1, 2, 3, 4, 5}},
    {1, visRowLock, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
    {1, visRowMisc, {0, 1, 2, 3, 4, 5, 13, 8, 18, 17, 16, 25, 28, 26, 19}},
    {1, visRowRulerGrid, {4, 5, 0, 1, 10, 11, 6, 7, 8, 9}},
    {1, visRowDoc, {9, 10, 3, 19, 0, 1, 4}},
    {1, visRowImage, {1, 2, 0, 4, 3, 5, 6}},
    {1, visRowGroup, {0, 1, 4, 3, 2, 5}},
    {1, visRowShapeLayout, {0, 1, 2, 8, 9, 10, 14, 16, 17, 12, 13, 18, 19, 20, 21}},
    {1, visRowPageLayout, {8,  10, 11, 0,  2,  1,  3,  26, 28, 18, 19, 20, 21, 9,
                           14, 15, 27, 29, 16, 17, 22, 23, 24, 25, 12, 13, 30}},
    {1, kRowGlueInfo, {9, 10, 11, 12}},
};

const CellList kSectionCellLists[] = {
    {visSectionCharacter, 0, {0, 7,  5, 16, 1,  2,  3,  4,  10, 8,
                              9, 12, 6, 17, 51, 52, 54, 13, 57, 53}},
    {visSectionParagraph, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 13, 10, 12}},
    {visSectionScratch, 0, {0, 1, 2, 3, 4, 5}},
    {visSectionConnectionPts, 0, {0, 1, 2, 3, 4, 5}},
    {visSectionTextField, 0, {3, 2, 0, 1, 4, 5, 6, 7, 10}},
    {visSectionControls, 0, {0, 1, 2, 3, 4, 5, 6, 8}},
    {visSectionAction, 0, {3, 0, 14, 15, 16, 4, 5, 6, 7, 8}},
    {visSectionLayer, 0, {0, 4, 5, 6, 7, 8, 9, 2, 3}},
    {visSectionUser, 0, {0, 1}},
    {visSectionProp, 0, {2, 1, 5, 3, 0, 4, 6, 7, 15, 14}},
    {visSectionHyperlink, 0, {0, 3, 4, 1, 5, 2, 8, 15}},
    {visSectionReviewer, 0, {0, 1, 2, 3, 4}},
    {visSectionAnnotation, 0, {0, 1, 3, 4, 5, 6, 2}},
    {visSectionSmartTag, 0, {0, 1, 2, 3, 4, 5, 6, 15, 7}},
};

const CellList* FindCellList(int16_t section, int16_t row) {
    if (section == visSectionObject) {
        for (const auto& list : kObjectCellLists) {
            if (list.row == row) return &list;
        }
        return nullptr;
    }
    for (const auto& list : kSectionCellLists) {
        if (list.section == section) return &list;
    }
    return nullptr;
}

std::string_view FindLabel(std::span<const Label> labels, int16_t index) {
    for (const auto& label : labels) {
        if (label.index == index) return label.text;
    }
    return {};
}

}  // namespace

std::span<const CatalogueEntry> CatalogueEntries() {
    return kEntries;
}

const CatalogueEntry* FindCatalogueEntry(int16_t index) {
    const auto found =
        std::find_if(std::begin(kEntries), std::end(kEntries),
                     [&](const CatalogueEntry& entry) { return entry.index == index; });
    return found == std::end(kEntries) ? nullptr : &*found;
}

std::span<const MultiRowSection> MultiRowSections() {
    return kMultiRowSections;
}

std::string SectionListName(int16_t section) {
    if (visio::IsGeometrySection(section)) return "Geometry";
    for (const MultiRowSection& listed : kMultiRowSections) {
        if (listed.section == section) return std::string(listed.displayName);
    }
    return {};
}

std::string RowListLabel(int16_t section, int16_t row, std::string_view name) {
    if (visio::IsGeometrySection(section)) {
        return "Geometry Section " + std::to_string(section - visio::visSectionFirstComponent + 1) +
               ", Row " + std::to_string(row + 1);
    }
    for (const MultiRowSection& listed : kMultiRowSections) {
        if (listed.section == section && !name.empty() && !listed.prefix.empty())
            return std::string(listed.prefix) + std::string(name);
    }
    return "Row " + std::to_string(row + 1);
}

std::string GetSectionString(app::IPrompt& prompt, int16_t section) {
    std::string label;
    app::Trap(prompt, app::proc::GetSectionString, [&] {
        label = FindLabel(kSectionLabels, section);
        if (label.empty() && section >= 0 && section <= visSectionLastComponent) label = "Geometry";
    });
    return label;
}

std::string GetObjectSectionRowString(app::IPrompt& prompt, int16_t row) {
    std::string label;
    app::Trap(prompt, app::proc::GetObjectSectionRowString,
              [&] { label = FindLabel(kObjectRowLabels, row); });
    return label;
}

bool GetCellIndicies(app::IPrompt& prompt, const visio::ShapePtr& /*shape*/, int16_t section,
                     int16_t row, std::vector<int16_t>& cells) {
    bool found = false;
    app::Trap(prompt, app::proc::GetCellIndicies, [&] {
        const CellList* list = FindCellList(section, row);
        if (!list) return;
        cells.assign(list->cells.begin(), list->cells.end());
        found = true;
    });
    return found;
}

}  // namespace tess::engine
