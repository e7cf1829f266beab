// What the desktop program keeps between runs besides the options, what its lists keep when
// drawings are renamed or closed, and finding objects by text.
#include <gtest/gtest.h>

#include "platform/registry/FileRegistry.h"
#include "support/ScriptedPrompt.h"
#include "support/TempFolder.h"
#include "window/CopyWindow.h"
#include "window/DesktopSettings.h"
#include "window/Find.h"

namespace tess::test {
namespace {

using registry::HKEY_CURRENT_USER;
using window::WindowPlace;

class DesktopSettings : public ::testing::Test {
protected:
    void Store(const std::string& name, const std::string& text) {
        registry.CreateRegistryKey(HKEY_CURRENT_USER, window::kDesktopKey);
        registry.SetRegistryString(HKEY_CURRENT_USER, window::kDesktopKey, name, text);
    }
    TempFolder folder;
    registry::FileRegistry store{folder.Path("settings.tsv")};
    registry::Registry registry{store};
};

TEST_F(DesktopSettings, ThePlaceComesBackAsStoredAndAnythingUnreadableCountsAsNeverStored) {
    EXPECT_EQ(window::ReadWindowPlace(registry), WindowPlace{}) << "nothing stored yet";
    const WindowPlace place{-40, 25, 900, 760, true, {310, 540}};
    window::WriteWindowPlace(registry, place);
    EXPECT_EQ(window::ReadWindowPlace(registry), place);

    // A hand-edited or damaged store: the geometry is all or nothing; panes are kept only whole.
    struct Case {
        const char* geometry;
        const char* panes;
        WindowPlace expected;
    };
    for (const Case& item : std::vector<Case>{
             {"10,20,800,700", "300,400", {10, 20, 800, 700, true, {300, 400}}},
             {"10,20,800", "300,400", {}},
             {"10,20,0,700", "", {}},
             {"10,20,800,-5", "", {}},
             {"a,20,800,700", "", {}},
             {"10,20,800,700,9", "", {}},
             {"10,20,800,700", "300,x", {10, 20, 800, 700, true, {}}},
             {"10,20,800,700", "-1,400", {10, 20, 800, 700, true, {}}},
         }) {
        Store("Geometry", item.geometry);
        Store("Panes", item.panes);
        EXPECT_EQ(window::ReadWindowPlace(registry), item.expected) << item.geometry << " " << item.panes;
    }
}

TEST_F(DesktopSettings, RecentFilesAreTheLatestFirstOnceEachAndAtMostEight) {
    EXPECT_TRUE(window::ReadRecentFiles(registry).empty());
    std::vector<std::string> files;
    for (int i = 1; i <= 10; ++i) files = window::WithRecentFile(files, "/d/" + std::to_string(i));
    files = window::WithRecentFile(files, "/d/5");
    const std::vector<std::string> expected = {"/d/5", "/d/10", "/d/9", "/d/8",
                                               "/d/7", "/d/6", "/d/4", "/d/3"};
    EXPECT_EQ(files, expected);
    window::WriteRecentFiles(registry, files);
    EXPECT_EQ(window::ReadRecentFiles(registry), expected);
    // Fewer files later: the slots left over are emptied, not kept.
    window::WriteRecentFiles(registry, {"/d/only"});
    EXPECT_EQ(window::ReadRecentFiles(registry), std::vector<std::string>{"/d/only"});
    // A store holding a file twice lists it once.
    Store("Recent2", "/d/only");
    EXPECT_EQ(window::ReadRecentFiles(registry), std::vector<std::string>{"/d/only"});
}

TEST(ListItems, ASavedUnderANewNameOrClosedDrawingTakesExactlyItsOwnItems) {
    ScriptedPrompt prompt;
    window::CopyWindow window(nullptr, prompt, "{app}");
    window.source = {{"{app}\\Plan.vsdx\\Page-1\\Sheet.3", "Application\\Plan.vsdx\\Page-1\\Sheet.3", 7}};
    window.destinations = {
        {"{app}\\Plan.vsdx", "Application\\Plan.vsdx", 2},
        {"{app}\\Plan.vsdx.bak\\Page-1", "Application\\Plan.vsdx.bak\\Page-1", 4},
        {"{app}\\Other.vsdx\\Page-1\\Sheet.3", "Sheet.3", 7},
    };
    window::RenameDocumentInItems(window, "Plan.vsdx", "Plan 2.vsdx");
    EXPECT_EQ(window.source[0].key, "{app}\\Plan 2.vsdx\\Page-1\\Sheet.3");
    EXPECT_EQ(window.source[0].text, "Application\\Plan 2.vsdx\\Page-1\\Sheet.3");
    EXPECT_EQ(window.destinations[0].key, "{app}\\Plan 2.vsdx");
    EXPECT_EQ(window.destinations[1].key, "{app}\\Plan.vsdx.bak\\Page-1") << "another drawing";
    EXPECT_EQ(window.destinations[2].text, "Sheet.3");

    EXPECT_EQ(window::RemoveItemsOfDocument(window, "Plan 2.vsdx"), 2u);
    EXPECT_TRUE(window.source.empty());
    ASSERT_EQ(window.destinations.size(), 2u);
    EXPECT_EQ(window.destinations[0].key, "{app}\\Plan.vsdx.bak\\Page-1");
    EXPECT_EQ(window::RemoveItemsOfDocument(window, "Missing.vsdx"), 0u);
}

TEST(Find, AnObjectIsFoundByItsNameMasterOrAddressWithoutRegardToCase) {
    struct Case {
        const char* name;
        const char* master;
        const char* address;
        const char* text;
        bool found;
    };
    for (const Case& item : std::vector<Case>{
             {"Sheet.1449", "Server", "page:Rack/Sheet.1449", "server", true},
             {"Sheet.1449", "Server", "page:Rack/Sheet.1449", "SHEET.14", true},
             {"Sheet.1449", "Server", "page:Rack/Sheet.1449", "rack/", true},
             {"Sheet.1449", "Server", "page:Rack/Sheet.1449", "router", false},
             {"Router", "", "page:Rack/Sheet.2", "", true},
             {"Application", "", "", "app", false},
         }) {
        EXPECT_EQ(window::Found(item.name, item.master, item.address, item.text), item.found)
            << item.name << " / " << item.text;
    }
}

}  // namespace
}  // namespace tess::test
