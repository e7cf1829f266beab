// Writing a document of the embedded model back to a Visio package. Parts the model did not
// change are copied as they were; changed parts are the parsed XML as read, updated in place,
// so that everything the model does not hold stays where it was.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <utility>

#include "formula/CellCatalogue.h"
#include "host/embedded/Model.h"
#include "host/vsdx/FileAccess.h"
#include "host/vsdx/Format.h"
#include "host/vsdx/PackageState.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "platform/visio/Error.h"
#include "platform/visio/FileNames.h"

namespace tess::vsdx {
namespace {

using namespace embedded;
using namespace visio;

constexpr const char* kPageRelationship =
    "http://schemas.microsoft.com/visio/2010/relationships/page";
constexpr const char* kMasterRelationship =
    "http://schemas.microsoft.com/visio/2010/relationships/master";
constexpr const char* kPageContentType = "application/vnd.ms-visio.page+xml";
constexpr const char* kMasterContentType = "application/vnd.ms-visio.master+xml";
constexpr const char* kCustomPropertiesRelationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/custom-properties";
constexpr const char* kCustomPropertiesContentType =
    "application/vnd.openxmlformats-officedocument.custom-properties+xml";
constexpr const char* kFormatId = "{D5CDD505-2E9C-101B-9397-08002B2CF9AE}";

std::string ShapeTypeName(ShapeKind kind) {
    switch (kind) {
        case ShapeKind::Group:
            return "Group";
        case ShapeKind::Foreign:
            return "Foreign";
        case ShapeKind::Guide:
            return "Guide";
        case ShapeKind::Shape:
            break;
    }
    return "Shape";
}

std::vector<pugi::xml_node> Children(const pugi::xml_node& parent, std::string_view name) {
    std::vector<pugi::xml_node> children;
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() == pugi::node_element && LocalName(child) == name)
            children.push_back(child);
    }
    return children;
}

pugi::xml_node LastChild(const pugi::xml_node& parent,
                         std::initializer_list<std::string_view> names) {
    pugi::xml_node last;
    for (const pugi::xml_node& child : parent.children()) {
        if (child.type() != pugi::node_element) continue;
        for (std::string_view name : names) {
            if (LocalName(child) == name) last = child;
        }
    }
    return last;
}

/// Inserts an element after the last of the named kinds (so that the order Visio writes stays),
/// else first.
pugi::xml_node InsertElement(pugi::xml_node parent, const char* name,
                             std::initializer_list<std::string_view> after) {
    const pugi::xml_node anchor = LastChild(parent, after);
    return anchor ? parent.insert_child_after(name, anchor) : parent.prepend_child(name);
}

/// Why a package cannot be written under a name: a VBA project, which a package of a
/// macro-free kind cannot hold and which is never dropped unasked. Empty when it can be.
std::string MacroRefusal(const PackageState& state, const std::string& target) {
    const PackageKind* kind = PackageKindOf(target);
    if (!kind || kind->macros || state.documentPart.empty()) return {};
    Parts parts(state);
    for (const Relationship& relationship : parts.Relationships(state.documentPart)) {
        if (relationship.type.ends_with("/vbaProject")) {
            return "'" + NameOf(PathOf(target).filename()) +
                   "' cannot hold the macros (VBA project) of '" +
                   NameOf(PathOf(state.path).filename()) + "': write it as a " +
                   std::string(kind->WithMacros().extension) + " file";
        }
    }
    return {};
}

class Writer {
public:
    /// Writes for a file at target, or for memory (parts written early kept there too).
    Writer(Model& model, const DocumentData& document, const PackageState& state,
           std::string target, bool toMemory = false)
        : m_model(model),
          m_document(document),
          m_state(state),
          m_parts(state),
          m_pagesPart(state.pagesPart),
          m_mastersPart(state.mastersPart),
          m_pageParts(state.pageParts),
          m_masterParts(state.masterParts),
          m_target(std::move(target)),
          m_spill(toMemory ? std::string() : TemporaryBeside(m_target)) {}

    /// Writes the package; the target it is for gives its kind.
    void Save(const Package::Sink& sink) {
        if (const std::string refusal = MacroRefusal(m_state, m_target); !refusal.empty())
            Raise(packerr::kWrongKind, refusal + ".");
        SetPackageKind();
        UpdateDocumentPart();
        UpdateMasters();
        UpdatePages();
        const bool anyChanged =
            !m_spilled.empty() || m_parts.AnyRemoved() ||
            std::any_of(m_parts.Parsed().begin(), m_parts.Parsed().end(),
                        [](const auto& entry) { return entry.second->changed; });
        if (anyChanged) RequestRecalculation();
        std::vector<Package::Output> outputs;
        std::set<std::string> written;
        for (const std::string& name : m_state.PartNames()) {
            if (m_parts.Removed(name)) continue;
            outputs.push_back(Output(name));
            written.insert(name);
        }
        for (const auto& [name, part] : m_parts.Parsed()) {
            if (!written.count(name)) outputs.push_back(Output(name));
            written.insert(name);
        }
        for (const auto& [name, span] : m_spilled) {
            if (!written.count(name)) outputs.push_back(Output(name));
        }
        if (m_state.package) {
            m_state.package->Write(sink, m_target, outputs);
        } else {
            Package::WriteNew(sink, m_target, outputs);
        }
    }

private:
    static void Touch(XmlPart& part) { part.changed = true; }

    /// What goes into the package for a part: written again when changed, else as it was.
    Package::Output Output(const std::string& name) {
        if (const auto spilled = m_spilled.find(name); spilled != m_spilled.end()) {
            return {name, nullptr, {}, &m_spill, spilled->second};
        }
        const auto& parsed = m_parts.Parsed();
        if (const auto found = parsed.find(name); found != parsed.end() && found->second->changed) {
            return {name, nullptr, SerializeXml(*found->second)};
        }
        if (m_state.package) return {name, m_state.package->Find(name), {}};
        return {name, nullptr, m_state.Bytes(name)};
    }

    /// Whether a sheet, or the list of shapes of a page, master or group, changed since the
    /// document was read.
    bool Changed(const ShapeContainer& where) const { return where.changedAt > m_state.readAt; }
    bool AnyChanged(const std::vector<SheetPtr>& shapes) const {
        return std::any_of(shapes.begin(), shapes.end(), [&](const SheetPtr& shape) {
            return Changed(*shape) || AnyChanged(shape->shapes);
        });
    }

    /// Writes a part that changed now, so that its XML need not stay in memory; the part is
    /// not touched again in this save.
    void Finish(const std::string& name) {
        const auto& parsed = m_parts.Parsed();
        const auto found = parsed.find(name);
        if (found == parsed.end()) return;
        if (found->second->changed)
            m_spilled[name] = m_spill.Append(SerializeXml(*found->second), m_target);
        m_parts.Forget(name);
    }

    bool SetAttribute(pugi::xml_node node, const char* name, const std::string& value,
                      XmlPart& part) {
        pugi::xml_attribute attribute = node.attribute(name);
        if (attribute && value == attribute.value()) return false;
        if (!attribute) attribute = node.append_attribute(name);
        attribute.set_value(value.c_str());
        Touch(part);
        return true;
    }

    void RemoveAttribute(pugi::xml_node node, const char* name, XmlPart& part) {
        if (node.remove_attribute(name)) Touch(part);
    }

    // --- Cells ---------------------------------------------------------------------------

    static bool SameAsFile(const pugi::xml_node& element, const CellData& cell) {
        const pugi::xml_attribute f = element.attribute("F");
        switch (cell.source) {
            case CellData::Source::Local:
                if (cell.valueOnly) return !f;
                return f && cell.formula == f.value() && std::strcmp(f.value(), "Inh") != 0 &&
                       std::strcmp(f.value(), "No Formula") != 0;
            case CellData::Source::Inherited:
                return f && std::strcmp(f.value(), "Inh") == 0;
            case CellData::Source::NoFormula:
                return f && std::strcmp(f.value(), "No Formula") == 0;
        }
        return false;
    }

