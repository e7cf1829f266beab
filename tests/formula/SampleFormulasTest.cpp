#include <gtest/gtest.h>

#include "formula/Evaluate.h"
#include "support/Samples.h"

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

}  // namespace
}  // namespace tess::formula
