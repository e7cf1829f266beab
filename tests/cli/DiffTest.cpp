// tessaline-cli diff and copy --diff on real drawings.
#include <nlohmann/json.hpp>

#include "cli/CliRun.h"
#include "support/Samples.h"

namespace tess::test {
namespace {

using Json = nlohmann::json;

class Diff : public Cli {
protected:
    const std::string properties = SamplePath("test6_shape_properties.vsdx");
    const std::string nested = SamplePath("test_master_multiple_child_shapes.vsdx");
    const std::string instance = "page:Page-1/Sheet.1";
    const std::string masterShape = "master:AWS Step Functions workflow /Sheet.5";

    /// The cells the JSON of one comparison lists as differing: "caption|row|cell|differs".
    static std::vector<std::string> Cells(const Json& comparison) {
        std::vector<std::string> cells;
        for (const Json& section : comparison.at("sections")) {
            for (const Json& row : section.at("rows")) {
                const std::string label = row.at("row").is_null() ? "" : row.at("row").get<std::string>();
                for (const Json& cell : row.at("cells")) {
                    cells.push_back(section.at("caption").get<std::string>() + "|" + label + "|" +
                                    cell.at("cell").get<std::string>() + "|" +
                                    cell.at("differs").get<std::string>());
                }
            }
        }
        return cells;
    }
};

TEST_F(Diff, AnObjectAgainstItselfIsTheSameInEveryForm) {
    const std::string copy = folder.Path("copy.vsdx");
    WriteBytes(copy, FileBytes(nested));
    for (const std::vector<std::string>& form :
         {std::vector<std::string>{"diff", nested, instance, instance},
          {"diff", nested, copy, instance},
          {"diff", nested, copy, masterShape, masterShape},
          {"diff", nested, copy, "page:Page-1/*"}}) {
        const Result result = Run(form);
        EXPECT_EQ(result.status, 0) << form[2] << "\n" << result.out << result.err;
        EXPECT_NE(result.out.find("A and B are the same\n"), std::string::npos) << result.out;
    }
}

TEST_F(Diff, ASectionJustCopiedComparesTheSame) {
    const std::string out = folder.Path("out.vsdx");
    struct Case {
        std::string file, from, to, caption;
    };
    const std::vector<Case> cases = {
        {properties, "page:Page-1/Sheet.1", "page:Page-2/Sheet.4", "Custom Properties"},
        {properties, "page:Page-1/Sheet.1", "page:Page-2/Sheet.4", "Shape Transform"},
        // Formulas that name the group the members are in.
        {nested, "page:Page-1/Sheet.1/Sheet.4/Sheet.5", "page:Page-1/Sheet.1/Sheet.4/Sheet.7",
         "Shape Transform"},
    };
    for (const Case& each : cases) {
        const std::string what = each.to + " " + each.caption;
        const Result before = Run({"diff", each.file, each.from, each.to, "--section", each.caption});
        ASSERT_EQ(before.status, 1) << what << "\n" << before.out << before.err;
        const Result copied = Run({"copy", each.file, "--from", each.from, "--to", each.to,
                                   "--section", each.caption, "-o", out});
        ASSERT_EQ(copied.status, 0) << copied.err;
        const Result after = Run({"diff", out, each.from, each.to, "--section", each.caption});
        EXPECT_EQ(after.status, 0) << what << "\n" << after.out;
        // The copy changed the destination, and the two drawings say where.
        const Result changed = Run({"diff", each.file, out, each.to, "--section", each.caption});
        EXPECT_EQ(changed.status, 1) << what << "\n" << changed.out;
    }
}

TEST_F(Diff, AnInstanceAgainstItsMastersShapeListsTheOverrides) {
    const Result result = Run({"diff", nested, instance, masterShape, "--json"});
    ASSERT_EQ(result.status, 1) << result.err;
    const Json comparison = Json::parse(result.out).at("comparisons").at(0);
    const std::vector<std::string> cells = Cells(comparison);
    // Where the instance stands on the page is its own; what it inherits is not listed.
    EXPECT_NE(std::find(cells.begin(), cells.end(), "Shape Transform||PinX|formula"), cells.end())
        << result.out;
    for (const Json& section : comparison.at("sections")) {
        for (const Json& row : section.at("rows")) {
            for (const Json& cell : row.at("cells")) {
                if (cell.at("differs") != "formula" || cell.at("a").is_null()) continue;
                EXPECT_EQ(cell.at("a").at("from"), "local") << cell;
            }
        }
    }
    // The members of the instance read as the master's.
    const Json references = comparison.at("references");
    EXPECT_EQ(references.at(0), Json({{"a", "Sheet.1"}, {"b", "Sheet.5"}}));
    EXPECT_GE(references.size(), 4u) << references;

    const Result text = Run({"diff", nested, instance, masterShape});
    EXPECT_NE(text.out.find("A's references read as B's: Sheet.1 as Sheet.5, "), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("  PinX  A  "), std::string::npos) << text.out;
}

TEST_F(Diff, TwoDifferentShapesListTheirDifferences) {
    const Result result = Run({"diff", properties, "page:Page-1/Sheet.1", "page:Page-1/Sheet.2"});
    ASSERT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(result.out.rfind("A: page:Page-1/Sheet.1  (shape \"Sheet.1\")  "
                               "test6_shape_properties.vsdx\n",
                               0),
              0u)
        << result.out;
    EXPECT_NE(result.out.find("\n[Shape Transform]  differs\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find(" differences\n"), std::string::npos) << result.out;

    const Result json = Run({"diff", properties, "page:Page-1/Sheet.1", "page:Page-1/Sheet.2",
                             "--json", "--section", "Shape Transform"});
    ASSERT_EQ(json.status, 1) << json.err;
    const Json parsed = Json::parse(json.out);
    const Json& comparison = parsed.at("comparisons").at(0);
    EXPECT_EQ(comparison.at("a").at("object"), "page:Page-1/Sheet.1");
    EXPECT_EQ(comparison.at("sections").size(), 1u);
    EXPECT_EQ(parsed.at("differences"), Cells(comparison).size());
    EXPECT_EQ(parsed.at("differences"), comparison.at("differences"));
}

TEST_F(Diff, JsonOfTheSameAndOfEveryShapeOfAPage) {
    const Result same = Run({"diff", properties, "page:Page-1/Sheet.1", "page:Page-1/Sheet.1",
                             "--json"});
    ASSERT_EQ(same.status, 0) << same.err;
    const Json parsed = Json::parse(same.out);
    EXPECT_EQ(parsed.at("differences"), 0);
    for (const Json& section : parsed.at("comparisons").at(0).at("sections")) {
        EXPECT_TRUE(section.at("inA").get<bool>() && section.at("inB").get<bool>()) << section;
        EXPECT_EQ(section.at("rows"), Json::array()) << section;
    }

    // After a copy to one shape of the page, only that one differs from the drawing before.
    const std::string out = folder.Path("out.vsdx");
    ASSERT_EQ(Run({"copy", properties, "--from", "page:Page-1/Sheet.1", "--to",
                   "page:Page-1/Sheet.5", "--section", "Custom Properties", "-o", out})
                  .status,
              0);
    const Result every = Run({"diff", properties, out, "page:Page-1/*", "--json"});
    ASSERT_EQ(every.status, 1) << every.err;
    const Json comparisons = Json::parse(every.out).at("comparisons");
    ASSERT_EQ(comparisons.size(), 3u);
    for (const Json& comparison : comparisons) {
        const bool destination = comparison.at("a").at("object") == "page:Page-1/Sheet.5";
        EXPECT_EQ(comparison.at("differences").get<int>() > 0, destination) << comparison;
    }
}

TEST_F(Diff, CopyDryRunDiffShowsWhatTheCopyWouldChangeAndWritesNothing) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const std::string bytes = FileBytes(drawing);
    const Result result =
        Run({"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target",
             "--to", "page:Page-1/Other", "--section", "User-defined Cells", "--dry-run", "--diff"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(FileBytes(drawing), bytes);
    for (const char* lines : {
             "before: page:Page-1/Sheet.2  (shape \"Target\")",
             "before: page:Page-1/Sheet.3  (shape \"Other\")",
             "[User-defined Cells]  only in after\n  User.Alpha  only in after\n",
         }) {
        EXPECT_NE(result.out.find(lines), std::string::npos) << lines << "\n" << result.out;
    }
    const Result json =
        Run({"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Target",
             "--section", "User-defined Cells", "--section", "Line Format", "--dry-run", "--diff",
             "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const Json diff = Json::parse(json.out).at("destinations").at(0).at("diff");
    EXPECT_EQ(Cells(diff), std::vector<std::string>{"Line Format||LineWeight|formula"}) << diff;
    EXPECT_EQ(diff.at("differences"), 4);  // three rows added, one cell changed

    // A destination the run makes had nothing before.
    const Result created = Run({"copy", drawing, "--from", "page:Page-1/Source",
                                "--create-destination", "--section", "User-defined Cells",
                                "--dry-run", "--diff", "--json"});
    ASSERT_EQ(created.status, 0) << created.err;
    const Json made = Json::parse(created.out).at("destinations").at(0).at("diff");
    EXPECT_TRUE(made.at("a").is_null()) << made;
    EXPECT_EQ(made.at("differences"), 3) << made;
}

TEST_F(Diff, MistakesAndMissingFilesHaveTheirExitStatus) {
    const std::string a = "page:Page-1/Sheet.1", b = "page:Page-1/Sheet.2";
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* says;
    } cases[] = {
        {{"diff", properties, a}, 2, "give FILE A B"},
        {{"diff", properties, a, "page:Page-1/Sheet.99"}, 2, "Sheet.99"},
        {{"diff", properties, a, b, "--section", "Nonsense"}, 2, "Nonsense"},
        {{"diff", properties, folder.Path("missing.vsdx"), a}, 3, "missing.vsdx"},
        // In Visio the documents are named in the OBJECTs, never as files.
        {{"--visio", "diff", properties, a, b}, 2, "give A B"},
        {{"--visio", "diff", a}, 2, "FILE"},
#ifdef _WIN32
        // No Visio runs beside the tests: 1402, a file status.
        {{"--visio", "diff", a, b}, 3, "Visio"},
#else
        {{"--visio", "diff", a, b}, 2, "only the Windows build"},
#endif
    };
    for (const auto& each : cases) {
        const Result result = Run(each.arguments);
        EXPECT_EQ(result.status, each.status) << each.arguments.back() << '\n' << result.err;
        EXPECT_NE(result.err.find(each.says), std::string::npos) << result.err;
    }
    const Result help = Run({"diff", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("diff FILE1 FILE2 A B"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace tess::test
