#include "sweep/Oracle.h"

#include <algorithm>
#include <functional>
#include <map>

#include "platform/visio/Resolver.h"
#include "window/RowListing.h"
#include "engine/CopyPrimitives.h"
#include "engine/SectionCatalogue.h"
#include "formula/Formula.h"
#include "platform/visio/Constants.h"

namespace tess::sweep {
namespace {

using engine::CatalogueEntry;
using engine::EntryKind;
using visio::ShapePtr;

/// A row of the source as read before the copy: where it is, and its cells' formulas.
struct SourceRow {
    int16_t section = 0;
    int16_t row = 0;
    std::string name;
    int16_t type = 0;
    std::vector<int16_t> cells;
    std::vector<std::string> formulas;
};

struct EntryExpectation {
    const CatalogueEntry* entry = nullptr;
    bool named = false;
    bool ordered = false;
    std::vector<SourceRow> rows;  // in the order they are to land
};

/// A member of the source group, by what a destination member is matched with.
struct Member {
    int32_t id = 0;
    std::string name;
    std::string nameU;
    // By master name and ID, which a run does not change: after a run that writes into a master,
    // its instances' members were seen pointing at sheets other than those collected before.
    std::string masterShape;  // the master shape it is made from
    std::string own;          // itself, when it lies in a master (instances' members inherit it)
};

struct DestinationBefore {
    std::string address;
    int32_t id = 0;
    bool changedByRun = false;  // it inherits from what the run writes before it
    std::map<int16_t, int16_t> rowCounts;  // by section
    int16_t geometryCount = 0;
};

/// How references read on one side of the copy: the sheet itself, its members (as tokens both
/// sides share) and the rows and Geometry sections of the section a formula belongs to.
struct Side {
    const Side* destination = nullptr;  // on the source's side: how the destination reads IDs
    int32_t self = 0;
    std::map<int32_t, std::string> members;
    int16_t section = -1;
    std::map<int16_t, std::string> rowTokens;
    std::function<std::string(int16_t)> otherRow;
    std::map<int16_t, std::string> geometryTokens;
};

std::string IdToken(const Side& side, int32_t id) {
    if (id == side.self) return "@self!";
    const auto member = side.members.find(id);
    return member != side.members.end() ? "@" + member->second + "!"
                                        : "Sheet." + std::to_string(id) + "!";
}

/// The formula with each reference written as the side's tokens: two formulas that name the
/// same things on their sides read alike.
std::string Canonical(const std::string& text, const Side& side) {
    const formula::ParseResult parsed = formula::Parse(text);
    if (parsed.error) return "unparsed:" + text;
    std::vector<formula::Reference> references = parsed.formula.references;
    std::sort(references.begin(), references.end(),
              [](const auto& a, const auto& b) { return a.begin < b.begin; });
    std::string result;
    size_t rest = 0;
    for (const formula::Reference& reference : references) {
        if (reference.begin < rest || reference.end > text.size()) continue;
        result.append(text, rest, reference.begin - rest);
        rest = reference.end;
        const std::string raw = text.substr(reference.begin, reference.end - reference.begin);
        const formula::SheetSelector& sheet = reference.sheet;
        const Side* reader = &side;
        bool self = sheet.kind == formula::SheetKind::Self && sheet.collection.empty();
        std::string prefix;
        if (sheet.kind == formula::SheetKind::ById && sheet.collection.empty()) {
            // A shape the source side does not know is named by the same text on both sides:
            // it means there what it means on the destination's side.
            if (sheet.id != side.self && !side.members.count(sheet.id) && side.destination)
                reader = side.destination;
            self = sheet.id == reader->self;
            prefix = IdToken(*reader, sheet.id);
        } else if (!self) {
            result += raw;
            continue;
        }
        const auto& cell = reference.cell;
        if (!self || !cell || cell->named) {
            result += prefix + reference.cellText;
            continue;
        }
        std::string section = "s" + std::to_string(cell->section);
        if (const auto found = reader->geometryTokens.find(cell->section);
            found != reader->geometryTokens.end())
            section = found->second;
        std::string row = std::to_string(cell->row);
        if (cell->section == reader->section) {
            const auto found = reader->rowTokens.find(cell->row);
            row = found != reader->rowTokens.end() ? found->second : reader->otherRow(cell->row);
        }
        result += prefix + "{" + section + " " + row + " " + std::to_string(cell->cell) + "}";
    }
    return result + text.substr(std::min(rest, text.size()));
}

/// The master shapes a shape inherits from, one after the other, as "master/ID".
std::vector<std::string> Inheritance(ShapePtr shape) {
    std::vector<std::string> chain;
    for (int depth = 0; depth < 16 && (shape = shape->MasterShape()); ++depth)
        chain.push_back(shape->ContainingMaster()->Name() + "/" + std::to_string(shape->ID()));
    return chain;
}

std::string MasterKey(const ShapePtr& shape) {
    const visio::MasterPtr master = shape->ContainingPage() ? nullptr : shape->ContainingMaster();
    return master ? master->Name() + "/" + std::to_string(shape->ID()) : std::string();
}

void CollectMembers(const ShapePtr& shape, std::vector<Member>& members) {
    const visio::ShapesPtr shapes = shape->Shapes();
    for (int16_t i = 1; shapes && i <= shapes->Count(); ++i) {
        const ShapePtr member = shapes->Item(i);
        const ShapePtr masterShape = member->MasterShape();
        members.push_back({member->ID(), member->Name(), member->NameU(),
                           masterShape ? MasterKey(masterShape) : std::string(), MasterKey(member)});
        CollectMembers(member, members);
    }
}

/// The destination member a source member's references go to: the one made from the same
/// master shape (or that master shape itself, or made from it), else the one of the same name.
std::map<int32_t, std::string> MatchMembers(const std::vector<Member>& source,
                                            const ShapePtr& destination, bool sourceSide) {
    std::vector<Member> theirs;
    CollectMembers(destination, theirs);
    std::map<int32_t, std::string> tokens;
    for (size_t k = 0; k < source.size(); ++k) {
        const Member& member = source[k];
        const auto same = [&](auto test) {
            return std::find_if(theirs.begin(), theirs.end(), test);
        };
        // Made from the same master shape, or one is the master shape the other is made from.
        auto found = same([&](const Member& m) {
            return (!member.masterShape.empty() && m.masterShape == member.masterShape) ||
                   (!m.masterShape.empty() && m.masterShape == member.own) ||
                   (!member.masterShape.empty() && member.masterShape == m.own);
        });
        if (found == theirs.end())
            found = same([&](const Member& m) { return m.name == member.name; });
        if (found == theirs.end())
            found = same([&](const Member& m) { return m.nameU == member.nameU; });
        if (found == theirs.end()) continue;
        tokens[sourceSide ? member.id : found->id] = "m" + std::to_string(k);
    }
    return tokens;
}

SourceRow ReadRow(const ShapePtr& sheet, int16_t section, int16_t row, std::vector<int16_t> cells) {
    SourceRow read{section, row, {}, 0, std::move(cells), {}};
    if (section != visio::visSectionObject) {
        read.name = sheet->CellsSRC(section, row, 0)->RowName();
        read.type = sheet->RowType(section, row);
    }
    engine::CellTriples triples;
    for (int16_t cell : read.cells)
        triples.insert(triples.end(), {section, row, cell});
    read.formulas = sheet->GetFormulas(triples);
    return read;
}

std::vector<int16_t> GeometryCells(const ShapePtr& sheet, int16_t section, int16_t row) {
    std::vector<int16_t> cells;
    for (int16_t cell = 0; cell < sheet->RowsCellCount(section, row); ++cell)
        cells.push_back(cell);
    return cells;
}

EntryExpectation Expect(const ShapePtr& source, const CatalogueEntry& entry,
                        const CopyCase::Rows* chosen) {
    Quiet prompt;
    EntryExpectation expected{&entry};
    std::vector<int16_t> cells;
    if (entry.kind == EntryKind::SingleRow) {
        const int16_t row = entry.row == visio::kRowGlueInfo ? visio::visRowMisc : entry.row;
        if (source->RowExists(entry.section, row, 0) &&
            engine::GetCellIndicies(prompt, source, entry.section, entry.row, cells))
            expected.rows.push_back(ReadRow(source, entry.section, row, cells));
        return expected;
    }
    if (entry.kind == EntryKind::WholeSection || entry.kind == EntryKind::Nothing) return expected;
    const std::vector<window::ListedRow> listed = window::ListEntryRows(source, entry);
    std::vector<size_t> positions;
    if (chosen) {
        positions = chosen->chosen;
        if (!chosen->order.empty()) {
            std::vector<size_t> ordered;
            for (size_t p : chosen->order)
                ordered.push_back(positions[p]);
            positions = ordered;
            expected.ordered = true;
        }
    } else {
        for (size_t i = 0; i < listed.size(); ++i)
            positions.push_back(i);
    }
    expected.named = entry.kind == EntryKind::NamedRows ||
                     (entry.kind == EntryKind::IndexedOrNamed &&
                      engine::HasNamedRows(source, entry.section));
    const bool geometry = entry.kind == EntryKind::GeometryRows;
    if (!geometry) engine::GetCellIndicies(prompt, source, entry.section, 0, cells);
    for (size_t position : positions) {
        const window::ListedRow& row = listed[position];
        expected.rows.push_back(ReadRow(source, row.section, row.row,
                                        geometry ? GeometryCells(source, row.section, row.row)
                                                 : cells));
    }
    return expected;
}

bool Refused(const engine::DestinationReport& report, int16_t section) {
    return std::any_of(report.refused.begin(), report.refused.end(), [&](const auto& refused) {
        return refused.section == section ||
               (visio::IsGeometrySection(section) && visio::IsGeometrySection(refused.section));
    });
}

bool Shortfall(const engine::DestinationReport& report, int16_t section) {
    return std::any_of(report.shortfalls.begin(), report.shortfalls.end(), [&](const auto& shortfall) {
        return shortfall.section == section ||
               (visio::IsGeometrySection(section) && visio::IsGeometrySection(shortfall.section));
    });
}

}  // namespace

struct Expectation::Data {
    CopyCase copy;
    int32_t sourceId = 0;
    int16_t sourceGeometryCount = 0;
    std::vector<Member> members;
    std::vector<EntryExpectation> entries;
    std::vector<DestinationBefore> destinations;

