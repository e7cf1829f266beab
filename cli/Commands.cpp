#include "cli/Commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "app/Globals.h"
#include "cli/Check.h"
#include "cli/Json.h"
#include "cli/Progress.h"
#include "cli/Rows.h"
#include "cli/Session.h"
#include "engine/CopyDriver.h"
#include "engine/RowStores.h"
#include "engine/SectionsTab.h"
#include "formula/CellCatalogue.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"

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

/// The master a shape is an instance of; empty for a shape of its own and for the members of an
/// instance, which follow the master's members rather than being instances themselves.
std::string MasterNameOf(const ShapePtr& shape) {
    const embedded::SheetPtr sheet = embedded::SheetOf(shape);
    if (!sheet || !sheet->masterShape || sheet->masterShape->parent || !sheet->masterShape->master)
        return {};
    return sheet->masterShape->master->name;
}

Node ShapeNode(Workspace& files, const ShapePtr& shape, int depth);

std::vector<Node> ShapeNodes(Workspace& files, const visio::ShapesPtr& shapes, int depth) {
    std::vector<Node> nodes;
    if (depth == 0) return nodes;
    for (int16_t i = 1; i <= shapes->Count(); ++i)
        nodes.push_back(ShapeNode(files, shapes->Item(i), depth < 0 ? depth : depth - 1));
    return nodes;
}

/// A shape and its members down to depth levels (all when negative).
Node ShapeNode(Workspace& files, const ShapePtr& shape, int depth) {
    return {ShapeKind(shape), shape->Name(), files.AddressOf(shape),
            ShapeNodes(files, shape->Shapes(), depth), MasterNameOf(shape)};
}

Node PageNode(Workspace& files, const Workspace::Document& document, const visio::PagePtr& page,
              int depth) {
    return {"page", page->Name(), files.AddressOfPage(document, page),
            ShapeNodes(files, page->Shapes(), depth)};
}

Node MasterNode(Workspace& files, const Workspace::Document& document,
                const visio::MasterPtr& master, int depth) {
    return {"master", master->Name(), files.AddressOfMaster(document, master),
            ShapeNodes(files, master->Shapes(), depth)};
}

/// A document as the tree shows it: its masters, then (for a drawing) its pages.
Node DocumentNode(Workspace& files, const Workspace::Document& document, int depth) {
    Node node{document.data->stencil ? "stencil" : "drawing",
              document.data->name,
              files.AddressOfDocument(document),
              {}};
    const visio::MastersPtr masters = document.object->Masters();
    for (int16_t i = 1; i <= masters->Count(); ++i)
        node.children.push_back(MasterNode(files, document, masters->Item(i), depth));
    if (!document.data->stencil) {
        const visio::PagesPtr pages = document.object->Pages();
        for (int16_t i = 1; i <= pages->Count(); ++i)
            node.children.push_back(PageNode(files, document, pages->Item(i), depth));
    }
    return node;
}

