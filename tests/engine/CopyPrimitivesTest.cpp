// The copy primitives on the embedded model: which cells they pair, how they rewrite
// references, how many host calls they make, and the copy-error path.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/CopyFixture.h"
#include "engine/CopyPrimitives.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;
using engine::CellTriples;

class CopyPrimitives : public CopyPairTest {
protected:
    void SetUp() override {
        CopyPairTest::SetUp();
        run.sheetNameMap.Add(source->NameID() + "!|" + destination->NameID() + "!",
                             source->NameID());
        run.report.destinations.push_back({"destination", "destination", destination});
    }
};

TEST_F(CopyPrimitives, WholeSectionLandsOnTheLastRowsWithItsRowReferencesShifted) {
    // The source's own rows move, named by its name or by none; another shape's rows do not.
    const ShapePtr other = Rectangle(8, 8, 9, 9);
    AddRows(other, visSectionScratch, {{"5"}});
    const std::string own = source->NameID() + "!Scratch.X1+" + other->NameID() + "!Scratch.X1";
    AddRows(source, visSectionScratch, {{"1", "Scratch.X1*2"}, {"2", own}, {"Scratch.X2+Width"}});
    AddRows(destination, visSectionScratch, {{"9"}, {"9"}, {"9"}, {"9"}, {"9"}});
    Model().Calls().ResetCallCounts();
    engine::CopySection(run, source, destination, visSectionScratch, 0, true);
    EXPECT_EQ(Model().Calls().CallCount("Shape.GetFormulas"), 1u);
    EXPECT_EQ(Model().Calls().CallCount("Shape.SetFormulas"), 1u);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 0, 0), "9");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 1, 0), "9");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 2, 0), "1");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 2, 1), "Scratch.X3*2");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 3, 1),
              destination->NameID() + "!Scratch.X3+" + other->NameID() + "!Scratch.X1");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 4, 0), "Scratch.X4+Width");

    // A destination with fewer rows than the source gets nothing.
    const ShapePtr small = Rectangle(6, 6, 7, 7);
    AddRows(small, visSectionScratch, {{"7"}, {"7"}});
    engine::CopySection(run, source, small, visSectionScratch, 0, true);
    EXPECT_EQ(FormulaOf(small, visSectionScratch, 0, 0), "7");
    EXPECT_EQ(FormulaOf(small, visSectionScratch, 1, 0), "7");
}

TEST_F(CopyPrimitives, GlueInfoCopiesItsFourCellsOfTheMiscellaneousRow) {
    Write(source, {{"GlueType", "2"},
                   {"WalkPreference", "1"},
                   {"BegTrigger", "0"},
                   {"EndTrigger", "0"},
                   {"NoObjHandles", "TRUE"}});
    engine::CopySection(run, source, destination, visSectionObject, kRowGlueInfo, false);
    EXPECT_EQ(destination->Cells("GlueType")->Formula(), "2");
    EXPECT_EQ(destination->Cells("WalkPreference")->Formula(), "1");
    EXPECT_NE(destination->Cells("NoObjHandles")->Formula(), "TRUE");  // cell 0: not Glue Info
}

TEST_F(CopyPrimitives, ObjectRowsCopyTheirCellsAndRewriteReferencesToTheSource) {
    const ShapePtr other = Rectangle(8, 8, 9, 9);
    Write(source, {{"LineWeight", "Width*0.01"},
                   {"LinePattern", other->NameID() + "!LinePattern"},
                   {"LineColor", source->NameID() + "!FillForegnd"}});
    engine::CopySection(run, source, destination, visSectionObject, visRowLine, false);
    EXPECT_EQ(destination->Cells("LineWeight")->Formula(), "Width*0.01");
    EXPECT_EQ(destination->Cells("LinePattern")->Formula(), other->NameID() + "!LinePattern");
    EXPECT_EQ(destination->Cells("LineColor")->Formula(), destination->NameID() + "!FillForegnd");
}

