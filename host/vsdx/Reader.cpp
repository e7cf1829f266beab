// Reading a Visio package into the embedded model.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <unordered_set>

#include "formula/CellCatalogue.h"
#include "host/embedded/Model.h"
#include "host/vsdx/Format.h"
#include "host/vsdx/PackageState.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "platform/visio/FileNames.h"

namespace tess::vsdx {
namespace {

using namespace embedded;
using namespace visio;

constexpr int kMaxGroupDepth = 64;
constexpr int32_t kMaxId = 1 << 30;  // IDs far beyond any drawing's, with room to number more

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

int32_t IntAttribute(const pugi::xml_node& node, const char* name, int32_t fallback) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return fallback;
    const std::string_view text = attribute.value();
    int32_t value = fallback;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? value : fallback;
}

bool IsDeleted(const pugi::xml_node& node) {
    return std::string_view(node.attribute("Del").value()) == "1";
}

CellData CellFromXml(const pugi::xml_node& node, int16_t index) {
    CellData cell;
    cell.index = index;
    cell.inFile = true;
    const std::string_view v = node.attribute("V").value();
    const std::string_view unit = node.attribute("U").value();
    cell.unit = UnitCode(unit);
    cell.value = ValueFromXml(v, unit, node.attribute("E").value());
    const pugi::xml_attribute f = node.attribute("F");
    if (!f) {
        cell.source = CellData::Source::Local;
        cell.valueOnly = true;
        cell.formula = FormulaFromXmlValue(v, unit);
    } else if (std::string_view(f.value()) == "Inh") {
        cell.source = CellData::Source::Inherited;
    } else if (std::string_view(f.value()) == "No Formula") {
        cell.source = CellData::Source::NoFormula;
    } else {
        cell.source = CellData::Source::Local;
        cell.formula = f.value();
    }
    return cell;
}

void PutCell(RowData& row, CellData cell) {
    const int16_t index = cell.index;
    row.Get(index) = std::move(cell);
}

size_t ChildCount(const pugi::xml_node& element, std::string_view name) {
    size_t count = 0;
    for (const pugi::xml_node& child : element.children())
        count += LocalName(child) == name;
    return count;
}

int16_t ForeignTypeOf(std::string_view type) {
    if (type == "Bitmap") return visTypeBitmap;
    if (type == "EnhMetaFile" || type == "MetaFile") return visTypeMetafile;
    if (type == "Ink") return 0x40;
    if (type == "Object") return static_cast<int16_t>(0x8000 | visTypeIsEmbedded);
    return 0;
}

class Reader {
public:
    Reader(Model& model, std::string path, bool hold)
        : m_model(model), m_path(std::move(path)), m_hold(hold) {}
    /// Reads a package held in memory; name stands for its file.
    Reader(Model& model, std::string name, std::string bytes)
        : m_model(model), m_path(std::move(name)), m_bytes(std::move(bytes)) {}
    /// Goes on reading a document read before.
    Reader(Model& model, std::shared_ptr<PackageState> state,
           std::shared_ptr<DocumentData> document)
        : m_model(model),
          m_path(state->path),
          m_state(std::move(state)),
          m_parts(std::make_unique<Parts>(*m_state)),
          m_document(std::move(document)) {}

    /// Reads the shapes of a page, left for when they are first needed. They are as the file
    /// has them: nothing in them counts as changed.
    void ReadPageContents(PageData& page) {
        const std::string& part = m_state->pageParts.at(&page);
        ShapeContainer read;
        ReadContents(part, "PageContents", read, nullptr);
        CheckDistinctIds(read.shapes, part);
        page.shapes = std::move(read.shapes);
        SetOwners(page, m_document.get(), &page, nullptr, nullptr);
        IndexShapes(page);
        m_model.LinkInheritance(page);
        std::function<void(const std::vector<SheetPtr>&)> asRead =
            [&](const std::vector<SheetPtr>& shapes) {
                for (const SheetPtr& shape : shapes) {
                    shape->changedAt = 0;
                    asRead(shape->shapes);
                }
            };
        asRead(page.shapes);
    }

