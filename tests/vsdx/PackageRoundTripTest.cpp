// Reading real drawings into the embedded model and writing them back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <set>
#include <sstream>

#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "support/ModelDump.h"
#include "support/Samples.h"
#include "support/TempFolder.h"
#include "support/XmlDiff.h"

namespace tess::test {
namespace {

std::string PartOf(const std::string& package, const std::string& name) {
    for (ZipEntry& entry : ReadZip(package)) {
        if (entry.name == name) return std::move(entry.content);
    }
    return {};
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

/// The lines of a model dump that are not in the other, in order.
std::vector<std::string> LinesOnlyIn(const std::string& dump, const std::string& other) {
    const auto otherLines = Lines(other);
    const std::multiset<std::string> present(otherLines.begin(), otherLines.end());
    std::vector<std::string> only;
    for (const std::string& line : Lines(dump)) {
        if (!present.count(line)) only.push_back(line);
    }
    return only;
}

/// A drawing opened from a file through the host objects, as the copy engine sees it.
struct OpenedDrawing {
    explicit OpenedDrawing(const std::string& path)
        : data(vsdx::OpenDocument(app->TheModel(), path)),
          document(embedded::WrapDocument(app->ModelPtr(), data)) {}

    void SaveAs(const std::string& path) { vsdx::SaveDocument(app->TheModel(), *data, path); }
    std::string Dump() { return DumpModel(app->TheModel()); }

    std::shared_ptr<embedded::EmbeddedApplication> app =
        std::make_shared<embedded::EmbeddedApplication>();
    std::shared_ptr<embedded::DocumentData> data;
    visio::DocumentPtr document;
};

TEST(PackageRoundTrip, EverySampleOpensAndSavesUnchangedPartForPart) {
    TempFolder folder;
    for (const std::string& sample : SampleFiles()) {
        SCOPED_TRACE(sample);
        embedded::Model model;
        const auto document = vsdx::OpenDocument(model, sample);
        ASSERT_FALSE(document->pages.empty() && document->masters.empty());
        const std::string saved = folder.Path(std::filesystem::path(sample).filename().string());
        vsdx::SaveDocument(model, *document, saved);

        const auto original = ReadZip(sample);
        const auto written = ReadZip(saved);
        ASSERT_EQ(original.size(), written.size());
        for (size_t i = 0; i < original.size(); ++i) {
            EXPECT_EQ(original[i].name, written[i].name);
            EXPECT_TRUE(original[i].content == written[i].content) << original[i].name;
        }
    }
}

TEST(PackageRoundTrip, FromMemoryAndToMemoryAreWhatFilesGive) {
    TempFolder folder;
    for (const std::string& sample : SampleFiles()) {
        SCOPED_TRACE(sample);
        const std::string name = std::filesystem::path(sample).filename().string();
        auto fromFile = std::make_shared<embedded::EmbeddedApplication>();
        auto fromMemory = std::make_shared<embedded::EmbeddedApplication>();
        const auto fileDocument = vsdx::OpenDocument(fromFile->TheModel(), sample);
        const auto memoryDocument =
            vsdx::OpenDocumentFromMemory(fromMemory->TheModel(), name, FileBytes(sample));
        EXPECT_EQ(memoryDocument->name, name);
        EXPECT_EQ(memoryDocument->stencil, fileDocument->stencil);
        for (const auto& app : {fromFile, fromMemory}) {
            const auto data = app == fromFile ? fileDocument : memoryDocument;
            const visio::PagesPtr pages = embedded::WrapDocument(app->ModelPtr(), data)->Pages();
            for (int16_t i = 1; i <= pages->Count(); ++i) {
                const visio::ShapesPtr shapes = pages->Item(i)->Shapes();
                if (shapes->Count() > 0) shapes->Item(1)->Cells("Angle")->SetFormula("30 deg");
            }
        }
        ASSERT_EQ(DumpModel(fromMemory->TheModel()), DumpModel(fromFile->TheModel()));

        const std::string saved = folder.Path(name), savedFromMemory = folder.Path("m" + name);
        vsdx::SaveDocument(fromFile->TheModel(), *fileDocument, saved);
        WriteBytes(savedFromMemory,
                   vsdx::SaveDocumentToMemory(fromMemory->TheModel(), *memoryDocument, name));
        const auto written = ReadZip(saved), writtenFromMemory = ReadZip(savedFromMemory);
        ASSERT_EQ(written.size(), writtenFromMemory.size());
        for (size_t i = 0; i < written.size(); ++i) {
            EXPECT_EQ(written[i].name, writtenFromMemory[i].name);
            EXPECT_TRUE(written[i].content == writtenFromMemory[i].content) << written[i].name;
        }
    }
    embedded::Model model;
    try {
        vsdx::OpenDocumentFromMemory(model, "text.vsdx", "This is not a drawing.");
        ADD_FAILURE() << "not refused";
    } catch (const Error& error) {
        EXPECT_EQ(error.Description(),
                  "'text.vsdx' is not a Visio file (it is not a zip package).");
    }
    EXPECT_TRUE(model.Documents().empty());
}

TEST(PackageRoundTrip, EverySampleKeepsEditsToItsPagesAndMastersThroughSaving) {
    TempFolder folder;
    for (const std::string& sample : SampleFiles()) {
        SCOPED_TRACE(sample);
        const std::string saved = folder.Path(std::filesystem::path(sample).filename().string());
        std::filesystem::copy_file(sample, saved);
        OpenedDrawing drawing(saved);
        const auto edit = [](const visio::ShapesPtr& shapes) {
            if (shapes->Count() == 0) return;
            const visio::ShapePtr shape = shapes->Item(1);
            if (!shape->SectionExists(visio::visSectionUser, 0))
                shape->AddSection(visio::visSectionUser);
            const int16_t row = shape->AddNamedRow(visio::visSectionUser, "Edited", 0);
            shape->CellsSRC(visio::visSectionUser, row, 0)->SetFormula("Width*3");
            shape->Cells("Angle")->SetFormula("30 deg");
        };
        for (int16_t i = 1; i <= drawing.document->Pages()->Count(); ++i)
            edit(drawing.document->Pages()->Item(i)->Shapes());
        for (int16_t i = 1; i <= drawing.document->Masters()->Count(); ++i) {
            const visio::MasterPtr copy = drawing.document->Masters()->Item(i)->Open();
            edit(copy->Shapes());
            copy->Close();
        }
        const std::string before = drawing.Dump();
        drawing.SaveAs(saved);
        EXPECT_EQ(OpenedDrawing(saved).Dump(), before);
    }
}

TEST(PackageRoundTrip, OneChangedFormulaIsAllThatDiffersAfterReopening) {
    TempFolder folder;
    const std::string sample = SamplePath("test10_nested_shapes.vsdx");
    // Saved over the file it was read from, as a user saves.
    const std::string saved = folder.Path("test10_nested_shapes.vsdx");
    std::filesystem::copy_file(sample, saved);
    OpenedDrawing drawing(saved);
    const std::string before = drawing.Dump();
    const visio::ShapePtr shape = drawing.document->Pages()->Item(1)->Shapes()->Item(1);
    const int32_t shapeId = shape->ID();
    shape->Cells("Width")->SetFormula("25 mm");
    drawing.SaveAs(saved);

    OpenedDrawing reopened(saved);
    EXPECT_EQ(reopened.document->Pages()
                  ->Item(1)
                  ->Shapes()
                  ->ItemFromID(shapeId)
                  ->Cells("Width")
                  ->Formula(),
              "25 mm");
    const std::string after = reopened.Dump();
    const auto gone = LinesOnlyIn(before, after);
    const auto come = LinesOnlyIn(after, before);
    ASSERT_EQ(gone.size(), 1u) << after;
    ASSERT_EQ(come.size(), 1u);
    EXPECT_NE(come.front().find("=25 mm"), std::string::npos) << come.front();

    // In the package: the page part, in that one cell, and the request to Visio to recompute
    // the cells that depend on it.
    const auto parts = DifferentParts(sample, saved);
    ASSERT_EQ(parts, (std::vector<std::string>{"docProps/custom.xml", "visio/pages/page1.xml"}));
    const auto cells = XmlDifferences(PartOf(sample, "visio/pages/page1.xml"),
                                      PartOf(saved, "visio/pages/page1.xml"));
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_NE(cells.front().find("Shape[ID=" + std::to_string(shapeId) + "]/Cell[N=Width]"),
              std::string::npos)
        << cells.front();
    EXPECT_NE(cells.front().find("F='25 mm'"), std::string::npos) << cells.front();
    EXPECT_NE(cells.front().find("V='0.984251968503937"), std::string::npos) << cells.front();
    const auto properties =
        XmlDifferences(PartOf(sample, "docProps/custom.xml"), PartOf(saved, "docProps/custom.xml"));
    ASSERT_EQ(properties.size(), 1u);
    EXPECT_NE(properties.front().find("gained property"), std::string::npos) << properties.front();
    EXPECT_NE(properties.front().find("name='RecalcDocument'"), std::string::npos)
        << properties.front();
}

/// Gives every shape on the document's pages, at any depth, a text of its own, so that a reader
/// of the file can be asked how many shapes it found.
int MarkShapes(const visio::ShapesPtr& shapes, int next = 0) {
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const visio::ShapePtr shape = shapes->Item(i);
        shape->Characters()->SetText("mark" + std::to_string(++next) + "x");
        next = MarkShapes(shape->Shapes(), next);
    }
    return next;
}

// The other reader of Visio files, Debian's libvisio tools, is a program of the Linux machine.
#ifndef _WIN32
/// The distinct shape marks another reader finds in a file, with its exit status.
std::pair<int, std::set<std::string>> MarksReadBy(const std::string& reader,
                                                  const std::string& path,
                                                  const TempFolder& folder) {
    const std::string output = folder.Path("reader-output.txt");
    const int status = std::system((reader + " '" + path + "' > '" + output + "' 2>&1").c_str());
    std::ifstream in(output);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::set<std::string> marks;
    for (size_t at = text.find("mark"); at != std::string::npos; at = text.find("mark", at + 1)) {
        const size_t end = text.find('x', at);
        if (end != std::string::npos) marks.insert(text.substr(at, end - at));
    }
    return {status, marks};
}
#endif

TEST(PackageRoundTrip, AddedRowsSectionsShapesAndPagesAreThereAfterReopening) {
    TempFolder folder;
    const std::string saved = folder.Path("test10_nested_shapes.vsdx");
    std::filesystem::copy_file(SamplePath("test10_nested_shapes.vsdx"), saved);
    OpenedDrawing drawing(saved);
    const visio::PagePtr page = drawing.document->Pages()->Item(1);

    const visio::ShapePtr group = page->Shapes()->Item(1);
    const int16_t user = group->AddNamedRow(visio::visSectionUser, "Twice", 0);
    group->CellsSRC(visio::visSectionUser, user, 0)->SetFormula("Width*2");
    group->AddSection(visio::visSectionProp);
    const int16_t prop = group->AddNamedRow(visio::visSectionProp, "Cost", 0);
    group->CellsSRC(visio::visSectionProp, prop, 0)->SetFormula("12.5");
    group->Cells("Prop.Cost.Label")->SetFormula("\"Cost\"");

    const visio::ShapePtr shape = page->DrawRectangle(4, 4, 5, 6);
    const int16_t geometry = visio::visSectionFirstComponent + shape->GeometryCount();
    shape->AddSection(geometry);
    shape->AddRow(geometry, visio::visRowComponent, visio::visTagComponent);
    const std::pair<const char*, const char*> triangle[] = {{"Width*0.25", "Height*0.25"},
                                                            {"Width*0.75", "Height*0.25"},
                                                            {"Width*0.5", "Height*0.75"},
                                                            {"Geometry2.X1", "Geometry2.Y1"}};
    for (const auto& [x, y] : triangle) {
        const bool first = shape->RowCount(geometry) == 1;
        const int16_t row = shape->AddRow(geometry, visio::visRowLast,
                                          first ? visio::visTagMoveTo : visio::visTagLineTo);
        shape->CellsSRC(geometry, row, 0)->SetFormula(x);
        shape->CellsSRC(geometry, row, 1)->SetFormula(y);
    }

    const visio::PagePtr added = drawing.document->Pages()->Add();
    added->DrawRectangle(1, 1, 2, 2);
    const int marked = MarkShapes(page->Shapes());
    MarkShapes(added->Shapes(), marked);
    const std::string before = drawing.Dump();
    drawing.SaveAs(saved);

    OpenedDrawing reopened(saved);
    EXPECT_EQ(reopened.Dump(), before);

#ifndef _WIN32
    // Another reader of Visio files (Debian's libvisio tools, installed by the set-up script).
    const auto [status, marks] = MarksReadBy("vsd2raw", saved, folder);
    ASSERT_EQ(status, 0) << "vsd2raw failed or is missing (scripts/setup.sh installs it)";
    EXPECT_EQ(marks.size(), static_cast<size_t>(marked + 1));
#endif
}

TEST(PackageRoundTrip, PagesAreReadWhenFirstUsedAndUnusedOnesWrittenAsTheyWere) {
    TempFolder folder;
    const std::string sample = SamplePath("test6_shape_properties.vsdx");
    const std::string path = folder.Path("test6_shape_properties.vsdx");
    std::filesystem::copy_file(sample, path);
    OpenedDrawing drawing(path);
    ASSERT_EQ(drawing.data->pages.size(), 3u);
    for (const auto& page : drawing.data->pages)
        EXPECT_TRUE(page->pendingShapes) << page->name;

    // A formula naming a shape of another page reads that page: Visio accepts it.
    const visio::ShapePtr shape = drawing.document->Pages()->Item(1)->Shapes()->Item(1);
    EXPECT_FALSE(drawing.data->pages[0]->pendingShapes);
    shape->Cells("Width")->SetFormula("Pages[Page-2]!Sheet.3!Width/2");
    EXPECT_FALSE(drawing.data->pages[1]->pendingShapes);
    EXPECT_FALSE(drawing.data->pages[1]->shapes.empty());
    const double group =
        drawing.document->Pages()->Item(2)->Shapes()->ItemFromID(3)->Cells("Width")->ResultIU();
    EXPECT_DOUBLE_EQ(shape->Cells("Width")->ResultIU(), group / 2);
    EXPECT_TRUE(drawing.data->pages[2]->pendingShapes);  // never used

    drawing.SaveAs(path);
    EXPECT_EQ(DifferentParts(sample, path),
              (std::vector<std::string>{"docProps/custom.xml", "visio/pages/page1.xml"}));
    EXPECT_EQ(OpenedDrawing(path).Dump(), drawing.Dump());
}

TEST(PackageRoundTrip, SavingAgainWritesTheModelAsItIsNow) {
    TempFolder folder;
    const std::string path = folder.Path("test6_shape_properties.vsdx");
    std::filesystem::copy_file(SamplePath("test6_shape_properties.vsdx"), path);
    OpenedDrawing drawing(path);
    const visio::ShapePtr shape = drawing.document->Pages()->Item(1)->Shapes()->Item(1);
    const int scope = drawing.app->BeginUndoScope("first");
    shape->AddSection(visio::visSectionScratch);
    shape->AddRow(visio::visSectionScratch, visio::visRowLast, 0);
    shape->CellsSRC(visio::visSectionScratch, 0, 0)->SetFormula("Width/2");
    drawing.app->EndUndoScope(scope, true);
    drawing.SaveAs(path);

    // More rows, one taken away again, then saved a second and a third time.
    shape->AddRow(visio::visSectionScratch, 0, 0);
    shape->CellsSRC(visio::visSectionScratch, 0, 1)->SetFormula("Height");
    shape->AddRow(visio::visSectionScratch, visio::visRowLast, 0);
    shape->DeleteRow(visio::visSectionScratch, 1);
    drawing.SaveAs(path);
    drawing.SaveAs(path);
    EXPECT_EQ(OpenedDrawing(path).Dump(), drawing.Dump());

    // Undone after saving: the next save writes what the model shows.
    drawing.app->Undo();
    drawing.SaveAs(path);
    EXPECT_EQ(OpenedDrawing(path).Dump(), drawing.Dump());
    EXPECT_EQ(OpenedDrawing(path).document->Pages()->Item(1)->Shapes()->Item(1)->RowCount(
                  visio::visSectionScratch),
              shape->RowCount(visio::visSectionScratch));
}

TEST(PackageRoundTrip, NewDrawingIsWrittenAsAPackageOthersRead) {
    TempFolder folder;
    const std::string path = folder.Path("New drawing.vsdx");
    auto app = std::make_shared<embedded::EmbeddedApplication>();
    const visio::DocumentPtr document = app->Documents()->Add("");
    const visio::PagePtr page = document->Pages()->Item(1);
    const visio::ShapePtr outer = page->DrawRectangle(1, 1, 3, 3);
    outer->ConvertToGroup();
    const visio::ShapePtr group = page->Shapes()->Item(1);
    group->DrawRectangle(1.5, 1.5, 2, 2);
    group->AddNamedRow(visio::visSectionUser, "Scale", 0);
    group->Cells("User.Scale")->SetFormula("Width/1 in");
    document->Pages()->Add()->DrawRectangle(0, 0, 1, 1);
    [[maybe_unused]] const int marked =
        MarkShapes(document->Pages()->Item(2)->Shapes(), MarkShapes(page->Shapes()));
    const std::string before = DumpModel(app->TheModel());
    vsdx::SaveDocument(app->TheModel(), *embedded::DocumentOf(document), path);

    embedded::Model reopened;
    vsdx::OpenDocument(reopened, path);
    EXPECT_EQ(DumpModel(reopened).substr(DumpModel(reopened).find('\n')),
              before.substr(before.find('\n')));
#ifndef _WIN32
    const auto [status, marks] = MarksReadBy("vsd2raw", path, folder);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(marks.size(), static_cast<size_t>(marked));
#endif
}

}  // namespace
}  // namespace tess::test
