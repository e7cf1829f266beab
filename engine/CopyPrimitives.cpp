#include "engine/CopyPrimitives.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>

#include "app/ErrorReport.h"
#include "app/StringTable.h"
#include "engine/CopyError.h"
#include "engine/ReferenceResolution.h"
#include "engine/SectionCatalogue.h"
#include "formula/CellCatalogue.h"
#include "formula/Formula.h"
#include "platform/visio/Constants.h"

namespace tess::engine {
namespace {

using visio::ShapePtr;

/// Element i of a choice or order array; out of its bounds is an error, as indexing one is.
int16_t At(const std::vector<int16_t>& array, size_t i) {
    if (i >= array.size()) Raise(err::kSubscriptOutOfRange);
    return array[i];
}

/// An array whose upper bound is below 1 holds no choice or no order.
bool Empty(const std::vector<int16_t>& array) {
    return array.size() < 2;
}

/// Whether a row is chosen. Rows the choice does not reach (a source that inherits from a
/// destination gains its rows during the run) are not.
bool Chosen(const RowChoice& choice, int16_t row) {
    return Empty(choice) ||
           (static_cast<size_t>(row) < choice.size() && choice[static_cast<size_t>(row)] != 0);
}

/// The chosen source rows, in source order.
std::vector<int16_t> ChosenRows(const RowChoice& choice, int16_t rowCount) {
    std::vector<int16_t> rows;
    for (int16_t i = 0; i < rowCount; ++i) {
        if (Chosen(choice, i)) rows.push_back(i);
    }
    return rows;
}

void AddTriple(CellTriples& triples, int16_t section, int16_t row, int16_t cell) {
    triples.insert(triples.end(), {section, row, cell});
}

std::string RowName(const ShapePtr& shape, int16_t section, int16_t row, int16_t cell) {
    return shape->CellsSRC(section, row, cell)->RowName();
}

/// The names of the first count rows of a section, read once: a host call each, and over COM
/// each costs dearly.
std::vector<std::string> RowNames(const ShapePtr& shape, int16_t section, int16_t count,
                                  int16_t cell) {
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(std::max<int16_t>(count, 0)));
    for (int16_t row = 0; row < count; ++row)
        names.push_back(RowName(shape, section, row, cell));
    return names;
}

/// The first row of that name (case-sensitive); -1 for none.
int16_t FindRowName(const std::vector<std::string>& names, const std::string& name) {
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? int16_t{-1} : static_cast<int16_t>(found - names.begin());
}

/// The section and row a copy error names.
struct ErrorLabels {
    std::string section;
    std::string row;
};

/// The names formulas give the cells of a triple list; a cell that cannot be named is "".
std::vector<std::string> CellNames(const ShapePtr& shape, const CellTriples& cells) {
    std::vector<std::string> names;
    for (size_t k = 0; k + 2 < cells.size(); k += 3) {
        std::string name;
        app::IgnoreFailure(
            [&] { name = shape->CellsSRC(cells[k], cells[k + 1], cells[k + 2])->Name(); });
        names.push_back(std::move(name));
    }
    return names;
}

/// The formulas a step read, with the cells they came from.
struct ReadFormulas {
    const std::vector<std::string>& formulas;
    const ShapePtr& source;
    const CellTriples& cells;
};

/// Runs a step of the host with the copy-error path armed: a refusal is reported with the
/// formulas as read (when formulas were read) and the destination, and the step is over.
/// Returns false after a refusal; refused says what was refused, as far as the step knows.
bool CopyErrorPath(CopyRun& run, const ErrorLabels& labels, const ShapePtr& destination,
                   const ReadFormulas* read, const std::function<void()>& step,
                   const std::function<RefusedFormula()>& refused = nullptr) {
    try {
        step();
        return true;
    } catch (...) {
        const Error error = app::CurrentError();
        if (read) {
            run.frontEnd.SetCopyErrorDetails(read->formulas, destination);
            run.frontEnd.SetCopyErrorCells(CellNames(read->source, read->cells));
        }
        ShowCopyError(run, error, labels.section, labels.row,
                      refused ? refused() : RefusedFormula{});
        return false;
    }
}

/// Gives a refusal the names of the destination row and cell it was for: the row as the lists
/// name it, the cell as formulas name it.
void NameRefused(const ShapePtr& destination, RefusedFormula& refused) {
    if (refused.section != visio::visSectionObject && refused.row >= 0) {
        app::IgnoreFailure([&] {
            if (!visio::IsGeometrySection(refused.section))
                refused.rowName = destination->CellsSRC(refused.section, refused.row, 0)->RowName();
            refused.listedRow = RowListLabel(refused.section, refused.row, refused.rowName);
        });
    }
    if (refused.cell >= 0)
        refused.cellName = formula::CellNameText(refused.section, refused.row, refused.cell,
                                                 refused.rowName.empty() ? "Row" : refused.rowName);
}

/// After a refused write: the host writes in order and stops at the refused formula, so the
/// first destination cell that does not hold what was written is the one refused. Returns the
/// number of cells written before it; refused names it.
size_t FindRefusal(const ShapePtr& destination, const CellTriples& cells,
                   const FormulaList& formulas, RefusedFormula& refused) {
    size_t written = 0;
    app::IgnoreFailure([&] {
        const FormulaList now = destination->GetFormulas(cells);
        while (written < formulas.size() && written < now.size() &&
               now[written] == formulas[written])
            ++written;
    });
    if (written < formulas.size()) {
        refused.section = cells[3 * written];
        refused.row = cells[3 * written + 1];
        refused.cell = cells[3 * written + 2];
        refused.formula = formulas[written];
        NameRefused(destination, refused);
    }
    return written;
}

/// How a write moves the rows of the copied section: each copied row to its row (rows), every
/// other row by shift; a formula of sourceSection lands in destinationSection.
struct RowMove {
    int16_t sourceSection = 0;
    int16_t destinationSection = 0;
    const RowMap* rows = nullptr;
    int16_t shift = 0;
    int16_t otherSectionShift = 0;  // Geometry: how far the other sections' numbers move
    std::string self;               // the source's reference name: its own references move
    std::string label;              // the section's label in formulas ("Scratch", "Geometry2")

