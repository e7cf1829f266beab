#include "host/vsdx/Format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <mutex>
#include <vector>

#include "formula/CellCatalogue.h"
#include "formula/Formula.h"
#include "platform/visio/Constants.h"

namespace tess::vsdx {
namespace {

using namespace visio;

struct SectionName {
    std::string_view name;
    int16_t section;
};

constexpr SectionName kSections[] = {
    {"Character", visSectionCharacter},
    {"Paragraph", visSectionParagraph},
    {"Tabs", visSectionTab},
    {"Scratch", visSectionScratch},
    {"Connection", visSectionConnectionPts},
    {"Field", visSectionTextField},
    {"Control", visSectionControls},
    {"Actions", visSectionAction},
    {"Layer", visSectionLayer},
    {"User", visSectionUser},
    {"Property", visSectionProp},
    {"Hyperlink", visSectionHyperlink},
    {"Reviewer", visSectionReviewer},
    {"Annotation", visSectionAnnotation},
    {"ActionTag", visSectionSmartTag},
    {"LineGradient", visSectionLineGradientStops},
    {"FillGradient", visSectionFillGradientStops},
};

struct RowTagName {
    std::string_view name;
    int16_t tag;
};

constexpr RowTagName kRowTags[] = {
    {"MoveTo", visTagMoveTo},
    {"LineTo", visTagLineTo},
    {"ArcTo", visTagArcTo},
    {"InfiniteLine", visTagInfiniteLine},
    {"Ellipse", visTagEllipse},
    {"EllipticalArcTo", visTagEllipticalArcTo},
    {"SplineStart", visTagSplineBeg},
    {"SplineKnot", visTagSplineSpan},
    {"PolylineTo", visTagPolylineTo},
    {"NURBSTo", visTagNURBSTo},
    {"RelCubBezTo", visTagRelCubBezTo},
    {"RelQuadBezTo", visTagRelQuadBezTo},
    {"RelMoveTo", visTagRelMoveTo},
    {"RelLineTo", visTagRelLineTo},
    {"RelEllipticalArcTo", visTagRelEllipticalArcTo},
};

std::optional<double> Number(std::string_view text) {
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<uint32_t> Rgb(std::string_view text) {
    if (text.size() != 7 || text.front() != '#') return std::nullopt;
    uint32_t value = 0;
    const auto result = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (result.ec != std::errc() || result.ptr != text.data() + 7) return std::nullopt;
    return value;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

/// The shortest text that reads back as the same number, written as Visio writes numbers:
/// plainly from 1E-4 up to 1E15, beyond with an exponent ("9.141816442950385E-5").
std::string Precise(double number) {
    const double magnitude = std::fabs(number);
    const bool plain = magnitude == 0 || (magnitude >= 1e-4 && magnitude < 1e15);
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, number,
                      plain ? std::chars_format::fixed : std::chars_format::scientific);
    std::string text(buffer, result.ptr);
    const size_t e = text.find('e');
    if (e == std::string::npos) return text;
    std::string exponent = text.substr(e + 1);
    const std::string sign = exponent.front() == '-' ? "-" : "+";
    exponent.erase(0, exponent.find_first_not_of("+-0"));
    return text.substr(0, e) + "E" + sign + exponent;
}

constexpr PackageKind kPackageKinds[] = {{".vsdx", "drawing", false},  {".vsdm", "drawing", true},
                                         {".vssx", "stencil", false},  {".vssm", "stencil", true},
                                         {".vstx", "template", false}, {".vstm", "template", true}};

}  // namespace

std::string PackageKind::ContentType() const {
    return "application/vnd.ms-visio." + std::string(kind) + (macros ? ".macroEnabled" : "") +
           ".main+xml";
}

const PackageKind& PackageKind::WithMacros() const {
    for (const PackageKind& other : kPackageKinds) {
        if (other.kind == kind && other.macros) return other;
    }
    return *this;
}

const PackageKind* PackageKindOf(std::string_view path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos)
        return nullptr;
    const std::string_view extension = path.substr(dot);
    for (const PackageKind& kind : kPackageKinds) {
        if (extension.size() == kind.extension.size() &&
            std::equal(
                extension.begin(), extension.end(), kind.extension.begin(),
                [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; })) {
            return &kind;
        }
    }
    return nullptr;
}

namespace {

// The U values Visio writes, so that the usual ones are coded without a lock; others are
// added as they are met.
constexpr std::string_view kKnownUnits[] = {
    "",    "IN", "IN_F",  "FT",   "FT_I", "MI",  "MI_F",  "YD",       "CM",  "MM", "M",  "KM",
    "NM",  "PT", "P",     "P_PT", "C",    "C_D", "D",     "DL",       "DP",  "DT", "DA", "DEG",
    "RAD", "AD", "MIN",   "SEC",  "BOOL", "STR", "GUID",  "DATE",     "DUR", "ED", "EH", "EM",
    "ES",  "EW", "COLOR", "NUM",  "PER",  "CUR", "NURBS", "POLYLINE", "PNT", "AC", "HA"};
constexpr size_t kKnownCount = std::size(kKnownUnits);

struct MetUnits {
    std::mutex lock;
    std::vector<std::string> names;  // codes kKnownCount and up
};

MetUnits& Met() {
    static MetUnits met;
    return met;
}

}  // namespace

uint8_t UnitCode(std::string_view unit) {
    for (size_t i = 0; i < kKnownCount; ++i) {
        if (kKnownUnits[i] == unit) return static_cast<uint8_t>(i);
    }
    MetUnits& met = Met();
    const std::lock_guard<std::mutex> guard(met.lock);
    for (size_t i = 0; i < met.names.size(); ++i) {
        if (met.names[i] == unit) return static_cast<uint8_t>(kKnownCount + i);
    }
    if (kKnownCount + met.names.size() > 255)
        return 0;  // no file has that many: the unit is left out
    met.names.emplace_back(unit);
    return static_cast<uint8_t>(kKnownCount + met.names.size() - 1);
}

std::string_view UnitName(uint8_t code) {
    if (code < kKnownCount) return kKnownUnits[code];
    MetUnits& met = Met();
    const std::lock_guard<std::mutex> guard(met.lock);
    const size_t index = code - kKnownCount;
    return index < met.names.size() ? std::string_view(met.names[index]) : std::string_view();
}

int16_t SectionFromXml(std::string_view name, int ix) {
    if (name == "Geometry")
        return ix >= 0 && ix <= 229 ? static_cast<int16_t>(visSectionFirstComponent + ix) : -1;
    for (const auto& entry : kSections) {
        if (entry.name == name) return entry.section;
    }
    return -1;
}

std::string_view SectionXmlName(int16_t section) {
    if (IsGeometrySection(section)) return "Geometry";
    for (const auto& entry : kSections) {
        if (entry.section == section) return entry.name;
    }
    return {};
}

int16_t RowTagFromXml(std::string_view type) {
    if (type == "PolyLineTo") return visTagPolylineTo;
    for (const auto& entry : kRowTags) {
        if (entry.name == type) return entry.tag;
    }
    return 0;
}

const char* RowTagXmlName(int16_t tag) {
    for (const auto& entry : kRowTags) {
        if (entry.tag == tag) return entry.name.data();
    }
    return nullptr;
}

formula::Value ValueFromXml(std::string_view v, std::string_view unit, std::string_view error) {
    if (!error.empty()) {
        for (auto code :
             {formula::ErrorValue::Name, formula::ErrorValue::Ref, formula::ErrorValue::Div0,
              formula::ErrorValue::Value, formula::ErrorValue::Num, formula::ErrorValue::NA}) {
            if (formula::ErrorText(code) == error) return formula::Value::Error(code);
        }
        return formula::Value::Error(formula::ErrorValue::Value);
    }
    if (unit == "STR") return formula::Value::String(std::string(v));
    if (const auto rgb = Rgb(v)) return formula::Value::Color(*rgb);
    if (const auto number = Number(v)) return formula::Value::Number(*number);
    if (v == "Themed") return formula::Value::NotComputable();
    return formula::Value::String(std::string(v));
}

std::string FormulaFromXmlValue(std::string_view v, std::string_view unit) {
    if (const auto rgb = Rgb(v)) {
        return "RGB(" + std::to_string(*rgb >> 16) + "," + std::to_string((*rgb >> 8) & 0xFF) +
               "," + std::to_string(*rgb & 0xFF) + ")";
    }
    const auto number = Number(v);
    if (!number || unit == "STR") return Quoted(v);
    if (unit == "BOOL") return *number != 0 ? "TRUE" : "FALSE";
    const auto factor = unit.empty() ? std::nullopt : formula::UnitFactor(unit);
    if (!factor) return std::string(v);
    if (*factor == 1) return std::string(v) + std::string(unit);
    return Precise(*number / *factor) + std::string(unit);
}

std::string XmlValueText(const formula::Value& value) {
    switch (value.type) {
        case formula::Value::Type::Number:
            return Precise(value.number);
        case formula::Value::Type::Color: {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "#%06x", value.Rgb());
            return buffer;
        }
        case formula::Value::Type::String:
            return value.text;
        case formula::Value::Type::NotComputable:
            // Only a themed value is unknown to the model by the time it is written (a cell
            // without one shows what it inherits): Visio's own word for it reads back the same.
            return "Themed";
        case formula::Value::Type::Error:
            return {};
    }
    return {};
}

}  // namespace tess::vsdx
