#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/Prompt.h"
#include "app/StringCollection.h"
#include "engine/SectionCatalogue.h"
#include "platform/visio/Host.h"

// Two sheets compared as a ShapeSheet user reads them: per Sections-tab entry, the rows that only
// one has (named rows by name, others by position), and per cell the formula and the value. The
// first sheet's formulas are read as a copy to the second would write them, so that a section
// just copied compares equal. The command line and the desktop program show the same result.
namespace tess::window {

using Entries = std::vector<const engine::CatalogueEntry*>;

/// Where a formula comes from.
enum class FormulaOrigin { Local, Master, Style };

struct CellImage {
    int16_t cell = 0;     // its index in the row
    std::string name;     // within its row, as formulas name it ("Value", "PinX", "X")
    std::string formula;  // as the host gives it; empty for none
    std::string value;    // as text
    FormulaOrigin origin = FormulaOrigin::Local;
    std::string master;  // the master it is inherited from
};

struct RowImage {
    std::string label;  // as the lists show it ("Prop.Cost", "Row 3"); empty for a single row
    std::string key;    // what pairs it with a row of the other sheet: its name, or its label
    std::string type;   // a Geometry row's type ("LineTo"); empty elsewhere
    std::vector<CellImage> cells;  // in copy order
};

struct SectionImage {
    const engine::CatalogueEntry* entry = nullptr;
    std::vector<RowImage> rows;  // none where the sheet lacks the section
};

/// What a comparison reads of a sheet: the rows and cells of some entries.
struct SheetImage {
    std::vector<SectionImage> sections;
};

/// How the first sheet's references read on the second: the sheet and its members as the
/// second and its matching members, and (in text fields) the parent as the second's parent.
struct ReferenceMap {
    app::StringCollection sheets;
    app::StringCollection parents;
    bool renamesSheets = false;  // whether sheets renames any sheet: else nothing to rewrite
};

enum class CellChange {
    Formula,  // the formulas differ (the values may too)
    Value,    // the same formula gives another value (both known: neither empty)
    Missing,  // one row lacks the cell
};

struct CellDifference {
    std::string name;
    std::optional<CellImage> first, second;  // none where that row lacks the cell
    std::string mapped;  // the first formula as it reads on the second
    CellChange change = CellChange::Formula;
};

struct RowDifference {
    std::string label;
    bool inFirst = true;
    bool inSecond = true;
    std::string firstType, secondType;  // Geometry row types, when they differ
    std::vector<CellDifference> cells;
};

struct SectionDifference {
    const engine::CatalogueEntry* entry = nullptr;
    bool inFirst = false;
    bool inSecond = false;
    size_t rowsCompared = 0;          // rows both sheets have
    std::vector<RowDifference> rows;  // only rows that differ
};

struct SheetDiff {
    std::vector<SectionDifference> sections;
    /// Rows only one sheet has, Geometry rows of another type, and cells that differ.
    size_t Count() const;
};

/// The short name of a cell within its row: "Value" for User.Twice's value, "PinX" for PinX.
std::string CellShortName(int16_t section, int16_t row, int16_t cell);

/// The entries either sheet offers, as the Sections tab enables them, in the tab's order.
Entries OfferedEntries(app::IPrompt& prompt, const visio::ShapePtr& first,
                       const visio::ShapePtr& second);

/// Reads the rows and cells the entries cover on a sheet (one section image per entry).
SheetImage ReadSheet(app::IPrompt& prompt, const visio::ShapePtr& sheet, const Entries& entries);

/// The references as a copy from first to second rewrites them.
ReferenceMap MapReferences(const visio::ShapePtr& first, const visio::ShapePtr& second);

/// The sheets whose references the map rewrites, each with the one it reads as ("Sheet.1",
/// "Sheet.5"); sheets that keep their name are left out.
std::vector<std::pair<std::string, std::string>> MappedSheets(const ReferenceMap& map);

/// Compares two images of the same entries; failures are reported through prompt.
SheetDiff CompareSheets(app::IPrompt& prompt, const SheetImage& first, const SheetImage& second,
                        const ReferenceMap& map);

/// Two sheets compared: the sheets whose references the first's formulas read as the second's
/// (see MappedSheets), and what differs.
struct SheetComparison {
    std::vector<std::pair<std::string, std::string>> references;
    SheetDiff diff;
};

/// Reads both sheets and compares them for the entries given (those either offers when none),
/// reading the first's references as a copy to the second would write them. What the command
/// line lists and the Compare window shows.
SheetComparison DiffSheets(app::IPrompt& prompt, const visio::ShapePtr& first,
                           const visio::ShapePtr& second, Entries entries = {});

/// How a listing names where a formula comes from: "local", "master Box", "style".
std::string OriginText(const CellImage& cell);

}  // namespace tess::window