    /// Where a reference to row of the section lands: references written with their row's
    /// number ("Scratch.X3") move with the rows; others ("Geometry1.NoFill") name what they did.
    int32_t Landing(int16_t row, std::string_view cellText) const {
        if (!Numbered(cellText)) return row;
        if (rows) {
            if (const auto found = rows->find(row); found != rows->end()) return found->second;
        }
        return row + shift;
    }

    /// Whether the text is the section's label, ".", one letter and the row's number: what
    /// the rewrites of the section's own references renumber.
    bool Numbered(std::string_view cellText) const {
        if (label.empty() || !cellText.starts_with(label + ".") ||
            cellText.size() < label.size() + 3)
            return false;
        const std::string_view number = cellText.substr(label.size() + 2);
        return std::all_of(number.begin(), number.end(),
                           [](char c) { return c >= '0' && c <= '9'; });
    }
};

/// Whether a reference's sheet is the source, whose reference name is self: no sheet named, or
/// the source by its name ("Sheet.5!Scratch.X1" in a formula of Sheet.5).
bool NamesSource(const formula::SheetSelector& sheet, std::string_view self) {
    if (!sheet.collection.empty()) return false;
    switch (sheet.kind) {
        case formula::SheetKind::Self:
            return true;
        case formula::SheetKind::ById:
            return self == "Sheet." + std::to_string(sheet.id);
        case formula::SheetKind::ThePage:
            return self == "ThePage";
        case formula::SheetKind::TheDoc:
            return self == "TheDoc";
        default:
            return false;
    }
}

/// Why the copy itself refuses a formula as read, written to (row, cell) of the destination
/// section, which has rowCount rows: a reference to the section's own rows would land on the
/// cell itself or on a row the section does not have. nullopt when neither.
std::optional<Error> OwnRowRefusal(const std::string& formula, const RowMove& move,
                                   int16_t sourceRow, int16_t row, int16_t cell, int16_t rowCount) {
    const std::string_view label =
        std::string_view(move.label).substr(0, move.label.find_first_of("0123456789"));
    if (label.empty() || formula.find(label) == std::string::npos) return std::nullopt;
    const formula::ParseResult parsed = formula::Parse(formula);
    if (parsed.error) return std::nullopt;  // the host says what is wrong with it
    // A Geometry section's vertices are its rows from 1; row 0 is its component row.
    const int32_t first = visio::IsGeometrySection(move.sourceSection) ? 1 : 0;
    for (const formula::Reference& reference : parsed.formula.references) {
        const formula::SheetSelector& sheet = reference.sheet;
        if (!NamesSource(sheet, move.self) || !reference.cell || reference.cell->named) continue;
        // Another Geometry section of the source, as renamed, may be the one written.
        if (first == 1 && visio::IsGeometrySection(reference.cell->section) &&
            reference.cell->section != move.sourceSection) {
            const bool same =
                reference.cell->section + move.otherSectionShift == move.destinationSection &&
                reference.cell->row == row && reference.cell->cell == cell;
            if (same) {
                return Error(kFormulaNamesItself,
                             app::FormatResString(kFormulaNamesItselfText, reference.cellText));
            }
            continue;
        }
        if (reference.cell->section != move.sourceSection) continue;
        const int32_t landing = move.Landing(reference.cell->row, reference.cellText);
        const bool numbered = move.Numbered(reference.cellText);
        if (landing < (numbered ? first : 0) || landing >= rowCount) {
            return Error(kFormulaNamesMissingRow,
                         app::FormatResString(kFormulaNamesMissingRowText, reference.cellText));
        }
        // A formula that named its own cell on the source may go on naming it.
        const bool itself = reference.cell->row == sourceRow && reference.cell->cell == cell;
        if (landing == row && reference.cell->cell == cell && !itself) {
            return Error(kFormulaNamesItself,
                         app::FormatResString(kFormulaNamesItselfText, reference.cellText));
        }
    }
    return std::nullopt;
}

/// A formula the copy takes out of a write, and why.
struct OwnRefusal {
    size_t index;
    Error error;
};

/// The formulas as read that the copy refuses itself, written to cells of a destination section
/// of rowCount rows.
std::vector<OwnRefusal> FindOwnRefusals(CopyRun& run, RowMove move, int16_t rowCount,
                                        const CellTriples& sourceCells, const FormulaList& asRead,
                                        const CellTriples& cells) {
    move.label = visio::IsGeometrySection(move.sourceSection)
                     ? "Geometry" + std::to_string(move.sourceSection - 9)
                     : GetSectionString(run, move.sourceSection);
    std::vector<OwnRefusal> refused;
    for (size_t k = 0; k < asRead.size(); ++k) {
        if (auto error = OwnRowRefusal(asRead[k], move, sourceCells[3 * k + 1], cells[3 * k + 1],
                                       cells[3 * k + 2], rowCount))
            refused.push_back({k, std::move(*error)});
    }
    return refused;
}

/// Takes the refused formulas out of the lists.
void TakeOut(const std::vector<OwnRefusal>& refused, CellTriples& cells, FormulaList& formulas) {
    CellTriples keptCells;
    FormulaList keptFormulas;
    auto next = refused.begin();
    for (size_t k = 0; k < formulas.size(); ++k) {
        if (next != refused.end() && next->index == k) {
            ++next;
            continue;
        }
        keptCells.insert(keptCells.end(), cells.begin() + 3 * k, cells.begin() + 3 * k + 3);
        keptFormulas.push_back(std::move(formulas[k]));
    }
    cells = std::move(keptCells);
    formulas = std::move(keptFormulas);
}

/// Says in the report which of the source's members formulas still name, the destination having
/// no match for them.
void NoteKeptMembers(CopyRun& run, const FormulaList& formulas, int16_t section) {
    for (const std::string& member : run.keptMembers) {
        const std::string reference = member + "!";
        const bool named = std::any_of(formulas.begin(), formulas.end(), [&](const auto& text) {
            return text.find(reference) != std::string::npos;
        });
        if (named) ReportShortfall(run, section, app::FormatResString(kKeptMemberText, member));
    }
}

/// Reports a formula the copy refused itself, as a refusal of the host is reported.
void ReportOwnRefusal(CopyRun& run, const ErrorLabels& labels, const ShapePtr& destination,
                      const FormulaList& asRead, const CellTriples& cells,
                      const FormulaList& formulas, const OwnRefusal& refusal) {
    run.frontEnd.SetCopyErrorDetails(asRead, destination);
    RefusedFormula what;
    what.section = cells[3 * refusal.index];
    what.row = cells[3 * refusal.index + 1];
    what.cell = cells[3 * refusal.index + 2];
    what.formula = formulas[refusal.index];
    NameRefused(destination, what);
    ShowCopyError(run, refusal.error, labels.section, labels.row, what);
}

/// The shared write step: one read of the source formulas, the rewrites, one write. With rows
/// moved, formulas the copy refuses itself are left out of the write and reported after it.
bool WriteStep(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
               const CellTriples& sourceCells, const CellTriples& destinationCells,
               const ErrorLabels& labels, const std::function<void(FormulaList&)>& firstRewrite,
               const RowMove* move = nullptr) {
    FormulaList asRead, all, formulas;
    CellTriples cells;
    std::vector<OwnRefusal> own;
    bool read = false;
    const auto refused = [&] {
        RefusedFormula what;
        if (read)
            run.Current().cellsWritten +=
                static_cast<int>(FindRefusal(destination, cells, formulas, what));
        return what;
    };
    const ReadFormulas formulasRead{asRead, source, sourceCells};
    const bool ok = CopyErrorPath(
        run, labels, destination, &formulasRead,
        [&] {
            all = run.SourceFormulas(source, sourceCells);
            asRead = all;
            if (firstRewrite) firstRewrite(all);
            // In one pass: a destination's name that is also a source's (a copy between pages
            // or masters) is not rewritten again.
            ResolveReferences(run, all, run.sheetNameMap);
            NoteKeptMembers(run, all, destinationCells.front());
            cells = destinationCells;
            formulas = all;
            if (move) {
                own = FindOwnRefusals(run, *move, destination->RowCount(move->destinationSection),
                                      sourceCells, asRead, cells);
                TakeOut(own, cells, formulas);
            }
            read = true;
            if (!formulas.empty())
                destination->SetFormulas(cells, formulas, visio::visSetBlastGuards);
        },
        refused);
    if (!ok) return false;
    run.Current().cellsWritten += static_cast<int>(formulas.size());
    for (const OwnRefusal& refusal : own)
        ReportOwnRefusal(run, labels, destination, asRead, destinationCells, all, refusal);
    return true;
}

/// The rewrite of a section's own references whose rows all move by the move's shift.
std::function<void(FormulaList&)> ShiftRows(CopyRun& run, const RowMove& move) {
    return [&run, &move](FormulaList& formulas) {
        ResolveReferencesToSelf(run, formulas, move.shift, move.sourceSection, move.self);
    };
}

/// The rewrite of a section's own references that follow the move's rows.
std::function<void(FormulaList&)> FollowRows(CopyRun& run, const RowMove& move) {
    return [&run, &move](FormulaList& formulas) {
        ResolveReferencesToRows(run, formulas, *move.rows, move.sourceSection, move.shift,
                                move.self);
    };
}

/// The Geometry section's number in formulas ("Geometry3." for section 12).
std::string GeometryName(int16_t section) {
    return "Geometry" + std::to_string(section - visio::visSectionFirstComponent + 1) + ".";
}

/// The Geometry rewrite: the rows of the copied section follow their rows (when rows), then the
/// copied section takes its destination's number and the other sections theirs, each in one
/// pass, so that a number once given is not given again by a later rename.
std::function<void(FormulaList&)> RenameGeometry(CopyRun& run, const RowMove& move,
                                                 const app::StringCollection& renames) {
    return [&run, &move, &renames](FormulaList& formulas) {
        const int16_t from = move.sourceSection, to = move.destinationSection;
        if (move.rows)
            ResolveGeometryRowReferences(run, formulas, *move.rows, from, move.shift, move.self);
        if (renames.Count() == 0) {
            ResolveGeometryReferencesToSelf(run, formulas, from, to, move.self);
            return;
        }
        app::StringCollection all;
        all.Add(GeometryName(from) + "|" + GeometryName(to));
        for (const auto& entry : renames) {
            if (!entry.item.starts_with(GeometryName(from) + "|")) all.Add(entry.item);
        }
        ResolveReferences(run, formulas, all, move.self);
    };
}

/// How far the renames move the numbers of Geometry sections (all by the same); 0 for none.
int16_t RenameShift(const app::StringCollection& renames) {
    if (renames.Count() == 0) return 0;
    const std::string& item = renames.Item(1);  // "Geometry1.|Geometry3."
    const size_t bar = item.find('|');
    const auto number = [](std::string_view text) {
        return std::atoi(std::string(text.substr(8, text.find('.') - 8)).c_str());
    };
    return static_cast<int16_t>(number(std::string_view(item).substr(bar + 1)) -
                                number(std::string_view(item).substr(0, bar)));
}

/// Writes Geometry cells of source section from to destination section to: the same rows and
/// cells, or with rows, each row to the row it maps to.
bool WriteGeometry(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                   const CellTriples& sourceCells, int16_t from, int16_t to,
                   const app::StringCollection& renames, const RowMap* rows = nullptr) {
    CellTriples destinationCells = sourceCells;
    for (size_t k = 0; k < destinationCells.size(); k += 3) {
        destinationCells[k] = to;
        if (rows) destinationCells[k + 1] = rows->at(sourceCells[k + 1]);
    }
    const int16_t shift =
        rows ? static_cast<int16_t>(destinationCells[1] - sourceCells[1]) : int16_t{0};
    const RowMove move{from, to, rows, shift, RenameShift(renames), run.SourceName(source)};
    return WriteStep(run, source, destination, sourceCells, destinationCells, {"Geometry", ""},
                     RenameGeometry(run, move, renames), &move);
}

/// One row of a multi-row section; references to the section's own rows move with the rows
/// (rows, when given), the others by the row's own shift.
void CopyOneRow(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
                int16_t sourceRow, int16_t destinationRow, const RowMap* rows) {
    app::Trap(run, app::proc::CopyRow, [&] {
        std::vector<int16_t> cells;
        if (!GetCellIndicies(run, source, section, 0, cells)) return;
        CellTriples from, to;
        for (int16_t cell : cells) {
            AddTriple(from, section, sourceRow, cell);
            AddTriple(to, section, destinationRow, cell);
        }
        const RowMove move{.sourceSection = section,
                           .destinationSection = section,
                           .rows = rows,
                           .shift = static_cast<int16_t>(destinationRow - sourceRow),
                           .self = run.SourceName(source)};
        WriteStep(run, source, destination, from, to, {GetSectionString(run, section), ""},
                  rows ? FollowRows(run, move) : ShiftRows(run, move), &move);
    });
}

/// Says in the report when named rows did not land in the order asked: a destination keeps the
/// places of rows it had (inherited rows keep their master's order), and rows are not moved.
void CheckRowOrder(CopyRun& run, const ShapePtr& source, int16_t section,
                   const std::vector<int16_t>& chosen, const std::vector<std::string>& names) {
    const RowOrder order = GetRowOrderIndicies(run.request, section);
    if (Empty(order)) return;
    int16_t last = -1;
    for (size_t p = 0; p + 1 < order.size(); ++p) {
        const int16_t row = At(chosen, static_cast<size_t>(order[p]));
        const int16_t at = FindRowName(names, RowName(source, section, row, 0));
        if (at < 0) continue;
        if (at < last) {
            ReportShortfall(run, section,
                            app::FormatResString(kOrderKeptText, SectionListName(section)));
            return;
        }
        last = at;
    }
}

/// The rows of a batch write: each row's destination cells and its formulas rewritten for the
/// destination, and whether the copy itself refuses one of its formulas (that row goes alone).
struct RowBatch {
    std::vector<CellTriples> to;
    std::vector<FormulaList> formulas;
    std::vector<bool> alone;

