#include "cli/DiffCommand.h"

#include <algorithm>
#include <iomanip>
#include <map>
#include <memory>
#include <sstream>

#include "cli/Objects.h"
#include "cli/Session.h"
#include "cli/Workspace.h"
#include "host/vsdx/Vsdx.h"
#include "window/RowDetails.h"
#include "window/RowListing.h"

namespace tess::cli {
namespace {

using window::CellChange;
using window::CellDifference;
using window::CellImage;
using window::RowDifference;
using window::SectionDifference;

/// Formulas and values wider than this do not widen their section's columns.
constexpr size_t kColumn = 40;

/// The files and the two objects of a diff command line.
struct Form {
    std::vector<std::string> files;
    std::string objects[2];
};

Form ParseForm(const std::vector<std::string>& arguments, bool visio) {
    const auto isFile = [&](size_t i) { return vsdx::IsVisioPackageName(arguments[i]); };
    if (visio) {
        // In Visio the documents are named in the OBJECTs (DOC:page:P/SHAPE).
        if (arguments.size() == 2 && !isFile(0) && !isFile(1))
            return {{}, {arguments[0], arguments[1]}};
        UsageError("diff --visio compares two objects of the drawings open in Visio: give A B, "
                   "naming documents in OBJECTs as DOC:page:P/SHAPE");
    }
    if (arguments.size() == 3 && !isFile(1)) return {{arguments[0]}, {arguments[1], arguments[2]}};
    if (arguments.size() == 3) return {{arguments[0], arguments[1]}, {arguments[2], arguments[2]}};
    if (arguments.size() == 4 && isFile(1))
        return {{arguments[0], arguments[1]}, {arguments[2], arguments[3]}};
    UsageError(
        "diff compares two objects: give FILE A B, FILE1 FILE2 A or FILE1 FILE2 A B (see "
        "tessaline-cli diff --help)");
}

/// Where the objects are looked up: each file in a session of its own, so that two versions of
/// one drawing can be compared whatever their names; or the running Visio.
std::vector<std::unique_ptr<Session>> OpenSides(const std::vector<std::string>& files,
                                                bool visio) {
    std::vector<std::unique_ptr<Session>> sessions;
    if (visio) sessions.push_back(std::make_unique<Session>(Drawings{{}, true}));
    for (const std::string& file : files)
        sessions.push_back(std::make_unique<Session>(Drawings{{file}}));
    return sessions;
}

window::Entries ChosenEntries(const std::vector<std::string>& captions) {
    const Entries every =
        EntriesWhere([](const auto& entry) { return entry.kind != engine::EntryKind::Nothing; });
    window::Entries entries;
    for (const std::string& caption : captions) {
        const engine::CatalogueEntry* entry =
            &EntryAmong(caption, every, "there is no section '" + caption + "' to compare");
        if (std::find(entries.begin(), entries.end(), entry) == entries.end())
            entries.push_back(entry);
    }
    // In the catalogue's order, as the listing groups them.
    std::sort(entries.begin(), entries.end());
    return entries;
}

ComparedObject Described(const Target& target) {
    return {target.address, target.name, KindOf(target.image), target.sheet->Document()->Name()};
}

Comparison Compare(app::IPrompt& prompt, const Target& a, const Target& b,
                   const window::Entries& chosen) {
    Comparison comparison;
    comparison.objects[0] = Described(a);
    comparison.objects[1] = Described(b);
    static_cast<window::SheetComparison&>(comparison) =
        window::DiffSheets(prompt, a.sheet, b.sheet, chosen);
    return comparison;
}

/// Every top-level shape an address ending in '*' names in two files, paired by address.
std::vector<Comparison> CompareEvery(Session& first, Session& second, const std::string& object,
                                     const window::Entries& chosen) {
    const visio::ObjectPath path = visio::ObjectPath::Parse(object);
    std::map<std::string, Target> seconds;
    for (const auto& found : second.Resolver().ResolveEvery(path, nullptr)) {
        const Target target = TargetOf(second.Resolver(), found);
        seconds.emplace(target.address, target);
    }
    std::vector<Comparison> comparisons;
    for (const auto& found : first.Resolver().ResolveEvery(path, nullptr)) {
        const Target a = TargetOf(first.Resolver(), found);
        const auto b = seconds.find(a.address);
        if (b == seconds.end()) {
            comparisons.emplace_back().objects[0] = Described(a);
            continue;
        }
        comparisons.push_back(Compare(first, a, b->second, chosen));
        seconds.erase(b);
    }
    for (const auto& [address, b] : seconds)
        comparisons.emplace_back().objects[1] = Described(b);
    return comparisons;
}

// --- The listing -------------------------------------------------------------------------

std::string ObjectLine(const std::string& label, const ComparedObject& object) {
    if (object.address.empty()) return label + ": (none)\n";
    return label + ": " + object.address + "  (" + object.kind + " \"" + object.name + "\")  " +
           object.file + "\n";
}

/// The widths of a section's name and formula columns.
struct Widths {
    size_t name = 4;
    size_t label = 1;
    size_t formula = 1;
    size_t value = 1;
};

Widths WidthsOf(const SectionDifference& section) {
    Widths widths;
    for (const RowDifference& row : section.rows) {
        for (const CellDifference& cell : row.cells) {
            widths.name = std::max(widths.name, cell.name.size());
            for (const auto* side : {&cell.first, &cell.second}) {
                if (!*side) continue;
                const size_t formula = window::FormulaDisplayText((*side)->formula).size();
                widths.formula = std::max(widths.formula, std::min(formula, kColumn));
                widths.value = std::max(widths.value, std::min((*side)->value.size(), kColumn));
            }
        }
    }
    return widths;
}

/// One side of a cell: its name (on the first side only), the side's label, formula, value and
/// where the formula comes from.
void PrintSide(std::ostream& out, const std::string& name, const std::string& label,
               const std::optional<CellImage>& cell, const Widths& widths) {
    out << std::left << std::setw(static_cast<int>(widths.name + 2)) << name
        << std::setw(static_cast<int>(widths.label + 2)) << label;
    if (!cell) {
        out << "(no such cell)\n";
        return;
    }
    out << std::setw(static_cast<int>(widths.formula)) << window::FormulaDisplayText(cell->formula)
        << "  = " << std::setw(static_cast<int>(widths.value)) << cell->value << "  ("
        << window::OriginText(*cell) << ")\n";
}

void PrintRow(std::ostream& out, const Comparison& comparison, const RowDifference& row,
              const Widths& widths) {
    const std::string* labels = comparison.labels;
    if (!row.inFirst || !row.inSecond) {
        out << "  " << (row.label.empty() ? "the row" : row.label) << "  only in "
            << labels[row.inFirst ? 0 : 1] << "\n";
        return;
    }
    if (!row.label.empty()) out << "  " << row.label << "\n";
    const std::string indent = row.label.empty() ? "  " : "    ";
    if (row.firstType != row.secondType) {
        out << indent << "row type: " << labels[0] << " " << row.firstType << ", " << labels[1]
            << " " << row.secondType << "\n";
    }
    for (const CellDifference& cell : row.cells) {
        PrintSide(out << indent, cell.name, labels[0], cell.first, widths);
        PrintSide(out << indent, "", labels[1], cell.second, widths);
    }
}

void PrintSection(std::ostream& out, const Comparison& comparison,
                  const SectionDifference& section) {
    out << "[" << window::CaptionOf(*section.entry) << "]  ";
    if (!section.inFirst || !section.inSecond) {
        out << "only in " << comparison.labels[section.inFirst ? 0 : 1] << "\n";
    } else if (section.rows.empty()) {
        out << "same\n";
        return;
    } else {
        out << "differs\n";
    }
    Widths widths = WidthsOf(section);
    widths.label = std::max(comparison.labels[0].size(), comparison.labels[1].size());
    for (const RowDifference& row : section.rows)
        PrintRow(out, comparison, row, widths);
}

Json CellJson(const std::optional<CellImage>& cell) {
    if (!cell) return nullptr;
    Json json = {{"formula", window::FormulaDisplayText(cell->formula)},
                 {"value", cell->value},
                 {"from", cell->origin == window::FormulaOrigin::Local    ? "local"
                          : cell->origin == window::FormulaOrigin::Master ? "master"
                                                                          : "style"}};
    if (cell->origin == window::FormulaOrigin::Master) json["master"] = cell->master;
    return json;
}

std::string ChangeName(CellChange change) {
    switch (change) {
        case CellChange::Formula:
            return "formula";
        case CellChange::Value:
            return "value";
        case CellChange::Missing:
            return "cell";
    }
    return {};
}

Json RowJson(const RowDifference& row) {
    Json json = {{"row", row.label.empty() ? Json(nullptr) : Json(row.label)},
                 {"inA", row.inFirst},
                 {"inB", row.inSecond}};
    if (row.firstType != row.secondType) {
        json["typeA"] = row.firstType;
        json["typeB"] = row.secondType;
    }
    json["cells"] = Json::array();
    for (const CellDifference& cell : row.cells) {
        Json item = {{"cell", cell.name}, {"differs", ChangeName(cell.change)},
                     {"a", CellJson(cell.first)}, {"b", CellJson(cell.second)}};
        if (cell.first) item["aReadAs"] = window::FormulaDisplayText(cell.mapped);
        json["cells"].push_back(std::move(item));
    }
    return json;
}

Json ObjectJson(const ComparedObject& object) {
    if (object.address.empty()) return nullptr;
    return {{"object", object.address},
            {"name", object.name},
            {"kind", object.kind},
            {"file", object.file}};
}

}  // namespace

size_t Comparison::Count() const {
    // An object one side lacks was not compared: that is one difference.
    const bool lone = objects[0].address.empty() || objects[1].address.empty();
    return lone && diff.sections.empty() ? 1 : diff.Count();
}

void PrintComparison(std::ostream& out, const Comparison& comparison) {
    out << ObjectLine(comparison.labels[0], comparison.objects[0])
        << ObjectLine(comparison.labels[1], comparison.objects[1]);
    if (!comparison.references.empty()) {
        out << comparison.labels[0] << "'s references read as " << comparison.labels[1] << "'s:";
        const char* separator = " ";
        for (const auto& [from, to] : comparison.references) {
            out << separator << from << " as " << to;
            separator = ", ";
        }
        out << "\n";
    }
    for (const SectionDifference& section : comparison.diff.sections)
        PrintSection(out, comparison, section);
    const size_t count = comparison.Count();
    if (count == 0) {
        out << comparison.labels[0] << " and " << comparison.labels[1] << " are the same\n";
    } else {
        out << count << (count == 1 ? " difference\n" : " differences\n");
    }
}

Json ComparisonJson(const Comparison& comparison) {
    Json json = {{"a", ObjectJson(comparison.objects[0])},
                 {"b", ObjectJson(comparison.objects[1])},
                 {"references", Json::array()}};
    for (const auto& [from, to] : comparison.references)
        json["references"].push_back({{"a", from}, {"b", to}});
    json["differences"] = comparison.Count();
    json["sections"] = Json::array();
    for (const SectionDifference& section : comparison.diff.sections) {
        Json item = {{"caption", window::CaptionOf(*section.entry)},
                     {"inA", section.inFirst},
                     {"inB", section.inSecond},
                     {"rowsCompared", section.rowsCompared},
                     {"rows", Json::array()}};
        for (const RowDifference& row : section.rows)
            item["rows"].push_back(RowJson(row));
        json["sections"].push_back(std::move(item));
    }
    return json;
}

int RunDiff(const DiffOptions& options, std::ostream& out) {
    const Form form = ParseForm(options.arguments, options.visio);
    const window::Entries chosen = ChosenEntries(options.sections);
    const std::vector<std::unique_ptr<Session>> sessions = OpenSides(form.files, options.visio);
    Session& first = *sessions.front();
    Session& second = *sessions.back();
    std::vector<Comparison> comparisons;
    if (sessions.size() == 2 && form.objects[0] == form.objects[1] &&
        visio::ObjectPath::Parse(form.objects[0]).everyShape) {
        comparisons = CompareEvery(first, second, form.objects[0], chosen);
    } else {
        const Target a = ResolveTarget(first.Resolver(), form.objects[0]);
        const Target b = ResolveTarget(second.Resolver(), form.objects[1]);
        comparisons.push_back(Compare(first, a, b, chosen));
    }
    size_t count = 0;
    Json json = {{"comparisons", Json::array()}};
    for (const Comparison& comparison : comparisons) {
        count += comparison.Count();
        // The JSON document is built only when it is printed: on a large page it costs as
        // much as the comparison.
        if (options.json) {
            json["comparisons"].push_back(ComparisonJson(comparison));
        } else {
            if (&comparison != &comparisons.front()) out << "\n";
            PrintComparison(out, comparison);
        }
    }
    json["differences"] = count;
    if (options.json) out << JsonText(json);
    return count == 0 ? 0 : 1;
}

}  // namespace tess::cli

