#include "engine/CopyPrimitives.h"

#include <algorithm>
#include <functional>

#include "app/ErrorReport.h"
#include "app/Globals.h"
#include "engine/CopyError.h"
#include "engine/ReferenceResolution.h"
#include "engine/RowStores.h"
#include "engine/SectionCatalogue.h"
#include "engine/WindowState.h"
#include "platform/visio/Constants.h"

namespace tess::engine {
namespace {

using visio::ShapePtr;
constexpr std::string_view kModule = "modShapeFunctions";

/// Element i of a choice or order array; out of its bounds is an error, as indexing one is.
int16_t At(const std::vector<int16_t>& array, size_t i) {
    if (i >= array.size())
        Raise(err::kSubscriptOutOfRange, err::DescriptionOf(err::kSubscriptOutOfRange));
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

/// The section and row a copy error names.
struct ErrorLabels {
    std::string section;
    std::string row;
};

/// Runs a step of the host with the copy-error path armed: a refusal is reported with the
/// formulas as read (when formulas were read) and the destination, and the step is over.
/// Returns false after a refusal.
bool CopyErrorPath(const ErrorLabels& labels, const ShapePtr& destination,
                   const std::vector<std::string>* read, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (...) {
        const Error error = app::CurrentError();
        if (read) {
            SetOriginalFormulas(*read);
            SetProblemShape(destination);
        }
        ShowCopyError(error, labels.section, labels.row);
        return false;
    }
}

/// The shared write step: one read of the source formulas, the rewrites, one write.
bool WriteStep(const ShapePtr& source, const ShapePtr& destination, const CellTriples& sourceCells,
               const CellTriples& destinationCells, const ErrorLabels& labels,
               const std::function<void(FormulaList&)>& firstRewrite,
               const app::StringCollection* extra = nullptr) {
    FormulaList asRead;
    return CopyErrorPath(labels, destination, &asRead, [&] {
        FormulaList formulas = source->GetFormulas(sourceCells);
        asRead = formulas;
        if (firstRewrite) firstRewrite(formulas);
        ResolveReferences(formulas, app::g_colSheetNameMap);
        if (extra) ResolveReferences(formulas, *extra);
        destination->SetFormulas(destinationCells, formulas, visio::visSetBlastGuards);
    });
}

std::function<void(FormulaList&)> ShiftRows(int16_t shift, int16_t section) {
    return [shift, section](FormulaList& formulas) {
        ResolveReferencesToSelf(formulas, shift, section);
    };
}

std::function<void(FormulaList&)> RenameGeometry(int16_t from, int16_t to) {
    return
        [from, to](FormulaList& formulas) { ResolveGeometryReferencesToSelf(formulas, from, to); };
}

/// Writes one Geometry row, or a whole section, from source section from to destination
/// section to: same rows and cells.
bool WriteGeometry(const ShapePtr& source, const ShapePtr& destination,
                   const CellTriples& sourceCells, int16_t from, int16_t to,
                   const app::StringCollection& renames) {
    CellTriples destinationCells = sourceCells;
    for (size_t k = 0; k < destinationCells.size(); k += 3)
        destinationCells[k] = to;
    return WriteStep(source, destination, sourceCells, destinationCells, {"Geometry", ""},
                     RenameGeometry(from, to), &renames);
}

}  // namespace

void CopySection(const ShapePtr& source, const ShapePtr& destination, int16_t section, int16_t row,
                 bool wholeSection) {
    app::Trap(kModule, "CopySection", [&] {
        const int16_t tested = row == visio::kRowGlueInfo ? visio::visRowMisc : row;
        if (!source->RowExists(section, tested, 0) || !destination->RowExists(section, tested, 0))
            return;
        const int16_t n = wholeSection ? source->RowCount(section) : int16_t{1};
        const int16_t m = wholeSection ? destination->RowCount(section) : int16_t{1};
        if (n < 1) return;
        std::vector<int16_t> cells;
        if (!GetCellIndicies(source, section, row, cells)) return;
        const auto d = static_cast<int16_t>(m - n);
        if (d < 0) return;
        CellTriples from, to;
        for (int16_t r = 0; r < n; ++r) {
            for (int16_t cell : cells) {
                AddTriple(from, section, static_cast<int16_t>(tested + r), cell);
                AddTriple(to, section, static_cast<int16_t>(tested + d + r), cell);
            }
        }
        WriteStep(source, destination, from, to,
                  {GetSectionString(section), GetObjectSectionRowString(row)},
                  wholeSection ? ShiftRows(d, section) : nullptr);
    });
}

void CopyNamedRowSection(const ShapePtr& source, const ShapePtr& destination, int16_t section,
                         int16_t row, bool /*wholeSection*/) {
    app::Trap(kModule, "CopyNamedRowSection", [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        std::vector<int16_t> cells;
        if (!GetCellIndicies(source, section, 0, cells)) return;
        std::vector<std::string> names;
        for (int16_t j = 0; j < m; ++j)
            names.push_back(RowName(destination, section, j, cells.front()));
        CellTriples from, to;
        for (int16_t i = 0; i < n; ++i) {
            const std::string name = RowName(source, section, i, cells.front());
            const auto j =
                static_cast<int16_t>(std::find(names.begin(), names.end(), name) - names.begin());
            for (int16_t cell : cells) {
                AddTriple(from, section, i, cell);
                AddTriple(to, section, j, cell);
            }
        }
        WriteStep(source, destination, from, to,
                  {GetSectionString(section), GetObjectSectionRowString(row)}, nullptr);
    });
}

void CopyNamedRows(const ShapePtr& source, const ShapePtr& destination, int16_t section) {
    app::Trap(kModule, "CopyNamedRows", [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const RowChoice choice = GetRowIndicies(section);
        for (int16_t i = 0; i < n; ++i) {
            if (!Chosen(choice, i)) continue;
            const std::string name = RowName(source, section, i, 0);
            for (int16_t j = 0; j < m; ++j) {
                if (RowName(destination, section, j, 0) == name) {
                    CopyRow(source, destination, section, i, j);
                    break;
                }
            }
        }
    });
}

void CopyRows(const ShapePtr& source, const ShapePtr& destination, int16_t section,
              int16_t options) {
    app::Trap(kModule, "CopyRows", [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const RowChoice choice = GetRowIndicies(section);
        int16_t t = 0;
        if (!(options & CF_OVERWRITE) && n != m) {
            const auto k =
                Empty(choice)
                    ? n
                    : static_cast<int16_t>(std::count_if(choice.begin(), choice.end() - 1,
                                                         [](int16_t e) { return e != 0; }));
            t = static_cast<int16_t>(m - k);
        }
        const RowOrder order = GetRowOrderIndicies(section);
        if (Empty(order)) {
            for (int16_t i = 0; i < n; ++i) {
                if (Chosen(choice, i)) CopyRow(source, destination, section, i, t++);
            }
            return;
        }
        const std::vector<int16_t> chosen = ChosenRows(choice, n);
        for (size_t p = 0; p + 1 < order.size(); ++p) {
            CopyRow(source, destination, section, At(chosen, static_cast<size_t>(order[p])), t++);
        }
    });
}

void CopyRow(const ShapePtr& source, const ShapePtr& destination, int16_t section,
             int16_t sourceRow, int16_t destinationRow) {
    app::Trap(kModule, "CopyRow", [&] {
        std::vector<int16_t> cells;
        if (!GetCellIndicies(source, section, 0, cells)) return;
        CellTriples from, to;
        for (int16_t cell : cells) {
            AddTriple(from, section, sourceRow, cell);
            AddTriple(to, section, destinationRow, cell);
        }
        WriteStep(source, destination, from, to, {GetSectionString(section), ""},
                  ShiftRows(static_cast<int16_t>(destinationRow - sourceRow), section));
    });
}

void GetGeometryCells(const ShapePtr& shape, CellTriples& triples, int16_t section) {
    app::Trap(kModule, "GetGeometryCells", [&] {
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

void CopyGeometrySection(const ShapePtr& source, const ShapePtr& destination, int16_t sourceSection,
                         int16_t& target, const app::StringCollection& renames) {
    app::Trap(kModule, "CopyGeometrySection", [&] {
        CellTriples cells;
        GetGeometryCells(source, cells, sourceSection);
        if (cells.empty()) return;
        if (WriteGeometry(source, destination, cells, sourceSection, target, renames)) ++target;
    });
}

void CopyGeometryRows(const ShapePtr& source, const ShapePtr& destination, int16_t sourceSection,
                      int16_t& target, const app::StringCollection& renames) {
    app::Trap(kModule, "CopyGeometryRows", [&] {
        if (source->GeometryCount() < 1) return;
        bool written = false;
        for (const GeometryRow& line : GetGeometryRowIndicies()) {
            if (line.section != sourceSection || line.chosen == 0) continue;
            CellTriples cells;
            for (int16_t c = 0; c < source->RowsCellCount(sourceSection, line.row); ++c) {
                AddTriple(cells, sourceSection, line.row, c);
            }
            if (!WriteGeometry(source, destination, cells, sourceSection, target, renames)) return;
            written = true;
        }
        if (written) ++target;
    });
}

void AddNewRows(const ShapePtr& source, const ShapePtr& destination, int16_t section) {
    app::Trap(kModule, "AddNewRows", [&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        const RowChoice choice = GetRowIndicies(section);
        int16_t added = 0;
        for (int16_t i = 0; i < n; ++i) {
            if (!Chosen(choice, i)) continue;
            const bool ok =
                CopyErrorPath({GetSectionString(section), ""}, destination, nullptr, [&] {
                    destination->AddRow(section, static_cast<int16_t>(m + added),
                                        visio::visTagDefault);
                });
            if (!ok) return;
            ++added;
        }
    });
}

void AddNewNamedRows(const ShapePtr& source, const ShapePtr& destination, int16_t section,
                     bool allRows) {
    // Failures outside the copy-error path end the operation silently.
    app::IgnoreFailure([&] {
        const int16_t n = source->RowCount(section);
        const int16_t m = destination->RowCount(section);
        if (n < 1) return;
        std::vector<std::string> names;
        for (int16_t j = 0; j < m; ++j)
            names.push_back(RowName(destination, section, j, 0));
        const auto present = [&](const std::string& name) {
            return std::find(names.begin(), names.end(), name) != names.end();
        };
        const RowChoice choice = allRows ? RowChoice(1, 0) : GetRowIndicies(section);
        const RowOrder order = allRows ? RowOrder(1, 0) : GetRowOrderIndicies(section);
        int16_t added = 0;
        if (Empty(order)) {
            for (int16_t i = 0; i < n; ++i) {
                if (!Chosen(choice, i)) continue;
                const std::string name = RowName(source, section, i, 0);
                if (present(name)) continue;
                int16_t row = -1;
                const bool ok = CopyErrorPath(
                    {GetSectionString(section), name}, destination, nullptr,
                    [&] { row = destination->AddRow(section, 0, visio::visTagDefault); });
                if (!ok) return;
                if (!app::IgnoreFailure(
                        [&] { destination->CellsSRC(section, row, 0)->SetRowName(name); })) {
                    destination->DeleteRow(section, row);
                    continue;
                }
                ++added;
            }
            return;
        }
        const std::vector<int16_t> chosen = ChosenRows(choice, n);
        for (size_t p = 0; p + 1 < order.size(); ++p) {
            const std::string name =
                RowName(source, section, At(chosen, static_cast<size_t>(order[p])), 0);
            if (present(name)) continue;
            const bool ok =
                CopyErrorPath({GetSectionString(section), name}, destination, nullptr, [&] {
                    destination->AddRow(section, 0, visio::visTagDefault);
                    destination->CellsSRC(section, static_cast<int16_t>(m + added), 0)
                        ->SetRowName(name);
                });
            if (!ok) return;
            ++added;
        }
    });
}

void DeleteRows(const ShapePtr& destination, int16_t section) {
    app::IgnoreFailure([&] {
        const int16_t count = destination->RowCount(section);
        for (int16_t k = 0; k < count; ++k)
            destination->DeleteRow(section, 0);
    });
}

}  // namespace tess::engine