    /// The cells and formulas of rows [begin, end), as one SetFormulas takes them.
    std::pair<CellTriples, FormulaList> Slice(size_t begin, size_t end) const {
        std::pair<CellTriples, FormulaList> slice;
        for (size_t r = begin; r < end; ++r) {
            slice.first.insert(slice.first.end(), to[r].begin(), to[r].end());
            slice.second.insert(slice.second.end(), formulas[r].begin(), formulas[r].end());
        }
        return slice;
    }
    /// The first row from begin on that goes alone; the count of rows when none does.
    size_t NextAlone(size_t begin) const {
        while (begin < alone.size() && !alone[begin])
            ++begin;
        return begin;
    }
};

/// Reads the rows' source formulas in one call (once per run for the run source) and rewrites
/// each row as CopyOneRow would; false when the read or a rewrite failed, and the rows are then
/// copied one by one, which reports the failure as it always has.
bool ReadRows(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
              const std::vector<std::pair<int16_t, int16_t>>& rows, const RowMap& map,
              RowBatch& batch) {
    std::vector<int16_t> cells;
    if (!GetCellIndicies(run, source, section, 0, cells)) return false;
    std::vector<CellTriples> from;
    CellTriples all;
    for (const auto& [sourceRow, destinationRow] : rows) {
        CellTriples& rowFrom = from.emplace_back();
        CellTriples& rowTo = batch.to.emplace_back();
        for (int16_t cell : cells) {
            AddTriple(rowFrom, section, sourceRow, cell);
            AddTriple(rowTo, section, destinationRow, cell);
        }
        all.insert(all.end(), rowFrom.begin(), rowFrom.end());
    }
    return app::IgnoreFailure([&] {
        const FormulaList read = run.SourceFormulas(source, all);
        if (read.size() != all.size() / 3) Raise(err::kSubscriptOutOfRange);
        const int16_t rowCount = destination->RowCount(section);
        const std::string self = run.SourceName(source);
        for (size_t r = 0; r < rows.size(); ++r) {
            const auto at = static_cast<std::ptrdiff_t>(r * cells.size());
            const FormulaList asRead(read.begin() + at,
                                     read.begin() + at + static_cast<std::ptrdiff_t>(cells.size()));
            const RowMove move{.sourceSection = section,
                               .destinationSection = section,
                               .rows = &map,
                               .shift = static_cast<int16_t>(rows[r].second - rows[r].first),
                               .self = self};
            FormulaList formulas = asRead;
            FollowRows(run, move)(formulas);
            ResolveReferences(run, formulas, run.sheetNameMap);
            batch.formulas.push_back(std::move(formulas));
            batch.alone.push_back(
                !FindOwnRefusals(run, move, rowCount, from[r], asRead, batch.to[r]).empty());
        }
    });
}

/// Writes rows [begin, end) of the batch, the whole range in one call while the host takes it;
/// when it refuses, halves the range to find the first row it refuses, every row before that
/// one being written. Returns that row, or end when all were written.
size_t WriteRows(const ShapePtr& destination, const RowBatch& batch, size_t begin, size_t end) {
    if (begin == end) return end;
    const std::pair<CellTriples, FormulaList> slice = batch.Slice(begin, end);
    if (app::IgnoreFailure(
            [&] { destination->SetFormulas(slice.first, slice.second, visio::visSetBlastGuards); }))
        return end;
    if (end - begin == 1) return begin;
    const size_t middle = begin + (end - begin) / 2;
    const size_t refused = WriteRows(destination, batch, begin, middle);
    return refused < middle ? refused : WriteRows(destination, batch, middle, end);
}

/// Copies each row of rows (source row to destination row) in the order given, each row's
/// references to rows of the section following those rows to where they went, and those to
/// rows not copied moving as the row itself moved. The rows go in as few calls as the host
/// takes; a row the host refuses, or one of whose formulas the copy refuses itself, is copied
/// alone as CopyOneRow copies it, so that the copy error names what the row-by-row copy named,
/// and the rows after it follow unless the run was cancelled.
void CopyRowsTo(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
                const std::vector<std::pair<int16_t, int16_t>>& rows) {
    const RowMap map(rows.begin(), rows.end());
    RowBatch batch;
    const bool read = ReadRows(run, source, destination, section, rows, map, batch);
    size_t next = 0;
    while (next < rows.size()) {
        if (run.CopyRunCancelled) return;  // Cancel Run: nothing more is written
        const size_t refused =
            read ? WriteRows(destination, batch, next, batch.NextAlone(next)) : next;
        for (size_t r = next; r < refused; ++r) {
            NoteKeptMembers(run, batch.formulas[r], section);
            run.Current().cellsWritten += static_cast<int>(batch.formulas[r].size());
        }
        if (refused == rows.size()) return;
        CopyOneRow(run, source, destination, section, rows[refused].first, rows[refused].second,
                   &map);
        next = refused + 1;
    }
}

}  // namespace

