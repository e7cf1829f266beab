// tessaline-cli as a newcomer meets it: what --help promises, tried on the built program.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "cli/CliRun.h"
#include "host/embedded/Model.h"
#include "support/Samples.h"

namespace tess::test {
namespace {

using Json = nlohmann::json;

/// The member paths of a JSON value as the help writes them: "refused[].message". Under a key
/// in `recursive` the items are objects like the one holding it, so their paths start over.
void CollectPaths(const Json& value, const std::string& prefix, std::set<std::string>& paths,
                  const std::set<std::string>& recursive = {}) {
    if (!value.is_object()) return;
    for (const auto& [key, member] : value.items()) {
        const std::string path = prefix + key + (member.is_array() ? "[]" : "");
        paths.insert(path);
        if (member.is_array()) {
            for (const Json& item : member)
                CollectPaths(item, recursive.count(key) ? prefix : path + ".", paths, recursive);
        } else {
            CollectPaths(member, path + ".", paths, recursive);
        }
    }
}

/// The paths a command's --help lists under its heading ("JSON (--json)"): the first word of
/// each line two spaces in, when it is made of letters, brackets and dots and two spaces follow
/// it, up to the first line that is not two spaces in.
std::set<std::string> DocumentedPaths(const std::string& help, const std::string& heading) {
    std::set<std::string> paths;
    const size_t block = help.find(heading);
    if (block == std::string::npos) return paths;
    std::istringstream lines(help.substr(help.find('\n', block) + 1));
    for (std::string text; std::getline(lines, text);) {
        if (text.rfind("  ", 0) != 0) break;
        if (text.size() < 3 || !std::isalpha(static_cast<unsigned char>(text[2]))) continue;
        const size_t end = text.find(' ', 2);
        const std::string path = text.substr(2, end - 2);
        const bool plain = std::all_of(path.begin(), path.end(), [](char c) {
            return std::isalpha(static_cast<unsigned char>(c)) || c == '[' || c == ']' || c == '.';
        });
        if (plain && text.compare(end, 2, "  ") == 0) paths.insert(path);
    }
    return paths;
}

/// The number in a line that is prefix, digits, suffix; -1 for a line of another form.
int NumberBetween(const std::string& line, const std::string& prefix, const std::string& suffix) {
    if (line.size() <= prefix.size() + suffix.size() || line.rfind(prefix, 0) != 0 ||
        line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0)
        return -1;
    const std::string digits =
        line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
    if (!std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }))
        return -1;
    return std::stoi(digits);
}

/// What sections prints after a caption: "3 rows".
std::string RowsShown(const std::string& out, const std::string& caption) {
    const size_t at = out.find("\n  " + caption + "  ");
    if (at == std::string::npos) return "(no line for " + caption + ")";
    const size_t start = out.find_first_not_of(' ', at + 3 + caption.size());
    return out.substr(start, out.find('\n', start) - start);
}

class CliForPeople : public Cli {
protected:
    /// A drawing with a page whose name holds a slash, a group "Box" holding "Label", and a
    /// shape whose name holds a colon.
    std::string MakeNamedDrawing(const std::string& name) {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const visio::DocumentPtr document = app->Documents()->Add("");
        const visio::PagePtr page = document->Pages()->Item(1);
        const visio::ShapePtr member = page->DrawRectangle(1, 1, 2, 2);
        member->ConvertToGroup();
        const auto box = std::dynamic_pointer_cast<visio::IShape>(member->Parent());
        box->SetName("Box");
        member->SetName("Inner");
        box->DrawRectangle(1, 1, 1.5, 1.5)->SetName("Label");
        page->DrawRectangle(3, 3, 4, 4)->SetName("Time: now");
        const auto data = embedded::DocumentOf(document);
        data->pages.front()->name = data->pages.front()->nameU = "Q1/Q2";
        const std::string path = folder.Path(name);
        vsdx::SaveDocument(app->TheModel(), *data, path);
        return path;
    }

    /// A copy of a drawing of MakeDrawing's with a formula in the source's first Scratch row,
    /// where none was, and the shape named deleted gone.
    std::string WithScratchFormula(const std::string& drawing, const std::string& formula,
                                   const std::string& name, const std::string& deleted = "") {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const auto data = vsdx::OpenDocument(app->TheModel(), drawing);
        const visio::ShapesPtr shapes =
            embedded::WrapDocument(app->ModelPtr(), data)->Pages()->Item(1)->Shapes();
        shapes->Item("Source")->CellsSRC(visio::visSectionScratch, 0, 1)->SetFormula(formula);
        if (!deleted.empty()) shapes->Item(deleted)->Delete();
        const std::string path = folder.Path(name);
        vsdx::SaveDocument(app->TheModel(), *data, path);
        return path;
    }

