#include <charconv>
#include <cmath>
#include <numbers>

#include "formula/Formula.h"

namespace tess::formula {
namespace {

// Each level of parentheses takes two; real formulas stay far below.
constexpr int kMaxDepth = 600;

/// What a unit measures; the parts of a compound number ("1 ft 9 in") measure the same thing.
enum class Dimension : uint8_t { Length, Angle, Duration, Other };

struct Unit {
    std::string_view name;
    double factor;
    Dimension dimension;
};

constexpr double kInch = 1.0;
constexpr double kFoot = 12;
constexpr double kMile = 63360;
constexpr double kMeter = 1 / 0.0254;
constexpr double kPoint = 1.0 / 72;
constexpr double kPica = 1.0 / 6;
constexpr double kDidot = 0.376065 / 25.4;
constexpr double kCicero = 12 * kDidot;
constexpr double kDegree = std::numbers::pi / 180.0;
constexpr double kSquareInchesPerAcre = 43560.0 * 144;
constexpr double kSquareInchesPerHectare = 10000 * kMeter * kMeter;

constexpr Dimension kLength = Dimension::Length;
constexpr Dimension kAngle = Dimension::Angle;
constexpr Dimension kDuration = Dimension::Duration;

// Every spelling of Visio's units of measure, with the universal names files use ("F_I", "AD",
// "DL"). Lookups ignore case; a trailing "." is dropped first ("ft.", "in.").
constexpr Unit kUnits[] = {
    {"in", kInch, kLength},
    {"inch", kInch, kLength},
    {"inches", kInch, kLength},
    {"i", kInch, kLength},
    {"in_f", kInch, kLength},
    {"ft", kFoot, kLength},
    {"feet", kFoot, kLength},
    {"foot", kFoot, kLength},
    {"f", kFoot, kLength},
    {"f_i", kFoot, kLength},
    {"yd", 36, kLength},
    {"yard", 36, kLength},
    {"yards", 36, kLength},
    {"mi", kMile, kLength},
    {"mile", kMile, kLength},
    {"miles", kMile, kLength},
    {"mi_f", kMile, kLength},
    {"nm", 72913.3858, kLength},
    {"mm", kMeter / 1000, kLength},
    {"millimeter", kMeter / 1000, kLength},
    {"millimeters", kMeter / 1000, kLength},
    {"millimetre", kMeter / 1000, kLength},
    {"millimetres", kMeter / 1000, kLength},
    {"cm", kMeter / 100, kLength},
    {"centimeter", kMeter / 100, kLength},
    {"centimeters", kMeter / 100, kLength},
    {"centimetre", kMeter / 100, kLength},
    {"centimetres", kMeter / 100, kLength},
    {"m", kMeter, kLength},
    {"meter", kMeter, kLength},
    {"meters", kMeter, kLength},
    {"metre", kMeter, kLength},
    {"metres", kMeter, kLength},
    {"km", 1000 * kMeter, kLength},
    {"kilometer", 1000 * kMeter, kLength},
    {"kilometers", 1000 * kMeter, kLength},
    {"kilometre", 1000 * kMeter, kLength},
    {"kilometres", 1000 * kMeter, kLength},
    {"pt", kPoint, kLength},
    {"point", kPoint, kLength},
    {"points", kPoint, kLength},
    {"p", kPica, kLength},
    {"pica", kPica, kLength},
    {"picas", kPica, kLength},
    {"p_pt", kPica, kLength},
    {"d", kDidot, kLength},
    {"di", kDidot, kLength},
    {"didot", kDidot, kLength},
    {"didots", kDidot, kLength},
    {"c", kCicero, kLength},
    {"ci", kCicero, kLength},
    {"cicero", kCicero, kLength},
    {"ciceros", kCicero, kLength},
    {"c_d", kCicero, kLength},
    {"dl", 1, kLength},
    {"dp", 1, kLength},
    {"dt", 1, kLength},
    {"deg", kDegree, kAngle},
    {"degree", kDegree, kAngle},
    {"degrees", kDegree, kAngle},
    {"ad", kDegree, kAngle},
    {"am", kDegree / 60, kAngle},
    {"as", kDegree / 3600, kAngle},
    {"rad", 1, kAngle},
    {"radian", 1, kAngle},
    {"radians", 1, kAngle},
    {"da", 1, kAngle},
    {"ew", 7, kDuration},
    {"eweek", 7, kDuration},
    {"ed", 1, kDuration},
    {"eday", 1, kDuration},
    {"eh", 1.0 / 24, kDuration},
    {"ehour", 1.0 / 24, kDuration},
    {"em", 1.0 / 1440, kDuration},
    {"eminute", 1.0 / 1440, kDuration},
    {"es", 1.0 / 86400, kDuration},
    {"esecond", 1.0 / 86400, kDuration},
    {"de", 1, kDuration},
    {"date", 1, Dimension::Other},
    {"ac", kSquareInchesPerAcre, Dimension::Other},
    {"acre", kSquareInchesPerAcre, Dimension::Other},
    {"acres", kSquareInchesPerAcre, Dimension::Other},
    {"ha", kSquareInchesPerHectare, Dimension::Other},
    {"hectare", kSquareInchesPerHectare, Dimension::Other},
    {"hectares", kSquareInchesPerHectare, Dimension::Other},
};

const Unit* FindUnit(std::string_view name) {
    if (!name.empty() && name.back() == '.') name.remove_suffix(1);
    for (const Unit& unit : kUnits) {
        if (SameName(unit.name, name)) return &unit;
    }
    return nullptr;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsNameStart(char c) {
    return IsLetter(c) || c == '_' || static_cast<unsigned char>(c) >= 0x80;
}
bool IsNameChar(char c) {
    return IsNameStart(c) || IsDigit(c);
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    ParseResult Run() {
        ParseResult result;
        try {
            SkipSpaces();
            if (Peek() == '=') ++m_pos;
            SkipSpaces();
            if (!AtEnd()) {
                m_formula.root = ParseComparison();
                m_formula.empty = false;
                SkipSpaces();
                if (!AtEnd()) Fail(std::string("unexpected '") + Peek() + "'");
            }
        } catch (const SyntaxError& error) {
            result.error = error;
        }
        result.formula = std::move(m_formula);
        return result;
    }

private:
    // Lexing helpers.
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char Peek(size_t ahead = 0) const {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : '\0';
    }
    void SkipSpaces() {
        while (!AtEnd() && IsSpace(m_text[m_pos]))
            ++m_pos;
    }
    bool Accept(std::string_view token) {
        if (m_text.substr(m_pos, token.size()) != token) return false;
        m_pos += token.size();
        return true;
    }
    [[noreturn]] void Fail(std::string message) const {
        throw SyntaxError{m_pos, std::move(message)};
    }
    [[noreturn]] void FailAt(size_t position, std::string message) const {
        throw SyntaxError{position, std::move(message)};
    }

    // Building nodes.
    uint32_t Add(Node node) {
        m_formula.nodes.push_back(node);
        return static_cast<uint32_t>(m_formula.nodes.size() - 1);
    }
    uint32_t AddString(std::string text) {
        m_formula.strings.push_back(std::move(text));
        return static_cast<uint32_t>(m_formula.strings.size() - 1);
    }
    uint32_t Binary(Operator op, uint32_t left, uint32_t right, size_t position) {
        return Add({NodeKind::Binary, op, static_cast<uint32_t>(position), 0, left, right});
    }
    uint32_t Unary(Operator op, uint32_t operand, size_t position) {
        return Add({NodeKind::Unary, op, static_cast<uint32_t>(position), 0, operand});
    }

    /// Guards the recursion of nested expressions.
    struct Depth {
        explicit Depth(Parser& parser) : m_parser(parser) {
            if (++m_parser.m_depth > kMaxDepth) m_parser.Fail("the formula is nested too deeply");
        }
        ~Depth() { --m_parser.m_depth; }
        Parser& m_parser;
    };

    // Operators, loosest first.
    uint32_t ParseComparison() {
        uint32_t left = ParseConcat();
        for (;;) {
            SkipSpaces();
            const size_t at = m_pos;
            Operator op;
            if (Accept("<="))
                op = Operator::LessEqual;
            else if (Accept(">="))
                op = Operator::GreaterEqual;
            else if (Accept("<>"))
                op = Operator::NotEqual;
            else if (Accept("="))
                op = Operator::Equal;
            else if (Accept("<"))
                op = Operator::Less;
            else if (Accept(">"))
                op = Operator::Greater;
            else
                return left;
            left = Binary(op, left, ParseConcat(), at);
        }
    }

    uint32_t ParseConcat() {
        uint32_t left = ParseAdditive();
        for (;;) {
            SkipSpaces();
            const size_t at = m_pos;
            if (!Accept("&")) return left;
            left = Binary(Operator::Concat, left, ParseAdditive(), at);
        }
    }

    uint32_t ParseAdditive() {
        uint32_t left = ParseTerm();
        for (;;) {
            SkipSpaces();
            const size_t at = m_pos;
            Operator op;
            if (Accept("+"))
                op = Operator::Add;
            else if (Accept("-"))
                op = Operator::Subtract;
            else
                return left;
            left = Binary(op, left, ParseTerm(), at);
        }
    }

    uint32_t ParseTerm() {
        uint32_t left = ParseUnary();
        for (;;) {
            SkipSpaces();
            const size_t at = m_pos;
            Operator op;
            if (Accept("*"))
                op = Operator::Multiply;
            else if (Accept("/"))
                op = Operator::Divide;
            else
                return left;
            left = Binary(op, left, ParseUnary(), at);
        }
    }

    // Unary minus binds less tightly than "^": -2^2 is -(2^2).
    uint32_t ParseUnary() {
        Depth depth(*this);
        SkipSpaces();
        const size_t at = m_pos;
        if (Accept("-")) return Unary(Operator::Negate, ParseUnary(), at);
        if (Accept("+")) return Unary(Operator::Plus, ParseUnary(), at);
        return ParsePower();
    }

    uint32_t ParsePower() {
        uint32_t base = ParsePrimary();
        for (;;) {
            SkipSpaces();
            const size_t at = m_pos;
            if (!Accept("^")) return base;
            base = Binary(Operator::Power, base, ParseExponent(), at);
        }
    }

    // The exponent may carry signs of its own: 2^-1.
    uint32_t ParseExponent() {
        Depth depth(*this);
        SkipSpaces();
        const size_t at = m_pos;
        if (Accept("-")) return Unary(Operator::Negate, ParseExponent(), at);
        if (Accept("+")) return Unary(Operator::Plus, ParseExponent(), at);
        return ParsePrimary();
    }

    uint32_t ParsePrimary() {
        Depth depth(*this);
        SkipSpaces();
        if (AtEnd()) Fail("an operand is missing");
        const char c = Peek();
        if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) return ParseNumber();
        if (c == '"') return ParseString();
        if (c == '#') return ParseErrorLiteral();
        if (c == '{') return ParseGuid();
        if (c == '(') {
            const size_t open = m_pos++;
            const uint32_t inner = ParseComparison();
            SkipSpaces();
            if (!Accept(")")) FailAt(open, "a parenthesis is not closed");
            return inner;
        }
        if (c == '\'')
            return ParseQualified(SheetSelector{SheetKind::ByName, 0, ParseQuotedName()}, m_pos);
        if (IsNameStart(c)) return ParseName();
        Fail(std::string("unexpected '") + c + "'");
    }

    uint32_t ParseNumber() {
        const size_t start = m_pos;
        double value = ReadNumber();
        if (const auto unit = ParseUnitSuffix(Dimension::Other)) {
            value *= unit->factor;
            if (unit->dimension != Dimension::Other) value += ParseCompoundRest(*unit);
        } else if (const auto fraction = ParseFractionWithUnit()) {
            value = (value + fraction->first) * fraction->second;
        }
        if (!std::isfinite(value)) FailAt(start, "the number is too large");
        return Add({NodeKind::Number, Operator::None, static_cast<uint32_t>(start), value});
    }

    double ReadNumber() {
        const size_t start = m_pos;
        double value = 0;
        const auto result =
            std::from_chars(m_text.data() + m_pos, m_text.data() + m_text.size(), value);
        if (result.ec != std::errc() && result.ec != std::errc::result_out_of_range)
            Fail("malformed number");
        m_pos = static_cast<size_t>(result.ptr - m_text.data());
        if (!std::isfinite(value)) FailAt(start, "the number is too large");
        return value;
    }

    bool AtNumber() const { return IsDigit(Peek()) || (Peek() == '.' && IsDigit(Peek(1))); }

    /// The further parts of a compound number after its first unit, in internal units: "9 in"
    /// of "1 ft 9 in", "30' 36"" of "45deg 30' 36"", the points of "2p6" and the didots of
    /// "1c6". Each part measures what the first does; anything else is left for the caller.
    double ParseCompoundRest(Unit first) {
        double rest = 0;
        if (AtNumber() && (first.factor == kPica || first.factor == kCicero)) {
            rest += ReadNumber() * (first.factor == kPica ? kPoint : kDidot);
        }
        for (;;) {
            const size_t before = m_pos;
            SkipSpaces();
            if (!AtNumber()) {
                m_pos = before;
                return rest;
            }
            const double part = ReadNumber();
            const auto unit = ParseUnitSuffix(first.dimension);
            if (!unit || unit->dimension != first.dimension) {
                m_pos = before;
                return rest;
            }
            rest += part * unit->factor;
        }
    }

    /// The fraction and unit of "1 1/2 in": the fraction's value and the unit's factor.
    std::optional<std::pair<double, double>> ParseFractionWithUnit() {
        const size_t before = m_pos;
        SkipSpaces();
        if (IsDigit(Peek())) {
            const double numerator = ReadNumber();
            if (Accept("/") && IsDigit(Peek())) {
                const double denominator = ReadNumber();
                const auto unit = ParseUnitSuffix(Dimension::Other);
                if (unit && denominator != 0)
                    return std::pair(numerator / denominator, unit->factor);
            }
        }
        m_pos = before;
        return std::nullopt;
    }

    /// The unit after a number: "2 in", "2IN", "5 mm.", "90 deg", "50%", "5[in,D]", "2 DL",
    /// "90°". The marks ' and " are minutes and seconds after an angle, feet and inches
    /// otherwise. Nothing is consumed when no unit follows.
    std::optional<Unit> ParseUnitSuffix(Dimension context) {
        const size_t start = m_pos;
        SkipSpaces();
        if (Accept("%")) return Unit{"%", 0.01, Dimension::Other};
        if (Accept("\xC2\xB0")) return Unit{"deg", kDegree, kAngle};  // the degree sign
        if (Accept("'"))
            return context == kAngle ? Unit{"'", kDegree / 60, kAngle} : Unit{"'", kFoot, kLength};
        if (Accept("\"")) {
            return context == kAngle ? Unit{"\"", kDegree / 3600, kAngle}
                                     : Unit{"\"", kInch, kLength};
        }
        if (Peek() == '[') {
            const size_t close = m_text.find(']', m_pos);
            if (close == std::string_view::npos) Fail("a unit in brackets is not closed");
            std::string_view inside = m_text.substr(m_pos + 1, close - m_pos - 1);
            inside = inside.substr(0, inside.find(','));
            while (!inside.empty() && IsSpace(inside.back()))
                inside.remove_suffix(1);
            while (!inside.empty() && IsSpace(inside.front()))
                inside.remove_prefix(1);
            const Unit* unit = FindUnit(inside);
            if (!unit) Fail("unknown unit '" + std::string(inside) + "'");
            m_pos = close + 1;
            return *unit;
        }
        size_t end = m_pos;
        while (end < m_text.size() && (IsLetter(m_text[end]) || m_text[end] == '_'))
            ++end;
        if (end > m_pos && !(end < m_text.size() && (IsNameStart(m_text[end]) ||
                                                     m_text[end] == '(' || m_text[end] == '!'))) {
            if (const Unit* unit = FindUnit(m_text.substr(m_pos, end - m_pos))) {
                m_pos = end;
                if (Peek() == '.' && !IsNameStart(Peek(1)) && !IsDigit(Peek(1))) ++m_pos;  // "in."
                return *unit;
            }
        }
        m_pos = start;
        return std::nullopt;
    }

    uint32_t ParseString() {
        const size_t start = m_pos++;
        std::string text;
        for (;;) {
            if (AtEnd()) FailAt(start, "a string is not closed");
            const char c = m_text[m_pos++];
            if (c == '"') {
                if (Peek() != '"') break;
                ++m_pos;
            }
            text += c;
        }
        return Add({NodeKind::String, Operator::None, static_cast<uint32_t>(start), 0,
                    AddString(std::move(text))});
    }

    uint32_t ParseErrorLiteral() {
        static constexpr std::string_view kErrors[] = {"#DIV/0!", "#NAME?", "#REF!",  "#VALUE!",
                                                       "#N/A",    "#NUM!",  "#NULL!", "#DIM!"};
        const size_t start = m_pos;
        for (std::string_view error : kErrors) {
            if (Accept(error)) {
                return Add({NodeKind::Error, Operator::None, static_cast<uint32_t>(start), 0,
                            AddString(std::string(error))});
            }
        }
        Fail("unexpected '#'");
    }

    /// A GUID in braces, as USE() names a stencil's master: {0F407BE3-C0DE-4B2C-9F1A-...}. Its
    /// value is its text.
    uint32_t ParseGuid() {
        static constexpr std::string_view kShape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
        const size_t start = m_pos;
        const std::string_view text = m_text.substr(m_pos, kShape.size());
        bool valid = text.size() == kShape.size();
        for (size_t i = 0; valid && i < kShape.size(); ++i)
            valid = kShape[i] == 'X' ? IsHexDigit(text[i]) : text[i] == kShape[i];
        if (!valid) FailAt(start, "malformed GUID");
        m_pos += kShape.size();
        return Add({NodeKind::String, Operator::None, static_cast<uint32_t>(start), 0,
                    AddString(std::string(text))});
    }

    std::string ParseQuotedName() {
        const size_t start = m_pos++;
        std::string name;
        for (;;) {
            if (AtEnd()) FailAt(start, "a quoted name is not closed");
            const char c = m_text[m_pos++];
            if (c == '\'') {
                if (Peek() != '\'') break;
                ++m_pos;
            }
            name += c;
        }
        if (Peek() != '!') Fail("a quoted name must be followed by '!'");
        return name;
    }

    /// Letters, digits and "_" in segments joined by ".": Width, Sheet.5, Prop.Cost.Label.
    std::string_view ReadNamePath() {
        const size_t start = m_pos;
        while (!AtEnd() && IsNameChar(Peek()))
            ++m_pos;
        while (Peek() == '.' && IsNameChar(Peek(1))) {
            ++m_pos;
            while (!AtEnd() && IsNameChar(Peek()))
                ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }

    static bool IsCollection(std::string_view name) {
        return SameName(name, "Pages") || SameName(name, "Masters") || SameName(name, "Styles");
    }

    static SheetSelector SelectorFromName(std::string_view name) {
        if (SameName(name, "ThePage")) return {SheetKind::ThePage};
        if (SameName(name, "TheDoc")) return {SheetKind::TheDoc};
        if (name.size() > 6 && SameName(name.substr(0, 6), "Sheet.")) {
            int32_t id = 0;
            const auto digits = name.substr(6);
            const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), id);
            if (result.ec == std::errc() && result.ptr == digits.data() + digits.size()) {
                return {SheetKind::ById, id};
            }
        }
        return {SheetKind::ByName, 0, std::string(name)};
    }