TEST_F(CopyPrimitives, NamedRowsGoToTheRowsOfTheirNamesAndOthersAreSkippedSilently) {
    AddNamedRow(source, visSectionUser, "A", {"1", "\"a\""});
    AddNamedRow(source, visSectionUser, "B", {"Width*2", "\"b\""});
    AddNamedRow(destination, visSectionUser, "B", {"0"});
    engine::CopyNamedRows(run, source, destination, visSectionUser);
    EXPECT_EQ(destination->RowCount(visSectionUser), 1);
    EXPECT_EQ(destination->Cells("User.B")->Formula(), "Width*2");
    EXPECT_EQ(destination->Cells("User.B.Prompt")->Formula(), "\"b\"");
    EXPECT_TRUE(frontEnd.messages.empty());
    EXPECT_TRUE(frontEnd.shown.empty());

    // The whole section pairs rows by name in one write.
    AddNamedRow(destination, visSectionUser, "A", {});
    Model().Calls().ResetCallCounts();
    engine::CopyNamedRowSection(run, source, destination, visSectionUser, 0, true);
    EXPECT_EQ(destination->Cells("User.A")->Formula(), "1");
    EXPECT_EQ(Model().Calls().CallCount("Shape.SetFormulas"), 1u);
}

TEST_F(CopyPrimitives, IndexedRowsFollowTheChoiceTheOrderAndTheCopyType) {
    AddRows(source, visSectionScratch, {{"10"}, {"11"}, {"12"}, {"13"}});
    AddRows(destination, visSectionScratch, {{"0"}, {"0"}, {"0"}, {"0"}, {"0"}, {"0"}});
    request.rows[visSectionScratch] = {0, 1, 0, 1, 0};
    engine::CopyRows(run, source, destination, visSectionScratch, engine::CF_APPEND);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 3, 0), "0");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 4, 0), "11");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 5, 0), "13");

    // Overwrite starts at row 0; an order puts the chosen rows the other way round.
    request.orders[visSectionScratch] = {1, 0, 0};
    engine::CopyRows(run, source, destination, visSectionScratch, engine::CF_OVERWRITE);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 0, 0), "13");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 1, 0), "11");

    // Without a choice every row goes to row t + i.
    request.rows.clear();
    request.geometryRows.clear();
    request.orders.clear();
    engine::CopyRows(run, source, destination, visSectionScratch, engine::CF_OVERWRITE);
    for (int16_t i = 0; i < 4; ++i)
        EXPECT_EQ(FormulaOf(destination, visSectionScratch, i, 0), std::to_string(10 + i));
}

TEST_F(CopyPrimitives, TextFieldRowsLandOnlyOnFieldsOfTheDestinationsText) {
    const auto addFields = [](const ShapePtr& shape, std::vector<std::string> formulas) {
        const CharactersPtr text = shape->Characters();
        for (const std::string& formula : formulas) {
            text->SetBegin(text->RunEnd(visParaRun));
            text->AddCustomField(formula, 0);
        }
    };
    addFields(source, {"Width", "Height"});
    struct Case {
        const char* what;
        int16_t options;
        bool textCopied;
        engine::RowChoice choice;
        std::vector<std::string> destinationFields, expected;
        bool shortfall;
    };
    const Case cases[] = {
        {"append without the text: its own field stays", engine::CF_APPEND, false, {},
         {"PAGENUMBER()"}, {"PAGENUMBER()"}, true},
        {"overwrite, one row onto its one field", engine::CF_OVERWRITE, false, {0, 1, 0},
         {"PAGENUMBER()"}, {"Height"}, false},
        {"overwrite, more rows than fields", engine::CF_OVERWRITE, false, {},
         {"PAGENUMBER()"}, {"Width"}, true},
        {"the text copied: the chosen row onto its own field", engine::CF_APPEND, true,
         {0, 1, 0}, {"1", "2"}, {"1", "Height"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ShapePtr target = Rectangle(6, 6, 7, 7);
        addFields(target, c.destinationFields);
        run.report.destinations.push_back({"target", "target", target});
        request.rows[visSectionTextField] = c.choice;
        engine::CopyTextFields(run, source, target, c.options, c.textCopied);
        ASSERT_EQ(target->RowCount(visSectionTextField), std::ssize(c.expected));
        for (size_t i = 0; i < c.expected.size(); ++i)
            EXPECT_EQ(FormulaOf(target, visSectionTextField, static_cast<int16_t>(i), 0),
                      c.expected[i]);
        EXPECT_EQ(run.Current().shortfalls.size(), c.shortfall ? 1u : 0u);
    }
}

TEST_F(CopyPrimitives, ACopiedRowRefersToItsNewRow) {
    AddRows(source, visSectionScratch, {{"1"}, {"2"}, {"Scratch.X3+Scratch.Y2"}});
    AddRows(destination, visSectionScratch, {{"0"}, {"0"}, {"0"}, {"0"}, {"0"}, {"0"}});
    engine::CopyRow(run, source, destination, visSectionScratch, 2, 5);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 5, 0), "Scratch.X6+Scratch.Y5");
}

