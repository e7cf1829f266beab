#include <gtest/gtest.h>

#include "host/EmbeddedFixture.h"
#include "host/embedded/HostErrors.h"

namespace tess::embedded {
namespace {

using namespace visio;
using test::EmbeddedDrawing;

TEST_F(EmbeddedDrawing, NewDrawingsPagesAndTheActiveOnes) {
    EXPECT_EQ(document->Name(), "Drawing1");
    EXPECT_EQ(app->Documents()->Add("")->Name(), "Drawing2");
    EXPECT_EQ(app->Documents()->Count(), 2);
    EXPECT_EQ(app->ActiveDocument()->Name(), "Drawing2");
    EXPECT_EQ(app->Documents()->Item("drawing1")->Name(), "Drawing1");
    EXPECT_EQ(app->Version(), "16.0");

    EXPECT_EQ(page->Name(), "Page-1");
    const PagePtr second = document->Pages()->Add();
    EXPECT_EQ(second->Name(), "Page-2");
    EXPECT_EQ(document->Pages()->Count(), 2);
    EXPECT_EQ(document->Pages()->Item("Page-2")->ID(), second->ID());
    EXPECT_EQ(second->PageSheet()->Cells("PageWidth")->ResultIU(),
              page->PageSheet()->Cells("PageWidth")->ResultIU());

    EXPECT_EQ(ErrorOf([&] { document->Pages()->Item("Page-9"); }), hosterr::kNoSuchObject);
    EXPECT_EQ(ErrorOf([&] { app->Documents()->Item(5); }), hosterr::kNoSuchObject);
    EXPECT_EQ(ErrorOf([&] { app->Documents()->Add("Basic.vstx"); }), hosterr::kBadArgument);
}

TEST_F(EmbeddedDrawing, ARectangleHasTheSheetVisioDrawsForOne) {
    const ShapePtr shape = Rectangle(1, 1, 3, 2);
    EXPECT_EQ(shape->Type(), visTypeShape);
    EXPECT_EQ(shape->ForeignType(), visTypeShape);
    EXPECT_EQ(shape->NameID(), "Sheet." + std::to_string(shape->ID()));
    EXPECT_EQ(shape->Name(), shape->NameID());
    EXPECT_DOUBLE_EQ(shape->Cells("PinX")->ResultIU(), 2);
    EXPECT_DOUBLE_EQ(shape->Cells("Width")->ResultIU(), 2);
    EXPECT_DOUBLE_EQ(shape->Cells("LocPinX")->ResultIU(), 1);
    EXPECT_EQ(shape->Cells("LocPinX")->Formula(), "Width*0.5");
    EXPECT_EQ(shape->GeometryCount(), 1);
    EXPECT_EQ(shape->RowCount(10), 6);
    EXPECT_EQ(shape->RowType(10, 0), visTagComponent);
    EXPECT_EQ(shape->RowType(10, 1), visTagMoveTo);
    EXPECT_EQ(shape->RowType(10, 5), visTagLineTo);
    EXPECT_EQ(shape->RowsCellCount(10, 0), 6);
    EXPECT_EQ(shape->RowsCellCount(10, 1), 2);
    EXPECT_DOUBLE_EQ(shape->CellsSRC(10, 3, 0)->ResultIU(), 2);
    EXPECT_DOUBLE_EQ(shape->CellsSRC(10, 5, 1)->ResultIU(), 0);
    EXPECT_EQ(shape->CellsSRC(10, 2, 0)->Name(), "Geometry1.X2");
    EXPECT_TRUE(shape->RowExists(visSectionObject, visRowLine, 0));
    EXPECT_FALSE(shape->RowExists(visSectionObject, visRowXForm1D, 0));
    EXPECT_FALSE(shape->RowExists(visSectionObject, visRowPage, 0));
    EXPECT_FALSE(shape->OneD());
    shape->SetOneD(true);
    EXPECT_TRUE(shape->OneD());
    EXPECT_TRUE(shape->RowExists(visSectionObject, visRowXForm1D, 0));
    EXPECT_DOUBLE_EQ(shape->Cells("EndX")->ResultIU(), 3);
    EXPECT_TRUE(shape->RowExists(visSectionCharacter, 0, 0));
    EXPECT_FALSE(shape->RowExists(visSectionCharacter, 0, 1));

    EXPECT_EQ(page->PageSheet()->NameID(), "ThePage");
    EXPECT_EQ(page->PageSheet()->Type(), visTypePage);
    EXPECT_EQ(document->DocumentSheet()->NameID(), "TheDoc");
    EXPECT_EQ(document->DocumentSheet()->Type(), visTypeDoc);
    EXPECT_TRUE(page->PageSheet()->RowExists(visSectionObject, visRowPage, 0));
    EXPECT_TRUE(document->DocumentSheet()->RowExists(visSectionObject, visRowDoc, 0));
}

TEST_F(EmbeddedDrawing, RowsNamedSectionsAppendWithAutomaticNamesIndexedOnesInsert) {
    const ShapePtr shape = Rectangle();
    EXPECT_FALSE(shape->SectionExists(visSectionUser, 0));
    EXPECT_EQ(shape->AddRow(visSectionUser, 0, 0), 0);
    EXPECT_EQ(shape->AddRow(visSectionUser, 0, 0), 1);  // position 0 asked; appended
    EXPECT_EQ(shape->CellsSRC(visSectionUser, 0, 0)->RowName(), "Row_1");
    EXPECT_EQ(shape->CellsSRC(visSectionUser, 1, 0)->RowName(), "Row_2");
    shape->CellsSRC(visSectionUser, 0, 0)->SetRowName("Flag");
    EXPECT_EQ(shape->Cells("User.Flag.Prompt")->Row(), 0);
    EXPECT_EQ(ErrorOf([&] { shape->CellsSRC(visSectionUser, 1, 0)->SetRowName("flag"); }),
              hosterr::kBadArgument);
    EXPECT_EQ(shape->AddNamedRow(visSectionProp, "Cost", 0), 0);
    EXPECT_EQ(shape->Cells("Prop.Cost.Label")->Column(), 2);
    EXPECT_EQ(shape->RowsCellCount(visSectionProp, 0), 16);

    shape->AddRow(visSectionScratch, visRowLast, 0);
    Write(shape, {{"Scratch.X1", "1"}});
    EXPECT_EQ(shape->AddRow(visSectionScratch, 0, 0), 0);  // inserted before the first
    EXPECT_EQ(shape->Cells("Scratch.X2")->Formula(), "1");
    shape->DeleteRow(visSectionScratch, 0);
    EXPECT_EQ(shape->Cells("Scratch.X1")->Formula(), "1");

    // Connection points stay unnamed when given no name; one name names them all.
    shape->AddRow(visSectionConnectionPts, visRowLast, 0);
    shape->AddRow(visSectionConnectionPts, visRowLast, 0);
    shape->CellsSRC(visSectionConnectionPts, 0, 0)->SetRowName("");
    EXPECT_EQ(shape->CellsSRC(visSectionConnectionPts, 1, 0)->RowName(), "");
    shape->CellsSRC(visSectionConnectionPts, 1, 0)->SetRowName("Top");
    EXPECT_EQ(shape->CellsSRC(visSectionConnectionPts, 0, 0)->RowName(), "Row_1");
    EXPECT_EQ(ErrorOf([&] { shape->CellsSRC(visSectionConnectionPts, 0, 0)->SetRowName(""); }),
              hosterr::kBadArgument);

    EXPECT_EQ(ErrorOf([&] { shape->AddRow(visSectionCharacter, 0, 0); }), hosterr::kNotAllowed);
    EXPECT_EQ(ErrorOf([&] { shape->AddRow(visSectionScratch, 0, visTagLineTo); }),
              hosterr::kBadArgument);
    EXPECT_EQ(ErrorOf([&] { shape->AddSection(visSectionUser); }), hosterr::kNotAllowed);

    // A new Geometry section is empty; rows come with their types.
    EXPECT_EQ(shape->AddSection(11), 11);
    EXPECT_EQ(shape->GeometryCount(), 2);
    EXPECT_EQ(shape->RowCount(11), 0);
    EXPECT_EQ(shape->AddRow(11, 0, visTagComponent), 0);
    EXPECT_EQ(shape->AddRow(11, visRowLast, visTagEllipse), 1);
    EXPECT_EQ(shape->RowsCellCount(11, 1), 6);
    shape->DeleteSection(10);
    EXPECT_EQ(shape->GeometryCount(), 1);
    EXPECT_EQ(shape->RowType(10, 1), visTagEllipse);
    EXPECT_EQ(ErrorOf([&] { shape->AddSection(12); }), hosterr::kBadArgument);
}

TEST_F(EmbeddedDrawing, SetFormulasAcceptsEveryReferenceFormWhoseTargetExists) {
    const ShapePtr other = Rectangle(5, 5, 6, 6);
    const ShapePtr shape = Rectangle();
    other->SetName("Other Box");
    other->AddNamedRow(visSectionUser, "Size", 0);
    for (const char* name : {"Flag", "Size"})
        shape->AddNamedRow(visSectionUser, name, 0);
    shape->AddNamedRow(visSectionProp, "Cost", 0);
    shape->AddNamedRow(visSectionAction, "Go", 0);
    shape->AddNamedRow(visSectionControls, "Handle", visTagCtlPt);
    shape->AddNamedRow(visSectionHyperlink, "Home", 0);
    shape->AddNamedRow(visSectionSmartTag, "Tag", 0);
    shape->AddRow(visSectionScratch, visRowLast, 0);
    shape->AddRow(visSectionConnectionPts, visRowLast, 0);
    shape->AddRow(visSectionConnectionPts, visRowLast, 0);
    shape->AddRow(visSectionConnectionPts, visRowLast, 0);
    const std::string otherRef = other->NameID() + "!";
    const std::vector<std::string> formulas = {"Width*0.5",
                                               "LockTextEdit",
                                               "Scratch.X1",
                                               "Connections.Y3",
                                               "Geometry1.X4",
                                               "Char.Size",
                                               "Para.IndFirst",
                                               "User.Flag",
                                               "User.Flag.Prompt",
                                               "Prop.Cost",
                                               "Prop.Cost.Label",
                                               "Actions.Go.Action",
                                               "Controls.Handle",
                                               "Controls.Handle.Y",
                                               "Hyperlink.Home.Address",
                                               "SmartTags.Tag.X",
                                               otherRef + "Width",
                                               "'Other Box'!Height",
                                               otherRef + "User.Size",
                                               "ThePage!PageWidth",
                                               "TheDoc!OutputFormat",
                                               "Pages[Page-1]!PageHeight",
                                               "Pages[Page-1]!" + otherRef + "PinX",
                                               "IF(" + otherRef + "Width>=1,1 in,2 mm)"};
    for (const std::string& formula : formulas) {
        EXPECT_EQ(ErrorOf([&] { Write(shape, {{"Scratch.A1", formula}}); }), 0) << formula;
        EXPECT_EQ(shape->Cells("Scratch.A1")->Formula(), formula);
    }
    EXPECT_DOUBLE_EQ(shape->Cells("Scratch.A1")->ResultIU(), 1);
}

TEST_F(EmbeddedDrawing, SetFormulasRefusesMissingTargetsAndStopsThereKeepingEarlierWrites) {
    const ShapePtr shape = Rectangle();
    shape->AddNamedRow(visSectionUser, "Flag", 0);
    shape->AddRow(visSectionScratch, visRowLast, 0);
    for (const char* formula :
         {"Scratch.X2", "Connections.Y1", "Geometry2.X1", "Char.Size[2]", "User.Other", "Prop.Cost",
          "Actions.Go.Action", "Controls.Handle", "Hyperlink.Home.Address", "SmartTags.Tag.X",
          "Sheet.99!Width", "'Nobody'!Width", "ThePage!PinX", "TheDoc!PageWidth",
          "Pages[Page-7]!PageWidth", "Widht", "NOSUCH(1)"}) {
        EXPECT_EQ(ErrorOf([&] {
                      Write(shape, {{"Scratch.A1", formula}});
                  }),
                  hosterr::kBadFormula)
            << formula;
    }
    EXPECT_EQ(ErrorOf([&] { Write(shape, {{"Scratch.A1", "1+"}}); }), hosterr::kFormulaSyntax);

    const std::vector<int16_t> stream = {6, 0, 0, 6, 0, 1, 6, 0, 2, 6, 0, 3};
    const std::vector<std::string> formulas = {"1", "2", "Sheet.99!Width", "4"};
    try {
        shape->SetFormulas(stream, formulas, visSetBlastGuards);
        FAIL() << "the write was not refused";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), hosterr::kBadFormula);
        EXPECT_NE(error.Description().find("Sheet.99!Width"), std::string::npos)
            << error.Description();
    }
    EXPECT_EQ(shape->GetFormulas(stream), (std::vector<std::string>{"1", "2", "", ""}));
    EXPECT_EQ(ErrorOf([&] {
                  shape->GetFormulas(std::vector<int16_t>{6, 5, 0});
              }),
              hosterr::kNoSuchCell);
    EXPECT_EQ(ErrorOf([&] {
                  Write(shape, {{"Scratch.X1", "1"}});
                  shape->CellsSRC(6, 3, 0);
              }),
              hosterr::kNoSuchCell);
}

