#include "engine/SectionPreparation.h"

#include <map>
#include <set>

#include "app/ErrorReport.h"
#include "app/StringTable.h"
#include "engine/CopyError.h"
#include "engine/CopyPrimitives.h"
#include "engine/ReferenceResolution.h"
#include "engine/RowUse.h"
#include "engine/SectionCatalogue.h"
#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"

namespace tess::engine {
namespace {

using visio::ShapePtr;

bool IsNamedRowSection(int16_t section) {
    switch (section) {
        case visio::visSectionProp:
        case visio::visSectionUser:
        case visio::visSectionHyperlink:
        case visio::visSectionAction:
        case visio::visSectionSmartTag:
        case visio::visSectionControls:
            return true;
        default:
            return false;
    }
}

/// Gives each destination run the source run's row in one cell: Character runs (run type 1,
/// Character cell 1) or Paragraph runs (run type 2, Paragraph cell 0). The whole-section copy
/// that follows writes the source rows' formulas over them.
void PrepareRuns(const ShapePtr& source, const ShapePtr& destination, int16_t runType,
                 bool character) {
    const visio::CharactersPtr from = source->Characters();
    const visio::CharactersPtr to = destination->Characters();
    const int32_t n = from->CharCount();
    for (int32_t p = 0; p < n;) {
        from->SetBegin(p + 1);
        from->SetEnd(p + 1);
        const int32_t begin = from->RunBegin(runType);
        const int32_t end = from->RunEnd(runType);
        to->SetBegin(begin);
        to->SetEnd(end);
        if (character) {
            to->SetCharProps(visio::visCharacterColor, from->CharPropsRow(visio::visBiasRight));
        } else {
            to->SetParaProps(visio::visIndentFirst, from->ParaPropsRow(visio::visBiasRight));
        }
        if (end <= p) break;  // a run that does not move on would never end
        p = end;
    }
}

/// The text copy with fields: word run by word run, fields added as fields. From the first
/// field on, a refusal is a copy error of the Text Fields section; the copy then stops there.
void CopyTextRunByRun(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                      const visio::CharactersPtr& from, const visio::CharactersPtr& to, int32_t n) {
    bool armed = false;
    std::string formula;
    try {
        from->SetBegin(0);
        from->SetEnd(0);
        for (;;) {
            const int32_t begin = from->RunBegin(visio::visWordRun);
            const int32_t end = from->RunEnd(visio::visWordRun);
            to->SetBegin(begin);
            from->SetBegin(begin);
            from->SetEnd(end);
            if (from->IsField()) {
                const int16_t category = from->FieldCategory();
                int16_t code = from->FieldCode();
                formula = from->FieldFormula();
                const int16_t format = from->FieldFormat();
                armed = true;
                ResolveFormulaReferencesToParent(formula, source, destination);
                if (code > 254) code = static_cast<int16_t>(code - 255);
                if (category != 0) {
                    to->AddField(category, code, format);
                } else {
                    to->AddCustomField(formula, format);
                }
            } else {
                to->SetText(from->Text());
            }
            from->SetBegin(end);
            if (n <= end) break;
        }
    } catch (...) {
        if (!armed) throw;
        const Error error = app::CurrentError();
        run.frontEnd.SetCopyErrorDetails({formula}, destination);
        RefusedFormula refused;
        refused.section = visio::visSectionTextField;
        refused.formula = formula;
        ShowCopyError(run, error, "Text Fields", "", refused);
    }
}

/// The rows of the source a copy of the section takes: the chosen ones, or all.
int16_t RowsTaken(const CopyRun& run, const ShapePtr& source, int16_t section) {
    const int16_t count = source->RowCount(section);
    const RowChoice choice = GetRowIndicies(run.request, section);
    if (choice.size() < 2) return count;
    int16_t taken = 0;
    for (int16_t row = 0; row < count && static_cast<size_t>(row) < choice.size(); ++row)
        taken = static_cast<int16_t>(taken + (choice[static_cast<size_t>(row)] != 0));
    return taken;
}

void DeleteRow(CopyRun& run, const ShapePtr& destination, int16_t section, int16_t row) {
    destination->DeleteRow(section, row);
    ++run.Current().rowsDeleted;
}

/// Overwriting a section empties it, except for the rows formulas outside it still name: named
/// rows keep their places, and numbered rows up to the last one named stay, their first rows
/// taking the copy. Returns whether rows are to be added for the copy (not when the numbered rows
/// kept have a place for every copied row).
bool ClearForOverwrite(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                       int16_t section, bool named) {
    // A section without rows has none to keep, whatever other formulas name: the look at every
    // formula of the destination's page or master is spared.
    if (destination->RowCount(section) < 1) return true;
    std::set<int16_t> namedRows;
    for (const auto& [namedSection, row, cell] :
         CellsNamedFromOutside(run, destination, [section](int16_t other) { return other == section; }))
        namedRows.insert(row);
    if (namedRows.empty()) {
        DeleteRows(run, destination, section);
        return true;
    }
    // The rows kept keep what their own formulas name.
    const std::set<int16_t> kept = RowsNamedFrom(run, destination, section, std::move(namedRows));
    const int16_t last = *kept.rbegin();
    const int16_t taken = RowsTaken(run, source, section);
    if (!named && last < taken) {
        DeleteRows(run, destination, section);
        return true;
    }
    std::string stay;
    app::IgnoreFailure([&] {
        for (auto row = static_cast<int16_t>(destination->RowCount(section) - 1); row >= 0; --row) {
            const bool keep = named ? kept.count(row) > 0 : row <= last;
            if (!keep) {
                DeleteRow(run, destination, section, row);
            } else if (named || row >= taken) {
                const std::string name =
                    named ? destination->CellsSRC(section, row, 0)->RowName() : std::string();
                const std::string label = RowListLabel(section, row, name);
                stay = label + (stay.empty() ? "" : ", ") + stay;
            }
        }
    });
    ReportShortfall(run, section,
                    app::FormatResString(kRowsKeptText, SectionListName(section) + " (" + stay + ")"));
    return named;
}

/// The row types each destination Geometry section has once the source's are prepared, by
/// section.
std::map<int16_t, std::vector<int16_t>> GeometryToCome(CopyRun& run, const ShapePtr& source,
                                                       int16_t first) {
    std::map<int16_t, std::vector<int16_t>> sections;
    auto next = first;
    for (int16_t g = 0; g < source->GeometryCount(); ++g) {
        const auto s = static_cast<int16_t>(visio::visSectionFirstComponent + g);
        std::vector<int16_t> types;
        if (ShouldWeCopySection(run, run.request, source, s)) {
            for (int16_t r = 0; r < source->RowCount(s); ++r)
                types.push_back(source->RowType(s, r));
        } else {
            for (const GeometryRow& line : run.request.geometryRows) {
                if (line.section != s || line.chosen == 0) continue;
                if (types.empty() && line.row != 0) types.push_back(visio::visTagComponent);
                types.push_back(source->RowType(s, line.row));
            }
        }
        if (!types.empty()) sections[next++] = std::move(types);
    }
    return sections;
}

/// Whether overwriting the destination's Geometry would leave a formula naming a Geometry row
/// it no longer has; the report then says which, and the Geometry stays as it is.
bool KeepsGeometry(CopyRun& run, const ShapePtr& source, const ShapePtr& destination) {
    const std::map<int16_t, std::vector<int16_t>> toCome =
        GeometryToCome(run, source, visio::visSectionFirstComponent);
    for (const auto& [section, row, cell] :
         CellsNamedFromOutside(run, destination, [](int16_t s) { return visio::IsGeometrySection(s); })) {
        const auto found = toCome.find(section);
        if (found != toCome.end() && static_cast<size_t>(row) < found->second.size() &&
            cell < formula::GeometryCellCount(found->second[static_cast<size_t>(row)]))
            continue;
        run.geometryKept.push_back(destination->NameID());
        ReportShortfall(run, section,
                        app::FormatResString(kGeometryKeptText, RowListLabel(section, row, {})));
        return true;
    }
    return false;
}

}  // namespace

void PrepareObjectRow(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                      int16_t row) {
    app::IgnoreFailure([&] {
        if (source->RowExists(visio::visSectionObject, row, 0)) {
            destination->AddRow(visio::visSectionObject, row, visio::visTagDefault);
            ++run.Current().rowsAdded;
        }
    });
}

void AddSectionIfMissing(const ShapePtr& shape, int16_t section) {
    if (!shape->SectionExists(section, 0)) app::IgnoreFailure([&] { shape->AddSection(section); });
}

void DeleteGeometrySections(const ShapePtr& shape) {
    for (int16_t g = static_cast<int16_t>(shape->GeometryCount() - 1); g >= 0; --g) {
        shape->DeleteSection(static_cast<int16_t>(visio::visSectionFirstComponent + g));
    }
}

void PrepareSection(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                    int16_t section, int16_t options) {
    app::Trap(run, app::proc::PrepareSection, [&] {
        if (!source->SectionExists(section, 0)) return;
        AddSectionIfMissing(destination, section);
        const bool text =
            section == visio::visSectionCharacter || section == visio::visSectionParagraph;
        // Connection points are matched by name only when the source names them; unnamed ones
        // are added after the destination's, as other numbered rows are.
        const bool named = section == visio::visSectionConnectionPts ? HasNamedRows(source, section)
                                                                     : IsNamedRowSection(section);
        bool addRows = true;
        if ((options & CF_OVERWRITE) && !text)
            addRows = ClearForOverwrite(run, source, destination, section, named);
        if (named) {
            // The Rows tab's choice is the run source's: a sub-shape copied along with it gets
            // every row, and the run source gets only its chosen rows, inside a group or not.
            AddNewNamedRows(run, source, destination, section,
                            ShouldWeCopySection(run, run.request, source, section));
        } else if (!text && section != visio::visSectionTab && addRows) {
            AddNewRows(run, source, destination, section);
        }
    });
}

void PrepareGeometrySection(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                            int16_t options) {
    app::Trap(run, app::proc::PrepareGeometrySection, [&] {
        if ((options & CF_OVERWRITE) && KeepsGeometry(run, source, destination)) return;
        if (options & CF_OVERWRITE) {
            for (int16_t g = 0; g < destination->GeometryCount(); ++g) {
                run.Current().rowsDeleted += destination->RowCount(
                    static_cast<int16_t>(visio::visSectionFirstComponent + g));
            }
            DeleteGeometrySections(destination);
        }
        const int16_t k = destination->GeometryCount();
        auto next = static_cast<int16_t>(visio::visSectionFirstComponent + (k > 0 ? k : 0));
        const int16_t m = source->GeometryCount();
        for (int16_t g = 0; g < m; ++g) {
            const auto s = static_cast<int16_t>(visio::visSectionFirstComponent + g);
            if (ShouldWeCopySection(run, run.request, source, s)) {
                AddSectionIfMissing(destination, next);
                for (int16_t r = 0; r < source->RowCount(s); ++r) {
                    destination->AddRow(next, r, source->RowType(s, r));
                    ++run.Current().rowsAdded;
                }
                ++next;
                continue;
            }
            bool taken = false;
            for (const GeometryRow& line : run.request.geometryRows) {
                if (line.section != s || line.chosen == 0) continue;
                AddSectionIfMissing(destination, next);
                if (!taken && line.row != 0) {
                    // A Geometry section begins with its component row: chosen rows without it
                    // get one of the destination's own first.
                    destination->AddRow(next, visio::visRowLast, visio::visTagComponent);
                    ++run.Current().rowsAdded;
                }
                destination->AddRow(next, visio::visRowLast, source->RowType(s, line.row));
                ++run.Current().rowsAdded;
                taken = true;
            }
            if (taken) ++next;
        }
    });
}

void PrepareCharactersSection(CopyRun& run, const ShapePtr& source, const ShapePtr& destination) {
    app::Trap(run, app::proc::PrepareCharactersSection,
              [&] { PrepareRuns(source, destination, visio::visCharPropRow, true); });
}

void PrepareParagraphSection(CopyRun& run, const ShapePtr& source, const ShapePtr& destination) {
    app::Trap(run, app::proc::PrepareParagraphSection,
              [&] { PrepareRuns(source, destination, visio::visParaPropRow, false); });
}

void SetCharacterText(CopyRun& run, const ShapePtr& source, const ShapePtr& destination,
                      bool copyFields) {
    app::Trap(run, app::proc::SetCharacterText, [&] {
        const visio::CharactersPtr from = source->Characters();
        const visio::CharactersPtr to = destination->Characters();
        const visio::CellPtr lock = destination->Cells("LockTextEdit");
        std::string lockFormula;
        if (lock->ResultIU() != 0) {
            lockFormula = lock->Formula();
            lock->SetResultIU(0);
        }
        const int32_t n = from->CharCount();
        if (!copyFields) {
            to->SetText(from->Text());
        } else if (n > 0) {
            CopyTextRunByRun(run, source, destination, from, to, n);
        }
        from->SetBegin(0);
        from->SetEnd(n);
        to->SetBegin(0);
        to->SetEnd(n);
        if (!lockFormula.empty()) lock->SetFormula(lockFormula);
    });
}

}  // namespace tess::engine
