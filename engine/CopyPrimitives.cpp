#include "engine/CopyPrimitives.h"

#include <algorithm>
#include <functional>

#include "app/ErrorReport.h"
#include "engine/CopyError.h"
#include "engine/ReferenceResolution.h"
#include "engine/SectionCatalogue.h"
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

bool Chosen(const RowChoice& choice, int16_t row) {
    return Empty(choice) || At(choice, static_cast<size_t>(row)) != 0;
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
        app::IgnoreFailure([&] {
            refused.cellName =
                destination->CellsSRC(refused.section, refused.row, refused.cell)->Name();
        });
    }
    return written;
}

/// The shared write step: one read of the source formulas, the rewrites, one write.
bool WriteStep(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
               const CellTriples& sourceCells, const CellTriples& destinationCells,
               const ErrorLabels& labels, const std::function<void(FormulaList&)>& firstRewrite,
               const app::StringCollection* extra = nullptr) {
    FormulaList asRead;
    FormulaList formulas;
    bool read = false;
    const auto refused = [&] {
        RefusedFormula what;
        if (read)
            run.Current().cellsWritten +=
                static_cast<int>(FindRefusal(destination, destinationCells, formulas, what));
        return what;
    };
    const ReadFormulas formulasRead{asRead, source, sourceCells};
    const bool ok = CopyErrorPath(
        run, labels, destination, &formulasRead,
        [&] {
            formulas = run.SourceFormulas(source, sourceCells);
            asRead = formulas;
            if (firstRewrite) firstRewrite(formulas);
            ResolveReferences(run, formulas, run.sheetNameMap);
            if (extra) ResolveReferences(run, formulas, *extra);
            read = true;
            destination->SetFormulas(destinationCells, formulas, visio::visSetBlastGuards);
        },
        refused);
    if (ok) run.Current().cellsWritten += static_cast<int>(formulas.size());
    return ok;
}

std::function<void(FormulaList&)> ShiftRows(CopyRun& run, int16_t shift, int16_t section) {
    return [&run, shift, section](FormulaList& formulas) {
        ResolveReferencesToSelf(run, formulas, shift, section);
    };
}

std::function<void(FormulaList&)> FollowRows(CopyRun& run, const RowMap& rows, int16_t section) {
    return [&run, &rows, section](FormulaList& formulas) {
        ResolveReferencesToRows(run, formulas, rows, section);
    };
}

/// The Geometry rename, after the rows of the copied section followed their rows (when rows).
std::function<void(FormulaList&)> RenameGeometry(CopyRun& run, int16_t from, int16_t to,
                                                 const RowMap* rows) {
    return [&run, from, to, rows](FormulaList& formulas) {
        if (rows) ResolveGeometryRowReferences(run, formulas, *rows, from);
        ResolveGeometryReferencesToSelf(run, formulas, from, to);
    };
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
    return WriteStep(run, source, destination, sourceCells, destinationCells, {"Geometry", ""},
                     RenameGeometry(run, from, to, rows), &renames);
}

/// One row of a multi-row section, with the given rewrite of the section's own references.
void CopyOneRow(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
                int16_t sourceRow, int16_t destinationRow,
                const std::function<void(FormulaList&)>& rewrite) {
    app::Trap(run, app::proc::CopyRow, [&] {
        std::vector<int16_t> cells;
        if (!GetCellIndicies(run, source, section, 0, cells)) return;
        CellTriples from, to;
        for (int16_t cell : cells) {
            AddTriple(from, section, sourceRow, cell);
            AddTriple(to, section, destinationRow, cell);
        }
        WriteStep(run, source, destination, from, to, {GetSectionString(run, section), ""},
                  rewrite);
    });
}

/// The rows of a batch write: each row's source and destination cells, and its formulas
/// rewritten for the destination.
struct RowBatch {
    std::vector<CellTriples> from, to;
    std::vector<FormulaList> asRead, formulas;

    /// The cells and formulas of rows [begin, end), as one SetFormulas takes them.
    std::pair<CellTriples, FormulaList> Slice(size_t begin, size_t end) const {
        std::pair<CellTriples, FormulaList> slice;
        for (size_t r = begin; r < end; ++r) {
            slice.first.insert(slice.first.end(), to[r].begin(), to[r].end());
            slice.second.insert(slice.second.end(), formulas[r].begin(), formulas[r].end());
        }
        return slice;
    }
};

/// Reads the rows' source formulas in one call (once per run for the run source) and rewrites
/// them for the destination; false when the read or a rewrite failed, which the row-by-row
/// copy reports as it always has.
bool ReadRows(CopyRun& run, const ShapePtr& source, int16_t section,
              const std::vector<std::pair<int16_t, int16_t>>& rows,
              const std::function<void(FormulaList&)>& rewrite, RowBatch& batch) {
    std::vector<int16_t> cells;
    if (!GetCellIndicies(run, source, section, 0, cells)) return false;
    CellTriples from;
    for (const auto& [sourceRow, destinationRow] : rows) {
        CellTriples& rowFrom = batch.from.emplace_back();
        CellTriples& rowTo = batch.to.emplace_back();
        for (int16_t cell : cells) {
            AddTriple(rowFrom, section, sourceRow, cell);
            AddTriple(rowTo, section, destinationRow, cell);
        }
        from.insert(from.end(), rowFrom.begin(), rowFrom.end());
    }
    return app::IgnoreFailure([&] {
        const FormulaList all = run.SourceFormulas(source, from);
        if (all.size() != from.size() / 3) Raise(err::kSubscriptOutOfRange);
        for (size_t r = 0, at = 0; r < rows.size(); ++r, at += cells.size()) {
            FormulaList row(all.begin() + static_cast<std::ptrdiff_t>(at),
                            all.begin() + static_cast<std::ptrdiff_t>(at + cells.size()));
            batch.asRead.push_back(row);
            if (rewrite) rewrite(row);
            ResolveReferences(run, row, run.sheetNameMap);
            batch.formulas.push_back(std::move(row));
        }
    });
}