void CopySection(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
                 int16_t row, bool wholeSection) {
    app::Trap(run, app::proc::CopySection, [&] {
        const int16_t tested = row == visio::kRowGlueInfo ? visio::visRowMisc : row;
        if (!source->RowExists(section, tested, 0) || !destination->RowExists(section, tested, 0))
            return;
        const int16_t n = wholeSection ? source->RowCount(section) : int16_t{1};
        const int16_t m = wholeSection ? destination->RowCount(section) : int16_t{1};
        if (n < 1) return;
        std::vector<int16_t> cells;
        if (!GetCellIndicies(run, source, section, row, cells)) return;
        const auto d = static_cast<int16_t>(m - n);
        if (d < 0) return;
        CellTriples from, to;
        for (int16_t r = 0; r < n; ++r) {
            for (int16_t cell : cells) {
                AddTriple(from, section, static_cast<int16_t>(tested + r), cell);
                AddTriple(to, section, static_cast<int16_t>(tested + d + r), cell);
            }
        }
        const RowMove move{.sourceSection = section,
                           .destinationSection = section,
                           .shift = d,
                           .self = run.SourceName(source)};
        WriteStep(run, source, destination, from, to,
                  {GetSectionString(run, section), GetObjectSectionRowString(run, row)},
                  wholeSection ? ShiftRows(run, move) : nullptr, wholeSection ? &move : nullptr);
    });
}

