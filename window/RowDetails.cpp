#include "window/RowDetails.h"

#include <charconv>
#include <span>
#include <vector>

#include "app/ErrorReport.h"
#include "platform/visio/Constants.h"

namespace tess::window {
namespace {

constexpr std::string_view kLineBreak = "\r\n";

struct Line {
    std::string_view name;
    int16_t cell;
};

enum class Breaks { Every, AllButLast };

constexpr Line kXY[] = {{"X", 0}, {"Y", 1}};

struct Layout {
    std::string_view name;
    int16_t section;
    std::vector<Line> lines;
    Breaks breaks;
};

const Layout kLayouts[] = {
    {"Smart Tags",
     visio::visSectionSmartTag,
     {{"X", 0},
      {"Y", 1},
      {"TagName", 2},
      {"X Justify", 3},
      {"Y Justify", 4},
      {"DisplayMode", 5},
      {"ButtonFace", 6},
      {"Description", 15},
      {"Disabled", 7}},
     Breaks::Every},
    {"Actions",
     visio::visSectionAction,
     {{"Action", 3},
      {"Menu", 0},
      {"TagName", 14},
      {"ButtonName", 15},
      {"SortKey", 16},
      {"Checked", 4},
      {"Disabled", 5},
      {"ReadOnly", 6},
      {"Invisible", 7},
      {"BeginGroup", 8}},
     Breaks::Every},
    {"User-defined Cells",
     visio::visSectionUser,
     {{"Value", 0}, {"Prompt", 1}},
     Breaks::AllButLast},
    {"Custom Properties",
     visio::visSectionProp,
     {{"Label", 2},
      {"Prompt", 1},
      {"Type", 5},
      {"Format", 3},
      {"Value", 0},
      {"SortKey", 4},
      {"Invisible", 6},
      {"Ask", 7},
      {"Calendar", 15},
      {"LangID", 14}},
     Breaks::AllButLast},
    {"Controls",
     visio::visSectionControls,
     {{"X", 0},
      {"Y", 1},
      {"X Dynamics", 2},
      {"Y Dynamics", 3},
      {"X Behavior", 4},
      {"Y Behavior", 5},
      {"Can Glue", 6},
      {"Tip", 8}},
     Breaks::AllButLast},
    {"Scratch",
     visio::visSectionScratch,
     {{"X", 0}, {"Y", 1}, {"A", 2}, {"B", 3}, {"C", 4}, {"D", 5}},
     Breaks::AllButLast},
    {"Character Format",
     visio::visSectionCharacter,
     {{"Font", 0},
      {"Color", 1},
      {"Style", 2},
      {"Case", 3},
      {"Pos.", 4},
      {"Size", 7},
      {"AsianFont", 51},
      {"ComplexScriptFont", 52},
      {"ComplexScriptSize", 54},
      {"DoubleStrikeThrough", 13},
      {"LangID", 57},
      {"LocalizeFont", 53}},
     Breaks::AllButLast},
    {"Paragraph Format",
     visio::visSectionParagraph,
     {{"IndFirst", 0},
      {"IndLeft", 1},
      {"IndRight", 2},
      {"SpLine", 3},
      {"SpBefore", 4},
      {"SpAfter", 5},
      {"HAlign", 6},
      {"BulletFont", 9},
      {"BulletSize", 11},
      {"Flags", 13},
      {"LocBulletFont", 10},
      {"TextPosAfterBullet", 12}},
     Breaks::AllButLast},
    {"Layers",
     visio::visSectionLayer,
     {{"Name", 0},
      {"Visible", 4},
      {"Print", 5},
      {"Active", 6},
      {"Lock", 7},
      {"Snap", 8},
      {"Glue", 9},
      {"Color", 2},
      {"Status", 3}},
     Breaks::AllButLast},
    {"Text Fields",
     visio::visSectionTextField,
     {{"Text Field", 0}, {"Calendar", 7}, {"ObjectKind", 10}},
     Breaks::AllButLast},
};

/// The cells a Geometry row shows beyond Type, X and Y, by the row's type name.
std::span<const Line> GeometryExtras(std::string_view type) {
    static constexpr Line kLetters[] = {{"A", 2}, {"B", 3}, {"C", 4}, {"D", 5}, {"E", 6}};
    const std::span<const Line> letters(kLetters);
    if (type == "ArcTo" || type == "SplineKnot" || type == "Polyline") return letters.first(1);
    if (type == "InfiniteLine") return letters.first(2);
    if (type == "EllipticalArcTo" || type == "SplineStart" || type == "Ellipse")
        return letters.first(4);
    if (type == "Nurbs") return letters.first(5);
    return {};
}

class Details {
public:
    Details(const visio::ShapePtr& shape, int16_t section, int16_t row)
        : m_shape(shape), m_section(section), m_row(row) {}

