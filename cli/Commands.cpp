#include "cli/Commands.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "app/Globals.h"
#include "cli/Json.h"
#include "cli/Rows.h"
#include "cli/Session.h"
#include "engine/CopyDriver.h"
#include "engine/RowStores.h"
#include "engine/SectionsTab.h"
#include "formula/CellCatalogue.h"
#include "host/vsdx/Package.h"
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
};

std::string ShapeKind(const ShapePtr& shape) {
    return shape->Type() == visio::visTypeGroup || shape->Shapes()->Count() > 0 ? "group" : "shape";
}

std::vector<Node> ShapeNodes(Workspace& files, const visio::ShapesPtr& shapes, int depth) {
    std::vector<Node> nodes;
    if (depth == 0) return nodes;
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const ShapePtr shape = shapes->Item(i);
        nodes.push_back({ShapeKind(shape), shape->Name(), files.AddressOf(shape),
                         ShapeNodes(files, shape->Shapes(), depth < 0 ? depth : depth - 1)});
    }
    return nodes;
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

void PrintNode(std::ostream& out, const Node& node, int level) {
    out << std::string(static_cast<size_t>(level) * 2, ' ') << node.kind << ": " << node.text;
    if (!node.address.empty()) out << '\t' << node.address;
    out << '\n';
    for (const Node& child : node.children)
        PrintNode(out, child, level + 1);
}

Json NodeJson(const Node& node) {
    Json json = Json::MakeObject();
    json.Set("kind", node.kind);
    json.Set("name", node.text);
    if (!node.address.empty()) json.Set("address", node.address);
    Json children = Json::MakeArray();
    for (const Node& child : node.children)
        children.Add(NodeJson(child));
    json.Set("children", std::move(children));
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

const CatalogueEntry& EntryOrUsageError(std::string_view caption) {
    const CatalogueEntry* entry = EntryOfCaption(caption);
    if (!entry)
        UsageError("there is no section '" + std::string(caption) +
                   "' (a Sections-tab caption, such as \"User-defined Cells\")");
    return *entry;
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

// --- Row choices and orders of copy ------------------------------------------------------

std::pair<std::string, std::vector<std::string>> CaptionAndRows(const std::string& text,
                                                                const char* option) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        UsageError(std::string(option) + " takes CAPTION=ROW[,ROW]...: '" + text + "'");
    }
    std::vector<std::string> rows;
    size_t start = equals + 1;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        rows.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return {text.substr(0, equals), rows};
}

size_t FindRow(const std::vector<ListedRow>& rows, const std::string& token,
               const std::string& caption) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (formula::SameName(rows[i].token, token)) return i;
    }
    UsageError("the source has no row '" + token + "' in '" + caption + "'");
}

