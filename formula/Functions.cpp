#include "formula/Functions.h"

#include <utf8.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <vector>

namespace tess::formula {
namespace {

constexpr double kPi = std::numbers::pi;

/// One call being computed: its arguments, fetched as the function needs them.
class Call {
public:
    Call(Evaluator& evaluator, const Node& node) : m_evaluator(evaluator), m_node(node) {}

    uint32_t Count() const { return m_node.right; }
    bool Missing(uint32_t i) const { return m_evaluator.IsMissing(m_node, i); }
    Value Get(uint32_t i) { return m_evaluator.Argument(m_node, i); }
    const Node& ArgumentNode(uint32_t i) const { return m_evaluator.ArgumentNode(m_node, i); }

    /// Argument i as a number; false, with failure set to what the call returns, otherwise.
    bool Number(uint32_t i, double& out) {
        const Value value = Get(i);
        if (!Evaluator::IsOrdinary(value)) return Fail(value);
        const auto number = Evaluator::ToNumber(value);
        if (!number) return Fail(Value::Error(ErrorValue::Value));
        out = *number;
        return true;
    }
    bool OptionalNumber(uint32_t i, double& out, double fallback) {
        if (Missing(i)) {
            out = fallback;
            return true;
        }
        return Number(i, out);
    }
    /// Argument i as text, valid UTF-8 whatever the value held.
    bool Text(uint32_t i, std::string& out) {
        const Value value = Get(i);
        if (!Evaluator::IsOrdinary(value)) return Fail(value);
        out = Evaluator::ToText(value);
        if (!utf8::is_valid(out.begin(), out.end())) out = RepairedUtf8(out);
        return true;
    }
    bool OptionalText(uint32_t i, std::string& out, std::string fallback) {
        if (Missing(i)) {
            out = std::move(fallback);
            return true;
        }
        return Text(i, out);
    }
    bool Truth(uint32_t i, bool& out) {
        double number = 0;
        if (!Number(i, number)) return false;
        out = number != 0;
        return true;
    }
    bool OptionalTruth(uint32_t i, bool& out) {
        if (Missing(i)) {
            out = false;
            return true;
        }
        return Truth(i, out);
    }
    /// A color: RGB and HSL results, or one of the first palette entries by index.
    bool Rgb(uint32_t i, uint32_t& out) {
        static constexpr uint32_t kPalette[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                                0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};
        const Value value = Get(i);
        if (!Evaluator::IsOrdinary(value)) return Fail(value);
        if (value.type == Value::Type::Color) {
            out = value.Rgb();
            return true;
        }
        const auto index = Evaluator::ToNumber(value);
        if (!index || !(*index >= 0 && *index < std::size(kPalette))) {
            return Fail(Value::NotComputable(Need::Computation, "a color by its index"));
        }
        out = kPalette[static_cast<size_t>(*index)];
        return true;
    }
    /// The sheet argument i names when it is a reference to a cell or a sheet; null otherwise.
    ISheetResolver::Sheet SheetOf(uint32_t i) {
        if (Missing(i) || ArgumentNode(i).kind != NodeKind::Reference) return nullptr;
        const Reference& reference = m_evaluator.TheFormula().references[ArgumentNode(i).left];
        const ResolvedReference resolved = Resolve(reference, m_evaluator.Resolver());
        return resolved.status == ReferenceStatus::Found ? resolved.sheet : nullptr;
    }
    ISheetResolver& Resolver() { return m_evaluator.Resolver(); }
    std::string_view NameOf(const Node& call) const {
        return m_evaluator.TheFormula().FunctionName(call);
    }
    std::string_view Name() const { return NameOf(m_node); }
    /// A call of a function that is an argument of this one, with its arguments.
    Call Inner(const Node& call) { return Call(m_evaluator, call); }

    bool Arity(uint32_t least, uint32_t most) {
        if (Count() >= least && Count() <= most) return true;
        return Fail(Value::Error(ErrorValue::Value));
    }

    Value failure;

private:
    bool Fail(Value value) {
        failure = std::move(value);
        return false;
    }

    Evaluator& m_evaluator;
    const Node& m_node;
};

using Handler = Value (*)(Call&);

Value Number(double value) {
    return Evaluator::Finite(value);
}

/// A count or position written as a number, limited to what a string can hold; false when the
/// number is not finite.
bool Whole(double value, size_t& out) {
    if (!std::isfinite(value)) return false;
    out = static_cast<size_t>(std::clamp(std::trunc(value), 0.0, 1e9));
    return true;
}

/// A 32-bit integer for the bitwise functions; false when the number does not fit.
bool Int32(double value, int32_t& out) {
    const double whole = std::trunc(value);
    if (!(whole >= -2147483648.0 && whole <= 4294967295.0)) return false;
    out = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(whole)));
    return true;
}
Value Bool(bool value) {
    return Value::Number(value ? 1 : 0);
}

template <double (*F)(double)>
Value Math1(Call& c) {
    double x = 0;
    if (!c.Arity(1, 1) || !c.Number(0, x)) return c.failure;
    return Number(F(x));
}

double Sign(double x) {
    return x > 0 ? 1 : (x < 0 ? -1 : 0);
}

// --- Logic ---

Value If(Call& c) {
    bool condition = false;
    if (!c.Arity(2, 3) || !c.Truth(0, condition)) return c.failure;
    if (condition) return c.Get(1);
    return c.Missing(2) ? Bool(false) : c.Get(2);
}

/// AND (all true) and OR (any true): a known deciding argument wins over unknown ones.
template <bool kAny>
Value Logical(Call& c) {
    std::optional<Value> unknown;
    for (uint32_t i = 0; i < c.Count(); ++i) {
        bool value = false;
        if (!c.Truth(i, value)) {
            if (c.failure.type == Value::Type::Error) return c.failure;
            if (!unknown) unknown = c.failure;
            continue;
        }
        if (value == kAny) return Bool(kAny);
    }
    return unknown ? *unknown : Bool(!kAny);
}

Value Not(Call& c) {
    bool value = false;
    if (!c.Arity(1, 1) || !c.Truth(0, value)) return c.failure;
    return Bool(!value);
}

Value First(Call& c) {
    if (c.Count() < 1) return Value::Error(ErrorValue::Value);
    return c.Get(0);
}

Value Zero(Call&) {
    return Value::Number(0);
}
Value True(Call&) {
    return Bool(true);
}
Value False(Call&) {
    return Bool(false);
}
Value Pi(Call&) {
    return Value::Number(kPi);
}
Value NotAvailable(Call&) {
    return Value::Error(ErrorValue::NA);
}

/// The value of ARG in the cell that defines a function: its default, else nothing.
Value Argument(Call& c) {
    if (!c.Arity(1, 2)) return c.failure;
    return c.Missing(1) ? Value::Number(0) : c.Get(1);
}

