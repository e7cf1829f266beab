// Formulas and values: checking a formula as Visio does, writing it, and computing results
// through the formula library, with references resolved on the model.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <functional>

#include "formula/CellCatalogue.h"
#include "host/embedded/HostErrors.h"
#include "host/embedded/Model.h"
#include "platform/visio/Constants.h"

namespace tess::embedded {
namespace {

const SheetData* FindByName(const std::vector<SheetPtr>& shapes, std::string_view name) {
    for (const auto& shape : shapes) {
        if (formula::SameName(DisplayName(*shape), name) ||
            formula::SameName(DisplayNameU(*shape), name)) {
            return shape.get();
        }
        if (const SheetData* member = FindByName(shape->shapes, name)) return member;
    }
    return nullptr;
}

const SheetData* SheetOfStyle(const DocumentData& document, std::string_view name) {
    for (const auto& style : document.styles) {
        if (formula::SameName(style->name, name) || formula::SameName(style->nameU, name))
            return style.get();
    }
    return nullptr;
}

/// A value a file can hold for a cell: neither unknown nor an error.
bool IsShowable(const formula::Value& value) {
    return value.IsKnown() && value.type != formula::Value::Type::Error;
}

}  // namespace

/// Resolves the references of a formula written on one sheet.
class SheetResolver : public formula::ISheetResolver {
public:
    SheetResolver(Model& model, const SheetData& self) : m_model(model), m_self(self) {}
    /// For the formula of a cell of the sheet: points take that cell's axis, THEMEVAL() its
    /// property.
    SheetResolver(Model& model, const SheetData& self, CellAddress host)
        : m_model(model), m_self(self), m_host(host) {}

    Sheet FindSheet(const formula::SheetSelector& selector) override {
        const SheetData* itemSheet = &m_self;
        const std::vector<SheetPtr>* shapes = ShapesNear(m_self);
        const PageData* page = m_self.page;
        const MasterData* master = m_self.master;
        if (!selector.collection.empty()) {
            if (!m_self.document) return nullptr;
            if (formula::SameName(selector.collection, "Pages")) {
                page = FindPage(selector.item);
                if (!page) return nullptr;
                master = nullptr;
                itemSheet = page->pageSheet.get();
                shapes = &page->shapes;
            } else if (formula::SameName(selector.collection, "Masters")) {
                master = FindMaster(selector.item);
                if (!master) return nullptr;
                page = nullptr;
                itemSheet = master->pageSheet.get();
                shapes = &master->shapes;
            } else {
                itemSheet = SheetOfStyle(*m_self.document, selector.item);
                shapes = nullptr;
            }
        }
        const bool byShape = selector.kind == formula::SheetKind::ById ||
                             selector.kind == formula::SheetKind::ByName;
        if (byShape && page) m_model.LoadShapes(const_cast<PageData&>(*page));
        switch (selector.kind) {
            case formula::SheetKind::Self:
                return itemSheet;
            case formula::SheetKind::ById: {
                const auto* index = page     ? &page->shapesById
                                    : master ? &master->shapesById
                                             : nullptr;
                if (!index) return nullptr;
                const auto found = index->find(selector.id);
                return found == index->end() ? nullptr : found->second;
            }
            case formula::SheetKind::ByName:
                return shapes ? FindByName(*shapes, selector.name) : nullptr;
            case formula::SheetKind::ThePage:
                if (page) return page->pageSheet.get();
                return master ? master->pageSheet.get() : nullptr;
            case formula::SheetKind::TheDoc:
                return m_self.document ? m_self.document->documentSheet.get() : nullptr;
            case formula::SheetKind::Computed:
                return nullptr;
        }
        return nullptr;
    }

    std::optional<int16_t> FindRow(Sheet sheet, const formula::CellName& cell) override {
        const auto& data = *static_cast<const SheetData*>(sheet);
        int16_t row = cell.row;
        if (cell.named) {
            row = m_model.FindNamedRow(data, cell.section, cell.rowName);
            if (row < 0) return std::nullopt;
        }
        if (!m_model.CellExists(data, cell.section, row, cell.cell, false)) return std::nullopt;
        return row;
    }

