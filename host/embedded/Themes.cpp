// What a document's theme gives its shapes' THEMEVAL, ISTHEMED and THEMEPROP, and what Visio
// gives them where no theme applies.
#include <algorithm>
#include <cmath>

#include "formula/CellCatalogue.h"
#include "host/embedded/Model.h"
#include "platform/visio/Constants.h"

namespace tess::embedded {
namespace {

using formula::Value;

constexpr int16_t kQuickStyleRow = 27;
constexpr int16_t kThemeRow = 31;
constexpr int16_t kEffectSchemeIndex = 1, kThemeIndex = 4, kVariationColorIndex = 5,
                  kVariationStyleIndex = 6;
/// A theme cell that follows the page: the page's value applies.
constexpr int32_t kFollowPage = 65534;

/// What Visio gives THEMEVAL where no theme applies: the documented values for the scheme's
/// colors, and for the rest the values Visio stores for them.
struct Unthemed {
    std::string_view property;
    Value value;
};

const std::vector<Unthemed>& UnthemedValues() {
    static const std::vector<Unthemed> values = {
        {"Dark", Value::Color(0x000000)},
        {"Light", Value::Color(0xFFFFFF)},
        {"AccentColor", Value::Color(0xC05046)},
        {"AccentColor2", Value::Color(0x9DBB61)},
        {"VariantColor1", Value::Color(0xC05046)},
        {"VariantColor3", Value::Color(0xAB9AC0)},
        {"BackgroundColor", Value::Color(0xFFFFFF)},
        {"TextColor", Value::Color(0x000000)},
        {"FillColor", Value::Color(0x96AFCF)},
        {"FillColor2", Value::Color(0xBFCEE1)},
        {"LineColor", Value::Color(0x1F477D)},
        {"ConnectorPattern", Value::Number(1)},
        {"ConnectorTransparency", Value::Number(0)},
        {"ConnectorWeight", Value::Number(0.75 / 72)},
        {"ConnectorRounding", Value::Number(0)},
        {"Embellishment", Value::Number(2)},
    };
    return values;
}

/// The THEMEVAL property a cell takes with THEMEVAL(): LineColor's is "LineColor", ...
std::string_view PropertyOfCell(const CellAddress& cell) {
    static constexpr std::pair<std::string_view, std::string_view> kCells[] = {
        {"LineColor", "LineColor"},
        {"LineWeight", "LineWeight"},
        {"LineCap", "LineCap"},
        {"Rounding", "LineRounding"},
        {"FillPattern", "FillPattern"},
        {"FillForegnd", "FillColor"},
        {"FillBkgnd", "FillColor2"},
        {"Char.Color", "TextColor"},
        {"ShdwForegnd", "ShadowColor"},
        {"ShdwForegndTrans", "ShadowTransparency"},
        {"ShdwPattern", "ShadowPattern"},
        {"ShapeShdwType", "ShadowType"},
        {"ShapeShdwOffsetX", "ShadowXOffset"},
        {"ShapeShdwOffsetY", "ShadowYOffset"},
    };
    const std::string name = formula::CellNameText(cell.section, cell.row, cell.cell);
    for (const auto& [cellName, property] : kCells) {
        if (formula::SameName(cellName, name)) return property;
    }
    return {};
}

// DrawingML changes colors in linear light.
double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}
double Gamma(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

uint32_t AdjustedColor(uint32_t rgb, const std::vector<std::pair<std::string, double>>& changes) {
    std::array<double, 3> channels{};
    for (size_t i = 0; i < 3; ++i)
        channels[i] = Linear((rgb >> (16 - 8 * i) & 0xFF) / 255.0);
    for (const auto& [change, amount] : changes) {
        for (double& channel : channels) {
            if (change == "shade") channel *= amount;
            if (change == "tint") channel = 1 - (1 - channel) * amount;
        }
    }
    uint32_t result = 0;
    for (size_t i = 0; i < 3; ++i)
        result = result << 8 | static_cast<uint32_t>(std::lround(Gamma(channels[i]) * 255));
    return result;
}

/// The color a scheme name gives: dk1, lt1, accent1 ..., and the names of the THEMEVAL
/// properties for them (Dark, Light, AccentColor ...).
std::optional<uint32_t> SchemeColor(const ThemeData& theme, std::string_view name) {
    static constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
        {"Dark", "dk1"},
        {"Light", "lt1"},
        {"AccentColor", "accent1"},
        {"AccentColor2", "accent2"},
        {"AccentColor3", "accent3"},
        {"AccentColor4", "accent4"},
        {"AccentColor5", "accent5"},
        {"AccentColor6", "accent6"},
        {"BackgroundColor", "bkgnd"},
        {"tx1", "dk1"},
        {"bg1", "lt1"},
        {"tx2", "dk2"},
        {"bg2", "lt2"}};
    for (const auto& [alias, scheme] : kAliases) {
        if (formula::SameName(alias, name)) name = scheme;
    }
    for (const auto& [scheme, rgb] : theme.colors) {
        if (scheme == name) return rgb;
    }
    return std::nullopt;
}

/// What a shape's quick style cells choose in a theme: colors of the scheme or of the variant,
/// and the theme's fill, line, effect and font styles, directly or through the variant.
class QuickStyle {
public:
    /// theme gives the colors and variants, styles the fill, line, effect and font styles.
    QuickStyle(const ThemeData& theme, const ThemeData& styles,
               const std::array<int32_t, 10>& cells, size_t variation, size_t styleVariation)
        : m_theme(theme),
          m_styles(styles),
          m_cells(cells),
          m_variation(variation),
          m_styleVariation(styleVariation) {}