namespace tess::cli::help {

std::string DiffForms() {
    return R"(Forms:
  diff FILE A B             two objects of one drawing
  diff FILE1 FILE2 A        the same object in two drawings (before and after a copy, say);
                            A may end in '*': every top-level shape of the page or master,
                            each against the shape of the same address in FILE2
  diff FILE1 FILE2 A B      A in the first drawing, B in the second
  --visio diff A B          two objects of the drawings open in the running Visio (Windows;
                            a document named in the OBJECT: Drawing1.vsdx:page:Page-1/Sheet.3)
Per section (each --section CAPTION, or every one either object offers), diff lists the rows
only one object has (named rows by name, others by position) and, per cell a copy writes, the
formula (its own or inherited; No Formula where there is none) and the value wherever they
differ, with where each formula comes from: local, master M (inherited from master M) or style.
A's formulas are read as a copy from A to B would write them: references to A and to its
members read as references to B and to B's matching members (the member made from the same
master shape, else the first of the same name), so Sheet.12!Width in A equals Sheet.40!Width in
B when a copy from A to B would rewrite 12 as 40, and a section just copied compares the same.
Exit status: 0 when nothing differs, 1 when something does, 2 for a command-line mistake, 3 for
a file that cannot be read (with --visio, when no Visio runs).
Examples:
  tessaline-cli diff in.vsdx page:Page-1/Sheet.1 page:Page-1/Sheet.5
  tessaline-cli diff in.vsdx page:Page-1/Sheet.3 master:Box/Sheet.5 --section 'User-defined Cells'
  tessaline-cli diff before.vsdx after.vsdx page:Page-1/Sheet.5 --json
  tessaline-cli diff before.vsdx after.vsdx 'page:Page-1/*'
  tessaline-cli copy in.vsdx --from page:Page-1/Sheet.1 --to page:Page-1/Sheet.5 \
      --section 'Custom Properties' --dry-run --diff
)";
}