    /// Writes a cell's formula and value. A value the model could not compute is the one the
    /// cell showed before (what the file had, else what it inherited), and Visio is asked to
    /// compute it on opening: every reader needs a value of the cell's type. The cell is a copy:
    /// computing values caches them in the row, which may add cells to it and move its cells.
    void WriteCell(pugi::xml_node element, CellData cell, const SheetPtr& sheet,
                   int16_t section, int16_t row, int16_t index, XmlPart& part) {
        const formula::Value shown = cell.value;  // before computing it again
        formula::Value value = cell.value;
        bool estimated = false;
        if (cell.source != CellData::Source::NoFormula) {
            value = m_model.Values().Result(sheet, section, row, index);
            const CellData* computed =
                section == visSectionObject
                    ? sheet->objectCells.Find(ObjectCellKey(row, index))
                    : sheet->Section(section)->rows[static_cast<size_t>(row)].Find(index);
            estimated = computed && computed->estimated;
        }
        const bool hadValue = element.attribute("V");
        if (!hadValue) element.append_attribute("V");
        if (!estimated || !hadValue) {
            if (value.type == formula::Value::Type::Error) {
                // An error keeps the last good value beside it, as Visio's files do.
                SetAttribute(element, "E", std::string(formula::ErrorText(value.error)), part);
                if (!hadValue && shown.IsKnown() && shown.type != formula::Value::Type::Error)
                    SetAttribute(element, "V", XmlValueText(shown), part);
            } else {
                SetAttribute(element, "V", XmlValueText(value), part);
                RemoveAttribute(element, "E", part);
            }
        }
        if (estimated && !element.child("NewValue")) {
            // The processing instruction Visio reads as "compute this cell again".
            pugi::xml_node instruction = element.append_child(pugi::node_pi);
            instruction.set_name("NewValue");
            instruction.set_value("V");
        }
        if (cell.valueOnly && cell.source == CellData::Source::Local) {
            if (cell.unit != 0) SetAttribute(element, "U", std::string(UnitName(cell.unit)), part);
            RemoveAttribute(element, "F", part);
        } else {
            const std::string formula = cell.source == CellData::Source::Inherited   ? "Inh"
                                        : cell.source == CellData::Source::NoFormula ? "No Formula"
                                                                                     : cell.formula;
            SetAttribute(element, "F", formula, part);
        }
        Touch(part);
    }

    /// Brings the Cell children of an element in line with a row of cells. keyOf gives the
    /// model's key of a cell name (nullopt: a cell the model does not hold, kept as it is).
    void UpdateCells(pugi::xml_node parent, const RowData& cells, const SheetPtr& sheet,
                     int16_t section,
                     const std::function<std::optional<int16_t>(std::string_view)>& keyOf,
                     const std::function<std::string(int16_t)>& nameOf,
                     const std::function<std::pair<int16_t, int16_t>(int16_t)>& address,
                     XmlPart& part) {
        std::set<int16_t> present;
        for (pugi::xml_node element : Children(parent, "Cell")) {
            const auto key = keyOf(element.attribute("N").value());
            if (!key) continue;
            present.insert(*key);
            const CellData* cell = cells.Find(*key);
            if (!cell || (cell->source == CellData::Source::Inherited && !cell->inFile)) {
                parent.remove_child(element);
                Touch(part);
            } else if (!SameAsFile(element, *cell)) {
                const auto [row, index] = address(*key);
                WriteCell(element, *cell, sheet, section, row, index, part);
            }
        }
        for (const CellData& cell : std::vector<CellData>(cells.cells)) {
            if (present.count(cell.index)) continue;
            if (cell.source == CellData::Source::Inherited && !cell.inFile) continue;
            const std::string name = nameOf(cell.index);
            if (name.empty()) continue;
            pugi::xml_node element = InsertElement(parent, "Cell", {"Cell"});
            element.append_attribute("N").set_value(name.c_str());
            const auto [row, index] = address(cell.index);
            WriteCell(element, cell, sheet, section, row, index, part);
        }
    }

    // --- Sheets --------------------------------------------------------------------------

    void UpdateSheet(pugi::xml_node element, const SheetPtr& sheet, XmlPart& part) {
        UpdateCells(
            element, sheet->objectCells, sheet, visSectionObject,
            [](std::string_view name) -> std::optional<int16_t> {
                const auto address = formula::ObjectCellFromXmlName(name);
                if (!address) return std::nullopt;
                return ObjectCellKey(address->first, address->second);
            },
            [](int16_t key) {
                return std::string(formula::XmlCellName(visSectionObject, key / 64, key % 64));
            },
            [](int16_t key) {
                return std::make_pair(static_cast<int16_t>(key / 64),
                                      static_cast<int16_t>(key % 64));
            },
            part);
        UpdateSections(element, sheet, part);
        UpdateText(element, *sheet, part);
        for (size_t i = 0; i < 3; ++i)
            UpdateData(element, i, sheet->data[i], part);
    }

    void UpdateData(pugi::xml_node element, size_t index, const std::string& text, XmlPart& part) {
        const std::string name = "Data" + std::to_string(index + 1);
        pugi::xml_node data = element.child(name.c_str());
        if (!data && text.empty()) return;
        if (data && text == data.child_value()) return;
        if (!data)
            data = InsertElement(element, name.c_str(),
                                 {"Cell", "Trigger", "Section", "Text", "Data1", "Data2"});
        data.text().set(text.c_str());
        Touch(part);
    }

    /// A sheet's Section elements by section index: those that delete an inherited section, and
    /// the others.
    struct SectionNodes {
        std::map<int16_t, pugi::xml_node> byOrigin, deletedByIndex;
    };

    static SectionNodes SectionNodesOf(pugi::xml_node element) {
        SectionNodes nodes;
        for (const pugi::xml_node& child : Children(element, "Section")) {
            const int ix = child.attribute("IX").as_int(-1);
            const int16_t index = SectionFromXml(child.attribute("N").value(), ix);
            if (index < 0) continue;
            if (std::string_view(child.attribute("Del").value()) == "1") {
                nodes.deletedByIndex[index] = child;
            } else {
                nodes.byOrigin[index] = child;
            }
        }
        return nodes;
    }

    /// Whether a section has a row or a cell of the sheet's own.
    static bool HasOwnRows(const SectionData& section) {
        return std::any_of(section.rows.begin(), section.rows.end(), [](const RowData& row) {
            return row.local || std::any_of(row.cells.begin(), row.cells.end(),
                                            [](const CellData& cell) {
                                                return cell.source != CellData::Source::Inherited;
                                            });
        });
    }

    /// A new Section element of the sheet's element, named for the section.
    pugi::xml_node AddSectionNode(pugi::xml_node element, int16_t index, XmlPart& part) {
        pugi::xml_node node = InsertElement(element, "Section", {"Cell", "Trigger", "Section"});
        node.append_attribute("N").set_value(std::string(SectionXmlName(index)).c_str());
        Touch(part);
        return node;
    }

    void UpdateSections(pugi::xml_node element, const SheetPtr& sheet, XmlPart& part) {
        SectionNodes nodes = SectionNodesOf(element);
        std::set<pugi::xml_node_struct*> kept;
        for (const SectionData& section : std::vector<SectionData>(sheet->sections)) {
            const auto existing = section.origin >= 0 ? nodes.byOrigin.find(section.origin)
                                                      : nodes.byOrigin.end();
            const bool inFile = existing != nodes.byOrigin.end();
            if (!section.local && !HasOwnRows(section) && section.deletedKeys.empty() && !inFile)
                continue;
            const pugi::xml_node node =
                inFile ? existing->second : AddSectionNode(element, section.index, part);
            if (IsGeometrySection(section.index)) {
                SetAttribute(node, "IX", std::to_string(section.index - visSectionFirstComponent),
                             part);
            }
            kept.insert(node.internal_object());
            UpdateRows(node, sheet, section, part);
        }
        for (int16_t deleted : sheet->deletedSections)
            kept.insert(DeletedSectionNode(element, nodes, deleted, part).internal_object());
        for (auto* map : {&nodes.byOrigin, &nodes.deletedByIndex}) {
            for (const auto& [index, node] : *map) {
                if (kept.count(node.internal_object())) continue;
                element.remove_child(node);
                Touch(part);
            }
        }
    }

