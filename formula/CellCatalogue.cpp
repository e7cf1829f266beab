#include "formula/CellCatalogue.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <unordered_map>
#include <vector>

// resources/cell-names.tsv, compiled into the program.
extern const std::string_view tessaline_resource_cell_names;

namespace tess::formula {
namespace {

constexpr int16_t kAnyRow = -1;
constexpr int16_t kGeometry = 10;  // every Geometry section shares the first one's cells

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

struct CaseInsensitiveHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const {
        size_t hash = 1469598103934665603ull;
        for (char c : text)
            hash = (hash ^ static_cast<unsigned char>(Lower(c))) * 1099511628211ull;
        return hash;
    }
};

struct CaseInsensitiveEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return SameName(a, b); }
};

template <class T>
using NameMap = std::unordered_map<std::string, T, CaseInsensitiveHash, CaseInsensitiveEqual>;

struct Entry {
    int16_t section;
    int16_t row;
    int16_t cell;
    std::string formulaName;
    std::string xmlName;
};

/// How a section's rows are written in formulas.
enum class RowForm {
    Digits,    // Scratch.X1: column letter, then the 1-based row number
    Brackets,  // Char.Size[2]: column name, then an optional 1-based row number in brackets
    Named,     // User.Name.Prompt: row name, then an optional column name
};

struct SectionForm {
    std::string_view prefix;
    int16_t section;
    RowForm form;
    std::string_view bareColumn;  // the column a bare named-row reference means
};

constexpr SectionForm kSectionForms[] = {
    {"Char", 3, RowForm::Brackets, ""},
    {"Para", 4, RowForm::Brackets, ""},
    {"Scratch", 6, RowForm::Digits, ""},
    {"Connections", 7, RowForm::Named, "X"},
    {"Fields", 8, RowForm::Brackets, ""},
    {"Controls", 9, RowForm::Named, "X"},
    {"Actions", 240, RowForm::Named, "Menu"},
    {"Layers", 241, RowForm::Brackets, ""},
    {"User", 242, RowForm::Named, "Value"},
    {"Prop", 243, RowForm::Named, "Value"},
    {"Hyperlink", 244, RowForm::Named, "Description"},
    {"Reviewer", 245, RowForm::Brackets, ""},
    {"Annotation", 246, RowForm::Brackets, ""},
    {"SmartTags", 247, RowForm::Named, "X"},
};

class Catalogue {
public:
    Catalogue() {
        std::string_view text = tessaline_resource_cell_names;
        while (!text.empty()) {
            const size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
            if (line.empty() || line.front() == '#') continue;
            Add(Split(line));
        }
        for (const Entry& entry : m_object) {
            if (entry.row >= 0 && entry.row < kObjectRows && entry.cell >= 0 &&
                entry.cell < kObjectCells) {
                m_objectIndex[static_cast<size_t>(entry.row)][static_cast<size_t>(entry.cell)] =
                    &entry;
            }
            if (!entry.formulaName.empty()) m_objectByName.emplace(entry.formulaName, &entry);
            if (!entry.xmlName.empty()) m_objectByXml.emplace(entry.xmlName, &entry);
        }
    }

    const Entry* Object(int16_t row, int16_t cell) const {
        if (row < 0 || row >= kObjectRows || cell < 0 || cell >= kObjectCells) return nullptr;
        return m_objectIndex[static_cast<size_t>(row)][static_cast<size_t>(cell)];
    }
    /// One more than the highest cell of a row of a section.
    int16_t Width(int16_t section, int16_t row) const {
        int16_t count = 0;
        if (section == 1) {
            for (int16_t cell = 0; cell < kObjectCells; ++cell) {
                if (Object(row, cell)) count = static_cast<int16_t>(cell + 1);
            }
            return count;
        }
        for (const Entry& entry : Columns(section)) {
            if (RowMatches(section, entry, row))
                count = std::max(count, static_cast<int16_t>(entry.cell + 1));
        }
        return count;
    }
    const Entry* ObjectByFormulaName(std::string_view name) const {
        const auto found = m_objectByName.find(name);
        return found == m_objectByName.end() ? nullptr : found->second;
    }
    const Entry* ObjectByXmlName(std::string_view name) const {
        const auto found = m_objectByXml.find(name);
        return found == m_objectByXml.end() ? nullptr : found->second;
    }
    /// A column of a section: for Geometry, row 0 holds the component cells.
    const Entry* Column(int16_t section, int16_t row, std::string_view name, bool xml) const {
        for (const Entry& entry : Columns(section)) {
            if (!RowMatches(section, entry, row)) continue;
            if (SameName(xml ? entry.xmlName : entry.formulaName, name)) return &entry;
        }
        return nullptr;
    }
    const Entry* Column(int16_t section, int16_t row, int16_t cell) const {
        for (const Entry& entry : Columns(section)) {
            if (RowMatches(section, entry, row) && entry.cell == cell) return &entry;
        }
        return nullptr;
    }

private:
    static std::vector<std::string_view> Split(std::string_view line) {
        std::vector<std::string_view> fields;
        size_t start = 0;
        for (size_t tab; (tab = line.find('\t', start)) != std::string_view::npos;
             start = tab + 1) {
            fields.push_back(line.substr(start, tab - start));
        }
        fields.push_back(line.substr(start));
        return fields;
    }

