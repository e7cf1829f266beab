// The settings store's rules and the copy options kept in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/CopyOptions.h"
#include "platform/registry/FileRegistry.h"
#include "platform/visio/Error.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"

namespace tess::test {
namespace {

using namespace registry;
constexpr const char* kKey = "Software\\Maker\\Program";

class Settings : public ::testing::Test {
protected:
    void SetUp() override { SetBackend(&store); }
    void TearDown() override { SetBackend(nullptr); }

    static int32_t ErrorOf(const std::function<void()>& body) {
        try {
            body();
        } catch (const Error& error) {
            return error.Number();
        }
        return 0;
    }

    TempFolder folder;
    FileRegistry store{folder.Path("config/tessaline/settings.tsv")};
    ScriptedPrompt prompt;
};

TEST_F(Settings, ValuesKeepTheRegistrysRules) {
    EXPECT_EQ(ErrorOf([] { GetRegistryString(HKEY_CURRENT_USER, kKey, "A"); }),
              regerr::kKeyMissing);
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    try {
        GetRegistryString(HKEY_CURRENT_USER, kKey, "A");
        ADD_FAILURE();
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), 1001);
        EXPECT_EQ(error.Description(), "Item does not exist for this registry key");
    }
    SetRegistryString(HKEY_CURRENT_USER, kKey, "Empty", "");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kKey, "Empty"), " ");
    SetRegistryString(HKEY_CURRENT_USER, kKey, "Long", std::string(1023, 'x'));
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kKey, "Long").size(), 1023u);
    SetRegistryString(HKEY_CURRENT_USER, kKey, "Long", std::string(1024, 'x'));
    EXPECT_EQ(ErrorOf([] { GetRegistryString(HKEY_CURRENT_USER, kKey, "Long"); }),
              regerr::kItemMissing);
    // Names compare without regard to case, as in the registry.
    SetRegistryString(HKEY_CURRENT_USER, "software\\MAKER\\program", "empty",
                      "tab\there\nand a line");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kKey, "Empty"), "tab\there\nand a line");
}

TEST_F(Settings, EnumerationKeepsTheOrderAndStopsAtAnOverlongValue) {
    CreateRegistryKey(HKEY_CURRENT_USER, kKey);
    SetRegistryString(HKEY_CURRENT_USER, kKey, "A", "1");
    SetRegistryString(HKEY_CURRENT_USER, kKey, "B", "x");
    EXPECT_EQ(EnumRegistryValues(HKEY_CURRENT_USER, kKey),
              (std::vector<std::string>{"A\\\\1", "B\\\\x"}));
    SetRegistryString(HKEY_CURRENT_USER, kKey, "C", std::string(300, 'y'));
    SetRegistryString(HKEY_CURRENT_USER, kKey, "D", "z");
    EXPECT_EQ(EnumRegistryValues(HKEY_CURRENT_USER, kKey).size(), 2u);
    // What was written is there for the next reader of the file.
    FileRegistry again(store.Path());
    EXPECT_EQ(again.Values(HKEY_CURRENT_USER, kKey).size(), 4u);
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(folder.Path("config/tessaline")))
        ++files;
    EXPECT_EQ(files, 1u);  // no temporary file left behind
}

TEST_F(Settings, CreatingAValueKeepsOneThatIsThereOrSeemsToBe) {
    CreateRegistryValue(HKEY_CURRENT_USER, kKey, "Mode", "first");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kKey, "Mode"), "first");
    CreateRegistryValue(HKEY_CURRENT_USER, kKey, "Mode", "second");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kKey, "Mode"), "first");
    // Any value whose name or data holds the name counts as present.
    SetRegistryString(HKEY_CURRENT_USER, kKey, "Other", "LastMode");
    CreateRegistryValue(HKEY_CURRENT_USER, kKey, "Last", "x");
    EXPECT_EQ(ErrorOf([] { GetRegistryString(HKEY_CURRENT_USER, kKey, "Last"); }),
              regerr::kItemMissing);
}

TEST_F(Settings, OptionsStartFromTheDefaultsAndReadBackAsWritten) {
    engine::OptionControls options;
    engine::ReadRegistrySettings(options);
    EXPECT_TRUE(options.optOverwrite);
    EXPECT_TRUE(options.optIgnoreSubShapes);
    EXPECT_EQ(options.chkCopyShapeText.value, 0);
    EXPECT_EQ(options.chkCreateDestination.value, 1);
    EXPECT_EQ(options.chkLeaveTessalineRunning.value, 1);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, engine::kSettingsKey, "SubShape"), "1");

    options.SelectAppend();
    options.SelectReplaceSubShapes();
    options.chkCopyHelpString.value = 1;
    options.chkCreateDestination.value = 0;
    engine::WriteRegistrySettings(options);
    engine::OptionControls read;
    engine::ReadRegistrySettings(read);
    EXPECT_TRUE(read.optAppend);
    EXPECT_TRUE(read.optReplaceSubShapes);
    EXPECT_EQ(read.chkCopyHelpString.value, 1);
    EXPECT_EQ(read.chkCreateDestination.value, 0);  // "0" leaves the box as designed
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Settings, StrayValuesFallBackToTheFirstChoice) {
    const auto read = [&](const char* name, const char* text) {
        CreateRegistryKey(HKEY_CURRENT_USER, engine::kSettingsKey);
        SetRegistryString(HKEY_CURRENT_USER, engine::kSettingsKey, name, text);
        engine::OptionControls options;
        options.SelectAppend();
        options.SelectCopySubShapes();
        engine::ReadRegistrySettings(options);
        return options;
    };
    EXPECT_TRUE(read("CopyType", "2").optOverwrite);
    EXPECT_TRUE(read("CopyType", "abc").optOverwrite);
    EXPECT_TRUE(read("CopyType", " 1xyz ").optAppend);
    for (const char* text : {"0", "4", ""})
        EXPECT_TRUE(read("SubShape", text).optIgnoreSubShapes) << text;
    EXPECT_TRUE(read("SubShape", "2").optCopySubShapes);
    EXPECT_TRUE(read("SubShape", "3").optReplaceSubShapes);

    // A number beyond 16 bits is reported; the options read before it keep their new state.
    SetRegistryString(HKEY_CURRENT_USER, engine::kSettingsKey, "SubShape", "3");
    SetRegistryString(HKEY_CURRENT_USER, engine::kSettingsKey, "CopyShapeText", "99999");
    SetRegistryString(HKEY_CURRENT_USER, engine::kSettingsKey, "CopyHelpString", "1");
    engine::OptionControls options;
    engine::ReadRegistrySettings(options);
    EXPECT_TRUE(options.optReplaceSubShapes);
    EXPECT_EQ(options.chkCopyHelpString.value, 0);
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_NE(prompt.messages.back().text.find("frmCellCopy.ReadRegistrySettings"),
              std::string::npos);
    EXPECT_NE(prompt.messages.back().text.find("Error Number: 6"), std::string::npos);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    EXPECT_EQ(engine::LeadingNumber(""), 0);
    EXPECT_EQ(engine::LeadingNumber("abc"), 0);
    EXPECT_EQ(engine::LeadingNumber("3abc"), 3);
    EXPECT_EQ(engine::LeadingNumber(" -2.5e1x"), -25);
}

}  // namespace
}  // namespace tess::test
