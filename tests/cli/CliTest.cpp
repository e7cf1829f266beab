// tessaline-cli end to end: the built program run on samples and on drawings made here, its
// output, its files and its exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/CliRun.h"
#include "cli/Json.h"
#include "engine/CopyDriver.h"
#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "support/DrawingEdits.h"
#include "support/ModelDump.h"
#include "support/Samples.h"
#include "support/ScriptedFrontEnd.h"

namespace tess::test {
namespace {

using namespace visio;
using cli::Json;

TEST_F(Cli, ListShowsTheTreeWithAddresses) {
    const std::string sample = SamplePath("test6_shape_properties.vsdx");
    Result result = Run({"list", sample});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("  drawing: test6_shape_properties.vsdx\tdocument\n"),
              std::string::npos);
    EXPECT_NE(result.out.find("        shape: Sheet.1\tpage:Page-2/Sheet.3/Sheet.1\n"),
              std::string::npos);
    EXPECT_LT(result.out.find("master: data_prop_test"),
              result.out.find("page: Page-1"));  // masters first

    result = Run({"list", sample, "page:Page-2", "--depth", "1"});
    ASSERT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("group: Sheet.3\tpage:Page-2/Sheet.3"), std::string::npos);
    EXPECT_EQ(result.out.find("page:Page-2/Sheet.3/Sheet.1"), std::string::npos);

    result = Run({"list", sample, "page:Page-2", "--json"});
    EXPECT_NE(result.out.find("\"address\": \"page:Page-2/Sheet.3/Sheet.2\""), std::string::npos);

    // With several files every address begins with its document.
    const std::string other = MakeDrawing("Other drawing.vsdx");
    result = Run({"list", sample, other});
    EXPECT_NE(result.out.find("Other drawing.vsdx:page:Page-1/Sheet.1"), std::string::npos);
}

TEST_F(Cli, ShowPrintsRowsCellsAndTheEntriesAnObjectEnables) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    Result result = Run({"show", drawing, "page:Page-1/Source", "--section", "user-defined cells"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("Enables: Shape Transform, User-defined Cells, Geometry, Scratch"),
              std::string::npos)
        << result.out;
    EXPECT_NE(
        result.out.find(
            "[User-defined Cells]\n  User.Alpha\n    Value = Width*1\n    Prompt = No Formula\n"),
        std::string::npos)
        << result.out;
    EXPECT_EQ(result.out.find("[Scratch]"), std::string::npos);

    result = Run({"show", drawing, "page:Page-1/Sheet.1", "--json"});
    EXPECT_NE(result.out.find("\"caption\": \"Line Format\""), std::string::npos);
    EXPECT_NE(result.out.find("\"formula\": \"Width/50\""), std::string::npos);
    EXPECT_EQ(result.out.front(), '{');
}

TEST_F(Cli, ACopyWritesWhatTheEngineWritesToTheSameDrawing) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string out = folder.Path("copied.vsdx");
    const Result result = Run({"copy",      drawing,
                               "--from",    "page:Page-1/Source",
                               "--to",      "page:Page-1/Target",
                               "--section", "User-defined Cells",
                               "--section", "Scratch",
                               "--section", "Line Format",
                               "--rows",    "Scratch=1,3",
                               "--order",   "Scratch=3,1",
                               "--append",  "--shape-text",
                               "-o",        out});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "Tessaline: Clone Complete.\n");
    EXPECT_NE(result.out.find("page:Page-1/Sheet.2: "), std::string::npos);

    // The same run through the engine in this process.
    auto app = std::make_shared<embedded::EmbeddedApplication>();
    const auto data = vsdx::OpenDocument(app->TheModel(), drawing);
    const ShapesPtr shapes =
        embedded::WrapDocument(app->ModelPtr(), data)->Pages()->Item(1)->Shapes();
    engine::CopyRequest request;
    request.source = engine::CopyTarget{"Source", "Source", shapes->Item("Source")};
    request.destinations = {{"Target", "Target", shapes->Item("Target")}};
    request.options.copyType = engine::CopyType::Append;
    request.options.copyShapeText = true;
    request.sections = {2, 9, 13};
    request.rows[visSectionScratch] = {1, 0, 1, 0};
    request.orders[visSectionScratch] = {1, 0, 0};
    ScriptedFrontEnd frontEnd;
    engine::CopyDriver(app).BeginCopy(request, frontEnd);
    ASSERT_EQ(frontEnd.Texts(), std::vector<std::string>{"Clone Complete."});

    embedded::Model written;
    vsdx::OpenDocument(written, out);
    const std::string expected = DumpModel(app->TheModel());
    const std::string actual = DumpModel(written);
    EXPECT_EQ(actual.substr(actual.find('\n')), expected.substr(expected.find('\n')));
}

