#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "formula/Evaluate.h"

// The data of the embedded Visio model: documents, pages, masters and sheets with their
// sections, rows, cells and text. Plain data; the rules live in Model.
namespace tess::embedded {

struct SheetData;
struct PageData;
struct MasterData;
struct DocumentData;
using SheetPtr = std::shared_ptr<SheetData>;

enum class SheetKind : uint8_t { Shape, PageSheet, DocumentSheet, StyleSheet };
enum class ShapeKind : uint8_t { Shape, Group, Foreign, Guide };

/// One cell: its own formula (when it has one), and the last value computed for it.
struct CellData {
    enum class Source : uint8_t {
        Inherited,  // no formula of its own: the master's or the style's applies
        Local,      // the formula below is the sheet's own
        NoFormula,  // locally emptied: blocks inheritance, value empty
    };

    int16_t index = 0;
    Source source = Source::Inherited;
    bool valueOnly = false;   // Local formula that the file wrote as a bare value (no F)
    bool inFile = false;      // the file wrote this cell (the writer keeps it)
    bool estimated = false;   // the value was kept: the formula needs what the model lacks
    uint8_t unit = 0;         // the unit the file gave the value, as the file layer codes it
    uint64_t computedAt = 0;  // change count of the model when value was computed (0: as read)
    formula::Value value;
    formula::CompactText formula;
};

/// A row of a section. Rows an instance inherits are present too, without cells of their own.
struct RowData {
    std::vector<CellData> cells;  // sorted by cell index: local cells and cached values
    formula::CompactText name;    // named-row sections
    int32_t origin = -1;          // position of the row's element in the file; -1 for a new row
    int16_t type = 0;             // row tag
    int16_t key = -1;    // index of the row it inherits in the inheritance source; -1: none
    bool local = false;  // the sheet has this row itself
    /// The undo scope that inserted the row (0: none): while that scope is the innermost one
    /// open, changes to its cells need no undo record, since undoing the scope removes the row.
    int32_t madeIn = 0;

    CellData* Find(int16_t cell);
    const CellData* Find(int16_t cell) const;
    CellData& Get(int16_t cell);  // finds or inserts
};

struct SectionData {
    int16_t index = 0;
    bool local = false;                // the sheet has the section itself
    int16_t key = -1;                  // Geometry: the inherited section's index; -1: none
    int16_t origin = -1;               // the section's index in the file; -1 for a new section
    std::vector<RowData> rows;         // visible rows, in order
    std::vector<int16_t> deletedKeys;  // inherited rows this sheet deleted
    int32_t madeIn = 0;                // the undo scope that inserted it, as for rows
};

/// A stretch of text formatted by one row of the Character, Paragraph or Tabs section, from
/// start to the next run's start.
struct TextRun {
    int32_t start = 0;
    int16_t row = 0;
    bool operator==(const TextRun&) const = default;
};

/// A text field: the characters [start, end) show the field of Fields row `row`.
struct TextField {
    int32_t start = 0;
    int32_t end = 0;
    int16_t row = 0;
    bool operator==(const TextField&) const = default;
};

struct TextData {
    std::u32string characters;
    std::vector<TextRun> charRuns;
    std::vector<TextRun> paraRuns;
    std::vector<TextRun> tabRuns;
    std::vector<TextField> fields;
    bool local = false;  // the sheet has text of its own (otherwise its master's shows)
    bool operator==(const TextData&) const = default;
};

/// What holds shapes: a page, a master or a group.
struct ShapeContainer {
    std::vector<SheetPtr> shapes;
    /// The model's change count when this sheet (or, for a page, master or group, the list of
    /// its shapes) last changed: what a file writer compares with the count it read at.
    uint64_t changedAt = 0;
    /// Reads the shapes when they are first needed: a file reader leaves the contents of pages
    /// for later, so that opening a large drawing costs what is used of it (Model::LoadShapes).
    std::function<void()> pendingShapes;
    virtual ~ShapeContainer() = default;
};

/// A ShapeSheet: a shape, a page sheet, the document sheet or a style.
struct SheetData : ShapeContainer, std::enable_shared_from_this<SheetData> {
    SheetKind kind = SheetKind::Shape;
    ShapeKind shapeKind = ShapeKind::Shape;
    int32_t id = 0;
    std::string name;
    std::string nameU;
    std::string uniqueId;
    std::array<std::string, 3> data;
    int16_t foreignType = 0;
    bool deleted = false;  // removed from its document; objects that still point here fail

    DocumentData* document = nullptr;
    PageData* page = nullptr;      // the page it is on (or whose sheet it is)
    MasterData* master = nullptr;  // the master it is in (or whose sheet it is)
    SheetData* parent = nullptr;   // the group that holds it

