#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/CompactText.h"
#include "formula/Formula.h"

// Resolving a formula's references against a model of sheets, checking a formula as Visio
// checks one before accepting it, and computing its value.
namespace tess::formula {

/// The errors a formula shows instead of a value.
enum class ErrorValue : uint8_t { Name, Ref, Div0, Value, Num, NA };
/// The text the ShapeSheet shows for an error: "#NAME?", "#REF!", "#DIV/0!", ...
std::string_view ErrorText(ErrorValue error);

/// What a value needs that no drawing holds, or that this program does not compute.
enum class Need : uint8_t {
    None,
    Computation,  // a function, or a case of one, this program does not compute
    TextMetrics,  // the size of text as it is drawn (TEXTWIDTH, TEXTHEIGHT)
    Clock,        // the time now, or a random number
    Environment,  // the user's settings, the running program, where the file lies
    Layout,       // where Visio's connector routing and glue put a connector's ends
};

/// The result of a formula. NotComputable stands for a value that needs what this program does
/// not have (a text renderer, the clock, a function it lacks): whoever asked keeps the value it
/// knew.
struct Value {
    enum class Type : uint8_t { Number, String, Color, Error, NotComputable };

    Type type = Type::NotComputable;
    ErrorValue error = ErrorValue::Value;
    /// NotComputable: what it needs. A known value that needs something is the one last shown,
    /// kept for want of it.
    Need need = Need::Computation;
    double number = 0;  // Number, in internal units; Color: the packed 0xRRGGBB
    CompactText text;   // String; NotComputable: what needs what it lacks

    static Value Number(double number) {
        return {Type::Number, ErrorValue::Value, Need::None, number, {}};
    }
    /// Text whose invalid UTF-8 bytes are replaced, so that none reaches a file or a report.
    static Value String(std::string_view text);
    static Value Color(uint32_t rgb) {
        return {Type::Color, ErrorValue::Value, Need::None, static_cast<double>(rgb), {}};
    }
    static Value Error(ErrorValue error) { return {Type::Error, error, Need::None, 0, {}}; }
    /// A value not known: what it needs, and the function or case that needs it ("THEMEVAL").
    static Value NotComputable(Need need = Need::Computation, std::string_view what = {}) {
        return {Type::NotComputable, ErrorValue::Value, need, 0, what};
    }

    bool IsNumber() const { return type == Type::Number; }
    bool IsKnown() const { return type != Type::NotComputable; }
    uint32_t Rgb() const { return static_cast<uint32_t>(number); }
};

/// The sheets references are resolved against; the document model implements it.
class ISheetResolver {
public:
    using Sheet = const void*;
    virtual ~ISheetResolver() = default;
    /// The sheet a selector names, seen from the formula's own sheet; null when none.
    virtual Sheet FindSheet(const SheetSelector& selector) = 0;
    /// The row of a cell on a sheet (named rows looked up by name); nullopt when the sheet has
    /// no such cell.
    virtual std::optional<int16_t> FindRow(Sheet sheet, const CellName& cell) = 0;
    /// The value of a cell the sheet has.
    virtual Value CellValue(Sheet sheet, int16_t section, int16_t row, int16_t cell) = 0;
    /// The text a shape shows, each field as it shows; nullopt for a sheet without text.
    virtual std::optional<std::string> ShapeText(Sheet sheet) {
        (void)sheet;
        return std::nullopt;
    }
    /// Moves a point from the local coordinates of a shape into the local coordinates of the
    /// formula's own sheet, or of its parent; false where either has none.
    virtual bool MovePoint(Sheet from, bool toParent, double& x, double& y) {
        (void)from, (void)toParent, (void)x, (void)y;
        return false;
    }
    /// Whether the cell being computed takes a point's y coordinate (BeginY, Geometry1.Y2).
    virtual bool TakesY() { return false; }
    /// Whether a theme applies to the formula's sheet (ISTHEMED; without one THEMEVAL gives its
    /// default); nullopt when that is not known.
    virtual std::optional<bool> Themed() { return std::nullopt; }
    /// A property of the theme that applies to the formula's sheet, or the value Visio gives it
    /// where no theme applies: "FillColor", "AccentColor2", "Embellishment"; empty for the
    /// property of the cell being computed.
    virtual Value ThemeValue(std::string_view property) {
        return Value::NotComputable(Need::Computation, property.empty() ? "THEMEVAL" : property);
    }
    /// The result of a function that reads the drawing around the formula's sheet rather than
    /// its arguments: PAGENUMBER(), PAGECOUNT(), CONTAINERSHEETREF() (an error where the shape
    /// belongs to no container).
    virtual Value DrawingFact(std::string_view function) {
        return Value::NotComputable(Need::Computation, function);
    }
};

enum class ReferenceStatus : uint8_t {
    Found,
    UnknownName,   // no sheet can have a cell of that name
    MissingSheet,  // the shape, page or document named does not exist
    MissingCell,   // the sheet exists but lacks the cell (or named row)
    Computed,      // the sheet is a function's result, known only when evaluated
};

struct ResolvedReference {
    ReferenceStatus status = ReferenceStatus::Found;
    ISheetResolver::Sheet sheet = nullptr;
    int16_t section = 0;
    int16_t row = 0;
    int16_t cell = 0;
};

/// Resolves one reference of a formula.
ResolvedReference Resolve(const Reference& reference, ISheetResolver& resolver);
/// Resolves every reference of a formula, in order of appearance.
std::vector<ResolvedReference> ResolveReferences(const Formula& formula, ISheetResolver& resolver);

/// Why a formula would be refused, where, and the error the ShapeSheet would show.
struct FormulaProblem {
    size_t position = 0;
    std::string message;
    ErrorValue error = ErrorValue::Name;
};

/// Checks a formula as Visio does before accepting it: its syntax, its function names, and that
/// every cell and sheet it names exists. nullopt when it would be accepted.
std::optional<FormulaProblem> CheckFormula(std::string_view text, ISheetResolver& resolver);
std::optional<FormulaProblem> CheckFormula(const ParseResult& parsed, ISheetResolver& resolver);

/// True for a function name the ShapeSheet knows (any case); names starting with "_" are the
/// host's own helpers and count as known.
bool IsKnownFunction(std::string_view name);
/// True for a function the evaluator computes (at least for some arguments).
bool IsComputedFunction(std::string_view name);

/// Computes a formula; the empty formula gives NotComputable.
Value Evaluate(const Formula& formula, ISheetResolver& resolver);

/// Guards recursive computation of cells: Enter fails for a cell already being computed.
/// Cells are named by any key their model finds convenient.
class CycleGuard {
public:
    bool Enter(uint64_t cell);
    void Leave(uint64_t cell);

private:
    std::vector<uint64_t> m_stack;
};

/// A value as a number (a string holding one included); nullopt for anything else.
std::optional<double> NumberOf(const Value& value);
/// A value as text, as the & operator writes it (colors as "#rrggbb").
std::string TextOf(const Value& value);

/// TINT's color: lighter (darker for a negative amount) by the amount of luminosity on the 0 to
/// 240 scale, but by no more than that percentage of the way left to white (or black).
uint32_t Tinted(uint32_t rgb, double amount);

/// A number as the ShapeSheet writes it in text: up to 15 significant digits, no trailing zeros,
/// a decimal point whatever the C locale says.
std::string FormatNumber(double number);

/// The text with every invalid UTF-8 sequence replaced by U+FFFD.
std::string RepairedUtf8(std::string_view text);

}  // namespace tess::formula