    std::shared_ptr<DocumentData> Read() {
        m_state = std::make_shared<PackageState>();
        m_state->path = m_path;
        m_state->package = m_bytes ? Package::FromMemory(m_path, std::move(*m_bytes))
                                   : Package::Read(m_path, {}, m_hold);
        m_state->version = m_state->package->Version();
        if (!m_state->package->Has("[Content_Types].xml")) {
            Fail(packerr::kMissingPart, m_path,
                 "is not a Visio file: its package has no content types part "
                 "('[Content_Types].xml')");
        }
        m_parts = std::make_unique<Parts>(*m_state);
        m_document = std::make_shared<DocumentData>();
        m_document->name = NameOf(PathOf(m_path).filename());
        m_document->path = m_path;
        const PackageKind* kind = PackageKindOf(m_path);
        m_document->stencil = kind && kind->kind == "stencil";
        m_document->fileState = m_state;

        m_state->documentPart = PartOfType("", "/visio/2010/relationships/document", true);
        for (const Relationship& relationship : m_parts->Relationships(m_state->documentPart)) {
            if (EndsWith(relationship.type, "/relationships/pages"))
                m_state->pagesPart = relationship.target;
            if (EndsWith(relationship.type, "/relationships/masters"))
                m_state->mastersPart = relationship.target;
            if (EndsWith(relationship.type, "/relationships/windows"))
                m_windowsPart = relationship.target;
            if (EndsWith(relationship.type, "/relationships/theme") && !relationship.external &&
                m_parts->Exists(relationship.target)) {
                m_document->themes.push_back(
                    ThemeFromXml(m_parts->Xml(relationship.target).dom.document_element()));
                m_parts->Forget(relationship.target);
            }
        }
        ReadDocumentPart();
        if (!m_state->mastersPart.empty()) ReadMasters();
        if (!m_state->pagesPart.empty()) ReadPages();
        ReadActivePage();
        m_model.LinkInheritance(*m_document);
        return m_document;
    }

private:
    std::string PartOfType(const std::string& from, std::string_view type, bool required) {
        for (const Relationship& relationship : m_parts->Relationships(from)) {
            if (EndsWith(relationship.type, type) && !relationship.external)
                return relationship.target;
        }
        if (required)
            Fail(packerr::kMissingPart, m_path,
                 "is not a Visio file: its package has no Visio document part");
        return {};
    }

    pugi::xml_node Root(const std::string& part, std::string_view expected) {
        const pugi::xml_node root = m_parts->Xml(part).dom.document_element();
        CheckRoot(part, LocalName(root), expected);
        return root;
    }

    void CheckRoot(const std::string& part, std::string_view root, std::string_view expected) {
        if (root != expected) {
            Fail(packerr::kMalformed, m_path,
                 "has a part '" + part + "' that is not a " + std::string(expected));
        }
    }

    /// Reads the shapes of a page's or master's contents part. The part is not parsed whole:
    /// each top-level shape is parsed and read in turn, then the rest of the part is parsed to
    /// check it, so that a large page's whole document tree is never in memory beside the
    /// shapes read from it. A part whose outline cannot be followed is parsed whole.
    void ReadContents(const std::string& part, std::string_view root, ShapeContainer& container,
                      MasterData* instanceOf) {
        std::string bytes = m_state->Bytes(part);
        const std::optional<XmlOutline> outline = OutlineXml(bytes, "Shapes");
        if (!outline) {
            ReadShapes(Root(part, root).child("Shapes"), container, instanceOf, 0);
            m_parts->Forget(part);
            return;
        }
        CheckRoot(part, LocalName(outline->root), root);
        for (const XmlSpan& span : outline->children) {
            pugi::xml_document shape;
            ParseXmlElement(shape, {bytes.data() + span.begin, span.end - span.begin},
                            span.begin, 2, part, m_path);
            ReadShapes(shape, container, instanceOf, 0);
        }
        for (const XmlSpan& span : outline->children)
            std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(span.begin),
                      bytes.begin() + static_cast<std::ptrdiff_t>(span.end), ' ');
        XmlPart rest;
        rest.name = part;
        ParseXml(rest, std::move(bytes), m_path);
    }

    /// The ID of a shape, page, master or style: 0 when it has none. One no drawing has
    /// (negative, or so large that numbering new objects after it would overflow) is refused.
    int32_t IdOf(const pugi::xml_node& element) {
        const int32_t id = IntAttribute(element, "ID", 0);
        if (id < 0 || id > kMaxId) {
            Fail(packerr::kMalformed, m_path,
                 "has a " + std::string(LocalName(element)) + " with an ID no drawing has ('" +
                     element.attribute("ID").value() + "')");
        }
        return id;
    }

