// Shape text: ranges, runs of character and paragraph formatting, words, paragraphs, fields.
#include <algorithm>
#include <iterator>
#include <tuple>

#include <utf8.h>

#include "formula/CellCatalogue.h"
#include "formula/Evaluate.h"
#include "host/embedded/HostErrors.h"
#include "host/embedded/Model.h"
#include "platform/visio/Constants.h"

namespace tess::embedded {
namespace {

using namespace visio;

}  // namespace

std::string Utf8(std::u32string_view text) {
    std::string out;
    utf8::unchecked::utf32to8(text.begin(), text.end(), std::back_inserter(out));
    return out;
}

/// Text that is not valid UTF-8 (a damaged file, a truncated name) is read with its bad bytes
/// replaced, as the formula functions read it.
std::u32string Utf32(std::string_view text) {
    std::u32string out;
    if (utf8::is_valid(text.begin(), text.end())) {
        utf8::unchecked::utf8to32(text.begin(), text.end(), std::back_inserter(out));
    } else {
        const std::string repaired = formula::RepairedUtf8(text);
        utf8::unchecked::utf8to32(repaired.begin(), repaired.end(), std::back_inserter(out));
    }
    return out;
}

namespace {

const std::vector<TextRun>& RunsOf(const TextData& text, int16_t section) {
    switch (section) {
        case visSectionCharacter:
            return text.charRuns;
        case visSectionParagraph:
            return text.paraRuns;
        default:
            return text.tabRuns;
    }
}

std::vector<TextRun>& RunsOf(TextData& text, int16_t section) {
    return const_cast<std::vector<TextRun>&>(RunsOf(const_cast<const TextData&>(text), section));
}

/// The index of the run holding a position; runs that do not start at 0 count from 0.
size_t RunIndexAt(const std::vector<TextRun>& runs, int32_t position) {
    size_t index = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        if (runs[i].start <= position) index = i;
    }
    return index;
}

bool IsWordCharacter(char32_t c) {
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
           c == U'_' || c >= 0x80;
}

bool IsBlank(char32_t c) {
    return c == U' ' || c == U'\t';
}

/// Keeps the runs sorted, from 0, without two runs starting at one place or past the end.
void Tidy(std::vector<TextRun>& runs, int32_t length) {
    std::stable_sort(runs.begin(), runs.end(),
                     [](const TextRun& a, const TextRun& b) { return a.start < b.start; });
    std::vector<TextRun> tidy;
    for (const TextRun& run : runs) {
        if (!tidy.empty() && run.start >= length && length > 0) continue;
        if (!tidy.empty() && tidy.back().start == run.start) {
            tidy.back() = run;
        } else if (tidy.empty() || tidy.back().row != run.row) {
            tidy.push_back(run);
        }
    }
    if (!tidy.empty()) tidy.front().start = 0;
    runs = std::move(tidy);
}

}  // namespace

// --- Text -----------------------------------------------------------------------------------

const TextData& TextModel::Of(const SheetData& sheet) const {
    const SheetData* current = &sheet;
    while (!current->text.local && current->masterShape)
        current = current->masterShape.get();
    return current->text;
}

void TextModel::SetText(const SheetPtr& sheet, TextData text) {
    RequireAlive(*sheet);
    text.local = true;
    m_model.Assign(sheet, sheet->text, std::move(text));
}

int32_t TextModel::CharacterCount(const SheetData& sheet) const {
    return static_cast<int32_t>(Of(sheet).characters.size());
}

std::string TextModel::TextRange(const SheetData& sheet, int32_t begin, int32_t end) const {
    const std::u32string& characters = Of(sheet).characters;
    const auto size = static_cast<int32_t>(characters.size());
    begin = std::clamp(begin, 0, size);
    end = std::clamp(end, begin, size);
    return Utf8(std::u32string_view(characters)
                    .substr(static_cast<size_t>(begin), static_cast<size_t>(end - begin)));
}