    /// The Section element that deletes an inherited section: the file's, or a new one.
    pugi::xml_node DeletedSectionNode(pugi::xml_node element, SectionNodes& nodes, int16_t index,
                                      XmlPart& part) {
        const auto found = nodes.deletedByIndex.find(index);
        if (found != nodes.deletedByIndex.end()) return found->second;
        pugi::xml_node node = AddSectionNode(element, index, part);
        if (IsGeometrySection(index))
            node.append_attribute("IX").set_value(index - visSectionFirstComponent);
        node.append_attribute("Del").set_value("1");
        return node;
    }

    /// Brings a section's Row elements in line with its rows: the sheet's own rows, then the
    /// inherited rows it deleted, in that order; other Row elements go.
    void UpdateRows(pugi::xml_node node, const SheetPtr& sheet, const SectionData& section,
                    XmlPart& part) {
        const std::vector<pugi::xml_node> rowNodes = Children(node, "Row");
        const SheetData* source = m_model.InheritanceSource(*sheet, section.index);
        const SectionData* inherited = source ? source->Section(section.index) : nullptr;
        // Rows of the sheet's own that override no inherited row take indices past every
        // inherited row's: in the file an index names the inherited row it overrides.
        int nextIndex = inherited && section.key >= 0 ? static_cast<int>(inherited->rows.size()) : 0;
        std::vector<pugi::xml_node> order;
        const size_t rows = sheet->Section(section.index)->rows.size();
        for (size_t p = 0; p < rows; ++p) {
            const pugi::xml_node rowNode =
                UpdateRow(node, rowNodes, sheet, section.index, p, nextIndex, part);
            if (rowNode) order.push_back(rowNode);
        }
        for (int16_t key : section.deletedKeys)
            order.push_back(DeletedRowNode(node, rowNodes, section.index, inherited, key, part));
        ArrangeRows(node, order, part);
    }

    /// Brings the element of a section's row p in line with the row, and returns it; none for
    /// a row the file need not write, and for a geometry section's component row, whose cells
    /// sit on the section itself.
    pugi::xml_node UpdateRow(pugi::xml_node node, const std::vector<pugi::xml_node>& rowNodes,
                             const SheetPtr& sheet, int16_t sectionIndex, size_t p,
                             int& nextIndex, XmlPart& part) {
        const RowData& row = sheet->Section(sectionIndex)->rows[p];
        const bool geometry = IsGeometrySection(sectionIndex);
        const auto rowIndex = static_cast<int16_t>(p);
        const int16_t cellRow = geometry && p > 0 ? 1 : 0;
        const auto keyOf = [sectionIndex, cellRow](std::string_view name) {
            return formula::SectionCellFromXmlName(sectionIndex, cellRow, name);
        };
        const auto nameOf = [sectionIndex, cellRow](int16_t cell) {
            return std::string(formula::XmlCellName(sectionIndex, cellRow, cell));
        };
        const auto address = [rowIndex](int16_t cell) { return std::make_pair(rowIndex, cell); };
        if (geometry && p == 0 && row.type == visTagComponent) {
            UpdateCells(node, row, sheet, sectionIndex, keyOf, nameOf, address, part);
            return {};
        }
        const bool ownCells =
            std::any_of(row.cells.begin(), row.cells.end(), [](const CellData& cell) {
                return cell.source != CellData::Source::Inherited || cell.inFile;
            });
        const bool hasNode = row.origin >= 0 && static_cast<size_t>(row.origin) < rowNodes.size();
        if (!row.local && !ownCells && !hasNode) return {};
        pugi::xml_node rowNode =
            hasNode ? rowNodes[static_cast<size_t>(row.origin)] : node.append_child("Row");
        if (!hasNode) Touch(part);
        SetRowHead(rowNode, row, sectionIndex, p, nextIndex, part);
        UpdateCells(rowNode, row, sheet, sectionIndex, keyOf, nameOf, address, part);
        return rowNode;
    }

    /// A Row element's name or index, and a geometry row's type. A row without a key takes
    /// the next free index.
    void SetRowHead(pugi::xml_node rowNode, const RowData& row, int16_t sectionIndex, size_t p,
                    int& nextIndex, XmlPart& part) {
        if (formula::IsNamedRowSection(sectionIndex) || !row.name.empty()) {
            SetAttribute(rowNode, "N", row.name, part);
        } else {
            const int index = row.key >= 0 ? row.key : std::max(static_cast<int>(p), nextIndex);
            nextIndex = std::max(nextIndex, index + 1);
            SetAttribute(rowNode, "IX", std::to_string(index), part);
        }
        if (IsGeometrySection(sectionIndex)) {
            if (const char* type = RowTagXmlName(row.type)) SetAttribute(rowNode, "T", type, part);
        }
    }

    /// The Row element that deletes inherited row key (by name in named-row sections): the
    /// file's, or a new one.
    pugi::xml_node DeletedRowNode(pugi::xml_node node, const std::vector<pugi::xml_node>& rowNodes,
                                  int16_t sectionIndex, const SectionData* inherited, int16_t key,
                                  XmlPart& part) {
        const std::string name = formula::IsNamedRowSection(sectionIndex) && inherited &&
                                         static_cast<size_t>(key) < inherited->rows.size()
                                     ? inherited->rows[static_cast<size_t>(key)].name.str()
                                     : std::string();
        pugi::xml_node found;
        for (const pugi::xml_node& candidate : rowNodes) {
            if (std::string_view(candidate.attribute("Del").value()) != "1") continue;
            if (name.empty() ? candidate.attribute("IX").as_int(-1) == key
                             : name == candidate.attribute("N").value()) {
                found = candidate;
            }
        }
        if (found) return found;
        found = node.append_child("Row");
        if (name.empty()) {
            found.append_attribute("IX").set_value(key);
        } else {
            found.append_attribute("N").set_value(name.c_str());
        }
        found.append_attribute("Del").set_value("1");
        Touch(part);
        return found;
    }

    /// Leaves a section's Row elements as order has them: others removed, the rest in order.
    void ArrangeRows(pugi::xml_node node, const std::vector<pugi::xml_node>& order,
                     XmlPart& part) {
        // A set, as a section can hold tens of thousands of rows.
        const std::set<pugi::xml_node> kept(order.begin(), order.end());
        for (const pugi::xml_node& rowNode : Children(node, "Row")) {
            if (!kept.count(rowNode)) {
                node.remove_child(rowNode);
                Touch(part);
            }
        }
        if (Children(node, "Row") != order) {
            for (const pugi::xml_node& rowNode : order)
                node.append_move(rowNode);
            Touch(part);
        }
    }

    void UpdateText(pugi::xml_node element, const SheetData& sheet, XmlPart& part) {
        if (!sheet.text.local) return;
        pugi::xml_node text = element.child("Text");
        if (text && TextFromXml(text) == sheet.text) return;
        if (!text) text = InsertElement(element, "Text", {"Cell", "Trigger", "Section"});
        while (text.first_child())
            text.remove_child(text.first_child());
        const TextData& data = sheet.text;
        const auto length = static_cast<int32_t>(data.characters.size());
        std::u32string pending;
        const auto flush = [&] {
            if (pending.empty()) return;
            text.append_child(pugi::node_pcdata).set_value(Utf8(pending).c_str());
            pending.clear();
        };
        const auto markers = [&](int32_t position) {
            for (auto [runs, name] :
                 {std::pair{&data.charRuns, "cp"}, std::pair{&data.paraRuns, "pp"},
                  std::pair{&data.tabRuns, "tp"}}) {
                for (const TextRun& run : *runs) {
                    if (run.start != position) continue;
                    flush();
                    text.append_child(name).append_attribute("IX").set_value(run.row);
                }
            }
        };
        for (int32_t position = 0; position < length;) {
            markers(position);
            const auto field =
                std::find_if(data.fields.begin(), data.fields.end(),
                             [&](const TextField& f) { return f.start == position; });
            if (field != data.fields.end() && field->end > position) {
                flush();
                pugi::xml_node fld = text.append_child("fld");
                fld.append_attribute("IX").set_value(field->row);
                fld.text().set(Utf8(std::u32string_view(data.characters)
                                        .substr(static_cast<size_t>(position),
                                                static_cast<size_t>(field->end - position)))
                                   .c_str());
                position = field->end;
                continue;
            }
            pending += data.characters[static_cast<size_t>(position)];
            ++position;
        }
        markers(length);
        flush();
        Touch(part);
    }