    std::optional<Value> Property(std::string_view property) const {
        if (Is(property, "FillColor"))
            return StyleColor(m_styles.fills, kFillMatrix, 0, kFillColor);
        if (Is(property, "FillPattern")) return StyleNumber(m_styles.fillPatterns, kFillMatrix, 0);
        if (Is(property, "LineRounding"))
            return StyleNumber(m_styles.lineRoundings, kLineMatrix, 1);
        if (Is(property, "TextColor"))
            return StyleColor(m_styles.fonts, kFontMatrix, 3, kFontColor);
        if (Is(property, "LineColor") || Is(property, "LineWeight") || Is(property, "LineCap"))
            return LineProperty(property);
        if (property.size() > 6 && Is(property.substr(0, 6), "Shadow"))
            return ShadowProperty(property);
        if (property.size() == 13 && Is(property.substr(0, 12), "VariantColor")) {
            const auto index = static_cast<size_t>(property[12] - '1');
            if (index < 7 && m_variation < m_theme.variationColors.size())
                return Value::Color(m_theme.variationColors[m_variation][index]);
        }
        if (Is(property, "Embellishment") && m_styleVariation < m_theme.embellishments.size())
            return Value::Number(m_theme.embellishments[m_styleVariation]);
        return std::nullopt;
    }

private:
    static constexpr size_t kLineColor = 0, kFillColor = 1, kShadowColor = 2, kFontColor = 3;
    static constexpr size_t kLineMatrix = 4, kFillMatrix = 5, kEffectsMatrix = 6, kFontMatrix = 7;

    static bool Is(std::string_view a, std::string_view b) { return formula::SameName(a, b); }

    /// A quick style color: a scheme color by number, or one of the variant's colors (a
    /// monotone variant's quick styles all take its first).
    std::optional<uint32_t> Color(int32_t index) const {
        static constexpr std::string_view kScheme[] = {"dk1",     "lt1",     "accent1",
                                                       "accent2", "accent3", "accent4",
                                                       "accent5", "accent6", "bkgnd"};
        if (index >= 0 && index < 9) return SchemeColor(m_theme, kScheme[index]);
        if (index < 100 || index >= 107 || m_variation >= m_theme.variationColors.size())
            return std::nullopt;
        const bool first = m_variation < m_theme.monotone.size() && m_theme.monotone[m_variation];
        return m_theme.variationColors[m_variation][first ? 0 : static_cast<size_t>(index - 100)];
    }

