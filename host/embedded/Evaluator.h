#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "formula/Evaluate.h"
#include "host/embedded/ModelData.h"

namespace tess::embedded {

class Model;

/// The values of cells: computed from their formulas (their own or inherited) as the formula
/// library evaluates them over the model, cached until something changes, and the themes
/// THEMEVAL() and THEMEPROP() read.
class Evaluator {
public:
    explicit Evaluator(Model& model) : m_model(model) {}

    /// The cell's current value, computed again when something changed since.
    formula::Value Result(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    double ResultNumber(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    /// The value a recalculation gives the cell: computed from its formula (its own or the one
    /// it inherits) and the recalculated values of the cells that names, never from a value
    /// shown before or read from a file. NotComputable, saying what it needs, where the model
    /// cannot compute it.
    formula::Value Recalculated(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    /// Result without the checks: the value of a cell the sheet has.
    formula::Value Compute(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    /// Why Visio would refuse a formula on this sheet; nullopt when it would accept it.
    std::optional<formula::FormulaProblem> CheckFormula(const SheetPtr& sheet,
                                                        std::string_view formula);
    /// Moves a point from a shape's local coordinates to its page's (or master's), and back.
    void ToPageCoordinates(const SheetPtr& shape, double& x, double& y);
    void FromPageCoordinates(const SheetPtr& shape, double& x, double& y);

private:
    friend class SheetResolver;

    formula::Value Recalculate(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    /// The value of a cell's formula on the sheet; nullopt when the cell is being computed
    /// already (a circular reference).
    std::optional<formula::Value> Evaluated(const SheetPtr& sheet, const SheetData& owner,
                                            const CellData& source, int16_t section, int16_t row,
                                            int16_t cell);
    /// The value a cell showed last (its own, else its formula's source's), kept for want of
    /// what it needs.
    formula::Value LastShown(const SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                             const CellData* source, formula::Need need) const;
    /// Action and event cells, whose formulas run when their event fires.
    static bool IsEventCell(int16_t section, int16_t row, int16_t cell);
    /// The ClippingPath cell of a picture.
    static bool IsClippingPath(const SheetData& sheet, int16_t section, int16_t row, int16_t cell);
    /// The shape transform's first nine cells: PinX, PinY, Width, Height, LocPinX, LocPinY,
    /// Angle, FlipX, FlipY.
    std::array<double, 9> PlacementCells(const SheetPtr& shape);
    void CacheValue(SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                    formula::Value value, bool estimated = false);

    // Themes.
    int32_t ThemeCell(const SheetPtr& sheet, int16_t cell);
    /// The document's theme that gives the sheet its colors, or (styles) its fill, line, effect
    /// and font styles; null when none.
    const ThemeData* ThemeOf(const SheetPtr& sheet, bool styles);
    std::optional<bool> IsThemed(const SheetPtr& sheet);
    /// A THEMEVAL or THEMEPROP property for the sheet; empty: the property of the host cell.
    formula::Value ThemeValue(const SheetPtr& sheet, std::string_view property,
                              const std::optional<CellAddress>& host);
    /// What Visio gives a THEMEVAL property where no theme applies.
    formula::Value UnthemedValue(const SheetPtr& sheet, std::string_view property,
                                 const std::optional<CellAddress>& host);
    std::optional<formula::Value> QuickStyleValue(const SheetPtr& sheet, const ThemeData& theme,
                                                  std::string_view property);

    Model& m_model;
    formula::CycleGuard m_cycleGuard;
    // A recalculation's values, good while nothing changes.
    bool m_recalculating = false;
    uint64_t m_recalculatedAt = 0;
    std::map<std::pair<const SheetData*, int64_t>, formula::Value> m_recalculated;
};

}  // namespace tess::embedded