    // --- Shapes --------------------------------------------------------------------------

    pugi::xml_node NewShapeElement(pugi::xml_node list, const SheetPtr& shape, XmlPart& part) {
        pugi::xml_node node = list.append_child("Shape");
        node.append_attribute("ID").set_value(shape->id);
        if (!shape->nameU.empty()) node.append_attribute("NameU").set_value(shape->nameU.c_str());
        if (!shape->name.empty()) node.append_attribute("Name").set_value(shape->name.c_str());
        node.append_attribute("Type").set_value(ShapeTypeName(shape->shapeKind).c_str());
        if (shape->masterShape) {
            const SheetData& masterShape = *shape->masterShape;
            if (!masterShape.parent && masterShape.master) {
                node.append_attribute("Master").set_value(masterShape.master->id);
                // Which of several top-level shapes of the master this one stands for.
                if (masterShape.master->shapes.size() > 1)
                    node.append_attribute("MasterShape").set_value(masterShape.id);
            } else {
                node.append_attribute("MasterShape").set_value(masterShape.id);
            }
        }
        const char* const styleNames[] = {"LineStyle", "FillStyle", "TextStyle"};
        for (size_t i = 0; i < 3; ++i) {
            if (shape->styles[i] >= 0)
                node.append_attribute(styleNames[i]).set_value(shape->styles[i]);
        }
        Touch(part);
        return node;
    }

    void UpdateShape(pugi::xml_node node, const SheetPtr& shape, XmlPart& part) {
        if (!shape->name.empty()) SetAttribute(node, "Name", shape->name, part);
        if (!shape->nameU.empty()) SetAttribute(node, "NameU", shape->nameU, part);
        if (!shape->uniqueId.empty()) SetAttribute(node, "UniqueID", shape->uniqueId, part);
        if (shape->shapeKind == ShapeKind::Group || node.attribute("Type")) {
            SetAttribute(node, "Type", ShapeTypeName(shape->shapeKind), part);
        }
        UpdateSheet(node, shape, part);
        UpdateShapeList(node, shape->shapes, part);
    }

    void UpdateShapeList(pugi::xml_node owner, const std::vector<SheetPtr>& shapes, XmlPart& part) {
        pugi::xml_node list = owner.child("Shapes");
        if (!list && shapes.empty()) return;
        if (!list) {
            const pugi::xml_node connects = owner.child("Connects");
            list = connects ? owner.insert_child_before("Shapes", connects)
                            : owner.append_child("Shapes");
            Touch(part);
        }
        std::vector<pugi::xml_node> wanted;
        for (const SheetPtr& shape : shapes) {
            const auto found = m_shapeElements.find(shape->id);
            const bool isNew = found == m_shapeElements.end();
            const pugi::xml_node node = isNew ? NewShapeElement(list, shape, part) : found->second;
            if (node.parent() != list) {
                list.append_move(node);
                Touch(part);
            }
            if (isNew || Changed(*shape)) {
                UpdateShape(node, shape, part);
            } else if (AnyChanged(shape->shapes)) {
                UpdateShapeList(node, shape->shapes, part);
            }
            wanted.push_back(node);
        }
        std::vector<pugi::xml_node> present;
        for (const pugi::xml_node& child : Children(list, "Shape")) {
            if (std::string_view(child.attribute("Del").value()) == "1") continue;
            if (std::find(wanted.begin(), wanted.end(), child) == wanted.end()) {
                list.remove_child(child);
                Touch(part);
            } else {
                present.push_back(child);
            }
        }
        if (present != wanted) {
            for (const pugi::xml_node& node : wanted)
                list.append_move(node);
            Touch(part);
        }
        if (!list.first_child()) {
            owner.remove_child(list);
            Touch(part);
        }
    }

    /// Brings a page's or master's contents part in line with its shapes. Shapes are found by
    /// ID, unique within a page or master, wherever they are in the part: a shape the model
    /// moved into a group keeps its element and all the model does not hold.
    void UpdateContents(const std::string& name, const ShapeContainer& container,
                        const std::unordered_map<int32_t, SheetData*>* connectable) {
        if (UpdateContentsByShape(name, container, connectable)) return;
        XmlPart& contents = m_parts.Xml(name);
        const pugi::xml_node root = contents.dom.document_element();
        IndexShapeElements(root);
        UpdateShapeList(root, container.shapes, contents);
        if (connectable) PruneConnects(root, *connectable, contents);
        m_shapeElements.clear();
    }

    void IndexShapeElements(const pugi::xml_node& root) {
        m_shapeElements.clear();
        for (const pugi::xpath_node& shape : root.select_nodes(".//*[local-name()='Shape']")) {
            if (std::string_view(shape.node().attribute("Del").value()) != "1")
                m_shapeElements.emplace(shape.node().attribute("ID").as_int(-1), shape.node());
        }
    }

    // --- Contents written one top-level shape at a time ----------------------------------

    /// A contents part's top-level shapes as found by following its tags, and the text around
    /// them (with nothing but white space between them).
    struct ContentsOutline {
        std::vector<XmlSpan> spans;
        std::vector<ShapeTag> tops;                  // each span's own shape
        std::unordered_map<int32_t, size_t> spanOf;  // every shape's ID: the span that holds it
        std::string before;                          // the text before the first shape
        std::string after;                           // and after the last
        std::string bytes;                           // the part, when it is held whole
    };
    static constexpr size_t kNoSpan = static_cast<size_t>(-1);
    using SpanTexts = std::function<std::string_view(size_t span)>;

    /// Where a top-level shape of the model and its members have their elements in the part.
    struct Claim {
        size_t own = kNoSpan;       // the top-level element that is the shape's own
        std::vector<size_t> spans;  // every top-level element holding one of theirs, in order
    };

    /// Brings a contents part in line with its shapes without holding the part's whole tree:
    /// a shape that did not change is copied as it was; one that did is parsed alone (with the
    /// elements the model moved into it from other top-level shapes), updated as the whole part
    /// would be, and written; the rest of the part (the Shapes list, the connections) is updated
    /// as a small tree of its own. When the shapes keep their order the part's text is not held
    /// either: it is inflated again and written as it comes. False, with nothing written, when
    /// the part cannot be split so (its outline cannot be followed, or two top-level shapes take
    /// elements from under one): it is then updated whole.
    bool UpdateContentsByShape(const std::string& name, const ShapeContainer& container,
                               const std::unordered_map<int32_t, SheetData*>* connectable) {
        if (m_parts.Parsed().count(name)) return false;
        std::optional<ContentsOutline> outline = OutlineContents(name);
        if (!outline) return false;
        const std::optional<std::vector<Claim>> claims = ClaimSpans(*outline, container.shapes);
        if (!claims) return false;
        XmlPart rest = RestOfContents(name, *outline);
        pugi::xml_node root = rest.dom.document_element();
        pugi::xml_node list = root.child("Shapes");
        const bool anyShape = !container.shapes.empty() ||
                              std::any_of(outline->tops.begin(), outline->tops.end(),
                                          [](const ShapeTag& tag) { return tag.deleted; });
        static constexpr std::string_view kMarker = "tessaline:shapes:2f1c9a7e";
        if (anyShape) {
            list.append_child(pugi::node_comment).set_value(std::string(kMarker).c_str());
        } else {
            root.remove_child(list);
        }
        if (connectable) PruneConnects(root, *connectable, rest);
        const std::string text = SerializeXml(rest);
        const std::string marker = "<!--" + std::string(kMarker) + "-->";
        const size_t at = anyShape ? text.find(marker) : text.size();
        bool changed = rest.changed || !anyShape;
        // Written as it goes; an unchanged part is then left as it was.
        Spill::Span span = m_spill.Append(std::string_view(text).substr(0, at), m_target);
        WriteShapes(name, *outline, container, *claims, changed, [&](std::string_view piece) {
            span.length += m_spill.Append(piece, m_target).length;
        });
        if (anyShape)
            span.length += m_spill.Append(std::string_view(text).substr(at + marker.size()),
                                          m_target).length;
        if (changed) m_spilled[name] = span;
        return true;
    }