    formula::Value CellValue(Sheet sheet, int16_t section, int16_t row, int16_t cell) override {
        return m_model.Values().Compute(Shared(sheet), section, row, cell);
    }

    std::optional<std::string> ShapeText(Sheet sheet) override {
        const auto& data = *static_cast<const SheetData*>(sheet);
        if (data.kind != SheetKind::Shape) return std::nullopt;
        return m_model.Text().TextRange(data, 0, m_model.Text().CharacterCount(data));
    }

    bool MovePoint(Sheet from, bool toParent, double& x, double& y) override {
        const SheetData& source = *static_cast<const SheetData*>(from);
        if (source.page != m_self.page || source.master != m_self.master) return false;
        m_model.Values().ToPageCoordinates(Shared(from), x, y);
        const SheetData* space = toParent ? m_self.parent : &m_self;
        if (space && space->kind != SheetKind::Shape) space = nullptr;
        if (!space && !toParent && m_self.kind != SheetKind::PageSheet) return false;
        if (space) m_model.Values().FromPageCoordinates(Shared(space), x, y);
        return true;
    }

    formula::Value DrawingFact(std::string_view function) override {
        if (formula::SameName(function, "PAGENUMBER") || formula::SameName(function, "PAGECOUNT"))
            return PageFact(formula::SameName(function, "PAGECOUNT"));
        if (formula::SameName(function, "CONTAINERSHEETREF") && !InAContainer())
            return formula::Value::Error(formula::ErrorValue::Ref);
        return formula::Value::NotComputable(formula::Need::Computation, function);
    }

    std::optional<bool> Themed() override { return m_model.Values().IsThemed(Shared(&m_self)); }

    formula::Value ThemeValue(std::string_view property) override {
        return m_model.Values().ThemeValue(Shared(&m_self), property, m_host);
    }

    bool TakesY() override {
        // The axis is the last letter of the cell's name: BeginY, Geometry1.Y2, Char.Size[2].
        if (!m_host) return false;
        const std::string cell = formula::CellNameText(m_host->section, m_host->row, m_host->cell);
        std::string_view name = cell;
        if (!name.empty() && name.back() == ']') name = name.substr(0, name.rfind('['));
        while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back())))
            name.remove_suffix(1);
        return !name.empty() && (name.back() == 'Y' || name.back() == 'y');
    }

private:
    /// The number of the sheet's page among the pages of its kind (foreground or background),
    /// or how many there are; a master counts as a page of its own.
    formula::Value PageFact(bool count) const {
        if (!m_self.page || !m_self.document) return formula::Value::Number(1);
        double number = 0, total = 0;
        for (const auto& page : m_self.document->pages) {
            if (page->background != m_self.page->background) continue;
            ++total;
            if (page.get() == m_self.page) number = total;
        }
        return formula::Value::Number(count ? total : number);
    }

    /// Whether the shape's Relationships cell names a container it belongs to.
    bool InAContainer() const {
        const std::string relationships = m_model.Formula(
            m_self, visio::visSectionObject, visio::visRowShapeLayout, kRelationshipsCell);
        std::string upper = relationships;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return upper.find("SHEETREF") != std::string::npos;
    }

    static constexpr int16_t kRelationshipsCell = 3;

    static SheetPtr Shared(Sheet sheet) {
        return const_cast<SheetData&>(*static_cast<const SheetData*>(sheet)).shared_from_this();
    }

    static const std::vector<SheetPtr>* ShapesNear(const SheetData& sheet) {
        if (sheet.page) return &sheet.page->shapes;
        if (sheet.master) return &sheet.master->shapes;
        return nullptr;
    }

    const PageData* FindPage(std::string_view name) const {
        for (const auto& page : m_self.document->pages) {
            if (formula::SameName(page->name, name) || formula::SameName(page->nameU, name))
                return page.get();
        }
        return nullptr;
    }

    const MasterData* FindMaster(std::string_view name) const {
        for (const auto& master : m_self.document->masters) {
            if (formula::SameName(master->name, name) || formula::SameName(master->nameU, name))
                return master.get();
        }
        return nullptr;
    }

    Model& m_model;
    const SheetData& m_self;
    std::optional<CellAddress> m_host;  // the cell whose formula is computed, when one is
};