void CopyNamedRowSection(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                         int16_t section, int16_t row, bool /*wholeSection*/) {
    app::Trap(run, app::proc::CopyNamedRowSection, [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        std::vector<int16_t> cells;
        if (!GetCellIndicies(run, source, section, 0, cells)) return;
        const std::vector<std::string> names = RowNames(destination, section, m, cells.front());
        const std::vector<std::string> sourceNames = run.SourceRowNames(source, section, n);
        CellTriples from, to;
        for (int16_t i = 0; i < n; ++i) {
            const int16_t found = FindRowName(names, sourceNames[static_cast<size_t>(i)]);
            const int16_t j = found < 0 ? m : found;
            for (int16_t cell : cells) {
                AddTriple(from, section, i, cell);
                AddTriple(to, section, j, cell);
            }
        }
        WriteStep(run, source, destination, from, to,
                  {GetSectionString(run, section), GetObjectSectionRowString(run, row)}, nullptr);
    });
}

void CopyNamedRows(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                   int16_t section) {
    app::Trap(run, app::proc::CopyNamedRows, [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const RowChoice choice = GetRowIndicies(run.request, section);
        const std::vector<std::string> names = RowNames(destination, section, m, 0);
        const std::vector<std::string> sourceNames = run.SourceRowNames(source, section, n);
        std::vector<std::pair<int16_t, int16_t>> rows;
        for (int16_t i = 0; i < n; ++i) {
            if (!Chosen(choice, i)) continue;
            const int16_t j = FindRowName(names, sourceNames[static_cast<size_t>(i)]);
            if (j >= 0) rows.emplace_back(i, j);
        }
        CopyRowsTo(run, source, destination, section, rows);
        CheckRowOrder(run, source, section, ChosenRows(choice, n), names);
    });
}