    SheetPtr NewSheet(SheetKind kind, const pugi::xml_node& element) {
        auto sheet = std::make_shared<SheetData>();
        sheet->kind = kind;
        sheet->document = m_document.get();
        sheet->styles = {IntAttribute(element, "LineStyle", -1),
                         IntAttribute(element, "FillStyle", -1),
                         IntAttribute(element, "TextStyle", -1)};
        return sheet;
    }

    void ReadDocumentPart() {
        const pugi::xml_node root = Root(m_state->documentPart, "VisioDocument");
        for (const pugi::xml_node& child : root.children()) {
            const std::string_view name = LocalName(child);
            if (name == "DocumentSettings") {
                m_document->defaultStyles = {IntAttribute(child, "DefaultLineStyle", 0),
                                             IntAttribute(child, "DefaultFillStyle", 0),
                                             IntAttribute(child, "DefaultTextStyle", 0)};
            } else if (name == "FaceNames") {
                for (const pugi::xml_node& face : child.children()) {
                    if (LocalName(face) != "FaceName") continue;
                    const char* faceName = face.attribute("Name").value();
                    m_document->faceNames.emplace_back(*faceName ? faceName
                                                                 : face.attribute("NameU").value());
                }
            } else if (name == "StyleSheets") {
                for (const pugi::xml_node& element : child.children()) {
                    if (LocalName(element) != "StyleSheet") continue;
                    SheetPtr style = NewSheet(SheetKind::StyleSheet, element);
                    style->id = IdOf(element);
                    style->name = element.attribute("Name").value();
                    style->nameU = element.attribute("NameU").value();
                    m_document->styles.push_back(style);
                    ReadSheetContent(element, style);
                }
            } else if (name == "DocumentSheet") {
                m_document->documentSheet = NewSheet(SheetKind::DocumentSheet, child);
                ReadSheetContent(child, m_document->documentSheet);
            }
        }
        if (!m_document->documentSheet) {
            auto sheet = std::make_shared<SheetData>();
            sheet->kind = SheetKind::DocumentSheet;
            sheet->document = m_document.get();
            sheet->objectRows =
                DefaultObjectRows(SheetKind::DocumentSheet, ShapeKind::Shape);
            m_document->documentSheet = sheet;
        }
    }

    /// Reads every master: first the list, then the contents, each after the masters whose
    /// instances it holds (stencils list a master before the masters it came to hold).
    void ReadMasters() {
        ReadMasterList();
        m_readingMasters = true;
        for (const auto& master : std::vector<std::shared_ptr<MasterData>>(m_document->masters))
            ReadMasterContents(*master);
        m_readingMasters = false;
    }

    void ReadMasterList() {
        const pugi::xml_node root = Root(m_state->mastersPart, "Masters");
        const auto relationships = m_parts->Relationships(m_state->mastersPart);
        for (const pugi::xml_node& element : root.children()) {
            if (LocalName(element) != "Master") continue;
            auto master = std::make_shared<MasterData>();
            master->id = IdOf(element);
            master->name = element.attribute("Name").value();
            master->nameU = element.attribute("NameU").value();
            master->uniqueId = element.attribute("UniqueID").value();
            // A master without a name goes by the one Visio gives it.
            if (master->name.empty()) master->name = master->nameU;
            if (master->name.empty()) master->name = "Master." + std::to_string(master->id);
            if (master->nameU.empty()) master->nameU = master->name;
            master->document = m_document.get();
            if (const pugi::xml_node pageSheet = element.child("PageSheet")) {
                master->pageSheet = NewSheet(SheetKind::PageSheet, pageSheet);
                master->pageSheet->master = master.get();
                ReadSheetContent(pageSheet, master->pageSheet);
            }
            const std::string part = TargetOf(element, relationships);
            if (!part.empty()) m_state->masterParts[master.get()] = part;
            m_document->masters.push_back(std::move(master));
        }
    }

    /// Reads a master's contents once, while the masters are read (pages come after).
    void ReadMasterContents(MasterData& master) {
        if (!m_readingMasters || !m_mastersRead.insert(&master).second) return;
        const auto part = m_state->masterParts.find(&master);
        if (part != m_state->masterParts.end()) {
            ReadContents(part->second, "MasterContents", master, nullptr);
            CheckDistinctIds(master.shapes, part->second);
        }
        SetOwners(master, m_document.get(), nullptr, &master, nullptr);
        IndexShapes(master);
    }

