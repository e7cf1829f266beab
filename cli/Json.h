#pragma once

#include <nlohmann/json.hpp>
#include <string>

// The JSON the command line prints: members in the order they are set, two-space indentation.
namespace tess::cli {

using Json = nlohmann::ordered_json;

/// The text of a value, one line feed after it. Text read from a drawing that is not valid UTF-8
/// is printed with replacement characters rather than refused.
inline std::string JsonText(const Json& value) {
    return value.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

}  // namespace tess::cli
