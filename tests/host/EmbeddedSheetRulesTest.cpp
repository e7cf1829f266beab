// Rules a sheet keeps whatever is asked of it: one row of a name in a section, in the model and
// in the file; and page and document sheets with only the sections and rows Visio gives them.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/EmbeddedFixture.h"
#include "host/embedded/HostErrors.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace tess::embedded {
namespace {

using namespace visio;
using test::EmbeddedDrawing;

std::vector<std::string> RowNames(const ShapePtr& shape, int16_t section) {
    std::vector<std::string> names;
    for (int16_t row = 0; row < shape->RowCount(section); ++row)
        names.push_back(shape->CellsSRC(section, row, 0)->RowName());
    return names;
}

/// How often the page parts of a package hold a Row element with these attributes.
size_t RowElements(const std::string& package, const std::string& attributes) {
    const std::string start = "<Row " + attributes;
    size_t count = 0;
    for (const test::ZipEntry& entry : test::ReadZip(package)) {
        if (entry.name.rfind("visio/pages/page", 0) != 0) continue;
        for (size_t at = entry.content.find(start); at != std::string::npos;
             at = entry.content.find(start, at + 1)) {
            const char next = entry.content[at + start.size()];
            if (next == ' ' || next == '/' || next == '>') ++count;
        }
    }
    return count;
}

/// An instance of a master whose shape has the User rows Flag and Size.
class NamedRows : public EmbeddedDrawing {
protected:
    void SetUp() override {
        EmbeddedDrawing::SetUp();
        const auto masterData = Model().Shapes().AddMaster(DocumentOf(document), "Box");
        masterShape = WrapShape(app->ModelPtr(), Model().Shapes().DrawRectangle(masterData, 0, 0, 1, 1));
        masterShape->AddNamedRow(visSectionUser, "Flag", 0);
        masterShape->AddNamedRow(visSectionUser, "Size", 0);
        Write(masterShape,
              {{"User.Flag", "1"}, {"User.Flag.Prompt", "\"flag\""}, {"User.Size", "Width*2"}});
        instance = page->Drop(document->Masters()->Item("Box"), 4, 4);
    }