    /// The address show prints for an OBJECT, or the error when there is none.
    std::string AddressOf(const std::vector<std::string>& files, const std::string& object) {
        std::vector<std::string> arguments = {"show"};
        arguments.insert(arguments.end(), files.begin(), files.end());
        arguments.insert(arguments.end(), {object, "--json"});
        const Result result = Run(arguments);
        if (result.status != 0) return "error " + std::to_string(result.status) + ": " + result.err;
        return Json::parse(result.out).at("object").get<std::string>();
    }

    /// The formulas of a section of an object, as show prints them.
    std::string Shown(const std::string& file, const std::string& object,
                      const std::string& caption) {
        return Run({"show", file, object, "--section", caption}).out;
    }
};

TEST_F(CliForPeople, HelpExplainsAddressesAndTheyWorkAsItSays) {
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"copy", "--help"}}) {
        const Result help = Run(command);
        ASSERT_EQ(help.status, 0);
        for (const char* form : {"  document ", "  page:P ", "page:P/Sheet.3/Sheet.7",
                                 "page:P/Box/Label", "master:M/SHAPE", "page:P/*", "DOC:",
                                 "Other.vsdx:document", R"(\: \/ \* and \\)", "page:Q1\\/Q2/Title"})
            EXPECT_NE(help.out.find(form), std::string::npos) << command.front() << ": " << form;
        EXPECT_NE(help.out.find("The copy options come from the flags alone"), std::string::npos)
            << help.out;
    }

    // Each form the help shows, on a drawing that has what it names.
    const std::string drawing = MakeNamedDrawing("Named.vsdx");
    const std::string sample = SamplePath("test6_shape_properties.vsdx");
    EXPECT_EQ(AddressOf({drawing}, "document"), "document");
    EXPECT_EQ(AddressOf({drawing}, "page:Q1\\/Q2"), "page:Q1\\/Q2");
    const std::string label = AddressOf({drawing}, "page:q1\\/q2/box/LABEL");  // any case
    EXPECT_EQ(label.substr(0, 18), "page:Q1\\/Q2/Sheet.") << label;
    const std::string labelId = label.substr(label.rfind('/') + 1);
    EXPECT_EQ(AddressOf({drawing}, "page:Q1\\/Q2/" + labelId), label);  // an ID at any depth
    EXPECT_NE(AddressOf({drawing}, "page:Q1\\/Q2/Time\\: now").find("page:Q1\\/Q2/Sheet."),
              std::string::npos);
    EXPECT_EQ(AddressOf({drawing}, "page:Q1\\/Q2/Label").substr(0, 6), "error ");  // not top level
    EXPECT_EQ(AddressOf({drawing}, "page:Q1/Q2").substr(0, 6), "error ");  // unescaped slash
    EXPECT_EQ(AddressOf({sample}, "master:data_prop_test/Sheet.5"),
              "master:data_prop_test/Sheet.5");
    EXPECT_EQ(AddressOf({sample}, "master:data_prop_test").substr(0, 7), "error 2");
    EXPECT_EQ(AddressOf({sample, drawing}, "Named.vsdx:document"), "Named.vsdx:document");
    EXPECT_EQ(
        AddressOf({sample, drawing}, "test6_shape_properties.vsdx:page:Page-2/Sheet.3/Sheet.1"),
        "test6_shape_properties.vsdx:page:Page-2/Sheet.3/Sheet.1");
    EXPECT_EQ(AddressOf({sample, drawing}, "document").substr(0, 7), "error 2");

    // "*" is every top-level shape of the page but the source.
    const Result every = Run({"copy", drawing, "--from", "page:Q1\\/Q2/Box", "--to",
                              "page:Q1\\/Q2/*", "--section", "Line Format", "--dry-run", "--json"});
    ASSERT_EQ(every.status, 0) << every.err;
    const Json destinations = Json::parse(every.out).at("destinations");
    ASSERT_EQ(destinations.size(), 1u) << every.out;
    EXPECT_EQ(destinations[0].at("object"), AddressOf({drawing}, "page:Q1\\/Q2/Time\\: now"));
}

