#include "sweep/PackageFacts.h"

#include <pugixml.hpp>

#include "support/Samples.h"

namespace tess::sweep {
namespace {

std::string_view LocalName(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::vector<pugi::xml_node> Elements(const pugi::xml_node& parent, std::string_view name) {
    std::vector<pugi::xml_node> found;
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() == pugi::node_element && LocalName(child) == name) found.push_back(child);
    }
    return found;
}

void AddCell(PartFacts& facts, const std::string& at, const std::string& sectionName,
             const pugi::xml_node& cell, std::set<std::string>& erring) {
    CellFact fact;
    const std::string name = cell.attribute("N").value();
    fact.kind = sectionName + "/" + name;
    fact.hasFormula = static_cast<bool>(cell.attribute("F"));
    fact.formula = cell.attribute("F").value();
    fact.hasValue = static_cast<bool>(cell.attribute("V"));
    fact.value = cell.attribute("V").value();
    fact.error = cell.attribute("E").value();
    if (!fact.error.empty() && fact.hasFormula) erring.insert(fact.formula);
    facts.cells[at + "/" + name] = std::move(fact);
}

/// A row's name or index as the file keys it.
std::string RowKey(const pugi::xml_node& row) {
    if (row.attribute("N")) return std::string("N=") + row.attribute("N").value();
    return std::string("IX=") + row.attribute("IX").value();
}

/// The rows of one section: unique names and indices, indices rising, and, in a sheet that
/// inherits nothing, indices one after the other from the section's first.
void ReadRows(PartFacts& facts, const std::string& at, const pugi::xml_node& section,
              bool inherits, std::set<std::string>& erring) {
    const std::string name = section.attribute("N").value();
    std::set<std::string> names;
    std::set<int> indices;
    int last = -1;
    const int first = name == "Geometry" ? 1 : 0;
    int expected = first;
    for (const pugi::xml_node& row : Elements(section, "Row")) {
        const std::string key = RowKey(row);
        if (row.attribute("N")) {
            if (!names.insert(row.attribute("N").value()).second)
                facts.problems.insert(at + ": two rows named " + row.attribute("N").value());
        } else {
            const int index = row.attribute("IX").as_int(-1);
            if (!indices.insert(index).second)
                facts.problems.insert(at + ": two rows with IX " + std::to_string(index));
            if (index <= last)
                facts.problems.insert(at + ": row IX " + std::to_string(index) + " after " +
                                      std::to_string(last));
            if (!inherits && index != expected)
                facts.problems.insert(at + ": row IX " + std::to_string(index) + " where " +
                                      std::to_string(expected) + " follows");
            last = index;
            ++expected;
        }
        for (const pugi::xml_node& cell : Elements(row, "Cell"))
            AddCell(facts, at + "/Row " + key, name, cell, erring);
    }
}

void ReadSheet(PartFacts& facts, const std::string& at, const pugi::xml_node& sheet,
               std::set<std::string>& erring) {
    for (const pugi::xml_node& cell : Elements(sheet, "Cell"))
        AddCell(facts, at, "", cell, erring);
    const bool inherits = sheet.attribute("Master") || sheet.attribute("MasterShape");
    std::set<std::string> sections;
    for (const pugi::xml_node& section : Elements(sheet, "Section")) {
        std::string key = section.attribute("N").value();
        if (section.attribute("IX")) key += std::string(" IX=") + section.attribute("IX").value();
        if (!sections.insert(key).second)
            facts.problems.insert(at + ": two sections " + key);
        const std::string where = at + "/Section " + key;
        for (const pugi::xml_node& cell : Elements(section, "Cell"))
            AddCell(facts, where, section.attribute("N").value(), cell, erring);
        ReadRows(facts, where, section, inherits, erring);
    }
}

/// Every sheet below node: shapes at any depth, page, master, document and style sheets.
void ReadSheets(PartFacts& facts, const std::string& at, const pugi::xml_node& node,
                std::set<std::string>& erring) {
    for (const pugi::xml_node& child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = LocalName(child);
        const std::string id = child.attribute("ID").value();
        if (name == "Shape" || name == "StyleSheet") {
            const std::string where = at + "/" + std::string(name) + " " + id;
            ReadSheet(facts, where, child, erring);
            ReadSheets(facts, where, child, erring);
        } else if (name == "PageSheet" || name == "DocumentSheet") {
            ReadSheet(facts, at + "/" + std::string(name), child, erring);
        } else if (name == "Page" || name == "Master") {
            ReadSheets(facts, at + "/" + std::string(name) + " " + id, child, erring);
        } else if (name == "Shapes" || name == "StyleSheets") {
            ReadSheets(facts, at, child, erring);
        }
    }
}

}  // namespace

PackageFacts ReadFacts(const std::string& path) {
    PackageFacts package;
    for (test::ZipEntry& entry : test::ReadZip(path)) {
        if (!entry.name.starts_with("visio/") || !entry.name.ends_with(".xml")) continue;
        PartFacts& facts = package.parts[entry.name];
        facts.bytes = std::move(entry.content);
        pugi::xml_document document;
        if (!document.load_buffer(facts.bytes.data(), facts.bytes.size())) {
            facts.problems.insert(entry.name + ": not well-formed XML");
            continue;
        }
        ReadSheets(facts, entry.name, document, package.erring);
    }
    return package;
}

std::set<std::string> EmptyValueKinds(const std::vector<std::string>& paths) {
    std::set<std::string> kinds;
    for (const std::string& path : paths) {
        for (const auto& [name, part] : ReadFacts(path).parts) {
            for (const auto& [at, cell] : part.cells) {
                if (cell.hasValue && cell.value.empty()) kinds.insert(cell.kind);
            }
        }
    }
    return kinds;
}

std::vector<Violation> CompareFacts(const PackageFacts& read, const PackageFacts& written,
                                    const std::set<std::string>& emptyValueKinds) {
    std::vector<Violation> violations;
    for (const auto& [name, part] : written.parts) {
        const auto before = read.parts.find(name);
        const PartFacts* old = before == read.parts.end() ? nullptr : &before->second;
        if (old && old->bytes == part.bytes) continue;
        for (const std::string& problem : part.problems) {
            if (!old || !old->problems.count(problem)) violations.push_back({"structure", problem});
        }
        for (const auto& [at, cell] : part.cells) {
            const CellFact* was = nullptr;
            if (old) {
                const auto found = old->cells.find(at);
                if (found != old->cells.end()) was = &found->second;
            }
            if (was && *was == cell) continue;
            const std::string shown = at + " F=\"" + cell.formula + "\" V=\"" + cell.value + "\"" +
                                      (cell.error.empty() ? "" : " E=\"" + cell.error + "\"");
            if (cell.formula == "No Formula" && !(was && was->formula == "No Formula"))
                violations.push_back({"No Formula written", shown});
            if (!cell.hasValue) violations.push_back({"no value", shown});
            if (cell.hasValue && cell.value.empty() && !emptyValueKinds.count(cell.kind))
                violations.push_back({"empty value", shown});
            if (!cell.error.empty() && !(was && !was->error.empty()) &&
                !read.erring.count(cell.formula))
                violations.push_back({"error value", shown});
        }
    }
    return violations;
}

}  // namespace tess::sweep