TEST_F(CopyPrimitives, GeometryCellsAndSectionsAdvanceOnlyWhenRowsWereChosen) {
    source->AddSection(visSectionFirstComponent + 1);
    source->AddRow(visSectionFirstComponent + 1, 0, visTagComponent);
    source->AddRow(visSectionFirstComponent + 1, visRowLast, visTagMoveTo);
    CellTriples all;
    engine::GetGeometryCells(run, source, all, -1);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front(), visSectionFirstComponent);
    EXPECT_EQ(all[all.size() - 3], visSectionFirstComponent + 1);

    app::StringCollection renames;
    int16_t target = visSectionFirstComponent + 1;
    engine::CopyGeometryRows(run, source, destination, visSectionFirstComponent, target,
                             renames);  // nothing chosen
    EXPECT_EQ(target, visSectionFirstComponent + 1);
    // Prepared as for chosen rows: a component row, then a row per chosen row.
    destination->AddSection(visSectionFirstComponent + 1);
    destination->AddRow(visSectionFirstComponent + 1, visRowLast, visTagComponent);
    for (int i = 0; i < 2; ++i)
        destination->AddRow(visSectionFirstComponent + 1, visRowLast, visTagLineTo);
    Write(source, {{"Geometry1.X2", "Geometry1.X1+Width"}, {"Geometry1.X3", "Geometry1.Y2"}});
    request.geometryRows = {{1, visSectionFirstComponent, 1}, {1, visSectionFirstComponent, 3}};
    engine::CopyGeometryRows(run, source, destination, visSectionFirstComponent, target, renames);
    EXPECT_EQ(target, visSectionFirstComponent + 2);
    // The chosen rows go to the rows prepared for them, after the component row.
    EXPECT_EQ(FormulaOf(destination, visSectionFirstComponent + 1, 1, 1),
              FormulaOf(source, visSectionFirstComponent, 1, 1));
    // Row 2 was not copied: the reference to it moves as its row moved (3 to 2), onto row 1.
    EXPECT_EQ(FormulaOf(destination, visSectionFirstComponent + 1, 2, 0), "Geometry2.Y1");

    // Alone, row 2 goes to row 1 and its reference to row 1 onto the component row, which has
    // no vertex: the copy refuses it and says why.
    request.geometryRows = {{0, visSectionFirstComponent, 1}, {1, visSectionFirstComponent, 2}};
    target = visSectionFirstComponent + 1;
    engine::CopyGeometryRows(run, source, destination, visSectionFirstComponent, target, renames);
    ASSERT_EQ(run.Current().refused.size(), 1u);
    EXPECT_EQ(run.Current().refused[0].errorNumber, engine::kFormulaNamesMissingRow);
    EXPECT_EQ(run.Current().refused[0].formula, "Geometry2.X0+Width");
    EXPECT_EQ(FormulaOf(destination, visSectionFirstComponent + 1, 1, 0),
              FormulaOf(source, visSectionFirstComponent, 1, 0));  // as the first copy left it

    // A row the destination refuses still used the section prepared for it: the next source
    // section goes to the next one, not over this one.
    AddNamedRow(source, visSectionUser, "Only", {"1"});
    Write(source, {{"Geometry1.X2", "User.Only*2"}});
    request.geometryRows = {{1, visSectionFirstComponent, 2}};
    target = visSectionFirstComponent + 1;
    engine::CopyGeometryRows(run, source, destination, visSectionFirstComponent, target, renames);
    EXPECT_EQ(run.Current().refused.size(), 2u);
    EXPECT_EQ(target, visSectionFirstComponent + 2);
}