    /// The number (from 1) of the style a quick style matrix cell chooses: one by number, or the
    /// variant's for 100 to 103; 0 for none. kind: 0 fill, 1 line, 2 effect, 3 font.
    size_t Style(size_t matrixCell, size_t kind) const {
        const int32_t matrix = m_cells[matrixCell];
        if (matrix >= 1 && matrix <= 6) return static_cast<size_t>(matrix);
        if (matrix < 100 || matrix > 103 || m_styleVariation >= m_theme.variationStyles.size())
            return 0;
        return static_cast<size_t>(
            m_theme.variationStyles[m_styleVariation][static_cast<size_t>(matrix - 100)][kind]);
    }

    std::optional<Value> Resolve(const ThemeColor& color, size_t colorCell) const {
        std::optional<uint32_t> base = color.rgb;
        if (color.scheme == "phClr")
            base = Color(m_cells[colorCell]);
        else if (!color.scheme.empty())
            base = SchemeColor(m_theme, color.scheme);
        if (!base) return std::nullopt;
        return Value::Color(AdjustedColor(*base, color.changes));
    }

    std::optional<Value> StyleColor(const std::vector<ThemeColor>& styles, size_t matrixCell,
                                    size_t kind, size_t colorCell) const {
        const size_t index = Style(matrixCell, kind);
        if (index == 0 || index > styles.size()) return std::nullopt;
        return Resolve(styles[index - 1], colorCell);
    }

    template <class T>
    std::optional<Value> StyleNumber(const std::vector<T>& styles, size_t matrixCell,
                                     size_t kind) const {
        const size_t index = Style(matrixCell, kind);
        if (index == 0 || index > styles.size()) return std::nullopt;
        return Value::Number(static_cast<double>(styles[index - 1]));
    }

    std::optional<Value> LineProperty(std::string_view property) const {
        const size_t index = Style(kLineMatrix, 1);
        if (index == 0 || index > m_styles.lines.size()) return std::nullopt;
        if (Is(property, "LineWeight")) return Value::Number(m_styles.lines[index - 1].second);
        if (Is(property, "LineCap")) return StyleNumber(m_styles.lineCaps, kLineMatrix, 1);
        return Resolve(m_styles.lines[index - 1].first, kLineColor);
    }

    std::optional<Value> ShadowProperty(std::string_view property) const {
        const size_t index = Style(kEffectsMatrix, 2);
        if (index == 0 || index > m_styles.shadows.size()) return std::nullopt;
        const ThemeData::Shadow& shadow = m_styles.shadows[index - 1];
        if (Is(property, "ShadowType") || Is(property, "ShadowPattern"))
            return Value::Number(shadow.present ? 1 : 0);
        if (!shadow.present) return std::nullopt;
        if (Is(property, "ShadowColor")) return Resolve(shadow.color, kShadowColor);
        // Visio keeps a theme's shadow offsets to the ten-thousandth of an inch.
        const auto offset = [](double inches) { return std::round(inches * 1e4) / 1e4; };
        if (Is(property, "ShadowXOffset"))
            return Value::Number(offset(shadow.distance * std::cos(shadow.direction)));
        if (Is(property, "ShadowYOffset"))
            return Value::Number(offset(-shadow.distance * std::sin(shadow.direction)));
        if (Is(property, "ShadowTransparency")) {
            double alpha = 1;
            for (const auto& [change, amount] : shadow.color.changes) {
                if (change == "alpha") alpha = amount;
            }
            return Value::Number(1 - alpha);
        }
        return std::nullopt;
    }

    const ThemeData& m_theme;
    const ThemeData& m_styles;
    std::array<int32_t, 10> m_cells;
    size_t m_variation, m_styleVariation;
};

}  // namespace

