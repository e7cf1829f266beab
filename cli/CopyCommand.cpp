// The copy command: what to copy comes from a recipe and the flags beside it, the copy runs
// through the engine with the command line as its front end, and the result is written and
// reported.
#include <algorithm>
#include <filesystem>
#include <map>
#include <iostream>
#include <set>
#include <sstream>

#include "cli/Commands.h"
#include "cli/DiffCommand.h"
#include "cli/FrontEnd.h"
#include "cli/Json.h"
#include "cli/Objects.h"
#include "cli/Session.h"
#include "engine/CopyDriver.h"
#include "formula/CellCatalogue.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/FileNames.h"
#include "window/Recipe.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::cli {
namespace {

using engine::CatalogueEntry;
using window::ListedRow;
using window::Recipe;
using Documents = std::vector<std::shared_ptr<embedded::DocumentData>>;

// --- What to copy ----------------------------------------------------------------------------

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

[[noreturn]] void NoSuchRow(const std::vector<ListedRow>& rows, std::string_view list, size_t at,
                            const std::string& caption) {
    std::string written(list.substr(at, list.find(',', at) - at));
    while (!written.empty() && written.back() == ' ')
        written.pop_back();
    std::string valid;
    for (const ListedRow& row : rows)
        valid += (valid.empty() ? "" : "; ") + row.label + " (" + row.Token() + ")";
    UsageError("the source has no row '" + written + "' in '" + caption + "'" +
               (valid.empty() ? "; it has no rows there" : "; its rows: " + valid));
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
            for (const std::string& name : {rows[i].label, rows[i].Token()}) {
                const size_t candidate = NameEnd(list, at, name);
                if (candidate != std::string_view::npos && (best == rows.size() || candidate > end))
                    best = i, end = candidate;
            }
        }
        if (best == rows.size()) NoSuchRow(rows, list, at, caption);
        found.push_back(best);
        if (end == list.size()) return found;
        at = end + 1;  // past the comma
    }
}

/// The recipe's section of an entry, added when it has none.
Recipe::Section& SectionOf(Recipe& recipe, const CatalogueEntry& entry) {
    const std::string caption = window::CaptionOf(entry);
    for (Recipe::Section& section : recipe.sections) {
        if (formula::SameName(section.caption, caption)) return section;
    }
    return recipe.sections.emplace_back(Recipe::Section{caption, {}, {}});
}

/// The flags that say what to copy, over the recipe's: --section and --all-sections add
/// sections; --rows chooses the rows of its section afresh, in the source's order; --order
/// orders the rows chosen.
class FlagsOverRecipe {
public:
    FlagsOverRecipe(Session& session, const Target& source, Recipe& recipe)
        : m_source(source), m_recipe(recipe), m_boxes(EnableFor(session, source)) {}

    void Sections(const CopyOptions& options) {
        for (const CatalogueEntry* entry :
             options.allSections ? EnabledEntries(m_boxes) : Entries{}) {
            SectionOf(m_recipe, *entry);
        }
        for (const std::string& caption : options.sections) {
            SectionOf(m_recipe, EntryAmong(caption, EnabledEntries(m_boxes),
                                           "the source '" + m_source.address +
                                               "' has no section '" + caption + "'"));
        }
    }

    void Rows(const std::string& text) {
        const auto [caption, list] = CaptionAndRows(text, "--rows");
        const CatalogueEntry& entry = EntryAmong(
            caption, EntriesWhere([&](const auto& e) { return Enabled(m_boxes, e) && HasRows(e); }),
            "the source '" + m_source.address + "' has no rows to choose in '" + caption + "'");
        const std::vector<ListedRow> rows = window::ListEntryRows(m_source.sheet, entry);
        std::vector<bool> chosen(rows.size(), false);
        for (const size_t row : FindRows(rows, list, caption))
            chosen[row] = true;
        Recipe::Section& section = SectionOf(m_recipe, entry);
        section.rows.emplace();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (chosen[i]) section.rows->push_back(rows[i].NameOrLabel());
        }
        section.order.reset();
    }

    void Order(const std::string& text) {
        const auto [caption, list] = CaptionAndRows(text, "--order");
        const CatalogueEntry& entry = EntryAmong(
            caption, EntriesWhere([&](const auto& e) { return Listed(e) && window::Orderable(e); }),
            "--order names '" + caption +
                "', which is no copied section whose rows can be reordered");
        const std::vector<ListedRow> rows = window::ListEntryRows(m_source.sheet, entry);
        Recipe::Section& section = SectionOf(m_recipe, entry);
        std::vector<size_t> current;  // the chosen rows, in source order
        for (size_t i = 0; i < rows.size(); ++i) {
            if (!section.rows || RowIn(*section.rows, rows[i])) current.push_back(i);
        }
        std::vector<size_t> ordered;
        for (const size_t row : FindRows(rows, list, caption)) {
            if (std::find(current.begin(), current.end(), row) == current.end())
                UsageError("the order of '" + caption + "' names '" + rows[row].label +
                           "', which is not chosen");
            if (std::find(ordered.begin(), ordered.end(), row) != ordered.end())
                UsageError("the order of '" + caption + "' names '" + rows[row].label + "' twice");
            ordered.push_back(row);
        }
        if (ordered.size() != current.size())
            UsageError("the order of '" + caption + "' must name each chosen row once");
        section.order.emplace();
        for (const size_t row : ordered)
            section.order->push_back(rows[row].NameOrLabel());
    }

