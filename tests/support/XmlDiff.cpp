#include "support/XmlDiff.h"

#include <algorithm>
#include <map>
#include <pugixml.hpp>
#include <stdexcept>

#include "support/Samples.h"

namespace tess::test {
namespace {

std::string Step(const pugi::xml_node& node) {
    std::string step = node.name();
    for (const char* key : {"N", "ID", "IX"}) {
        if (const pugi::xml_attribute attribute = node.attribute(key)) {
            step += std::string("[") + key + "=" + attribute.value() + "]";
            break;
        }
    }
    return step;
}

std::string Attributes(const pugi::xml_node& node) {
    std::string text;
    for (const pugi::xml_attribute& attribute : node.attributes()) {
        text += std::string(" ") + attribute.name() + "='" + attribute.value() + "'";
    }
    return text;
}

void Compare(const pugi::xml_node& a, const pugi::xml_node& b, const std::string& path,
             std::vector<std::string>& out) {
    const std::string here = path + "/" + Step(a);
    if (std::string(a.name()) != b.name() || a.type() != b.type()) {
        out.push_back(here + ": became " + Step(b));
        return;
    }
    if (Attributes(a) != Attributes(b))
        out.push_back(here + ":" + Attributes(a) + " ->" + Attributes(b));
    if (std::string(a.value()) != b.value())
        out.push_back(here + ": text '" + a.value() + "' -> '" + b.value() + "'");
    pugi::xml_node x = a.first_child();
    pugi::xml_node y = b.first_child();
    for (; x && y; x = x.next_sibling(), y = y.next_sibling())
        Compare(x, y, here, out);
    for (; x; x = x.next_sibling())
        out.push_back(here + ": lost " + Step(x) + Attributes(x));
    for (; y; y = y.next_sibling())
        out.push_back(here + ": gained " + Step(y) + Attributes(y));
}

pugi::xml_document Parse(const std::string& text) {
    pugi::xml_document document;
    if (!document.load_buffer(text.data(), text.size(), pugi::parse_full)) {
        throw std::runtime_error("not XML");
    }
    return document;
}

}  // namespace

std::vector<std::string> XmlDifferences(const std::string& before, const std::string& after) {
    std::vector<std::string> differences;
    Compare(Parse(before).document_element(), Parse(after).document_element(), "", differences);
    return differences;
}

std::vector<std::string> DifferentParts(const std::string& beforePackage,
                                        const std::string& afterPackage) {
    std::map<std::string, std::string> before;
    for (ZipEntry& entry : ReadZip(beforePackage))
        before[entry.name] = std::move(entry.content);
    std::vector<std::string> different;
    for (const ZipEntry& entry : ReadZip(afterPackage)) {
        const auto found = before.find(entry.name);
        if (found == before.end() || found->second != entry.content)
            different.push_back(entry.name);
        if (found != before.end()) before.erase(found);
    }
    for (const auto& [name, content] : before)
        different.push_back(name);
    std::sort(different.begin(), different.end());
    return different;
}

}  // namespace tess::test
