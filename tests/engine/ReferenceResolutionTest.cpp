#include "engine/ReferenceResolution.h"

#include <gtest/gtest.h>

#include "host/EmbeddedFixture.h"
#include "support/ScriptedPrompt.h"

namespace tess::engine {
namespace {

app::StringCollection Replacements(std::initializer_list<const char*> items) {
    app::StringCollection list;
    for (const char* item : items)
        list.Add(item);
    return list;
}

FormulaList ToSelf(app::IPrompt& prompt, FormulaList formulas, int16_t shift, int16_t section) {
    ResolveReferencesToSelf(prompt, formulas, shift, section);
    return formulas;
}

FormulaList Geometry(app::IPrompt& prompt, FormulaList formulas, int16_t from, int16_t to) {
    ResolveGeometryReferencesToSelf(prompt, formulas, from, to);
    return formulas;
}

FormulaList Replaced(app::IPrompt& prompt, FormulaList formulas,
                     const app::StringCollection& list) {
    ResolveReferences(prompt, formulas, list);
    return formulas;
}

TEST(ResolveReferences, ReplacesEachPlaceOnceByTheFirstItemStandingThere) {
    test::ScriptedPrompt prompt;
    const struct {
        FormulaList formulas;
        std::initializer_list<const char*> items;
        FormulaList expected;
    } cases[] = {
        {{"=A!Width+A!Height"}, {"A!|B!"}, {"=B!Width+B!Height"}},
        // A rename whose new text is another item's old text is not renamed again, chained or
        // swapped.
        {{"=A!Width+B!Height"}, {"A!|B!", "B!|C!"}, {"=B!Width+C!Height"}},
        {{"Sheet.1!X+Sheet.2!Y"},
         {"Sheet.1!|Sheet.2!", "Sheet.2!|Sheet.1!"},
         {"Sheet.2!X+Sheet.1!Y"}},
        {{"Geometry1.X1+Geometry2.Y1", "Geometry12.X1", "Width"},
         {"Geometry1.|Geometry2.", "Geometry2.|Geometry3."},
         {"Geometry2.X1+Geometry3.Y1", "Geometry12.X1", "Width"}},
        // The first item standing at a place wins; inserted text is not scanned again.
        {{"Sheet.12!X"}, {"Sheet.1|Sheet.7", "Sheet.12!|Sheet.40!"}, {"Sheet.72!X"}},
        {{"A!x"}, {"A!|A!A!"}, {"A!A!x"}},
        // Case matters; text after a second bar is not part of the new text.
        {{"sheet.1!X+Sheet.1!Y"}, {"Sheet.1!|Sheet.9!|ignored"}, {"sheet.1!X+Sheet.9!Y"}},
        {{"Sheet.1!A", "", "PinX"}, {}, {"Sheet.1!A", "", "PinX"}},
    };
    for (const auto& c : cases) {
        FormulaList formulas = c.formulas;
        ResolveReferences(prompt, formulas, Replacements(c.items));
        EXPECT_EQ(formulas, c.expected) << c.formulas.front();
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(ResolveReferences, OwnPlacesOnlyLeaveOtherShapesSectionsAlone) {
    test::ScriptedPrompt prompt;
    FormulaList formulas{"Geometry1.X1+Sheet.4!Geometry1.X1+'A b'!Geometry2.Y1+Geometry2.Y1",
                         "Sheet.5!Geometry1.X1+(Sheet.5!Geometry2.Y1)+Sheet.15!Geometry1.A1"};
    ResolveReferences(prompt, formulas,
                      Replacements({"Geometry1.|Geometry2.", "Geometry2.|Geometry3."}), "Sheet.5");
    EXPECT_EQ(formulas,
              (FormulaList{"Geometry2.X1+Sheet.4!Geometry1.X1+'A b'!Geometry2.Y1+Geometry3.Y1",
                           "Sheet.5!Geometry2.X1+(Sheet.5!Geometry3.Y1)+Sheet.15!Geometry1.A1"}));
}

TEST(NamesOtherSheet, TellsTheSourcesOwnReferencesFromOtherSheets) {
    const struct {
        std::string_view formula, self;
        bool other;
    } cases[] = {
        {"Scratch.X1", "Sheet.5", false},           {"Sheet.5!Scratch.X1", "Sheet.5", false},
        {"Sheet.4!Scratch.X1", "Sheet.5", true},    {"Sheet.15!Scratch.X1", "Sheet.5", true},
        {"MySheet.5!Scratch.X1", "Sheet.5", true},  {"'Sheet.5'!Scratch.X1", "Sheet.5", false},
        {"'My box'!Scratch.X1", "Sheet.5", true},   {"ThePage!Scratch.X1", "ThePage", false},
        {"ThePage!Scratch.X1", "Sheet.5", true},    {"Sheet.5!Scratch.X1", "", true},
        {"1+Sheet.5!Scratch.X1", "Sheet.5", false},
    };
    for (const auto& c : cases) {
        const size_t at = c.formula.find("Scratch");
        EXPECT_EQ(NamesOtherSheet(c.formula, at, c.self), c.other) << c.formula << " of " << c.self;
    }
}

TEST(ResolveReferences, AnEntryWithoutBarIsReportedAfterTheEntriesBeforeIt) {
    test::ScriptedPrompt prompt;
    EXPECT_EQ(Replaced(prompt, {"A!B+C!D"}, Replacements({"A!|C!", "broken", "C!|D!"})),
              FormulaList{"C!B+C!D"});
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(
        prompt.messages[0].text.rfind("Problem in modShapeFunctions.ResolveReferences\r\n", 0), 0u);
}

TEST(ResolveReferencesToSelf, ShiftsRowNumbersOfTheSectionsOwnReferences) {
    test::ScriptedPrompt prompt;
    EXPECT_EQ(ToSelf(prompt, {"=Scratch.X1+Scratch.Y3"}, 2, 6),
              FormulaList{"=Scratch.X3+Scratch.Y5"});
    EXPECT_EQ(ToSelf(prompt, {"Connections.X1*2", "Connections.DirX1"}, 3, 7),
              (FormulaList{"Connections.X4*2", "Connections.DirX1"}));
    EXPECT_EQ(ToSelf(prompt, {"Scratch.X12+Scratch.A9"}, -2, 6),
              FormulaList{"Scratch.X10+Scratch.A7"});
    EXPECT_EQ(ToSelf(prompt, {"Scratch.X1"}, -3, 6), FormulaList{"Scratch.X-2"});
    // The label is found inside longer words too, and only the first digit run counts.
    EXPECT_EQ(ToSelf(prompt, {"MyScratch.X1", "Scratch.X1.5"}, 1, 6),
              (FormulaList{"MyScratch.X2", "Scratch.X2.5"}));
    // Other sections' references stay as they are, and so do other shapes' rows: a group's,
    // a sibling's, the page's.
    EXPECT_EQ(ToSelf(prompt, {"Scratch.X1+User.Row_1+Geometry1.X1"}, 1, 6),
              FormulaList{"Scratch.X2+User.Row_1+Geometry1.X1"});
    EXPECT_EQ(ToSelf(prompt,
                     {"Sheet.4!Scratch.X1+Scratch.X1", "'My box'!Scratch.A2",
                      "ThePage!Scratch.B1*Scratch.B1"},
                     1, 6),
              (FormulaList{"Sheet.4!Scratch.X1+Scratch.X2", "'My box'!Scratch.A2",
                           "ThePage!Scratch.B1*Scratch.B2"}));
    // Named by its own name, the source's rows move as when named by none.
    FormulaList own{"Sheet.5!Scratch.X1+Sheet.4!Scratch.X1"};
    ResolveReferencesToSelf(prompt, own, 2, 6, "Sheet.5");
    EXPECT_EQ(own, FormulaList{"Sheet.5!Scratch.X3+Sheet.4!Scratch.X1"});
}

TEST(ResolveReferencesToSelf, LeavesSectionsWithoutLabelAndLabelsAtTheEndAlone) {
    test::ScriptedPrompt prompt;
    for (int16_t section : {244, 245, 246}) {
        EXPECT_EQ(ToSelf(prompt, {"Hyperlink.Row_1.Address", "Scratch.X1"}, 5, section),
                  (FormulaList{"Hyperlink.Row_1.Address", "Scratch.X1"}));
    }
    EXPECT_EQ(ToSelf(prompt, {"=Scratch", "=Scratch.", "=Scratch.X", "Scratch.X"}, 4, 6),
              (FormulaList{"=Scratch", "=Scratch.", "=Scratch.X", "Scratch.X"}));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(ResolveReferencesToSelf, WithShiftZeroChangesNothing) {
    test::ScriptedPrompt prompt;
    const FormulaList formulas{"Scratch.X1+Scratch.Y3", "Char.Size", "Para.IndFirst[2]"};
    EXPECT_EQ(ToSelf(prompt, formulas, 0, 6), formulas);
    EXPECT_EQ(ToSelf(prompt, formulas, 0, 3), formulas);
}

TEST(ResolveReferencesToRows, ReferencesFollowTheirRowsAndOthersMoveAsTheirRowMoved) {
    test::ScriptedPrompt prompt;
    const RowMap rows{{2, 0}, {0, 1}};  // source row 2 first, then row 0
    FormulaList formulas{"Scratch.X1+Scratch.Y3", "Scratch.A2*2", "Scratch1.X1+Scratch.X",
                         "Sheet.4!Scratch.X3+Scratch.X3"};
    ResolveReferencesToRows(prompt, formulas, rows, 6, -1);  // a formula of row 1, now row 0
    EXPECT_EQ(formulas, (FormulaList{"Scratch.X2+Scratch.Y1", "Scratch.A1*2",
                                     "Scratch1.X1+Scratch.X", "Sheet.4!Scratch.X3+Scratch.X1"}));

    // Geometry rows are numbered from row 0; Geometry1 is not Geometry10 and Geometry12.
    FormulaList geometry{"Geometry1.X3+Geometry1.Y2", "Geometry10.X3+Geometry12.Y2",
                         "Geometry1.NoFill", "Sheet.2!Geometry1.X3"};
    ResolveGeometryRowReferences(prompt, geometry, {{3, 1}, {5, 2}}, 10, -3);
    EXPECT_EQ(geometry, (FormulaList{"Geometry1.X1+Geometry1.Y-1", "Geometry10.X3+Geometry12.Y2",
                                     "Geometry1.NoFill", "Sheet.2!Geometry1.X3"}));
}

TEST(ResolveGeometryReferencesToSelf, RenumbersOnlyTheSourceSection) {
    test::ScriptedPrompt prompt;
    EXPECT_EQ(Geometry(prompt, {"=Geometry1.X1*2", "=Geometry2.X1"}, 10, 12),
              (FormulaList{"=Geometry3.X1*2", "=Geometry2.X1"}));
    // Another shape's Geometry2 is not the one copied.
    EXPECT_EQ(Geometry(prompt, {"Geometry2.X3+Sheet.4!Geometry2.Y1+Geometry12.A1"}, 11, 20),
              FormulaList{"Geometry11.X3+Sheet.4!Geometry2.Y1+Geometry12.A1"});
    EXPECT_EQ(Geometry(prompt, {"Geometry1.NoFill"}, 10, 10), FormulaList{"Geometry1.NoFill"});
}

TEST(ResolveGeometryReferencesToSelf, TreatsNonNumericAndDotlessOccurrencesAsNoMatch) {
    test::ScriptedPrompt prompt;
    EXPECT_EQ(
        Geometry(prompt,
                 {"Geometry", "Geometry1", "Geometryx.Y", "Geometry 1.X1", "Geometry1+Width"}, 10,
                 11),
        (FormulaList{"Geometry", "Geometry1", "Geometryx.Y", "Geometry 1.X1", "Geometry1+Width"}));
    // A non-numeric candidate skips one character past the label; the next occurrence counts.
    EXPECT_EQ(Geometry(prompt, {"Geometry1+Geometry1.X1"}, 10, 11),
              FormulaList{"Geometry1+Geometry2.X1"});
    EXPECT_TRUE(prompt.messages.empty());
}

TEST(ReplaceAll, ReportsWhetherTheTextChanged) {
    std::string text = "Sheet.1!A+Sheet.1!B";
    EXPECT_TRUE(ReplaceAll(text, "Sheet.1!", "Sheet.10!"));
    EXPECT_EQ(text, "Sheet.10!A+Sheet.10!B");
    EXPECT_FALSE(ReplaceAll(text, "Sheet.2!", "x"));
    EXPECT_FALSE(ReplaceAll(text, "", "x"));
    EXPECT_EQ(text, "Sheet.10!A+Sheet.10!B");
}

}  // namespace
}  // namespace tess::engine

namespace tess::engine {
namespace {

class ParentReferences : public test::EmbeddedDrawing {};

TEST_F(ParentReferences, PointAtTheDestinationsParentInstead) {
    // Two groups, each holding one member.
    const visio::ShapePtr source = Rectangle();
    source->ConvertToGroup();
    const visio::ShapePtr destination = Rectangle(4, 4, 5, 5);
    destination->ConvertToGroup();
    const std::string from = visio::NameIDOf(source->Parent());
    const std::string to = visio::NameIDOf(destination->Parent());
    std::string formula = from + "!Width*0.5+" + from + "!Height+" + from + "x!Width";
    ResolveFormulaReferencesToParent(formula, source, destination);
    EXPECT_EQ(formula, to + "!Width*0.5+" + to + "!Height+" + from + "x!Width");

    // A parent without a reference name (a page) leaves the formula as it was, silently.
    test::ScriptedPrompt prompt;
    const visio::ShapePtr onPage = Rectangle(7, 7, 8, 8);
    std::string unchanged = from + "!Width";
    ResolveFormulaReferencesToParent(unchanged, onPage, destination);
    EXPECT_EQ(unchanged, from + "!Width");
    ResolveFormulaReferencesToParent(unchanged, nullptr, destination);
    EXPECT_EQ(unchanged, from + "!Width");
    EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
}  // namespace tess::engine