    void ReadPages() {
        const pugi::xml_node root = Root(m_state->pagesPart, "Pages");
        const auto relationships = m_parts->Relationships(m_state->pagesPart);
        for (const pugi::xml_node& element : root.children()) {
            if (LocalName(element) != "Page") continue;
            auto page = std::make_shared<PageData>();
            page->id = IdOf(element);
            page->name = element.attribute("Name").value();
            page->nameU = element.attribute("NameU").value();
            if (page->name.empty()) page->name = page->nameU;
            page->background = std::string_view(element.attribute("Background").value()) == "1";
            page->document = m_document.get();
            const pugi::xml_node pageSheet = element.child("PageSheet");
            page->pageSheet = NewSheet(SheetKind::PageSheet, pageSheet);
            page->pageSheet->page = page.get();
            if (pageSheet) {
                ReadSheetContent(pageSheet, page->pageSheet);
            } else {
                page->pageSheet->objectRows =
                    DefaultObjectRows(SheetKind::PageSheet, ShapeKind::Shape);
            }
            const std::string part = TargetOf(element, relationships);
            if (!part.empty()) {
                m_state->pageParts[page.get()] = part;
                page->pendingShapes = [&model = m_model, state = m_state,
                                       document = std::weak_ptr<DocumentData>(m_document),
                                       page = page.get()] {
                    Reader(model, state, document.lock()).ReadPageContents(*page);
                };
            }
            SetOwners(*page, m_document.get(), page.get(), nullptr, nullptr);
            m_document->pages.push_back(std::move(page));
        }
    }

    std::string TargetOf(const pugi::xml_node& element,
                         const std::vector<Relationship>& relationships) {
        const pugi::xml_node rel = element.child("Rel");
        const std::string id = rel.attribute("r:id").value();
        for (const Relationship& relationship : relationships) {
            if (relationship.id == id && !relationship.external) {
                if (!m_parts->Exists(relationship.target)) {
                    Fail(packerr::kMissingPart, m_path,
                         "lacks its part '" + relationship.target + "'");
                }
                return relationship.target;
            }
        }
        return {};
    }

    void ReadActivePage() {
        int32_t activeId = -1;
        if (!m_windowsPart.empty() && m_parts->Exists(m_windowsPart)) {
            for (const pugi::xml_node& window :
                 m_parts->Xml(m_windowsPart).dom.document_element().children()) {
                if (LocalName(window) == "Window" &&
                    std::string_view(window.attribute("WindowType").value()) == "Drawing") {
                    activeId = IntAttribute(window, "Page", -1);
                    break;
                }
            }
        }
        for (const auto& page : m_document->pages) {
            if (page->id == activeId) m_document->activePage = page;
        }
        if (!m_document->activePage && !m_document->pages.empty())
            m_document->activePage = m_document->pages.front();
    }

    /// Shapes of one page or master that share an ID cannot be told apart: the file is refused.
    void CheckDistinctIds(const std::vector<SheetPtr>& shapes, const std::string& part) {
        std::unordered_set<int32_t> seen;
        std::function<void(const std::vector<SheetPtr>&)> visit = [&](const auto& list) {
            for (const SheetPtr& shape : list) {
                if (!seen.insert(shape->id).second) {
                    Fail(packerr::kMalformed, m_path,
                         "has two shapes with the ID " + std::to_string(shape->id) + " in '" +
                             part + "'");
                }
                visit(shape->shapes);
            }
        };
        visit(shapes);
    }

    void ReadShapes(const pugi::xml_node& shapes, ShapeContainer& container, MasterData* instanceOf,
                    int depth) {
        if (depth > kMaxGroupDepth)
            Fail(packerr::kTooLarge, m_path, "nests groups far deeper than any drawing");
        for (const pugi::xml_node& element : shapes.children()) {
            if (LocalName(element) != "Shape" || IsDeleted(element)) continue;
            SheetPtr shape = NewSheet(SheetKind::Shape, element);
            shape->id = IdOf(element);
            shape->name = element.attribute("Name").value();
            shape->nameU = element.attribute("NameU").value();
            shape->uniqueId = element.attribute("UniqueID").value();
            MasterData* master = instanceOf;
            if (element.attribute("Master")) {
                master = MasterById(IntAttribute(element, "Master", -1));
                if (master) ReadMasterContents(*master);
                if (master && master->shapes.size() == 1)
                    shape->masterShape = master->shapes.front();
            }
            if (element.attribute("MasterShape") && master && !shape->masterShape) {
                const auto found =
                    master->shapesById.find(IntAttribute(element, "MasterShape", -1));
                if (found != master->shapesById.end())
                    shape->masterShape = found->second->shared_from_this();
            }
            const std::string_view type = element.attribute("Type").value();
            shape->shapeKind = type == "Group"                      ? ShapeKind::Group
                               : type == "Foreign"                  ? ShapeKind::Foreign
                               : type == "Guide"                    ? ShapeKind::Guide
                               : type.empty() && shape->masterShape ? shape->masterShape->shapeKind
                                                                    : ShapeKind::Shape;
            if (shape->masterShape) {
                for (size_t i = 0; i < 3; ++i) {
                    if (shape->styles[i] < 0) shape->styles[i] = shape->masterShape->styles[i];
                }
                shape->foreignType = shape->masterShape->foreignType;
            }
            ReadSheetContent(element, shape);
            container.shapes.push_back(shape);
            if (const pugi::xml_node members = element.child("Shapes"))
                ReadShapes(members, *shape, master, depth + 1);
        }
    }