TEST_F(CliForPeople, RowsAreNamedAsShowPrintsThem) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const Json shown = Json::parse(Run({"show", drawing, "page:Page-1/Source", "--json"}).out);
    std::map<std::string, std::vector<std::string>> labels;
    for (const Json& section : shown.at("sections")) {
        for (const Json& row : section.at("rows")) {
            if (!row.at("row").is_null())
                labels[section.at("caption")].push_back(row.at("row").get<std::string>());
        }
    }
    ASSERT_EQ(labels["User-defined Cells"],
              (std::vector<std::string>{"User.Alpha", "User.Beta", "User.Gamma"}));
    ASSERT_EQ(labels["Scratch"], (std::vector<std::string>{"Row 1", "Row 2", "Row 3"}));
    ASSERT_GE(labels["Geometry"].size(), 2u);
    EXPECT_EQ(labels["Geometry"][1], "Geometry Section 1, Row 2");

    // A label and its short form choose the same rows; --rows alone copies their section.
    const auto copy = [&](const std::vector<std::string>& rows, const std::string& out) {
        std::vector<std::string> arguments = {
            "copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target"};
        for (const std::string& each : rows)
            arguments.insert(arguments.end(), {"--rows", each});
        arguments.insert(arguments.end(), {"-o", folder.Path(out)});
        return Run(arguments);
    };
    const std::string geometry = labels["Geometry"][0] + "," + labels["Geometry"][1];
    Result byLabel = copy({"Scratch=" + labels["Scratch"][0] + ", " + labels["Scratch"][2],
                           "user-defined cells=User.Gamma,user.alpha", "Geometry=" + geometry},
                          "labels.vsdx");
    ASSERT_EQ(byLabel.status, 0) << byLabel.err;
    Result byToken =
        copy({"Scratch=1,3", "User-defined Cells=Gamma,Alpha", "Geometry=1.1,1.2"}, "tokens.vsdx");
    ASSERT_EQ(byToken.status, 0) << byToken.err;
    for (const char* caption : {"Scratch", "User-defined Cells", "Geometry"}) {
        EXPECT_EQ(Shown(folder.Path("labels.vsdx"), "page:Page-1/Target", caption),
                  Shown(folder.Path("tokens.vsdx"), "page:Page-1/Target", caption));
    }
    const std::string scratch = Shown(folder.Path("labels.vsdx"), "page:Page-1/Target", "Scratch");
    EXPECT_NE(scratch.find("= 12"), std::string::npos) << scratch;
    EXPECT_EQ(scratch.find("= 11"), std::string::npos) << scratch;
    EXPECT_EQ(Shown(folder.Path("labels.vsdx"), "page:Page-1/Target", "User-defined Cells")
                  .find("User.Beta"),
              std::string::npos);

    // --order takes labels too.
    const Result ordered = Run({"copy", drawing, "--from", "page:Page-1/Source", "--to",
                                "page:Page-1/Target", "--section", "Scratch", "--order",
                                "Scratch=Row 3,Row 1,2", "-o", folder.Path("ordered.vsdx")});
    ASSERT_EQ(ordered.status, 0) << ordered.err;
    const std::string reordered =
        Shown(folder.Path("ordered.vsdx"), "page:Page-1/Target", "Scratch");
    EXPECT_LT(reordered.find("= 12"), reordered.find("= 10")) << reordered;

    // What is not there is answered with what is.
    Result wrong = copy({"Scratch=Row 9"}, "wrong.vsdx");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("'Row 9'"), std::string::npos) << wrong.err;
    EXPECT_NE(wrong.err.find("Row 1 (1); Row 2 (2); Row 3 (3)"), std::string::npos) << wrong.err;
    wrong = copy({"User-defined Cells=Delta"}, "wrong.vsdx");
    EXPECT_NE(wrong.err.find("User.Alpha (Alpha); User.Beta (Beta); User.Gamma (Gamma)"),
              std::string::npos)
        << wrong.err;
    wrong = copy({"Line Format=Row 1"}, "wrong.vsdx");
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("choose from: User-defined Cells, Geometry, Scratch"),
              std::string::npos)
        << wrong.err;
    wrong = Run(
        {"copy", drawing, "--from", "page:Page-1/Source", "--section", "Scratches", "--dry-run"});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_NE(wrong.err.find("choose from: Shape Transform, User-defined Cells, Geometry"),
              std::string::npos)
        << wrong.err;
    EXPECT_FALSE(std::filesystem::exists(folder.Path("wrong.vsdx")));
}