TEST_F(CopyPrimitives, ARefusedWriteIsReportedWithTheFormulasAsRead) {
    // A formula naming a row only the source has: the destination refuses it.
    AddNamedRow(source, visSectionUser, "Only", {"1"});
    AddRows(source, visSectionScratch, {{"User.Only*2"}});
    AddRows(destination, visSectionScratch, {{"0"}});
    engine::CopyRow(run, source, destination, visSectionScratch, 0, 0);
    ASSERT_EQ(frontEnd.shown.size(), 1u);
    const std::string& message = frontEnd.shown.front();
    EXPECT_EQ(message.rfind("ERROR: ", 0), 0u);
    EXPECT_NE(message.find("\r\rThere was an error copying the cells\rin section:  'Scratch'"),
              std::string::npos);
    EXPECT_EQ(message.find("row:"), std::string::npos);
    EXPECT_EQ(frontEnd.detailsFormulas.size(), 6u);
    EXPECT_EQ(frontEnd.detailsFormulas.front(), "User.Only*2");
    EXPECT_EQ(frontEnd.detailsShape, destination);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 0, 0), "0");

    // After Cancel Run a failure is still recorded, with its details, but no dialog is shown.
    run.CopyRunCancelled = true;
    engine::CopySection(run, source, destination, visSectionObject, visRowXFormOut, false);
    AddRows(source, visSectionScratch, {{"User.Only*3"}});
    AddRows(destination, visSectionScratch, {{"0"}});
    engine::CopyRow(run, source, destination, visSectionScratch, 1, 1);
    EXPECT_EQ(frontEnd.shown.size(), 1u);
    EXPECT_EQ(frontEnd.detailsFormulas.front(), "User.Only*3");
    const std::vector<engine::RefusedFormula>& refused = run.report.destinations.back().refused;
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused.back().formula, "User.Only*3");
    EXPECT_NE(engine::CopyErrorMessage(Error(refused.back().errorNumber, refused.back().errorText),
                                       refused.back().sectionLabel, refused.back().rowLabel)
                  .find("ERROR: "),
              std::string::npos);
}