    /// The outline of a contents part, read as it is inflated: none when it cannot be written
    /// by pieces.
    std::optional<ContentsOutline> OutlineContents(const std::string& name) const {
        ContentsOutline outline;
        std::string outside;  // since the last shape
        bool fits = true;
        const auto atShape = [&](std::string_view text, size_t offset) {
            if (!fits) return;
            if (outline.spans.empty()) {
                outline.before = std::move(outside);
            } else if (!IsSpace(outside)) {
                fits = false;  // something between two shapes that is kept only whole
            }
            outside.clear();
            const auto tags = ShapeTagsIn(text);
            if (!tags) {
                fits = false;
                return;
            }
            const size_t span = outline.spans.size();
            outline.spans.push_back({offset, offset + text.size()});
            outline.tops.push_back(tags->front());
            for (const ShapeTag& tag : *tags) {
                // One ID twice: the part is written the way Visio reads it, whole.
                if (!tag.deleted && !outline.spanOf.emplace(tag.id, span).second) fits = false;
            }
        };
        XmlOutliner outliner("Shapes", {atShape, [&](std::string_view text) { outside += text; }});
        m_state.Bytes(name, [&](std::string_view piece) {
            if (fits) fits = outliner.Feed(piece);
        });
        if (!fits || !outliner.Finish() || outline.spans.empty()) return std::nullopt;
        outline.after = std::move(outside);
        return outline;
    }

    static bool IsSpace(std::string_view text) {
        return std::all_of(text.begin(), text.end(),
                           [](char c) { return std::isspace(static_cast<unsigned char>(c)); });
    }

    /// The spans each top-level shape of the model takes its elements from; none when two take
    /// from one span, or one from under a top-level shape marked deleted (which stays as it was).
    static std::optional<std::vector<Claim>> ClaimSpans(const ContentsOutline& outline,
                                                        const std::vector<SheetPtr>& shapes) {
        std::vector<Claim> claims;
        std::vector<bool> taken(outline.spans.size(), false);
        for (const SheetPtr& shape : shapes) {
            Claim claim;
            CollectSpans(outline, *shape, claim.spans);
            std::sort(claim.spans.begin(), claim.spans.end());
            claim.spans.erase(std::unique(claim.spans.begin(), claim.spans.end()),
                              claim.spans.end());
            for (const size_t span : claim.spans) {
                if (taken[span] || outline.tops[span].deleted) return std::nullopt;
                taken[span] = true;
            }
            const auto own = outline.spanOf.find(shape->id);
            if (own != outline.spanOf.end() && outline.tops[own->second].id == shape->id)
                claim.own = own->second;
            claims.push_back(std::move(claim));
        }
        return claims;
    }

    static void CollectSpans(const ContentsOutline& outline, const SheetData& shape,
                             std::vector<size_t>& spans) {
        if (const auto found = outline.spanOf.find(shape.id); found != outline.spanOf.end())
            spans.push_back(found->second);
        for (const SheetPtr& member : shape.shapes)
            CollectSpans(outline, *member, spans);
    }

    /// The part without its top-level shapes, parsed: what holds them, and all else.
    XmlPart RestOfContents(const std::string& name, const ContentsOutline& outline) const {
        XmlPart rest;
        rest.name = name;
        ParseXml(rest, outline.before + outline.after, m_state.path);
        return rest;
    }

    /// Writes the text of each shape the part is to hold, in order. Shapes marked deleted stay
    /// as they were; the others come in the model's order, each where it was when the model
    /// kept the order, else after the deleted ones.
    void WriteShapes(const std::string& name, ContentsOutline& outline,
                     const ShapeContainer& container, const std::vector<Claim>& claims,
                     bool& changed, const std::function<void(std::string_view)>& write) {
        std::vector<size_t> shapeInSpan(outline.spans.size(), kNoSpan);
        for (size_t i = 0; i < claims.size(); ++i) {
            if (claims[i].own != kNoSpan) shapeInSpan[claims[i].own] = i;
        }
        std::vector<size_t> order;  // model shapes in the order the part keeps them
        for (size_t span = 0; span < outline.spans.size(); ++span) {
            if (shapeInSpan[span] != kNoSpan) order.push_back(shapeInSpan[span]);
        }
        for (size_t i = 0; i < claims.size(); ++i) {
            if (claims[i].own == kNoSpan) order.push_back(i);
        }
        const bool inOrder = std::is_sorted(order.begin(), order.end());
        const bool eachAlone = std::all_of(claims.begin(), claims.end(), [](const Claim& claim) {
            return claim.spans.empty() || claim.spans == std::vector<size_t>{claim.own};
        });
        size_t next = 0;  // the next model shape to write
        const auto atSpan = [&](size_t span, const SpanTexts& texts) {
            if (outline.tops[span].deleted) {
                write(texts(span));
            } else if (shapeInSpan[span] == kNoSpan) {
                changed = true;  // a shape that is gone, or that the model moved
            } else if (inOrder) {
                write(ShapeText(name, outline, claims[next], container.shapes[next], texts,
                                changed));
                ++next;
            }
        };
        if (inOrder && eachAlone) {
            // Each shape needs its own text only, in the part's order: inflated again as it goes.
            size_t span = 0;
            XmlOutliner outliner("Shapes", {[&](std::string_view text, size_t) {
                                                atSpan(span++, [&](size_t) { return text; });
                                            },
                                            [](std::string_view) {}});
            m_state.Bytes(name, [&](std::string_view piece) { outliner.Feed(piece); });
            outliner.Finish();
        } else {
            outline.bytes = m_state.Bytes(name);
            for (size_t span = 0; span < outline.spans.size(); ++span)
                atSpan(span, [&](size_t other) { return SpanText(outline, other); });
        }
        if (!inOrder) changed = true;
        for (; next < claims.size(); ++next) {
            write(ShapeText(name, outline, claims[next], container.shapes[next],
                            [&](size_t other) { return SpanText(outline, other); }, changed));
        }
    }

    static std::string_view SpanText(const ContentsOutline& outline, size_t span) {
        const XmlSpan& where = outline.spans[span];
        return std::string_view(outline.bytes).substr(where.begin, where.end - where.begin);
    }

    /// The text of one top-level shape: as it was when neither it nor its members changed,
    /// else its element updated (a new one for a new shape) among the elements it claims.
    std::string ShapeText(const std::string& name, const ContentsOutline& outline,
                          const Claim& claim, const SheetPtr& shape, const SpanTexts& texts,
                          bool& changed) {
        const bool asItWas = claim.own != kNoSpan && claim.spans.size() == 1;
        if (asItWas && !Changed(*shape) && !AnyChanged(shape->shapes))
            return std::string(texts(claim.own));
        XmlPart piece;
        ParseSpans(name, outline, claim.spans, texts, piece);
        IndexShapeElements(piece.dom);
        const auto found = m_shapeElements.find(shape->id);
        const bool isNew = found == m_shapeElements.end();
        const pugi::xml_node node =
            isNew ? NewShapeElement(piece.dom.append_child("Shapes"), shape, piece) : found->second;
        if (isNew || Changed(*shape)) {
            UpdateShape(node, shape, piece);
        } else {
            UpdateShapeList(node, shape->shapes, piece);
        }
        m_shapeElements.clear();
        if (asItWas && !piece.changed) return std::string(texts(claim.own));
        changed = true;
        return SerializeElement(node);
    }

