// Reading a theme part (DrawingML with Visio's extensions) into what the model computes with.
#include <charconv>

#include "host/vsdx/PackageState.h"

namespace tess::vsdx {
namespace {

using embedded::ThemeColor;
using embedded::ThemeData;

/// The first child element of that local name; an empty node when none.
pugi::xml_node Child(const pugi::xml_node& node, std::string_view name) {
    for (const pugi::xml_node& child : node.children()) {
        if (LocalName(child) == name) return child;
    }
    return {};
}

/// The first descendant element of that local name, depth first.
pugi::xml_node Descendant(const pugi::xml_node& node, std::string_view name) {
    for (const pugi::xml_node& child : node.children()) {
        if (LocalName(child) == name) return child;
        if (const pugi::xml_node found = Descendant(child, name)) return found;
    }
    return {};
}

std::vector<pugi::xml_node> Children(const pugi::xml_node& node, std::string_view name) {
    std::vector<pugi::xml_node> found;
    for (const pugi::xml_node& child : node.children()) {
        if (LocalName(child) == name) found.push_back(child);
    }
    return found;
}

double Number(const pugi::xml_attribute& attribute) {
    const std::string_view text = attribute.value();
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

uint32_t Hex(std::string_view text) {
    uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value, 16);
    return value;
}

/// The color an element holding one color element gives (srgbClr, sysClr or schemeClr, with its
/// changes); black when it holds none.
ThemeColor ColorIn(const pugi::xml_node& holder) {
    ThemeColor color;
    for (const pugi::xml_node& element : holder.children()) {
        const std::string_view name = LocalName(element);
        if (name == "srgbClr") {
            color.rgb = Hex(element.attribute("val").value());
        } else if (name == "sysClr") {
            color.rgb = Hex(element.attribute("lastClr").value());
        } else if (name == "schemeClr") {
            color.scheme = element.attribute("val").value();
        } else {
            continue;
        }
        for (const pugi::xml_node& change : element.children()) {
            // Percentages are written in thousandths of a percent.
            color.changes.emplace_back(LocalName(change), Number(change.attribute("val")) / 100000);
        }
        break;
    }
    return color;
}

/// The color of a fill: a solid fill's; a gradient's last stop's, which is what Visio gives
/// THEMEVAL("FillColor") for a gradient fill style.
ThemeColor FillColor(const pugi::xml_node& fill) {
    if (LocalName(fill) == "gradFill") {
        const std::vector<pugi::xml_node> stops = Children(Child(fill, "gsLst"), "gs");
        if (!stops.empty()) return ColorIn(stops.back());
    }
    return ColorIn(fill);
}

/// Lengths are written in EMU.
constexpr double kEmuPerInch = 914400;

/// Line styles: the color of each and its width in inches.
std::vector<std::pair<ThemeColor, double>> Lines(const pugi::xml_node& list) {
    std::vector<std::pair<ThemeColor, double>> lines;
    for (const pugi::xml_node& line : Children(list, "ln"))
        lines.emplace_back(FillColor(line.first_child()),
                           Number(line.attribute("w")) / kEmuPerInch);
    return lines;
}

std::vector<int16_t> LineCaps(const pugi::xml_node& list) {
    std::vector<int16_t> caps;
    for (const pugi::xml_node& line : Children(list, "ln")) {
        const std::string_view cap = line.attribute("cap").value();
        caps.push_back(cap == "sq" ? 2 : cap == "flat" ? 1 : 0);
    }
    return caps;
}

std::vector<ThemeData::Shadow> Shadows(const pugi::xml_node& list) {
    constexpr double kUnitsPerRadian = 60000 * 180 / 3.14159265358979323846;
    std::vector<ThemeData::Shadow> shadows;
    for (const pugi::xml_node& style : Children(list, "effectStyle")) {
        ThemeData::Shadow shadow;
        if (const pugi::xml_node outer = Descendant(style, "outerShdw")) {
            shadow.present = true;
            shadow.color = ColorIn(outer);
            shadow.distance = Number(outer.attribute("dist")) / kEmuPerInch;
            shadow.direction = Number(outer.attribute("dir")) / kUnitsPerRadian;
        }
        shadows.push_back(std::move(shadow));
    }
    return shadows;
}

std::vector<ThemeColor> FontColors(const pugi::xml_node& list) {
    std::vector<ThemeColor> colors;
    for (const pugi::xml_node& props : Children(list, "fontProps"))
        colors.push_back(ColorIn(Child(props, "color")));
    return colors;
}

void ReadColors(const pugi::xml_node& scheme, ThemeData& theme) {
    for (const pugi::xml_node& element : scheme.children()) {
        const std::string_view name = LocalName(element);
        if (name != "extLst") theme.colors.emplace_back(name, ColorIn(element).rgb);
    }
    if (const pugi::xml_node background = Descendant(scheme, "bkgnd"))
        theme.colors.emplace_back("bkgnd", ColorIn(background).rgb);
    for (const pugi::xml_node& variant :
         Children(Descendant(scheme, "variationClrSchemeLst"), "variationClrScheme")) {
        std::array<uint32_t, 7> colors{};
        for (size_t i = 0; i < colors.size(); ++i)
            colors[i] = ColorIn(Child(variant, "varColor" + std::to_string(i + 1))).rgb;
        theme.variationColors.push_back(colors);
        theme.monotone.push_back(variant.attribute("monotone").as_bool());
    }
}

void ReadVariationStyles(const pugi::xml_node& list, ThemeData& theme) {
    for (const pugi::xml_node& scheme : Children(list, "variationStyleScheme")) {
        std::array<std::array<int16_t, 4>, 4> styles{};
        const std::vector<pugi::xml_node> entries = Children(scheme, "varStyle");
        for (size_t i = 0; i < entries.size() && i < styles.size(); ++i) {
            size_t k = 0;
            for (const char* name : {"fillIdx", "lineIdx", "effectIdx", "fontIdx"})
                styles[i][k++] = static_cast<int16_t>(entries[i].attribute(name).as_int());
        }
        theme.variationStyles.push_back(styles);
        theme.embellishments.push_back(
            static_cast<int16_t>(scheme.attribute("embellishment").as_int()));
    }
}

}  // namespace

std::shared_ptr<embedded::ThemeData> ThemeFromXml(const pugi::xml_node& root) {
    auto theme = std::make_shared<ThemeData>();
    const pugi::xml_node elements = Child(root, "themeElements");
    const pugi::xml_node scheme = Child(elements, "clrScheme");
    if (const pugi::xml_node id = Descendant(scheme, "schemeID"))
        theme->index = id.attribute("schemeEnum").as_int();
    theme->effectIndex = theme->index;
    if (const pugi::xml_node effects = Descendant(elements, "fmtSchemeEx"))
        theme->effectIndex =
            Child(effects, "schemeID").attribute("schemeEnum").as_int(theme->index);
    ReadColors(scheme, *theme);
    const pugi::xml_node format = Child(elements, "fmtScheme");
    for (const pugi::xml_node& fill : Child(format, "fillStyleLst").children())
        theme->fills.push_back(FillColor(fill));
    theme->lines = Lines(Child(format, "lnStyleLst"));
    theme->lineCaps = LineCaps(Child(format, "lnStyleLst"));
    theme->shadows = Shadows(Child(format, "effectStyleLst"));
    for (const pugi::xml_node& style :
         Children(Descendant(elements, "fmtSchemeLineStyles"), "lineStyle")) {
        theme->lineRoundings.push_back(Number(Child(style, "lineEx").attribute("rndg")) /
                                       kEmuPerInch);
    }
    for (const pugi::xml_node& props : Children(Descendant(elements, "fillStyles"), "fillProps"))
        theme->fillPatterns.push_back(static_cast<int16_t>(props.attribute("pattern").as_int()));
    theme->connectorLines = Lines(Child(Descendant(elements, "fmtConnectorScheme"), "lnStyleLst"));
    const pugi::xml_node fonts = Descendant(elements, "fontStylesGroup");
    theme->fonts = FontColors(Child(fonts, "fontStyles"));
    theme->connectorFonts = FontColors(Child(fonts, "connectorFontStyles"));
    ReadVariationStyles(Descendant(elements, "variationStyleSchemeLst"), *theme);
    return theme;
}

}  // namespace tess::vsdx
