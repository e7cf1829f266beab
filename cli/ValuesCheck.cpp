#include "cli/ValuesCheck.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "cli/Json.h"
#include "cli/Session.h"
#include "formula/CellCatalogue.h"
#include "formula/Formula.h"
#include "host/vsdx/Format.h"
#include "platform/visio/Constants.h"

namespace tess::cli {
namespace {

using formula::Need;
using formula::Value;

/// One value the file stores that the model computes otherwise.
struct Disagreement {
    std::string object;
    std::string cell;
    std::string formula;
    std::string visio;
    std::string ours;
    std::string cause;
};

/// The values of one file.
struct FileTally {
    std::string file;
    size_t compared = 0;
    size_t agreed = 0;
};

struct ValuesTally {
    std::vector<FileTally> files;
    std::map<Need, size_t> notCompared;  // values that need what no file holds
    size_t themed = 0;                   // cells that hold "Themed" instead of a value
    std::vector<Disagreement> disagreements;
};

/// A date and time as the file writes it ("2016-04-12T19:06:55"), in days since 30 December
/// 1899 as formulas compute them.
std::optional<double> DateSerial(std::string_view text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (std::sscanf(std::string(text).c_str(), "%d-%d-%dT%d:%d:%lf", &year, &month, &day, &hour,
                    &minute, &second) != 6) {
        return std::nullopt;
    }
    const std::chrono::year_month_day date{std::chrono::year(year),
                                           std::chrono::month(static_cast<unsigned>(month)),
                                           std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) return std::nullopt;
    constexpr double kDaysBeforeUnixEpoch = 25569;
    const double days = std::chrono::sys_days(date).time_since_epoch().count();
    return days + kDaysBeforeUnixEpoch + (hour * 3600 + minute * 60 + second) / 86400;
}

/// A stored value as a number: numbers and colors as they are, text that reads as a number
/// (the file's values carry no type), dates in days.
std::optional<double> StoredNumber(const Value& stored, std::string_view unit) {
    if (stored.type == Value::Type::String && unit == "DATE") return DateSerial(stored.text);
    return formula::NumberOf(stored);
}

bool SameNumber(double a, double b) {
    // Relative to the larger, but never finer than a billionth: Visio writes 0 for what
    // computes as 1E-17.
    return std::fabs(a - b) <= std::max(1e-6 * std::max(std::fabs(a), std::fabs(b)), 1e-9);
}

/// Whether the value computed agrees with the value the file stores in that unit.
bool Agrees(const Value& stored, std::string_view unit, const Value& ours) {
    if (stored.type == Value::Type::Error || ours.type == Value::Type::Error)
        return stored.type == ours.type;
    if (!ours.IsKnown()) return false;
    if (stored.type == Value::Type::Color || ours.type == Value::Type::Color)
        return stored.type == ours.type && stored.Rgb() == ours.Rgb();
    if (stored.type == Value::Type::String && ours.type == Value::Type::String)
        return stored.text == ours.text;
    const auto a = StoredNumber(stored, unit);
    const auto b = formula::NumberOf(ours);
    if (a && b) return SameNumber(*a, *b);
    return formula::TextOf(stored) == formula::TextOf(ours);
}

std::string Shown(const Value& value) {
    switch (value.type) {
        case Value::Type::String:
            return std::string(1, '"').append(value.text.view()).append(1, '"');
        case Value::Type::Error:
            return std::string(formula::ErrorText(value.error));
        case Value::Type::NotComputable:
            return "not computed (" + value.text.str() + ")";
        default:
            return formula::TextOf(value);
    }
}

/// The functions a formula calls, in capitals, sorted.
std::set<std::string> FunctionsOf(std::string_view text) {
    std::set<std::string> names;
    const formula::ParseResult parsed = formula::Parse(text);
    for (const formula::Node& node : parsed.formula.nodes) {
        if (node.kind != formula::NodeKind::Call) continue;
        std::string name(parsed.formula.FunctionName(node));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
        names.insert(std::move(name));
    }
    return names;
}

std::string Listed(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

/// What a disagreement comes from, as far as the formula shows it: disagreements of one cause
/// are printed as one line.
std::string CauseOf(const Value& stored, const Value& ours, const std::string& formula) {
    if (!ours.IsKnown()) return "not computed: " + ours.text.str();
    const auto functions = FunctionsOf(formula);
    const std::string in = functions.empty() ? " (no function)" : " (" + Listed(functions) + ")";
    if (ours.type == Value::Type::Error)
        return "computed " + std::string(formula::ErrorText(ours.error)) + " for a value" + in;
    if (stored.type == Value::Type::Error) return "computed a value for an error" + in;
    return "values differ" + in;
}

/// Whether a cell holds a font, which formulas give by number and files write by name.
bool IsFontCell(int16_t section, int16_t cell) {
    return (section == visio::visSectionCharacter && (cell == 0 || cell == 51 || cell == 52)) ||
           (section == visio::visSectionParagraph && cell == 9);
}

/// The name of the font a number gives, from the document's fonts (numbered from 1); nullopt
/// for a number beyond them, which names a font of the Visio that saved the file.
std::optional<std::string> FontName(const embedded::SheetData& sheet, double number) {
    const auto* fonts = sheet.document ? &sheet.document->faceNames : nullptr;
    if (!fonts || !(number >= 1 && number <= static_cast<double>(fonts->size())))
        return std::nullopt;
    return (*fonts)[static_cast<size_t>(number) - 1];
}

class Checker {
public:
    Checker(embedded::Model& model, ValuesTally& tally) : m_model(model), m_tally(tally) {}

    void CheckSheet(const embedded::SheetPtr& sheet, const std::string& address) {
        // Copies: recalculating reads the sheets, and may read a page's shapes in.
        for (const embedded::CellData& cell :
             std::vector<embedded::CellData>(sheet->objectCells.cells)) {
            Check(sheet, address, visio::visSectionObject, static_cast<int16_t>(cell.index / 64),
                  static_cast<int16_t>(cell.index % 64), cell, {});
        }
        for (const embedded::SectionData& section :
             std::vector<embedded::SectionData>(sheet->sections)) {
            for (size_t r = 0; r < section.rows.size(); ++r) {
                for (const embedded::CellData& cell : section.rows[r].cells) {
                    Check(sheet, address, section.index, static_cast<int16_t>(r), cell.index, cell,
                          section.rows[r].name);
                }
            }
        }
    }

private:
    void Check(const embedded::SheetPtr& sheet, const std::string& address, int16_t section,
               int16_t row, int16_t index, const embedded::CellData& cell,
               std::string_view rowName) {
        if (!cell.inFile) return;
        if (!cell.value.IsKnown()) {
            ++m_tally.themed;  // Visio's word for a value its theme gives where it is used
            return;
        }
        Value ours = m_model.Values().Recalculated(sheet, section, row, index);
        if (IsFontCell(section, index) && ours.IsNumber() && ours.number != 0 &&
            cell.value.type == Value::Type::String) {
            const std::optional<std::string> name = FontName(*sheet, ours.number);
            ours = name ? Value::String(*name) : Value::NotComputable(Need::Environment);
        }
        if (ours.need != Need::None && ours.need != Need::Computation) {
            ++m_tally.notCompared[ours.need];
            return;
        }
        FileTally& file = m_tally.files.back();
        ++file.compared;
        if (Agrees(cell.value, vsdx::UnitName(cell.unit), ours)) {
            ++file.agreed;
            return;
        }
        const std::string formula = m_model.Formula(*sheet, section, row, index);
        m_tally.disagreements.push_back(
            {address, formula::CellNameText(section, row, index, rowName), formula,
             Shown(cell.value), Shown(ours), CauseOf(cell.value, ours, formula)});
    }

    embedded::Model& m_model;
    ValuesTally& m_tally;
};

/// A count with thousands separators: 12,345.
std::string Count(size_t count) {
    const std::string digits = std::to_string(count);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

/// What a value not compared needs, as JSON names it and as the text says it.
struct NeedNames {
    Need need;
    std::string_view json;
    std::string_view text;
};

constexpr NeedNames kNeeds[] = {
    {Need::TextMetrics, "textMetrics", "the size of drawn text"},
    {Need::Clock, "clock", "the clock"},
    {Need::Environment, "environment", "the user's settings, the program or the file's place"},
    {Need::Layout, "layout", "where connector routing put a connector's ends"},
};

struct Group {
    size_t count = 0;
    size_t first = 0;  // the index of its first disagreement
};

/// The disagreements by cause, the largest groups first.
std::vector<std::pair<std::string, Group>> Groups(const ValuesTally& tally) {
    std::map<std::string, Group> byCause;
    for (size_t i = 0; i < tally.disagreements.size(); ++i) {
        Group& group = byCause[tally.disagreements[i].cause];
        if (group.count++ == 0) group.first = i;
    }
    std::vector<std::pair<std::string, Group>> groups(byCause.begin(), byCause.end());
    std::stable_sort(groups.begin(), groups.end(),
                     [](const auto& a, const auto& b) { return a.second.count > b.second.count; });
    return groups;
}

Json DisagreementJson(const Disagreement& disagreement) {
    return {{"object", disagreement.object},   {"cell", disagreement.cell},
            {"formula", disagreement.formula}, {"visio", disagreement.visio},
            {"ours", disagreement.ours},       {"cause", disagreement.cause}};
}

void PrintJson(const ValuesTally& tally, size_t compared, size_t agreed, std::ostream& out) {
    Json json = {{"values", compared}, {"agree", agreed}, {"perFile", Json::array()}};
    for (const FileTally& file : tally.files) {
        json["perFile"].push_back(
            {{"file", file.file}, {"values", file.compared}, {"agree", file.agreed}});
    }
    Json notCompared = {{"themed", tally.themed}};
    for (const NeedNames& need : kNeeds) {
        const auto found = tally.notCompared.find(need.need);
        notCompared[std::string(need.json)] = found == tally.notCompared.end() ? 0 : found->second;
    }
    json["notCompared"] = std::move(notCompared);
    json["groups"] = Json::array();
    for (const auto& [cause, group] : Groups(tally)) {
        json["groups"].push_back(
            {{"cause", cause}, {"count", group.count}, {"first", group.first}});
    }
    json["disagreements"] = Json::array();
    for (const Disagreement& disagreement : tally.disagreements)
        json["disagreements"].push_back(DisagreementJson(disagreement));
    out << JsonText(json);
}

void PrintText(const ValuesTally& tally, size_t compared, size_t agreed, std::ostream& out) {
    for (const auto& [cause, group] : Groups(tally)) {
        const Disagreement& example = tally.disagreements[group.first];
        if (group.count > 1) out << Count(group.count) << " values, " << cause << ", as in ";
        out << example.object << '\t' << example.cell << '\t' << example.formula << "\tVisio "
            << example.visio << "\tours " << example.ours << '\n';
    }
    std::string excluded;
    for (const NeedNames& need : kNeeds) {
        const auto found = tally.notCompared.find(need.need);
        if (found == tally.notCompared.end()) continue;
        excluded += excluded.empty() ? "" : ", ";
        excluded += Count(found->second) + " need " + std::string(need.text);
    }
    if (!excluded.empty()) out << "Not compared: " << excluded << '\n';
    if (tally.themed > 0)
        out << Count(tally.themed) << " cells hold \"Themed\" instead of a value\n";
    if (tally.files.size() > 1) {
        for (const FileTally& file : tally.files) {
            out << file.file << ": " << Count(file.agreed) << " of " << Count(file.compared)
                << " values agree\n";
        }
    }
    out << Count(agreed) << " of " << Count(compared) << " values agree\n";
}

}  // namespace

int RunCheckValues(const CheckOptions& options, std::ostream& out) {
    if (options.visio)
        UsageError("check --values compares the values drawing files store; with --visio, Visio "
                   "computes them itself");
    Session session(options);
    ValuesTally tally;
    Checker checker(session.Files().Model(), tally);
    const embedded::DocumentData* document = nullptr;
    session.ForEachSheet([&](const embedded::SheetPtr& sheet, const std::string& address) {
        if (sheet->document != document) {
            document = sheet->document;
            tally.files.push_back({document ? document->name : std::string()});
        }
        checker.CheckSheet(sheet, address);
    });
    size_t compared = 0, agreed = 0;
    for (const FileTally& file : tally.files) {
        compared += file.compared;
        agreed += file.agreed;
    }
    if (options.json)
        PrintJson(tally, compared, agreed, out);
    else
        PrintText(tally, compared, agreed, out);
    return agreed == compared ? 0 : 1;
}

}  // namespace tess::cli