    /// One destination: every entry as far as the report does not say why not.
    void CheckDestination(const engine::DestinationReport& report, const DestinationBefore& before,
                          std::vector<Violation>& violations) const;
    /// Rows of the source landed on rows of the destination (source row to destination row);
    /// each cell's formula must read as the source's.
    void CompareRows(const ShapePtr& destination, const std::vector<std::pair<size_t, int16_t>>& rows,
                     const EntryExpectation& expected, const std::map<int16_t, int16_t>& sections,
                     int16_t sectionShift, const std::string& where,
                     std::vector<Violation>& violations) const;
};

Expectation::Expectation(cli::Workspace& files, const CopyCase& copy)
    : m_data(std::make_unique<Data>()) {
    Data& data = *m_data;
    data.copy = copy;
    const visio::Resolver names(files.AppPtr());
    const auto sheetOf = [&](const std::string& address) {
        return names.Resolve(visio::ObjectPath::Parse(address)).sheet;
    };
    const ShapePtr source = sheetOf(copy.source);
    data.sourceId = source->ID();
    data.sourceGeometryCount = source->GeometryCount();
    CollectMembers(source, data.members);
    for (int16_t index : copy.entries) {
        data.entries.push_back(
            Expect(source, *engine::FindCatalogueEntry(index), copy.RowsOf(index)));
    }
    // A destination in a master that the source or another destination inherits from changes
    // them while the run goes: what they are to hold is not known before.
    std::vector<std::string> written;
    for (const std::string& address : copy.destinations)
        written.push_back(MasterKey(sheetOf(address)));
    const auto inheritsWritten = [&](const ShapePtr& shape) {
        for (const std::string& key : Inheritance(shape)) {
            if (std::find(written.begin(), written.end(), key) != written.end()) return true;
        }
        return false;
    };
    const bool sourceChanges = inheritsWritten(source);
    for (const std::string& address : copy.destinations) {
        const ShapePtr destination = sheetOf(address);
        DestinationBefore before{address, destination->ID(),
                                 sourceChanges || inheritsWritten(destination)};
        for (const EntryExpectation& expected : data.entries) {
            const int16_t section = expected.entry->section;
            if (section > visio::visSectionObject)
                before.rowCounts[section] = destination->RowCount(section);
        }
        before.geometryCount = destination->GeometryCount();
        data.destinations.push_back(std::move(before));
    }
}

Expectation::~Expectation() = default;
Expectation::Expectation(Expectation&&) noexcept = default;

std::vector<Violation> Expectation::Check(cli::Workspace& /*files*/,
                                          const engine::CopyReport& report) const {
    std::vector<Violation> violations;
    // A run that stopped at a check copied nothing; one undone or cancelled, not all.
    if (report.outcome == engine::CopyOutcome::RolledBack ||
        report.outcome == engine::CopyOutcome::Cancelled ||
        report.outcome == engine::CopyOutcome::Failed)
        return violations;
    for (const DestinationBefore& before : m_data->destinations) {
        const auto found =
            std::find_if(report.destinations.begin(), report.destinations.end(),
                         [&](const auto& destination) { return destination.key == before.address; });
        if (found == report.destinations.end()) {
            violations.push_back({"not copied", before.address + ": not in the report"});
            continue;
        }
        if (before.changedByRun) continue;
        m_data->CheckDestination(*found, before, violations);
    }
    return violations;
}

void Expectation::Data::CheckDestination(const engine::DestinationReport& report,
                                         const DestinationBefore& original,
                                         std::vector<Violation>& violations) const {
    const ShapePtr destination = report.sheet;
    // A shape that became a group for the source's sub-shapes: the group had nothing before.
    DestinationBefore before = original;
    if (destination->ID() != original.id) {
        before.geometryCount = 0;
        for (auto& [section, count] : before.rowCounts)
            count = 0;
    }
    const bool append = copy.append;
    for (const EntryExpectation& expected : entries) {
        const CatalogueEntry& entry = *expected.entry;
        if (expected.rows.empty() || Refused(report, entry.section)) continue;
        const std::string where = before.address + " [" + window::CaptionOf(entry) + "]";
        std::vector<std::pair<size_t, int16_t>> rows;  // expected row to destination row
        std::map<int16_t, int16_t> sections;           // Geometry: source to destination section
        if (entry.kind == EntryKind::SingleRow) {
            if (!destination->RowExists(entry.section, expected.rows[0].row, 0)) continue;
            rows.emplace_back(0, expected.rows[0].row);
        } else if (expected.named) {
            std::vector<int16_t> landed;
            for (size_t i = 0; i < expected.rows.size(); ++i) {
                int16_t found = -1;
                for (int16_t j = 0; j < destination->RowCount(entry.section) && found < 0; ++j) {
                    if (destination->CellsSRC(entry.section, j, 0)->RowName() ==
                        expected.rows[i].name)
                        found = j;
                }
                if (found < 0) {
                    violations.push_back(
                        {"row missing", where + ": no row " + expected.rows[i].name});
                    continue;
                }
                rows.emplace_back(i, found);
                landed.push_back(found);
            }
            if (expected.ordered && !std::is_sorted(landed.begin(), landed.end()) &&
                !Shortfall(report, entry.section)) {
                violations.push_back({"order not kept", where + ": rows out of the order asked, "
                                                                "and the report does not say so"});
            }
        } else if (entry.kind == EntryKind::GeometryRows) {
            if (Shortfall(report, visio::visSectionFirstComponent)) continue;  // Geometry kept
            // Each source section with rows chosen lands on the next destination section; a
            // section without its first (component) row gets one of its own first.
            auto next = static_cast<int16_t>(visio::visSectionFirstComponent +
                                              (append ? before.geometryCount : 0));
            std::map<int16_t, int16_t> count;
            const bool whole = !copy.RowsOf(entry.index);
            for (size_t i = 0; i < expected.rows.size(); ++i) {
                const SourceRow& row = expected.rows[i];
                if (!sections.count(row.section)) {
                    sections[row.section] = next++;
                    count[row.section] = !whole && row.row != 0 ? 1 : 0;
                }
                const int16_t at = whole ? row.row : count[row.section]++;
                rows.emplace_back(i, at);
            }
            for (const auto& [from, to] : sections) {
                if (to >= visio::visSectionFirstComponent + destination->GeometryCount()) {
                    violations.push_back({"section missing", where + ": no Geometry" +
                                                                 std::to_string(to - 9)});
                    return;
                }
            }
        } else if (entry.section == visio::visSectionTextField) {
            // Its rows are the text's fields: with the text copied the source's, each chosen
            // row on its own; else overwritten in order, all of them, or the report says not.
            if (Shortfall(report, entry.section)) continue;
            const int16_t type = destination->Type();
            const bool textCopied = copy.shapeText && (type == visio::visTypeShape ||
                                                       type == visio::visTypeGroup);
            for (size_t i = 0; i < expected.rows.size(); ++i) {
                const auto at = textCopied ? expected.rows[i].row : static_cast<int16_t>(i);
                if (at >= destination->RowCount(entry.section)) {
                    violations.push_back({"row count", where + ": no field row " +
                                                           std::to_string(at + 1)});
                    break;
                }
                rows.emplace_back(i, at);
            }
        } else {
            const int16_t base = append ? before.rowCounts.at(entry.section) : int16_t{0};
            const auto expectedCount = static_cast<int16_t>(base + expected.rows.size());
            // Rows other formulas name stay past the copied ones, as the report says.
            const bool kept = Shortfall(report, entry.section);
            if (kept ? destination->RowCount(entry.section) < expectedCount
                     : destination->RowCount(entry.section) != expectedCount) {
                violations.push_back(
                    {"row count", where + ": " + std::to_string(destination->RowCount(entry.section)) +
                                      " rows where " + std::to_string(expectedCount) + " belong"});
                continue;
            }
            for (size_t i = 0; i < expected.rows.size(); ++i)
                rows.emplace_back(i, static_cast<int16_t>(base + i));
        }
        // References to the source's Geometry sections that were not copied move as appended
        // sections move (by the destination's count before), or not at all when overwriting.
        CompareRows(destination, rows, expected, sections, append ? before.geometryCount : 0,
                    where, violations);
    }
}

void Expectation::Data::CompareRows(const ShapePtr& destination,
                                    const std::vector<std::pair<size_t, int16_t>>& rows,
                                    const EntryExpectation& expected,
                                    const std::map<int16_t, int16_t>& sections,
                                    int16_t sectionShift, const std::string& where,
                                    std::vector<Violation>& violations) const {
    Side target{nullptr, destination->ID(), {}};
    Side source{&target, sourceId, {}};
    source.members = MatchMembers(members, destination, true);
    target.members = MatchMembers(members, destination, false);
    for (const auto& [from, to] : sections) {
        source.geometryTokens[from] = "g" + std::to_string(from);
        target.geometryTokens[to] = "g" + std::to_string(from);
    }
    for (int16_t g = 0; !sections.empty() && g < sourceGeometryCount; ++g) {
        const auto from = static_cast<int16_t>(visio::visSectionFirstComponent + g);
        if (sections.count(from)) continue;
        const auto landing = static_cast<int16_t>(from + sectionShift);
        const auto found = target.geometryTokens.find(landing);
        source.geometryTokens[from] =
            found != target.geometryTokens.end() ? found->second : "s" + std::to_string(landing);
    }
    for (const auto& [index, row] : rows) {
        const SourceRow& read = expected.rows[index];
        const int16_t landing = visio::IsGeometrySection(read.section) ? sections.at(read.section)
                                                                       : read.section;
        source.section = read.section;
        target.section = landing;
        source.rowTokens.clear();
        target.rowTokens.clear();
        for (const auto& [other, otherRow] : rows) {
            const SourceRow& copied = expected.rows[other];
            const int16_t copiedLanding = visio::IsGeometrySection(copied.section)
                                              ? sections.at(copied.section)
                                              : copied.section;
            if (copied.section != read.section || copiedLanding != landing) continue;
            source.rowTokens[copied.row] = "r" + std::to_string(copied.row);
            target.rowTokens[otherRow] = "r" + std::to_string(copied.row);
        }
        // A row not copied: the reference moves as its own row moved, onto whatever row is there.
        const int shift = row - read.row;
        source.otherRow = [shift, &target](int16_t r) {
            const auto landed = target.rowTokens.find(static_cast<int16_t>(r + shift));
            return landed != target.rowTokens.end() ? landed->second
                                                    : "d" + std::to_string(r + shift);
        };
        target.otherRow = [](int16_t r) { return "d" + std::to_string(r); };
        if (visio::IsGeometrySection(read.section) &&
            destination->RowType(landing, row) != read.type) {
            violations.push_back({"row type", where + ": row " + std::to_string(row) +
                                                  " is not of the source row's type"});
            continue;
        }
        engine::CellTriples triples;
        for (int16_t cell : read.cells)
            triples.insert(triples.end(), {landing, row, cell});
        const std::vector<std::string> written = destination->GetFormulas(triples);
        for (size_t c = 0; c < read.cells.size(); ++c) {
            const std::string& formula = read.formulas[c];
            const bool local = destination->CellsSRCExists(landing, row, read.cells[c], 1);
            const bool same = formula.empty()
                                  ? !local || written[c].empty()
                                  : Canonical(formula, source) == Canonical(written[c], target);
            if (!same) {
                violations.push_back(
                    {"formula", where + " row " + std::to_string(row) + " cell " +
                                    std::to_string(read.cells[c]) + ": '" + written[c] +
                                    "' where the source's '" + formula + "' belongs"});
            }
        }
    }
}

}  // namespace tess::sweep