/// The chosen source rows of a section in the order they are to be written: the row order's,
/// else the source's.
std::vector<int16_t> RowsInOrder(const CopyRun& run, int16_t section, int16_t rowCount) {
    const std::vector<int16_t> chosen = ChosenRows(GetRowIndicies(run.request, section), rowCount);
    const RowOrder order = GetRowOrderIndicies(run.request, section);
    if (Empty(order)) return chosen;
    std::vector<int16_t> ordered;
    for (size_t p = 0; p + 1 < order.size(); ++p)
        ordered.push_back(At(chosen, static_cast<size_t>(order[p])));
    return ordered;
}

void CopyRows(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
              int16_t options) {
    app::Trap(run, app::proc::CopyRows, [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const std::vector<int16_t> chosen = RowsInOrder(run, section, n);
        // Appended rows are the destination's last ones, whatever the counts: starting at row 0
        // when n happens to equal m would write over the rows the destination had.
        auto t = static_cast<int16_t>(options & CF_OVERWRITE ? 0 : m - std::ssize(chosen));
        std::vector<std::pair<int16_t, int16_t>> rows;
        for (int16_t row : chosen)
            rows.emplace_back(row, t++);
        CopyRowsTo(run, source, destination, section, rows);
    });
}

void CopyTextFields(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                    int16_t options, bool textCopied) {
    app::Trap(run, app::proc::CopyRows, [&] {
        const int16_t section = visio::visSectionTextField;
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const std::vector<int16_t> chosen = RowsInOrder(run, section, n);
        const bool overwrite = (options & CF_OVERWRITE) != 0;
        if (!textCopied && !(overwrite && std::ssize(chosen) == m)) {
            ReportShortfall(run, section,
                            app::FormatResString(kFieldsFollowTextText, SectionListName(section)));
        }
        if (!textCopied && !overwrite) return;  // the destination's own fields stay as they are
        std::vector<std::pair<int16_t, int16_t>> rows;
        int16_t t = 0;
        for (int16_t row : chosen) {
            const int16_t to = textCopied ? row : t++;
            if (to < m) rows.emplace_back(row, to);
        }
        CopyRowsTo(run, source, destination, section, rows);
    });
}