namespace {

// The shape transform's cells, as PlacementCells gives them.
constexpr size_t kPinX = 0, kPinY = 1, kLocPinX = 4, kLocPinY = 5, kAngle = 6, kFlipX = 7,
                 kFlipY = 8;

}  // namespace

void Evaluator::ToPageCoordinates(const SheetPtr& shape, double& x, double& y) {
    for (SheetData* at = shape.get(); at && at->kind == SheetKind::Shape; at = at->parent) {
        const std::array<double, 9> cells = PlacementCells(at->shared_from_this());
        const double dx = (x - cells[kLocPinX]) * (cells[kFlipX] != 0 ? -1 : 1);
        const double dy = (y - cells[kLocPinY]) * (cells[kFlipY] != 0 ? -1 : 1);
        const double c = std::cos(cells[kAngle]), s = std::sin(cells[kAngle]);
        x = cells[kPinX] + dx * c - dy * s;
        y = cells[kPinY] + dx * s + dy * c;
    }
}

void Evaluator::FromPageCoordinates(const SheetPtr& shape, double& x, double& y) {
    std::vector<SheetPtr> chain;  // the shape and the groups around it, outermost last
    for (SheetData* at = shape.get(); at && at->kind == SheetKind::Shape; at = at->parent)
        chain.push_back(at->shared_from_this());
    for (auto at = chain.rbegin(); at != chain.rend(); ++at) {
        const std::array<double, 9> cells = PlacementCells(*at);
        const double dx = x - cells[kPinX], dy = y - cells[kPinY];
        const double c = std::cos(cells[kAngle]), s = std::sin(cells[kAngle]);
        x = cells[kLocPinX] + (dx * c + dy * s) * (cells[kFlipX] != 0 ? -1 : 1);
        y = cells[kLocPinY] + (-dx * s + dy * c) * (cells[kFlipY] != 0 ? -1 : 1);
    }
}

std::array<double, 9> Evaluator::PlacementCells(const SheetPtr& shape) {
    std::array<double, 9> cells{};
    for (int16_t cell = 0; cell < 9; ++cell) {
        const formula::Value value =
            Compute(shape, visio::visSectionObject, visio::visRowXFormOut, cell);
        cells[static_cast<size_t>(cell)] = formula::NumberOf(value).value_or(0);
    }
    return cells;
}

std::string RenumberReferences(
    std::string_view formula, const std::function<std::optional<int32_t>(int32_t)>& renumber) {
    constexpr std::string_view prefix = "Sheet.";
    std::string result;
    size_t rest = 0;
    for (size_t found; (found = formula.find(prefix, rest)) != std::string_view::npos;) {
        size_t end = found + prefix.size();
        while (end < formula.size() && std::isdigit(static_cast<unsigned char>(formula[end])))
            ++end;
        // A name that merely ends in "Sheet." is no reference, nor is a shape of another page
        // or master ("Pages[Page-2]!Sheet.5!").
        const char before = found == 0 ? ' ' : formula[found - 1];
        const bool starts = !(std::isalnum(static_cast<unsigned char>(before)) || before == '_' ||
                              before == '.' || before == '!');
        const size_t digits = end - found - prefix.size();
        if (starts && digits > 0 && digits < 10 && end < formula.size() && formula[end] == '!') {
            const auto id = static_cast<int32_t>(
                std::stol(std::string(formula.substr(found + prefix.size(), digits))));
            if (const auto mapped = renumber(id)) {
                result.append(formula, rest, found - rest)
                    .append(prefix)
                    .append(std::to_string(*mapped));
                rest = end;
                continue;
            }
        }
        result.append(formula, rest, end - rest);
        rest = end;
    }
    return result.append(formula, rest);
}

