// The settings store's rules and the copy options kept in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/registry/FileRegistry.h"
#include "platform/visio/Error.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"
#include "window/Settings.h"

namespace tess::test {
namespace {

using namespace registry;
using engine::CopyType;
using engine::SubShapes;
constexpr const char* kKey = "Software\\Maker\\Program";

class Settings : public ::testing::Test {
protected:
    static int32_t ErrorOf(const std::function<void()>& body) {
        try {
            body();
        } catch (const Error& error) {
            return error.Number();
        }
        return 0;
    }

    void CreateRegistryKey(uint32_t root, const std::string& path) {
        registry.CreateRegistryKey(root, path);
    }
    void CreateRegistryValue(uint32_t root, const std::string& path, const std::string& name,
                             const std::string& text) {
        registry.CreateRegistryValue(root, path, name, text);
    }
    std::string GetRegistryString(uint32_t root, const std::string& path, const std::string& name) {
        return registry.GetRegistryString(root, path, name);
    }
    void SetRegistryString(uint32_t root, const std::string& path, const std::string& name,
                           const std::string& text) {
        registry.SetRegistryString(root, path, name, text);
    }
    std::vector<std::string> EnumRegistryValues(uint32_t root, const std::string& path) {
        return registry.EnumRegistryValues(root, path);
    }
    void Read(window::StoredOptions& options) {
        window::ReadRegistrySettings(registry, prompt, options);
    }
    void Write(const window::StoredOptions& options) {
        window::WriteRegistrySettings(registry, prompt, options);
    }

    TempFolder folder;
    FileRegistry store{folder.Path("config/tessaline/settings.tsv")};
    Registry registry{store};
    ScriptedPrompt prompt;
};

TEST_F(Settings, ValuesKeepTheRegistrysRules) {
    EXPECT_EQ(ErrorOf([&] { GetRegistryString(HKEY_CURRENT_USER, kKey, "A"); }),
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
    EXPECT_EQ(ErrorOf([&] { GetRegistryString(HKEY_CURRENT_USER, kKey, "Long"); }),
              regerr::kItemMissing);
    // Names compare without regard to case, as in the registry.
    SetRegistryString(HKEY_CURRENT_USER, "software\\MAKER\\program", "empty",
                      "tab\there\nand a line");
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, kKey, "Empty"), "tab\there\nand a line");
    // What the file's own syntax uses comes back as written.
    SetRegistryString(HKEY_CURRENT_USER, kKey, "Quoted", "say \"hi\" \\ to \"C:\\x\"\t");
    EXPECT_EQ(FileRegistry(store.Path()).ReadValue(HKEY_CURRENT_USER, kKey, "Quoted"),
              "say \"hi\" \\ to \"C:\\x\"\t");
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
    EXPECT_EQ(ErrorOf([&] { GetRegistryString(HKEY_CURRENT_USER, kKey, "Last"); }),
              regerr::kItemMissing);
}

TEST_F(Settings, OptionsStartFromTheDefaultsAndReadBackAsWritten) {
    window::StoredOptions options;
    Read(options);
    EXPECT_EQ(options.copy.copyType, CopyType::Overwrite);
    EXPECT_EQ(options.copy.subShapes, SubShapes::Ignore);
    EXPECT_FALSE(options.copy.copyShapeText);
    EXPECT_TRUE(options.copy.createDestination);
    EXPECT_TRUE(options.leaveRunning);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, window::kSettingsKey, "SubShape"), "1");

    options.copy.copyType = CopyType::Append;
    options.copy.subShapes = SubShapes::ReplaceAll;
    options.copy.copyHelpString = true;
    options.copy.createDestination = false;
    Write(options);
    EXPECT_EQ(GetRegistryString(HKEY_CURRENT_USER, window::kSettingsKey, "SubShape"), "3");
    window::StoredOptions read;
    Read(read);
    EXPECT_EQ(read.copy.copyType, CopyType::Append);
    EXPECT_EQ(read.copy.subShapes, SubShapes::ReplaceAll);
    EXPECT_TRUE(read.copy.copyHelpString);
    EXPECT_FALSE(read.copy.createDestination);  // "0" leaves the box as designed
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Settings, StrayValuesFallBackToTheFirstChoice) {
    const auto read = [&](const char* name, const char* text) {
        CreateRegistryKey(HKEY_CURRENT_USER, window::kSettingsKey);
        SetRegistryString(HKEY_CURRENT_USER, window::kSettingsKey, name, text);
        window::StoredOptions options;
        options.copy.copyType = CopyType::Append;
        options.copy.subShapes = SubShapes::CopyCells;
        Read(options);
        return options.copy;
    };
    EXPECT_EQ(read("CopyType", "2").copyType, CopyType::Overwrite);
    EXPECT_EQ(read("CopyType", "abc").copyType, CopyType::Overwrite);
    EXPECT_EQ(read("CopyType", " 1xyz ").copyType, CopyType::Append);
    for (const char* text : {"0", "4", ""})
        EXPECT_EQ(read("SubShape", text).subShapes, SubShapes::Ignore) << text;
    EXPECT_EQ(read("SubShape", "2").subShapes, SubShapes::CopyCells);
    EXPECT_EQ(read("SubShape", "3").subShapes, SubShapes::ReplaceAll);

    // A number beyond 16 bits is reported; the options read before it keep their new state.
    SetRegistryString(HKEY_CURRENT_USER, window::kSettingsKey, "SubShape", "3");
    SetRegistryString(HKEY_CURRENT_USER, window::kSettingsKey, "CopyShapeText", "99999");
    SetRegistryString(HKEY_CURRENT_USER, window::kSettingsKey, "CopyHelpString", "1");
    window::StoredOptions options;
    Read(options);
    EXPECT_EQ(options.copy.subShapes, SubShapes::ReplaceAll);
    EXPECT_FALSE(options.copy.copyHelpString);
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_NE(prompt.messages.back().text.find("frmCellCopy.ReadRegistrySettings"),
              std::string::npos);
    EXPECT_NE(prompt.messages.back().text.find("Error Number: 6"), std::string::npos);
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    EXPECT_EQ(window::LeadingNumber(""), 0);
    EXPECT_EQ(window::LeadingNumber("abc"), 0);
    EXPECT_EQ(window::LeadingNumber("3abc"), 3);
    EXPECT_EQ(window::LeadingNumber(" -2.5e1x"), -25);
}

}  // namespace
}  // namespace tess::test