TEST_F(Cli, EveryShapeOfAPageAndTheSubShapeModes) {
    const std::string sample = SamplePath("test6_shape_properties.vsdx");
    const std::string out = folder.Path("all.vsdx");
    Result result = Run({"copy", sample, "--from", "page:Page-1/Sheet.1", "--to", "page:Page-1/*",
                         "--section", "Custom Properties", "--json", "-o", out});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\"object\": \"page:Page-1/Sheet.2\""), std::string::npos);
    EXPECT_NE(result.out.find("\"object\": \"page:Page-1/Sheet.5\""), std::string::npos);
    EXPECT_EQ(result.out.find("\"object\": \"page:Page-1/Sheet.1\""),
              std::string::npos);  // not the source

    // Replacing sub-shapes: the destination group takes the source group's members.
    const std::string groups = folder.Path("groups.vsdx");
    {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const DocumentPtr document = app->Documents()->Add("");
        const PagePtr page = document->Pages()->Item(1);
        for (const char* name : {"Left", "Right"}) {
            const ShapePtr member = page->DrawRectangle(1, 1, 2, 2);
            member->ConvertToGroup();
            const auto group = std::dynamic_pointer_cast<IShape>(member->Parent());
            group->SetName(name);
            group->DrawRectangle(1, 1, 1.5, 1.5)->SetName(std::string(name) + " inner");
        }
        vsdx::SaveDocument(app->TheModel(), *embedded::DocumentOf(document), groups);
    }
    result = Run({"copy", groups, "--from", "page:Page-1/Left", "--to", "page:Page-1/Right",
                  "--section", "Shape Transform", "--sub-shapes", "replace", "-o", out});
    ASSERT_EQ(result.status, 0) << result.err;
    result = Run({"list", out, "page:Page-1/Right"});
    EXPECT_NE(result.out.find("shape: Left inner"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("shape: Right inner"), std::string::npos) << result.out;
    result = Run({"copy", groups, "--from", "page:Page-1/Left", "--to", "page:Page-1/Right",
                  "--section", "Shape Transform", "--sub-shapes", "cells", "--dry-run"});
    EXPECT_EQ(result.status, 0) << result.err;
}

TEST_F(Cli, DestinationsAreCreatedAndHelpStringsCopied) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string out = folder.Path("made.vsdx");
    Result result = Run({"copy", drawing, "--from", "page:Page-1", "--create-destination",
                         "--all-sections", "-o", out});
    ASSERT_EQ(result.status, 0) << result.err;
    result = Run({"list", out, "--depth", "0"});
    EXPECT_NE(result.out.find("page: Page-2"), std::string::npos);

    result = Run({"copy", drawing, "--from", "document", "--create-destination", "--all-sections",
                  "--in-place"});
    EXPECT_EQ(result.status, 2);  // a new drawing has no file of its own

    // The help string goes along only when asked for.
    const std::string helped = folder.Path("helped.vsdx");
    {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const auto data = vsdx::OpenDocument(app->TheModel(), drawing);
        const PagePtr page = embedded::WrapDocument(app->ModelPtr(), data)->Pages()->Item(1);
        page->Shapes()
            ->Item("Source")
            ->CellsSRC(visSectionObject, visRowHelpCopyright, 0)
            ->SetFormula("\"Ask me\"");
        vsdx::SaveDocument(app->TheModel(), *data, helped);
    }
    const auto helpOf = [&](const std::string& file) {
        embedded::Model model;
        const auto data = vsdx::OpenDocument(model, file);
        model.LoadShapes(*data->pages.front());
        return model.Formula(*data->pages.front()->shapes[1], visSectionObject, visRowHelpCopyright,
                             0);
    };
    for (const bool help : {false, true}) {
        std::vector<std::string> arguments = {"copy",      helped,
                                              "--from",    "page:Page-1/Source",
                                              "--to",      "page:Page-1/Target",
                                              "--section", "Line Format",
                                              "-o",        out};
        if (help) arguments.push_back("--help-string");
        ASSERT_EQ(Run(arguments).status, 0);
        EXPECT_EQ(helpOf(out), help ? "\"Ask me\"" : "");
    }
}