    // Inheritance.
    SheetPtr masterShape;                       // the master's shape this instance inherits from
    std::array<int32_t, 3> styles{-1, -1, -1};  // line, fill and text style IDs

    std::bitset<40> objectRows;            // rows of the object section this sheet has
    std::vector<SectionData> sections;     // multi-row sections, sorted by index
    std::vector<int16_t> deletedSections;  // inherited sections this sheet deleted
    TextData text;

    RowData objectCells;  // cells of the object section, by ObjectCellKey(row, cell)

    SectionData* Section(int16_t index);
    const SectionData* Section(int16_t index) const;
};

/// A cell of a sheet by section, row and cell index.
struct CellAddress {
    int16_t section = 0;
    int16_t row = 0;
    int16_t cell = 0;
};

/// Object-section cells share one row of cells, keyed by their row and cell.
constexpr int16_t ObjectCellKey(int16_t row, int16_t cell) {
    return static_cast<int16_t>(row * 64 + cell);
}

struct PageData : ShapeContainer {
    int32_t id = 0;
    std::string name;
    std::string nameU;
    bool background = false;
    SheetPtr pageSheet;
    DocumentData* document = nullptr;
    bool deleted = false;
    std::unordered_map<int32_t, SheetData*> shapesById;
    int32_t nextShapeId = 1;
};

struct MasterData : ShapeContainer {
    int32_t id = 0;
    std::string name;
    std::string nameU;
    std::string uniqueId;
    SheetPtr pageSheet;
    DocumentData* document = nullptr;
    MasterData* editOf = nullptr;  // for an edit copy: the master it edits
    bool deleted = false;
    std::unordered_map<int32_t, SheetData*> shapesById;
    int32_t nextShapeId = 1;
};

/// A color a theme gives: a color of its scheme ("dk1", "accent2"; "phClr" the color a shape's
/// quick style chooses) or a fixed one, then changed as DrawingML says ("shade" 0.75, ...).
struct ThemeColor {
    std::string scheme;  // empty for a fixed color
    uint32_t rgb = 0;
    std::vector<std::pair<std::string, double>> changes;
};

/// What a document's theme gives its shapes: colors, and the fill, line and font styles its
/// shapes' quick style cells choose among.
struct ThemeData {
    int32_t index = 0;        // the theme's number, as ThemeIndex cells name it
    int32_t effectIndex = 0;  // its styles' number, as EffectSchemeIndex cells name it
    std::vector<std::pair<std::string, uint32_t>> colors;  // dk1, lt1, ..., bkgnd
    std::vector<std::array<uint32_t, 7>> variationColors;  // each variant's seven colors
    std::vector<bool> monotone;  // variants whose quick styles all take their first color
    /// Each variant's styles for quick style matrices 100 to 103: fill, line, effect and font
    /// style numbers (from 1).
    std::vector<std::array<std::array<int16_t, 4>, 4>> variationStyles;
    std::vector<int16_t> embellishments;  // each variant's
    std::vector<ThemeColor> fills;        // the color of each fill style (a gradient's last)
    std::vector<std::pair<ThemeColor, double>> lines;  // the color and width of each line style
    std::vector<int16_t> lineCaps;      // each line style's LineCap: 0 round, 1 square, 2 flat
    std::vector<double> lineRoundings;  // each line style's corner rounding, in inches
    std::vector<int16_t> fillPatterns;  // each fill style's FillPattern
    /// Each effect style's shadow: its color, and how far (inches) and where (radians) it falls.
    struct Shadow {
        bool present = false;
        ThemeColor color;
        double distance = 0, direction = 0;
    };
    std::vector<Shadow> shadows;
    std::vector<ThemeColor> fonts;
    std::vector<std::pair<ThemeColor, double>> connectorLines;
    std::vector<ThemeColor> connectorFonts;
};

struct DocumentData {
    std::string name;  // file name with extension, or "Drawing1"
    std::string path;  // where it was read from; empty for a new drawing
    bool stencil = false;
    std::vector<std::shared_ptr<PageData>> pages;
    std::vector<std::shared_ptr<MasterData>> masters;
    std::vector<SheetPtr> styles;
    std::array<int32_t, 3> defaultStyles{0, 0, 0};  // line, fill and text style of new shapes
    std::vector<std::string> faceNames;             // the fonts its font numbers name, from 1
    std::vector<std::shared_ptr<const ThemeData>> themes;
    SheetPtr documentSheet;
    bool closed = false;
    std::shared_ptr<PageData> activePage;
    uint64_t changedAt = 0;  // when the lists of pages or masters last changed
    /// What the package reader keeps to write the document back (opaque to the model).
    std::shared_ptr<void> fileState;
};

}  // namespace tess::embedded
