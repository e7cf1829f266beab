#include "app/StringTable.h"

#include <gtest/gtest.h>

#include "engine/SectionCatalogue.h"

namespace tess::app {
namespace {

TEST(StringTable, HoldsTheProgramsTextsExactly) {
    EXPECT_EQ(LoadResString(101), "Tessaline");
    EXPECT_EQ(LoadResString(202), "Tessaline 2003 (%s)");
    EXPECT_EQ(LoadResString(600), "------------Main Form------------");
    EXPECT_EQ(LoadResString(610), "Cop&y");
    EXPECT_EQ(LoadResString(743), "Ruler & Grid");
    EXPECT_EQ(LoadResString(804), "Row Or&der");
    EXPECT_EQ(LoadResString(1107),
              "Copy specified cells from source sub-shapes to destination sub-shapes");
    EXPECT_EQ(LoadResString(1113), "Leave Tessaline running after copy operation is finished");
    EXPECT_EQ(LoadResString(1401), "Tessaline is already running.");
    EXPECT_EQ(LoadResString(1402), "Tessaline requires a Visio document to be open.");
    EXPECT_EQ(LoadResString(1503), "For Visio consulting, custom development, and training visit");
}

TEST(StringTable, SectionBoxCaptionsFollowTheIndexRule) {
    // Box i takes 702 + i, 741 + (i - 40) or 761 + (i - 50).
    for (const auto& entry : engine::CatalogueEntries()) {
        const int base = entry.index < 40 ? 702 : entry.index < 50 ? 741 - 40 : 761 - 50;
        EXPECT_EQ(entry.captionId, base + entry.index) << "box " << entry.index;
        EXPECT_FALSE(LoadResString(entry.captionId).empty());
    }
    EXPECT_EQ(LoadResString(702), "1-D End Points");
    EXPECT_EQ(LoadResString(720), "Tabs");
    EXPECT_EQ(LoadResString(730), "Smart Tags");
    EXPECT_EQ(LoadResString(746), "Print Properties");
    EXPECT_EQ(LoadResString(762), "Reviewer");
}

TEST(StringTable, OurOwnTextsAreFilledAndAnUnknownIdFails) {
    for (int id : {203, 206, 1501, 1502})
        EXPECT_FALSE(LoadResString(id).empty()) << id;
    try {
        LoadResString(99999);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), 326);
    }
}

}  // namespace
}  // namespace tess::app