/// Whether text holds part, without regard to case.
bool Holds(std::string_view text, std::string_view part) {
    const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

/// Keeps the objects whose name, master or address holds the text, with the objects above them;
/// false when nothing at or below node was kept. The application, which has no address, is only
/// ever kept as the root.
bool KeepFound(Node& node, std::string_view text) {
    const bool found =
        !node.address.empty() &&
        (Holds(node.text, text) || Holds(node.master, text) || Holds(node.address, text));
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

// --- Sections a sheet enables ---------------------------------------------------------

/// The section boxes a source of that image enables, as the Sections tab sets them, with none
/// checked.
engine::SectionBoxes EnableFor(const ShapePtr& sheet, int16_t image) {
    engine::SectionBoxes boxes;
    engine::UnCheckAllSections(boxes);
    if (image == engine::kImageDrawing) {
        engine::EnableDisableSectionsDocument(boxes, sheet);
    } else if (image == engine::kImagePage) {
        engine::EnableDisableSectionsPage(boxes, sheet);
    } else {
        engine::EnableDisableSectionsShape(boxes, sheet);
    }
    return boxes;
}

bool Enabled(const engine::SectionBoxes& boxes, const CatalogueEntry& entry) {
    return boxes.boxes[static_cast<size_t>(entry.index)].enabled;
}

using Entries = std::vector<const CatalogueEntry*>;

/// The Sections-tab entries that fit, in the tab's order.
Entries EntriesWhere(const std::function<bool(const CatalogueEntry&)>& fits) {
    Entries entries;
    for (const CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (fits(entry)) entries.push_back(&entry);
    }
    return entries;
}

bool HasRows(const CatalogueEntry& entry) {
    return !RowsTabName(entry).empty();
}

/// The captions of entries, in order, separated by commas.
std::string CaptionsText(const Entries& entries) {
    std::string text;
    for (const CatalogueEntry* entry : entries)
        text += (text.empty() ? "" : ", ") + CaptionOf(*entry);
    return text;
}

/// The entry of a caption among those that fit; otherwise a usage error that says what is wrong
/// and names the captions that would do.
const CatalogueEntry& EntryAmong(std::string_view caption, const Entries& fitting,
                                 const std::string& problem) {
    const CatalogueEntry* entry = EntryOfCaption(caption);
    if (entry && std::find(fitting.begin(), fitting.end(), entry) != fitting.end()) return *entry;
    UsageError(problem + (fitting.empty() ? "; there is none to choose"
                                          : "; choose from: " + CaptionsText(fitting)));
}

/// The entries the source's boxes enable, in the tab's order.
Entries EnabledEntries(const engine::SectionBoxes& boxes) {
    return EntriesWhere([&](const auto& e) { return Enabled(boxes, e); });
}

/// The entry --rows names: one the source enables that has rows to choose.
const CatalogueEntry& RowsEntry(std::string_view caption, const Target& source,
                                const engine::SectionBoxes& boxes) {
    return EntryAmong(caption,
                      EntriesWhere([&](const auto& e) { return Enabled(boxes, e) && HasRows(e); }),
                      "the source '" + source.address + "' has no rows to choose in '" +
                          std::string(caption) + "'");
}

std::string KindOf(int16_t image) {
    switch (image) {
        case engine::kImageDrawing:
            return "document";
        case engine::kImagePage:
            return "page";
        case engine::kImageGroup:
            return "group";
        default:
            return "shape";
    }
}

/// The line that heads what show and sections print about an object.
std::string Heading(const Target& target) {
    return target.address + "  (" + KindOf(target.image) + " \"" + target.name + "\")\n";
}

/// The members that name an object in show's and sections' JSON.
Json TargetJson(const Target& target) {
    return {{"object", target.address}, {"name", target.name}, {"kind", KindOf(target.image)}};
}

// --- Row choices and orders of copy ------------------------------------------------------

/// The caption and the list of rows of CAPTION=ROW[,ROW]...
std::pair<std::string, std::string> CaptionAndRows(const std::string& text, const char* option) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        UsageError(std::string(option) + " takes CAPTION=ROW[,ROW]...: '" + text + "'");
    }
    return {text.substr(0, equals), text.substr(equals + 1)};
}

/// Where the row name written at `at` ends, past its trailing spaces, when it is name followed by
/// a comma or the end of the list; npos otherwise.
size_t NameEnd(std::string_view list, size_t at, std::string_view name) {
    if (list.size() - at < name.size() || !formula::SameName(list.substr(at, name.size()), name))
        return std::string_view::npos;
    size_t end = at + name.size();
    while (end < list.size() && list[end] == ' ')
        ++end;
    return end == list.size() || list[end] == ',' ? end : std::string_view::npos;
}