namespace {

using Range = std::pair<int32_t, int32_t>;

/// The run of one row of the Character, Paragraph or Tabs section around a position.
Range FormattingRun(const TextData& text, int16_t section, int32_t at, int32_t size) {
    const auto& runs = RunsOf(text, section);
    if (runs.empty()) return {0, size};
    const size_t index = RunIndexAt(runs, at);
    const int32_t begin = index == 0 ? 0 : runs[index].start;
    return {begin, index + 1 < runs.size() ? runs[index + 1].start : size};
}

/// Words run from their start over the blanks that follow them; any other mark is a run of
/// its own with its blanks; fields cut words, and a field is a word of its own.
Range WordRun(const TextData& text, int32_t at, int32_t size) {
    for (const TextField& field : text.fields) {
        if (at >= field.start && at < field.end) return {field.start, field.end};
    }
    const auto fieldStartsAt = [&](int32_t i) {
        return std::any_of(text.fields.begin(), text.fields.end(),
                           [&](const TextField& field) { return field.start == i; });
    };
    const auto character = [&](int32_t i) { return text.characters[static_cast<size_t>(i)]; };
    int32_t begin = 0;
    for (int32_t i = 0; i < size;) {
        int32_t end = i;
        if (const auto field = std::find_if(text.fields.begin(), text.fields.end(),
                                            [&](const TextField& f) { return f.start == i; });
            field != text.fields.end()) {
            end = field->end;
        } else if (IsWordCharacter(character(i))) {
            while (end < size && IsWordCharacter(character(end)) &&
                   (end == i || !fieldStartsAt(end))) {
                ++end;
            }
        } else {
            ++end;
        }
        while (end < size && IsBlank(character(end)) && !fieldStartsAt(end))
            ++end;
        begin = i;
        if (at < end) return {begin, end};
        i = end;
    }
    return {begin, size};
}

/// A paragraph, with the line break that ends it.
Range ParagraphRun(const TextData& text, int32_t at, int32_t size) {
    int32_t begin = at;
    while (begin > 0 && text.characters[static_cast<size_t>(begin - 1)] != U'\n')
        --begin;
    int32_t end = at;
    while (end < size && text.characters[static_cast<size_t>(end)] != U'\n')
        ++end;
    return {begin, std::min(size, end + 1)};
}

/// The field around a position, else the text between the fields around it.
Range FieldRun(const TextData& text, int32_t at, int32_t size) {
    int32_t begin = 0, end = size;
    for (const TextField& field : text.fields) {
        if (at >= field.start && at < field.end) return {field.start, field.end};
        if (field.end <= at) begin = std::max(begin, field.end);
        if (field.start > at) end = std::min(end, field.start);
    }
    return {begin, end};
}

}  // namespace

std::pair<int32_t, int32_t> TextModel::Run(const SheetData& sheet, int16_t runType,
                                           int32_t position) const {
    const TextData& text = Of(sheet);
    const auto size = static_cast<int32_t>(text.characters.size());
    if (size == 0) return {0, 0};
    const int32_t at = std::clamp(position, 0, size - 1);
    switch (runType) {
        case visCharPropRow:
            return FormattingRun(text, visSectionCharacter, at, size);
        case visParaPropRow:
            return FormattingRun(text, visSectionParagraph, at, size);
        case visTabPropRow:
            return FormattingRun(text, visSectionTab, at, size);
        case visWordRun:
            return WordRun(text, at, size);
        case visParaRun:
            return ParagraphRun(text, at, size);
        case visFieldRun:
            return FieldRun(text, at, size);
        default:
            hosterr::Raise(hosterr::kBadArgument,
                           "Unknown run type " + std::to_string(runType) + ".");
    }
}

int16_t TextModel::PropsRow(const SheetData& sheet, int16_t section, int32_t begin, int32_t end,
                        int16_t bias) const {
    const TextData& text = Of(sheet);
    const auto& runs = RunsOf(text, section);
    if (runs.empty()) return 0;
    const auto size = static_cast<int32_t>(text.characters.size());
    if (begin >= end) {
        const int32_t at = bias == visBiasLeft ? begin - 1 : begin;
        return runs[RunIndexAt(runs, std::clamp(at, 0, std::max(0, size - 1)))].row;
    }
    const size_t first = RunIndexAt(runs, begin);
    const size_t last = RunIndexAt(runs, end - 1);
    for (size_t i = first + 1; i <= last; ++i) {
        if (runs[i].row != runs[first].row) return -1;
    }
    return runs[first].row;
}