void CopyRow(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
             int16_t sourceRow, int16_t destinationRow) {
    CopyOneRow(run, source, destination, section, sourceRow, destinationRow, nullptr);
}

void GetGeometryCells(app::IPrompt& prompt, const ShapePtr& shape, CellTriples& triples,
                      int16_t section) {
    app::Trap(prompt, app::proc::GetGeometryCells, [&] {
        std::vector<int16_t> sections;
        if (section == -1) {
            for (int16_t g = 0; g < shape->GeometryCount(); ++g)
                sections.push_back(static_cast<int16_t>(visio::visSectionFirstComponent + g));
        } else {
            sections.push_back(section);
        }
        for (int16_t listed : sections) {
            for (int16_t r = 0; r < shape->RowCount(listed); ++r) {
                for (int16_t c = 0; c < shape->RowsCellCount(listed, r); ++c)
                    AddTriple(triples, listed, r, c);
            }
        }
    });
}

void CopyGeometrySection(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                         int16_t sourceSection, int16_t& target,
                         const app::StringCollection& renames) {
    app::Trap(run, app::proc::CopyGeometrySection, [&] {
        CellTriples cells;
        GetGeometryCells(run, source, cells, sourceSection);
        if (cells.empty()) return;
        // A refused write still used the section prepared for it: the next source section
        // goes to the next one, never over this one.
        WriteGeometry(run, source, destination, cells, sourceSection, target, renames);
        ++target;
    });
}