/// Writes rows [begin, end) of the batch, the whole range in one call while the host takes it;
/// when it refuses, halves the range to find the first row it refuses, every row before that
/// one being written. Returns that row, or end when all were written.
size_t WriteRows(const ShapePtr& destination, const RowBatch& batch, size_t begin, size_t end) {
    if (begin == end) return end;
    const auto [cells, formulas] = batch.Slice(begin, end);
    if (app::IgnoreFailure(
            [&] { destination->SetFormulas(cells, formulas, visio::visSetBlastGuards); }))
        return end;
    if (end - begin == 1) return begin;
    const size_t middle = begin + (end - begin) / 2;
    const size_t refused = WriteRows(destination, batch, begin, middle);
    return refused < middle ? refused : WriteRows(destination, batch, middle, end);
}

/// Copies each row of rows (source row to destination row) in the order given, each row's
/// references to rows of the section following those rows to where they went. The rows go in
/// as few calls as the host takes; a refused row is copied alone, as the row-by-row copy did,
/// so that the copy error names what it always named, and the rows after it follow unless the
/// run was cancelled.
void CopyRowsTo(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
                const std::vector<std::pair<int16_t, int16_t>>& rows) {
    const RowMap map(rows.begin(), rows.end());
    const auto rewrite = FollowRows(run, map, section);
    RowBatch batch;
    const bool read = ReadRows(run, source, section, rows, rewrite, batch);
    size_t next = 0;
    while (next < rows.size()) {
        if (run.CopyRunCancelled) return;  // Cancel Run: nothing more is written
        if (!read) {
            CopyOneRow(run, source, destination, section, rows[next].first, rows[next].second,
                       rewrite);
            ++next;
            continue;
        }
        const size_t refused = WriteRows(destination, batch, next, rows.size());
        for (size_t r = next; r < refused; ++r)
            run.Current().cellsWritten += static_cast<int>(batch.formulas[r].size());
        if (refused == rows.size()) return;
        CopyOneRow(run, source, destination, section, rows[refused].first, rows[refused].second,
                   rewrite);
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
        WriteStep(run, source, destination, from, to,
                  {GetSectionString(run, section), GetObjectSectionRowString(run, row)},
                  wholeSection ? ShiftRows(run, d, section) : nullptr);
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
    });
}

void CopyRows(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
              int16_t options) {
    app::Trap(run, app::proc::CopyRows, [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const RowChoice choice = GetRowIndicies(run.request, section);
        const std::vector<int16_t> chosen = ChosenRows(choice, n);
        // Appended rows are the destination's last ones, whatever the counts: starting at row 0
        // when n happens to equal m would write over the rows the destination had.
        auto t = static_cast<int16_t>(options & CF_OVERWRITE ? 0 : m - std::ssize(chosen));
        const RowOrder order = GetRowOrderIndicies(run.request, section);
        std::vector<std::pair<int16_t, int16_t>> rows;
        if (Empty(order)) {
            for (int16_t row : chosen)
                rows.emplace_back(row, t++);
        } else {
            for (size_t p = 0; p + 1 < order.size(); ++p)
                rows.emplace_back(At(chosen, static_cast<size_t>(order[p])), t++);
        }
        CopyRowsTo(run, source, destination, section, rows);
    });
}

void CopyRow(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
             int16_t sourceRow, int16_t destinationRow) {
    CopyOneRow(run, source, destination, section, sourceRow, destinationRow,
               ShiftRows(run, static_cast<int16_t>(destinationRow - sourceRow), section));
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
        if (WriteGeometry(run, source, destination, cells, sourceSection, target, renames))
            ++target;
    });
}

void CopyGeometryRows(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                      int16_t sourceSection, int16_t& target,
                      const app::StringCollection& renames) {
    app::Trap(run, app::proc::CopyGeometryRows, [&] {
        if (source->GeometryCount() < 1) return;
        // The preparation gave the destination section one row per chosen row, in the order
        // of the table: the j-th chosen row goes to row j.
        RowMap rows;
        for (const GeometryRow& line : GetGeometryRowIndicies(run.request)) {
            if (line.section == sourceSection && line.chosen != 0)
                rows.emplace(line.row, static_cast<int16_t>(rows.size()));
        }
        bool written = false;
        for (const GeometryRow& line : GetGeometryRowIndicies(run.request)) {
            if (line.section != sourceSection || line.chosen == 0) continue;
            CellTriples cells;
            for (int16_t c = 0; c < source->RowsCellCount(sourceSection, line.row); ++c) {
                AddTriple(cells, sourceSection, line.row, c);
            }
            if (!WriteGeometry(run, source, destination, cells, sourceSection, target, renames,
                               &rows))
                return;
            written = true;
        }
        if (written) ++target;
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