const TextField* TextModel::FieldAt(const SheetData& sheet, int32_t begin, int32_t end) const {
    for (const TextField& field : Of(sheet).fields) {
        if (field.start == begin && field.end == end) return &field;
    }
    return nullptr;
}

void TextModel::ReplaceText(const SheetPtr& sheet, int32_t begin, int32_t end,
                        std::string_view replacement) {
    RequireAlive(*sheet);
    TextData text = Of(*sheet);
    const auto size = static_cast<int32_t>(text.characters.size());
    begin = std::clamp(begin, 0, size);
    end = std::clamp(end, begin, size);
    const std::u32string inserted = Utf32(replacement);
    const auto shift = static_cast<int32_t>(inserted.size()) - (end - begin);
    text.characters.replace(static_cast<size_t>(begin), static_cast<size_t>(end - begin), inserted);
    const auto length = static_cast<int32_t>(text.characters.size());
    for (int16_t section : {visSectionCharacter, visSectionParagraph, visSectionTab}) {
        auto& runs = RunsOf(text, section);
        for (TextRun& run : runs) {
            if (run.start > begin && run.start < end)
                run.start = begin;
            else if (run.start >= end && run.start > begin)
                run.start += shift;
        }
        Tidy(runs, length);
    }
    std::vector<TextField> fields;
    std::vector<int16_t> removed;  // the Text Fields rows of the fields replaced
    for (TextField field : text.fields) {
        const bool overlaps = field.start < end && field.end > begin;
        if (overlaps && end > begin) {
            removed.push_back(field.row);
            continue;
        }
        if (field.start >= end) {
            field.start += shift;
            field.end += shift;
        }
        fields.push_back(field);
    }
    // A field's row goes with the field, as in Visio; the rows after it move up.
    std::sort(removed.rbegin(), removed.rend());
    for (int16_t row : removed) {
        for (TextField& field : fields)
            field.row = static_cast<int16_t>(field.row - (field.row > row ? 1 : 0));
    }
    text.fields = std::move(fields);
    SetText(sheet, std::move(text));
    const SectionData* rows = sheet->Section(visSectionTextField);
    for (int16_t row : removed) {
        if (rows && row >= 0 && static_cast<size_t>(row) < rows->rows.size())
            m_model.RemoveOwnedRow(sheet, visSectionTextField, row);
    }
}

namespace {

/// Gives row, as formulas of its own, every formula row `from` of the section shows that it does
/// not have yet, except cell `except`.
void TakeFormulas(const Model& model, const SheetData& sheet, int16_t section, int16_t from,
                  int16_t except, RowData& row) {
    for (int16_t c = 0; c < 64; ++c) {
        if (!formula::IsKnownCell(section, 0, c) || c == except || row.Find(c)) continue;
        std::string inherited = model.Formula(sheet, section, from, c);
        if (inherited.empty()) continue;
        CellData data;
        data.index = c;
        data.source = CellData::Source::Local;
        data.formula = std::move(inherited);
        row.cells.insert(std::upper_bound(row.cells.begin(), row.cells.end(), c,
                                          [](int16_t index, const CellData& other) {
                                              return index < other.index;
                                          }),
                         std::move(data));
    }
}

}  // namespace

namespace {

/// A range widened to the fields it cuts: a field is formatted whole, and the file holds no
/// run that starts inside one.
Range WidenedOverFields(const TextData& text, int32_t begin, int32_t end) {
    for (const TextField& field : text.fields) {
        if (begin > field.start && begin < field.end) begin = field.start;
        if (end > field.start && end < field.end) end = field.end;
    }
    return {begin, end};
}

/// Makes runs start at both ends of a range, each with the row of the run it cut.
void CutRuns(std::vector<TextRun>& runs, Range range, int32_t size) {
    for (int32_t cut : {range.first, range.second}) {
        if (cut >= size) continue;
        const size_t index = RunIndexAt(runs, cut);
        if (runs[index].start != cut)
            runs.insert(runs.begin() + static_cast<std::ptrdiff_t>(index + 1),
                        {cut, runs[index].row});
    }
}

}  // namespace

