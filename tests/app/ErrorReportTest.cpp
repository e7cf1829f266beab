#include "app/ErrorReport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/ScriptedPrompt.h"

namespace tess::app {
namespace {

TEST(ErrorReport, ShowsModuleProcedureNumberAndDescriptionOnThreeLines) {
    test::ScriptedPrompt prompt;
    ErrorReport("modGeneral", "Main", Error(438, "Object doesn't support this property"));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text,
              "Problem in modGeneral.Main\r\nError Number: 438\r\n"
              "Error Description: Object doesn't support this property");
    EXPECT_EQ(prompt.messages[0].style, 64);
    EXPECT_EQ(prompt.messages[0].title, "Tessaline");
}

TEST(ErrorReport, NegativeHostNumbersKeepTheirSignAndEmptyDescriptionsTheirLabel) {
    test::ScriptedPrompt prompt;
    ErrorReport("frmCellCopy", "BeginCopy", Error(-2032465751, ""));
    EXPECT_EQ(
        prompt.messages.at(0).text,
        "Problem in frmCellCopy.BeginCopy\r\nError Number: -2032465751\r\nError Description: ");
}

TEST(Trap, ReportsAFailureOnceAndLetsTheProcedureGoOn) {
    test::ScriptedPrompt prompt;
    int reached = 0;
    const bool completed = Trap("modRowsTab", "CheckRow", [&] {
        ++reached;
        Raise(1001, "Item does not exist for this registry key");
        ++reached;
    });
    EXPECT_FALSE(completed);
    EXPECT_EQ(reached, 1);
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text,
              "Problem in modRowsTab.CheckRow\r\nError Number: 1001\r\n"
              "Error Description: Item does not exist for this registry key");

    EXPECT_TRUE(Trap("modRowsTab", "CheckRow", [] {}));
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST(Trap, TurnsLibraryFailuresIntoRuntimeErrorNumbers) {
    test::ScriptedPrompt prompt;
    Trap("m", "p", [] { throw std::out_of_range("vector"); });
    Trap("m", "p", [] { throw std::bad_alloc(); });
    Trap("m", "p", [] { throw std::logic_error("broken invariant"); });
    ASSERT_EQ(prompt.messages.size(), 3u);
    EXPECT_NE(prompt.messages[0].text.find(
                  "Error Number: 9\r\nError Description: Subscript out of range"),
              std::string::npos);
    EXPECT_NE(prompt.messages[1].text.find("Error Number: 7\r\n"), std::string::npos);
    EXPECT_NE(
        prompt.messages[2].text.find("Error Number: 51\r\nError Description: broken invariant"),
        std::string::npos);
}

TEST(IgnoreFailure, SwallowsTheFailureSilently) {
    test::ScriptedPrompt prompt;
    EXPECT_FALSE(IgnoreFailure([] { Raise(5, "x"); }));
    EXPECT_TRUE(IgnoreFailure([] {}));
    EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
}  // namespace tess::app