    MasterData* MasterById(int32_t id) const {
        for (const auto& master : m_document->masters) {
            if (master->id == id) return master.get();
        }
        return nullptr;
    }

    void ReadSheetContent(const pugi::xml_node& element, const SheetPtr& sheet) {
        // Drawings hold hundreds of thousands of cells: each list is given its size at once.
        sheet->objectCells.cells.reserve(ChildCount(element, "Cell"));
        sheet->sections.reserve(ChildCount(element, "Section"));
        for (const pugi::xml_node& child : element.children()) {
            const std::string_view name = LocalName(child);
            if (name == "Cell") {
                if (const auto address =
                        formula::ObjectCellFromXmlName(child.attribute("N").value())) {
                    PutCell(sheet->objectCells,
                            CellFromXml(child, ObjectCellKey(address->first, address->second)));
                    sheet->objectRows.set(static_cast<size_t>(address->first));
                }
            } else if (name == "Section") {
                ReadSection(child, *sheet);
            } else if (name == "Text") {
                ReadText(child, *sheet);
            } else if (name == "Data1" || name == "Data2" || name == "Data3") {
                sheet->data[static_cast<size_t>(name.back() - '1')] = child.child_value();
            } else if (name == "ForeignData") {
                sheet->foreignType = ForeignTypeOf(child.attribute("ForeignType").value());
            }
        }
        sheet->objectRows |= DefaultObjectRows(sheet->kind, sheet->shapeKind);
    }

    /// The row of the inheritance source a row of the sheet overrides, as far as the file says:
    /// its index for indexed rows (settled when inheritance is linked), by name for named rows.
    int16_t KeyOf(const SheetData& sheet, int16_t section, int32_t ix,
                  std::string_view name) const {
        if (name.empty()) return static_cast<int16_t>(ix);
        const SheetData* source = m_model.InheritanceSource(sheet, section);
        const SectionData* inherited = source ? source->Section(section) : nullptr;
        for (size_t k = 0; inherited && k < inherited->rows.size(); ++k) {
            if (formula::SameName(inherited->rows[k].name, name)) return static_cast<int16_t>(k);
        }
        return -1;
    }