/// The rows a comma-separated list names, each by its label as show prints it or by its short
/// form. A label can hold a comma itself ("Geometry Section 1, Row 2"), so at each place the
/// longest name that ends at a comma or at the end is the one meant.
std::vector<size_t> FindRows(const std::vector<ListedRow>& rows, std::string_view list,
                             const std::string& caption) {
    std::vector<size_t> found;
    size_t at = 0;
    while (true) {
        while (at < list.size() && list[at] == ' ')
            ++at;
        size_t best = rows.size(), end = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            for (const std::string* name : {&rows[i].label, &rows[i].token}) {
                const size_t candidate = NameEnd(list, at, *name);
                if (candidate != std::string_view::npos && (best == rows.size() || candidate > end))
                    best = i, end = candidate;
            }
        }
        if (best == rows.size()) {
            std::string written(list.substr(at, list.find(',', at) - at));
            while (!written.empty() && written.back() == ' ')
                written.pop_back();
            std::string valid;
            for (const ListedRow& row : rows)
                valid += (valid.empty() ? "" : "; ") + row.label + " (" + row.token + ")";
            UsageError("the source has no row '" + written + "' in '" + caption + "'" +
                       (valid.empty() ? "; it has no rows there" : "; its rows: " + valid));
        }
        found.push_back(best);
        if (end == list.size()) return found;
        at = end + 1;  // past the comma
    }
}

/// Sets the Rows tab's choices and the Row Order tab's orders from --rows and --order.
void ChooseRows(const CopyOptions& options, const Target& source, engine::CopyWindow& window) {
    window.rowSelection.ResetAll();
    window.rowOrders.ResetAll();
    std::map<const CatalogueEntry*, std::vector<bool>> chosen;
    for (const std::string& text : options.rows) {
        const auto [caption, list] = CaptionAndRows(text, "--rows");
        const CatalogueEntry& entry = RowsEntry(caption, source, window.sections);
        const std::vector<ListedRow> rows = ListRows(source.sheet, entry);
        std::vector<bool>& flags = chosen[&entry];
        flags.assign(rows.size(), false);
        for (const size_t row : FindRows(rows, list, caption))
            flags[row] = true;
        if (entry.kind == engine::EntryKind::GeometryRows) {
            engine::GeometryRowTable& table = window.rowSelection.geometry;
            table.clear();
            for (size_t i = 0; i < rows.size(); ++i)
                table.push_back({int16_t(flags[i] ? 1 : 0), rows[i].section, rows[i].row});
        } else {
            engine::RowChoice choice(rows.size() + 1, 0);
            for (size_t i = 0; i < rows.size(); ++i)
                choice[i] = flags[i] ? 1 : 0;
            window.rowSelection.choices[RowsTabName(entry)] = choice;
        }
    }
    for (const std::string& text : options.orders) {
        const auto [caption, list] = CaptionAndRows(text, "--order");
        const CatalogueEntry& entry =
            EntryAmong(caption, EntriesWhere([&](const auto& e) {
                           return engine::IsSectionChosen(window.sections, e.index) && Orderable(e);
                       }),
                       "--order names '" + caption +
                           "', which is no copied section whose rows can be reordered");
        const std::vector<ListedRow> rows = ListRows(source.sheet, entry);
        const auto flags =
            chosen.count(&entry) ? chosen[&entry] : std::vector<bool>(rows.size(), true);
        std::vector<size_t> current;  // the chosen rows, in source order
        for (size_t i = 0; i < rows.size(); ++i) {
            if (flags[i]) current.push_back(i);
        }
        engine::RowOrder order;
        std::set<size_t> named;
        for (const size_t row : FindRows(rows, list, caption)) {
            const auto at = std::find(current.begin(), current.end(), row);
            if (at == current.end())
                UsageError("the order of '" + caption + "' names '" + rows[row].label +
                           "', which is not chosen");
            if (!named.insert(row).second)
                UsageError("the order of '" + caption + "' names '" + rows[row].label + "' twice");
            order.push_back(static_cast<int16_t>(at - current.begin()));
        }
        if (order.size() != current.size())
            UsageError("the order of '" + caption + "' must name each chosen row once");
        order.push_back(0);  // the spare element
        window.rowOrders.orders[RowsTabName(entry)] = order;
    }
}

