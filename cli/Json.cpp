#include "cli/Json.h"

#include <cstdio>

namespace tess::cli {
namespace {

void WriteString(std::string& out, const std::string& text) {
    out += '"';
    for (const unsigned char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    out += '"';
}

void Indent(std::string& out, int depth) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
}

}  // namespace

Json& Json::Add(Json value) {
    auto& array = std::get<Array>(m_value);
    array.push_back(std::move(value));
    return array.back();
}

Json& Json::Set(const std::string& key, Json value) {
    auto& object = std::get<Object>(m_value);
    for (auto& [name, member] : object) {
        if (name == key) return member = std::move(value);
    }
    object.emplace_back(key, std::move(value));
    return object.back().second;
}

std::string Json::Dump() const {
    std::string out;
    Write(out, 0);
    out += '\n';
    return out;
}

void Json::Write(std::string& out, int depth) const {
    if (std::holds_alternative<std::nullptr_t>(m_value)) {
        out += "null";
    } else if (const bool* flag = std::get_if<bool>(&m_value)) {
        out += *flag ? "true" : "false";
    } else if (const int64_t* number = std::get_if<int64_t>(&m_value)) {
        out += std::to_string(*number);
    } else if (const std::string* text = std::get_if<std::string>(&m_value)) {
        WriteString(out, *text);
    } else if (const Array* array = std::get_if<Array>(&m_value)) {
        if (array->empty()) {
            out += "[]";
            return;
        }
        out += "[\n";
        for (size_t i = 0; i < array->size(); ++i) {
            Indent(out, depth + 1);
            (*array)[i].Write(out, depth + 1);
            out += i + 1 < array->size() ? ",\n" : "\n";
        }
        Indent(out, depth);
        out += ']';
    } else {
        const Object& object = std::get<Object>(m_value);
        if (object.empty()) {
            out += "{}";
            return;
        }
        out += "{\n";
        for (size_t i = 0; i < object.size(); ++i) {
            Indent(out, depth + 1);
            WriteString(out, object[i].first);
            out += ": ";
            object[i].second.Write(out, depth + 1);
            out += i + 1 < object.size() ? ",\n" : "\n";
        }
        Indent(out, depth);
        out += '}';
    }
}

}  // namespace tess::cli
