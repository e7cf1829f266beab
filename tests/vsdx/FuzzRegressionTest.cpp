// The package fuzz target's round, run without the fuzzer: every sample goes through it whole
// (open, list, copy, save, read back), and every input kept from a finding goes through it as
// its fix says it now does.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "fuzz/PackageRound.h"
#include "support/Samples.h"

namespace tess::test {
namespace {

TEST(FuzzRound, EverySampleIsCopiedSavedAndReadBack) {
    for (const std::string& path : SampleFiles()) {
        SCOPED_TRACE(path);
        const fuzz::RoundResult result = fuzz::PackageRound(FileBytes(path));
        EXPECT_EQ(result.refusal.value_or(""), "");
        EXPECT_EQ(result.readBackFailure.value_or(""), "");
    }
}

/// Each kept input, by file name, and what its round must end with now: a refusal or a message
/// of the copy run holding that text, and the written package read back.
const std::map<std::string, std::string> kExpected = {
    // Read: a shape ID whose successor overflows.
    {"shape-id-at-the-integer-limit", "has a Shape with an ID no drawing has ('2147483647')"},
    // Save: two shapes of a page with one ID, which the writer took for one another.
    {"two-shapes-with-one-id", "has two shapes with the ID 1 in 'visio/pages/page1.xml'"},
    // Save: a Geometry section of 40,000 rows, whose rows the writer compared each with each.
    {"forty-thousand-geometry-rows", "Clone Complete."},
    // Copy: a group's sub-shapes replaced into one of its own members, copying the copies
    // without end.
    {"sub-shapes-replaced-into-a-member-of-the-source",
     "The source and the destinations must not lie one inside another"},
    // Save: a master part and a relationships part whose XML declarations hold tag-like text,
    // written back cut short at the first of them.
    {"a-declaration-holding-tags", "Clone Complete."},
    {"a-relationships-declaration-holding-tags", "Clone Complete."},
};

TEST(FuzzRound, KeptFindingsEndAsTheirFixesSay) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(TESSALINE_FUZZ_REGRESSIONS))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    for (const auto& [file, text] : kExpected)
        EXPECT_TRUE(std::binary_search(files.begin(), files.end(), file)) << file;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const auto expected = kExpected.find(file);
        ASSERT_NE(expected, kExpected.end()) << "a kept input without its expected outcome";
        const fuzz::RoundResult result =
            fuzz::PackageRound(FileBytes(std::string(TESSALINE_FUZZ_REGRESSIONS) + "/" + file));
        EXPECT_EQ(result.readBackFailure.value_or(""), "");
        std::vector<std::string> said = result.messages;
        said.push_back(result.refusal.value_or(""));
        EXPECT_TRUE(std::any_of(said.begin(), said.end(), [&](const std::string& text) {
            return text.find(expected->second) != std::string::npos;
        })) << testing::PrintToString(said);
    }
}

}  // namespace
}  // namespace tess::test
