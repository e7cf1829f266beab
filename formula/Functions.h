#pragma once

// The evaluator's inside, shared by the operators and the function library.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/Evaluate.h"

namespace tess::formula {

class Evaluator {
public:
    Evaluator(const Formula& formula, ISheetResolver& resolver);

    Value Eval(uint32_t node);
    /// The value of argument i of a call; NotComputable when it is missing.
    Value Argument(const Node& call, uint32_t i);
    bool IsMissing(const Node& call, uint32_t i) const;
    const Node& ArgumentNode(const Node& call, uint32_t i) const;
    Value ReferenceValue(const Reference& reference);
    const Formula& TheFormula() const { return m_formula; }
    ISheetResolver& Resolver() { return m_resolver; }

    /// Neither an error nor NotComputable.
    static bool IsOrdinary(const Value& value);
    static std::optional<double> ToNumber(const Value& value);
    static std::string ToText(const Value& value);
    static bool NearlyEqual(double a, double b);
    /// Compares without regard to ASCII case (whatever the C locale says of other bytes).
    static int CompareText(std::string_view a, std::string_view b);
    static char AsciiLower(char c);
    /// The number, or #NUM! when it is not finite.
    static Value Finite(double number);

private:
    Value UnaryValue(const Node& node);
    Value BinaryValue(const Node& node);
    /// A comparison or arithmetic operator on two ordinary values.
    static Value Apply(Operator op, const Value& left, const Value& right);
    static Value Arithmetic(Operator op, const Value& left, const Value& right);
    static Value Compare(Operator op, const Value& left, const Value& right);
    static ErrorValue ErrorFromText(std::string_view text);

    const Formula& m_formula;
    ISheetResolver& m_resolver;
    std::vector<const Node*> m_chain;  // the operator chains being computed, innermost last
};

/// Computes a call of a named function.
Value CallFunction(std::string_view name, Evaluator& evaluator, const Node& call);

}  // namespace tess::formula