/// Sets the Rows tab's choices and the Row Order tab's orders from --rows and --order.
void ChooseRows(const CopyOptions& options, const ShapePtr& source, engine::CopyWindow& window) {
    window.rowSelection.ResetAll();
    window.rowOrders.ResetAll();
    std::map<const CatalogueEntry*, std::vector<bool>> chosen;
    for (const std::string& text : options.rows) {
        const auto [caption, tokens] = CaptionAndRows(text, "--rows");
        const CatalogueEntry& entry = EntryOrUsageError(caption);
        if (RowsTabName(entry).empty()) UsageError("'" + caption + "' has no rows to choose");
        if (!engine::IsSectionChosen(window.sections, entry.index))
            UsageError("rows are chosen for '" + caption + "', which is not copied");
        const std::vector<ListedRow> rows = ListRows(source, entry);
        std::vector<bool>& flags = chosen[&entry];
        flags.assign(rows.size(), false);
        for (const std::string& token : tokens)
            flags[FindRow(rows, token, caption)] = true;
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
        const auto [caption, tokens] = CaptionAndRows(text, "--order");
        const CatalogueEntry& entry = EntryOrUsageError(caption);
        if (!Orderable(entry))
            UsageError("the rows of '" + caption + "' cannot be put in another order");
        if (!engine::IsSectionChosen(window.sections, entry.index))
            UsageError("an order is given for '" + caption + "', which is not copied");
        const std::vector<ListedRow> rows = ListRows(source, entry);
        const auto flags =
            chosen.count(&entry) ? chosen[&entry] : std::vector<bool>(rows.size(), true);
        std::vector<size_t> current;  // the chosen rows, in source order
        for (size_t i = 0; i < rows.size(); ++i) {
            if (flags[i]) current.push_back(i);
        }
        engine::RowOrder order;
        std::set<size_t> named;
        for (const std::string& token : tokens) {
            const size_t row = FindRow(rows, token, caption);
            const auto at = std::find(current.begin(), current.end(), row);
            if (at == current.end())
                UsageError("the order of '" + caption + "' names '" + token +
                           "', which is not chosen");
            if (!named.insert(row).second)
                UsageError("the order of '" + caption + "' names '" + token + "' twice");
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

/// Writes each document to its target: all to files beside their targets first, then each
/// renamed over its target, so that a failure writes nothing.
void WriteAll(
    embedded::Model& model,
    const std::vector<std::pair<std::shared_ptr<embedded::DocumentData>, std::string>>& writes) {
    std::vector<std::pair<std::string, std::string>> staged;
    const auto discard = [&] {
        for (const auto& [temporary, target] : staged) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
        }
    };
    try {
        for (const auto& [document, target] : writes) {
            const std::string temporary = vsdx::TemporaryBeside(target);
            vsdx::SaveDocument(model, *document, temporary);
            staged.emplace_back(temporary, target);
        }
    } catch (...) {
        discard();
        throw;
    }
    for (const auto& [temporary, target] : staged) {
        std::error_code error;
        std::filesystem::rename(temporary, target, error);
        if (error) {
            discard();
            vsdx::Fail(vsdx::packerr::kWriteFailed, target,
                       "cannot be replaced (" + error.message() + ")");
        }
    }
}

// --- Check ---------------------------------------------------------------------------------

struct Problem {
    std::string address;
    std::string cell;
    std::string formula;
    std::string why;
};

void CheckSheet(embedded::Model& model, const embedded::SheetPtr& sheet, const std::string& address,
                std::vector<Problem>& problems) {
    const auto check = [&](int16_t section, int16_t row, const embedded::CellData& cell,
                           const std::string& rowName) {
        if (cell.source != embedded::CellData::Source::Local || cell.valueOnly ||
            cell.formula.empty())
            return;
        const int16_t index =
            section == visio::visSectionObject ? static_cast<int16_t>(cell.index % 64) : cell.index;
        const std::string text = cell.formula.str();
        if (const auto problem = model.CheckFormula(sheet, text)) {
            problems.push_back({address, formula::CellNameText(section, row, index, rowName), text,
                                problem->message});
        }
    };
    for (const embedded::CellData& cell :
         std::vector<embedded::CellData>(sheet->objectCells.cells)) {
        check(visio::visSectionObject, static_cast<int16_t>(cell.index / 64), cell, {});
    }
    for (size_t s = 0; s < sheet->sections.size(); ++s) {
        const embedded::SectionData section = sheet->sections[s];
        for (size_t r = 0; r < section.rows.size(); ++r) {
            for (const embedded::CellData& cell : section.rows[r].cells) {
                check(section.index, static_cast<int16_t>(r), cell, section.rows[r].name.str());
            }
        }
    }
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
                root = {ShapeKind(target.sheet), target.name, target.address,
                        ShapeNodes(files, target.sheet->Shapes(), options.depth)};
            }
        }
    }
    if (options.json) {
        out << NodeJson(root).Dump();
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
    std::vector<const CatalogueEntry*> wanted;
    for (const std::string& caption : options.sections)
        wanted.push_back(&EntryOrUsageError(caption));
    const engine::SectionBoxes boxes = EnableFor(target.sheet, target.image);

    Json json = Json::MakeObject();
    json.Set("object", target.address);
    json.Set("name", target.name);
    json.Set("kind", KindOf(target.image));
    Json enables = Json::MakeArray();
    std::string enabledText;
    for (const CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (!Enabled(boxes, entry)) continue;
        enables.Add(CaptionOf(entry));
        enabledText += (enabledText.empty() ? "" : ", ") + CaptionOf(entry);
    }
    json.Set("enables", std::move(enables));
    out << target.address << "  (" << KindOf(target.image) << " \"" << target.name << "\")\n";
    out << "Enables: " << enabledText << "\n";

    Json sections = Json::MakeArray();
    for (const CatalogueEntry& entry : engine::CatalogueEntries()) {
        const bool asked = std::find(wanted.begin(), wanted.end(), &entry) != wanted.end();
        if (!(wanted.empty() ? Enabled(boxes, entry) : asked)) continue;
        Json section = Json::MakeObject();
        section.Set("caption", CaptionOf(entry));
        Json rows = Json::MakeArray();
        out << "[" << CaptionOf(entry) << "]"
            << (Enabled(boxes, entry) ? "" : "  (not on this object)") << "\n";
        const auto addCells = [&](Json& row, const std::vector<CellLine>& cells,
                                  const std::string& indent) {
            Json list = Json::MakeArray();
            for (const CellLine& cell : cells) {
                Json item = Json::MakeObject();
                item.Set("name", cell.name);
                item.Set("formula", cell.formula);
                list.Add(std::move(item));
                out << indent << cell.name << " = " << cell.formula << "\n";
            }
            row.Set("cells", std::move(list));
        };
        if (Enabled(boxes, entry)) {
            if (RowsTabName(entry).empty()) {
                Json row = Json::MakeObject();
                row.Set("row", Json());
                addCells(row, EntryCells(target.sheet, entry), "  ");
                rows.Add(std::move(row));
            } else {
                const std::vector<ListedRow> listed = ListRows(target.sheet, entry);
                for (size_t i = 0; i < listed.size(); ++i) {
                    Json row = Json::MakeObject();
                    row.Set("row", listed[i].label);
                    out << "  " << listed[i].label << "\n";
                    addCells(row, RowCells(target.sheet, entry, listed, i), "    ");
                    rows.Add(std::move(row));
                }
            }
        }
        section.Set("rows", std::move(rows));
        sections.Add(std::move(section));
    }
    json.Set("sections", std::move(sections));
    stream << (options.json ? json.Dump() : out.str());
    return 0;
}