private:
    /// Whether the recipe copies the entry, and the source has it.
    bool Listed(const CatalogueEntry& entry) const {
        const std::string caption = window::CaptionOf(entry);
        return Enabled(m_boxes, entry) &&
               std::any_of(m_recipe.sections.begin(), m_recipe.sections.end(),
                           [&](const auto& section) {
                               return formula::SameName(section.caption, caption);
                           });
    }

    /// Whether a recipe's list of row names names the row.
    static bool RowIn(const std::vector<std::string>& names, const ListedRow& row) {
        return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
            return window::FindRow({row}, name) == 0;
        });
    }

    const Target& m_source;
    Recipe& m_recipe;
    window::SectionBoxes m_boxes;
};

/// The copy options of the flags given, over the recipe's.
void OptionsOverRecipe(const CopyOptions& options, engine::CopyOptions& copy) {
    if (options.append)
        copy.copyType = *options.append ? engine::CopyType::Append : engine::CopyType::Overwrite;
    if (options.subShapes) {
        copy.subShapes = *options.subShapes == "cells"     ? engine::SubShapes::CopyCells
                         : *options.subShapes == "replace" ? engine::SubShapes::ReplaceAll
                                                           : engine::SubShapes::Ignore;
    }
    if (options.shapeText) copy.copyShapeText = *options.shapeText;
    if (options.helpString) copy.copyHelpString = *options.helpString;
    if (options.createDestination) copy.createDestination = *options.createDestination;
}

/// What the recipe and the flags ask of the source; what the source lacks is a usage error.
engine::CopyRequest RequestFor(Session& session, const CopyOptions& options, const Target& source) {
    Recipe recipe = options.recipe.empty() ? Recipe{} : window::ReadRecipe(options.recipe);
    FlagsOverRecipe flags(session, source, recipe);
    flags.Sections(options);
    for (const std::string& text : options.rows)
        flags.Rows(text);
    for (const std::string& text : options.orders)
        flags.Order(text);
    OptionsOverRecipe(options, recipe.options);
    window::AppliedRecipe applied =
        window::ApplyRecipe(session, recipe, source.sheet, source.image, options.recipe);
    if (!applied.problems.empty()) {
        std::string text;
        for (const std::string& problem : applied.problems)
            text += (text.empty() ? "" : "\n") + problem;
        Raise(window::kBadRecipe, text);
    }
    applied.request.source = engine::CopyTarget{source.address, source.name, source.sheet};
    return std::move(applied.request);
}

/// The destinations --to names, each once, in the order given; page:P/* is every top-level
/// shape of P but the source.
std::vector<Target> Destinations(const visio::Resolver& resolver, const CopyOptions& options,
                                 const Target& source) {
    std::vector<Target> destinations;
    for (const std::string& text : options.to) {
        const visio::ObjectPath path = visio::ObjectPath::Parse(text);
        std::vector<Target> named;
        if (path.everyShape) {
            for (const visio::ResolvedObject& found : resolver.ResolveEvery(path, source.sheet))
                named.push_back(TargetOf(resolver, found));
        } else {
            named.push_back(TargetOf(resolver, resolver.Resolve(path)));
        }
        for (Target& target : named) {
            const bool listed =
                std::any_of(destinations.begin(), destinations.end(),
                            [&](const Target& other) { return other.address == target.address; });
            if (!listed) destinations.push_back(std::move(target));
        }
    }
    return destinations;
}

// --- Where the result goes -------------------------------------------------------------------

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    const std::filesystem::path first = PathOf(a), second = PathOf(b);
    return std::filesystem::equivalent(first, second, error) ||
           std::filesystem::weakly_canonical(first, error) ==
               std::filesystem::weakly_canonical(second, error);
}

