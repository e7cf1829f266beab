#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "formula/Evaluate.h"

namespace tess::formula::test {

/// A few sheets in memory for resolving and evaluating formulas: "self" (the formula's own
/// sheet), "Sheet.5", "My Shape", "ThePage", "TheDoc" and the page sheet "Pages[Page-2]".
/// Cells hold a value or a formula, which is computed when read, cycles guarded.
class TestSheets : public ISheetResolver {
public:
    struct Sheet {
        std::map<std::tuple<int16_t, int16_t, int16_t>, std::string> formulas;
        std::map<std::tuple<int16_t, int16_t, int16_t>, Value> values;
        std::map<std::pair<int16_t, std::string>, int16_t> namedRows;
    };

    TestSheets() {
        for (const char* name :
             {"self", "Sheet.5", "My Shape", "ThePage", "TheDoc", "Pages[Page-2]"}) {
            m_sheets[name] = std::make_unique<Sheet>();
        }
    }

    Sheet& Get(const std::string& name) { return *m_sheets.at(name); }

    /// Puts a value (or, for text starting with "=", a formula) in a cell named as formulas name
    /// it.
    void Set(const std::string& sheet, std::string_view cellName, Value value) {
        const auto cell = DecodeCellName(cellName);
        if (!cell) throw std::invalid_argument(std::string(cellName));
        Get(sheet).values[Key(sheet, *cell)] = std::move(value);
    }
    void SetFormula(const std::string& sheet, std::string_view cellName, std::string formula) {
        const auto cell = DecodeCellName(cellName);
        if (!cell) throw std::invalid_argument(std::string(cellName));
        Get(sheet).formulas[Key(sheet, *cell)] = std::move(formula);
    }

    ISheetResolver::Sheet FindSheet(const SheetSelector& selector) override {
        std::string name;
        switch (selector.kind) {
            case SheetKind::Self:
                name = selector.collection.empty()
                           ? m_current
                           : selector.collection + "[" + selector.item + "]";
                break;
            case SheetKind::ById:
                name = "Sheet." + std::to_string(selector.id);
                break;
            case SheetKind::ByName:
                name = selector.name;
                break;
            case SheetKind::ThePage:
                name = "ThePage";
                break;
            case SheetKind::TheDoc:
                name = "TheDoc";
                break;
            case SheetKind::Computed:
                return nullptr;
        }
        const auto found = m_sheets.find(name);
        return found == m_sheets.end() ? nullptr : found->second.get();
    }

    std::optional<int16_t> FindRow(ISheetResolver::Sheet sheet, const CellName& cell) override {
        const auto& data = *static_cast<const Sheet*>(sheet);
        int16_t row = cell.row;
        if (cell.named) {
            std::string lowered = cell.rowName;
            for (char& c : lowered)
                c = static_cast<char>(std::tolower(c));
            const auto found = data.namedRows.find({cell.section, lowered});
            if (found == data.namedRows.end()) return std::nullopt;
            row = found->second;
        }
        const auto key = std::make_tuple(cell.section, row, cell.cell);
        if (!data.values.count(key) && !data.formulas.count(key)) return std::nullopt;
        return row;
    }

    Value CellValue(ISheetResolver::Sheet sheet, int16_t section, int16_t row,
                    int16_t cell) override {
        const auto& data = *static_cast<const Sheet*>(sheet);
        const auto key = std::make_tuple(section, row, cell);
        const auto formula = data.formulas.find(key);
        if (formula == data.formulas.end()) return data.values.at(key);
        if (!m_guard.Enter(reinterpret_cast<uintptr_t>(&formula->second)))
            return Value::Error(ErrorValue::Ref);
        const std::string previous = m_current;
        m_current = NameOf(sheet);
        const Value value = Evaluate(Parse(formula->second).formula, *this);
        m_current = previous;
        m_guard.Leave(reinterpret_cast<uintptr_t>(&formula->second));
        return value;
    }

    Value Eval(std::string_view text) {
        const ParseResult parsed = Parse(text);
        if (parsed.error) throw std::invalid_argument("syntax: " + std::string(text));
        return Evaluate(parsed.formula, *this);
    }

private:
    std::tuple<int16_t, int16_t, int16_t> Key(const std::string& sheet, const CellName& cell) {
        if (!cell.named) return {cell.section, cell.row, cell.cell};
        std::string lowered = cell.rowName;
        for (char& c : lowered)
            c = static_cast<char>(std::tolower(c));
        auto& rows = Get(sheet).namedRows;
        const auto found = rows.find({cell.section, lowered});
        int16_t row = 0;
        if (found != rows.end()) {
            row = found->second;
        } else {
            for (const auto& [existing, index] : rows) {
                if (existing.first == cell.section)
                    row = std::max<int16_t>(row, int16_t(index + 1));
            }
            rows[{cell.section, lowered}] = row;
        }
        return {cell.section, row, cell.cell};
    }

    std::string NameOf(ISheetResolver::Sheet sheet) const {
        for (const auto& [name, data] : m_sheets) {
            if (data.get() == sheet) return name;
        }
        return m_current;
    }

    std::map<std::string, std::unique_ptr<Sheet>> m_sheets;
    std::string m_current = "self";
    CycleGuard m_guard;
};

}  // namespace tess::formula::test