TEST_F(CliForPeople, SectionsListsTheCaptionsAnObjectOffersWithTheirRows) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    Result result = Run({"sections", drawing, "page:Page-1/Source"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
              "page:Page-1/Sheet.1  (shape \"Source\")");
    EXPECT_EQ(RowsShown(result.out, "Shape Transform"), "1 row") << result.out;
    EXPECT_EQ(RowsShown(result.out, "User-defined Cells"), "3 rows") << result.out;
    EXPECT_EQ(RowsShown(result.out, "Scratch"), "3 rows") << result.out;
    EXPECT_GT(NumberBetween(RowsShown(result.out, "Geometry"), "", " rows"), 0) << result.out;
    EXPECT_EQ(result.out.find("Custom Properties"), std::string::npos);  // not on this shape

    result = Run({"sections", drawing, "page:Page-1", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const Json page = Json::parse(result.out);
    EXPECT_EQ(page.at("kind"), "page");
    ASSERT_FALSE(page.at("sections").empty());
    EXPECT_EQ(page.at("sections")[0], Json({{"caption", "Page Properties"}, {"rows", 1}}));

    EXPECT_EQ(Run({"sections", drawing, "page:Page-1/Nobody"}).status, 2);
}

TEST_F(CliForPeople, ListFindsShapesByNameMasterOrAddress) {
    const std::string sample = SamplePath("test6_shape_properties.vsdx");
    // By master: instances named otherwise, and the master itself.
    Result result = Run({"list", sample, "--find", "DATA_PROP"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(
        result.out.find("shape: Sheet.3  (master data_prop_test)\tpage:master_test/Sheet.3\n"),
        std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("page: master_test\tpage:master_test\n"), std::string::npos);
    EXPECT_EQ(result.out.find("Page-1"), std::string::npos) << result.out;

    // By address, with the objects above kept and nothing else.
    result = Run({"list", sample, "--find", "Page-2/Sheet.3/Sheet.2", "--json"});
    ASSERT_EQ(result.status, 0) << result.err;
    const Json tree = Json::parse(result.out);
    const Json& drawing = tree.at("children").at(0);
    ASSERT_EQ(drawing.at("children").size(), 1u) << result.out;
    const Json& group = drawing.at("children")[0].at("children").at(0);
    EXPECT_EQ(group.at("address"), "page:Page-2/Sheet.3");
    ASSERT_EQ(group.at("children").size(), 1u);
    EXPECT_EQ(group.at("children")[0].at("address"), "page:Page-2/Sheet.3/Sheet.2");

    // By name, below the OBJECT given.
    const std::string mine = MakeDrawing("drawing.vsdx");
    result = Run({"list", mine, "page:Page-1", "--find", "get"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "page: Page-1\tpage:Page-1\n  shape: Target\tpage:Page-1/Sheet.2\n");

    result = Run({"list", mine, "--find", "nothing like it"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("nothing like it"), std::string::npos);
}

TEST_F(CliForPeople, ACopyThatNamesNothingToCopyIsAUsageError) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string out = folder.Path("out.vsdx");
    const Result result = Run(
        {"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target", "-o", out});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--section CAPTION, --all-sections or --rows"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("Clone Complete"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(CliForPeople, CheckSummarisesCleanAndBrokenRuns) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    Result result = Run({"check", drawing});
    ASSERT_EQ(result.status, 0) << result.err;
    // The drawing's own formulas: the user cells, scratch rows and line weight among them.
    const int clean = NumberBetween(result.out, "1 file, ", " formulas checked, 0 broken\n");
    EXPECT_GE(clean, 7) << result.out;

    // A reference to a shape that is not there.
    const std::string broken = WithScratchFormula(drawing, "Other!Width", "broken.vsdx", "Other");
    result = Run({"check", drawing, broken});
    EXPECT_EQ(result.status, 1);
    const std::string last = result.out.substr(result.out.rfind('\n', result.out.size() - 2) + 1);
    EXPECT_GT(NumberBetween(last, "2 files, ", " formulas checked, 1 broken\n"), clean)
        << result.out;
    EXPECT_EQ(result.out.find("broken.vsdx:page:Page-1/Sheet.1\tScratch.Y1\tOther!Width\t"), 0u)
        << result.out;
}

TEST_F(CliForPeople, ARefusalNamesTheRowAndCellRefused) {
    // A user cell whose formula names a Scratch row the destination lacks.
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string refusing = folder.Path("refusing.vsdx");
    {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const auto data = vsdx::OpenDocument(app->TheModel(), drawing);
        embedded::WrapDocument(app->ModelPtr(), data)
            ->Pages()->Item(1)->Shapes()->Item("Source")
            ->Cells("User.Beta")->SetFormula("Scratch.X1*2");
        vsdx::SaveDocument(app->TheModel(), *data, refusing);
    }
    const Result result = Run({"copy", refusing, "--from=page:Page-1/Source",
                               "--to=page:Page-1/Target", "--rows=User-defined Cells=Beta",
                               "--dry-run", "--json"});
    EXPECT_EQ(result.status, 1);
    const Json refused = Json::parse(result.out).at("destinations").at(0).at("refused");
    ASSERT_EQ(refused.size(), 1u) << result.out;
    EXPECT_EQ(refused[0].at("row"), "User.Beta");
    EXPECT_EQ(refused[0].at("cell"), "User.Beta.Value");
    EXPECT_EQ(refused[0].at("formula"), "Scratch.X1*2");
}

TEST_F(CliForPeople, EveryJsonMemberIsDocumentedInHelpAndPrinted) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string sample = SamplePath("test6_shape_properties.vsdx");
    // A formula the destination refuses, for a report with refusals, and a broken one.
    const std::string refusing = WithScratchFormula(drawing, "User.Alpha*2", "refusing.vsdx");
    const std::string broken = WithScratchFormula(drawing, "Other!Width", "broken.vsdx", "Other");
    const std::string copy = "--from=page:Page-1/Source";
    struct Case {
        std::string command;
        std::vector<std::vector<std::string>> runs;  // between them, every member appears
        std::set<std::string> recursive;
        std::string heading = "JSON (--json)";
    };
    const std::vector<Case> cases = {
        {"list", {{sample}}, {"children"}},
        {"show", {{drawing, "page:Page-1/Source"}}, {}},
        {"sections", {{drawing, "page:Page-1/Source"}}, {}},
        {"check", {{broken}}, {}},
        {"check", {{SamplePath("Boxes.vssx"), "--values"}}, {}, "JSON (--values --json)"},
        {"copy",
         {{refusing, copy, "--to=page:Page-1/Target", "--section=Scratch", "--dry-run"},
          {drawing, copy, "--to=page:Page-1/Target", "--all-sections", "-o",
           folder.Path("out.vsdx")},
          // Rows the destination has already do not move: an order it cannot take.
          {folder.Path("out.vsdx"), copy, "--to=page:Page-1/Target",
           "--rows=User-defined Cells=Alpha,Gamma", "--order=User-defined Cells=Gamma,Alpha",
           "--append", "--dry-run"}},
         {}},
    };
    for (const Case& each : cases) {
        const std::set<std::string> documented =
            DocumentedPaths(Run({each.command, "--help"}).out, each.heading);
        EXPECT_FALSE(documented.empty()) << each.command;
        std::set<std::string> printed;
        for (std::vector<std::string> arguments : each.runs) {
            arguments.insert(arguments.begin(), each.command);
            arguments.push_back("--json");
            const Result result = Run(arguments);
            ASSERT_LE(result.status, 1) << result.err;
            Json json;
            ASSERT_NO_THROW(json = Json::parse(result.out)) << result.out;
            CollectPaths(json, "", printed, each.recursive);
        }
        EXPECT_EQ(printed, documented) << each.command;
    }
}

#ifndef _WIN32  // script(1) and its terminal are POSIX
// A person at a terminal sees where a run of several destinations is; a script reading the
// output sees no such lines.
TEST_F(CliForPeople, ARunOfSeveralDestinationsShowsProgressOnATerminalOnly) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::vector<std::string> copy = {"copy",      drawing, "--from", "page:Page-1/Source",
                                           "--to",      "page:Page-1/*", "--section",
                                           "User-defined Cells", "--dry-run"};
    const Result piped = Run(copy);
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.err.find("destination "), std::string::npos) << piped.err;

    // script(1) gives the program a terminal for its standard error.
    std::string command = Quoted(TESSALINE_CLI);
    for (const std::string& argument : copy)
        command += ' ' + Quoted(argument);
    const std::string log = folder.Path("terminal.txt");
    const int raw = std::system(("script -qec " + Quoted(command + " 2>&1") + " " + Quoted(log) +
                                 " >/dev/null 2>&1")
                                    .c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << FileText(log);
    const std::string shown = FileText(log);
    EXPECT_NE(shown.find("\r\033[Kdestination 1 of 2: preparing"), std::string::npos) << shown;
    EXPECT_NE(shown.find("destination 2 of 2: copying"), std::string::npos) << shown;
    // The run's own message starts on a cleared line, not after the progress text.
    EXPECT_NE(shown.find("\r\033[KTessaline: Clone Complete."), std::string::npos) << shown;
}
#endif

}  // namespace
}  // namespace tess::test
