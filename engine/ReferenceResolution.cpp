#include "engine/ReferenceResolution.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "app/ErrorReport.h"
#include "engine/SectionCatalogue.h"

namespace tess::engine {
namespace {

constexpr std::string_view kGeometry = "Geometry";

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

size_t DigitRunEnd(const std::string& text, size_t begin) {
    size_t end = begin;
    while (end < text.size() && IsDigit(text[end]))
        ++end;
    return end;
}

void AppendNumber(std::string& out, int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    out.append(buffer, result.ptr);
}

/// The value of a run of digits; false when it does not fit.
bool ParseDigits(std::string_view digits, int64_t& value) {
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return result.ec == std::errc();
}

bool IsNameChar(char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '.' ||
           static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

bool NamesOtherSheet(std::string_view formula, size_t at, std::string_view self) {
    if (at == 0 || formula[at - 1] != '!') return false;
    std::string_view qualifier = formula.substr(0, at - 1);
    const bool quoted = qualifier.ends_with('\'');
    if (quoted) qualifier.remove_suffix(1);
    if (self.empty() || !qualifier.ends_with(self)) return true;
    qualifier.remove_suffix(self.size());
    if (quoted) return !qualifier.ends_with('\'');
    return !qualifier.empty() && IsNameChar(qualifier.back());
}

namespace {

/// Rewrites the row number of every reference "label.<cell letter><number>" that is self's own
/// through renumber, which answers the new number or the same one. The rewritten formula is built
/// only once an occurrence is found; most formulas have none.
template <class Renumber>
bool RenumberRows(std::string& formula, std::string_view label, std::string_view self,
                  Renumber renumber) {
    size_t found = formula.find(label);
    if (found == std::string::npos) return false;
    std::string result;
    result.reserve(formula.size() + 8);
    size_t rest = 0;
    while (found != std::string::npos) {
        // The label is followed by "." and one cell letter, then the row number.
        const size_t dot = found + label.size();
        const size_t number = dot + 2;
        const size_t numberEnd = number < formula.size() ? DigitRunEnd(formula, number) : number;
        int64_t row = 0;
        if (formula[dot] == '.' && numberEnd > number && !NamesOtherSheet(formula, found, self) &&
            ParseDigits({formula.data() + number, numberEnd - number}, row)) {
            result.append(formula, rest, number - rest);
            AppendNumber(result, renumber(row));
            rest = numberEnd;
        } else {
            const size_t upTo = std::min(number + 1, formula.size());
            result.append(formula, rest, upTo - rest);
            rest = upTo;
        }
        found = formula.find(label, rest);
    }
    result.append(formula, rest);
    if (result == formula) return false;
    formula = std::move(result);
    return true;
}

/// The new number of a reference to row number (as formulas write it) through rows; numbers
/// whose row was not copied move by shift. first is the number formulas give row 0.
int64_t MappedNumber(const RowMap& rows, int64_t number, int64_t first, int16_t shift) {
    if (number - first < INT16_MIN || number - first > INT16_MAX) return number + shift;
    const auto found = rows.find(static_cast<int16_t>(number - first));
    return found == rows.end() ? number + shift : found->second + first;
}

/// An "old|new" item split in two.
std::pair<std::string_view, std::string_view> SplitItem(std::string_view item) {
    const size_t bar = item.find('|');
    if (bar == std::string_view::npos) Raise(err::kSubscriptOutOfRange);
    return {item.substr(0, bar), item.substr(bar + 1, item.find('|', bar + 1) - bar - 1)};
}

bool RenumberGeometry(std::string& formula, int64_t from, int64_t to, std::string_view self) {
    size_t found = formula.find(kGeometry);
    if (found == std::string::npos) return false;
    std::string result;
    result.reserve(formula.size() + 4);
    size_t rest = 0;
    while (found != std::string::npos) {
        const size_t number = found + kGeometry.size();
        const size_t dot = formula.find('.', found);
        int64_t value = 0;
        const bool numeric = !NamesOtherSheet(formula, found, self) && dot != std::string::npos &&
                             dot > number && DigitRunEnd(formula, number) == dot &&
                             ParseDigits({formula.data() + number, dot - number}, value);
        if (numeric) {
            result.append(formula, rest, number - rest);
            if (value == from) {
                AppendNumber(result, to);
            } else {
                result.append(formula, number, dot - number);
            }
            rest = dot;
        } else {
            const size_t upTo = std::min(number + 1, formula.size());
            result.append(formula, rest, upTo - rest);
            rest = upTo;
        }
        found = formula.find(kGeometry, rest);
    }
    result.append(formula, rest);
    if (result == formula) return false;
    formula = std::move(result);
    return true;
}

/// Replaces each place of formula once, by the first item whose old text stands there; with
/// ownOf, only at places that are that sheet's own.
void ReplaceOnce(std::string& formula,
                 const std::vector<std::pair<std::string_view, std::string_view>>& items,
                 std::optional<std::string_view> ownOf) {
    std::string result;
    size_t rest = 0;
    for (size_t at = 0; at < formula.size() && !items.empty();) {
        const auto match =
            ownOf && NamesOtherSheet(formula, at, *ownOf)
                ? items.end()
                : std::find_if(items.begin(), items.end(), [&](const auto& item) {
                      return std::string_view(formula).substr(at).starts_with(item.first);
                  });
        if (match == items.end()) {
            ++at;
            continue;
        }
        result.append(formula, rest, at - rest).append(match->second);
        at += match->first.size();
        rest = at;
    }
    if (rest > 0) formula = std::move(result.append(formula, rest));
}

}  // namespace

bool ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty() || from == to) return false;
    size_t found = text.find(from);
    if (found == std::string::npos) return false;
    std::string result;
    result.reserve(text.size() + (to.size() > from.size() ? 4 * (to.size() - from.size()) : 0));
    size_t rest = 0;
    while (found != std::string::npos) {
        result.append(text, rest, found - rest).append(to);
        rest = found + from.size();
        found = text.find(from, rest);
    }
    result.append(text, rest);
    text = std::move(result);
    return true;
}

void ResolveReferences(app::IPrompt& prompt, FormulaList& formulas,
                       const app::StringCollection& replacements,
                       std::optional<std::string_view> ownOf) {
    app::Trap(prompt, app::proc::ResolveReferences, [&] {
        // The items before one without a bar still apply; that one is then reported.
        std::vector<std::pair<std::string_view, std::string_view>> items;
        const std::string* broken = nullptr;
        for (const auto& entry : replacements) {
            if (entry.item.find('|') == std::string::npos) {
                broken = &entry.item;
                break;
            }
            if (const auto item = SplitItem(entry.item); !item.first.empty()) items.push_back(item);
        }
        for (auto& formula : formulas)
            ReplaceOnce(formula, items, ownOf);
        if (broken) SplitItem(*broken);
    });
}

void ResolveReferencesToSelf(app::IPrompt& prompt, FormulaList& formulas, int16_t shift,
                             int16_t section, std::string_view self) {
    app::Trap(prompt, app::proc::ResolveReferencesToSelf, [&] {
        const std::string label = GetSectionString(prompt, section);
        if (label.empty()) return;
        for (auto& formula : formulas)
            RenumberRows(formula, label, self, [shift](int64_t row) { return row + shift; });
    });
}

void ResolveReferencesToRows(app::IPrompt& prompt, FormulaList& formulas, const RowMap& rows,
                             int16_t section, int16_t shift, std::string_view self) {
    app::Trap(prompt, app::proc::ResolveReferencesToRows, [&] {
        const std::string label = GetSectionString(prompt, section);
        if (label.empty()) return;
        // Formulas number the rows of a section from 1: Scratch.X1 is row 0.
        for (auto& formula : formulas)
            RenumberRows(formula, label, self,
                         [&](int64_t row) { return MappedNumber(rows, row, 1, shift); });
    });
}

void ResolveGeometryRowReferences(app::IPrompt& prompt, FormulaList& formulas, const RowMap& rows,
                                  int16_t sourceSection, int16_t shift, std::string_view self) {
    app::Trap(prompt, app::proc::ResolveGeometryRowReferences, [&] {
        // Formulas number Geometry rows from 0: Geometry1.X1 is row 1 of section 10.
        const std::string label = std::string(kGeometry) + std::to_string(sourceSection - 9);
        for (auto& formula : formulas)
            RenumberRows(formula, label, self,
                         [&](int64_t row) { return MappedNumber(rows, row, 0, shift); });
    });
}

void ResolveGeometryReferencesToSelf(app::IPrompt& prompt, FormulaList& formulas,
                                     int16_t sourceSection, int16_t destinationSection,
                                     std::string_view self) {
    app::Trap(prompt, app::proc::ResolveGeometryReferencesToSelf, [&] {
        // Formulas number Geometry sections from 1: section 10 is Geometry1.
        const int64_t from = sourceSection - 9;
        const int64_t to = destinationSection - 9;
        for (auto& formula : formulas)
            RenumberGeometry(formula, from, to, self);
    });
}

void ResolveFormulaReferencesToParent(std::string& formula, const visio::ShapePtr& source,
                                      const visio::ShapePtr& destination) {
    app::IgnoreFailure([&] {
        const std::string from = visio::NameIDOf(visio::Required(source).Parent()) + "!";
        const std::string to = visio::NameIDOf(visio::Required(destination).Parent()) + "!";
        ReplaceAll(formula, from, to);
    });
}

}  // namespace tess::engine