    void ReadSection(const pugi::xml_node& element, SheetData& sheet) {
        const int ix = IntAttribute(element, "IX", -1);
        const int16_t index = SectionFromXml(
            LocalName(element) == "Section" ? element.attribute("N").value() : "", ix);
        if (index < 0 || sheet.Section(index)) return;  // kept as it is in the file
        if (IsDeleted(element)) {
            sheet.deletedSections.push_back(index);
            return;
        }
        const bool geometry = IsGeometrySection(index);
        SectionData section;
        section.index = index;
        section.local = true;
        section.origin = index;
        section.key = index;
        // Rows by their place in the section: each with the index it sorts by.
        std::vector<std::pair<int32_t, RowData>> rows;
        if (geometry) rows.emplace_back(0, ReadComponentRow(element, sheet, index));
        int32_t ordinal = 0;
        for (const pugi::xml_node& rowElement : element.children()) {
            if (LocalName(rowElement) != "Row") continue;
            if (auto row = ReadRow(rowElement, sheet, section, ordinal++))
                rows.push_back(std::move(*row));
        }
        std::stable_sort(rows.begin(), rows.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        if (geometry && rows.size() == 1 && rows.front().second.cells.empty() &&
            !element.first_child())
            rows.clear();
        section.rows.reserve(rows.size());
        for (auto& entry : rows)
            section.rows.push_back(std::move(entry.second));
        const auto at =
            std::lower_bound(sheet.sections.begin(), sheet.sections.end(), index,
                             [](const SectionData& data, int16_t key) { return data.index < key; });
        sheet.sections.insert(at, std::move(section));
    }

    /// A geometry section's component row, whose cells sit on the section itself.
    RowData ReadComponentRow(const pugi::xml_node& element, const SheetData& sheet,
                             int16_t index) {
        RowData component;
        component.cells.reserve(ChildCount(element, "Cell"));
        component.type = visTagComponent;
        // Of the sheet's own when it writes a cell of it, or when nothing is inherited.
        const SheetData* source = m_model.InheritanceSource(sheet, index);
        component.local = ChildCount(element, "Cell") > 0 || !source || !source->Section(index);
        component.key = KeyOf(sheet, index, 0, {});
        for (const pugi::xml_node& cell : element.children("Cell")) {
            if (const auto address =
                    formula::SectionCellFromXmlName(index, 0, cell.attribute("N").value())) {
                PutCell(component, CellFromXml(cell, *address));
            }
        }
        return component;
    }

    /// A Row element, the position-th of its section: the row with the index it sorts by, or
    /// none for a row that deletes an inherited one (noted in the section).
    std::optional<std::pair<int32_t, RowData>> ReadRow(const pugi::xml_node& element,
                                                       const SheetData& sheet,
                                                       SectionData& section, int32_t position) {
        const int16_t index = section.index;
        const bool geometry = IsGeometrySection(index);
        const std::string name = element.attribute("N").value();
        const int32_t rowIx = IntAttribute(element, "IX", position + (geometry ? 1 : 0));
        if (IsDeleted(element)) {
            const int16_t key = KeyOf(sheet, index, rowIx, name);
            if (key >= 0) section.deletedKeys.push_back(key);
            return std::nullopt;
        }
        RowData row;
        row.cells.reserve(ChildCount(element, "Cell"));
        row.local = true;
        row.origin = position;
        row.name = name;
        row.key = KeyOf(sheet, index, rowIx, name);
        row.type = geometry ? RowTagFromXml(element.attribute("T").value()) : 0;
        if (geometry && row.type == 0) row.type = visTagLineTo;
        for (const pugi::xml_node& cell : element.children("Cell")) {
            const auto address = formula::SectionCellFromXmlName(
                index, static_cast<int16_t>(geometry ? 1 : 0), cell.attribute("N").value());
            if (address) PutCell(row, CellFromXml(cell, *address));
        }
        if (index == visSectionConnectionPts)
            row.type = name.empty() ? visTagCnnctPt : visTagCnnctNamed;
        // The file writes every control's tip cell, so each row is one with a tip.
        if (index == visSectionControls) row.type = visTagCtlPtTip;
        const bool byPosition = formula::IsNamedRowSection(index) || !name.empty();
        return std::make_pair(byPosition ? position : rowIx, std::move(row));
    }

    void ReadText(const pugi::xml_node& element, SheetData& sheet) {
        sheet.text = TextFromXml(element);
    }

    Model& m_model;
    std::string m_path;
    std::shared_ptr<PackageState> m_state;
    std::unique_ptr<Parts> m_parts;
    std::shared_ptr<DocumentData> m_document;
    std::string m_windowsPart;
    bool m_hold = false;
    std::optional<std::string> m_bytes;  // the package, when read from memory
    bool m_readingMasters = false;
    std::set<const MasterData*> m_mastersRead;  // masters whose contents are read or being read
};

}  // namespace

bool IsVisioPackageName(const std::string& path) {
    return PackageKindOf(path) != nullptr;
}

namespace {

std::shared_ptr<DocumentData> Open(Model& model, Reader& reader) {
    const bool undo = model.Undo().Enabled();
    model.Undo().SetEnabled(false);
    std::shared_ptr<DocumentData> document;
    try {
        document = reader.Read();
        model.AddDocument(document);
        std::static_pointer_cast<PackageState>(document->fileState)->readAt = model.Undo().ChangeCount();
    } catch (...) {
        model.Undo().SetEnabled(undo);
        throw;
    }
    model.Undo().SetEnabled(undo);
    return document;
}

}  // namespace

std::shared_ptr<DocumentData> OpenDocument(Model& model, const std::string& path,
                                           bool toSaveInPlace) {
    Reader reader(model, path, toSaveInPlace);
    return Open(model, reader);
}

std::shared_ptr<DocumentData> OpenDocumentFromMemory(Model& model, const std::string& name,
                                                     std::string bytes) {
    Reader reader(model, name, std::move(bytes));
    return Open(model, reader);
}

}  // namespace tess::vsdx