/// DEPENDSON only makes its arguments' cells recalculate this one: 0, or their first error.
Value DependsOn(Call& c) {
    for (uint32_t i = 0; i < c.Count(); ++i) {
        const Value value = c.Get(i);
        if (value.type == Value::Type::Error) return value;
    }
    return Value::Number(0);
}

Value NoReference(Call&) {
    return Value::Error(ErrorValue::Ref);
}

Value DrawingFact(Call& c) {
    return c.Resolver().DrawingFact(c.Name());
}

/// The format picture of a field format code: "esc(0)" for none, "{<code>}" otherwise.
Value FieldPicture(Call& c) {
    double code = 0;
    if (!c.Arity(1, 1) || !c.Number(0, code)) return c.failure;
    if (code == 0) return Value::String("esc(0)");
    return Value::String("{<" + FormatNumber(std::trunc(code)) + ">}");
}

Value SetAtRef(Call& c) {
    bool ignore = false;
    if (!c.Arity(1, 3) || !c.OptionalTruth(2, ignore)) return c.failure;
    return ignore ? Value::Number(0) : c.Get(0);
}

Value SetAtRefExpr(Call& c) {
    return c.Missing(0) ? Value::NotComputable() : c.Get(0);
}

// --- Errors ---

template <bool (*Test)(ErrorValue)>
Value IsErrorOf(Call& c) {
    if (!c.Arity(1, 1)) return c.failure;
    const Value value = c.Get(0);
    if (value.type == Value::Type::NotComputable) return value;
    return Bool(value.type == Value::Type::Error && Test(value.error));
}
bool AnyError(ErrorValue) {
    return true;
}
bool NotNA(ErrorValue error) {
    return error != ErrorValue::NA;
}
bool IsNA(ErrorValue error) {
    return error == ErrorValue::NA;
}
bool IsValueError(ErrorValue error) {
    return error == ErrorValue::Value;
}

Value IfError(Call& c) {
    if (!c.Arity(2, 2)) return c.failure;
    const Value value = c.Get(0);
    return value.type == Value::Type::Error ? c.Get(1) : value;
}

// --- Numbers ---

Value Aggregate(Call& c, double start, double (*combine)(double, double)) {
    if (c.Count() == 0) return Value::Error(ErrorValue::Value);
    double result = start;
    for (uint32_t i = 0; i < c.Count(); ++i) {
        double x = 0;
        if (!c.Number(i, x)) return c.failure;
        result = i == 0 && start != 0 ? x : combine(result, x);
    }
    return Number(result);
}
Value Sum(Call& c) {
    return Aggregate(c, 0, [](double a, double b) { return a + b; });
}
Value Min(Call& c) {
    return Aggregate(c, HUGE_VAL, [](double a, double b) { return std::min(a, b); });
}
Value Max(Call& c) {
    return Aggregate(c, -HUGE_VAL, [](double a, double b) { return std::max(a, b); });
}

Value Round(Call& c) {
    double x = 0, digits = 0;
    if (!c.Arity(1, 2) || !c.Number(0, x) || !c.OptionalNumber(1, digits, 0)) return c.failure;
    const double scale = std::pow(10.0, std::trunc(digits));
    return Number(std::round(x * scale) / scale);
}

Value Trunc(Call& c) {
    double x = 0, digits = 0;
    if (!c.Arity(1, 2) || !c.Number(0, x) || !c.OptionalNumber(1, digits, 0)) return c.failure;
    const double scale = std::pow(10.0, std::trunc(digits));
    return Number(std::trunc(x * scale) / scale);
}

/// CEILING rounds away from zero and FLOOR toward it, to a multiple of the same sign.
template <bool kAway>
Value RoundToMultiple(Call& c) {
    double x = 0, multiple = 1;
    if (!c.Arity(1, 2) || !c.Number(0, x) || !c.OptionalNumber(1, multiple, x < 0 ? -1 : 1))
        return c.failure;
    if (x == 0 || multiple == 0) return Value::Number(0);
    if (Sign(x) != Sign(multiple)) return Value::Error(ErrorValue::Num);
    const double steps = std::fabs(x / multiple);
    const double nearest = std::round(steps);
    const double whole = std::fabs(steps - nearest) < 1e-9
                             ? nearest
                             : (kAway ? std::ceil(steps) : std::floor(steps));
    return Number(whole * multiple);
}

Value Modulus(Call& c) {
    double x = 0, divisor = 0;
    if (!c.Arity(2, 2) || !c.Number(0, x) || !c.Number(1, divisor)) return c.failure;
    if (divisor == 0) return Value::Error(ErrorValue::Div0);
    double result = std::fmod(x, divisor);
    if (result != 0 && Sign(result) != Sign(divisor)) result += divisor;
    return Number(result);
}

Value Sqrt(Call& c) {
    double x = 0;
    if (!c.Arity(1, 1) || !c.Number(0, x)) return c.failure;
    if (x < 0) return Value::Error(ErrorValue::Num);
    return Number(std::sqrt(x));
}

Value Logarithm(Call& c, double (*f)(double)) {
    double x = 0;
    if (!c.Arity(1, 1) || !c.Number(0, x)) return c.failure;
    if (x <= 0) return Value::Error(ErrorValue::Num);
    return Number(f(x));
}
Value Ln(Call& c) {
    return Logarithm(c, [](double x) { return std::log(x); });
}
Value Log10(Call& c) {
    return Logarithm(c, [](double x) { return std::log10(x); });
}

Value Pow(Call& c) {
    double x = 0, y = 0;
    if (!c.Arity(2, 2) || !c.Number(0, x) || !c.Number(1, y)) return c.failure;
    return Number(std::pow(x, y));
}

Value Atan2(Call& c) {
    double y = 0, x = 0;
    if (!c.Arity(2, 2) || !c.Number(0, y) || !c.Number(1, x)) return c.failure;
    if (x == 0 && y == 0) return Value::Error(ErrorValue::Div0);
    return Number(std::atan2(y, x));
}

Value InverseTrig(Call& c, double (*f)(double)) {
    double x = 0;
    if (!c.Arity(1, 1) || !c.Number(0, x)) return c.failure;
    if (x < -1 || x > 1) return Value::Error(ErrorValue::Num);
    return Number(f(x));
}
Value Asin(Call& c) {
    return InverseTrig(c, [](double x) { return std::asin(x); });
}
Value Acos(Call& c) {
    return InverseTrig(c, [](double x) { return std::acos(x); });
}

Value SignOf(Call& c) {
    double x = 0, fuzz = 0;
    if (!c.Arity(1, 2) || !c.Number(0, x) || !c.OptionalNumber(1, fuzz, 0)) return c.failure;
    return Value::Number(std::fabs(x) <= std::fabs(fuzz) ? 0 : Sign(x));
}