void TextModel::SetRunProps(const SheetPtr& sheet, int16_t section, int32_t begin, int32_t end,
                            int16_t cell, int16_t value) {
    RequireAlive(*sheet);
    if (section != visSectionCharacter && section != visSectionParagraph)
        hosterr::Raise(hosterr::kBadArgument);
    if (!formula::IsKnownCell(section, 0, cell)) hosterr::Raise(hosterr::kNoSuchCell);
    TextData text = Of(*sheet);
    const auto size = static_cast<int32_t>(text.characters.size());
    begin = std::clamp(begin, 0, size);
    end = std::clamp(end, begin, size);
    std::tie(begin, end) = WidenedOverFields(text, begin, end);
    if (begin == end) return;
    auto& runs = RunsOf(text, section);
    if (runs.empty()) runs.push_back({0, 0});
    CutRuns(runs, {begin, end}, size);
    if (!sheet->Section(section)) m_model.LocalSection(sheet, section);
    const SectionData rows = AddRunRows(sheet, section, runs, {begin, end}, cell, value);
    Tidy(runs, size);
    SectionData rebuilt = RebuiltRunRows(sheet, section, rows, runs);
    m_model.RemoveSection(sheet, section);
    m_model.InsertSection(sheet, std::move(rebuilt));
    SetText(sheet, std::move(text));
}

SectionData TextModel::AddRunRows(const SheetPtr& sheet, int16_t section,
                                  std::vector<TextRun>& runs, std::pair<int32_t, int32_t> range,
                                  int16_t cell, int16_t value) const {
    SectionData rows = *sheet->Section(section);
    std::vector<std::pair<int16_t, int16_t>> added;  // (old row, new row) per distinct old row
    for (TextRun& run : runs) {
        if (run.start < range.first || run.start >= range.second) continue;
        auto known = std::find_if(added.begin(), added.end(),
                                  [&](const auto& pair) { return pair.first == run.row; });
        if (known == added.end()) {
            RowData row;
            row.local = true;
            const bool hasBase = run.row >= 0 && static_cast<size_t>(run.row) < rows.rows.size();
            if (hasBase) TakeFormulas(m_model, *sheet, section, run.row, cell, row);
            CellData changed;
            changed.index = cell;
            changed.source = CellData::Source::Local;
            changed.formula = std::to_string(value);
            row.cells.push_back(std::move(changed));
            std::sort(row.cells.begin(), row.cells.end(),
                      [](const CellData& a, const CellData& b) { return a.index < b.index; });
            rows.rows.push_back(std::move(row));
            known =
                added.insert(added.end(), {run.row, static_cast<int16_t>(rows.rows.size() - 1)});
        }
        run.row = known->second;
    }
    return rows;
}

SectionData TextModel::RebuiltRunRows(const SheetPtr& sheet, int16_t section,
                                      const SectionData& rows, std::vector<TextRun>& runs) const {
    std::vector<int16_t> order;
    for (const TextRun& run : runs) {
        if (std::find(order.begin(), order.end(), run.row) == order.end()) order.push_back(run.row);
    }
    SectionData rebuilt;
    rebuilt.index = section;
    rebuilt.local = true;
    rebuilt.key = rows.key;
    // In the file the row at an inherited row's index overrides it: the rows take the inherited
    // rows' places in order, and inherited rows past the last are deleted.
    const SheetData* source = m_model.InheritanceSource(*sheet, section);
    const SectionData* inherited = source ? source->Section(section) : nullptr;
    const auto inheritedCount = static_cast<int16_t>(inherited ? inherited->rows.size() : 0);
    if (inheritedCount > 0) rebuilt.key = section;
    for (int16_t old : order) {
        RowData row = old >= 0 && static_cast<size_t>(old) < rows.rows.size()
                          ? rows.rows[static_cast<size_t>(old)]
                          : RowData{};
        row.local = true;
        const auto position = static_cast<int16_t>(rebuilt.rows.size());
        const int16_t key = position < inheritedCount ? position : int16_t{-1};
        // A row that moves to another inherited row's place keeps what it showed.
        if (old >= 0 && row.key != key) TakeFormulas(m_model, *sheet, section, old, -1, row);
        row.key = key;
        rebuilt.rows.push_back(std::move(row));
    }
    for (auto key = static_cast<int16_t>(rebuilt.rows.size()); key < inheritedCount; ++key)
        rebuilt.deletedKeys.push_back(key);
    for (TextRun& run : runs) {
        run.row =
            static_cast<int16_t>(std::find(order.begin(), order.end(), run.row) - order.begin());
    }
    return rebuilt;
}