std::string DiffJson() {
    return R"(JSON (--json): one object
  comparisons[]                 each pair of objects compared (one, or one per shape with '*')
  comparisons[].a               the first object (null when only the second has it):
  comparisons[].a.object        its OBJECT
  comparisons[].a.name          its name
  comparisons[].a.kind          document, page, group or shape
  comparisons[].a.file          the file it is in
  comparisons[].b               the second object (null when only the first has it):
  comparisons[].b.object        its OBJECT
  comparisons[].b.name          its name
  comparisons[].b.kind          document, page, group or shape
  comparisons[].b.file          the file it is in
  comparisons[].references[]    the sheets whose references a copy from a to b rewrites
  comparisons[].references[].a  a's sheet ("Sheet.12")
  comparisons[].references[].b  the sheet it reads as in b ("Sheet.40")
  comparisons[].differences     how many rows and cells differ
  comparisons[].sections[]      each section compared, in the Sections tab's order
  comparisons[].sections[].caption       its Sections-tab caption
  comparisons[].sections[].inA           whether a has it
  comparisons[].sections[].inB           whether b has it
  comparisons[].sections[].rowsCompared  the rows both have
  comparisons[].sections[].rows[]        each row that differs
  comparisons[].sections[].rows[].row    its label (Prop.Cost, Row 3); null for a single row
  comparisons[].sections[].rows[].inA    whether a has the row
  comparisons[].sections[].rows[].inB    whether b has the row
  comparisons[].sections[].rows[].typeA  a Geometry row's type in a, when the types differ
  comparisons[].sections[].rows[].typeB  the same in b
  comparisons[].sections[].rows[].cells[]          each cell that differs
  comparisons[].sections[].rows[].cells[].cell     its name in the row (Value, PinX, X)
  comparisons[].sections[].rows[].cells[].differs  formula, value (the same formula), or cell
                                                   (one row lacks the cell)
  comparisons[].sections[].rows[].cells[].a        the cell in a (null when a lacks it):
  comparisons[].sections[].rows[].cells[].a.formula  as the ShapeSheet shows it
  comparisons[].sections[].rows[].cells[].a.value    its value as text
  comparisons[].sections[].rows[].cells[].a.from     local, master or style
  comparisons[].sections[].rows[].cells[].a.master   the master, when from is master
  comparisons[].sections[].rows[].cells[].b        the cell in b (null when b lacks it):
  comparisons[].sections[].rows[].cells[].b.formula  as the ShapeSheet shows it
  comparisons[].sections[].rows[].cells[].b.value    its value as text
  comparisons[].sections[].rows[].cells[].b.from     local, master or style
  comparisons[].sections[].rows[].cells[].b.master   the master, when from is master
  comparisons[].sections[].rows[].cells[].aReadAs  a's formula as a copy to b writes it
  differences                   the sum over the comparisons
)";
}

std::string CopyDiffJson() {
    return R"(With --diff, each destination has one member more:
  destinations[].diff           what the copy changed in it, as diff --json prints one of its
                                comparisons[], a being the destination before the copy and b
                                after (a is null for a destination the run made)
)";
}

}  // namespace tess::cli::help