    /// Parses the given top-level elements of a part into one tree (several under a Shapes
    /// element of their own).
    void ParseSpans(const std::string& name, const ContentsOutline& outline,
                    const std::vector<size_t>& spans, const SpanTexts& texts,
                    XmlPart& piece) const {
        if (spans.empty()) return;
        const bool several = spans.size() > 1;
        if (several) piece.bytes = "<Shapes>";
        for (const size_t span : spans)
            piece.bytes += texts(span);
        if (several) piece.bytes += "</Shapes>";
        ParseXmlElement(piece.dom, piece.bytes, outline.spans[spans.front()].begin,
                        several ? 1 : 2, name, m_state.path);
    }

    /// Connections to shapes that are gone go with them.
    void PruneConnects(pugi::xml_node contents,
                       const std::unordered_map<int32_t, SheetData*>& shapes, XmlPart& part) {
        pugi::xml_node connects = contents.child("Connects");
        if (!connects) return;
        for (const pugi::xml_node& connect : Children(connects, "Connect")) {
            const int from = connect.attribute("FromSheet").as_int(-1);
            const int to = connect.attribute("ToSheet").as_int(-1);
            if (!shapes.count(from) || !shapes.count(to)) {
                connects.remove_child(connect);
                Touch(part);
            }
        }
        if (!connects.first_child()) {
            contents.remove_child(connects);
            Touch(part);
        }
    }

    // --- Parts -------------------------------------------------------------------------

    static pugi::xml_node ChildWithId(const pugi::xml_node& parent, std::string_view name,
                                      int32_t id) {
        for (const pugi::xml_node& child : parent.children()) {
            if (LocalName(child) == name && child.attribute("ID").as_int(-1) == id) return child;
        }
        return {};
    }

    void UpdateDocumentPart() {
        const bool changed = Changed(*m_document.documentSheet) ||
                             std::any_of(m_document.styles.begin(), m_document.styles.end(),
                                         [&](const SheetPtr& style) { return Changed(*style); });
        if (!changed) return;
        XmlPart& part = m_parts.Xml(m_state.documentPart);
        pugi::xml_node root = part.dom.document_element();
        pugi::xml_node styles = root.child("StyleSheets");
        for (const SheetPtr& style : m_document.styles) {
            pugi::xml_node node = ChildWithId(styles, "StyleSheet", style->id);
            if (!node) {
                if (!styles)
                    styles = InsertElement(root, "StyleSheets",
                                           {"DocumentSettings", "Colors", "FaceNames"});
                node = styles.append_child("StyleSheet");
                node.append_attribute("ID").set_value(style->id);
                node.append_attribute("NameU").set_value(style->nameU.c_str());
                node.append_attribute("Name").set_value(style->name.c_str());
                Touch(part);
            } else if (!Changed(*style)) {
                continue;
            }
            UpdateSheet(node, style, part);
        }
        pugi::xml_node sheet = root.child("DocumentSheet");
        if (!sheet) {
            sheet = InsertElement(root, "DocumentSheet",
                                  {"DocumentSettings", "Colors", "FaceNames", "StyleSheets"});
            for (const char* style : {"LineStyle", "FillStyle", "TextStyle"})
                sheet.append_attribute(style).set_value(0);
            Touch(part);
        }
        UpdateSheet(sheet, m_document.documentSheet, part);
    }

    bool ListChanged() const { return m_document.changedAt > m_state.readAt; }

    void UpdatePages() {
        const bool listChanged =
            ListChanged() ||
            std::any_of(m_document.pages.begin(), m_document.pages.end(), [&](const auto& page) {
                return Changed(*page->pageSheet) ||
                       (!m_pageParts.count(page.get()) && !page->shapes.empty());
            });
        if (listChanged) UpdatePageList();
        for (const auto& page : m_document.pages) {
            const auto part = m_pageParts.find(page.get());
            if (part == m_pageParts.end() || !(Changed(*page) || AnyChanged(page->shapes)))
                continue;
            UpdateContents(part->second, *page, &page->shapesById);
            RelateToMasters(part->second, page->shapes);
            Finish(part->second);
            Finish(RelationshipsPartOf(part->second));
        }
    }

    void UpdatePageList() {
        if (m_pagesPart.empty()) {
            if (m_document.pages.empty()) return;
            m_pagesPart = AddListPart("visio/pages/pages.xml", "Pages",
                                      "http://schemas.microsoft.com/visio/2010/relationships/pages",
                                      "application/vnd.ms-visio.pages+xml");
        }
        XmlPart& list = m_parts.Xml(m_pagesPart);
        pugi::xml_node root = list.dom.document_element();
        std::vector<pugi::xml_node> wanted;
        for (const auto& page : m_document.pages) {
            pugi::xml_node node = m_pageParts.count(page.get())
                                      ? ChildWithId(root, "Page", page->id)
                                      : pugi::xml_node();
            const bool isNew = !node;
            if (isNew) {
                node = root.append_child("Page");
                node.append_attribute("ID").set_value(page->id);
                node.append_attribute("NameU").set_value(page->nameU.c_str());
                node.append_attribute("Name").set_value(page->name.c_str());
                m_pageParts[page.get()] =
                    AddContentPart(m_pagesPart, node, "visio/pages/page", "PageContents",
                                   kPageRelationship, kPageContentType);
                Touch(list);
            }
            SetAttribute(node, "Name", page->name, list);
            if (!page->nameU.empty()) SetAttribute(node, "NameU", page->nameU, list);
            pugi::xml_node sheet = node.child("PageSheet");
            if (!sheet) {
                sheet = node.prepend_child("PageSheet");
                for (const char* style : {"LineStyle", "FillStyle", "TextStyle"})
                    sheet.append_attribute(style).set_value(0);
                Touch(list);
            }
            if (isNew || Changed(*page->pageSheet)) UpdateSheet(sheet, page->pageSheet, list);
            if (!m_pageParts.count(page.get()) && !page->shapes.empty()) {
                // A page read without a contents part that now has shapes.
                m_pageParts[page.get()] =
                    AddContentPart(m_pagesPart, node, "visio/pages/page", "PageContents",
                                   kPageRelationship, kPageContentType);
                Touch(list);
            }
            wanted.push_back(node);
        }
        RemoveUnwanted(root, "Page", wanted, m_pagesPart, list);
    }

    void UpdateMasters() {
        const bool listChanged =
            ListChanged() ||
            std::any_of(
                m_document.masters.begin(), m_document.masters.end(), [&](const auto& master) {
                    return Changed(*master) || (master->pageSheet && Changed(*master->pageSheet)) ||
                           (!m_masterParts.count(master.get()) && !master->shapes.empty());
                });
        if (listChanged) UpdateMasterList();
        for (const auto& master : m_document.masters) {
            const auto part = m_masterParts.find(master.get());
            if (part == m_masterParts.end() || !(Changed(*master) || AnyChanged(master->shapes)))
                continue;
            UpdateContents(part->second, *master, nullptr);
            Finish(part->second);
        }
    }

    void UpdateMasterList() {
        if (m_mastersPart.empty()) {
            if (m_document.masters.empty()) return;
            m_mastersPart =
                AddListPart("visio/masters/masters.xml", "Masters",
                            "http://schemas.microsoft.com/visio/2010/relationships/masters",
                            "application/vnd.ms-visio.masters+xml");
        }
        XmlPart& list = m_parts.Xml(m_mastersPart);
        pugi::xml_node root = list.dom.document_element();
        std::vector<pugi::xml_node> wanted;
        for (const auto& master : m_document.masters) {
            pugi::xml_node node = ChildWithId(root, "Master", master->id);
            const bool isNew = !node || !m_masterParts.count(master.get());
            if (!node) {
                node = root.append_child("Master");
                node.append_attribute("ID").set_value(master->id);
                node.append_attribute("NameU").set_value(master->nameU.c_str());
                node.append_attribute("Name").set_value(master->name.c_str());
                node.append_attribute("UniqueID").set_value(master->uniqueId.c_str());
                m_masterParts[master.get()] =
                    AddContentPart(m_mastersPart, node, "visio/masters/master", "MasterContents",
                                   kMasterRelationship, kMasterContentType);
                Touch(list);
            }
            if (master->pageSheet && (isNew || Changed(*master) || Changed(*master->pageSheet))) {
                pugi::xml_node sheet = node.child("PageSheet");
                if (!sheet) {
                    sheet = node.prepend_child("PageSheet");
                    Touch(list);
                }
                UpdateSheet(sheet, master->pageSheet, list);
            }
            if (!m_masterParts.count(master.get()) && !master->shapes.empty()) {
                m_masterParts[master.get()] =
                    AddContentPart(m_mastersPart, node, "visio/masters/master", "MasterContents",
                                   kMasterRelationship, kMasterContentType);
                Touch(list);
            }
            wanted.push_back(node);
        }
        RemoveUnwanted(root, "Master", wanted, m_mastersPart, list);
    }

