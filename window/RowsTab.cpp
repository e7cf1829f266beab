#include "window/RowsTab.h"

#include <algorithm>

#include "app/ErrorReport.h"
#include "platform/visio/Constants.h"
#include "window/RowDetails.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::window {
namespace {

constexpr std::string_view kGeometry = "Geometry";

// A new source lists the sections in one order; sections added later are appended in another.
constexpr OfferedSection kSetupOrder[] = {
    {"User-defined Cells", 2}, {"Custom Properties", 3}, {"HyperLink", 4},
    {"Connection Points", 5},  {"Actions", 6},           {"Smart Tags", 28},
    {"Controls", 7},           {"Geometry", 8},          {"Scratch", 9},
    {"Text Fields", 15},       {"Layers", 43},
};
constexpr OfferedSection kUpdateOrder[] = {
    {"User-defined Cells", 2}, {"Custom Properties", 3}, {"HyperLink", 4},
    {"Smart Tags", 28},        {"Connection Points", 5}, {"Actions", 6},
    {"Controls", 7},           {"Geometry", 8},          {"Scratch", 9},
    {"Text Fields", 15},       {"Layers", 43},
};

/// Lists rows 0..n-1 of the section with their ticks: from the choice already made, or, on
/// the first listing, every row of the source ticked and recorded.
void AddRows(const visio::ShapePtr& source, int16_t section, RowChoice& choice,
             std::string_view prefix, std::vector<RowLine>& lines) {
    if (choice.size() <= 1) {
        choice.assign(static_cast<size_t>(source->RowCount(section)) + 1, 0);
        std::fill(choice.begin(), choice.end() - 1, int16_t{1});
    }
    for (size_t i = 0; i + 1 < choice.size(); ++i) {
        lines.push_back(
            {ListRow(source, section, static_cast<int16_t>(i), prefix).label, choice[i] != 0});
    }
}

void AddRowsToListBox(const CopyWindow& window, const visio::ShapePtr& source, int16_t section,
                      RowChoice& choice, std::vector<RowLine>& lines) {
    app::Trap(window.prompt, app::proc::AddRowsToListBox,
              [&] { AddRows(source, section, choice, {}, lines); });
}

void AddNamedRowsToListBox(const CopyWindow& window, const visio::ShapePtr& source, int16_t section,
                           RowChoice& choice, std::string_view prefix,
                           std::vector<RowLine>& lines) {
    app::Trap(window.prompt, app::proc::AddNamedRowsToListBox,
              [&] { AddRows(source, section, choice, prefix, lines); });
}

void AddGeometryRowsToListBox(const CopyWindow& window, const visio::ShapePtr& source,
                              GeometryRowTable& table, std::vector<RowLine>& lines) {
    app::Trap(window.prompt, app::proc::AddGeometryRowsToListBox, [&] {
        const std::vector<ListedRow> rows =
            ListSectionRows(source, *FindMultiRowSection(kGeometry));
        if (table.empty()) {
            for (const ListedRow& row : rows)
                table.push_back({1, row.section, row.row});
        }
        for (size_t j = 0; j < rows.size(); ++j) {
            ExpectIndex(j < table.size());  // the source gained rows since its first listing
            lines.push_back({rows[j].label, table[j].chosen != 0});
        }
    });
}

/// Connection points, actions and controls: named as the source names them, but by number on
/// hosts too old to name them.
void AddOptionallyNamedRows(const CopyWindow& window, const visio::ShapePtr& source,
                            const MultiRowSection& section, RowChoice& choice,
                            std::vector<RowLine>& lines) {
    if (HostVersion(window.host) < 5)
        return AddRowsToListBox(window, source, section.section, choice, lines);
    const std::optional<std::string> prefix = RowLabelPrefix(source, section);
    if (!prefix) return;
    if (prefix->empty()) return AddRowsToListBox(window, source, section.section, choice, lines);
    AddNamedRowsToListBox(window, source, section.section, choice, *prefix, lines);
}

}  // namespace

void ExpectIndex(bool inRange) {
    if (!inRange) Raise(err::kSubscriptOutOfRange);
}

