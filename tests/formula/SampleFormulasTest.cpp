#include <gtest/gtest.h>

#include <sstream>

#include "cli/Commands.h"
#include "formula/Evaluate.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace tess::formula {
namespace {

TEST(SampleFormulas, EveryFormulaOfEverySampleParsesWithKnownNames) {
    size_t total = 0;
    for (const std::string& path : test::SampleFiles()) {
        for (const std::string& text : test::FormulasInPackage(path)) {
            ++total;
            const ParseResult parsed = Parse(text);
            ASSERT_FALSE(parsed.error) << path << ": " << text << " at " << parsed.error->position
                                       << ": " << parsed.error->message;
            for (const Node& node : parsed.formula.nodes) {
                if (node.kind == NodeKind::Call) {
                    EXPECT_TRUE(IsKnownFunction(parsed.formula.FunctionName(node)))
                        << path << ": " << text;
                }
            }
            for (const Reference& reference : parsed.formula.references) {
                EXPECT_TRUE(reference.cellText.empty() || reference.cell)
                    << path << ": " << reference.cellText;
            }
        }
    }
    EXPECT_EQ(test::SampleFiles().size(), 14u);
    EXPECT_GT(total, 8000u);
}

struct CheckResult {
    int status = -1;
    std::string report;
};

CheckResult Check(const std::string& path) {
    std::ostringstream report;
    cli::CheckOptions options;
    options.files = {path};
    const int status = cli::RunCheck(options, report);
    return {status, report.str()};
}

TEST(SampleFormulas, CheckReportsNothingInAnyRealSample) {
    for (const std::string& path : test::SampleFiles()) {
        const CheckResult result = Check(path);
        EXPECT_EQ(result.status, 0) << path;
        EXPECT_NE(result.report.find(" formulas checked, 0 broken\n"), std::string::npos)
            << path << ": " << result.report;
    }
}

TEST(SampleFormulas, CheckAcceptsWhatVisioWritesAndNamesWhatIsMissing) {
    // A real drawing with formulas Visio writes into themed, measured and stencil-bound shapes,
    // and one reference to a shape that is gone.
    const std::string rows =
        "<Section N='User'>"
        "<Row N='Themed'><Cell N='Value' V='0' F='IF(CELLISTHEMED(TRUE),THEMEVAL(),0)'/></Row>"
        "<Row N='Stencil'><Cell N='Value' V='0' "
        "F='USE({0F407BE3-C0DE-4B2C-9F1A-0123456789AB})'/></Row>"
        "<Row N='Span'><Cell N='Value' V='21' F='BOUND(1FT 9IN,0,FALSE,0,2FT 6IN)'/></Row>"
        "<Row N='Bearing'><Cell N='Value' V='0' F='45deg 30&apos; 36&quot;+2p6'/></Row>"
        "<Row N='Gone'><Cell N='Value' V='0' F='Sheet.30!Width'/></Row>"
        "</Section>";
    const std::string anchor = "<Cell N='ResizeMode' V='0'/>";
    auto entries = test::ReadZip(test::SamplePath("test6_shape_properties.vsdx"));
    for (test::ZipEntry& entry : entries) {
        if (entry.name != "visio/pages/page1.xml") continue;
        const size_t at = entry.content.find(anchor);
        ASSERT_NE(at, std::string::npos);
        entry.content.insert(at + anchor.size(), rows);
    }
    test::TempFolder folder;
    const std::string drawing = folder.Path("themed.vsdx");
    test::WriteZip(drawing, entries);

    const CheckResult result = Check(drawing);
    EXPECT_EQ(result.status, 1);
    const std::string broken =
        "page:Page-1/Sheet.1\tUser.Gone.Value\tSheet.30!Width\tno such sheet 'Sheet.30'\n1 file, ";
    EXPECT_EQ(result.report.substr(0, broken.size()), broken);
    EXPECT_TRUE(result.report.ends_with(" formulas checked, 1 broken\n")) << result.report;
}

}  // namespace
}  // namespace tess::formula