TEST_F(EmbeddedDrawing, ResultsFollowTheCellsTheyDependOn) {
    const ShapePtr shape = Rectangle(0, 0, 2, 1);
    shape->AddRow(visSectionScratch, visRowLast, 0);
    Write(shape, {{"Scratch.X1", "Width*2+Height"}, {"Scratch.Y1", "Scratch.X1*10"}});
    EXPECT_DOUBLE_EQ(shape->Cells("Scratch.Y1")->ResultIU(), 50);
    Write(shape, {{"Width", "3 in"}});
    EXPECT_DOUBLE_EQ(shape->Cells("Scratch.Y1")->ResultIU(), 70);
    EXPECT_DOUBLE_EQ(shape->Cells("LocPinX")->ResultIU(), 1.5);

    // A cycle gives the last known value instead of looping.
    Write(shape, {{"Scratch.A1", "Scratch.B1+1"}, {"Scratch.B1", "Scratch.A1+1"}});
    const double value = shape->Cells("Scratch.A1")->ResultIU();
    EXPECT_TRUE(value >= 0 && value < 10);

    shape->Cells("LockTextEdit")->SetResultIU(1);
    EXPECT_EQ(shape->Cells("LockTextEdit")->Formula(), "1");
    Write(shape, {{"LockTextEdit", "GUARD(1)"}});
    EXPECT_DOUBLE_EQ(shape->Cells("LockTextEdit")->ResultIU(), 1);
}