    ShapePtr masterShape;
    ShapePtr instance;
};

TEST_F(NamedRows, ARowDeletedAndAddedAgainIsOneRowOfItsOwnOverridingTheInheritedOne) {
    instance->DeleteRow(visSectionUser, 0);
    const int16_t added = instance->AddNamedRow(visSectionUser, "Flag", 0);
    // It stands where the master's row stands, as a file keeps it.
    EXPECT_EQ(RowNames(instance, visSectionUser), (std::vector<std::string>{"Flag", "Size"}));
    EXPECT_TRUE(instance->RowExists(visSectionUser, added, visExistsLocally));
    // The row overrides the master's: what it does not set, it inherits.
    EXPECT_EQ(instance->Cells("User.Flag.Prompt")->Formula(), "\"flag\"");
    Write(instance, {{"User.Flag", "7"}});
    EXPECT_DOUBLE_EQ(instance->Cells("User.Flag")->ResultIU(), 7);
    EXPECT_EQ(masterShape->Cells("User.Flag")->Formula(), "1");

    // The way a copy prepares a section: every row deleted, then rows added and named.
    instance->DeleteRow(visSectionUser, 0);
    instance->DeleteRow(visSectionUser, 0);
    const int16_t row = instance->AddRow(visSectionUser, 0, 0);
    // An automatic name is none of the deleted rows' names.
    EXPECT_EQ(instance->CellsSRC(visSectionUser, row, 0)->RowName(), "Row_1");
    instance->CellsSRC(visSectionUser, row, 0)->SetRowName("Size");
    instance->CellsSRC(visSectionUser, instance->AddRow(visSectionUser, 0, 0), 0)
        ->SetRowName("Flag");
    EXPECT_EQ(RowNames(instance, visSectionUser), (std::vector<std::string>{"Flag", "Size"}));
    EXPECT_EQ(instance->Cells("User.Size")->Formula(), "Width*2");
}

TEST_F(NamedRows, AutomaticNamesSkipTheNamesOfDeletedInheritedRows) {
    masterShape->AddRow(visSectionUser, visRowLast, 0);  // Row_3
    instance = page->Drop(document->Masters()->Item("Box"), 6, 6);
    instance->DeleteRow(visSectionUser, 2);
    const int16_t row = instance->AddRow(visSectionUser, visRowLast, 0);
    EXPECT_EQ(instance->CellsSRC(visSectionUser, row, 0)->RowName(), "Row_4");
    EXPECT_EQ(instance->RowCount(visSectionUser), 3);
}

TEST_F(NamedRows, TheFileHoldsOneRowOfTheNameAndReadsBackAsOne) {
    instance->DeleteRow(visSectionUser, 0);
    instance->DeleteRow(visSectionUser, 0);
    instance->AddNamedRow(visSectionUser, "Flag", 0);
    Write(instance, {{"User.Flag", "7"}});
    test::TempFolder folder;
    const std::string saved = folder.Path("rows.vsdx");
    vsdx::SaveDocument(Model(), *DocumentOf(document), saved);
    EXPECT_EQ(RowElements(saved, "N='Flag'"), 1u);
    EXPECT_EQ(RowElements(saved, "N='Flag' Del='1'"), 0u);
    EXPECT_EQ(RowElements(saved, "N='Size' Del='1'"), 1u);

    const auto check = [](const std::string& path) {
        auto reopened = std::make_shared<EmbeddedApplication>();
        const auto data = vsdx::OpenDocument(reopened->TheModel(), path);
        const ShapePtr shape =
            WrapPage(reopened->ModelPtr(), data->pages.front())->Shapes()->Item("Box");
        EXPECT_EQ(RowNames(shape, visSectionUser), std::vector<std::string>{"Flag"});
        EXPECT_DOUBLE_EQ(shape->Cells("User.Flag")->ResultIU(), 7);
        EXPECT_EQ(shape->Cells("User.Flag.Prompt")->Formula(), "\"flag\"");
        return std::make_pair(reopened, data);
    };
    check(saved);

    // A file that says both (a deleted inherited row and a row of the same name) reads as one
    // row, and is written back as one.
    std::vector<test::ZipEntry> entries = test::ReadZip(saved);
    for (test::ZipEntry& entry : entries) {
        const size_t at = entry.content.find("<Row N='Flag'");
        if (entry.name.rfind("visio/pages/page", 0) == 0 && at != std::string::npos)
            entry.content.insert(at, "<Row N='Flag' Del='1'/>");
    }
    const std::string both = folder.Path("both.vsdx");
    test::WriteZip(both, entries);
    ASSERT_EQ(RowElements(both, "N='Flag' Del='1'"), 1u);
    const auto [reopened, data] = check(both);
    const std::string again = folder.Path("again.vsdx");
    WrapPage(reopened->ModelPtr(), data->pages.front())
        ->Shapes()
        ->Item("Box")
        ->Cells("User.Flag")
        ->SetFormula("8");
    vsdx::SaveDocument(reopened->TheModel(), *data, again);
    EXPECT_EQ(RowElements(again, "N='Flag'"), 1u);
    EXPECT_EQ(RowElements(again, "N='Flag' Del='1'"), 0u);
}

TEST_F(NamedRows, UndoingTheAddedRowBringsTheDeletionBack) {
    instance->DeleteRow(visSectionUser, 0);
    const int32_t scope = app->BeginUndoScope("add");
    instance->AddNamedRow(visSectionUser, "Flag", 0);
    app->EndUndoScope(scope, false);
    EXPECT_EQ(RowNames(instance, visSectionUser), std::vector<std::string>{"Size"});
    const int16_t again = instance->AddNamedRow(visSectionUser, "Flag", 0);
    EXPECT_EQ(instance->Cells("User.Flag")->Row(), again);
}

TEST_F(EmbeddedDrawing, PageAndDocumentSheetsRefuseSectionsAndRowsTheyDoNotHave) {
    const ShapePtr pageSheet = page->PageSheet();
    const ShapePtr documentSheet = document->DocumentSheet();
    for (const ShapePtr& sheet : {pageSheet, documentSheet}) {
        SCOPED_TRACE(sheet->NameID());
        for (int16_t section :
             {visSectionFirstComponent, visSectionConnectionPts, visSectionControls,
              visSectionTextField, visSectionFillGradientStops}) {
            EXPECT_EQ(ErrorOf([&] { sheet->AddSection(section); }), hosterr::kBadArgument)
                << section;
            EXPECT_EQ(ErrorOf([&] { sheet->AddRow(section, visRowLast, 0); }),
                      hosterr::kBadArgument)
                << section;
            EXPECT_FALSE(sheet->SectionExists(section, visExistsAnywhere));
        }
        // Fill Format, Line Format, Shape Transform: rows of shapes only. Writing their cells
        // is refused as writing any cell the sheet lacks.
        for (int16_t row : {visRowFill, visRowLine, visRowXFormOut, visRowGroup}) {
            EXPECT_EQ(ErrorOf([&] { sheet->AddRow(visSectionObject, row, 0); }),
                      hosterr::kBadArgument)
                << row;
            EXPECT_FALSE(sheet->RowExists(visSectionObject, row, visExistsAnywhere));
        }
        EXPECT_EQ(ErrorOf([&] {
                      sheet->SetFormulas(std::vector<int16_t>{visSectionObject, visRowFill, 0},
                                         std::vector<std::string>{"2"}, visSetBlastGuards);
                  }),
                  hosterr::kNoSuchCell);
        // What both have.
        EXPECT_EQ(sheet->AddSection(visSectionUser), visSectionUser);
        EXPECT_EQ(sheet->AddRow(visSectionScratch, visRowLast, 0), 0);
    }
    EXPECT_EQ(pageSheet->AddSection(visSectionLayer), visSectionLayer);
    EXPECT_EQ(pageSheet->AddRow(visSectionAction, visRowLast, 0), 0);
    EXPECT_EQ(ErrorOf([&] { pageSheet->AddSection(visSectionReviewer); }), hosterr::kBadArgument);
    EXPECT_EQ(documentSheet->AddSection(visSectionReviewer), visSectionReviewer);
    EXPECT_EQ(ErrorOf([&] { documentSheet->AddSection(visSectionLayer); }), hosterr::kBadArgument);
    EXPECT_EQ(ErrorOf([&] { documentSheet->AddRow(visSectionObject, visRowPage, 0); }),
              hosterr::kBadArgument);

    // Shapes keep every section and row of their own, and lack those of pages and documents.
    const ShapePtr shape = Rectangle();
    EXPECT_EQ(shape->AddSection(visSectionFirstComponent + 1), visSectionFirstComponent + 1);
    EXPECT_EQ(shape->AddRow(visSectionObject, visRowForeign, 0), visRowForeign);
    EXPECT_EQ(ErrorOf([&] { shape->AddRow(visSectionObject, visRowPage, 0); }),
              hosterr::kBadArgument);
    EXPECT_EQ(ErrorOf([&] { shape->AddRow(visSectionObject, visRowDoc, 0); }),
              hosterr::kBadArgument);
}

// Page sheets read from real drawings keep the sections their files give them, and refuse the
// others as new ones do.
TEST_F(EmbeddedDrawing, PageSheetsOfRealDrawingsKeepTheirOwnSectionsAndRefuseGeometry) {
    const auto data = vsdx::OpenDocument(Model(), test::SamplePath("BFlowcht.vsdx"));
    const ShapePtr pageSheet = WrapPage(app->ModelPtr(), data->pages.front())->PageSheet();
    ASSERT_TRUE(pageSheet->SectionExists(visSectionLayer, visExistsAnywhere));
    EXPECT_GT(pageSheet->AddRow(visSectionLayer, visRowLast, 0), 0);
    EXPECT_EQ(ErrorOf([&] { pageSheet->AddSection(visSectionFirstComponent); }),
              hosterr::kBadArgument);
}

}  // namespace
}  // namespace tess::embedded