/// The mistakes that need no file opened.
void CheckArguments(const CopyOptions& options) {
    if (options.sections.empty() && !options.allSections && options.rows.empty() &&
        options.recipe.empty()) {
        UsageError(
            "copy needs to know what to copy: give --section CAPTION, --all-sections or --rows "
            "CAPTION=ROW[,ROW]..., or a --recipe FILE (see tessaline-cli copy --help)");
    }
    if (options.visio) {
        // Visio keeps the drawings: the copy is one undo step there, and the user saves.
        if (!options.output.empty() || options.inPlace || options.dryRun)
            UsageError("with --visio the copy goes into the drawings open in Visio as one undo "
                       "step, and Visio saves them: -o, --in-place and --dry-run are for files");
        return;
    }
    const int outputs =
        (options.output.empty() ? 0 : 1) + (options.inPlace ? 1 : 0) + (options.dryRun ? 1 : 0);
    if (outputs != 1) UsageError("copy needs exactly one of -o OUT, --in-place and --dry-run");
    if (options.output.empty()) return;
    for (const std::string& file : options.files) {
        if (SameFile(file, options.output)) {
            UsageError("-o '" + options.output +
                       "' is one of the files read; use --in-place to save over it");
        }
    }
    if (!vsdx::IsVisioPackageName(options.output))
        UsageError("-o '" + options.output + "' is not a Visio file name");
}

/// What can be told before the run about where the result goes.
void CheckOutput(Workspace& files, const CopyOptions& options, const engine::CopyRequest& request,
                 const Target& source, const std::vector<Target>& destinations) {
    const bool newDrawing = request.options.createDestination && destinations.empty() &&
                            source.image == visio::kImageDrawing;
    if (options.inPlace && newDrawing)
        UsageError("a new drawing has no file to save in place: write it with -o OUT");
    if (options.output.empty()) return;
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

/// Makes the source's document and page the active ones, where a created destination goes.
void ActivateSource(Workspace& files, const Target& source) {
    const Workspace::Document& document = files.DocumentOf(source.sheet);
    std::shared_ptr<embedded::PageData> page;
    if (const auto sheet = embedded::SheetOf(source.sheet); sheet && sheet->page) {
        page = files.Model().PagePtr(sheet->page);
    }
    if (!page && !document.data->pages.empty()) page = document.data->pages.front();
    files.Model().Windows().Activate(document.data, page);
}

/// Writes what the run changed: each document over itself, or the one to -o (unchanged, as
/// asked, when the run changed nothing of the only file).
void Save(Workspace& files, const CopyOptions& options, const Documents& changed) {
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
            writes.emplace_back(files.Documents().front().data, options.output);
        }
    }
    Workspace::Save(files.Model(), writes);
}

// --- The report ------------------------------------------------------------------------------

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
    return refused.cellName.empty() ? refused.sectionLabel : refused.cellName;
}

Json RefusalJson(const engine::RefusedFormula& refused) {
    return {{"section", refused.sectionLabel},
            {"row", refused.rowLabel.empty() ? refused.listedRow : refused.rowLabel},
            {"cell", CellOf(refused)},
            {"formula", refused.formula},
            {"error", refused.errorNumber},
            {"message", refused.errorText}};
}

/// The address of a destination; one the run made is named where it was made (a new drawing,
/// which has no file yet, by its name).
std::string AddressOf(const visio::Resolver& resolver, const engine::DestinationReport& report) {
    if (!report.created) return report.key;
    try {
        return resolver.AddressOf(report.sheet);
    } catch (const Error&) {
        return report.sheet->Document()->Name();
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

Json DestinationJson(const std::string& address, const engine::DestinationReport& destination) {
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
            {{"section", engine::SectionListName(shortfall.section)}, {"text", shortfall.text}});
    }
    return item;
}