TEST_F(EmbeddedDrawing, InstancesInheritTheirMastersCellsRowsAndSections) {
    auto& model = Model();
    const auto documentData = DocumentOf(document);
    const auto masterData = model.Shapes().AddMaster(documentData, "Box");
    const auto master = document->Masters()->Item("Box");
    const ShapePtr masterShape =
        WrapShape(app->ModelPtr(), model.Shapes().DrawRectangle(masterData, 0, 0, 1, 1));
    masterShape->AddNamedRow(visSectionUser, "Flag", 0);
    masterShape->AddNamedRow(visSectionUser, "Size", 0);
    Write(masterShape, {{"User.Flag", "1"}, {"User.Size", "Width*2"}, {"LineWeight", "2 pt"}});

    const ShapePtr instance = page->Drop(master, 4, 4);
    EXPECT_EQ(instance->Name(), "Box");
    EXPECT_EQ(page->Drop(master, 6, 6)->Name(), "Box." + std::to_string(instance->ID() + 1));
    EXPECT_DOUBLE_EQ(instance->Cells("PinX")->ResultIU(), 4);
    EXPECT_DOUBLE_EQ(instance->Cells("Width")->ResultIU(), 1);
    EXPECT_TRUE(instance->SectionExists(visSectionUser, 0));
    EXPECT_FALSE(instance->SectionExists(visSectionUser, 1));
    EXPECT_TRUE(instance->RowExists(visSectionUser, 1, 0));
    EXPECT_FALSE(instance->RowExists(visSectionUser, 1, 1));
    EXPECT_EQ(instance->RowCount(visSectionUser), 2);
    EXPECT_EQ(instance->GetFormulas(std::vector<int16_t>{242, 1, 0, 1, 2, 0}),
              (std::vector<std::string>{"Width*2", "2 pt"}));

    // Writing makes a local override that leaves the master alone.
    Write(instance, {{"Width", "3"}, {"User.Flag", "7"}});
    EXPECT_DOUBLE_EQ(instance->Cells("User.Size")->ResultIU(), 6);
    EXPECT_TRUE(instance->RowExists(visSectionUser, 0, 1));
    EXPECT_EQ(masterShape->Cells("User.Flag")->Formula(), "1");
    // Writing the empty formula gives the inherited one back.
    Write(instance, {{"User.Flag", ""}});
    EXPECT_EQ(instance->Cells("User.Flag")->Formula(), "1");

    // Deleting an inherited row hides it on the instance only.
    instance->DeleteRow(visSectionUser, 0);
    EXPECT_EQ(instance->RowCount(visSectionUser), 1);
    EXPECT_EQ(instance->CellsSRC(visSectionUser, 0, 0)->RowName(), "Size");
    EXPECT_EQ(masterShape->RowCount(visSectionUser), 2);
    EXPECT_EQ(ErrorOf([&] { instance->Cells("User.Flag"); }), hosterr::kNoSuchCell);

    // An edit copy reaches the instances when it closes.
    const MasterPtr copy = master->Open();
    const ShapePtr edited = copy->Shapes()->Item(masterShape->NameID());
    edited->AddNamedRow(visSectionUser, "Added", 0);
    Write(edited, {{"User.Size", "Width*3"}});
    EXPECT_EQ(instance->RowCount(visSectionUser), 1);
    copy->Close();
    EXPECT_EQ(instance->RowCount(visSectionUser), 2);
    EXPECT_DOUBLE_EQ(instance->Cells("User.Size")->ResultIU(), 9);
    EXPECT_EQ(instance->Cells("User.Added")->Row(), 1);
    EXPECT_EQ(master->Shapes()->Item(1)->Cells("User.Size")->Formula(), "Width*3");
}

