// The settings store on Windows is the registry itself: the rules of the store hold there, and
// the copy options land under the program's key of the current user's hive.
#include <gtest/gtest.h>

#include "platform/registry/Registry.h"
#include "platform/visio/Error.h"
#include "support/ScriptedPrompt.h"
#include "window/Settings.h"

#include "platform/windows/Windows.h"

namespace tess::test {
namespace {

// The root as the program passes it (windows.h has made the name a macro of another type here).
constexpr uint32_t kCurrentUser = 0x80000001u;
constexpr const char* kParent = "Software\\TessalineTests";
const std::string kKey = std::string(kParent) + "\\Registry";

int32_t ErrorOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const Error& error) {
        return error.Number();
    }
    return 0;
}

/// What the registry holds, read with the system's own calls rather than the program's.
std::string StoredText(const std::string& path, const std::string& name) {
    char data[2048] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueA(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_ANY, &type, data,
                     &size) != ERROR_SUCCESS || type != REG_SZ)
        return "<missing or not a string>";
    return data;
}

class WindowsRegistry : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kParent);
        RegDeleteTreeA(HKEY_CURRENT_USER, window::kSettingsKey);
    }

    std::unique_ptr<registry::IRegistryBackend> backend = registry::MakePlatformBackend();
    registry::Registry store{*backend};
};

TEST_F(WindowsRegistry, WritesReadBackAndFailuresHaveTheirNumbers) {
    using namespace registry;
    EXPECT_EQ(ErrorOf([&] { store.GetRegistryString(kCurrentUser, kKey, "A"); }),
              regerr::kKeyMissing);
    EXPECT_EQ(ErrorOf([&] { store.SetRegistryString(kCurrentUser, kKey, "A", "1"); }),
              regerr::kKeyMissing);
    store.CreateRegistryKey(kCurrentUser, kKey);
    try {
        store.GetRegistryString(kCurrentUser, kKey, "A");
        ADD_FAILURE() << "a missing value was read";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), 1001);
        EXPECT_EQ(error.Description(), "Item does not exist for this registry key");
    }
    store.SetRegistryString(kCurrentUser, kKey, "A", "one");
    EXPECT_EQ(store.GetRegistryString(kCurrentUser, kKey, "A"), "one");
    EXPECT_EQ(StoredText(kKey, "A"), "one");
    store.SetRegistryString(kCurrentUser, kKey, "Empty", "");
    EXPECT_EQ(StoredText(kKey, "Empty"), " ");
    store.SetRegistryString(kCurrentUser, kKey, "Long", std::string(1023, 'x'));
    EXPECT_EQ(store.GetRegistryString(kCurrentUser, kKey, "Long").size(), 1023u);
    store.SetRegistryString(kCurrentUser, kKey, "Long", std::string(1024, 'x'));
    EXPECT_EQ(ErrorOf([&] { store.GetRegistryString(kCurrentUser, kKey, "Long"); }),
              regerr::kItemMissing);
    // The registry's own case rules.
    EXPECT_EQ(store.GetRegistryString(kCurrentUser, "software\\TESSALINETESTS\\registry", "a"),
              "one");

    // A key under a root that is no registry root cannot be made.
    try {
        store.CreateRegistryKey(0x12345678u, "Software\\Nowhere");
        ADD_FAILURE() << "a key was made under no root";
    } catch (const Error& error) {
        EXPECT_EQ(error.Number(), 1002);
        EXPECT_EQ(error.Description(), "Unable to create the registry key");
    }
    EXPECT_EQ(ErrorOf([&] { store.OpenRegistryKey(0x12345678u, "Software"); }),
              regerr::kKeyMissing);
}

TEST_F(WindowsRegistry, EnumerationAndCreatingAValueFollowTheRegistry) {
    using namespace registry;
    store.CreateRegistryValue(kCurrentUser, kKey, "A", "first");  // makes the key too
    store.CreateRegistryValue(kCurrentUser, kKey, "A", "second");
    EXPECT_EQ(StoredText(kKey, "A"), "first");
    // The order is the registry's own (Wine's is by name, Windows' mostly by age): these agree.
    store.SetRegistryString(kCurrentUser, kKey, "B", "x");
    EXPECT_EQ(store.EnumRegistryValues(kCurrentUser, kKey),
              (std::vector<std::string>{"A\\\\first", "B\\\\x"}));
    store.SetRegistryString(kCurrentUser, kKey, "C", std::string(300, 'y'));
    store.SetRegistryString(kCurrentUser, kKey, "D", "z");
    EXPECT_EQ(store.EnumRegistryValues(kCurrentUser, kKey).size(), 2u);  // stops at the long one
}

TEST_F(WindowsRegistry, CopyOptionsLiveUnderTheProgramsKey) {
    ScriptedPrompt prompt;
    window::StoredOptions options;
    window::ReadRegistrySettings(store, prompt, options);
    EXPECT_EQ(StoredText(window::kSettingsKey, "CopyType"), "0");
    options.copy.copyType = engine::CopyType::Append;
    options.copy.copyShapeText = true;
    window::WriteRegistrySettings(store, prompt, options);
    EXPECT_EQ(StoredText("Software\\Quorvantis\\Plexaware_2003\\Tessaline 2003", "CopyType"), "1");
    EXPECT_EQ(StoredText(window::kSettingsKey, "CopyShapeText"), "1");
    window::StoredOptions read;
    window::ReadRegistrySettings(store, prompt, read);
    EXPECT_EQ(read.copy.copyType, engine::CopyType::Append);
    EXPECT_TRUE(read.copy.copyShapeText);
    EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
}  // namespace tess::test
