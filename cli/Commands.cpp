#include "cli/Commands.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "cli/Check.h"
#include "cli/Json.h"
#include "cli/Objects.h"
#include "cli/Rows.h"
#include "cli/Session.h"
#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"
#include "window/Find.h"

namespace tess::cli {
namespace {

using engine::CatalogueEntry;
using visio::ShapePtr;

// --- The tree (list) ---------------------------------------------------------------------

struct Node {
    std::string kind;
    std::string text;
    std::string address;
    std::vector<Node> children;
    std::string master;  // the master an instance was made from
};

std::string ShapeKind(const ShapePtr& shape) {
    return shape->Type() == visio::visTypeGroup || shape->Shapes()->Count() > 0 ? "group" : "shape";
}

Node ShapeNode(const visio::Resolver& names, const ShapePtr& shape, int depth);

std::vector<Node> ShapeNodes(const visio::Resolver& names, const visio::ShapesPtr& shapes,
                             int depth) {
    std::vector<Node> nodes;
    if (depth == 0) return nodes;
    for (int16_t i = 1; i <= shapes->Count(); ++i)
        nodes.push_back(ShapeNode(names, shapes->Item(i), depth < 0 ? depth : depth - 1));
    return nodes;
}

/// A shape and its members down to depth levels (all when negative).
Node ShapeNode(const visio::Resolver& names, const ShapePtr& shape, int depth) {
    return {ShapeKind(shape), shape->Name(), names.AddressOf(shape),
            ShapeNodes(names, shape->Shapes(), depth), embedded::MasterNameOf(shape)};
}

Node PageNode(const visio::Resolver& names, const visio::PagePtr& page, int depth) {
    return {"page", page->Name(), names.AddressOfPage(page),
            ShapeNodes(names, page->Shapes(), depth)};
}

Node MasterNode(const visio::Resolver& names, const visio::MasterPtr& master, int depth) {
    return {"master", master->Name(), names.AddressOfMaster(master),
            ShapeNodes(names, master->Shapes(), depth)};
}

/// A document as the tree shows it: its masters, then (for a drawing) its pages.
Node DocumentNode(const visio::Resolver& names, const visio::DocumentPtr& document, int depth) {
    const std::string name = document->Name();
    const bool stencil = visio::DocumentKind(name) == visio::kImageStencil;
    Node node{stencil ? "stencil" : "drawing", name, names.AddressOfDocument(document), {}};
    const visio::MastersPtr masters = document->Masters();
    for (int16_t i = 1; i <= masters->Count(); ++i)
        node.children.push_back(MasterNode(names, masters->Item(i), depth));
    if (!stencil) {
        const visio::PagesPtr pages = document->Pages();
        for (int16_t i = 1; i <= pages->Count(); ++i)
            node.children.push_back(PageNode(names, pages->Item(i), depth));
    }
    return node;
}

/// Keeps the objects whose name, master or address holds the text, with the objects above them;
/// false when nothing at or below node was kept. The application, which has no address, is only
/// ever kept as the root.
bool KeepFound(Node& node, std::string_view text) {
    const bool found = window::Found(node.text, node.master, node.address, text);
    std::vector<Node> kept;
    for (Node& child : node.children) {
        if (KeepFound(child, text)) kept.push_back(std::move(child));
    }
    node.children = std::move(kept);
    return found || !node.children.empty();
}

void PrintNode(std::ostream& out, const Node& node, int level) {
    out << std::string(static_cast<size_t>(level) * 2, ' ') << node.kind << ": " << node.text;
    if (!node.master.empty()) out << "  (master " << node.master << ")";
    if (!node.address.empty()) out << '\t' << node.address;
    out << '\n';
    for (const Node& child : node.children)
        PrintNode(out, child, level + 1);
}

Json NodeJson(const Node& node) {
    Json json = {{"kind", node.kind}, {"name", node.text}};
    if (!node.address.empty()) json["address"] = node.address;
    if (!node.master.empty()) json["master"] = node.master;
    json["children"] = Json::array();
    for (const Node& child : node.children)
        json["children"].push_back(NodeJson(child));
    return json;
}

// --- Show and sections ---------------------------------------------------------------

/// The line that heads what show and sections print about an object.
std::string Heading(const Target& target) {
    return target.address + "  (" + KindOf(target.image) + " \"" + target.name + "\")\n";
}

/// The members that name an object in show's and sections' JSON.
Json TargetJson(const Target& target) {
    return {{"object", target.address}, {"name", target.name}, {"kind", KindOf(target.image)}};
}

/// The tree below the OBJECT list is given.
Node ObjectNode(Session& session, const std::string& object, int depth) {
    const visio::Resolver names = session.Resolver();
    const visio::ObjectPath path = visio::ObjectPath::Parse(object);
    if (path.kind == visio::ObjectPath::Kind::Document)
        return DocumentNode(names, names.DocumentNamed(path.document), depth);
    if (path.kind == visio::ObjectPath::Kind::Master && path.shapes.empty() && !path.everyShape) {
        visio::ObjectPath master = path;
        master.membersOnly = true;  // a master alone names no sheet, but list shows it
        const visio::ResolvedObject found = names.Resolve(master);
        return MasterNode(names, std::dynamic_pointer_cast<visio::IMaster>(found.object), depth);
    }
    const visio::ResolvedObject found = names.Resolve(path);
    if (found.image == visio::kImagePage)
        return PageNode(names, std::dynamic_pointer_cast<visio::IPage>(found.object), depth);
    return ShapeNode(names, found.sheet, depth);
}

}  // namespace

int RunList(const ListOptions& options, std::ostream& out) {
    Session session(options);
    Node root{"application", "Application", "", {}};
    if (options.object.empty()) {
        const visio::Resolver names = session.Resolver();
        for (const visio::DocumentPtr& document : session.Documents())
            root.children.push_back(DocumentNode(names, document, options.depth));
    } else {
        root = ObjectNode(session, options.object, options.depth);
    }
    if (!options.find.empty() && !KeepFound(root, options.find)) {
        std::cerr << "Tessaline: nothing has '" << options.find
                  << "' in its name, its master's name or its address\n";
        return 1;
    }
    if (options.json) {
        out << JsonText(NodeJson(root));
    } else {
        PrintNode(out, root, 0);
    }
    return 0;
}

int RunShow(const ShowOptions& options, std::ostream& stream) {
    Session session(options);
    std::ostringstream out;
    const Target target = ResolveTarget(session.Resolver(), options.object);
    Entries wanted;
    for (const std::string& caption : options.sections) {
        wanted.push_back(&EntryAmong(caption, EntriesWhere([](const auto&) { return true; }),
                                     "there is no section '" + caption + "'"));
    }
    const window::SectionBoxes boxes = EnableFor(session, target);

    Json json = TargetJson(target);
    json["enables"] = Json::array();
    const Entries enabled = EnabledEntries(boxes);
    for (const CatalogueEntry* entry : enabled)
        json["enables"].push_back(window::CaptionOf(*entry));
    out << Heading(target);
    out << "Enables: " << CaptionsText(enabled) << "\n";

    json["sections"] = Json::array();
    for (const CatalogueEntry& entry : engine::CatalogueEntries()) {
        const bool asked = std::find(wanted.begin(), wanted.end(), &entry) != wanted.end();
        if (!(wanted.empty() ? Enabled(boxes, entry) : asked)) continue;
        Json section = {{"caption", window::CaptionOf(entry)}, {"rows", Json::array()}};
        out << "[" << window::CaptionOf(entry) << "]"
            << (Enabled(boxes, entry) ? "" : "  (not on this object)") << "\n";
        const auto addRow = [&](Json label, const std::vector<CellLine>& cells,
                                const std::string& indent) {
            Json row = {{"row", std::move(label)}, {"cells", Json::array()}};
            for (const CellLine& cell : cells) {
                row["cells"].push_back({{"name", cell.name}, {"formula", cell.formula}});
                out << indent << cell.name << " = " << cell.formula << "\n";
            }
            section["rows"].push_back(std::move(row));
        };
        if (Enabled(boxes, entry)) {
            if (!HasRows(entry)) {
                addRow(nullptr, EntryCells(session, target.sheet, entry), "  ");
            } else {
                const visio::ApplicationPtr host = session.Application();
                const std::vector<ListedRow> listed = window::ListEntryRows(target.sheet, entry);
                for (size_t i = 0; i < listed.size(); ++i) {
                    out << "  " << listed[i].label << "\n";
                    addRow(listed[i].label, RowCells(session, host, target.sheet, entry, listed, i),
                           "    ");
                }
            }
        }
        json["sections"].push_back(std::move(section));
    }
    stream << (options.json ? JsonText(json) : out.str());
    return 0;
}

int RunSections(const SectionsOptions& options, std::ostream& out) {
    Session session(options);
    const Target target = ResolveTarget(session.Resolver(), options.object);
    const Entries offered = EnabledEntries(EnableFor(session, target));
    size_t width = 0;
    for (const CatalogueEntry* entry : offered)
        width = std::max(width, window::CaptionOf(*entry).size());

    Json json = TargetJson(target);
    json["sections"] = Json::array();
    std::ostringstream text;
    text << Heading(target);
    for (const CatalogueEntry* entry : offered) {
        const size_t rows = RowCount(target.sheet, *entry);
        json["sections"].push_back({{"caption", window::CaptionOf(*entry)}, {"rows", rows}});
        text << "  " << std::left << std::setw(static_cast<int>(width + 2))
             << window::CaptionOf(*entry) << rows << (rows == 1 ? " row" : " rows") << '\n';
    }
    out << (options.json ? JsonText(json) : text.str());
    return 0;
}

int RunCheck(const CheckOptions& options, std::ostream& out) {
    Session session(options);
    const CheckResult tally = session.OverVisio() ? CheckDrawings(session.Application())
                                                  : CheckDocuments(session.Files());
    const size_t count = session.Documents().size();
    const size_t broken = tally.broken.size();
    if (options.json) {
        Json json = {{"files", count},
                     {"formulasChecked", tally.formulas},
                     {"broken", Json::array()}};
        for (const BrokenFormula& problem : tally.broken) {
            json["broken"].push_back({{"object", problem.address},
                                      {"cell", problem.cell},
                                      {"formula", problem.formula},
                                      {"problem", AsLines(problem.why)}});
        }
        out << JsonText(json);
    } else {
        for (const BrokenFormula& problem : tally.broken) {
            out << problem.address << '\t' << problem.cell << '\t' << problem.formula << '\t'
                << AsLines(problem.why) << '\n';
        }
        out << count << (count == 1 ? " file, " : " files, ") << tally.formulas
            << (tally.formulas == 1 ? " formula" : " formulas") << " checked, " << broken
            << " broken\n";
    }
    return broken == 0 ? 0 : 1;
}

}  // namespace tess::cli