/// GRAVITY turns text upright: half a turn while the angle lies between the limits (90 and 270
/// degrees unless given), all taken round to one turn.
Value Gravity(Call& c) {
    double angle = 0, low = kPi / 2, high = 3 * kPi / 2;
    if (!c.Arity(1, 3) || !c.Number(0, angle) || !c.OptionalNumber(1, low, kPi / 2) ||
        !c.OptionalNumber(2, high, 3 * kPi / 2)) {
        return c.failure;
    }
    const auto turn = [](double x) {
        const double result = std::fmod(x, 2 * kPi);
        return result < 0 ? result + 2 * kPi : result;
    };
    angle = turn(angle), low = turn(low), high = turn(high);
    if (low > high) std::swap(low, high);
    return Value::Number(angle > low && angle < high ? kPi : 0);
}

Value Ang360(Call& c) {
    double x = 0;
    if (!c.Arity(1, 1) || !c.Number(0, x)) return c.failure;
    double result = std::fmod(x, 2 * kPi);
    if (result < 0) result += 2 * kPi;
    return Number(result);
}

/// The bitwise functions work on 32-bit integers.
template <int32_t (*F)(int32_t, int32_t)>
Value Bits(Call& c) {
    double a = 0, b = 0;
    if (!c.Arity(2, 2) || !c.Number(0, a) || !c.Number(1, b)) return c.failure;
    int32_t x = 0, y = 0;
    if (!Int32(a, x) || !Int32(b, y)) return Value::Error(ErrorValue::Num);
    return Value::Number(F(x, y));
}
int32_t And(int32_t a, int32_t b) {
    return a & b;
}
int32_t Or(int32_t a, int32_t b) {
    return a | b;
}
int32_t Xor(int32_t a, int32_t b) {
    return a ^ b;
}

Value BitNot(Call& c) {
    double a = 0;
    if (!c.Arity(1, 1) || !c.Number(0, a)) return c.failure;
    int32_t x = 0;
    if (!Int32(a, x)) return Value::Error(ErrorValue::Num);
    return Value::Number(~x);
}

/// BOUND(value, type, ignore, low, high, [ignore, low, high]...): type 0 keeps the value inside
/// the ranges, 1 outside them, 2 leaves it alone; the nearest bound wins.
Value Bound(Call& c) {
    if (c.Count() < 5 || (c.Count() - 2) % 3 != 0) return Value::Error(ErrorValue::Value);
    double value = 0, type = 0;
    if (!c.Number(0, value) || !c.Number(1, type)) return c.failure;
    if (type == 2) return Value::Number(value);
    bool inside = false;
    double nearest = value, distance = HUGE_VAL;
    for (uint32_t i = 2; i + 2 < c.Count(); i += 3) {
        bool ignore = false;
        double low = 0, high = 0;
        if (!c.Truth(i, ignore) || !c.Number(i + 1, low) || !c.Number(i + 2, high))
            return c.failure;
        if (ignore) continue;
        if (low > high) std::swap(low, high);
        if (value >= low && value <= high) inside = true;
        for (double bound : {low, high}) {
            if (std::fabs(bound - value) < distance) {
                distance = std::fabs(bound - value);
                nearest = bound;
            }
        }
    }
    if (distance == HUGE_VAL) return Value::Number(value);
    const bool keep = type == 0 ? inside : !inside;
    return Value::Number(keep ? value : nearest);
}

// --- Text ---

std::vector<std::string_view> SplitList(std::string_view list, std::string_view delimiter) {
    std::vector<std::string_view> items;
    if (delimiter.empty()) {
        items.push_back(list);
        return items;
    }
    size_t start = 0;
    for (size_t found; (found = list.find(delimiter, start)) != std::string_view::npos;
         start = found + delimiter.size()) {
        items.push_back(list.substr(start, found - start));
    }
    items.push_back(list.substr(start));
    return items;
}

Value Index(Call& c) {
    double index = 0;
    std::string list, delimiter;
    if (!c.Arity(2, 4) || !c.Number(0, index) || !c.Text(1, list) ||
        !c.OptionalText(2, delimiter, ";")) {
        return c.failure;
    }
    if (delimiter.empty()) delimiter.assign(1, ';');
    const auto items = SplitList(list, delimiter);
    const double whole = std::trunc(index);
    if (!(whole >= 0 && whole < static_cast<double>(items.size()))) {
        return c.Missing(3) ? Value::String("") : c.Get(3);
    }
    return Value::String(std::string(items[static_cast<size_t>(whole)]));
}

Value Lookup(Call& c) {
    std::string key, list, delimiter;
    if (!c.Arity(2, 3) || !c.Text(0, key) || !c.Text(1, list) ||
        !c.OptionalText(2, delimiter, ";")) {
        return c.failure;
    }
    if (delimiter.empty()) delimiter = ";";
    if (key.find(delimiter) != std::string::npos) return Value::Number(-1);
    const auto items = SplitList(list, delimiter);
    for (size_t i = 0; i < items.size(); ++i) {
        if (Evaluator::CompareText(items[i], key) == 0)
            return Value::Number(static_cast<double>(i));
    }
    return Value::Number(-1);
}

// Text functions count characters, not bytes; their text is valid UTF-8 (Call::Text).

size_t CharacterCount(std::string_view text) {
    return static_cast<size_t>(utf8::unchecked::distance(text.begin(), text.end()));
}

/// Where the character after the first `characters` ones starts (the end when there are fewer).
size_t ByteOffset(std::string_view text, size_t characters) {
    auto at = text.begin();
    for (size_t i = 0; i < characters && at != text.end(); ++i)
        utf8::unchecked::next(at);
    return static_cast<size_t>(at - text.begin());
}

/// The characters from index `from` on, at most `count` of them.
std::string Characters(std::string_view text, size_t from, size_t count) {
    const std::string_view rest = text.substr(ByteOffset(text, from));
    return std::string(rest.substr(0, ByteOffset(rest, count)));
}

Value Len(Call& c) {
    std::string text;
    if (!c.Arity(1, 1) || !c.Text(0, text)) return c.failure;
    return Value::Number(static_cast<double>(CharacterCount(text)));
}

/// Case changes touch ASCII letters only, so that the C locale cannot break a UTF-8 sequence.
std::string Lowered(std::string text) {
    for (char& ch : text)
        ch = Evaluator::AsciiLower(ch);
    return text;
}

Value Find(Call& c) {
    std::string needle, haystack;
    double start = 1;
    bool ignoreCase = false;
    if (!c.Arity(2, 4) || !c.Text(0, needle) || !c.Text(1, haystack) ||
        !c.OptionalNumber(2, start, 1) || !c.OptionalTruth(3, ignoreCase)) {
        return c.failure;
    }
    if (!(start >= 1 && start <= static_cast<double>(CharacterCount(haystack)))) {
        return Value::Error(ErrorValue::Value);
    }
    if (ignoreCase) {
        needle = Lowered(needle);
        haystack = Lowered(haystack);
    }
    const size_t found =
        haystack.find(needle, ByteOffset(haystack, static_cast<size_t>(start) - 1));
    if (found == std::string::npos) return Value::Error(ErrorValue::Value);
    return Value::Number(static_cast<double>(CharacterCount(haystack.substr(0, found)) + 1));
}