TEST_F(EmbeddedDrawing, GroupsDeletionLocksAndDeletedObjects) {
    const ShapePtr shape = Rectangle(1, 1, 3, 2);
    shape->ConvertToGroup();
    const auto group = std::dynamic_pointer_cast<IShape>(shape->Parent());
    ASSERT_TRUE(group);
    EXPECT_EQ(group->Type(), visTypeGroup);
    EXPECT_EQ(group->Shapes()->Count(), 1);
    EXPECT_DOUBLE_EQ(group->Cells("PinX")->ResultIU(), 2);
    EXPECT_DOUBLE_EQ(shape->Cells("PinX")->ResultIU(), 1);
    EXPECT_EQ(page->Shapes()->Count(), 1);
    const ShapePtr member = group->DrawRectangle(10, 10, 10, 10);
    EXPECT_EQ(group->Shapes()->Count(), 2);
    EXPECT_DOUBLE_EQ(member->Cells("Width")->ResultIU(), 0);
    EXPECT_EQ(std::dynamic_pointer_cast<IPage>(group->Parent())->Name(), "Page-1");
    EXPECT_EQ(NameIDOf(shape->Parent()), group->NameID());
    EXPECT_EQ(ErrorOf([&] { NameIDOf(group->Parent()); }), err::kUnknownName);

    Write(member, {{"LockDelete", "1"}});
    EXPECT_EQ(ErrorOf([&] { member->Delete(); }), hosterr::kLocked);
    Write(member, {{"LockDelete", "0"}});
    member->Delete();
    EXPECT_EQ(group->Shapes()->Count(), 1);
    EXPECT_EQ(ErrorOf([&] { member->Cells("Width"); }), hosterr::kObjectDeleted);

    const ShapePtr copy = shape->Duplicate();
    EXPECT_EQ(group->Shapes()->Count(), 2);
    EXPECT_NE(copy->ID(), shape->ID());
}

