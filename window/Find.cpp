#include "window/Find.h"

#include <algorithm>
#include <cctype>

namespace tess::window {

bool Holds(std::string_view text, std::string_view part) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool Found(std::string_view name, std::string_view master, std::string_view address,
           std::string_view text) {
    return !address.empty() && (Holds(name, text) || Holds(master, text) || Holds(address, text));
}

}  // namespace tess::window
