// The Row details text: which cells each section shows, in which order, and where the line
// breaks fall.
#include <gtest/gtest.h>

#include "platform/visio/Constants.h"
#include "window/RowDetails.h"
#include "window/WindowFixture.h"

namespace tess::test {
namespace {

using namespace visio;

class RowDetails : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        shape = Rectangle();
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            lines.push_back(text.substr(start, end - start));
        }
        lines.push_back(text.substr(start));
        return lines;
    }

    std::string Details(std::string_view section, int16_t row,
                        const window::GeometryRowTable& table = {}) {
        return window::GetRowDetails(prompt, host, shape, section, row, table);
    }

    ShapePtr shape;
};

TEST_F(RowDetails, NamedRowsShowTheirCellsInTheTabsOrder) {
    AddNamedRow(shape, visSectionProp, "Cost", {"12.5", "\"How much\"", "\"Cost\"", "", "", "2"});
    EXPECT_EQ(Lines(Details("Custom Properties", 0)),
              (std::vector<std::string>{
                  "Label = \"Cost\"", "Prompt = \"How much\"", "Type = 2", "Format = No Formula",
                  "Value = 12.5", "SortKey = No Formula", "Invisible = No Formula",
                  "Ask = No Formula", "Calendar = No Formula", "LangID = No Formula"}));
    AddNamedRow(shape, visSectionUser, "Twice", {"Width*2", "\"Prompt\""});
    EXPECT_EQ(Details("User-defined Cells", 0), "Value = Width*2\r\nPrompt = \"Prompt\"");

    AddNamedRow(shape, visSectionSmartTag, "Tag", {});
    AddNamedRow(shape, visSectionAction, "Act", {});
    for (const char* name : {"Smart Tags", "Actions"}) {
        const std::string text = Details(name, 0);
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << name;  // these end with a break
    }
    EXPECT_EQ(Details("HyperLink", 0), "");
}

TEST_F(RowDetails, ConnectionPointsShowTheirDirectionsFromVersion5) {
    AddRows(shape, visSectionConnectionPts, {{"Width*0.5", "0"}});
    EXPECT_EQ(Lines(Details("Connection Points", 0)),
              (std::vector<std::string>{"X = Width*0.5", "Y = 0", "", "A = No Formula",
                                        "B = No Formula", "C = No Formula", "D = No Formula"}));
    host->version = "4.1";
    EXPECT_EQ(Details("Connection Points", 0), "X = Width*0.5\r\nY = 0\r\n");
}

TEST_F(RowDetails, GeometryRowsShowTheCellsOfTheirType) {
    shape->AddSection(visSectionFirstComponent + 1);
    shape->AddRow(visSectionFirstComponent + 1, 0, visTagComponent);
    shape->AddRow(visSectionFirstComponent + 1, visRowLast, visTagMoveTo);
    shape->AddRow(visSectionFirstComponent + 1, visRowLast, visTagArcTo);
    const window::GeometryRowTable table = {{1, visSectionFirstComponent + 1, 0},
                                            {1, visSectionFirstComponent + 1, 1},
                                            {1, visSectionFirstComponent + 1, 2}};
    EXPECT_EQ(Lines(Details("Geometry", 0, table))[0], "Type = Start");
    EXPECT_EQ(Lines(Details("Geometry", 0, table)).size(), 5u);
    EXPECT_EQ(Lines(Details("Geometry", 1, table)),
              (std::vector<std::string>{"Type = MoveTo", "X = No Formula", "Y = No Formula"}));
    EXPECT_EQ(Lines(Details("Geometry", 2, table)).back(), "A = No Formula");
}

TEST_F(RowDetails, AMissingRowIsReportedAndShowsNothing) {
    EXPECT_EQ(Details("Scratch", 3), "");
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages.front().text.rfind("Problem in modShapeFunctions.GetRowDetails", 0),
              0u);
}

TEST(FormulaDisplayText, ShowsWhatTheShapeSheetShows) {
    EXPECT_EQ(window::FormulaDisplayText(""), "No Formula");
    EXPECT_EQ(window::FormulaDisplayText("=Width*2"), "Width*2");
    EXPECT_EQ(window::FormulaDisplayText("\"a\nb\""), "\"a b\"");
}

}  // namespace
}  // namespace tess::test