/// The report of the run: its messages, what each destination got, what was (or would be)
/// written; as text (the messages were printed as they came) or as JSON.
void PrintReport(std::ostream& out, const CopyOptions& options, const visio::Resolver& resolver,
                 const engine::CopyReport& run, const Documents& changed, int status,
                 const std::vector<Comparison>& diffs) {
    Json report = {{"messages", Json::array()}};
    for (const engine::RunMessage& message : run.messages)
        report["messages"].push_back(AsLines(message.text));
    report["outcome"] = OutcomeName(run.outcome);
    report["cancelled"] = run.outcome == engine::CopyOutcome::Cancelled;
    report["destinations"] = Json::array();
    for (size_t i = 0; i < run.destinations.size(); ++i) {
        const engine::DestinationReport& destination = run.destinations[i];
        const std::string address = AddressOf(resolver, destination);
        Json& item = report["destinations"].emplace_back(DestinationJson(address, destination));
        if (!options.json) out << Summary(address, destination);
        if (i >= diffs.size()) continue;
        item["diff"] = ComparisonJson(diffs[i]);
        if (!options.json) PrintComparison(out, diffs[i]);
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
}

/// The entries a request copies, in the catalogue's order.
window::Entries CopiedEntries(const engine::CopyRequest& request) {
    window::Entries entries;
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (entry.kind != engine::EntryKind::Nothing && request.IsSectionChosen(entry.index))
            entries.push_back(&entry);
    }
    return entries;
}

/// What each destination of a run held of the copied entries before it; empty for --diff off.
std::map<std::string, window::SheetImage> ReadBefore(Session& session, const CopyOptions& options,
                                                     const engine::CopyRequest& request) {
    std::map<std::string, window::SheetImage> before;
    if (!options.diff) return before;
    const window::Entries entries = CopiedEntries(request);
    for (const engine::CopyTarget& destination : request.destinations)
        before[destination.key] = window::ReadSheet(session, destination.sheet, entries);
    return before;
}

/// Per destination of the run, what the copy changed in it.
std::vector<Comparison> DiffAfter(Session& session, const visio::Resolver& resolver,
                                  const engine::CopyRequest& request,
                                  const engine::CopyReport& run,
                                  const std::map<std::string, window::SheetImage>& before) {
    std::vector<Comparison> diffs;
    const window::Entries entries = CopiedEntries(request);
    for (const engine::DestinationReport& destination : run.destinations) {
        Comparison& comparison = diffs.emplace_back();
        comparison.labels[0] = "before";
        comparison.labels[1] = "after";
        const ComparedObject after{AddressOf(resolver, destination), destination.sheet->Name(),
                                   KindOf(window::ImageOfSheet(destination.sheet)),
                                   destination.sheet->Document()->Name()};
        window::SheetImage old;
        if (const auto found = before.find(destination.key); found != before.end()) {
            old = found->second;
            comparison.objects[0] = after;
        } else {
            for (const engine::CatalogueEntry* entry : entries)
                old.sections.push_back({entry, {}});
        }
        comparison.objects[1] = after;
        comparison.diff = window::CompareSheets(
            session, old, window::ReadSheet(session, destination.sheet, entries), {});
    }
    return diffs;
}

/// What the run changed and how it was kept: on files, the documents changed, written as asked;
/// in Visio, nothing, as Visio saves.
Documents Keep(Session& session, const CopyOptions& options) {
    Documents changed;
    if (session.OverVisio()) return changed;
    Workspace& files = session.Files();
    for (const auto& document : files.Model().Documents()) {
        if (vsdx::HasChanges(*document)) changed.push_back(document);
    }
    Save(files, options, changed);
    return changed;
}

}  // namespace

int RunCopy(const CopyOptions& options, std::ostream& out) {
    CheckArguments(options);
    Session session(options, options.inPlace);
    const visio::Resolver resolver = session.Resolver();
    const Target source = ResolveTarget(resolver, options.from);
    const std::vector<Target> destinations = Destinations(resolver, options, source);
    engine::CopyRequest request = RequestFor(session, options, source);
    for (const Target& destination : destinations)
        request.destinations.push_back({destination.address, destination.name, destination.sheet});
    if (!session.OverVisio()) CheckOutput(session.Files(), options, request, source, destinations);
    if (!options.saveRecipe.empty())
        window::WriteRecipe(window::RecipeOf(request), options.saveRecipe);

    // In Visio a destination the run creates goes where the user is; on files, beside the source.
    if (!session.OverVisio()) ActivateSource(session.Files(), source);
    const std::map<std::string, window::SheetImage> before = ReadBefore(session, options, request);
    const engine::CopyReport run = [&] {
        CopyFrontEnd frontEnd(stderr, options.onError == "cancel");
        return engine::CopyDriver(session.Application()).BeginCopy(request, frontEnd);
    }();
    const int status = run.outcome == engine::CopyOutcome::Complete ? 0 : 1;
    const Documents changed = Keep(session, options);
    const std::vector<Comparison> diffs =
        options.diff ? DiffAfter(session, resolver, request, run, before) : std::vector<Comparison>();
    PrintReport(out, options, resolver, run, changed, status, diffs);
    return status;
}

}  // namespace tess::cli
