#include "app/StringTable.h"

#include <charconv>
#include <string_view>
#include <unordered_map>

#include "platform/visio/Error.h"

// resources/strings.tsv, compiled into the program.
extern const std::string_view tessaline_resource_strings;

namespace tess::app {
namespace {

constexpr int32_t kResourceNotFound = 326;

std::unordered_map<int, std::string> ParseTable(std::string_view text) {
    std::unordered_map<int, std::string> table;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const auto tab = line.find('\t');
        if (line.empty() || line.front() == '#' || tab == std::string_view::npos) continue;
        int id = 0;
        std::from_chars(line.data(), line.data() + tab, id);
        table.emplace(id, std::string(line.substr(tab + 1)));
    }
    return table;
}

}  // namespace

const std::string& LoadResString(int id) {
    static const auto table = ParseTable(tessaline_resource_strings);
    const auto found = table.find(id);
    if (found == table.end()) {
        Raise(kResourceNotFound, "Resource with identifier '" + std::to_string(id) + "' not found");
    }
    return found->second;
}

std::string FormatResString(int id, std::string_view argument) {
    std::string text = LoadResString(id);
    if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, argument);
    return text;
}

}  // namespace tess::app