    uint32_t ParseName() {
        const size_t start = m_pos;
        const std::string_view path = ReadNamePath();
        if (Peek() == '[' && IsCollection(path)) {
            const size_t close = m_text.find(']', m_pos);
            if (close == std::string_view::npos) Fail("a bracket is not closed");
            SheetSelector selector;
            selector.collection = path;
            selector.item = m_text.substr(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
            if (Peek() != '!') Fail("expected '!'");
            return ParseQualified(std::move(selector), start);
        }
        if (Peek() == '!') return ParseQualified(SelectorFromName(path), start);
        const size_t afterName = m_pos;
        SkipSpaces();
        if (Peek() == '(' && path.find('.') == std::string_view::npos)
            return ParseCall(path, start, -1);
        m_pos = afterName;
        if (SameName(path, "TRUE") || SameName(path, "FALSE")) {
            return Add({NodeKind::Boolean, Operator::None, static_cast<uint32_t>(start),
                        SameName(path, "TRUE") ? 1.0 : 0.0});
        }
        m_pos = start;
        return AddReference(SheetSelector{}, start);
    }

    /// What follows "sheet!": a cell, a function of that sheet, or a sheet within a collection
    /// item.
    uint32_t ParseQualified(SheetSelector selector, size_t start) {
        ++m_pos;  // "!"
        const size_t nameStart = m_pos;
        if (!IsNameStart(Peek())) Fail("expected a cell name after '!'");
        const std::string_view path = ReadNamePath();
        if (Peek() == '!') {
            if (selector.collection.empty() || selector.kind != SheetKind::Self)
                Fail("unexpected '!'");
            SheetSelector inner = SelectorFromName(path);
            inner.collection = std::move(selector.collection);
            inner.item = std::move(selector.item);
            return ParseQualified(std::move(inner), start);
        }
        if (Peek() == '(' && path.find('.') == std::string_view::npos) {
            const auto sheetReference = static_cast<int32_t>(m_formula.references.size());
            m_formula.references.push_back({std::move(selector),
                                            {},
                                            std::nullopt,
                                            static_cast<uint32_t>(start),
                                            static_cast<uint32_t>(nameStart)});
            return ParseCall(path, nameStart, sheetReference);
        }
        m_pos = nameStart;
        return AddReference(std::move(selector), start);
    }

    /// A reference to a cell, whose name starts at the current position.
    uint32_t AddReference(SheetSelector selector, size_t start) {
        const size_t nameStart = m_pos;
        ReadNamePath();
        if (Peek() == '[') {
            const size_t close = m_text.find(']', m_pos);
            if (close == std::string_view::npos) Fail("a bracket is not closed");
            m_pos = close + 1;
        }
        Reference reference;
        reference.sheet = std::move(selector);
        reference.cellText = m_text.substr(nameStart, m_pos - nameStart);
        reference.cell = DecodeCellName(reference.cellText);
        reference.begin = static_cast<uint32_t>(start);
        reference.end = static_cast<uint32_t>(m_pos);
        m_formula.references.push_back(std::move(reference));
        const auto index = static_cast<uint32_t>(m_formula.references.size() - 1);
        return Add({NodeKind::Reference, Operator::None, static_cast<uint32_t>(start), 0, index});
    }

    uint32_t ParseCall(std::string_view name, size_t start, int32_t sheetReference) {
        const uint32_t nameIndex = AddString(std::string(name));
        const size_t open = m_pos++;  // "("
        std::vector<uint32_t> arguments;
        SkipSpaces();
        if (!Accept(")")) {
            for (;;) {
                SkipSpaces();
                if (Peek() == ',' || Peek() == ')') {
                    arguments.push_back(
                        Add({NodeKind::Missing, Operator::None, static_cast<uint32_t>(m_pos)}));
                } else {
                    arguments.push_back(ParseComparison());
                }
                SkipSpaces();
                if (Accept(")")) break;
                if (AtEnd()) FailAt(open, "a parenthesis is not closed");
                if (!Accept(",")) Fail(std::string("unexpected '") + Peek() + "'");
            }
        }
        Node call{NodeKind::Call, Operator::None, static_cast<uint32_t>(start)};
        call.left = static_cast<uint32_t>(m_formula.arguments.size());
        call.right = static_cast<uint32_t>(arguments.size());
        call.name = nameIndex;
        call.sheet = sheetReference;
        m_formula.arguments.insert(m_formula.arguments.end(), arguments.begin(), arguments.end());
        const uint32_t node = Add(call);
        if (Peek() == '!') {
            SheetSelector computed{SheetKind::Computed};
            computed.computedBy = node;
            return ParseQualified(std::move(computed), start);
        }
        return node;
    }

    std::string_view m_text;
    size_t m_pos = 0;
    int m_depth = 0;
    Formula m_formula;
};

}  // namespace

std::optional<double> UnitFactor(std::string_view unit) {
    const Unit* found = FindUnit(unit);
    return found ? std::optional(found->factor) : std::nullopt;
}

ParseResult Parse(std::string_view text) {
    return Parser(text).Run();
}

}  // namespace tess::formula