TEST_F(CopyPrimitives, ChosenRowsGoInOneWriteAndARefusedRowIsFoundAndNamedAsAlone) {
    // Seven rows chosen of the source's eight, one letter each: '.' a number, 'h' a row only the
    // source has, which the host refuses on the destination, 'o' the eighth row, not copied,
    // which the destination does not have: the copy refuses that itself and leaves it out of
    // the row's write.
    const struct {
        const char* rows;
        bool cancel;  // Cancel Run at the first copy error
    } cases[] = {{".......", false}, {"h......", false}, {"...h...", false},
                 {"......h", false}, {".h...h.", false}, {"..h.h..", true},
                 {"..o....", false}, {"o..h..o", false}, {".o.h...", true}};
    constexpr int16_t kRows = 7;
    constexpr int kCells = 6;  // of a Scratch row
    for (const auto& each : cases) {
        SCOPED_TRACE(std::string(each.rows) + (each.cancel ? " cancel" : ""));
        const ShapePtr from = Rectangle(), to = Rectangle(6, 6, 7, 7);
        AddNamedRow(from, visSectionUser, "Only", {"1"});
        std::vector<std::vector<std::string>> rows, zeros(kRows, {"0"});
        for (int16_t row = 0; row < kRows; ++row) {
            const char kind = each.rows[row];
            rows.push_back({kind == 'h' ? "User.Only*2" : std::to_string(10 + row)});
        }
        rows.push_back({"99"});
        AddRows(from, visSectionScratch, rows);
        for (int16_t row = 0; row < kRows; ++row) {
            if (each.rows[row] == 'o')
                from->CellsSRC(visSectionScratch, row, 0)->SetFormula("Scratch.X8*2");
        }
        AddRows(to, visSectionScratch, zeros);
        engine::CopyRequest asked;
        asked.source = Target(from);
        asked.rows[visSectionScratch] = {1, 1, 1, 1, 1, 1, 1, 0};
        ScriptedFrontEnd front;
        if (each.cancel) front.answers.push_back(engine::ICopyFrontEnd::CopyErrorAnswer::CancelRun);
        engine::CopyRun batch{asked, front};
        batch.report.destinations.push_back({"to", "to", to});
        Model().Calls().ResetCallCounts();
        engine::CopyRows(batch, from, to, visSectionScratch, engine::CF_OVERWRITE);

        const std::string kinds = each.rows;
        const size_t firstRefused = kinds.find_first_not_of('.');
        const size_t last = each.cancel ? firstRefused + 1 : kRows;
        std::vector<size_t> refusedRows;
        int cells = 0;
        for (size_t row = 0; row < kRows; ++row) {
            const char kind = kinds[row];
            const bool written = row < last && kind == '.';
            EXPECT_EQ(FormulaOf(to, visSectionScratch, static_cast<int16_t>(row), 0),
                      written ? std::to_string(10 + row) : "0") << row;
            if (row < last) cells += kind == '.' ? kCells : kind == 'o' ? kCells - 1 : 0;
            if (row < last && kind != '.') refusedRows.push_back(row);
        }
        const auto& report = batch.report.destinations.back();
        EXPECT_EQ(report.cellsWritten, cells);
        ASSERT_EQ(report.refused.size(), refusedRows.size());
        ASSERT_EQ(front.shown.size(), each.cancel ? 1 : refusedRows.size());
        for (size_t k = 0; k < refusedRows.size(); ++k) {
            EXPECT_EQ(report.refused[k].row, refusedRows[k]);
            EXPECT_EQ(report.refused[k].cell, 0);
            EXPECT_EQ(report.refused[k].formula,
                      kinds[refusedRows[k]] == 'h' ? "User.Only*2" : "Scratch.X8*2");
        }
        // The details show the refused row's formulas as read.
        if (refusedRows.empty()) EXPECT_EQ(front.detailsFormulas.size(), 0u);
        else EXPECT_EQ(front.detailsFormulas.front(), report.refused.back().formula);
        // One read of the source and one write when nothing is refused. A refused row is read
        // again alone (the host's refusal once more for the details); the search for it halves.
        const auto hostRefused = static_cast<size_t>(
            std::count_if(refusedRows.begin(), refusedRows.end(),
                          [&](size_t row) { return kinds[row] == 'h'; }));
        EXPECT_EQ(Model().Calls().CallCount("Shape.GetFormulas"), 1 + refusedRows.size() + hostRefused);
        const size_t writes = Model().Calls().CallCount("Shape.SetFormulas");
        EXPECT_EQ(writes == 1, refusedRows.empty());
        EXPECT_LE(writes, 1 + 8 * refusedRows.size());
    }
}

TEST_F(CopyPrimitives, RowsAreAddedAndDeletedForThePreparation) {
    AddRows(source, visSectionScratch, {{"1"}, {"2"}, {"3"}});
    request.rows[visSectionScratch] = {1, 0, 1, 0};
    destination->AddSection(visSectionScratch);
    engine::AddNewRows(run, source, destination, visSectionScratch);
    EXPECT_EQ(destination->RowCount(visSectionScratch), 2);
    engine::DeleteRows(run, destination, visSectionScratch);
    EXPECT_EQ(destination->RowCount(visSectionScratch), 0);

    AddNamedRow(source, visSectionProp, "Cost", {"1"});
    AddNamedRow(source, visSectionProp, "Size", {"2"});
    AddNamedRow(destination, visSectionProp, "Size", {"3"});
    engine::AddNewNamedRows(run, source, destination, visSectionProp, true);
    EXPECT_EQ(destination->RowCount(visSectionProp), 2);
    EXPECT_EQ(destination->CellsSRC(visSectionProp, 1, 0)->RowName(), "Cost");
}

}  // namespace
}  // namespace tess::test