TEST_F(EmbeddedDrawing, DropsAndPastesRenumberReferencesBetweenTheCopiedShapes) {
    const ShapePtr shape = Rectangle();
    shape->ConvertToGroup();
    const auto group = std::dynamic_pointer_cast<IShape>(shape->Parent());
    const ShapePtr second = group->DrawRectangle(0, 0, 1, 1);
    Write(second, {{"Width", shape->NameID() + "!Width*2"}});
    const ShapePtr dropped = page->Drop(group, 8, 8);
    ASSERT_EQ(dropped->Shapes()->Count(), 2);
    const ShapePtr copiedFirst = dropped->Shapes()->Item(1);
    EXPECT_EQ(dropped->Shapes()->Item(2)->Cells("Width")->Formula(),
              copiedFirst->NameID() + "!Width*2");
    EXPECT_DOUBLE_EQ(dropped->Cells("PinX")->ResultIU(), 8);

    const WindowPtr window = group->OpenDrawWindow();
    second->Copy();
    window->Paste();
    EXPECT_EQ(group->Shapes()->Count(), 3);
    EXPECT_EQ(window->Selection()->Count(), 1);
    EXPECT_EQ(window->Selection()->Item(1)->ID(), group->Shapes()->Item(3)->ID());
    window->Close();
}

