// Copies in real drawings that once wrote what Visio never writes or did other than was asked,
// each checked with everything the sweep checks of a copy.
#include <gtest/gtest.h>

#include "app/StringTable.h"
#include "platform/visio/Resolver.h"
#include "window/RowListing.h"
#include "engine/CopyError.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"
#include "sweep/DrawingSweep.h"

namespace tess::sweep {
namespace {

using visio::ShapePtr;

/// Text cells Visio writes with an empty value, from every drawing the sweep knows.
const std::set<std::string>& EmptyKinds() {
    static const std::set<std::string> kinds = EmptyValueKinds(SweepDrawings());
    return kinds;
}

/// The rows of a multi-row entry the source lists by these tokens (as --rows names them), in an
/// order given by tokens too (empty: the source's order).
CopyCase::Rows ChooseRows(cli::Workspace& files, const std::string& source, int16_t entry,
                          const std::vector<std::string>& tokens,
                          const std::vector<std::string>& order = {}) {
    const visio::ShapePtr sheet =
        visio::Resolver(files.AppPtr()).Resolve(visio::ObjectPath::Parse(source)).sheet;
    const std::vector<window::ListedRow> listed =
        window::ListEntryRows(sheet, *engine::FindCatalogueEntry(entry));
    CopyCase::Rows rows{entry, {}, {}, {}};
    for (const window::ListedRow& row : listed)
        rows.tokens.push_back(row.Token());
    const auto position = [&](const std::string& token) {
        return static_cast<size_t>(std::find(rows.tokens.begin(), rows.tokens.end(), token) -
                                   rows.tokens.begin());
    };
    for (const std::string& token : tokens)
        rows.chosen.push_back(position(token));
    for (const std::string& token : order) {
        const size_t at = position(token);
        rows.order.push_back(static_cast<size_t>(
            std::find(rows.chosen.begin(), rows.chosen.end(), at) - rows.chosen.begin()));
    }
    return rows;
}

class CopyDefects : public ::testing::Test {
protected:
    /// The sweep of a drawing, with another sample beside it.
    DrawingSweep& Open(const std::string& drawing) {
        sweep = std::make_unique<DrawingSweep>(drawing, test::SamplePath("Connectors.vssx"),
                                               EmptyKinds(), options, folder);
        return *sweep;
    }

    /// A copy between objects of the drawing, named by their addresses in it.
    static CopyCase Case(const std::string& drawing, const std::string& source,
                         const std::vector<std::string>& destinations,
                         std::vector<int16_t> entries) {
        CopyCase copy;
        copy.drawing = drawing;
        copy.source = drawing + ":" + source;
        for (const std::string& destination : destinations)
            copy.destinations.push_back(drawing + ":" + destination);
        copy.entries = std::move(entries);
        return copy;
    }

    SweepOptions options;
    test::TempFolder folder;
    std::unique_ptr<DrawingSweep> sweep;
};

std::string Text(const std::vector<Violation>& violations) {
    std::string text;
    for (const Violation& violation : violations)
        text += violation.kind + ": " + violation.what + "\n";
    return text;
}

TEST_F(CopyDefects, CopiesOnceWrongInSampleDrawingsKeepEveryPromise) {
    struct Defect {
        const char* what;
        const char* drawing;
        const char* source;
        std::vector<std::string> destinations;
        std::vector<int16_t> entries;
        bool append;
    };
    const Defect defects[] = {
        // A Geometry without formulas in NoSnap and NoQuickDrag onto a shape that inherits its
        // own: no "No Formula", no empty value, one Geometry section of index 0.
        {"No Formula and two Geometry sections", "BFlowcht.vsdx", "page:Overview/Sheet.1/Sheet.2",
         {"page:Overview/Sheet.1/Sheet.3"}, {8}, false},
        // Every section of a member of a master instance onto a shape of the page.
        {"every section of an instance member", "test_text_extraction.vsdx",
         "page:Page-1/Sheet.4/Sheet.5", {"page:Page-1/Sheet.1"},
         {1, 2, 3, 5, 6, 8, 10, 11, 13, 14, 16, 17, 19, 20, 21, 22, 25, 26, 27}, false},
        {"every section of a nested member", "test_master_multiple_child_shapes.vsdx",
         "page:Page-1/Sheet.1/Sheet.4/Sheet.5", {"page:Page-1/Sheet.1/Sheet.2"},
         {1, 2, 8, 10, 11, 13, 14, 16, 17, 19, 20, 21, 22, 25, 26, 27}, true},
    };
    for (const Defect& defect : defects) {
        SCOPED_TRACE(defect.what);
        DrawingSweep& drawing = Open(test::SamplePath(defect.drawing));
        CopyCase copy = Case(defect.drawing, defect.source, defect.destinations, defect.entries);
        copy.append = defect.append;
        EXPECT_EQ(Text(drawing.Check(copy)), "") << copy.Text();
    }
}

TEST_F(CopyDefects, ChosenGeometryRowsAreTheRowsShowListsEachWithItsFormulas) {
    DrawingSweep& drawing = Open(test::SamplePath("BFlowcht.vsdx"));
    CopyCase copy = Case("BFlowcht.vsdx", "page:Overview/Sheet.10", {"page:Overview/Sheet.15"}, {8});
    copy.rows = {ChooseRows(drawing.Files(), copy.source, 8, {"1.2", "1.3"})};
    EXPECT_EQ(Text(drawing.Check(copy)), "") << copy.Text();
    // The MoveTo and the first LineTo, after a component row of the destination's own.
    copy.append = true;
    ASSERT_EQ(Text(drawing.Check(copy)), "");
}

TEST_F(CopyDefects, AnOrderTheInheritedRowsCannotTakeIsSaidPerDestination) {
    // A second instance of the router: its rows are its master's, in the master's order.
    const std::string path = folder.Path("routers.vsdx");
    {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const auto data = vsdx::OpenDocument(app->TheModel(), test::SamplePath("test_text_extraction.vsdx"));
        const visio::DocumentPtr document = embedded::WrapDocument(app->ModelPtr(), data);
        document->Pages()->Item(1)->Drop(document->Masters()->Item("Router"), 6, 6)->SetName("Second");
        vsdx::SaveDocument(app->TheModel(), *data, path);
    }
    DrawingSweep& drawing = Open(path);
    CopyCase copy = Case("routers.vsdx", "page:Page-1/Sheet.4", {"page:Page-1/Second"}, {});
    copy.rows = {ChooseRows(drawing.Files(), copy.source, 3, {"Location", "Building", "Room"},
                            {"Location", "Room", "Building"})};
    copy.entries = {3};
    EXPECT_EQ(Text(drawing.Check(copy)), "") << copy.Text();
    const engine::CopyReport& report = drawing.Report();
    ASSERT_EQ(report.destinations.size(), 1u);
    ASSERT_EQ(report.destinations[0].shortfalls.size(), 1u);
    EXPECT_EQ(report.destinations[0].shortfalls[0].text,
              app::FormatResString(engine::kOrderKeptText, "Custom Properties"));
    EXPECT_EQ(report.outcome, engine::CopyOutcome::CompleteWithRefusals);
    const std::vector<engine::RunMessage>& messages = report.messages;
    ASSERT_GE(messages.size(), 2u);
    EXPECT_NE(messages[messages.size() - 2].text.find("Second: " +
                                                      report.destinations[0].shortfalls[0].text),
              std::string::npos);
}

}  // namespace
}  // namespace tess::sweep