Value StrSame(Call& c) {
    std::string a, b;
    bool ignoreCase = false;
    if (!c.Arity(2, 3) || !c.Text(0, a) || !c.Text(1, b) || !c.OptionalTruth(2, ignoreCase))
        return c.failure;
    return Bool(ignoreCase ? Evaluator::CompareText(a, b) == 0 : a == b);
}

template <bool kUpper>
Value ChangeCase(Call& c) {
    std::string text;
    if (!c.Arity(1, 1) || !c.Text(0, text)) return c.failure;
    for (char& ch : text) {
        if (!kUpper)
            ch = Evaluator::AsciiLower(ch);
        else if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    }
    return Value::String(std::move(text));
}

Value Left(Call& c) {
    std::string text;
    double count = 1;
    size_t keep = 0;
    if (!c.Arity(1, 2) || !c.Text(0, text) || !c.OptionalNumber(1, count, 1)) return c.failure;
    if (count < 0 || !Whole(count, keep)) return Value::Error(ErrorValue::Value);
    return Value::String(Characters(text, 0, keep));
}

Value Right(Call& c) {
    std::string text;
    double count = 1;
    size_t keep = 0;
    if (!c.Arity(1, 2) || !c.Text(0, text) || !c.OptionalNumber(1, count, 1)) return c.failure;
    if (count < 0 || !Whole(count, keep)) return Value::Error(ErrorValue::Value);
    const size_t length = CharacterCount(text);
    return Value::String(Characters(text, length - std::min(length, keep), keep));
}

Value Mid(Call& c) {
    std::string text;
    double start = 1, count = 0;
    size_t from = 0, length = 0;
    if (!c.Arity(3, 3) || !c.Text(0, text) || !c.Number(1, start) || !c.Number(2, count)) {
        return c.failure;
    }
    if (start < 1 || count < 0 || !Whole(start - 1, from) || !Whole(count, length)) {
        return Value::Error(ErrorValue::Value);
    }
    return Value::String(Characters(text, from, length));
}

Value Trim(Call& c) {
    std::string text;
    if (!c.Arity(1, 1) || !c.Text(0, text)) return c.failure;
    std::string result;
    for (char ch : text) {
        if (ch == ' ' && (result.empty() || result.back() == ' ')) continue;
        result += ch;
    }
    if (!result.empty() && result.back() == ' ') result.pop_back();
    return Value::String(std::move(result));
}

Value Rept(Call& c) {
    std::string text;
    double count = 0;
    size_t times = 0;
    if (!c.Arity(2, 2) || !c.Text(0, text) || !c.Number(1, count)) return c.failure;
    if (count < 0 || !Whole(count, times) ||
        static_cast<double>(times) * static_cast<double>(text.size()) > 65536) {
        return Value::Error(ErrorValue::Value);
    }
    std::string result;
    for (size_t i = 0; i < times && !text.empty(); ++i)
        result += text;
    return Value::String(std::move(result));
}

Value Substitute(Call& c) {
    std::string text, from, to;
    double which = 0;
    if (!c.Arity(3, 4) || !c.Text(0, text) || !c.Text(1, from) || !c.Text(2, to) ||
        !c.OptionalNumber(3, which, 0)) {
        return c.failure;
    }
    if (from.empty()) return Value::String(std::move(text));
    size_t only = 0;
    if (!Whole(which, only)) return Value::Error(ErrorValue::Value);
    std::string result;
    size_t rest = 0;
    size_t occurrence = 0;
    for (size_t found; (found = text.find(from, rest)) != std::string::npos;
         rest = found + from.size()) {
        ++occurrence;
        result.append(text, rest, found - rest);
        result += only == 0 || occurrence == only ? to : from;
    }
    result.append(text, rest);
    return Value::String(std::move(result));
}

Value Replace(Call& c) {
    std::string text, replacement;
    double start = 1, count = 0;
    if (!c.Arity(4, 4) || !c.Text(0, text) || !c.Number(1, start) || !c.Number(2, count) ||
        !c.Text(3, replacement)) {
        return c.failure;
    }
    size_t from = 0, length = 0;
    if (start < 1 || count < 0 || !Whole(start - 1, from) || !Whole(count, length)) {
        return Value::Error(ErrorValue::Value);
    }
    const size_t begin = ByteOffset(text, from);
    const size_t end = begin + ByteOffset(std::string_view(text).substr(begin), length);
    return Value::String(text.replace(begin, end - begin, replacement));
}

/// CHAR takes a code from 1 to 255, UNICHAR any Unicode code point.
template <uint32_t kHighest>
Value CodePoint(Call& c) {
    double code = 0;
    if (!c.Arity(1, 1) || !c.Number(0, code)) return c.failure;
    if (!(code >= 1 && code <= kHighest) || (code >= 0xD800 && code < 0xE000))
        return Value::Error(ErrorValue::Value);
    std::string text;
    utf8::append(static_cast<uint32_t>(code), std::back_inserter(text));
    return Value::String(text);
}

// --- Dates and times: days since 30 December 1899, the fraction the time of day ---

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr double kDaysBeforeUnixEpoch = 25569;  // 1899-12-30 to 1970-01-01
constexpr double kSecondsPerDay = 86400;

/// Argument i as a date and time; a date written as text depends on the user's regional
/// settings and is left to Visio (not computable).
bool DateTimeArgument(Call& c, uint32_t i, double& out) {
    const Value value = c.Get(i);
    const auto number = Evaluator::ToNumber(value);
    if (!Evaluator::IsOrdinary(value) || value.type == Value::Type::String) {
        c.failure = value.type == Value::Type::String
                        ? Value::NotComputable(Need::Environment, "a date written as text")
                        : value;
        return false;
    }
    if (!number || !(std::fabs(*number) < 3e6)) {  // 3e6 days: beyond the year 9999 either way
        c.failure = Value::Error(ErrorValue::Value);
        return false;
    }
    out = *number;
    return true;
}

sys_days DayOf(double serial) {
    return sys_days(days(static_cast<int64_t>(std::floor(serial) - kDaysBeforeUnixEpoch)));
}

double SerialOf(sys_days day) {
    return static_cast<double>(day.time_since_epoch().count()) + kDaysBeforeUnixEpoch;
}

/// The time of day in whole seconds.
int64_t SecondOfDay(double serial) {
    return std::llround((serial - std::floor(serial)) * kSecondsPerDay) % 86400;
}

