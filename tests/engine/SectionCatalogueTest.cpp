#include "engine/SectionCatalogue.h"
#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"

#include <gtest/gtest.h>

#include <set>

#include "support/ScriptedPrompt.h"

namespace tess::engine {
namespace {

std::vector<int16_t> CellsOf(int16_t section, int16_t row) {
    test::ScriptedPrompt prompt;
    std::vector<int16_t> cells;
    EXPECT_TRUE(GetCellIndicies(prompt, nullptr, section, row, cells)) << section << "/" << row;
    return cells;
}

using Cells = std::vector<int16_t>;

TEST(GetSectionString, LabelsTheHandledSectionsAndGeometryRange) {
    test::ScriptedPrompt prompt;
    const std::pair<int16_t, const char*> labels[] = {
        {1, "Object"},      {3, "Char"},   {4, "Para"},     {6, "Scratch"},
        {7, "Connections"}, {8, "Fields"}, {9, "Controls"}, {240, "Action"},
        {241, "Layers"},    {242, "User"}, {243, "Prop"},   {247, "Smart Tags"}};
    for (const auto& [section, label] : labels)
        EXPECT_EQ(GetSectionString(prompt, section), label);
    for (int16_t section : {0, 2, 5, 10, 11, 100, 239}) {
        EXPECT_EQ(GetSectionString(prompt, section), "Geometry") << section;
    }
    for (int16_t section : {-1, 244, 245, 246, 248, 252, 255, 1000}) {
        EXPECT_EQ(GetSectionString(prompt, section), "") << section;
    }
}

TEST(GetObjectSectionRowString, LabelsSingleRowGroupsAndLeavesTheRestEmpty) {
    test::ScriptedPrompt prompt;
    EXPECT_EQ(GetObjectSectionRowString(prompt, 1), "Shape Transform");
    EXPECT_EQ(GetObjectSectionRowString(prompt, 4), "1-D Endpoints");
    EXPECT_EQ(GetObjectSectionRowString(prompt, 15), "Protection");
    EXPECT_EQ(GetObjectSectionRowString(prompt, 16), "Help Copyright");
    EXPECT_EQ(GetObjectSectionRowString(prompt, 18), "Ruler && Grid");
    EXPECT_EQ(GetObjectSectionRowString(prompt, 23), "Shape Layout");
    for (int16_t row : {-4, 0, 7, 8, 10, 13, 19, 20, 24, 25}) {
        EXPECT_EQ(GetObjectSectionRowString(prompt, row), "") << row;
    }
}

TEST(GetCellIndicies, GivesEachRowsCellsInCopyOrder) {
    EXPECT_EQ(CellsOf(1, 3), (Cells{1, 2, 0, 4, 5, 3, 6, 7, 8, 9, 13, 11, 12, 14, 10}));
    EXPECT_EQ(CellsOf(1, 2), (Cells{0, 1, 2, 5, 6, 7, 8, 4, 3, 9}));
    EXPECT_EQ(CellsOf(1, 17), (Cells{0, 1, 2, 3, 4, 5, 13, 8, 18, 17, 16, 25, 28, 26, 19}));
    EXPECT_EQ(CellsOf(1, -4), (Cells{9, 10, 11, 12}));
    EXPECT_EQ(CellsOf(1, 10), (Cells{0, 1, 4, 5, 2, 3, 6, 7, 26, 36, 37, 35, 34}));
    EXPECT_EQ(CellsOf(1, 24), (Cells{8,  10, 11, 0,  2,  1,  3,  26, 28, 18, 19, 20, 21, 9,
                                     14, 15, 27, 29, 16, 17, 22, 23, 24, 25, 12, 13, 30}));
    EXPECT_EQ(CellsOf(1, 15).size(), 17u);
    EXPECT_EQ(CellsOf(1, 15).back(), 16);
    EXPECT_EQ(CellsOf(1, 20), (Cells{9, 10, 3, 19, 0, 1, 4}));
    EXPECT_EQ(CellsOf(3, 0),
              (Cells{0, 7, 5, 16, 1, 2, 3, 4, 10, 8, 9, 12, 6, 17, 51, 52, 54, 13, 57, 53}));
    EXPECT_EQ(CellsOf(240, 0), (Cells{3, 0, 14, 15, 16, 4, 5, 6, 7, 8}));
    EXPECT_EQ(CellsOf(246, 0), (Cells{0, 1, 3, 4, 5, 6, 2}));
    EXPECT_EQ(CellsOf(247, 0), (Cells{0, 1, 2, 3, 4, 5, 6, 15, 7}));
}

TEST(GetCellIndicies, IgnoresTheRowOutsideTheObjectSection) {
    const Cells properties{2, 1, 5, 3, 0, 4, 6, 7, 15, 14};
    EXPECT_EQ(CellsOf(243, 0), properties);
    EXPECT_EQ(CellsOf(243, 7), properties);
    EXPECT_EQ(CellsOf(242, 99), (Cells{0, 1}));
}

TEST(GetCellIndicies, FindsNoListForUnlistedRowsAndSectionsAndLeavesCellsAlone) {
    test::ScriptedPrompt prompt;
    for (auto [section, row] : std::vector<std::pair<int16_t, int16_t>>{
             {1, 16}, {1, 7}, {1, 0}, {1, 25}, {12, 0}, {10, 1}, {5, 0}, {248, 0}, {-1, 0}}) {
        std::vector<int16_t> cells{42};
        EXPECT_FALSE(GetCellIndicies(prompt, nullptr, section, row, cells))
            << section << "/" << row;
        EXPECT_EQ(cells, Cells{42});
    }
}

TEST(CatalogueEntries, HasThirtySevenBoxesWithTheirSectionsAndRows) {
    const auto entries = CatalogueEntries();
    ASSERT_EQ(entries.size(), 37u);
    std::set<int16_t> indices;
    for (const auto& entry : entries)
        indices.insert(entry.index);
    for (int16_t i = 0; i <= 51; ++i) {
        const bool expected = i <= 28 || (i >= 40 && i <= 45) || i == 50 || i == 51;
        EXPECT_EQ(indices.count(i) == 1, expected) << i;
        EXPECT_EQ(FindCatalogueEntry(i) != nullptr, expected) << i;
    }
    const auto expect = [](int16_t index, int16_t section, int16_t row, EntryKind kind) {
        const CatalogueEntry* entry = FindCatalogueEntry(index);
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry->section, section) << index;
        EXPECT_EQ(entry->row, row) << index;
        EXPECT_EQ(entry->kind, kind) << index;
    };
    expect(0, 1, 4, EntryKind::SingleRow);
    expect(5, 7, -1, EntryKind::IndexedOrNamed);
    expect(8, 10, -1, EntryKind::GeometryRows);
    expect(18, -1, -1, EntryKind::Nothing);
    expect(25, 1, -4, EntryKind::SingleRow);
    expect(27, 1, 23, EntryKind::SingleRow);
    expect(42, 1, 18, EntryKind::SingleRow);
    expect(44, 246, 0, EntryKind::SingleRow);
    expect(45, -1, -1, EntryKind::Nothing);
    expect(51, 245, 0, EntryKind::SingleRow);
    EXPECT_EQ(FindCatalogueEntry(40)->frame, EntryFrame::Page);
    EXPECT_EQ(FindCatalogueEntry(50)->frame, EntryFrame::Document);
    EXPECT_EQ(FindCatalogueEntry(28)->frame, EntryFrame::Shape);
}

TEST(CatalogueEntries, EverySingleRowEntryHasACellList) {
    test::ScriptedPrompt prompt;
    for (const auto& entry : CatalogueEntries()) {
        if (entry.kind != EntryKind::SingleRow && entry.kind != EntryKind::IndexedRows &&
            entry.kind != EntryKind::NamedRows) {
            continue;
        }
        std::vector<int16_t> cells;
        EXPECT_TRUE(GetCellIndicies(prompt, nullptr, entry.section, entry.row, cells))
            << entry.index;
        EXPECT_EQ(std::set<int16_t>(cells.begin(), cells.end()).size(), cells.size())
            << entry.index;
    }
}

TEST(CatalogueEntries, EveryCellACopyWritesIsACellOfTheHost) {
    test::ScriptedPrompt prompt;
    // Character and Paragraph are copied whole, the single-row entries by their rows.
    for (const auto& entry : CatalogueEntries()) {
        if (entry.section < 0 || entry.kind == EntryKind::GeometryRows) continue;
        std::vector<int16_t> cells;
        GetCellIndicies(prompt, nullptr, entry.section, entry.row, cells);
        const int16_t row = entry.row == visio::kRowGlueInfo ? visio::visRowMisc
                            : entry.row < 0                  ? 0
                                                             : entry.row;
        for (int16_t cell : cells) {
            EXPECT_TRUE(formula::IsKnownCell(entry.section, row, cell))
                << entry.index << ": cell " << cell;
        }
    }
}

TEST(MultiRowSections, NamesThirteenSectionsWithTheirPrefixes) {
    const auto sections = MultiRowSections();
    ASSERT_EQ(sections.size(), 13u);
    EXPECT_EQ(sections[2].displayName, "HyperLink");
    EXPECT_EQ(sections[2].prefix, "Hyperlink.");
    EXPECT_EQ(sections[3].prefix, "SmartTags.");
    EXPECT_EQ(sections[4].prefix, "Connections.");
    EXPECT_EQ(sections[12].displayName, "Paragraph Format");
    EXPECT_EQ(sections[12].section, 4);
}

}  // namespace
}  // namespace tess::engine