void CopyGeometryRows(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                      int16_t sourceSection, int16_t& target,
                      const app::StringCollection& renames) {
    app::Trap(run, app::proc::CopyGeometryRows, [&] {
        if (source->GeometryCount() < 1) return;
        // The preparation gave the destination section one row per chosen row, in the order
        // of the table, after a component row of its own when the first chosen row is not one.
        RowMap rows;
        int16_t next = -1;
        for (const GeometryRow& line : GetGeometryRowIndicies(run.request)) {
            if (line.section != sourceSection || line.chosen == 0) continue;
            if (next < 0) next = line.row == 0 ? int16_t{0} : int16_t{1};
            rows.emplace(line.row, next++);
        }
        if (rows.empty()) return;
        // The section was prepared for these rows: after a refused row the rows after it stay
        // as prepared, and the next source section still goes to the next section.
        for (const GeometryRow& line : GetGeometryRowIndicies(run.request)) {
            if (line.section != sourceSection || line.chosen == 0) continue;
            CellTriples cells;
            for (int16_t c = 0; c < source->RowsCellCount(sourceSection, line.row); ++c) {
                AddTriple(cells, sourceSection, line.row, c);
            }
            if (!WriteGeometry(run, source, destination, cells, sourceSection, target, renames,
                               &rows))
                break;
        }
        ++target;
    });
}

void AddNewRows(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                int16_t section) {
    app::Trap(run, app::proc::AddNewRows, [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const auto count =
            static_cast<int16_t>(ChosenRows(GetRowIndicies(run.request, section), n).size());
        if (count < 1) return;
        // All in one call; when the host refuses it, row by row, so that the copy error names
        // the row it refuses and the rows before it are added. Rows a refusing host added
        // before it stopped stay, and the row-by-row steps go on after them.
        if (app::IgnoreFailure(
                [&] { destination->AddRows(section, m, visio::visTagDefault, count); })) {
            run.Current().rowsAdded += count;
            return;
        }
        auto added = static_cast<int16_t>(destination->RowCount(section) - m);
        run.Current().rowsAdded += added;
        while (added < count) {
            const bool ok =
                CopyErrorPath(run, {GetSectionString(run, section), ""}, destination, nullptr, [&] {
                    destination->AddRow(section, static_cast<int16_t>(m + added),
                                        visio::visTagDefault);
                });
            if (!ok) return;
            ++added;
            ++run.Current().rowsAdded;
        }
    });
}

void AddNewNamedRows(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                     int16_t section, bool allRows) {
    // Failures outside the copy-error path end the operation silently.
    app::IgnoreFailure([&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const std::vector<std::string> names = RowNames(destination, section, m, 0);
        const RowChoice choice = allRows ? RowChoice(1, 0) : GetRowIndicies(run.request, section);
        const RowOrder order = allRows ? RowOrder(1, 0) : GetRowOrderIndicies(run.request, section);
        const std::vector<int16_t> chosen = ChosenRows(choice, n);
        std::vector<int16_t> rows = chosen;
        if (!Empty(order)) {
            rows.clear();
            for (size_t p = 0; p + 1 < order.size(); ++p)
                rows.push_back(At(chosen, static_cast<size_t>(order[p])));
        }
        const std::vector<std::string> sourceNames = run.SourceRowNames(source, section, n);
        int16_t added = 0;
        for (int16_t i : rows) {
            const std::string& name = sourceNames[static_cast<size_t>(i)];
            if (FindRowName(names, name) >= 0) continue;
            // One call names the row as it adds it at the end; a name the host refuses goes the
            // long way, whose failures say which step failed. Connection points, which may have
            // rows without names, always go that way.
            const bool oneCall = section != visio::visSectionConnectionPts && !name.empty();
            if (oneCall && app::IgnoreFailure([&] {
                    destination->AddNamedRow(section, name, visio::visTagDefault);
                })) {
                ++added;
                ++run.Current().rowsAdded;
                continue;
            }
            // Added after the destination's rows: a section whose rows have no names yet
            // (connection points) would otherwise take the row in front of its own.
            int16_t row = -1;
            const bool ok = CopyErrorPath(
                run, {GetSectionString(run, section), name}, destination, nullptr, [&] {
                    row = destination->AddRow(section, static_cast<int16_t>(m + added),
                                              visio::visTagDefault);
                });
            if (!ok) return;
            if (!app::IgnoreFailure(
                    [&] { destination->CellsSRC(section, row, 0)->SetRowName(name); })) {
                destination->DeleteRow(section, row);
                continue;
            }
            ++added;
            ++run.Current().rowsAdded;
        }
    });
}

bool HasNamedRows(const ShapePtr& shape, int16_t section) {
    bool named = false;
    app::IgnoreFailure([&] {
        if (!shape->SectionExists(section, 0)) return;
        for (const std::string& name : RowNames(shape, section, shape->RowCount(section), 0))
            named = named || !name.empty();
    });
    return named;
}

void DeleteRows(CopyRun& run, const ShapePtr& destination, int16_t section) {
    app::IgnoreFailure([&] {
        const int16_t count = destination->RowCount(section);
        for (int16_t k = 0; k < count; ++k) {
            destination->DeleteRow(section, 0);
            ++run.Current().rowsDeleted;
        }
    });
}

}  // namespace tess::engine