int RunCheck(const CheckOptions& options, std::ostream& out) {
    Session session(options.files);
    Workspace& files = session.Files();
    embedded::Model& model = files.Model();
    std::vector<Problem> problems;
    for (const Workspace::Document& document : files.Documents()) {
        const std::string prefix =
            files.Documents().size() > 1 ? EscapeName(document.data->name) + ":" : std::string();
        CheckSheet(model, document.data->documentSheet, prefix + "document", problems);
        for (const embedded::SheetPtr& style : document.data->styles) {
            CheckSheet(model, style, prefix + "style:" + EscapeName(style->name), problems);
        }
        std::function<void(const std::vector<embedded::SheetPtr>&)> shapes =
            [&](const std::vector<embedded::SheetPtr>& list) {
                for (const embedded::SheetPtr& shape : list) {
                    CheckSheet(model, shape,
                               files.AddressOf(embedded::WrapShape(files.App().ModelPtr(), shape)),
                               problems);
                    shapes(std::vector<embedded::SheetPtr>(shape->shapes));
                }
            };
        for (const auto& master : document.data->masters) {
            if (master->pageSheet)
                CheckSheet(model, master->pageSheet, prefix + "master:" + EscapeName(master->name),
                           problems);
            shapes(std::vector<embedded::SheetPtr>(master->shapes));
        }
        for (const auto& page : document.data->pages) {
            model.LoadShapes(*page);
            CheckSheet(model, page->pageSheet, prefix + "page:" + EscapeName(page->name), problems);
            shapes(std::vector<embedded::SheetPtr>(page->shapes));
        }
    }
    if (options.json) {
        Json list = Json::MakeArray();
        for (const Problem& problem : problems) {
            Json item = Json::MakeObject();
            item.Set("object", problem.address);
            item.Set("cell", problem.cell);
            item.Set("formula", problem.formula);
            item.Set("problem", problem.why);
            list.Add(std::move(item));
        }
        out << list.Dump();
    } else {
        for (const Problem& problem : problems) {
            out << problem.address << '\t' << problem.cell << '\t' << problem.formula << '\t'
                << AsLines(problem.why) << '\n';
        }
    }
    return problems.empty() ? 0 : 1;
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

/// The name formulas give a refused cell ("Scratch.X1"), or the section's label.
std::string CellOf(const engine::RefusedFormula& refused) {
    if (refused.cell < 0) return refused.sectionLabel;
    return formula::CellNameText(refused.section, refused.row, refused.cell, "Row");
}

Json RefusalJson(const engine::RefusedFormula& refused) {
    Json item = Json::MakeObject();
    item.Set("section", refused.sectionLabel);
    item.Set("row", refused.rowLabel);
    item.Set("cell", CellOf(refused));
    item.Set("formula", refused.formula);
    item.Set("error", refused.errorNumber);
    item.Set("message", refused.errorText);
    return item;
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
    for (const std::string& caption : options.sections) {
        const CatalogueEntry& entry = EntryOrUsageError(caption);
        if (!Enabled(boxes, entry))
            UsageError("the source '" + source.address + "' has no '" + CaptionOf(entry) +
                       "' to copy");
        boxes.boxes[static_cast<size_t>(entry.index)].value = 1;
    }
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
    Session session(options.files, options.onError == "cancel");
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
    ChooseRows(options, source.sheet, window);

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
    }

    ActivateSource(files, source);

    const engine::CopyReport run = engine::CopyDriver(files.AppPtr()).BeginCopy(window);
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
    WriteAll(model, writes);

    Json report = Json::MakeObject();
    Json messageList = Json::MakeArray();
    for (const std::string& message : messages)
        messageList.Add(AsLines(message));
    report.Set("messages", std::move(messageList));
    report.Set("outcome", OutcomeName(run.outcome));
    report.Set("cancelled", run.outcome == engine::CopyOutcome::Cancelled);
    Json destinationList = Json::MakeArray();
    for (const engine::DestinationReport& destination : run.destinations) {
        const std::string address =
            destination.created ? CreatedAddress(files, destination.sheet) : destination.item.key;
        Json item = Json::MakeObject();
        item.Set("object", address);
        item.Set("created", destination.created);
        item.Set("rowsAdded", destination.rowsAdded);
        item.Set("rowsDeleted", destination.rowsDeleted);
        item.Set("cellsWritten", destination.cellsWritten);
        item.Set("subShapesCreated", destination.subShapesCreated);
        item.Set("subShapesDeleted", destination.subShapesDeleted);
        Json refusals = Json::MakeArray();
        for (const engine::RefusedFormula& refused : destination.refused)
            refusals.Add(RefusalJson(refused));
        item.Set("refused", std::move(refusals));
        destinationList.Add(std::move(item));
        if (!options.json) out << Summary(address, destination);
    }
    report.Set("destinations", std::move(destinationList));
    if (!options.json && run.RefusalCount() > 0) out << run.RefusalCount() << " formulas refused\n";
    Json written = Json::MakeArray();
    for (const auto& document : changed) {
        const std::string where = options.inPlace ? document->path : options.output;
        if (options.dryRun) {
            if (!options.json)
                out << "would write: " << (document->path.empty() ? document->name : document->path)
                    << '\n';
        } else if (!options.json) {
            out << "wrote: " << where << '\n';
        }
        written.Add(options.dryRun ? (document->path.empty() ? document->name : document->path)
                                   : where);
    }
    report.Set(options.dryRun ? "wouldWrite" : "written", std::move(written));
    report.Set("status", status);
    if (options.json) out << report.Dump();
    return status;
}

}  // namespace tess::cli