std::string TextModel::FieldFormula(int16_t category, int16_t code) {
    static const std::vector<std::vector<const char*>> kFormulas = {
        {},
        {"DOCCREATION()", "DOCCREATION()", "NOW()", "NOW()", "DOCLASTEDIT()", "DOCLASTEDIT()",
         "DOCLASTPRINT()", "DOCLASTPRINT()"},
        {"CREATOR()", "DESCRIPTION()", "DIRECTORY()", "FILENAME()", "KEYWORDS()", "SUBJECT()",
         "TITLE()", "MANAGER()", "COMPANY()", "CATEGORY()", "HYPERLINKBASE()"},
        {"Width", "Height", "Angle"},
        {"DATA1()", "DATA2()", "DATA3()", "ID()", "MASTERNAME()", "NAME()", "TYPE()"},
        {"BKGPAGENAME()", "PAGENAME()", "PAGECOUNT()", "PAGENUMBER()"},
    };
    if (category < 1 || static_cast<size_t>(category) >= kFormulas.size() || code < 0 ||
        static_cast<size_t>(code) >= kFormulas[static_cast<size_t>(category)].size()) {
        hosterr::Raise(hosterr::kBadArgument, "No field of category " + std::to_string(category) +
                                                  " and code " + std::to_string(code) + ".");
    }
    return kFormulas[static_cast<size_t>(category)][static_cast<size_t>(code)];
}

void TextModel::InsertField(const SheetPtr& sheet, int32_t begin, int32_t end, int16_t category,
                        int16_t code, int16_t format, const std::string& formula) {
    RequireAlive(*sheet);
    const std::string_view text = formula.size() > 0 && formula.front() == '='
                                      ? std::string_view(formula).substr(1)
                                      : std::string_view(formula);
    const formula::ParseResult parsed = formula::Parse(text);
    if (parsed.error) hosterr::Raise(hosterr::kFormulaSyntax, parsed.error->message);
    if (const auto problem = m_model.Values().CheckFormula(sheet, text))
        hosterr::Raise(hosterr::kBadFormula, problem->message);
    m_model.LocalSection(sheet, visSectionTextField);
    const auto row = static_cast<int16_t>(sheet->Section(visSectionTextField)->rows.size());
    RowData fresh;
    fresh.local = true;
    m_model.InsertRow(sheet, visSectionTextField, static_cast<size_t>(row), std::move(fresh));
    m_model.SetLocalFormula(sheet, visSectionTextField, row, 0, std::string(text));
    m_model.SetLocalFormula(sheet, visSectionTextField, row, 2,
                    "FIELDPICTURE(" + std::to_string(format) + ")");
    m_model.SetLocalFormula(sheet, visSectionTextField, row, 4, std::to_string(category));
    m_model.SetLocalFormula(sheet, visSectionTextField, row, 5, std::to_string(code));
    m_model.SetLocalFormula(sheet, visSectionTextField, row, 6, std::to_string(format));
    // The field shows its value; one mark stands for a value only a renderer could give.
    const formula::Value value = m_model.Values().Result(sheet, visSectionTextField, row, 0);
    std::string shown;
    if (value.IsKnown() && value.type != formula::Value::Type::Error)
        shown = formula::TextOf(value);
    if (shown.empty()) shown.push_back('#');
    ReplaceText(sheet, begin, end, shown);
    // The fields replaced took their rows with them: the new row is still the last one.
    const auto last = static_cast<int16_t>(sheet->Section(visSectionTextField)->rows.size() - 1);
    TextData withField = Of(*sheet);
    const auto length = static_cast<int32_t>(Utf32(shown).size());
    const int32_t start = std::clamp(begin, 0, static_cast<int32_t>(withField.characters.size()));
    withField.fields.push_back({start, start + length, last});
    std::sort(withField.fields.begin(), withField.fields.end(),
              [](const TextField& a, const TextField& b) { return a.start < b.start; });
    SetText(sheet, std::move(withField));
}

}  // namespace tess::embedded