    /// Removes list elements (pages, masters) the document no longer has, with their parts.
    void RemoveUnwanted(pugi::xml_node root, std::string_view name,
                        const std::vector<pugi::xml_node>& wanted, const std::string& listPart,
                        XmlPart& list) {
        const auto relationships = m_parts.Relationships(listPart);
        for (const pugi::xml_node& node : Children(root, name)) {
            if (std::find(wanted.begin(), wanted.end(), node) != wanted.end()) continue;
            const std::string id = node.child("Rel").attribute("r:id").value();
            for (const Relationship& relationship : relationships) {
                if (relationship.id != id) continue;
                m_parts.Remove(relationship.target);
                if (m_parts.Exists(RelationshipsPartOf(relationship.target))) {
                    m_parts.Remove(RelationshipsPartOf(relationship.target));
                }
                RemoveRelationship(listPart, id);
                RemoveOverride(relationship.target);
            }
            root.remove_child(node);
            Touch(list);
        }
        std::vector<pugi::xml_node> present = Children(root, name);
        if (present != wanted) {
            for (const pugi::xml_node& node : wanted)
                root.append_move(node);
            Touch(list);
        }
    }

    // --- Relationships and content types ---------------------------------------------

    XmlPart& RelationshipsOf(const std::string& part) {
        const std::string rels = RelationshipsPartOf(part);
        if (m_parts.Exists(rels)) return m_parts.Xml(rels);
        return m_parts.Create(
            rels,
            "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n"
            "<Relationships "
            "xmlns='http://schemas.openxmlformats.org/package/2006/relationships'/>");
    }

    std::string AddRelationship(const std::string& from, const std::string& type,
                                const std::string& target) {
        XmlPart& rels = RelationshipsOf(from);
        pugi::xml_node root = rels.dom.document_element();
        std::set<std::string> ids;
        for (const pugi::xml_node& node : root.children())
            ids.insert(node.attribute("Id").value());
        std::string id;
        for (int n = 1; id.empty() || ids.count(id); ++n)
            id = "rId" + std::to_string(n);
        pugi::xml_node node = root.append_child("Relationship");
        node.append_attribute("Id").set_value(id.c_str());
        node.append_attribute("Type").set_value(type.c_str());
        node.append_attribute("Target").set_value(RelativeTarget(from, target).c_str());
        Touch(rels);
        return id;
    }

    void RemoveRelationship(const std::string& from, const std::string& id) {
        XmlPart& rels = RelationshipsOf(from);
        for (const pugi::xml_node& node : Children(rels.dom.document_element(), "Relationship")) {
            if (id == node.attribute("Id").value()) {
                rels.dom.document_element().remove_child(node);
                Touch(rels);
            }
        }
    }

    static std::string RelativeTarget(const std::string& from, const std::string& target) {
        const size_t slash = from.rfind('/');
        const std::string directory =
            slash == std::string::npos ? std::string() : from.substr(0, slash + 1);
        if (!directory.empty() && target.rfind(directory, 0) == 0)
            return target.substr(directory.size());
        return "/" + target;
    }

    XmlPart& ContentTypes() { return m_parts.Xml("[Content_Types].xml"); }

    /// The main part's content type says what the target's name says: drawing, stencil or
    /// template, with macros or without (a package's kind is not its file name alone).
    void SetPackageKind() {
        const PackageKind* kind = PackageKindOf(m_target);
        if (!kind) return;
        XmlPart& types = ContentTypes();
        for (pugi::xml_node node : Children(types.dom.document_element(), "Override")) {
            if ("/" + m_state.documentPart == node.attribute("PartName").value()) {
                SetAttribute(node, "ContentType", kind->ContentType(), types);
                return;
            }
        }
        AddOverride(m_state.documentPart, kind->ContentType().c_str());
    }

    void AddOverride(const std::string& part, const char* type) {
        XmlPart& types = ContentTypes();
        pugi::xml_node node = types.dom.document_element().append_child("Override");
        node.append_attribute("PartName").set_value(("/" + part).c_str());
        node.append_attribute("ContentType").set_value(type);
        Touch(types);
    }

    void RemoveOverride(const std::string& part) {
        XmlPart& types = ContentTypes();
        for (const pugi::xml_node& node : Children(types.dom.document_element(), "Override")) {
            if ("/" + part == node.attribute("PartName").value()) {
                types.dom.document_element().remove_child(node);
                Touch(types);
            }
        }
    }

    std::string FreePartName(const std::string& stem) {
        for (int n = 1;; ++n) {
            const std::string name = stem + std::to_string(n) + ".xml";
            if (!m_parts.Exists(name)) return name;
        }
    }

    static std::string EmptyContents(const char* root) {
        return std::string("<?xml version='1.0' encoding='utf-8' ?>") + "<" + root + " xmlns='" +
               kVisioNamespace + "' xmlns:r='" + kRelationshipsNamespace +
               "' xml:space='preserve'/>";
    }

    /// A new page or master part, related from its list part and referred to by its element.
    std::string AddContentPart(const std::string& listPart, pugi::xml_node element,
                               const std::string& stem, const char* root, const char* relationship,
                               const char* contentType) {
        const std::string name = FreePartName(stem);
        m_parts.Create(name, EmptyContents(root));
        const std::string id = AddRelationship(listPart, relationship, name);
        pugi::xml_node rel = element.append_child("Rel");
        rel.append_attribute("r:id").set_value(id.c_str());
        AddOverride(name, contentType);
        return name;
    }

    std::string AddListPart(const std::string& name, const char* root, const char* relationship,
                            const char* contentType) {
        m_parts.Create(name, EmptyContents(root));
        AddRelationship(m_state.documentPart, relationship, name);
        AddOverride(name, contentType);
        return name;
    }

    /// A page relates to every master its shapes are instances of.
    void RelateToMasters(const std::string& pagePart, const std::vector<SheetPtr>& shapes) {
        std::set<const MasterData*> used;
        std::function<void(const std::vector<SheetPtr>&)> collect =
            [&](const std::vector<SheetPtr>& list) {
                for (const SheetPtr& shape : list) {
                    if (shape->masterShape && shape->masterShape->master)
                        used.insert(shape->masterShape->master);
                    collect(shape->shapes);
                }
            };
        collect(shapes);
        if (used.empty()) return;
        const auto existing = m_parts.Relationships(pagePart);
        for (const MasterData* master : used) {
            const auto part = m_masterParts.find(master);
            if (part == m_masterParts.end()) continue;
            const bool related =
                std::any_of(existing.begin(), existing.end(),
                            [&](const Relationship& r) { return r.target == part->second; });
            if (!related) AddRelationship(pagePart, kMasterRelationship, part->second);
        }
    }