Value Date(Call& c) {
    double year = 0, month = 0, day = 0;
    if (!c.Arity(3, 4) || !c.Number(0, year) || !c.Number(1, month) || !c.Number(2, day))
        return c.failure;
    if (!(year >= 100 && year <= 9999 && std::fabs(month) < 1e5 && std::fabs(day) < 3e6))
        return Value::Error(ErrorValue::Value);
    // Months and days beyond their range carry over, as in DATE(2007,13,1).
    const auto first = std::chrono::year(static_cast<int>(year)) / std::chrono::January / 1;
    const auto shifted = first + std::chrono::months(static_cast<int>(std::trunc(month)) - 1);
    return Value::Number(SerialOf(sys_days(shifted)) + std::trunc(day) - 1);
}

Value Time(Call& c) {
    double hour = 0, minute = 0, second = 0;
    if (!c.Arity(3, 4) || !c.Number(0, hour) || !c.Number(1, minute) || !c.Number(2, second))
        return c.failure;
    return Number((hour * 3600 + minute * 60 + second) / kSecondsPerDay);
}

/// DATETIME, DATEVALUE and TIMEVALUE of a number: the whole value, its date, its time.
template <int kPart>
Value DateTimeOf(Call& c) {
    double serial = 0;
    if (!c.Arity(1, 2) || !DateTimeArgument(c, 0, serial)) return c.failure;
    if (kPart == 1) return Value::Number(std::floor(serial));
    if (kPart == 2) return Value::Number(serial - std::floor(serial));
    return Value::Number(serial);
}

enum class Component { Year, Month, Day, DayOfYear, Weekday, Hour, Minute, Second };

template <Component kComponent>
Value DateComponent(Call& c) {
    double serial = 0;
    if (!c.Arity(1, 2) || !DateTimeArgument(c, 0, serial)) return c.failure;
    const sys_days day = DayOf(serial);
    const year_month_day date(day);
    const int64_t second = SecondOfDay(serial);
    switch (kComponent) {
        case Component::Year:
            return Value::Number(static_cast<int>(date.year()));
        case Component::Month:
            return Value::Number(static_cast<unsigned>(date.month()));
        case Component::Day:
            return Value::Number(static_cast<unsigned>(date.day()));
        case Component::DayOfYear:
            return Value::Number(static_cast<double>(
                (day - sys_days(date.year() / std::chrono::January / 1)).count() + 1));
        case Component::Weekday:  // Monday 1 to Sunday 7
            return Value::Number(std::chrono::weekday(day).iso_encoding());
        case Component::Hour:
            return Value::Number(static_cast<double>(second / 3600));
        case Component::Minute:
            return Value::Number(static_cast<double>(second / 60 % 60));
        case Component::Second:
            return Value::Number(static_cast<double>(second % 60));
    }
    return Value::NotComputable();
}

// --- Colors (hue, saturation and luminosity on the 0 to 240 scale) ---
// Conversions in whole numbers, rounded as Windows' own color dialog rounds them: the values
// Visio stores are those, to the last bit.

constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;

struct Hls {
    double h, l, s;
};

