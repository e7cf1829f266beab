#pragma once

#include <string>
#include <vector>

#include "platform/registry/Registry.h"

// What the desktop program keeps between runs besides the copy options: where its main window
// was and how its panes were divided, and the drawings opened last. Kept under a key of their
// own beside the options; a value missing or unreadable counts as never stored.
namespace tess::window {

/// The key below HKEY_CURRENT_USER, under the options' key.
inline constexpr const char* kDesktopKey =
    "Software\\Quorvantis\\Plexaware_2003\\Tessaline 2003\\Desktop";

/// The main window's place on the screen (its normal, not maximized, geometry in pixels) and
/// the sizes of its panes.
struct WindowPlace {
    int left = 0;
    int top = 0;
    int width = 0;  // 0: never stored
    int height = 0;
    bool maximized = false;
    std::vector<int> panes;

    bool operator==(const WindowPlace&) const = default;
};

WindowPlace ReadWindowPlace(registry::Registry& store);
/// Stores the place; a store that cannot be written is passed over (the window opens at its
/// first size next time).
void WriteWindowPlace(registry::Registry& store, const WindowPlace& place);

/// How many drawings the File menu's recent list holds.
inline constexpr size_t kRecentFileCount = 8;
/// The drawings opened last, the latest first.
std::vector<std::string> ReadRecentFiles(registry::Registry& store);
void WriteRecentFiles(registry::Registry& store, const std::vector<std::string>& files);
/// The list with path first, once, cut to kRecentFileCount.
std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& path);

}  // namespace tess::window