const SheetData* Model::InstanceMember(const SheetData& viewer, const MasterData& master,
                                       int32_t masterShapeId) {
    const auto inMaster = [&](const SheetData& shape) {
        return shape.masterShape && shape.masterShape->master == &master;
    };
    std::function<const SheetData*(const SheetData&)> find =
        [&](const SheetData& shape) -> const SheetData* {
        if (inMaster(shape) && shape.masterShape->id == masterShapeId) return &shape;
        for (const auto& member : shape.shapes) {
            if (const SheetData* found = find(*member)) return found;
        }
        return nullptr;
    };
    // The instance is the outermost group whose master shape lies in the same master.
    const SheetData* root = &viewer;
    while (root->parent && inMaster(*root->parent))
        root = root->parent;
    if (const SheetData* found = find(*root)) return found;
    // A master of several shapes drops as a group of its own holding one instance of each.
    if (master.shapes.size() > 1 && root->parent && !root->parent->masterShape) {
        for (const auto& sibling : root->parent->shapes) {
            if (const SheetData* found = find(*sibling)) return found;
        }
    }
    return nullptr;
}

std::string Model::SeenThrough(const SheetData& sheet, const SheetData& owner,
                               std::string_view formula) const {
    if (&owner == &sheet || formula.find("Sheet.") == std::string_view::npos)
        return std::string(formula);
    // The sheets from the viewer up to the master shape whose formula it is; a formula that
    // comes from a style names no shapes of an instance.
    std::vector<const SheetData*> chain{&sheet};
    while (chain.back() != &owner && chain.back()->masterShape && chain.size() < 64)
        chain.push_back(chain.back()->masterShape.get());
    if (chain.back() != &owner) return std::string(formula);
    std::string text(formula);
    // Each step down the chain trades one master's IDs for those of the next instance.
    for (size_t i = chain.size() - 1; i-- > 0;) {
        const MasterData* master = chain[i + 1]->master;
        if (!master) continue;
        text = RenumberReferences(text, [&](int32_t id) -> std::optional<int32_t> {
            const SheetData* member = InstanceMember(*chain[i], *master, id);
            if (!member) return std::nullopt;
            return member->id;
        });
    }
    return text;
}

std::optional<formula::FormulaProblem> Evaluator::CheckFormula(const SheetPtr& sheet,
                                                           std::string_view text) {
    SheetResolver resolver(m_model, *sheet);
    return formula::CheckFormula(text, resolver);
}

formula::Value Evaluator::Result(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell) {
    RequireAlive(*sheet);
    if (!m_model.CellExists(*sheet, section, row, cell, false)) hosterr::Raise(hosterr::kNoSuchCell);
    return Compute(sheet, section, row, cell);
}

double Evaluator::ResultNumber(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell) {
    const formula::Value value = Result(sheet, section, row, cell);
    switch (value.type) {
        case formula::Value::Type::Number:
        case formula::Value::Type::Color:
            return value.number;
        case formula::Value::Type::String: {
            const auto number = formula::NumberOf(value);
            return number ? *number : 0;
        }
        default:
            return 0;
    }
}

bool Evaluator::IsClippingPath(const SheetData& sheet, int16_t section, int16_t row, int16_t cell) {
    constexpr int16_t kClippingPath = 4;
    return sheet.shapeKind == ShapeKind::Foreign && section == visio::visSectionObject &&
           row == visio::visRowForeign && cell == kClippingPath;
}

bool Evaluator::IsEventCell(int16_t section, int16_t row, int16_t cell) {
    return (section == visio::visSectionAction && cell == 3) ||
           (section == visio::visSectionObject && row == visio::visRowEvent);
}

formula::Value Evaluator::Compute(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell) {
    if (m_recalculating) return Recalculate(sheet, section, row, cell);
    const CellData* own = m_model.OwnCell(*sheet, section, row, cell);
    if (own && own->computedAt == m_model.Undo().ChangeCount()) return own->value;
    const SheetData* owner = nullptr;
    const CellData* source = m_model.FormulaCell(*sheet, section, row, cell, &owner);
    // What the cell showed last: its own cached value, else its source's.
    formula::Value fallback = own ? own->value : source ? source->value : formula::Value::Number(0);
    // Action and event cells are evaluated only when their event fires: they keep their value.
    if (!source || source->source != CellData::Source::Local || source->formula.empty() ||
        IsEventCell(section, row, cell)) {
        CacheValue(*sheet, section, row, cell, fallback);
        return fallback;
    }
    std::optional<formula::Value> value = Evaluated(sheet, *owner, *source, section, row, cell);
    if (!value) return fallback;
    const bool estimated = !value->IsKnown();
    if (estimated) value = std::move(fallback);
    CacheValue(*sheet, section, row, cell, *value, estimated);
    return *value;
}