    static int16_t Number(std::string_view text) {
        int16_t value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    }

    static std::string NameOrEmpty(std::string_view text) {
        return text == "-" ? std::string() : std::string(text);
    }

    void Add(const std::vector<std::string_view>& fields) {
        if (fields.size() < 5) return;
        Entry entry{fields[0] == "G" ? kGeometry : Number(fields[0]),
                    fields[1] == "*" ? kAnyRow : Number(fields[1]), Number(fields[2]),
                    NameOrEmpty(fields[3]), NameOrEmpty(fields[4])};
        if (entry.section == 1) {
            m_object.push_back(std::move(entry));
        } else {
            m_sections[entry.section].push_back(std::move(entry));
        }
    }

    const std::vector<Entry>& Columns(int16_t section) const {
        static const std::vector<Entry> kNone;
        const auto found =
            m_sections.find(section >= kGeometry && section <= 239 ? kGeometry : section);
        return found == m_sections.end() ? kNone : found->second;
    }

    static bool RowMatches(int16_t section, const Entry& entry, int16_t row) {
        if (section < kGeometry || section > 239) return true;
        return row == 0 ? entry.row == 0 : entry.row == kAnyRow;
    }

    static constexpr int16_t kObjectRows = 64;
    static constexpr int16_t kObjectCells = 64;

    std::vector<Entry> m_object;
    std::array<std::array<const Entry*, kObjectCells>, kObjectRows>
        m_objectIndex{};  // by row and cell
    std::unordered_map<int16_t, std::vector<Entry>> m_sections;
    NameMap<const Entry*> m_objectByName;
    NameMap<const Entry*> m_objectByXml;
};

const Catalogue& TheCatalogue() {
    static const Catalogue catalogue;
    return catalogue;
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

/// A 1-based row number written in a name; 0 when it is not one.
int16_t RowNumber(std::string_view digits) {
    if (!IsDigits(digits) || digits.size() > 5) return 0;
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value >= 1 && value <= 32767 ? static_cast<int16_t>(value) : 0;
}

bool IsRowName(std::string_view name) {
    return !name.empty() && name.find_first_of(".[]!'\" ") == std::string_view::npos;
}

const SectionForm* FormOfPrefix(std::string_view prefix) {
    for (const auto& form : kSectionForms) {
        if (SameName(form.prefix, prefix)) return &form;
    }
    return nullptr;
}

const SectionForm* FormOfSection(int16_t section) {
    for (const auto& form : kSectionForms) {
        if (form.section == section) return &form;
    }
    return nullptr;
}

/// "X12" as column X of row 12 (1-based); false when it is not that shape.
bool SplitDigitColumn(std::string_view text, std::string_view& column, int16_t& number) {
    const size_t digits = text.find_first_of("0123456789");
    if (digits == 0 || digits == std::string_view::npos) return false;
    column = text.substr(0, digits);
    number = RowNumber(text.substr(digits));
    return number > 0;
}

std::optional<CellName> DecodeGeometry(int16_t section, std::string_view rest) {
    const Catalogue& catalogue = TheCatalogue();
    if (const Entry* component = catalogue.Column(section, 0, rest, false)) {
        return CellName{section, 0, component->cell, {}, false};
    }
    std::string_view column;
    int16_t number = 0;
    if (!SplitDigitColumn(rest, column, number)) return std::nullopt;
    const Entry* entry = catalogue.Column(section, number, column, false);
    if (!entry) return std::nullopt;
    return CellName{section, number, entry->cell, {}, false};
}

std::optional<CellName> DecodeInSection(const SectionForm& form, std::string_view rest,
                                        int16_t bracket) {
    const Catalogue& catalogue = TheCatalogue();
    std::string_view column;
    int16_t number = 0;
    const bool digitForm = form.form == RowForm::Digits || form.section == 7;
    if (digitForm && bracket == 0 && SplitDigitColumn(rest, column, number)) {
        if (const Entry* entry = catalogue.Column(form.section, number - 1, column, false)) {
            if (column.size() == 1)
                return CellName{form.section, int16_t(number - 1), entry->cell, {}, false};
        }
    }
    if (form.form == RowForm::Brackets || form.section == 7) {
        if (const Entry* entry = catalogue.Column(form.section, 0, rest, false)) {
            if (form.form == RowForm::Brackets || entry->formulaName.size() > 1) {
                return CellName{form.section,
                                int16_t(std::max<int16_t>(bracket, 1) - 1),
                                entry->cell,
                                {},
                                false};
            }
        }
    }
    if (form.form != RowForm::Named || bracket != 0) return std::nullopt;
    const size_t dot = rest.find('.');
    const std::string_view rowName = rest.substr(0, dot);
    const std::string_view columnName =
        dot == std::string_view::npos ? form.bareColumn : rest.substr(dot + 1);
    if (!IsRowName(rowName)) return std::nullopt;
    const Entry* entry = catalogue.Column(form.section, 0, columnName, false);
    if (!entry) return std::nullopt;
    return CellName{form.section, 0, entry->cell, std::string(rowName), true};
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return Lower(x) == Lower(y); });
}