/// A theme cell's value, following the page where the cell says so; 0 where none is given.
int32_t Evaluator::ThemeCell(const SheetPtr& sheet, int16_t cell) {
    const auto valueOf = [&](const SheetPtr& at) {
        return static_cast<int32_t>(
            formula::NumberOf(Compute(at, visio::visSectionObject, kThemeRow, cell)).value_or(0));
    };
    const int32_t own = valueOf(sheet);
    if (own != kFollowPage) return own;
    const SheetPtr page = sheet->page     ? sheet->page->pageSheet
                          : sheet->master ? sheet->master->pageSheet
                                          : nullptr;
    if (!page || page == sheet) return 0;
    const int32_t followed = valueOf(page);
    return followed == kFollowPage ? 0 : followed;
}

const ThemeData* Evaluator::ThemeOf(const SheetPtr& sheet, bool styles) {
    const int32_t index = ThemeCell(sheet, styles ? kEffectSchemeIndex : kThemeIndex);
    if (!sheet->document || (!styles && index == 0)) return nullptr;
    for (const auto& theme : sheet->document->themes) {
        if ((styles ? theme->effectIndex : theme->index) == index) return theme.get();
    }
    return nullptr;
}

std::optional<bool> Evaluator::IsThemed(const SheetPtr& sheet) {
    if (ThemeCell(sheet, kThemeIndex) == 0) return false;
    if (!ThemeOf(sheet, false)) return std::nullopt;  // a theme the document does not hold
    return true;
}

formula::Value Evaluator::ThemeValue(const SheetPtr& sheet, std::string_view property,
                                 const std::optional<CellAddress>& host) {
    if (ThemeCell(sheet, kThemeIndex) == 0) return UnthemedValue(sheet, property, host);
    if (property.empty() && host) property = PropertyOfCell(*host);
    const Value unknown =
        Value::NotComputable(formula::Need::Computation, property.empty() ? "THEMEVAL" : property);
    const ThemeData* theme = ThemeOf(sheet, false);
    if (!theme) return unknown;
    if (const auto rgb = SchemeColor(*theme, property)) return Value::Color(*rgb);
    // The second fill color: the dark color, as TINT(dark,72) gives it (#4d4d4d from black).
    if (formula::SameName(property, "FillColor2")) {
        const auto dark = SchemeColor(*theme, "dk1");
        return dark ? Value::Color(formula::Tinted(*dark, 72)) : unknown;
    }
    return QuickStyleValue(sheet, *theme, property).value_or(unknown);
}

formula::Value Evaluator::UnthemedValue(const SheetPtr& sheet, std::string_view property,
                                    const std::optional<CellAddress>& host) {
    // A cell's own property: what the document's root style gives the cell.
    if (property.empty() && host && sheet->document) {
        if (SheetData* root = m_model.Style(*sheet->document, 0); root && root != sheet.get())
            return Compute(root->shared_from_this(), host->section, host->row, host->cell);
    }
    for (const Unthemed& entry : UnthemedValues()) {
        if (formula::SameName(entry.property, property)) return entry.value;
    }
    return Value::NotComputable(formula::Need::Computation,
                                property.empty() ? "THEMEVAL" : property);
}

std::optional<formula::Value> Evaluator::QuickStyleValue(const SheetPtr& sheet, const ThemeData& theme,
                                                     std::string_view property) {
    std::array<int32_t, 10> cells{};
    for (int16_t cell = 0; cell < 10; ++cell) {
        cells[static_cast<size_t>(cell)] = static_cast<int32_t>(
            formula::NumberOf(Compute(sheet, visio::visSectionObject, kQuickStyleRow, cell))
                .value_or(0));
    }
    const ThemeData* styles = ThemeOf(sheet, true);
    const QuickStyle style(theme, styles ? *styles : theme, cells,
                           static_cast<size_t>(ThemeCell(sheet, kVariationColorIndex)),
                           static_cast<size_t>(ThemeCell(sheet, kVariationStyleIndex)));
    return style.Property(property);
}

}  // namespace tess::embedded