    /// Asks Visio to compute the whole document again when it opens the file.
    void RequestRecalculation() {
        std::string custom;
        for (const Relationship& relationship : m_parts.Relationships("")) {
            if (relationship.type == kCustomPropertiesRelationship) custom = relationship.target;
        }
        if (custom.empty() || !m_parts.Exists(custom)) {
            custom = "docProps/custom.xml";
            m_parts.Create(
                custom,
                "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n<Properties "
                "xmlns='http://schemas.openxmlformats.org/officeDocument/2006/custom-properties' "
                "xmlns:vt='http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes'/"
                ">");
            AddRelationship("", kCustomPropertiesRelationship, custom);
            AddOverride(custom, kCustomPropertiesContentType);
        }
        XmlPart& part = m_parts.Xml(custom);
        pugi::xml_node root = part.dom.document_element();
        std::set<int> pids;
        for (const pugi::xml_node& property : Children(root, "property")) {
            if (std::string_view(property.attribute("name").value()) == "RecalcDocument") return;
            pids.insert(property.attribute("pid").as_int());
        }
        int pid = 2;
        while (pids.count(pid))
            ++pid;
        pugi::xml_node property = root.append_child("property");
        property.append_attribute("fmtid").set_value(kFormatId);
        property.append_attribute("pid").set_value(pid);
        property.append_attribute("name").set_value("RecalcDocument");
        property.append_child("vt:bool").text().set("true");
        Touch(part);
    }

    Model& m_model;
    const DocumentData& m_document;
    const PackageState& m_state;
    Parts m_parts;  // this save's view of the parts: the original ones and what it changes
    // Where pages and masters are, with those this save adds.
    std::string m_pagesPart;
    std::string m_mastersPart;
    std::unordered_map<const PageData*, std::string> m_pageParts;
    std::unordered_map<const MasterData*, std::string> m_masterParts;
    std::unordered_map<int32_t, pugi::xml_node> m_shapeElements;  // of the contents part at hand
    std::string m_target;
    Spill m_spill;                                 // contents parts written early
    std::map<std::string, Spill::Span> m_spilled;  // where in it
};

/// The parts of a package for a document made in the model: what the writer then fills.
std::shared_ptr<PackageState> BlankPackage(const std::string& path) {
    auto state = std::make_shared<PackageState>();
    state->path = path;
    const std::string declaration = "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>\r\n";
    state->blank.emplace(
        "[Content_Types].xml",
        declaration +
            "<Types xmlns='http://schemas.openxmlformats.org/package/2006/content-types'>"
            "<Default Extension='rels' "
            "ContentType='application/vnd.openxmlformats-package.relationships+xml'/>"
            "<Default Extension='xml' ContentType='application/xml'/>"
            "<Override PartName='/visio/document.xml' "
            "ContentType='application/vnd.ms-visio.drawing.main+xml'/>"
            "<Override PartName='/visio/windows.xml' "
            "ContentType='application/vnd.ms-visio.windows+xml'/>"
            "</Types>");
    state->blank.emplace(
        "_rels/.rels",
        declaration +
            "<Relationships xmlns='http://schemas.openxmlformats.org/package/2006/relationships'>"
            "<Relationship Id='rId1' "
            "Type='http://schemas.microsoft.com/visio/2010/relationships/document' "
            "Target='visio/document.xml'/></Relationships>");
    state->blank.emplace(
        "visio/document.xml",
        std::string("<?xml version='1.0' encoding='utf-8' ?><VisioDocument xmlns='") +
            kVisioNamespace + "' xmlns:r='" + kRelationshipsNamespace +
            "' xml:space='preserve'><DocumentSettings DefaultTextStyle='0' DefaultLineStyle='0' "
            "DefaultFillStyle='0'/></VisioDocument>");
    state->blank.emplace(
        "visio/_rels/document.xml.rels",
        declaration +
            "<Relationships xmlns='http://schemas.openxmlformats.org/package/2006/relationships'>"
            "<Relationship Id='rId1' "
            "Type='http://schemas.microsoft.com/visio/2010/relationships/windows' "
            "Target='windows.xml'/></Relationships>");
    state->blank.emplace(
        "visio/windows.xml",
        std::string("<?xml version='1.0' encoding='utf-8' ?><Windows xmlns='") + kVisioNamespace +
            "' xml:space='preserve'><Window ID='0' WindowType='Drawing' Page='0'/></Windows>");
    state->documentPart = "visio/document.xml";
    return state;
}

}  // namespace

bool HasChanges(const DocumentData& document) {
    const auto state = std::static_pointer_cast<PackageState>(document.fileState);
    return !state || HasChangesSince(document, state->readAt);
}

bool HasChangesSince(const DocumentData& document, uint64_t stamp) {
    const auto changed = [&](const ShapeContainer& where) { return where.changedAt > stamp; };
    std::function<bool(const std::vector<SheetPtr>&)> anyChanged =
        [&](const std::vector<SheetPtr>& shapes) {
            return std::any_of(shapes.begin(), shapes.end(), [&](const SheetPtr& shape) {
                return changed(*shape) || anyChanged(shape->shapes);
            });
        };
    if (document.changedAt > stamp || changed(*document.documentSheet) ||
        anyChanged(document.styles))
        return true;
    for (const auto& page : document.pages) {
        if (changed(*page) || changed(*page->pageSheet) || anyChanged(page->shapes)) return true;
    }
    for (const auto& master : document.masters) {
        if (changed(*master) || (master->pageSheet && changed(*master->pageSheet)) ||
            anyChanged(master->shapes)) {
            return true;
        }
    }
    return false;
}

std::string SaveRefusal(const DocumentData& document, const std::string& path) {
    const auto state = std::static_pointer_cast<PackageState>(document.fileState);
    return state ? MacroRefusal(*state, path) : std::string();
}

void CheckTargetFolder(const std::string& target) {
    const std::filesystem::path folder = PathOf(target).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        Fail(packerr::kWriteFailed, target,
             "cannot be written: there is no folder '" + NameOf(folder) + "'");
    }
}

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::weakly_canonical(PathOf(WriteTargetOf(a)), error) ==
           std::filesystem::weakly_canonical(PathOf(WriteTargetOf(b)), error);
}

}  // namespace

namespace {

/// The document's package state; a document made in the model gets a blank package, written
/// from scratch each time.
std::shared_ptr<PackageState> StateOf(const DocumentData& document, const std::string& target) {
    auto state = std::static_pointer_cast<PackageState>(document.fileState);
    if (!state) {
        state = BlankPackage(target);
        const_cast<DocumentData&>(document).fileState = state;
    }
    return state;
}

}  // namespace

PendingSave::PendingSave(Model& model, const DocumentData& document, const std::string& target)
    : m_target(WriteTargetOf(target)) {
    auto state = StateOf(document, m_target);
    CheckTargetFolder(m_target);
    const std::string written = TemporaryBeside(m_target);
    Writer(model, document, *state, m_target).Save({written});
    m_written = written;
    m_state = std::move(state);
}

PendingSave::PendingSave(PendingSave&& other) noexcept
    : m_state(std::move(other.m_state)),
      m_target(std::move(other.m_target)),
      m_written(std::exchange(other.m_written, {})) {}

PendingSave::~PendingSave() {
    if (m_written.empty()) return;
    std::error_code ignored;
    std::filesystem::remove(PathOf(m_written), ignored);
}

bool PendingSave::OverFileRead() const {
    const auto& state = *std::static_pointer_cast<PackageState>(m_state);
    return state.package && SameFile(state.path, m_target);
}

void PendingSave::Check() const {
    const auto& state = *std::static_pointer_cast<PackageState>(m_state);
    if (OverFileRead() && VersionAt(m_target) != state.version) {
        Fail(packerr::kChanged, m_target,
             "changed since it was read (another program saved it meanwhile), so it was not "
             "replaced; run again to work on the file as it is now");
    }
}

void PendingSave::Commit() {
    Check();
    PutInPlace(m_written, m_target);
    m_written.clear();
    auto& state = *std::static_pointer_cast<PackageState>(m_state);
    if (OverFileRead()) state.version = VersionAt(m_target).value_or(FileVersion{});
}

void SaveDocument(Model& model, const DocumentData& document, const std::string& path) {
    PendingSave(model, document, path).Commit();
}

std::string SaveDocumentToMemory(Model& model, const DocumentData& document,
                                 const std::string& name) {
    std::string bytes;
    Writer(model, document, *StateOf(document, name), name, true).Save({{}, &bytes});
    return bytes;
}

}  // namespace tess::vsdx