TEST_F(EmbeddedDrawing, WindowsSelectShapesOfTheirPage) {
    const ShapePtr first = Rectangle();
    const ShapePtr second = Rectangle(4, 4, 5, 5);
    const WindowPtr window = app->ActiveWindow();
    EXPECT_EQ(window->Document()->Name(), "Drawing1");
    window->Select(first, visDeselectAll + visSelect);
    window->Select(second, visSubSelect);
    EXPECT_EQ(window->Selection()->Count(), 2);
    window->Select(second, visDeselectAll + visSelect);
    EXPECT_EQ(window->Selection()->Count(), 1);
    EXPECT_EQ(window->Selection()->Item(1)->ID(), second->ID());
    window->DeselectAll();
    EXPECT_EQ(window->Selection()->Count(), 0);
    const ShapePtr elsewhere = document->Pages()->Add()->DrawRectangle(0, 0, 1, 1);
    EXPECT_EQ(ErrorOf([&] { window->Select(elsewhere, visSelect); }), hosterr::kNotAllowed);
}

TEST_F(EmbeddedDrawing, CountsEveryHostCallAndFailsTheOneAskedFor) {
    const ShapePtr shape = Rectangle();
    Model().Calls().ResetCallCounts();
    const std::vector<int16_t> stream = {1, 1, 2};
    shape->GetFormulas(stream);
    shape->GetFormulas(stream);
    EXPECT_EQ(Model().Calls().CallCount("Shape.GetFormulas"), 2u);
    EXPECT_EQ(Model().Calls().TotalCalls(), 2u);

    Model().Calls().InjectFailure(2);
    EXPECT_EQ(ErrorOf([&] { shape->GetFormulas(stream); }), 0);
    EXPECT_EQ(ErrorOf([&] { shape->RowCount(10); }), hosterr::kInjected);
    EXPECT_EQ(ErrorOf([&] { shape->RowCount(10); }), 0);
    Model().Calls().InjectFailure(1, -2147467259, "Unspecified error");
    try {
        shape->Name();
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), -2147467259);
        EXPECT_EQ(error.Description(), "Unspecified error");
    }
}

}  // namespace
}  // namespace tess::embedded
