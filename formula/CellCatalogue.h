#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The ShapeSheet's cells by index, with the names formulas use for them and the names the file
// format writes them under.
namespace tess::formula {

/// A cell as a formula names it, decoded but not yet looked up on a sheet.
struct CellName {
    int16_t section = 0;  // 1 for the object section; 10 + n - 1 for Geometry section n
    int16_t row = 0;      // the row index; ignored for named rows
    int16_t cell = 0;
    std::string rowName;  // rows of named-row sections are found by name
    bool named = false;

    bool operator==(const CellName&) const = default;
};

/// Decodes the cell part of a reference as formulas write it: "PinX", "Scratch.X1",
/// "Geometry2.Y3", "Char.Size[2]", "Connections.Y4", "Prop.Cost.Label", "User.Flag".
/// Names of sections, columns and cells compare without regard to case. nullopt for a name no
/// sheet can have.
std::optional<CellName> DecodeCellName(std::string_view name);

/// The name formulas use for a cell: "PinX", "Scratch.X1", "Char.Size[2]", "Prop.Cost.Label".
/// rowName is used for named-row sections. Empty when the cell has no formula name.
std::string CellNameText(int16_t section, int16_t row, int16_t cell, std::string_view rowName = {});

/// The file format's name of a cell of a section (any row of a multi-row section), or of a
/// cell of the object section's row; empty when it has none.
std::string_view XmlCellName(int16_t section, int16_t row, int16_t cell);
/// The object-section row and cell the file format names xmlName; nullopt when unknown.
std::optional<std::pair<int16_t, int16_t>> ObjectCellFromXmlName(std::string_view xmlName);
/// The cell a multi-row section's row (or a Geometry row; row 0 is its component row) names
/// xmlName; nullopt when unknown.
std::optional<int16_t> SectionCellFromXmlName(int16_t section, int16_t row,
                                              std::string_view xmlName);

/// The cells a row has: one more than the highest cell index of an object-section row, or of
/// any row of a multi-row section (Geometry rows depend on their type: see GeometryCellCount).
/// 0 for a row or section the catalogue does not know.
int16_t ColumnCount(int16_t section, int16_t row);
/// True when the catalogue knows cell index `cell` of that row or section.
bool IsKnownCell(int16_t section, int16_t row, int16_t cell);
/// The cells of a Geometry row of the given row type (137 the component row: 6).
int16_t GeometryCellCount(int16_t rowType);

/// True for the sections whose rows are found by name (User, Prop, Actions, Controls,
/// Hyperlink, Smart Tags; Connection points when their rows carry names).
bool IsNamedRowSection(int16_t section);

/// ASCII case-insensitive comparison, as the ShapeSheet compares names.
bool SameName(std::string_view a, std::string_view b);

}  // namespace tess::formula