Hls ToHls(uint32_t rgb) {
    const int r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    const int high = std::max({r, g, b}), low = std::min({r, g, b});
    const int l = ((high + low) * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (high == low) return {kHlsMax * 2 / 3, static_cast<double>(l), 0};
    const int range = high - low;
    const int s = l <= kHlsMax / 2 ? (range * kHlsMax + (high + low) / 2) / (high + low)
                                   : (range * kHlsMax + (2 * kRgbMax - high - low) / 2) /
                                         (2 * kRgbMax - high - low);
    const auto delta = [&](int channel) {
        return ((high - channel) * (kHlsMax / 6) + range / 2) / range;
    };
    int h = r == high   ? delta(b) - delta(g)
            : g == high ? kHlsMax / 3 + delta(r) - delta(b)
                        : 2 * kHlsMax / 3 + delta(g) - delta(r);
    if (h < 0) h += kHlsMax;
    if (h > kHlsMax) h -= kHlsMax;
    return {static_cast<double>(h), static_cast<double>(l), static_cast<double>(s)};
}

/// One channel of a color between the levels low and high, by hue.
int HueChannel(int low, int high, int hue) {
    if (hue < 0) hue += kHlsMax;
    if (hue > kHlsMax) hue -= kHlsMax;
    if (hue < kHlsMax / 6) return low + ((high - low) * hue + kHlsMax / 12) / (kHlsMax / 6);
    if (hue < kHlsMax / 2) return high;
    if (hue < kHlsMax * 2 / 3)
        return low + ((high - low) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
    return low;
}

uint32_t FromHls(double hue, double saturation, double luminosity) {
    const auto level = [](double x) {
        return static_cast<int>(std::trunc(std::clamp(x, 0.0, static_cast<double>(kHlsMax))));
    };
    const int h = level(hue), s = level(saturation), l = level(luminosity);
    if (s == 0) {
        const auto grey = static_cast<uint32_t>((l * kRgbMax + kHlsMax / 2) / kHlsMax);
        return grey << 16 | grey << 8 | grey;
    }
    const int high = l <= kHlsMax / 2 ? (l * (kHlsMax + s) + kHlsMax / 2) / kHlsMax
                                      : l + s - (l * s + kHlsMax / 2) / kHlsMax;
    const int low = 2 * l - high;
    const auto channel = [&](int shifted) {
        return static_cast<uint32_t>((HueChannel(low, high, shifted) * kRgbMax + kHlsMax / 2) /
                                     kHlsMax);
    };
    return channel(h + kHlsMax / 3) << 16 | channel(h) << 8 | channel(h - kHlsMax / 3);
}

Value Rgb(Call& c) {
    double r = 0, g = 0, b = 0;
    if (!c.Arity(3, 3) || !c.Number(0, r) || !c.Number(1, g) || !c.Number(2, b)) return c.failure;
    const auto byte = [](double x) {
        return static_cast<uint32_t>(std::clamp(std::trunc(x), 0.0, 255.0));
    };
    return Value::Color(byte(r) << 16 | byte(g) << 8 | byte(b));
}

Value Hsl(Call& c) {
    double h = 0, s = 0, l = 0;
    if (!c.Arity(3, 3) || !c.Number(0, h) || !c.Number(1, s) || !c.Number(2, l)) return c.failure;
    return Value::Color(FromHls(h, s, l));
}

template <int kShift>
Value Channel(Call& c) {
    uint32_t rgb = 0;
    if (!c.Arity(1, 1) || !c.Rgb(0, rgb)) return c.failure;
    return Value::Number(rgb >> kShift & 0xFF);
}

template <double Hls::*kPart>
Value HlsPart(Call& c) {
    uint32_t rgb = 0;
    if (!c.Arity(1, 1) || !c.Rgb(0, rgb)) return c.failure;
    return Value::Number(ToHls(rgb).*kPart);
}

template <double Hls::*kPart>
Value HlsDifference(Call& c) {
    uint32_t a = 0, b = 0;
    if (!c.Arity(2, 2) || !c.Rgb(0, a) || !c.Rgb(1, b)) return c.failure;
    return Value::Number(ToHls(a).*kPart - ToHls(b).*kPart);
}

}  // namespace

uint32_t Tinted(uint32_t rgb, double amount) {
    const Hls hls = ToHls(rgb);
    // The amount is luminosity, but the step never exceeds that percentage of what is left
    // toward white (or black): TINT(RGB(0,0,0),84) is 84 lighter, TINT(RGB(233,233,233),72)
    // only 72% of the 21 left.
    const double room = amount >= 0 ? kHlsMax - hls.l : hls.l;
    const double step = std::min(std::abs(amount), std::abs(amount) * room / 100);
    return FromHls(hls.h, hls.s, hls.l + std::copysign(step, amount));
}

namespace {

/// TINT makes a color lighter, SHADE darker, by an amount of luminosity (0 to 240) that shrinks
/// near white or black; either goes the other way for a negative amount.
template <int kDirection>
Value Lighten(Call& c) {
    uint32_t rgb = 0;
    double amount = 0;
    if (!c.Arity(2, 2) || !c.Rgb(0, rgb) || !c.Number(1, amount)) return c.failure;
    return Value::Color(Tinted(rgb, kDirection * amount));
}

// --- Points and text of shapes ---

/// PAR and LOC of PNT(x, y): the point, given in the coordinates of the shape whose cells name
/// it, in the coordinates of the formula's sheet's parent or of the sheet itself; a cell takes
/// the coordinate of its axis.
template <bool kToParent>
Value MovedPoint(Call& c) {
    const std::string_view name = kToParent ? "PAR" : "LOC";
    if (!c.Arity(1, 1)) return c.failure;
    const Node& point = c.ArgumentNode(0);
    if (point.kind != NodeKind::Call || !SameName(c.NameOf(point), "PNT"))
        return Value::NotComputable(Need::Computation, name);
    Call pnt = c.Inner(point);
    double x = 0, y = 0;
    if (!pnt.Arity(2, 2) || !pnt.Number(0, x) || !pnt.Number(1, y)) return pnt.failure;
    const ISheetResolver::Sheet from = pnt.SheetOf(0);
    if (!from || !c.Resolver().MovePoint(from, kToParent, x, y))
        return Value::NotComputable(Need::Computation, name);
    return Number(c.Resolver().TakesY() ? y : x);
}

/// SHAPETEXT(Sheet.N!TheText): the text the shape shows.
Value ShapeText(Call& c) {
    if (!c.Arity(1, 2)) return c.failure;
    const ISheetResolver::Sheet sheet = c.SheetOf(0);
    const std::optional<std::string> text = sheet ? c.Resolver().ShapeText(sheet) : std::nullopt;
    if (!text) return Value::NotComputable(Need::Computation, "SHAPETEXT");
    return Value::String(*text);
}

// --- Themes ---

/// THEMEVAL([property], [default]): a property of the theme, the cell's own when none is named,
/// a color by number (1 Dark, 2 Light, 3 to 8 the accents, 100 to 106 the variant's); where
/// no theme applies, the default when one is given.
Value ThemeVal(Call& c) {
    static constexpr std::string_view kSchemeColors[] = {
        "Dark",         "Light",        "AccentColor",  "AccentColor2",
        "AccentColor3", "AccentColor4", "AccentColor5", "AccentColor6"};
    if (!c.Arity(0, 2)) return c.failure;
    std::string property;
    if (!c.Missing(0)) {
        const Value name = c.Get(0);
        if (!Evaluator::IsOrdinary(name)) return name;
        if (name.IsNumber()) {
            // 1 to 8 name the scheme's colors; 100 to 106 the variant's, as quick styles do.
            if (name.number >= 1 && name.number < std::size(kSchemeColors) + 1)
                property = kSchemeColors[static_cast<size_t>(name.number) - 1];
            else if (name.number >= 100 && name.number <= 106)
                property = "VariantColor" + FormatNumber(std::trunc(name.number) - 99);
            else
                return Value::Error(ErrorValue::Value);
        } else {
            property = Evaluator::ToText(name);
        }
    }
    const std::optional<bool> themed = c.Resolver().Themed();
    if (!themed) return Value::NotComputable(Need::Computation, "THEMEVAL");
    if (!*themed && !c.Missing(1)) return c.Get(1);
    return c.Resolver().ThemeValue(property);
}

Value IsThemed(Call& c) {
    if (!c.Arity(0, 0)) return c.failure;
    const std::optional<bool> themed = c.Resolver().Themed();
    return themed ? Bool(*themed) : Value::NotComputable(Need::Computation, "ISTHEMED");
}

/// THEMEPROP(property) and, where no theme applies, THEME(property): a property by name.
Value ThemeProperty(Call& c) {
    std::string property;
    if (!c.Arity(1, 1) || !c.Text(0, property)) return c.failure;
    if (SameName(c.Name(), "THEME") && c.Resolver().Themed() != false)
        return Value::NotComputable(Need::Computation, "THEME");
    return c.Resolver().ThemeValue(property);
}

/// MSOTINT(color, amount): Office's lighter (amount above 0) or darker (below) version of a
/// color, its luminosity moved that many percent toward white or black, in real numbers.
Value MsoTint(Call& c) {
    uint32_t rgb = 0;
    double amount = 0;
    if (!c.Arity(2, 2) || !c.Rgb(0, rgb) || !c.Number(1, amount)) return c.failure;
    const double r = (rgb >> 16 & 0xFF) / 255.0, g = (rgb >> 8 & 0xFF) / 255.0,
                 b = (rgb & 0xFF) / 255.0;
    const double high = std::max({r, g, b}), low = std::min({r, g, b});
    double h = 0, s = 0, l = (high + low) / 2;
    if (high != low) {
        const double d = high - low;
        s = l <= 0.5 ? d / (high + low) : d / (2 - high - low);
        h = (high == r ? (g - b) / d : (high == g ? 2 + (b - r) / d : 4 + (r - g) / d)) / 6;
        if (h < 0) h += 1;  // Office's own order of operations, which its truncation follows
    }
    const double fraction = std::clamp(amount / 100, -1.0, 1.0);
    l = fraction >= 0 ? l + (1 - l) * fraction : l * (1 + fraction);
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const auto channel = [&](double t) {
        t = t < 0 ? t + 1 : (t > 1 ? t - 1 : t);
        const double x = t < 1.0 / 6   ? p + (q - p) * 6 * t
                         : t < 0.5     ? q
                         : t < 2.0 / 3 ? p + (q - p) * (2.0 / 3 - t) * 6
                                       : p;
        return static_cast<uint32_t>(std::clamp(x, 0.0, 1.0) * 255);
    };
    return Value::Color(channel(h + 1.0 / 3) << 16 | channel(h) << 8 | channel(h - 1.0 / 3));
}

// --- Geometry helpers of elliptical arcs ---

/// The axes of the ellipse with major/minor ratio eccentricity at angle theta, after its shape was
/// stretched from width0 x height0 to width x height: the angle of one axis and both lengths.
struct Stretched {
    double angle, first, second;
};

bool StretchEllipse(Call& c, Stretched& out) {
    double theta = 0, eccentricity = 0, width0 = 0, height0 = 0, width = 0, height = 0;
    if (!c.Number(0, theta) || !c.Number(1, eccentricity) || !c.Number(2, width0) ||
        !c.Number(3, height0) || !c.Number(4, width) || !c.Number(5, height)) {
        return false;
    }
    const double sx = width0 == 0 ? 1 : width / width0;
    const double sy = height0 == 0 ? 1 : height / height0;
    const double cs = std::cos(theta), sn = std::sin(theta);
    // M = diag(sx, sy) * rotation(theta) * diag(eccentricity, 1); the axes are the
    // eigenvectors of M * M^T, their lengths the square roots of its eigenvalues.
    const double a = sx * cs * eccentricity, b = -sx * sn, cc = sy * sn * eccentricity, d = sy * cs;
    const double p = a * a + b * b, q = a * cc + b * d, r = cc * cc + d * d;
    const double half = (p + r) / 2, root = std::sqrt(std::max(0.0, (p - r) * (p - r) / 4 + q * q));
    out.angle = 0.5 * std::atan2(2 * q, p - r);
    out.first = std::sqrt(half + root);
    out.second = std::sqrt(std::max(0.0, half - root));
    return true;
}

Value EllipseTheta(Call& c) {
    Stretched ellipse{};
    if (!c.Arity(6, 6) || !StretchEllipse(c, ellipse)) return c.failure;
    // The angle is given in (-pi, 0], the half-turn in which Visio writes it.
    double angle = ellipse.angle;
    if (angle > 0) angle -= kPi;
    return Number(angle);
}

Value EllipseEccentricity(Call& c) {
    Stretched ellipse{};
    double along = 0;
    if (!c.Arity(6, 7) || !StretchEllipse(c, ellipse) ||
        !c.OptionalNumber(6, along, ellipse.angle)) {
        return c.failure;
    }
    if (ellipse.second == 0 || ellipse.first == 0) return Value::Error(ErrorValue::Div0);
    // The ratio of the axis along the given angle to the other one.
    const double offset = along - ellipse.angle;
    const bool major = std::fabs(std::cos(offset)) >= std::fabs(std::sin(offset));
    return Number(major ? ellipse.first / ellipse.second : ellipse.second / ellipse.first);
}

struct Function {
    std::string_view name;
    Handler handler;                // null: known to the ShapeSheet, not computed here
    Need need = Need::Computation;  // without a handler: what its result needs
};

// Every function the ShapeSheet knows, with the computation of those this program computes.
const Function kFunctions[] = {
    {"ABS", Math1<std::fabs>},
    {"ACOS", Acos},
    {"AND", Logical<false>},
    {"ANG360", Ang360},
    {"ANGLEALONGPATH", nullptr},
    {"ANGLETOLOC", nullptr},
    {"ANGLETOPAR", nullptr},
    {"ARG", Argument},
    {"ASIN", Asin},
    {"ATAN", Math1<std::atan>},
    {"ATAN2", Atan2},
    {"BITAND", Bits<And>},
    {"BITNOT", BitNot},
    {"BITOR", Bits<Or>},
    {"BITXOR", Bits<Xor>},
    {"BKGPAGENAME", nullptr},
    {"BLEND", nullptr},
    {"BLOB", nullptr},
    {"BLUE", Channel<0>},
    {"BOUND", Bound},
    {"BOUNDINGBOXDIST", nullptr},
    {"BOUNDINGBOXRECT", nullptr},
    {"CALLOUTCOUNT", nullptr},
    {"CALLOUTTARGETREF", nullptr},
    {"CALLTHIS", Zero},
    {"CATEGORY", nullptr},
    {"CELLISTHEMED", nullptr},
    {"CEILING", RoundToMultiple<true>},
    {"CHAR", CodePoint<255>},
    {"COMPANY", nullptr},
    {"CONTAINERCOUNT", nullptr},
    {"CONTAINERMEMBERCOUNT", nullptr},
    {"CONTAINERSHEETREF", DrawingFact},
    {"COS", Math1<std::cos>},
    {"COSH", Math1<std::cosh>},
    {"CREATOR", nullptr},
    {"CY", nullptr},
    {"DATA1", nullptr},
    {"DATA2", nullptr},
    {"DATA3", nullptr},
    {"DATE", Date},
    {"DATETIME", DateTimeOf<0>},
    {"DATEVALUE", DateTimeOf<1>},
    {"DAY", DateComponent<Component::Day>},
    {"DAYOFYEAR", DateComponent<Component::DayOfYear>},
    {"DECIMALSEP", nullptr, Need::Environment},
    {"DEFAULTEVENT", Zero},
    {"DEG", Math1<[](double x) { return x * 180 / kPi; }>},
    {"DEPENDSON", DependsOn},
    {"DESCRIPTION", nullptr},
    {"DIRECTORY", nullptr, Need::Environment},
    {"DISTTOPATH", nullptr},
    {"DOCCREATION", nullptr, Need::Clock},
    {"DOCLASTEDIT", nullptr, Need::Clock},
    {"DOCLASTPRINT", nullptr, Need::Clock},
    {"DOCLASTSAVE", nullptr, Need::Clock},
    {"DOCMD", Zero},
    {"DOOLEVERB", Zero},
    {"EVALCELL", nullptr},
    {"EVALTEXT", nullptr},
    {"FALSE", False},
    {"FIELDPICTURE", FieldPicture},
    {"FILENAME", nullptr, Need::Environment},
    {"FIND", Find},
    {"FLOOR", RoundToMultiple<false>},
    {"FONT", nullptr},
    {"FONTTOID", nullptr},
    {"FORMAT", nullptr},
    {"FORMATEX", nullptr},
    {"FORMULAEXISTS", nullptr},
    {"GETREF", nullptr},
    {"GETVAL", nullptr},
    {"GOTOPAGE", Zero},
    {"GRAVITY", Gravity},
    {"GREEN", Channel<8>},
    {"GUARD", First},
    {"HASCATEGORY", nullptr},
    {"HELP", Zero},
    {"HOUR", DateComponent<Component::Hour>},
    {"HSL", Hsl},
    {"HUE", HlsPart<&Hls::h>},
    {"HUEDIFF", HlsDifference<&Hls::h>},
    {"HYPERLINK", Zero},
    {"HYPERLINKBASE", nullptr},
    {"ID", nullptr},
    {"IF", If},
    {"IFERROR", IfError},
    {"INDEX", Index},
    {"INT", Math1<std::floor>},
    {"INTERSECTX", nullptr},
    {"INTERSECTY", nullptr},
    {"INTUP", Math1<std::ceil>},
    {"IS1D", nullptr},
    {"ISERR", IsErrorOf<NotNA>},
    {"ISERRNA", IsErrorOf<IsNA>},
    {"ISERROR", IsErrorOf<AnyError>},
    {"ISERRVALUE", IsErrorOf<IsValueError>},
    {"ISTHEMED", IsThemed},
    {"KEYWORDS", nullptr},
    {"LANGUAGE", nullptr, Need::Environment},
    {"LEFT", Left},
    {"LEN", Len},
    {"LISTMEMBERCOUNT", nullptr},
    {"LISTORDER", nullptr},
    {"LISTSEP", nullptr, Need::Environment},
    {"LISTSHEETREF", nullptr},
    {"LN", Ln},
    {"LOC", MovedPoint<false>},
    {"LOCALFORMULAEXISTS", nullptr},
    {"LOCTOLOC", nullptr},
    {"LOCTOPAR", nullptr},
    {"LOG10", Log10},
    {"LOOKUP", Lookup},
    {"LOWER", ChangeCase<false>},
    {"LUM", HlsPart<&Hls::l>},
    {"LUMDIFF", HlsDifference<&Hls::l>},
    {"MAGNITUDE", nullptr},
    {"MANAGER", nullptr},
    {"MASTERNAME", nullptr},
    {"MAX", Max},
    {"MID", Mid},
    {"MIN", Min},
    {"MINUTE", DateComponent<Component::Minute>},
    {"MOD", Modulus},
    {"MODULUS", Modulus},
    {"MONTH", DateComponent<Component::Month>},
    {"MSOSHADE", nullptr},
    {"MSOTINT", MsoTint},
    {"NA", NotAvailable},
    {"NAME", nullptr},
    {"NEARESTPOINTONPATH", nullptr},
    {"NOT", Not},
    {"NOW", nullptr, Need::Clock},
    {"NURBS", nullptr},
    {"OPENFILE", Zero},
    {"OPENGROUPWIN", Zero},
    {"OPENSHEETWIN", Zero},
    {"OPENTEXTWIN", Zero},
    {"OR", Logical<true>},
    {"PAGECOUNT", DrawingFact},
    {"PAGENAME", nullptr},
    {"PAGENUMBER", DrawingFact},
    {"PAR", MovedPoint<true>},
    {"PATHLENGTH", nullptr},
    {"PATHSEGMENT", nullptr},
    {"PI", Pi},
    {"PLAYSOUND", Zero},
    {"PNT", nullptr},
    {"PNTX", nullptr},
    {"PNTY", nullptr},
    {"POINTALONGPATH", nullptr},
    {"POLYLINE", nullptr},
    {"POW", Pow},
    {"QUEUEMARKEREVENT", Zero},
    {"RAD", Math1<[](double x) { return x * kPi / 180; }>},
    {"RAND", nullptr, Need::Clock},
    {"RECTSECT", nullptr},
    {"RED", Channel<16>},
    {"REF", NoReference},
    {"REPLACE", Replace},
    {"REPT", Rept},
    {"REWIDEN", nullptr},
    {"RGB", Rgb},
    {"RIGHT", Right},
    {"ROUND", Round},
    {"RUNADDON", Zero},
    {"RUNADDONWARGS", Zero},
    {"RUNMACRO", Zero},
    {"SAT", HlsPart<&Hls::s>},
    {"SATDIFF", HlsDifference<&Hls::s>},
    {"SECOND", DateComponent<Component::Second>},
    {"SEGMENTCOUNT", nullptr},
    {"SETATREF", SetAtRef},
    {"SETATREFEVAL", First},
    {"SETATREFEXPR", SetAtRefExpr},
    {"SETF", Zero},
    {"SHADE", Lighten<-1>},
    {"SHAPETEXT", ShapeText},
    {"SHEETREF", nullptr},
    {"SIGN", SignOf},
    {"SIN", Math1<std::sin>},
    {"SINH", Math1<std::sinh>},
    {"SQRT", Sqrt},
    {"STRSAME", StrSame},
    {"STRSAMEEX", nullptr},
    {"SUBJECT", nullptr},
    {"SUBSTITUTE", Substitute},
    {"SUM", Sum},
    {"TAN", Math1<std::tan>},
    {"TANH", Math1<std::tanh>},
    {"TEXTHEIGHT", nullptr, Need::TextMetrics},
    {"TEXTWIDTH", nullptr, Need::TextMetrics},
    {"THEME", ThemeProperty},
    {"THEMECBV", nullptr},
    {"THEMEGUARD", First},
    {"THEMEPROP", ThemeProperty},
    {"THEMERESTORE", nullptr},
    {"THEMEVAL", ThemeVal},
    {"TIME", Time},
    {"TIMEVALUE", DateTimeOf<2>},
    {"TINT", Lighten<1>},
    {"TITLE", nullptr},
    {"TONE", nullptr},
    {"TRIM", Trim},
    {"TRUE", True},
    {"TRUNC", Trunc},
    {"TYPE", nullptr},
    {"TYPEDESC", nullptr},
    {"UNICHAR", CodePoint<0x10FFFF>},
    {"UPPER", ChangeCase<true>},
    {"USE", nullptr},
    {"USERUI", nullptr, Need::Environment},
    {"VERSION", nullptr, Need::Environment},
    {"WEEKDAY", DateComponent<Component::Weekday>},
    {"YEAR", DateComponent<Component::Year>},
    {"_ELLIPSE_ECC", EllipseEccentricity},
    {"_ELLIPSE_THETA", EllipseTheta},
    {"_WALKGLUE", nullptr, Need::Layout},
    {"_XFTRIGGER", nullptr, Need::Layout},
};

bool NameBefore(const Function& a, const Function& b) {
    return Evaluator::CompareText(a.name, b.name) < 0;
}

const Function* FindFunction(std::string_view name) {
    static const std::vector<Function> sorted = [] {
        std::vector<Function> functions(std::begin(kFunctions), std::end(kFunctions));
        std::sort(functions.begin(), functions.end(), NameBefore);
        return functions;
    }();
    const auto found = std::lower_bound(sorted.begin(), sorted.end(), name,
                                        [](const Function& function, std::string_view key) {
                                            return Evaluator::CompareText(function.name, key) < 0;
                                        });
    if (found == sorted.end() || Evaluator::CompareText(found->name, name) != 0) return nullptr;
    return &*found;
}

}  // namespace

bool IsKnownFunction(std::string_view name) {
    return (!name.empty() && name.front() == '_') || FindFunction(name) != nullptr;
}

bool IsComputedFunction(std::string_view name) {
    const Function* function = FindFunction(name);
    return function && function->handler;
}

Value CallFunction(std::string_view name, Evaluator& evaluator, const Node& call) {
    const Function* function = FindFunction(name);
    if (!function) {
        return IsKnownFunction(name) ? Value::NotComputable(Need::Computation, name)
                                     : Value::Error(ErrorValue::Name);
    }
    if (!function->handler) return Value::NotComputable(function->need, function->name);
    Call arguments(evaluator, call);
    return function->handler(arguments);
}

}  // namespace tess::formula
