// Two sheets compared as the diff command and the Compare window show them.
#include <gtest/gtest.h>

#include <functional>

#include "host/EmbeddedFixture.h"
#include "support/ScriptedPrompt.h"
#include "window/RowListing.h"
#include "window/SheetDiff.h"

namespace tess::test {
namespace {

using visio::ShapePtr;
using window::CellChange;

/// A difference in one line: "Caption|row|cell|what" ("User-defined Cells|User.A|Value|formula",
/// "Scratch|Row 2||only in B", "Geometry|...|type").
std::vector<std::string> Lines(const window::SheetDiff& diff) {
    std::vector<std::string> lines;
    for (const auto& section : diff.sections) {
        const std::string caption = window::CaptionOf(*section.entry) + "|";
        for (const auto& row : section.rows) {
            const std::string prefix = caption + row.label + "|";
            if (!row.inFirst || !row.inSecond) {
                lines.push_back(prefix + "|only in " + (row.inFirst ? "A" : "B"));
                continue;
            }
            if (row.firstType != row.secondType) lines.push_back(prefix + "|type");
            for (const auto& cell : row.cells) {
                lines.push_back(prefix + cell.name + "|" +
                                (cell.change == CellChange::Formula ? "formula"
                                 : cell.change == CellChange::Value ? "value"
                                                                    : "cell"));
            }
        }
    }
    return lines;
}

class SheetDiffTest : public EmbeddedDrawing {
protected:
    /// The entries of these captions.
    static window::Entries Entries(std::initializer_list<const char*> captions) {
        window::Entries entries;
        for (const char* caption : captions)
            entries.push_back(window::EntryOfCaption(caption));
        return entries;
    }
    std::vector<std::string> Diff(const ShapePtr& a, const ShapePtr& b,
                                  const window::Entries& entries) {
        return Lines(window::DiffSheets(prompt, a, b, entries).diff);
    }

