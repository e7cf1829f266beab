// tessaline-cli.exe run as a process with --visio against the stand-in Visio, which has the
// test's drawing open: what it prints, what it refuses, and what the copy leaves in Visio.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/CliRun.h"
#include "host/com/ComHost.h"
#include "support/DrawingEdits.h"
#include "tests/windows/StandInProcess.h"

namespace tess::test {
namespace {

using namespace visio;
using Json = nlohmann::json;

constexpr const char* kNoVisio = "Tessaline requires a Visio document to be open.";

class CliOverCom : public Cli {
protected:
    /// The test's drawing, with Source's Scratch.Y1 naming a row that only Source has: every
    /// other shape refuses it.
    std::string PrepareDrawing() {
        const std::string drawing = MakeDrawing("drawing.vsdx");
        NameRowOnlySourceHas(drawing, drawing);
        return drawing;
    }

    /// The Scratch formulas of a shape of the drawing as the stand-in holds them, row by row.
    static std::vector<std::string> ScratchOf(const ApplicationPtr& visio, const char* shape) {
        const ShapePtr sheet =
            visio->Documents()->Item("drawing.vsdx")->Pages()->Item(1)->Shapes()->Item(shape);
        std::vector<int16_t> cells;
        for (int16_t row = 0; row < sheet->RowCount(visSectionScratch); ++row)
            cells.insert(cells.end(), {visSectionScratch, row, 0, visSectionScratch, row, 1});
        return cells.empty() ? std::vector<std::string>() : sheet->GetFormulas(cells);
    }