    void Add(std::string_view name, int16_t cell, bool lineBreak) {
        m_text += name;
        m_text += " = ";
        m_text += FormulaDisplayText(m_shape->CellsSRC(m_section, m_row, cell)->Formula());
        if (lineBreak) m_text += kLineBreak;
    }
    void AddLines(std::span<const Line> lines, Breaks breaks) {
        size_t k = 0;
        for (const Line& line : lines)
            Add(line.name, line.cell, breaks == Breaks::Every || ++k < lines.size());
    }
    void AddText(std::string_view text) { m_text += text; }
    std::string& Text() { return m_text; }

private:
    visio::ShapePtr m_shape;
    int16_t m_section;
    int16_t m_row;
    std::string m_text;
};

std::string GeometryDetails(app::IPrompt& prompt, const visio::ShapePtr& shape, int16_t position,
                            const GeometryRowTable& table) {
    if (position < 0 || static_cast<size_t>(position) >= table.size()) {
        Raise(err::kSubscriptOutOfRange);
    }
    const GeometryRow& line = table[static_cast<size_t>(position)];
    const std::string type = GetGeometryRowType(prompt, shape, line.section, line.row);
    Details details(shape, line.section, line.row);
    details.AddText("Type = " + type + std::string(kLineBreak));
    if (line.row == 0) {
        static constexpr Line kComponent[] = {
            {"No Fill", 0}, {"No Line", 1}, {"No Show", 2}, {"No Snap", 3}};
        details.AddLines(kComponent, Breaks::Every);
    } else {
        details.AddLines(kXY, Breaks::Every);
        details.AddLines(GeometryExtras(type), Breaks::AllButLast);
    }
    std::string& text = details.Text();
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, kLineBreak) == 0)
        text.resize(text.size() - 2);
    return text;
}

}  // namespace

double HostVersion(const visio::ApplicationPtr& host) {
    const std::string text = visio::Required(host).Version();
    double version = 0;
    std::from_chars(text.data(), text.data() + text.size(), version);
    return version;
}

std::string FormulaDisplayText(std::string_view formula) {
    if (!formula.empty() && formula.front() == '=') formula.remove_prefix(1);
    if (formula.empty()) return "No Formula";
    std::string text(formula);
    for (char& c : text) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return text;
}

std::string GetGeometryRowType(app::IPrompt& prompt, const visio::ShapePtr& shape, int16_t section,
                               int16_t row) {
    std::string name;
    app::Trap(prompt, app::proc::GetGeometryRowType, [&] {
        switch (shape->RowType(section, row)) {
            case visio::visTagComponent:
                name = "Start";
                break;
            case visio::visTagMoveTo:
                name = "MoveTo";
                break;
            case visio::visTagLineTo:
                name = "LineTo";
                break;
            case visio::visTagArcTo:
                name = "ArcTo";
                break;
            case visio::visTagEllipticalArcTo:
                name = "EllipticalArcTo";
                break;
            case visio::visTagSplineBeg:
                name = "SplineStart";
                break;
            case visio::visTagSplineSpan:
                name = "SplineKnot";
                break;
            case visio::visTagEllipse:
                name = "Ellipse";
                break;
            case visio::visTagNURBSTo:
                name = "Nurbs";
                break;
            case visio::visTagInfiniteLine:
                name = "InfiniteLine";
                break;
            case visio::visTagPolylineTo:
                name = "Polyline";
                break;
            default:
                break;
        }
    });
    return name;
}

std::string GetRowDetails(app::IPrompt& prompt, const visio::ApplicationPtr& host,
                          const visio::ShapePtr& shape, std::string_view sectionName, int16_t row,
                          const GeometryRowTable& geometryRows) {
    std::string result;
    const bool done = app::Trap(prompt, app::proc::GetRowDetails, [&] {
        for (const Layout& layout : kLayouts) {
            if (layout.name != sectionName) continue;
            Details details(shape, layout.section, row);
            details.AddLines(layout.lines, layout.breaks);
            result = std::move(details.Text());
            return;
        }
        if (sectionName == "Connection Points") {
            Details details(shape, visio::visSectionConnectionPts, row);
            details.AddLines(kXY, Breaks::Every);
            if (HostVersion(host) >= 5.0) {
                static constexpr Line kABCD[] = {{"A", 2}, {"B", 3}, {"C", 4}, {"D", 5}};
                details.AddText(kLineBreak);
                details.AddLines(kABCD, Breaks::AllButLast);
            }
            result = std::move(details.Text());
        } else if (sectionName == "Geometry") {
            result = GeometryDetails(prompt, shape, row, geometryRows);
        }
    });
    if (!done) result.clear();
    return result;
}

}  // namespace tess::window
