// check --values: the values Visio stored in every sample, computed again by the model, and what
// the command prints and returns for a drawing whose stored values are wrong.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliRun.h"
#include "cli/ValuesCheck.h"
#include "support/Samples.h"

namespace tess::test {
namespace {

using Json = nlohmann::json;

Json ValuesOf(const std::vector<std::string>& files) {
    std::ostringstream out;
    cli::CheckOptions options;
    options.files = files;
    options.values = true;
    options.json = true;
    cli::RunCheckValues(options, out);
    return Json::parse(out.str());
}

// Every sample, with how many of its stored values the model computes as Visio stored them:
// pinned, so that a change in the evaluation shows here.
TEST(SampleValues, AgreeWithWhatVisioStored) {
    struct Sample {
        std::string file;
        size_t agree, values;
        bool meetsTarget = true;  // a thousandth of its values or fewer disagree
    };
    // The architecture drawing's themed shapes take their styles from a theme part whose
    // effect scheme, and quick style colors numbered from 200, this model does not compute.
    const std::vector<Sample> samples = {
        {"BFlowcht.vsdx", 3485, 3485},
        {"Boxes.vssx", 9969, 9971},
        {"Connectors.vssx", 2999, 2999},
        {"DrawingComment.vsdx", 610, 610},
        {"SimpleMacro.vsdm", 552, 552},
        {"aspose-hyperlinks-Drawing1.vsdx", 1314, 1314},
        {"office_varient4.vsdx", 900, 900},
        {"ppbt-architecture.vsdx", 2834, 2837, false},
        {"test10_nested_shapes.vsdx", 814, 814},
        {"test6_shape_properties.vsdx", 960, 960},
        {"testVISIO.vstx", 1766, 1766},
        {"test_master_multiple_child_shapes.vsdx", 1436, 1436},
        {"test_text_extraction.vsdx", 1278, 1278},
        {"testfile1.vsdx", 3066, 3066},
    };
    ASSERT_EQ(samples.size(), SampleFiles().size());
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.file);
        const Json json = ValuesOf({SamplePath(sample.file)});
        EXPECT_EQ(json.at("agree").get<size_t>(), sample.agree);
        EXPECT_EQ(json.at("values").get<size_t>(), sample.values);
        if (sample.meetsTarget) {
            EXPECT_GE(sample.agree * 1000, sample.values * 999);
        }
        EXPECT_EQ(json.at("disagreements").size(), sample.values - sample.agree);
    }
}

class ValuesCheck : public Cli {
protected:
    /// A drawing of MakeDrawing's whose file says User.Alpha and User.Beta hold 5 and 6 (their
    /// formulas give 1 and 2) and that User.Gamma (3) shows #REF!.
    std::string WithWrongValues(const std::string& drawing) {
        std::vector<ZipEntry> entries = ReadZip(drawing);
        for (ZipEntry& entry : entries) {
            if (entry.name != "visio/pages/page1.xml") continue;
            for (const auto& [from, to] :
                 {std::pair{"'Alpha'><Cell N='Value' V='1'", "'Alpha'><Cell N='Value' V='5'"},
                  std::pair{"'Beta'><Cell N='Value' V='2'", "'Beta'><Cell N='Value' V='6'"},
                  std::pair{"'Gamma'><Cell N='Value' V='3'",
                            "'Gamma'><Cell N='Value' V='3' E='#REF!'"}}) {
                const size_t at = entry.content.find(from);
                EXPECT_NE(at, std::string::npos) << from;
                if (at != std::string::npos) entry.content.replace(at, std::string(from).size(), to);
            }
        }
        const std::string path = folder.Path("wrong.vsdx");
        WriteZip(path, entries);
        return path;
    }
};

TEST_F(ValuesCheck, PrintsEachDisagreementByCauseAndEndsWithTheAgreement) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    const Result clean = Run({"check", "--values", drawing});
    ASSERT_EQ(clean.status, 0) << clean.err;
    const size_t values = Json::parse(Run({"check", "--values", "--json", drawing}).out)
                              .at("values")
                              .get<size_t>();
    ASSERT_GT(values, 3u);
    EXPECT_EQ(clean.out, std::to_string(values) + " of " + std::to_string(values) +
                             " values agree\n");

    const Result wrong = Run({"check", "--values", WithWrongValues(drawing)});
    EXPECT_EQ(wrong.status, 1) << wrong.err;
    EXPECT_EQ(wrong.out,
              "2 values, values differ (no function), as in page:Page-1/Sheet.1\tUser.Alpha.Value\t"
              "Width*1\tVisio 5\tours 1\n"
              "page:Page-1/Sheet.1\tUser.Gamma.Value\tWidth*3\tVisio #REF!\tours 3\n" +
                  std::to_string(values - 3) + " of " + std::to_string(values) +
                  " values agree\n");
}

TEST_F(ValuesCheck, JsonListsEveryDisagreementAndItsGroup) {
    const Json json = Json::parse(
        Run({"check", "--values", "--json", WithWrongValues(MakeDrawing("drawing.vsdx"))}).out);
    ASSERT_EQ(json.at("disagreements").size(), 3u);
    EXPECT_EQ(json.at("agree").get<size_t>() + 3, json.at("values").get<size_t>());
    EXPECT_EQ(json.at("perFile").at(0).at("file"), "wrong.vsdx");
    EXPECT_EQ(json.at("perFile").at(0).at("agree"), json.at("agree"));
    const Json& gamma = json.at("disagreements").at(2);
    EXPECT_EQ(gamma.at("cell"), "User.Gamma.Value");
    EXPECT_EQ(gamma.at("visio"), "#REF!");
    EXPECT_EQ(gamma.at("ours"), "3");
    ASSERT_EQ(json.at("groups").size(), 2u);
    EXPECT_EQ(json.at("groups").at(0).at("count"), 2);
    EXPECT_EQ(json.at("groups").at(0).at("first"), 0);
    EXPECT_EQ(json.at("groups").at(1).at("cause"), gamma.at("cause"));
}

TEST_F(ValuesCheck, ExitsAsTheOtherCommandsDoOnMistakesAndUnreadableFiles) {
    EXPECT_EQ(Run({"check", "--values"}).status, 2);
    EXPECT_EQ(Run({"check", "--values", folder.Path("missing.vsdx")}).status, 3);
    const std::string text = folder.Path("not a drawing.vsdx");
    WriteBytes(text, "plain text");
    const Result result = Run({"check", "--values", text});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("not a drawing.vsdx"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace tess::test