std::optional<CellName> DecodeCellName(std::string_view name) {
    int16_t bracket = 0;
    if (!name.empty() && name.back() == ']') {
        const size_t open = name.rfind('[');
        if (open == std::string_view::npos) return std::nullopt;
        bracket = RowNumber(name.substr(open + 1, name.size() - open - 2));
        if (bracket == 0) return std::nullopt;
        name = name.substr(0, open);
    }
    const size_t dot = name.find('.');
    if (dot == std::string_view::npos) {
        if (bracket != 0) return std::nullopt;
        const Entry* entry = TheCatalogue().ObjectByFormulaName(name);
        if (!entry) return std::nullopt;
        return CellName{1, entry->row, entry->cell, {}, false};
    }
    const std::string_view prefix = name.substr(0, dot);
    const std::string_view rest = name.substr(dot + 1);
    if (prefix.size() > 8 && SameName(prefix.substr(0, 8), "Geometry")) {
        const int16_t number = RowNumber(prefix.substr(8));
        if (number == 0 || number > 230 || bracket != 0) return std::nullopt;
        return DecodeGeometry(static_cast<int16_t>(9 + number), rest);
    }
    const SectionForm* form = FormOfPrefix(prefix);
    if (!form) return std::nullopt;
    return DecodeInSection(*form, rest, bracket);
}

std::string CellNameText(int16_t section, int16_t row, int16_t cell, std::string_view rowName) {
    const Catalogue& catalogue = TheCatalogue();
    if (section == 1) {
        const Entry* entry = catalogue.Object(row, cell);
        return entry ? entry->formulaName : std::string();
    }
    const Entry* entry = catalogue.Column(section, row, cell);
    if (!entry || entry->formulaName.empty()) return {};
    if (section >= kGeometry && section <= 239) {
        std::string text = "Geometry" + std::to_string(section - 9) + "." + entry->formulaName;
        return row == 0 ? text : text + std::to_string(row);
    }
    const SectionForm* form = FormOfSection(section);
    if (!form) return {};
    std::string text = std::string(form->prefix) + ".";
    if (form->form == RowForm::Named && !rowName.empty()) {
        return text.append(rowName).append(".").append(entry->formulaName);
    }
    if (form->form == RowForm::Named && section != 7) return {};
    text += entry->formulaName;
    const bool digits =
        form->form == RowForm::Digits || (section == 7 && entry->formulaName.size() == 1);
    if (digits) return text + std::to_string(row + 1);
    return row == 0 ? text : text + "[" + std::to_string(row + 1) + "]";
}

std::string_view XmlCellName(int16_t section, int16_t row, int16_t cell) {
    const Catalogue& catalogue = TheCatalogue();
    const Entry* entry =
        section == 1 ? catalogue.Object(row, cell) : catalogue.Column(section, row, cell);
    return entry ? std::string_view(entry->xmlName) : std::string_view();
}

std::optional<std::pair<int16_t, int16_t>> ObjectCellFromXmlName(std::string_view xmlName) {
    const Entry* entry = TheCatalogue().ObjectByXmlName(xmlName);
    if (!entry) return std::nullopt;
    return std::make_pair(entry->row, entry->cell);
}

std::optional<int16_t> SectionCellFromXmlName(int16_t section, int16_t row,
                                              std::string_view xmlName) {
    const Entry* entry = TheCatalogue().Column(section, row, xmlName, true);
    if (!entry) return std::nullopt;
    return entry->cell;
}

int16_t ColumnCount(int16_t section, int16_t row) {
    return TheCatalogue().Width(section, row);
}

bool IsKnownCell(int16_t section, int16_t row, int16_t cell) {
    const Catalogue& catalogue = TheCatalogue();
    return (section == 1 ? catalogue.Object(row, cell) : catalogue.Column(section, row, cell)) !=
           nullptr;
}

int16_t GeometryCellCount(int16_t rowType) {
    switch (rowType) {
        case 137:  // component row: NoFill, NoLine, NoShow, NoSnap, Path, NoQuickDrag
            return 6;
        case 138:  // MoveTo
        case 139:  // LineTo
        case 238:  // RelMoveTo
        case 239:  // RelLineTo
            return 2;
        case 140:  // ArcTo
        case 166:  // SplineKnot
        case 193:  // PolylineTo
            return 3;
        case 141:  // InfiniteLine
        case 237:  // RelQuadBezTo
            return 4;
        case 143:  // Ellipse
        case 144:  // EllipticalArcTo
        case 165:  // SplineStart
        case 236:  // RelCubBezTo
        case 240:  // RelEllipticalArcTo
            return 6;
        case 195:  // NURBSTo
            return 7;
        default:
            return 0;
    }
}

bool IsNamedRowSection(int16_t section) {
    const SectionForm* form = FormOfSection(section);
    return form && form->form == RowForm::Named && section != 7;
}

}  // namespace tess::formula