std::optional<formula::Value> Evaluator::Evaluated(const SheetPtr& sheet, const SheetData& owner,
                                               const CellData& source, int16_t section, int16_t row,
                                               int16_t cell) {
    // A copy: evaluation may move cells in memory.
    const std::string text = m_model.SeenThrough(*sheet, owner, source.formula);
    const uint64_t key =
        reinterpret_cast<uintptr_t>(sheet.get()) * 0x9E3779B97F4A7C15ull ^
        (static_cast<uint64_t>(static_cast<uint16_t>(section)) << 32 |
         static_cast<uint64_t>(static_cast<uint16_t>(row)) << 16 | static_cast<uint16_t>(cell));
    if (!m_cycleGuard.Enter(key)) return std::nullopt;
    formula::Value value = formula::Value::NotComputable(formula::Need::Computation, "its syntax");
    const formula::ParseResult parsed = formula::Parse(text);
    if (!parsed.error) {
        SheetResolver resolver(m_model, *sheet, CellAddress{section, row, cell});
        value = formula::Evaluate(parsed.formula, resolver);
    }
    m_cycleGuard.Leave(key);
    if (section == visio::visSectionCharacter && cell == visio::visCharacterSize &&
        value.IsNumber()) {
        value.number = std::max(value.number, 1.0 / 72);  // Visio's text is never smaller than 1 pt
    }
    // A picture is clipped to a geometry's path; anything else shows #N/A.
    if (IsClippingPath(*sheet, section, row, cell) && value.IsKnown())
        value = formula::Value::Error(formula::ErrorValue::NA);
    return value;
}

formula::Value Evaluator::Recalculated(const SheetPtr& sheet, int16_t section, int16_t row,
                                   int16_t cell) {
    RequireAlive(*sheet);
    if (m_recalculatedAt != m_model.Undo().ChangeCount()) {
        m_recalculated.clear();
        m_recalculatedAt = m_model.Undo().ChangeCount();
    }
    const bool outermost = !m_recalculating;
    m_recalculating = true;
    try {
        formula::Value value = Recalculate(sheet, section, row, cell);
        m_recalculating = !outermost;
        return value;
    } catch (...) {
        m_recalculating = !outermost;
        throw;
    }
}

formula::Value Evaluator::Recalculate(const SheetPtr& sheet, int16_t section, int16_t row,
                                  int16_t cell) {
    const std::pair<const SheetData*, int64_t> key{
        sheet.get(), static_cast<int64_t>(section) << 32 | static_cast<int64_t>(row) << 16 | cell};
    if (const auto found = m_recalculated.find(key); found != m_recalculated.end())
        return found->second;
    const SheetData* owner = nullptr;
    const CellData* source = m_model.FormulaCell(*sheet, section, row, cell, &owner);
    formula::Value value;
    constexpr int16_t kLanguageCell = 26;
    if (IsEventCell(section, row, cell)) {
        value = formula::Value::Number(0);  // shows nothing until its event fires
    } else if (section == visio::visSectionObject && row == visio::visRowMisc &&
               cell == kLanguageCell && owner != sheet.get()) {
        // A sheet without a language of its own keeps the one of the Visio that made it.
        value = LastShown(*sheet, section, row, cell, source, formula::Need::Environment);
    } else if (!source || source->source != CellData::Source::Local || source->formula.empty()) {
        value = formula::Value::Number(0);  // no formula: nothing
    } else {
        std::optional<formula::Value> evaluated =
            Evaluated(sheet, *owner, *source, section, row, cell);
        if (!evaluated)
            return formula::Value::NotComputable(formula::Need::Computation,
                                                 "a circular reference");
        value = std::move(*evaluated);
        // What no file holds (text as drawn, the clock, the user's settings) was measured when
        // the value was last shown: the cells that name this one compute with that.
        if (!value.IsKnown() && value.need != formula::Need::Computation)
            value = LastShown(*sheet, section, row, cell, source, value.need);
    }
    m_recalculated.emplace(key, value);
    return value;
}

