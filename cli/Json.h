#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// The small JSON the command line prints: values built in code, written out with two-space
// indentation and members in the order they were added.
namespace tess::cli {

class Json {
public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<std::string, Json>>;

    Json() = default;  // null
    Json(bool value) : m_value(value) {}
    Json(int value) : m_value(static_cast<int64_t>(value)) {}
    Json(int64_t value) : m_value(value) {}
    Json(size_t value) : m_value(static_cast<int64_t>(value)) {}
    Json(const char* value) : m_value(std::string(value)) {}
    Json(std::string value) : m_value(std::move(value)) {}
    Json(Array value) : m_value(std::move(value)) {}
    Json(Object value) : m_value(std::move(value)) {}

    static Json MakeArray() { return Json(Array{}); }
    static Json MakeObject() { return Json(Object{}); }
    /// Appends to an array.
    Json& Add(Json value);
    /// Sets a member of an object, keeping the order members were first set in.
    Json& Set(const std::string& key, Json value);

    std::string Dump() const;

private:
    void Write(std::string& out, int depth) const;
    std::variant<std::nullptr_t, bool, int64_t, std::string, Array, Object> m_value = nullptr;
};

}  // namespace tess::cli