// --- Writing -------------------------------------------------------------------------------

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) ||
           std::filesystem::weakly_canonical(a, error) ==
               std::filesystem::weakly_canonical(b, error);
}

}  // namespace

int RunList(const ListOptions& options, std::ostream& out) {
    Session session(options.files);
    Workspace& files = session.Files();
    Node root{"application", "Application", "", {}};
    if (options.object.empty()) {
        for (const Workspace::Document& document : files.Documents()) {
            root.children.push_back(DocumentNode(files, document, options.depth));
        }
    } else {
        const Address address = Address::Parse(options.object);
        const Workspace::Document& document = files.DocumentNamed(address.document);
        if (address.kind == Address::Kind::Document) {
            root = DocumentNode(files, document, options.depth);
        } else if (address.kind == Address::Kind::Master && address.shapes.empty() &&
                   !address.everyShape) {
            visio::MasterPtr master;
            try {
                master = document.object->Masters()->Item(address.container);
            } catch (const Error&) {
                UsageError("there is no master '" + address.container + "' in '" +
                           document.data->name + "'");
            }
            root = MasterNode(files, document, master, options.depth);
        } else {
            const Target target = files.Resolve(address);
            if (target.image == engine::kImagePage) {
                root =
                    PageNode(files, document,
                             std::dynamic_pointer_cast<visio::IPage>(target.object), options.depth);
            } else {
                root = ShapeNode(files, target.sheet, options.depth);
            }
        }
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
    Session session(options.files);
    std::ostringstream out;
    Workspace& files = session.Files();
    const Target target = files.Resolve(Address::Parse(options.object));
    Entries wanted;
    for (const std::string& caption : options.sections) {
        wanted.push_back(&EntryAmong(caption, EntriesWhere([](const auto&) { return true; }),
                                     "there is no section '" + caption + "'"));
    }
    const engine::SectionBoxes boxes = EnableFor(target.sheet, target.image);

    Json json = TargetJson(target);
    json["enables"] = Json::array();
    const Entries enabled = EnabledEntries(boxes);
    for (const CatalogueEntry* entry : enabled)
        json["enables"].push_back(CaptionOf(*entry));
    out << Heading(target);
    out << "Enables: " << CaptionsText(enabled) << "\n";

    json["sections"] = Json::array();
    for (const CatalogueEntry& entry : engine::CatalogueEntries()) {
        const bool asked = std::find(wanted.begin(), wanted.end(), &entry) != wanted.end();
        if (!(wanted.empty() ? Enabled(boxes, entry) : asked)) continue;
        Json section = {{"caption", CaptionOf(entry)}, {"rows", Json::array()}};
        out << "[" << CaptionOf(entry) << "]" << (Enabled(boxes, entry) ? "" : "  (not on this object)")
            << "\n";
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
                addRow(nullptr, EntryCells(target.sheet, entry), "  ");
            } else {
                const std::vector<ListedRow> listed = ListRows(target.sheet, entry);
                for (size_t i = 0; i < listed.size(); ++i) {
                    out << "  " << listed[i].label << "\n";
                    addRow(listed[i].label, RowCells(target.sheet, entry, listed, i), "    ");
                }
            }
        }
        json["sections"].push_back(std::move(section));
    }
    stream << (options.json ? JsonText(json) : out.str());
    return 0;
}

int RunSections(const SectionsOptions& options, std::ostream& out) {
    Session session(options.files);
    const Target target = session.Files().Resolve(Address::Parse(options.object));
    const Entries offered = EnabledEntries(EnableFor(target.sheet, target.image));
    size_t width = 0;
    for (const CatalogueEntry* entry : offered)
        width = std::max(width, CaptionOf(*entry).size());

    Json json = TargetJson(target);
    json["sections"] = Json::array();
    std::ostringstream text;
    text << Heading(target);
    for (const CatalogueEntry* entry : offered) {
        const size_t rows = RowCount(target.sheet, *entry);
        json["sections"].push_back({{"caption", CaptionOf(*entry)}, {"rows", rows}});
        text << "  " << std::left << std::setw(static_cast<int>(width + 2)) << CaptionOf(*entry)
             << rows << (rows == 1 ? " row" : " rows") << '\n';
    }
    out << (options.json ? JsonText(json) : text.str());
    return 0;
}