formula::Value Evaluator::LastShown(const SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                                const CellData* source, formula::Need need) const {
    const CellData* own = m_model.OwnCell(sheet, section, row, cell);
    formula::Value value = own      ? own->value
                           : source ? source->value
                                    : formula::Value::NotComputable();
    value.need = need;
    return value;
}

void Evaluator::CacheValue(SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                       formula::Value value, bool estimated) {
    RowData* data = nullptr;
    int16_t index = cell;
    if (section == visio::visSectionObject) {
        data = &sheet.objectCells;
        index = ObjectCellKey(row, cell);
    } else if (SectionData* sectionData = sheet.Section(section);
               sectionData && row >= 0 && static_cast<size_t>(row) < sectionData->rows.size()) {
        data = &sectionData->rows[static_cast<size_t>(row)];
    }
    if (!data) return;
    CellData& stored = data->Get(index);
    stored.value = std::move(value);
    stored.computedAt = m_model.Undo().ChangeCount();
    stored.estimated = estimated;
}

void Model::SetLocalFormula(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell,
                            std::string text) {
    const int16_t index = section == visio::visSectionObject ? ObjectCellKey(row, cell) : cell;
    // Until its new formula is computed the cell shows what it showed before: inherited from
    // its master or style when it had no value of its own. A formula this model cannot compute
    // leaves that value, which a file needs, rather than none.
    const CellData* own = OwnCell(*sheet, section, row, cell);
    formula::Value shown =
        own && IsShowable(own->value) ? own->value : m_values.Compute(sheet, section, row, cell);
    if (!IsShowable(shown)) {
        // What this model cannot compute in the cell's place, the file that holds the formula
        // has a value for (Visio's last good one).
        if (const CellData* source = FormulaCell(*sheet, section, row, cell);
            source && IsShowable(source->value)) {
            shown = source->value;
        }
    }
    own = OwnCell(*sheet, section, row, cell);  // computing may have cached a value
    CellData data = own ? *own : CellData{};
    data.value = std::move(shown);
    data.index = index;
    data.source = CellData::Source::Local;
    data.valueOnly = false;
    data.formula = std::move(text);
    data.computedAt = 0;
    if (section != visio::visSectionObject) MakeRowLocal(sheet, section, row);
    StoreCell(sheet, section, row, std::move(data));
}

void Model::SetFormula(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell,
                       std::string_view formula) {
    CheckCellWritable(*sheet, section, row, cell);
    while (!formula.empty() && formula.front() == ' ')
        formula.remove_prefix(1);
    if (!formula.empty() && formula.front() == '=') formula.remove_prefix(1);
    if (formula.empty()) {
        RevertToInherited(sheet, section, row, cell);
        return;
    }
    const formula::ParseResult parsed = formula::Parse(formula);
    if (parsed.error) {
        hosterr::Raise(hosterr::kFormulaSyntax, parsed.error->message + " at character " +
                                                    std::to_string(parsed.error->position + 1) +
                                                    " of '" + std::string(formula) + "'.");
    }
    SheetResolver resolver(*this, *sheet);
    if (const auto problem = formula::CheckFormula(parsed, resolver)) {
        hosterr::Raise(hosterr::kBadFormula,
                       "In '" + std::string(formula) + "': " + problem->message + ".");
    }
    SetLocalFormula(sheet, section, row, cell, std::string(formula));
}

void Model::RevertToInherited(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell) {
    // The cell keeps no formula of its own: it shows what it inherits, or nothing. Files hold no
    // formula for such a cell; "No Formula" comes only from a file that holds it already.
    const int16_t index = section == visio::visSectionObject ? ObjectCellKey(row, cell) : cell;
    if (OwnCell(*sheet, section, row, cell)) EraseCell(sheet, section, row, index);
    m_undo.Changed();
}

void Model::SetResult(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell,
                      double value, bool blastGuards) {
    CheckCellWritable(*sheet, section, row, cell);
    const std::string current = Formula(*sheet, section, row, cell);
    if (!blastGuards && current.size() > 6 && formula::SameName(current.substr(0, 6), "GUARD("))
        return;
    SetLocalFormula(sheet, section, row, cell, formula::FormatNumber(value));
}

}  // namespace tess::embedded
