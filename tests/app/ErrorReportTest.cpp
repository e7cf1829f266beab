#include "app/ErrorReport.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/ScriptedPrompt.h"

namespace tess::app {
namespace {

TEST(ErrorReport, ShowsModuleProcedureNumberAndDescriptionOnThreeLines) {
    test::ScriptedPrompt prompt;
    ErrorReport(prompt, proc::Main, Error(438, "Object doesn't support this property"));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text,
              "Problem in modGeneral.Main\r\nError Number: 438\r\n"
              "Error Description: Object doesn't support this property");
    EXPECT_EQ(prompt.messages[0].style, Style::Report);
    EXPECT_EQ(prompt.messages[0].title, "Tessaline");
}

TEST(ErrorReport, NegativeHostNumbersKeepTheirSignAndEmptyDescriptionsTheirLabel) {
    test::ScriptedPrompt prompt;
    ErrorReport(prompt, proc::BeginCopy, Error(-2032465751, ""));
    EXPECT_EQ(
        prompt.messages.at(0).text,
        "Problem in frmCellCopy.BeginCopy\r\nError Number: -2032465751\r\nError Description: ");
}

TEST(Trap, ReportsAFailureOnceAndLetsTheProcedureGoOn) {
    test::ScriptedPrompt prompt;
    int reached = 0;
    const bool completed = Trap(prompt, proc::CheckRow, [&] {
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

    EXPECT_TRUE(Trap(prompt, proc::CheckRow, [] {}));
    EXPECT_EQ(prompt.messages.size(), 1u);
}

TEST(Trap, TurnsLibraryFailuresIntoRuntimeErrorNumbers) {
    test::ScriptedPrompt prompt;
    const Procedure any{"m", "p"};
    Trap(prompt, any, [] { throw std::out_of_range("vector"); });
    Trap(prompt, any, [] { throw std::bad_alloc(); });
    Trap(prompt, any, [] { throw std::logic_error("broken invariant"); });
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
    EXPECT_FALSE(IgnoreFailure([] { Raise(5, "x"); }));
    EXPECT_TRUE(IgnoreFailure([] {}));
}

TEST(Raise, TakesTheDescriptionOfTheProgramsOwnNumbersFromTheTable) {
    for (const int32_t number : {err::kOverflow, err::kSubscriptOutOfRange, err::kObjectNotSet,
                                 err::kKeyNotUnique, err::kElementNotFound}) {
        try {
            Raise(number);
            ADD_FAILURE() << number;
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), number);
            EXPECT_EQ(error.Description(), err::DescriptionOf(number));
            EXPECT_FALSE(error.Description().empty()) << number;
        }
    }
}

}  // namespace
}  // namespace tess::app
