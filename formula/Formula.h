#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/CellCatalogue.h"

// The parsed form of a ShapeSheet formula.
namespace tess::formula {

enum class SheetKind : uint8_t {
    Self,      // the formula's own sheet (or, with a collection, the collection item's sheet)
    ById,      // Sheet.5!
    ByName,    // Rectangle!, 'My shape'!, Rectangle.12!
    ThePage,   // ThePage!
    TheDoc,    // TheDoc!
    Computed,  // CONTAINERSHEETREF(1)!: a function's result names the sheet
};

/// Which sheet a reference names.
struct SheetSelector {
    SheetKind kind = SheetKind::Self;
    int32_t id = 0;          // ById
    std::string name;        // ByName
    std::string collection;  // "Pages", "Masters" or "Styles" for Pages[item]!...
    std::string item;
    uint32_t computedBy = 0;  // Computed: the node of the call that names the sheet
};

/// One reference to a cell (or, with an empty cell text, to a sheet itself).
struct Reference {
    SheetSelector sheet;
    std::string cellText;          // the cell part as written: "User.Name.Prompt"
    std::optional<CellName> cell;  // decoded; nullopt for a name no sheet can have
    uint32_t begin = 0;            // where the whole reference stands in the formula text
    uint32_t end = 0;
};

enum class NodeKind : uint8_t {
    Number,
    String,
    Boolean,
    Error,
    Missing,
    Reference,
    Call,
    Unary,
    Binary
};

enum class Operator : uint8_t {
    None,
    Negate,
    Plus,
    Power,
    Multiply,
    Divide,
    Add,
    Subtract,
    Concat,
    Equal,
    NotEqual,
    Less,
    Greater,
    LessEqual,
    GreaterEqual,
};

struct Node {
    NodeKind kind = NodeKind::Missing;
    Operator op = Operator::None;
    uint32_t position = 0;  // offset in the formula text
    double number = 0;      // Number in internal units (inches, radians, days); Boolean 0 or 1
    uint32_t left = 0;      // Unary/Binary operand; Reference index; String/Error text index;
                            // Call: index of its first argument in Formula::arguments
    uint32_t right = 0;     // Binary right operand; Call: argument count
    uint32_t name = 0;      // Call: index of its name in Formula::strings
    int32_t sheet = -1;     // Call: reference index of a sheet qualifier (Sheet.8!SHEETREF())
};

/// A parsed formula: nodes in an arena, the root last parsed.
struct Formula {
    std::vector<Node> nodes;
    std::vector<uint32_t> arguments;
    std::vector<std::string> strings;
    std::vector<Reference> references;
    uint32_t root = 0;
    bool empty = true;  // the empty formula (no formula at all)

    const Node& Root() const { return nodes[root]; }
    const Node& Argument(const Node& call, uint32_t i) const {
        return nodes[arguments[call.left + i]];
    }
    std::string_view FunctionName(const Node& call) const { return strings[call.name]; }
};

struct SyntaxError {
    size_t position = 0;  // offset in the formula text where the parser stopped
    std::string message;
};

struct ParseResult {
    Formula formula;
    std::optional<SyntaxError> error;
};

/// Parses a formula as Visio writes it (an optional leading "=" is allowed).
ParseResult Parse(std::string_view text);

/// The factor that turns a value in a unit as formulas write it ("in", "MM", "deg", "pt.", "DL")
/// into internal units; nullopt for a word that is no unit.
std::optional<double> UnitFactor(std::string_view unit);

}  // namespace tess::formula
