// The Rows and Row Order tabs without their controls: which sections they offer, the lines
// they list, and what the user's ticks and moves leave in the stores the copy reads.
#include <gtest/gtest.h>

#include "engine/CopyRequest.h"
#include "platform/visio/Constants.h"
#include "window/RowOrderTab.h"
#include "window/RowsTab.h"
#include "window/WindowFixture.h"

namespace tess::test {
namespace {

using namespace visio;
using Texts = std::vector<std::string>;

constexpr int16_t kUserBox = 2;
constexpr int16_t kPropBox = 3;
constexpr int16_t kHyperlinkBox = 4;
constexpr int16_t kConnectionBox = 5;
constexpr int16_t kActionBox = 6;
constexpr int16_t kGeometryBox = 8;
constexpr int16_t kScratchBox = 9;
constexpr int16_t kSmartTagBox = 28;
constexpr int16_t kLayerBox = 43;

class RowsTab : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        source = Rectangle();
        Source(Item(source));
    }
    /// Whether a copy made now takes the section whole rather than row by row.
    bool Whole(const ShapePtr& shape, int16_t section) {
        return engine::ShouldWeCopySection(prompt, window::MakeRequest(window), shape, section);
    }

    /// Custom properties a, b, c, d whose labels are A, B, C, D.
    void FourProperties() {
        for (const std::string name : {"a", "b", "c", "d"}) {
            std::string label = name;
            label[0] = static_cast<char>(label[0] - 'a' + 'A');
            AddNamedRow(source, visSectionProp, name, {"", "", "\"" + label + "\""});
        }
    }
    std::vector<window::RowLine> List(std::string_view section) {
        return window::RefreshRowsList(window, section);
    }
    static Texts TextsOf(const std::vector<window::RowLine>& lines) {
        Texts texts;
        for (const window::RowLine& line : lines)
            texts.push_back(line.text);
        return texts;
    }
    static std::vector<bool> TicksOf(const std::vector<window::RowLine>& lines) {
        std::vector<bool> ticks;
        for (const window::RowLine& line : lines)
            ticks.push_back(line.ticked);
        return ticks;
    }
    window::RowChoice& Choice(const std::string& section) {
        return window.rowSelection.choices.at(section);
    }

    ShapePtr source;
};

TEST_F(RowsTab, OffersTheChosenMultiRowSectionsAndFollowsTheSectionsTab) {
    Choose({0, kLayerBox, kGeometryBox, kUserBox, kSmartTagBox, kConnectionBox, kHyperlinkBox});
    window.sections.boxes[kPropBox] = {1, false};  // checked but disabled: not chosen
    std::vector<std::string> items = window::SetupRowsTab(window);
    EXPECT_EQ(items, (Texts{"User-defined Cells", "HyperLink", "Connection Points", "Smart Tags",
                            "Geometry", "Layers"}));

    Choice("User-defined Cells") = {1, 0, 0};
    Choice("Connection Points") = {1, 1, 0};
    Choice("Custom Properties") = {1, 0, 0};
    window.sections.boxes[kConnectionBox].value = 0;
    window.sections.boxes[kHyperlinkBox].value = 0;
    Choose({kPropBox, kScratchBox});
    window::UpdateRowsOnRowsTab(window, items);
    // Kept items keep their place; new ones come in the update's own order.
    EXPECT_EQ(items, (Texts{"User-defined Cells", "Smart Tags", "Geometry", "Layers",
                            "Custom Properties", "Scratch"}));
    EXPECT_EQ(Choice("User-defined Cells"), (window::RowChoice{1, 0, 0}));
    EXPECT_EQ(Choice("Connection Points").size(), 1u) << "dropped: its choice is forgotten";
    EXPECT_EQ(Choice("Custom Properties").size(), 1u) << "added again: listed afresh";

    Choice("User-defined Cells") = {1, 0, 0};
    window.rowSelection.geometry = {{0, 10, 0}};
    EXPECT_EQ(window::SetupRowsTab(window).size(), 6u);
    EXPECT_EQ(Choice("User-defined Cells").size(), 1u) << "a new source forgets every choice";
    EXPECT_TRUE(window.rowSelection.geometry.empty());
}