int RunCheck(const CheckOptions& options, std::ostream& out) {
    Session session(options.files);
    Workspace& files = session.Files();
    const CheckResult tally = CheckDocuments(files);
    const size_t broken = tally.broken.size();
    if (options.json) {
        Json json = {{"files", files.Documents().size()},
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
        const size_t count = files.Documents().size();
        out << count << (count == 1 ? " file, " : " files, ") << tally.formulas
            << (tally.formulas == 1 ? " formula" : " formulas") << " checked, " << broken
            << " broken\n";
    }
    return broken == 0 ? 0 : 1;
}

}  // namespace tess::cli

namespace tess::cli {
namespace {

std::string OutcomeName(engine::CopyOutcome outcome) {
    switch (outcome) {
        case engine::CopyOutcome::Complete:
            return "complete";
        case engine::CopyOutcome::CompleteWithRefusals:
            return "complete with refusals";
        case engine::CopyOutcome::Cancelled:
            return "cancelled";
        case engine::CopyOutcome::Failed:
            return "failed";
        case engine::CopyOutcome::RolledBack:
            return "rolled back";
    }
    return {};
}

/// The name formulas give a refused cell ("Scratch.X1", "User.Width.Prompt"), or the section's
/// label.
std::string CellOf(const engine::RefusedFormula& refused) {
    if (refused.cell < 0) return refused.sectionLabel;
    return formula::CellNameText(refused.section, refused.row, refused.cell,
                                 refused.rowName.empty() ? "Row" : refused.rowName);
}

Json RefusalJson(const engine::RefusedFormula& refused) {
    return {{"section", refused.sectionLabel},
            {"row", refused.rowLabel.empty() ? refused.listedRow : refused.rowLabel},
            {"cell", CellOf(refused)},
            {"formula", refused.formula},
            {"error", refused.errorNumber},
            {"message", refused.errorText}};
}

/// The address of a destination the run made; a new drawing has no file yet, only its name.
std::string CreatedAddress(Workspace& files, const ShapePtr& sheet) {
    try {
        return files.AddressOf(sheet);
    } catch (const Error&) {
        return sheet->Document()->Name();
    }
}

/// One destination's lines of the summary: what changed, then each refusal.
std::string Summary(const std::string& address, const engine::DestinationReport& destination) {
    std::ostringstream text;
    text << address << ": " << (destination.created ? "created, " : "") << destination.rowsAdded
         << " rows added, " << destination.rowsDeleted << " deleted, " << destination.cellsWritten
         << " cells written";
    if (destination.subShapesCreated + destination.subShapesDeleted > 0) {
        text << ", " << destination.subShapesCreated << " sub-shapes created, "
             << destination.subShapesDeleted << " deleted";
    }
    text << '\n';
    for (const engine::RefusedFormula& refused : destination.refused) {
        text << address << ": refused " << CellOf(refused);
        if (!refused.formula.empty()) text << " = " << refused.formula;
        text << ": " << AsLines(refused.errorText) << '\n';
    }
    for (const engine::Shortfall& shortfall : destination.shortfalls)
        text << address << ": not done: " << shortfall.text << '\n';
    return text.str();
}

/// The run's options as the Options tab would hold them.
void SetOptions(const CopyOptions& options, bool destinations, engine::OptionControls& controls) {
    controls = {};
    controls.copyTypeFrameEnabled = destinations;
    if (options.append) controls.SelectAppend();
    if (options.subShapes == "cells") controls.SelectCopySubShapes();
    if (options.subShapes == "replace") controls.SelectReplaceSubShapes();
    controls.chkCopyShapeText.value = options.shapeText ? 1 : 0;
    controls.chkCopyHelpString.value = options.helpString ? 1 : 0;
    controls.chkCreateDestination.value = options.createDestination ? 1 : 0;
    controls.chkLeaveTessalineRunning.value = 1;
}

/// Chooses the sections as the Sections tab would: the boxes the source enables, checked by
/// caption or all.
void ChooseSections(const CopyOptions& options, const Target& source, engine::SectionBoxes& boxes) {
    boxes = EnableFor(source.sheet, source.image);
    if (options.allSections) engine::CheckAllSections(boxes);
    const auto check = [&](const CatalogueEntry& entry) {
        boxes.boxes[static_cast<size_t>(entry.index)].value = 1;
    };
    for (const std::string& caption : options.sections) {
        check(EntryAmong(caption, EnabledEntries(boxes),
                         "the source '" + source.address + "' has no section '" + caption + "'"));
    }
    // Choosing rows says their section is copied: it need not be named again with --section.
    for (const std::string& text : options.rows)
        check(RowsEntry(CaptionAndRows(text, "--rows").first, source, boxes));
}

/// Makes the source's document and page the active ones, where a created destination goes.
void ActivateSource(Workspace& files, const Target& source) {
    const Workspace::Document& document = files.DocumentOf(source.sheet);
    std::shared_ptr<embedded::PageData> page;
    if (const auto sheet = embedded::SheetOf(source.sheet); sheet && sheet->page) {
        page = files.Model().PagePtr(sheet->page);
    }
    if (!page && !document.data->pages.empty()) page = document.data->pages.front();
    files.Model().Activate(document.data, page);
}

}  // namespace

int RunCopy(const CopyOptions& options, std::ostream& out) {
    if (options.sections.empty() && !options.allSections && options.rows.empty()) {
        UsageError(
            "copy needs to know what to copy: give --section CAPTION, --all-sections or --rows "
            "CAPTION=ROW[,ROW]... (see tessaline-cli copy --help)");
    }
    const int outputs =
        (options.output.empty() ? 0 : 1) + (options.inPlace ? 1 : 0) + (options.dryRun ? 1 : 0);
    if (outputs != 1) UsageError("copy needs exactly one of -o OUT, --in-place and --dry-run");
    if (!options.output.empty()) {
        for (const std::string& file : options.files) {
            if (SameFile(file, options.output)) {
                UsageError("-o '" + options.output +
                           "' is one of the files read; use --in-place to save over it");
            }
        }
        if (!vsdx::IsVisioPackageName(options.output))
            UsageError("-o '" + options.output + "' is not a Visio file name");
    }
    Session session(options.files, options.onError == "cancel", options.inPlace);
    Workspace& files = session.Files();
    embedded::Model& model = files.Model();

    engine::CopyWindow window;
    window.tree = &files;
    const Target source = files.Resolve(Address::Parse(options.from));
    window.source = {{source.address, source.name, source.image}};
    std::vector<Target> destinations;
    for (const std::string& text : options.to) {
        const Address address = Address::Parse(text);
        std::vector<Target> named = address.everyShape
                                        ? files.ResolveEvery(address, source.sheet)
                                        : std::vector<Target>{files.Resolve(address)};
        for (Target& target : named) {
            const bool listed =
                std::any_of(destinations.begin(), destinations.end(),
                            [&](const Target& other) { return other.address == target.address; });
            if (!listed) destinations.push_back(std::move(target));
        }
    }
    for (const Target& destination : destinations)
        window.destinations.push_back({destination.address, destination.name, destination.image});
    SetOptions(options, !destinations.empty(), window.options);
    ChooseSections(options, source, window.sections);
    ChooseRows(options, source, window);

    // What can be told before the run about where the result goes.
    const bool newDrawing =
        options.createDestination && destinations.empty() && source.image == engine::kImageDrawing;
    if (options.inPlace && newDrawing)
        UsageError("a new drawing has no file to save in place: write it with -o OUT");
    if (!options.output.empty()) {
        std::set<std::string> documents;
        for (const Target& destination : destinations)
            documents.insert(files.DocumentOf(destination.sheet).data->name);
        if (documents.size() > 1)
            UsageError("-o writes one document, but the destinations are in " +
                       std::to_string(documents.size()));
        const Workspace::Document* written =
            !destinations.empty() ? &files.DocumentOf(destinations.front().sheet)
            : !newDrawing && files.Documents().size() == 1 ? &files.Documents().front()
                                                           : nullptr;
        Workspace::CheckOutput(options.output, written ? written->data.get() : nullptr);
    }

    ActivateSource(files, source);

    const engine::CopyReport run = [&] {
        TerminalProgress progress(stderr);
        return engine::CopyDriver(files.AppPtr()).BeginCopy(window, &progress);
    }();
    const std::vector<std::string>& messages = session.Messages();
    const int status = run.outcome == engine::CopyOutcome::Complete ? 0 : 1;

    // What the run committed, by document.
    std::vector<std::shared_ptr<embedded::DocumentData>> changed;
    for (const auto& document : model.Documents()) {
        if (vsdx::HasChanges(*document)) changed.push_back(document);
    }
    std::vector<std::pair<std::shared_ptr<embedded::DocumentData>, std::string>> writes;
    if (options.inPlace) {
        for (const auto& document : changed)
            writes.emplace_back(document, document->path);
    } else if (!options.output.empty()) {
        if (changed.size() > 1)
            UsageError("-o writes one document, but the copy changed " +
                       std::to_string(changed.size()));
        if (!changed.empty()) {
            writes.emplace_back(changed.front(), options.output);
        } else if (files.Documents().size() == 1) {
            writes.emplace_back(files.Documents().front().data,
                                options.output);  // unchanged, as asked
        }
    }
    Workspace::Save(model, writes);

    Json report = {{"messages", Json::array()}};
    for (const std::string& message : messages)
        report["messages"].push_back(AsLines(message));
    report["outcome"] = OutcomeName(run.outcome);
    report["cancelled"] = run.outcome == engine::CopyOutcome::Cancelled;
    report["destinations"] = Json::array();
    for (const engine::DestinationReport& destination : run.destinations) {
        const std::string address =
            destination.created ? CreatedAddress(files, destination.sheet) : destination.item.key;
        Json item = {{"object", address},
                     {"created", destination.created},
                     {"rowsAdded", destination.rowsAdded},
                     {"rowsDeleted", destination.rowsDeleted},
                     {"cellsWritten", destination.cellsWritten},
                     {"subShapesCreated", destination.subShapesCreated},
                     {"subShapesDeleted", destination.subShapesDeleted},
                     {"refused", Json::array()}};
        for (const engine::RefusedFormula& refused : destination.refused)
            item["refused"].push_back(RefusalJson(refused));
        item["notDone"] = Json::array();
        for (const engine::Shortfall& shortfall : destination.shortfalls) {
            item["notDone"].push_back(
                {{"section", engine::GetSectionString(shortfall.section)}, {"text", shortfall.text}});
        }
        report["destinations"].push_back(std::move(item));
        if (!options.json) out << Summary(address, destination);
    }
    if (!options.json && run.RefusalCount() > 0) out << run.RefusalCount() << " formulas refused\n";
    Json& written = report[options.dryRun ? "wouldWrite" : "written"] = Json::array();
    for (const auto& document : changed) {
        const std::string where = options.dryRun
                                      ? (document->path.empty() ? document->name : document->path)
                                  : options.inPlace ? document->path
                                                    : options.output;
        if (!options.json) out << (options.dryRun ? "would write: " : "wrote: ") << where << '\n';
        written.push_back(where);
    }
    report["status"] = status;
    if (options.json) out << JsonText(report);
    return status;
}

}  // namespace tess::cli