TEST_F(Cli, RefusedWritesAreReportedAndCancelEndsTheRun) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    // A formula naming a row only the source has: the destination refuses it.
    const std::string prepared = folder.Path("prepared.vsdx");
    NameRowOnlySourceHas(drawing, prepared);
    Result result =
        Run({"copy", prepared, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target", "--to",
             "page:Page-1/Other", "--section", "Scratch", "--dry-run"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("ERROR:"),
              result.err.rfind("ERROR:"));  // Continue: both destinations refuse
    EXPECT_NE(result.err.find("There was an error copying the cells\nin section:  'Scratch'"),
              std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("Tessaline: Clone Complete."), std::string::npos);

    result = Run({"copy", prepared, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target",
                  "--to", "page:Page-1/Other", "--section", "Scratch", "--on-error", "cancel",
                  "--dry-run", "--json"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("\"cancelled\": true"), std::string::npos);
    // The status and the refusal come from the run's report.
    EXPECT_NE(result.out.find("\"outcome\": \"cancelled\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("\"formula\": \"User.Alpha*2\""), std::string::npos);
    EXPECT_EQ(result.err.find("Clone Complete."), std::string::npos);
    EXPECT_EQ(result.err.find("ERROR:"),
              result.err.rfind("ERROR:"));  // one refusal, then nothing more
}

TEST_F(Cli, WritingIsAtomicAndNeverOverAnInputByAccident) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string original = FileText(drawing);
    Result result = Run({"copy", drawing, "--from", "page:Page-1/Source", "--to",
                         "page:Page-1/Target", "--section", "Scratch", "-o", drawing});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(FileText(drawing), original);

    result = Run({"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target",
                  "--section", "Scratch", "--dry-run"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("would write: " + drawing), std::string::npos);
    EXPECT_EQ(FileText(drawing), original);

    result = Run({"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target",
                  "--section", "Scratch", "--in-place"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(FileText(drawing), original);

    // A file whose name leaves no room for the working file beside it cannot be saved: it stays
    // as it was, and nothing else is left in its folder.
    const std::string longName = folder.Path(std::string(240, 'd') + ".vsdx");
    std::filesystem::copy_file(MakeDrawing("again.vsdx"), longName);
    const std::string before = FileText(longName);
    result = Run({"copy", longName, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target",
                  "--section", "Scratch", "--in-place"});
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(FileText(longName), before);
}

TEST_F(Cli, MistakesGiveStatus2AndUnreadableFilesStatus3) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::vector<std::vector<std::string>> mistakes = {
        {"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target", "--section",
         "Scratch"},
        {"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target", "--section",
         "Nothing", "--dry-run"},
        {"copy", drawing, "--from", "page:Page-1/Nobody", "--to", "page:Page-1/Target", "--section",
         "Scratch", "--dry-run"},
        {"copy", drawing, "--from", "pages:Page-1", "--section", "Scratch", "--dry-run"},
        {"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target", "--section",
         "Scratch", "--dry-run", "--in-place"},
        {"copy", drawing, "--from", "page:Page-1/Source", "--section", "Scratch", "--rows",
         "Scratch=9", "--dry-run"},
        {"copy", drawing, "--from", "page:Page-1/Source", "--section", "Scratch", "--order",
         "Scratch=1,1,2", "--dry-run"},
        {"copy", drawing, "--from", "page:Page-1/Source", "--sub-shapes", "all", "--dry-run"},
        {"list", drawing, "--no-such-option"},
    };
    for (const auto& arguments : mistakes) {
        const Result result = Run(arguments);
        EXPECT_EQ(result.status, 2)
            << arguments[arguments.size() - 2] << " " << arguments.back() << ": " << result.err;
    }
    const std::string text = folder.Path("text.vsdx");
    std::ofstream(text) << "not a drawing";
    const Result unreadable = Run({"show", text, "document"});
    EXPECT_EQ(unreadable.status, 3);
    EXPECT_EQ(unreadable.err,
              "Tessaline: 'text.vsdx' is not a Visio file (it is not a zip package).\n");
    EXPECT_EQ(Run({"--version"}).out, std::string("tessaline-cli ") + TESSALINE_VERSION + "\n");
}

TEST_F(Cli, CheckFindsFormulasThatNameWhatIsNotThere) {
    EXPECT_EQ(Run({"check", SamplePath("BFlowcht.vsdx")}).status, 0);
    // A reference into a shape deleted afterwards, as happens when a stencil is edited.
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string broken = folder.Path("broken.vsdx");
    BreakReferences(drawing, broken);
    const Result result = Run({"check", broken});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.substr(0, result.out.rfind('\n', result.out.size() - 2) + 1),
              "page:Page-1/Sheet.1\tScratch.Y2\tUser.Missing*2\tno such cell 'User.Missing'\n"
              "page:Page-1/Sheet.2\tWidth\tSheet.3!Width\tno such sheet 'Sheet.3'\n");
    EXPECT_TRUE(result.out.ends_with(" broken\n")) << result.out;
    EXPECT_NE(Run({"check", broken, "--json"}).out.find("\"cell\": \"Width\""), std::string::npos);
}

TEST_F(Cli, RecipesAreSavedAndCopiedAsAndTheFlagsBesideThemOverrideThem) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string recipe = folder.Path("r.json");
    const std::vector<std::string> copy = {"copy", drawing, "--from", "page:Page-1/Source",
                                           "--to", "page:Page-1/Target"};
    const auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> arguments = copy;
        arguments.insert(arguments.end(), more.begin(), more.end());
        return Run(arguments);
    };
    const auto scratch = [&](const std::string& file) {
        return Run({"show", file, "page:Page-1/Target", "--section", "Scratch"}).out;
    };
    const std::vector<std::string> flags = {"--rows", "Scratch=1,3", "--order", "Scratch=3,1",
                                            "--section", "Line Format", "--append"};
    std::vector<std::string> saving = flags;
    saving.insert(saving.end(), {"--dry-run", "--save-recipe", recipe});
    ASSERT_EQ(with(saving).status, 0);
    const Json saved = Json::parse(FileText(recipe));
    EXPECT_EQ(saved["version"], 1);
    EXPECT_EQ(saved["sections"][0]["caption"], "Scratch");
    EXPECT_EQ(saved["sections"][0]["rows"], Json::array({"Row 1", "Row 3"}));
    EXPECT_EQ(saved["sections"][0]["order"], Json::array({"Row 3", "Row 1"}));
    EXPECT_EQ(saved["options"]["copyType"], "append");

    std::vector<std::string> byFlags = flags;
    byFlags.insert(byFlags.end(), {"-o", folder.Path("flags.vsdx")});
    ASSERT_EQ(with(byFlags).status, 0);
    ASSERT_EQ(with({"--recipe", recipe, "-o", folder.Path("recipe.vsdx")}).status, 0);
    EXPECT_EQ(scratch(folder.Path("recipe.vsdx")), scratch(folder.Path("flags.vsdx")));
    ASSERT_EQ(
        with({"--recipe", recipe, "--rows", "Scratch=2", "-o", folder.Path("over.vsdx")}).status,
        0);
    const std::string over = scratch(folder.Path("over.vsdx"));
    EXPECT_NE(over.find("= 11"), std::string::npos) << over;
    EXPECT_EQ(over.find("= 10"), std::string::npos) << over;

    // A recipe file that cannot be read is a file problem; bad recipes are status 2, the file
    // and the member named, and nothing is written.
    EXPECT_EQ(with({"--recipe", folder.Path("none.json"), "--dry-run"}).status, 3);
    const std::pair<std::string, std::string> bad[] = {
        {"not json", "is no JSON"},
        {R"({"program": "Tessaline", "version": 9, "sections": []})", "version: version 9"},
        {R"({"program": "Tessaline", "version": 1, "sections": [{"caption": "Nope"}]})",
         "sections[0].caption: no section is called 'Nope'"},
        {R"({"program": "Tessaline", "version": 1,
             "sections": [{"caption": "Scratch", "rows": ["Row 9"]}]})",
         "sections[0].rows[0]: the source has no row 'Row 9' in 'Scratch'"},
        {R"({"program": "Tessaline", "version": 1, "options": {"shapeText": "yes"}})",
         "options.shapeText: is true or false"},
    };
    for (const auto& [text, why] : bad) {
        std::ofstream(folder.Path("bad.json")) << text;
        const Result result =
            with({"--recipe", folder.Path("bad.json"), "-o", folder.Path("bad.vsdx")});
        EXPECT_EQ(result.status, 2) << text;
        EXPECT_NE(result.err.find("recipe '" + folder.Path("bad.json") + "'"), std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find(why), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(folder.Path("bad.vsdx")));
    }
}

}  // namespace
}  // namespace tess::test
