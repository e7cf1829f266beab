#include "window/DesktopSettings.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "app/ErrorReport.h"

namespace tess::window {
namespace {

using registry::HKEY_CURRENT_USER;

/// A stored value; nullopt when it is missing or cannot be read.
std::optional<std::string> Read(registry::Registry& store, const std::string& name) {
    std::optional<std::string> text;
    app::IgnoreFailure(
        [&] { text = store.GetRegistryString(HKEY_CURRENT_USER, kDesktopKey, name); });
    return text;
}

/// The numbers of a comma-separated text; nullopt when any part is not a whole number.
std::optional<std::vector<int>> Numbers(std::string_view text) {
    std::vector<int> numbers;
    while (!text.empty()) {
        const size_t comma = std::min(text.find(','), text.size());
        int number = 0;
        const std::string_view part = text.substr(0, comma);
        const auto result = std::from_chars(part.data(), part.data() + part.size(), number);
        if (result.ec != std::errc() || result.ptr != part.data() + part.size())
            return std::nullopt;
        numbers.push_back(number);
        text.remove_prefix(std::min(comma + 1, text.size()));
    }
    return numbers;
}

std::string Joined(const std::vector<int>& numbers) {
    std::string text;
    for (int number : numbers)
        text += (text.empty() ? "" : ",") + std::to_string(number);
    return text;
}

/// Writes values under the desktop key, creating it; a failure is passed over.
void WriteAll(registry::Registry& store,
              const std::vector<std::pair<std::string, std::string>>& values) {
    app::IgnoreFailure([&] {
        store.CreateRegistryKey(HKEY_CURRENT_USER, kDesktopKey);
        for (const auto& [name, text] : values)
            store.SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, name, text);
    });
}

std::string RecentName(size_t index) {
    return "Recent" + std::to_string(index + 1);
}

}  // namespace

WindowPlace ReadWindowPlace(registry::Registry& store) {
    const std::optional<std::string> geometry = Read(store, "Geometry");
    const std::optional<std::vector<int>> numbers = Numbers(geometry.value_or(""));
    WindowPlace place;
    if (!numbers || numbers->size() != 4 || (*numbers)[2] <= 0 || (*numbers)[3] <= 0) return place;
    place.left = (*numbers)[0];
    place.top = (*numbers)[1];
    place.width = (*numbers)[2];
    place.height = (*numbers)[3];
    place.maximized = Read(store, "Maximized").value_or("0") == "1";
    const std::optional<std::vector<int>> panes = Numbers(Read(store, "Panes").value_or("x"));
    if (panes && std::all_of(panes->begin(), panes->end(), [](int size) { return size >= 0; }))
        place.panes = *panes;
    return place;
}

void WriteWindowPlace(registry::Registry& store, const WindowPlace& place) {
    WriteAll(store, {{"Geometry", Joined({place.left, place.top, place.width, place.height})},
                     {"Maximized", place.maximized ? "1" : "0"},
                     {"Panes", Joined(place.panes)}});
}

std::vector<std::string> ReadRecentFiles(registry::Registry& store) {
    std::vector<std::string> files;
    for (size_t i = 0; i < kRecentFileCount; ++i) {
        // An empty value is stored as one blank.
        const std::string file = Read(store, RecentName(i)).value_or(" ");
        if (file != " " && !file.empty() &&
            std::find(files.begin(), files.end(), file) == files.end())
            files.push_back(file);
    }
    return files;
}

void WriteRecentFiles(registry::Registry& store, const std::vector<std::string>& files) {
    std::vector<std::pair<std::string, std::string>> values;
    for (size_t i = 0; i < kRecentFileCount; ++i)
        values.emplace_back(RecentName(i), i < files.size() ? files[i] : std::string());
    WriteAll(store, values);
}

std::vector<std::string> WithRecentFile(std::vector<std::string> files, const std::string& path) {
    std::erase(files, path);
    files.insert(files.begin(), path);
    if (files.size() > kRecentFileCount) files.resize(kRecentFileCount);
    return files;
}

}  // namespace tess::window