    ScriptedPrompt prompt;
};

TEST_F(SheetDiffTest, RowsPairByNameOrPositionAndReferencesReadAsACopyWritesThem) {
    const int16_t user = visio::visSectionUser;
    const int16_t scratch = visio::visSectionScratch;
    struct Case {
        std::string what;
        std::function<void(const ShapePtr& a, const ShapePtr& b)> make;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"the same rows and formulas",
         [&](auto a, auto b) {
             AddNamedRow(a, user, "Alpha", {"Width*2", "\"Say\""});
             AddNamedRow(b, user, "Alpha", {"Width*2", "\"Say\""});
         },
         {}},
        {"named rows pair by name, whatever their order and case",
         [&](auto a, auto b) {
             AddNamedRow(a, user, "Alpha", {"1"});
             AddNamedRow(a, user, "Beta", {"2"});
             AddNamedRow(b, user, "beta", {"2"});
             AddNamedRow(b, user, "Alpha", {"1"});
         },
         {}},
        {"named rows one sheet has, and a formula that differs",
         [&](auto a, auto b) {
             AddNamedRow(a, user, "Alpha", {"1"});
             AddNamedRow(a, user, "Beta", {"2", "\"p\""});
             AddNamedRow(b, user, "Beta", {"3", "\"p\""});
             AddNamedRow(b, user, "Gamma", {"1"});
         },
         {"User-defined Cells|User.Alpha||only in A", "User-defined Cells|User.Beta|Value|formula",
          "User-defined Cells|User.Gamma||only in B"}},
        {"numbered rows pair by position",
         [&](auto a, auto b) {
             AddRows(a, scratch, {{"1"}, {"2"}, {"5"}});
             AddRows(b, scratch, {{"1"}, {"3"}});
         },
         {"Scratch|Row 2|X|formula", "Scratch|Row 3||only in A"}},
        {"a section only one sheet has",
         [&](auto a, auto) { AddRows(a, scratch, {{"1"}}); },
         {"Scratch|Row 1||only in A"}},
        {"a reference to the sheet itself reads as one to the other",
         [&](auto a, auto b) {
             AddNamedRow(a, user, "Twice", {a->NameID() + "!Width*2"});
             AddNamedRow(b, user, "Twice", {b->NameID() + "!Width*2"});
         },
         {}},
        {"a reference to the first sheet from the second is not one to itself",
         [&](auto a, auto b) {
             AddNamedRow(a, user, "Twice", {a->NameID() + "!Width*2"});
             AddNamedRow(b, user, "Twice", {a->NameID() + "!Width*2"});
         },
         {"User-defined Cells|User.Twice|Value|formula"}},
        {"a reference to the second sheet stays one, as a copy leaves it",
         [&](auto a, auto b) {
             AddNamedRow(a, user, "Twice", {b->NameID() + "!Width*2"});
             AddNamedRow(b, user, "Twice", {b->NameID() + "!Width*2"});
         },
         {}},
        {"the same formula giving another value",
         [&](auto a, auto b) {
             b->Cells("Width")->SetFormula("4");
             AddNamedRow(a, user, "W", {"Width"});
             AddNamedRow(b, user, "W", {"Width"});
         },
         {"User-defined Cells|User.W|Value|value"}},
        {"no formula and an empty string are not the same",
         [&](auto a, auto b) {
             AddNamedRow(a, user, "P", {"1"});
             AddNamedRow(b, user, "P", {"1", "\"\""});
         },
         {"User-defined Cells|User.P|Prompt|formula"}},
    };
    for (const Case& each : cases) {
        const ShapePtr a = Rectangle();
        const ShapePtr b = Rectangle();
        each.make(a, b);
        EXPECT_EQ(Diff(a, b, Entries({"User-defined Cells", "Scratch"})), each.expected)
            << each.what;
        EXPECT_EQ(Diff(a, a, Entries({"User-defined Cells", "Scratch"})),
                  std::vector<std::string>())
            << each.what << ": A against itself";
    }
    EXPECT_TRUE(prompt.messages.empty()) << prompt.Texts().front();
}

TEST_F(SheetDiffTest, ReferencesToMembersReadAsTheOtherGroupsMatchingMembers) {
    const ShapePtr a = Group({"Frame", "Label"});
    const ShapePtr b = Group({"Label", "Frame"});
    const auto member = [](const ShapePtr& group, const char* name) {
        return group->Shapes()->Item(std::string(name))->NameID();
    };
    AddNamedRow(a, visio::visSectionUser, "Gap",
                {member(a, "Label") + "!Width-" + member(a, "Frame") + "!Width"});
    AddNamedRow(b, visio::visSectionUser, "Gap",
                {member(b, "Label") + "!Width-" + member(b, "Frame") + "!Width"});
    // The same formula; the members' sizes differ, and so does the value.
    EXPECT_EQ(Diff(a, b, Entries({"User-defined Cells"})),
              std::vector<std::string>{"User-defined Cells|User.Gap|Value|value"});

    const window::ReferenceMap map = window::MapReferences(a, b);
    const auto sheets = window::MappedSheets(map);
    ASSERT_EQ(sheets.size(), 3u);
    EXPECT_EQ(sheets[0], std::make_pair(a->NameID(), b->NameID()));
    EXPECT_EQ(sheets[1], std::make_pair(member(a, "Frame"), member(b, "Frame")));
}

TEST_F(SheetDiffTest, OffersWhatEitherSheetHasAndReadsWhereFormulasComeFrom) {
    const ShapePtr a = Rectangle();
    const ShapePtr b = Rectangle();
    AddRows(a, visio::visSectionScratch, {{"1"}});
    AddNamedRow(b, visio::visSectionProp, "Cost", {"3"});
    const window::Entries offered = window::OfferedEntries(prompt, a, b);
    for (const char* caption : {"Scratch", "Custom Properties", "Shape Transform", "Geometry"}) {
        EXPECT_NE(std::find(offered.begin(), offered.end(), window::EntryOfCaption(caption)),
                  offered.end())
            << caption;
    }
    EXPECT_EQ(std::find(offered.begin(), offered.end(), window::EntryOfCaption("Tabs")),
              offered.end());

    const window::SheetImage image = window::ReadSheet(prompt, b, Entries({"Custom Properties"}));
    ASSERT_EQ(image.sections.at(0).rows.size(), 1u);
    const auto& cells = image.sections[0].rows[0].cells;
    const auto cell = [&](const std::string& name) {
        return *std::find_if(cells.begin(), cells.end(),
                             [&](const auto& c) { return c.name == name; });
    };
    EXPECT_EQ(cell("Value").formula, "3");
    EXPECT_EQ(cell("Value").value, "3");
    EXPECT_EQ(window::OriginText(cell("Value")), "local");
}

}  // namespace
}  // namespace tess::test
