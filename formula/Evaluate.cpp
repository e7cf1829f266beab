#include "formula/Evaluate.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

#include <utf8.h>

#include "formula/Functions.h"

namespace tess::formula {

std::string_view ErrorText(ErrorValue error) {
    switch (error) {
        case ErrorValue::Name:
            return "#NAME?";
        case ErrorValue::Ref:
            return "#REF!";
        case ErrorValue::Div0:
            return "#DIV/0!";
        case ErrorValue::Value:
            return "#VALUE!";
        case ErrorValue::Num:
            return "#NUM!";
        case ErrorValue::NA:
            return "#N/A";
    }
    return "#VALUE!";
}

std::string FormatNumber(double number) {
    if (number == 0) return "0";
    char buffer[32];
    const auto result =
        std::to_chars(std::begin(buffer), std::end(buffer), number, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

std::string RepairedUtf8(std::string_view text) {
    if (utf8::is_valid(text.begin(), text.end())) return std::string(text);
    std::string repaired;
    repaired.reserve(text.size() + 8);
    utf8::replace_invalid(text.begin(), text.end(), std::back_inserter(repaired));
    return repaired;
}

Value Value::String(std::string_view text) {
    Value value{Type::String, ErrorValue::Value, Need::None, 0, {}};
    if (utf8::is_valid(text.begin(), text.end()))
        value.text = text;
    else
        value.text = RepairedUtf8(text);
    return value;
}

ResolvedReference Resolve(const Reference& reference, ISheetResolver& resolver) {
    ResolvedReference resolved;
    if (reference.sheet.kind == SheetKind::Computed) {
        resolved.status = ReferenceStatus::Computed;
        return resolved;
    }
    if (!reference.cellText.empty() && !reference.cell) {
        resolved.status = ReferenceStatus::UnknownName;
        return resolved;
    }
    resolved.sheet = resolver.FindSheet(reference.sheet);
    if (!resolved.sheet) {
        resolved.status = ReferenceStatus::MissingSheet;
        return resolved;
    }
    if (!reference.cell) return resolved;  // a reference to the sheet itself
    const auto row = resolver.FindRow(resolved.sheet, *reference.cell);
    if (!row) {
        resolved.status = ReferenceStatus::MissingCell;
        return resolved;
    }
    resolved.section = reference.cell->section;
    resolved.row = *row;
    resolved.cell = reference.cell->cell;
    return resolved;
}

std::vector<ResolvedReference> ResolveReferences(const Formula& formula, ISheetResolver& resolver) {
    std::vector<ResolvedReference> resolved;
    resolved.reserve(formula.references.size());
    for (const Reference& reference : formula.references)
        resolved.push_back(Resolve(reference, resolver));
    return resolved;
}

namespace {

/// A sheet as a formula names it: "Sheet.30", "Rectangle", "Pages[Page-2]!Sheet.1"; empty for
/// the formula's own sheet.
std::string SheetText(const SheetSelector& sheet) {
    std::string text = sheet.collection.empty() ? "" : sheet.collection + "[" + sheet.item + "]";
    std::string own;
    switch (sheet.kind) {
        case SheetKind::Self:
        case SheetKind::Computed:
            break;
        case SheetKind::ById:
            own = "Sheet." + std::to_string(sheet.id);
            break;
        case SheetKind::ByName:
            own = sheet.name;
            break;
        case SheetKind::ThePage:
            own = "ThePage";
            break;
        case SheetKind::TheDoc:
            own = "TheDoc";
            break;
    }
    if (!text.empty() && !own.empty()) text += '!';
    return text + own;
}

}  // namespace

std::optional<FormulaProblem> CheckFormula(std::string_view text, ISheetResolver& resolver) {
    return CheckFormula(Parse(text), resolver);
}

std::optional<FormulaProblem> CheckFormula(const ParseResult& parsed, ISheetResolver& resolver) {
    if (parsed.error) {
        return FormulaProblem{parsed.error->position, parsed.error->message, ErrorValue::Name};
    }
    const Formula& formula = parsed.formula;
    for (const Node& node : formula.nodes) {
        if (node.kind == NodeKind::Call && !IsKnownFunction(formula.FunctionName(node))) {
            return FormulaProblem{
                node.position, "unknown function '" + std::string(formula.FunctionName(node)) + "'",
                ErrorValue::Name};
        }
    }
    for (const Reference& reference : formula.references) {
        const ResolvedReference resolved = Resolve(reference, resolver);
        const std::string sheet = SheetText(reference.sheet);
        const std::string cell = sheet.empty() ? std::string(reference.cellText)
                                               : sheet + "!" + std::string(reference.cellText);
        switch (resolved.status) {
            case ReferenceStatus::Found:
            case ReferenceStatus::Computed:
                break;
            case ReferenceStatus::UnknownName:
                return FormulaProblem{reference.begin, "unknown cell name '" + cell + "'",
                                      ErrorValue::Name};
            case ReferenceStatus::MissingSheet:
                return FormulaProblem{reference.begin, "no such sheet '" + sheet + "'",
                                      ErrorValue::Name};
            case ReferenceStatus::MissingCell:
                return FormulaProblem{reference.begin, "no such cell '" + cell + "'",
                                      ErrorValue::Name};
        }
    }
    return std::nullopt;
}

bool CycleGuard::Enter(uint64_t cell) {
    if (std::find(m_stack.begin(), m_stack.end(), cell) != m_stack.end()) return false;
    m_stack.push_back(cell);
    return true;
}

void CycleGuard::Leave(uint64_t cell) {
    const auto found = std::find(m_stack.rbegin(), m_stack.rend(), cell);
    if (found != m_stack.rend()) m_stack.erase(std::next(found).base());
}

// --- The evaluator -------------------------------------------------------------------------

Evaluator::Evaluator(const Formula& formula, ISheetResolver& resolver)
    : m_formula(formula), m_resolver(resolver) {}

Value Evaluator::Eval(uint32_t index) {
    const Node& node = m_formula.nodes[index];
    switch (node.kind) {
        case NodeKind::Number:
            return Value::Number(node.number);
        case NodeKind::Boolean:
            return Value::Number(node.number);
        case NodeKind::String:
            return Value::String(m_formula.strings[node.left]);
        case NodeKind::Error:
            return Value::Error(ErrorFromText(m_formula.strings[node.left]));
        case NodeKind::Missing:
            return Value::NotComputable(Need::Computation, "an argument left out");
        case NodeKind::Reference:
            return ReferenceValue(m_formula.references[node.left]);
        case NodeKind::Call:
            return CallFunction(m_formula.FunctionName(node), *this, node);
        case NodeKind::Unary:
            return UnaryValue(node);
        case NodeKind::Binary:
            return BinaryValue(node);
    }
    return Value::NotComputable();
}

Value Evaluator::Argument(const Node& call, uint32_t i) {
    if (i >= call.right) return Value::NotComputable();
    return Eval(m_formula.arguments[call.left + i]);
}

bool Evaluator::IsMissing(const Node& call, uint32_t i) const {
    return i >= call.right || m_formula.Argument(call, i).kind == NodeKind::Missing;
}

const Node& Evaluator::ArgumentNode(const Node& call, uint32_t i) const {
    return m_formula.Argument(call, i);
}

Value Evaluator::ReferenceValue(const Reference& reference) {
    const ResolvedReference resolved = Resolve(reference, m_resolver);
    switch (resolved.status) {
        case ReferenceStatus::Found:
            if (!reference.cell)
                return Value::NotComputable(Need::Computation, "a sheet as a value");
            {
                Value value = m_resolver.CellValue(resolved.sheet, resolved.section, resolved.row,
                                                   resolved.cell);
                // A value kept for want of something is, to this formula, a value.
                if (value.IsKnown()) value.need = Need::None;
                return value;
            }
        case ReferenceStatus::UnknownName:
            return Value::Error(ErrorValue::Name);
        case ReferenceStatus::MissingSheet:
        case ReferenceStatus::MissingCell:
            return Value::Error(ErrorValue::Ref);
        case ReferenceStatus::Computed: {
            // A function that names no sheet gives its error; one that names one is not computed.
            Value sheet = Eval(reference.sheet.computedBy);
            if (sheet.type == Value::Type::Error) return sheet;
            return Value::NotComputable(
                Need::Computation,
                m_formula.FunctionName(m_formula.nodes[reference.sheet.computedBy]));
        }
    }
    return Value::NotComputable();
}

Value Evaluator::UnaryValue(const Node& node) {
    Value operand = Eval(node.left);
    if (!IsOrdinary(operand)) return operand;
    const auto number = ToNumber(operand);
    if (!number) return Value::Error(ErrorValue::Value);
    return Value::Number(node.op == Operator::Negate ? -*number : *number);
}

// A chain of operators of one precedence level ("1+1+1", "a&b&c") is a left-leaning tree as deep
// as the chain is long; it is computed from its innermost operand outwards in a loop, so that
// the machine stack grows with the nesting of parentheses and precedence levels only.
Value Evaluator::BinaryValue(const Node& node) {
    // The chain's nodes go on m_chain above what enclosing chains keep there.
    const size_t base = m_chain.size();
    m_chain.push_back(&node);
    while (m_formula.nodes[m_chain.back()->left].kind == NodeKind::Binary)
        m_chain.push_back(&m_formula.nodes[m_chain.back()->left]);

    Value result = Eval(m_chain.back()->left);
    std::string text;  // the text of a run of "&" operators, built in place
    bool inText = false;
    for (size_t link = m_chain.size(); link-- > base && IsOrdinary(result);) {
        const Node& binary = *m_chain[link];
        if (binary.op != Operator::Concat && inText) {
            result = Value::String(text);
            inText = false;
        }
        Value right = Eval(binary.right);
        if (!IsOrdinary(right)) {
            result = std::move(right);
            inText = false;
            break;
        }
        if (binary.op == Operator::Concat) {
            if (!inText) text = ToText(result);
            text += ToText(right);
            inText = true;
        } else {
            result = Apply(binary.op, result, right);
        }
    }
    m_chain.resize(base);
    if (inText) result = Value::String(text);
    return result;
}

Value Evaluator::Apply(Operator op, const Value& left, const Value& right) {
    switch (op) {
        case Operator::Equal:
        case Operator::NotEqual:
        case Operator::Less:
        case Operator::Greater:
        case Operator::LessEqual:
        case Operator::GreaterEqual:
            return Compare(op, left, right);
        default:
            return Arithmetic(op, left, right);
    }
}

Value Evaluator::Arithmetic(Operator op, const Value& left, const Value& right) {
    // A color plus or minus a number stays that color: SETATREF(...,1)+RGB(...),
    // THEMEVAL("BackgroundColor")+1 (the number only makes the formula a formula of its own).
    if (left.type == Value::Type::Color || right.type == Value::Type::Color) {
        const bool additive =
            op == Operator::Add || (op == Operator::Subtract && right.type != Value::Type::Color);
        const Value& other = left.type == Value::Type::Color ? right : left;
        if (additive && other.IsNumber()) return left.type == Value::Type::Color ? left : right;
        return Value::NotComputable(Need::Computation, "arithmetic on a color");
    }
    const auto a = ToNumber(left);
    const auto b = ToNumber(right);
    if (!a || !b) return Value::Error(ErrorValue::Value);
    double result = 0;
    switch (op) {
        case Operator::Add:
            result = *a + *b;
            break;
        case Operator::Subtract:
            result = *a - *b;
            break;
        case Operator::Multiply:
            result = *a * *b;
            break;
        case Operator::Divide:
            if (*b == 0) return Value::Error(ErrorValue::Div0);
            result = *a / *b;
            break;
        case Operator::Power:
            result = std::pow(*a, *b);
            break;
        default:
            return Value::Error(ErrorValue::Value);
    }
    return Finite(result);
}

Value Evaluator::Compare(Operator op, const Value& left, const Value& right) {
    int order = 0;
    const auto a = left.type == Value::Type::String ? std::nullopt : ToNumber(left);
    const auto b = right.type == Value::Type::String ? std::nullopt : ToNumber(right);
    if (a && b) {
        order = NearlyEqual(*a, *b) ? 0 : (*a < *b ? -1 : 1);
    } else {
        order = CompareText(ToText(left), ToText(right));
    }
    bool result = false;
    switch (op) {
        case Operator::Equal:
            result = order == 0;
            break;
        case Operator::NotEqual:
            result = order != 0;
            break;
        case Operator::Less:
            result = order < 0;
            break;
        case Operator::Greater:
            result = order > 0;
            break;
        case Operator::LessEqual:
            result = order <= 0;
            break;
        case Operator::GreaterEqual:
            result = order >= 0;
            break;
        default:
            break;
    }
    return Value::Number(result ? 1 : 0);
}

bool Evaluator::IsOrdinary(const Value& value) {
    return value.type != Value::Type::Error && value.type != Value::Type::NotComputable;
}

std::optional<double> Evaluator::ToNumber(const Value& value) {
    switch (value.type) {
        case Value::Type::Number:
            return value.number;
        case Value::Type::String: {
            std::string_view text = value.text;
            while (!text.empty() && text.front() == ' ')
                text.remove_prefix(1);
            while (!text.empty() && text.back() == ' ')
                text.remove_suffix(1);
            if (text.empty()) return 0.0;
            double number = 0;
            const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
            if (result.ec != std::errc() || result.ptr != text.data() + text.size())
                return std::nullopt;
            return number;
        }
        default:
            return std::nullopt;
    }
}

std::string Evaluator::ToText(const Value& value) {
    switch (value.type) {
        case Value::Type::String:
            return value.text;
        case Value::Type::Number:
            return FormatNumber(value.number);
        case Value::Type::Color: {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "#%06x", value.Rgb());
            return buffer;
        }
        default:
            return {};
    }
}

bool Evaluator::NearlyEqual(double a, double b) {
    return std::fabs(a - b) <= 1e-12 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

char Evaluator::AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int Evaluator::CompareText(std::string_view a, std::string_view b) {
    const size_t length = std::min(a.size(), b.size());
    for (size_t i = 0; i < length; ++i) {
        const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto y = static_cast<unsigned char>(AsciiLower(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

Value Evaluator::Finite(double number) {
    return std::isfinite(number) ? Value::Number(number) : Value::Error(ErrorValue::Num);
}

ErrorValue Evaluator::ErrorFromText(std::string_view text) {
    for (ErrorValue error : {ErrorValue::Name, ErrorValue::Ref, ErrorValue::Div0, ErrorValue::Value,
                             ErrorValue::Num, ErrorValue::NA}) {
        if (ErrorText(error) == text) return error;
    }
    return ErrorValue::Value;
}

std::optional<double> NumberOf(const Value& value) {
    return Evaluator::ToNumber(value);
}

std::string TextOf(const Value& value) {
    return Evaluator::ToText(value);
}

Value Evaluate(const Formula& formula, ISheetResolver& resolver) {
    if (formula.empty) return Value::NotComputable();
    return Evaluator(formula, resolver).Eval(formula.root);
}

}  // namespace tess::formula