    com::ComApartment apartment;
};

TEST_F(CliOverCom, WithoutVisioItSaysSoAndEndsWithStatus3) {
    const Result result = Run({"--visio", "list"});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find(kNoVisio), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
}

TEST_F(CliOverCom, ListShowAndSectionsPrintWhatTheyPrintForTheFile) {
    const std::string drawing = PrepareDrawing();
    StandInProcess visio({drawing});
    const std::vector<std::vector<std::string>> commands = {
        {"list"},
        {"list", "page:Page-1", "--json"},
        {"list", "--find", "target"},
        {"show", "page:Page-1/Source"},
        {"show", "drawing.vsdx:page:Page-1/Source", "--section", "Scratch", "--json"},
        {"sections", "page:Page-1/Sheet.1"},
        {"sections", "document", "--json"},
    };
    for (const std::vector<std::string>& command : commands) {
        std::vector<std::string> overVisio = {"--visio"}, onFile = {command.front(), drawing};
        overVisio.insert(overVisio.end(), command.begin(), command.end());
        onFile.insert(onFile.end(), command.begin() + 1, command.end());
        const Result fromVisio = Run(overVisio), fromFile = Run(onFile);
        EXPECT_EQ(fromVisio.status, 0) << command.front() << '\n' << fromVisio.err;
        EXPECT_EQ(fromVisio.out, fromFile.out) << command.front() << ' ' << command.back();
        EXPECT_NE(fromVisio.out, "");
    }
}

TEST_F(CliOverCom, DiffComparesObjectsOfVisioAsOnTheFile) {
    const std::string drawing = PrepareDrawing();
    StandInProcess visio({drawing});
    const std::string source = "page:Page-1/Source";
    const struct {
        std::vector<std::string> objects;
        int status;
        const char* says;
    } cases[] = {
        {{source, source}, 0, "A and B are the same"},
        {{source, "page:Page-1/Target", "--section", "Scratch"}, 1, "[Scratch]  only in A"},
        {{source, "drawing.vsdx:page:Page-1/Other", "--json"}, 1, "\"differences\""},
    };
    for (const auto& each : cases) {
        std::vector<std::string> overVisio = {"--visio", "diff"}, onFile = {"diff", drawing};
        overVisio.insert(overVisio.end(), each.objects.begin(), each.objects.end());
        onFile.insert(onFile.end(), each.objects.begin(), each.objects.end());
        const Result fromVisio = Run(overVisio), fromFile = Run(onFile);
        EXPECT_EQ(fromVisio.status, each.status) << each.objects[1] << '\n' << fromVisio.err;
        EXPECT_NE(fromVisio.out.find(each.says), std::string::npos) << fromVisio.out;
        EXPECT_EQ(fromVisio.out, fromFile.out) << each.objects[1];
    }
}

TEST_F(CliOverCom, CheckReportsWhatTheFileCheckReports) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    BreakReferences(drawing, drawing);
    StandInProcess visio({drawing});
    for (const bool json : {false, true}) {
        std::vector<std::string> overVisio = {"--visio", "check"}, onFile = {"check", drawing};
        if (json) {
            overVisio.push_back("--json");
            onFile.push_back("--json");
        }
        const Result fromVisio = Run(overVisio), fromFile = Run(onFile);
        EXPECT_EQ(fromVisio.status, 1) << fromVisio.err;
        EXPECT_EQ(fromFile.status, 1) << fromFile.err;
        EXPECT_NE(fromVisio.out.find("User.Missing*2"), std::string::npos) << fromVisio.out;
        EXPECT_EQ(fromVisio.out, fromFile.out);
    }
}

TEST_F(CliOverCom, CopyWritesIntoVisioAsOneUndoStepAndReportsRefusals) {
    const std::string drawing = PrepareDrawing();
    const std::string original = FileText(drawing);
    StandInProcess standIn({drawing});
    const auto connection = com::AttachToRunningVisio();
    const ApplicationPtr visio = connection->Application();
    ASSERT_TRUE(ScratchOf(visio, "Target").empty());

    const Result result =
        Run({"--visio", "copy", "--from", "page:Page-1/Source", "--to", "page:Page-1/Target",
             "--to", "page:Page-1/Other", "--section", "Scratch", "--json"});
    EXPECT_EQ(result.status, 1) << result.err;
    const Json report = Json::parse(result.out);
    EXPECT_EQ(report["outcome"], "complete with refusals");
    EXPECT_EQ(report["written"], Json::array());  // Visio saves, not the program
    ASSERT_EQ(report["destinations"].size(), 2u);
    for (const Json& destination : report["destinations"]) {
        EXPECT_EQ(destination["rowsAdded"], 3);
        EXPECT_EQ(destination["cellsWritten"], 6 * 3 - 5);  // row 0 stops at its refused Y1
        ASSERT_EQ(destination["refused"].size(), 1u);
        EXPECT_EQ(destination["refused"][0]["cell"], "Scratch.Y1");
        EXPECT_EQ(destination["refused"][0]["formula"], "User.Alpha*2");
    }
    // The rows before and after the refused formula are in Visio; the file is as it was.
    for (const char* shape : {"Target", "Other"}) {
        const std::vector<std::string> scratch = ScratchOf(visio, shape);
        ASSERT_EQ(scratch.size(), 6u) << shape;
        EXPECT_EQ(scratch[0], "10");
        EXPECT_EQ(scratch[1], "");
        EXPECT_EQ(scratch[2], "11");
        EXPECT_EQ(scratch[4], "12");
    }
    EXPECT_EQ(FileText(drawing), original);
    visio->Undo();
    EXPECT_TRUE(ScratchOf(visio, "Target").empty());
    EXPECT_TRUE(ScratchOf(visio, "Other").empty());
}

TEST_F(CliOverCom, MistakesAreRefusedBeforeVisioChanges) {
    const std::string drawing = PrepareDrawing();
    StandInProcess standIn({drawing});
    const std::vector<std::string> copy = {"--visio",   "copy", "--from", "page:Page-1/Source",
                                           "--to",      "page:Page-1/Target",
                                           "--section", "Scratch"};
    const auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> arguments = copy;
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    };
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* says;
    } cases[] = {
        {with({"-o", folder.Path("out.vsdx")}), 2, "-o, --in-place and --dry-run are for files"},
        {with({"--dry-run"}), 2, "-o, --in-place and --dry-run are for files"},
        {{"--visio", "list", drawing}, 2, "is a file"},
        {{"--visio", "show", "page:Page-1/Nothing"}, 2, "Nothing"},
        {{"--visio", "show", "Other.vsdx:document"}, 2, "Other.vsdx"},
        {{"--visio", "check", drawing}, 2, "is a file"},
        {{"--visio", "check", "--values"}, 2, "check --values"},
    };
    for (const auto& each : cases) {
        const Result result = Run(each.arguments);
        EXPECT_EQ(result.status, each.status) << each.arguments.back() << '\n' << result.err;
        EXPECT_NE(result.err.find(each.says), std::string::npos) << result.err;
    }
    EXPECT_TRUE(ScratchOf(com::AttachToRunningVisio()->Application(), "Target").empty());
}

}  // namespace
}  // namespace tess::test