TEST_F(RowsTab, AFirstListingTicksEveryRowAndUnticksAreKept) {
    FourProperties();
    const auto first = List("Custom Properties");
    EXPECT_EQ(TextsOf(first), (Texts{"Prop.a", "Prop.b", "Prop.c", "Prop.d"}));
    EXPECT_EQ(TicksOf(first), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(Choice("Custom Properties"), (window::RowChoice{1, 1, 1, 1, 0}));

    window::CheckRow(window, "Custom Properties", 2, false);
    window::CheckRow(window, "Custom Properties", 1, true);
    EXPECT_EQ(Choice("Custom Properties"), (window::RowChoice{1, -1, 0, 1, 0}));
    EXPECT_FALSE(Whole(source, visSectionProp));

    // Another section in between, then back: the choice stands, and the rows are those of the
    // first listing even when the source gained one since.
    List("User-defined Cells");
    AddNamedRow(source, visSectionProp, "e", {});
    const auto again = List("Custom Properties");
    EXPECT_EQ(TextsOf(again), (Texts{"Prop.a", "Prop.b", "Prop.c", "Prop.d"}));
    EXPECT_EQ(TicksOf(again), (std::vector<bool>{true, true, false, true}));

    EXPECT_TRUE(prompt.messages.empty());
    window::CheckRow(window, "Custom Properties", 9, false);
    ASSERT_EQ(prompt.messages.size(), 1u) << "a line the list does not have";
    EXPECT_NE(prompt.messages[0].text.find("modRowsTab.CheckRow"), std::string::npos);
}

TEST_F(RowsTab, NothingIsListedWithoutASourceOrASection) {
    FourProperties();
    window.source.clear();
    EXPECT_TRUE(List("Custom Properties").empty());
    EXPECT_EQ(Choice("Custom Properties").size(), 1u);
    EXPECT_EQ(window::SelectRow(window, "Custom Properties", 0), "");
    Source(Item(source));
    EXPECT_TRUE(List("").empty());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(RowsTab, NumberedAndGeometryRowsCountFromOne) {
    AddRows(source, visSectionScratch, {{"1"}, {"2"}, {"3"}});
    EXPECT_EQ(TextsOf(List("Scratch")), (Texts{"Row 1", "Row 2", "Row 3"}));

    const auto second = static_cast<int16_t>(visSectionFirstComponent + 1);
    source->AddSection(second);
    source->AddRow(second, visRowLast, visTagComponent);
    source->AddRow(second, visRowLast, visTagMoveTo);
    const int16_t firstRows = source->RowCount(visSectionFirstComponent);
    const auto lines = List("Geometry");
    ASSERT_EQ(lines.size(), static_cast<size_t>(firstRows + 2));
    EXPECT_EQ(lines[1].text, "Geometry Section 1, Row 2");
    EXPECT_EQ(lines[static_cast<size_t>(firstRows) + 1].text, "Geometry Section 2, Row 2");
    const window::GeometryRowTable& table = window.rowSelection.geometry;
    ASSERT_EQ(table.size(), lines.size());
    EXPECT_EQ(table[static_cast<size_t>(firstRows) + 1].section, second);
    EXPECT_EQ(table[static_cast<size_t>(firstRows) + 1].row, 1);

    // The details follow the table from a list line to its section and row.
    EXPECT_EQ(window::SelectRow(window, "Geometry", 1).rfind("Type = MoveTo\r\n", 0), 0u);
    EXPECT_NE(window::SelectRow(window, "Geometry", firstRows).find("No Fill = "),
              std::string::npos);

    window::CheckRow(window, "Geometry", firstRows, false);
    EXPECT_EQ(table[static_cast<size_t>(firstRows)].chosen, 0);
    EXPECT_FALSE(Whole(source, second));
    EXPECT_TRUE(Whole(source, visSectionFirstComponent));
    EXPECT_EQ(TicksOf(List("Geometry"))[static_cast<size_t>(firstRows)], false);
}

TEST_F(RowsTab, ConnectionPointsAreNamedOnlyWhenTheSourceNamesThemOnAModernHost) {
    AddRows(source, visSectionConnectionPts, {{"1", "2"}, {"3", "4"}});
    EXPECT_EQ(TextsOf(List("Connection Points")), (Texts{"Row 1", "Row 2"}));

    const ShapePtr named = Rectangle(4, 4, 5, 5);
    AddNamedRow(named, visSectionConnectionPts, "Left", {"0", "0"});
    AddNamedRow(named, visSectionConnectionPts, "Right", {"1", "0"});
    Source(Item(named));
    window::SetupRowsTab(window);
    EXPECT_EQ(TextsOf(List("Connection Points")), (Texts{"Connections.Left", "Connections.Right"}));

    window::SetupRowsTab(window);
    host->version = "4.1";
    EXPECT_EQ(TextsOf(List("Connection Points")), (Texts{"Row 1", "Row 2"}));

    host->version = "16.0";
    EXPECT_TRUE(List("Actions").empty()) << "no first row: nothing is listed";
    EXPECT_EQ(Choice("Actions").size(), 1u);
    EXPECT_TRUE(prompt.messages.empty());
}

class RowOrderTab : public RowsTab {
protected:
    window::OrderLists Lists(std::string_view section) {
        return window::RefreshOrderLists(window, section);
    }
    window::RowOrder& Order(const std::string& section) {
        return window.rowOrders.orders.at(section);
    }
};

TEST_F(RowOrderTab, OffersTheOrderableChosenSections) {
    Choose({kSmartTagBox, kGeometryBox, kPropBox, kScratchBox, kUserBox, kActionBox});
    std::vector<std::string> items = window::SetupRowOrderTab(window);
    EXPECT_EQ(items, (Texts{"User-defined Cells", "Custom Properties", "Actions", "Scratch"}));

    Order("User-defined Cells") = {1, 0, 0};
    Order("Custom Properties") = {1, 0, 0};
    window.sections.boxes[kPropBox].enabled = false;
    Choose({kLayerBox});
    window::UpdateRowsOnRowOrderTab(window, items);
    EXPECT_EQ(items, (Texts{"User-defined Cells", "Actions", "Scratch", "Layers"}));
    EXPECT_EQ(Order("User-defined Cells"), (window::RowOrder{1, 0, 0}));
    EXPECT_EQ(Order("Custom Properties").size(), 1u);

    window::SetupRowOrderTab(window);
    EXPECT_EQ(Order("User-defined Cells").size(), 1u) << "a new source forgets every order";
}

TEST_F(RowOrderTab, ListsTheTickedRowsAndMovesThemOneStepAtATime) {
    FourProperties();
    List("Custom Properties");
    window::CheckRow(window, "Custom Properties", 1, false);
    window::OrderLists lists = Lists("Custom Properties");
    EXPECT_EQ(lists.current, (Texts{"Prop.a", "Prop.c", "Prop.d"}));
    EXPECT_EQ(lists.next, lists.current);
    EXPECT_EQ(Order("Custom Properties"), (window::RowOrder{0, 1, 2, 0}));

    int selected = 1;
    EXPECT_EQ(window::MoveRow(window, "Custom Properties", lists, selected, -1),
              window::MoveOutcome::Moved);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(lists.next, (Texts{"Prop.c", "Prop.a", "Prop.d"}));
    EXPECT_EQ(Order("Custom Properties"), (window::RowOrder{1, 0, 2, 0}));
    EXPECT_EQ(window::MoveRow(window, "Custom Properties", lists, selected, -1),
              window::MoveOutcome::Unmoved);
    selected = 2;
    EXPECT_EQ(window::MoveRow(window, "Custom Properties", lists, selected, 1),
              window::MoveOutcome::Unmoved);
    selected = -1;
    EXPECT_EQ(window::MoveRow(window, "Custom Properties", lists, selected, 1),
              window::MoveOutcome::Unmoved);
    EXPECT_EQ(Order("Custom Properties"), (window::RowOrder{1, 0, 2, 0}));
    EXPECT_FALSE(Whole(source, visSectionProp));

    const window::OrderLists again = Lists("Custom Properties");
    EXPECT_EQ(again.next, (Texts{"Prop.c", "Prop.a", "Prop.d"})) << "the order is kept";
    // The details are those of the row the item names, not of the row at its list position.
    EXPECT_EQ(
        window::NewOrderDetails(window, "Custom Properties", again, 0).rfind("Label = \"C\"", 0),
        0u);
    EXPECT_EQ(window::NewOrderDetails(window, "Custom Properties", again, -1), "");
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(RowOrderTab, RowsNamedByVisioCannotBeMoved) {
    AddRows(source, visSectionUser, {{"1"}, {"2"}});
    window::OrderLists lists = Lists("User-defined Cells");
    ASSERT_EQ(lists.next, (Texts{"User.Row_1", "User.Row_2"}));
    for (int selected : {-1, 0, 1}) {
        int moved = selected;
        EXPECT_EQ(
            window::MoveRow(window, "User-defined Cells", lists, moved, selected < 1 ? 1 : -1),
            window::MoveOutcome::Refused)
            << selected;
        EXPECT_EQ(moved, selected);
    }
    EXPECT_EQ(lists.next, (Texts{"User.Row_1", "User.Row_2"}));
    EXPECT_EQ(Order("User-defined Cells"), (window::RowOrder{0, 1, 0}));
}

TEST_F(RowOrderTab, NumberedSectionsAndSectionsWithoutAFirstRow) {
    AddRows(source, visSectionScratch, {{"1"}, {"2"}});
    EXPECT_EQ(Lists("Scratch").current, (Texts{"Row 1", "Row 2"}));
    const window::OrderLists none = Lists("Actions");
    EXPECT_TRUE(none.current.empty() && none.next.empty());
    EXPECT_EQ(Order("Actions").size(), 1u);
    EXPECT_TRUE(Lists("Geometry").current.empty()) << "Geometry rows keep their order";
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(RowOrderTab, ChangingTheTicksOfASectionStartsItsOrderAgain) {
    FourProperties();
    List("Custom Properties");
    window::OrderLists lists = Lists("Custom Properties");
    int selected = 3;
    window::MoveRow(window, "Custom Properties", lists, selected, -1);
    ASSERT_EQ(Order("Custom Properties"), (window::RowOrder{0, 1, 3, 2, 0}));
    window::CheckRow(window, "Custom Properties", 0, true);  // no change: the order stays
    EXPECT_EQ(Order("Custom Properties"), (window::RowOrder{0, 1, 3, 2, 0}));
    window::CheckRow(window, "Custom Properties", 0, false);
    const window::OrderLists after = Lists("Custom Properties");
    EXPECT_EQ(after.current, (Texts{"Prop.b", "Prop.c", "Prop.d"}));
    EXPECT_EQ(after.next, after.current);
    EXPECT_EQ(Order("Custom Properties"), (window::RowOrder{0, 1, 2, 0}));
    EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
}  // namespace tess::test