std::vector<std::string> ChosenOfferedSections(std::span<const OfferedSection> offered,
                                               const SectionBoxes& boxes) {
    std::vector<std::string> names;
    for (const OfferedSection& section : offered) {
        if (IsSectionChosen(boxes, section.box)) names.emplace_back(section.name);
    }
    return names;
}

void SyncOfferedSections(std::span<const OfferedSection> offered, const SectionBoxes& boxes,
                         std::vector<std::string>& items,
                         const std::function<void(std::string_view)>& forget) {
    for (const OfferedSection& section : offered) {
        const auto present = std::find(items.begin(), items.end(), section.name);
        const bool wanted = IsSectionChosen(boxes, section.box);
        if (wanted && present == items.end()) {
            items.emplace_back(section.name);
            forget(section.name);
        } else if (!wanted && present != items.end()) {
            items.erase(present);
            forget(section.name);
        }
    }
}

std::vector<std::string> SetupRowsTab(CopyWindow& window) {
    std::vector<std::string> items;
    app::Trap(window.prompt, app::proc::SetupRowsTab, [&] {
        window.rowSelection.ResetAll();
        items = ChosenOfferedSections(kSetupOrder, window.sections);
    });
    return items;
}

void UpdateRowsOnRowsTab(CopyWindow& window, std::vector<std::string>& items) {
    app::Trap(window.prompt, app::proc::UpdateRowsOnRowsTab, [&] {
        SyncOfferedSections(kUpdateOrder, window.sections, items, [&](std::string_view name) {
            app::Trap(window.prompt, app::proc::ResetRowSection,
                      [&] { window.rowSelection.Reset(name); });
        });
    });
}

std::vector<RowLine> RefreshRowsList(CopyWindow& window, std::string_view sectionName) {
    std::vector<RowLine> lines;
    app::Trap(window.prompt, app::proc::RefreshRowsList, [&] {
        const visio::ShapePtr source = GetSourceShape(window);
        const MultiRowSection* section = FindMultiRowSection(sectionName);
        if (!source || !section) return;
        if (sectionName == kGeometry) {
            return AddGeometryRowsToListBox(window, source, window.rowSelection.geometry, lines);
        }
        RowChoice& choice = window.rowSelection.choices.at(std::string(sectionName));
        if (NamedWhenSourceNamesThem(section->section)) {
            return AddOptionallyNamedRows(window, source, *section, choice, lines);
        }
        if (section->prefix.empty())
            return AddRowsToListBox(window, source, section->section, choice, lines);
        AddNamedRowsToListBox(window, source, section->section, choice, section->prefix, lines);
    });
    return lines;
}

void CheckRow(CopyWindow& window, std::string_view sectionName, int index, bool ticked) {
    app::Trap(window.prompt, app::proc::CheckRow, [&] {
        const int16_t value = ticked ? -1 : 0;
        ExpectIndex(index >= 0);
        const auto at = static_cast<size_t>(index);
        if (sectionName == kGeometry) {
            GeometryRowTable& table = window.rowSelection.geometry;
            ExpectIndex(at < table.size());
            table[at].chosen = value;
            return;
        }
        const auto found = window.rowSelection.choices.find(sectionName);
        ExpectIndex(found != window.rowSelection.choices.end() && at < found->second.size());
        // A new order names rows by their place among the ticked ones: once the ticks change
        // it would put other rows in other places, so it starts again from the source order.
        if ((found->second[at] != 0) != ticked) window.rowOrders.Reset(sectionName);
        found->second[at] = value;
    });
}

std::string SelectRow(const CopyWindow& window, std::string_view sectionName, int index) {
    std::string details;
    app::Trap(window.prompt, app::proc::SelectRow, [&] {
        const visio::ShapePtr source = GetSourceShape(window);
        if (!source || index < 0) return;
        const GeometryRowTable none;
        details = GetRowDetails(window.prompt, window.host, source, sectionName,
                                static_cast<int16_t>(index),
                                sectionName == kGeometry ? window.rowSelection.geometry : none);
    });
    return details;
}

}  // namespace tess::window
