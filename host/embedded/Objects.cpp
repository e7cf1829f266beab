#include "host/embedded/Objects.h"

#include <algorithm>

#include "formula/CellCatalogue.h"
#include "host/embedded/HostErrors.h"
#include "platform/visio/Constants.h"

namespace tess::embedded {
namespace {

using namespace visio;

/// Every object shares the model; each member call passes the gate first.
class Object {
public:
    explicit Object(std::shared_ptr<Model> model) : m_model(std::move(model)) {}

protected:
    Model& M(const char* member) const {
        m_model->Calls().Gate(member);
        return *m_model;
    }
    const std::shared_ptr<Model>& Shared() const { return m_model; }

private:
    std::shared_ptr<Model> m_model;
};

[[noreturn]] void NotFound(const std::string& what) {
    hosterr::Raise(hosterr::kNoSuchObject, what);
}

int16_t Count16(size_t count) {
    return static_cast<int16_t>(std::min<size_t>(count, 32767));
}

template <class T>
const T& At(const std::vector<T>& items, int16_t index) {
    if (index < 1 || static_cast<size_t>(index) > items.size())
        NotFound("No item " + std::to_string(index) + ".");
    return items[static_cast<size_t>(index - 1)];
}

class ShapesObject : public IShapes, Object {
public:
    ShapesObject(std::shared_ptr<Model> model, std::shared_ptr<ShapeContainer> container)
        : Object(std::move(model)), m_container(std::move(container)) {}

    int16_t Count() override {
        Load(M("Shapes.Count"));
        return m_container ? Count16(m_container->shapes.size()) : 0;
    }
    ShapePtr Item(int16_t index) override {
        Load(M("Shapes.Item"));
        if (!m_container) NotFound("No shapes.");
        return WrapShape(Shared(), At(m_container->shapes, index));
    }
    ShapePtr Item(const std::string& name) override {
        Load(M("Shapes.Item"));
        if (m_container) {
            for (const auto& shape : m_container->shapes) {
                if (formula::SameName(DisplayName(*shape), name) ||
                    formula::SameName(DisplayNameU(*shape), name) ||
                    formula::SameName(NameId(*shape), name)) {
                    return WrapShape(Shared(), shape);
                }
            }
        }
        NotFound("No shape named '" + name + "'.");
    }
    /// IDs are unique within a page or master: the shape is found at any depth.
    ShapePtr ItemFromID(int32_t id) override {
        Load(M("Shapes.ItemFromID"));
        const std::unordered_map<int32_t, SheetData*>* index = nullptr;
        if (const auto* page = dynamic_cast<const PageData*>(m_container.get()))
            index = &page->shapesById;
        if (const auto* master = dynamic_cast<const MasterData*>(m_container.get()))
            index = &master->shapesById;
        if (index) {
            if (const auto found = index->find(id);
                found != index->end() && !found->second->deleted) {
                return WrapShape(Shared(), found->second->shared_from_this());
            }
        } else if (m_container) {
            if (const SheetPtr found = FindMember(m_container->shapes, id))
                return WrapShape(Shared(), found);
        }
        NotFound("No shape with ID " + std::to_string(id) + ".");
    }

private:
    static SheetPtr FindMember(const std::vector<SheetPtr>& shapes, int32_t id) {
        for (const auto& shape : shapes) {
            if (shape->id == id) return shape;
            if (SheetPtr found = FindMember(shape->shapes, id)) return found;
        }
        return nullptr;
    }

    void Load(Model& model) {
        if (m_container) model.LoadShapes(*m_container);
    }

    std::shared_ptr<ShapeContainer> m_container;
};

class CellObject : public ICell, Object {
public:
    CellObject(std::shared_ptr<Model> model, SheetPtr sheet, int16_t section, int16_t row,
               int16_t cell)
        : Object(std::move(model)),
          m_sheet(std::move(sheet)),
          m_section(section),
          m_row(row),
          m_cell(cell) {}

    std::string Formula() override {
        Model& model = M("Cell.Formula");
        Check(model);
        return model.Formula(*m_sheet, m_section, m_row, m_cell);
    }
    void SetFormula(const std::string& formula) override {
        M("Cell.SetFormula").SetFormula(m_sheet, m_section, m_row, m_cell, formula);
    }
    double ResultIU() override {
        return M("Cell.ResultIU").Values().ResultNumber(m_sheet, m_section, m_row, m_cell);
    }
    void SetResultIU(double value) override {
        M("Cell.SetResultIU").SetResult(m_sheet, m_section, m_row, m_cell, value);
    }
    std::string ResultStr(int16_t units) override {
        // Values are kept in internal units; no other units are offered.
        if (units != visNoCast && units != 0) hosterr::Raise(hosterr::kBadArgument);
        Model& model = M("Cell.ResultStr");
        Check(model);
        const formula::Value value = model.Values().Result(m_sheet, m_section, m_row, m_cell);
        if (value.type == formula::Value::Type::Error)
            return std::string(formula::ErrorText(value.error));
        return formula::TextOf(value);
    }
    std::string RowName() override {
        Model& model = M("Cell.RowName");
        Check(model);
        return model.RowName(*m_sheet, m_section, m_row);
    }
    void SetRowName(const std::string& name) override {
        M("Cell.SetRowName").SetRowName(m_sheet, m_section, m_row, name);
    }
    std::string Name() override {
        Model& model = M("Cell.Name");
        Check(model);
        return formula::CellNameText(m_section, m_row, m_cell,
                                     model.RowName(*m_sheet, m_section, m_row));
    }
    int16_t Section() override { return m_section; }
    int16_t Row() override { return m_row; }
    int16_t Column() override { return m_cell; }

private:
    void Check(const Model& model) const {
        RequireAlive(*m_sheet);
        if (!model.CellExists(*m_sheet, m_section, m_row, m_cell, false))
            hosterr::Raise(hosterr::kNoSuchCell);
    }

    SheetPtr m_sheet;
    int16_t m_section, m_row, m_cell;
};

class CharactersObject : public ICharacters, Object {
public:
    CharactersObject(std::shared_ptr<Model> model, SheetPtr sheet, int32_t end)
        : Object(std::move(model)), m_sheet(std::move(sheet)), m_end(end) {}

    int32_t Begin() override {
        M("Characters.Begin");
        return m_begin;
    }
    void SetBegin(int32_t position) override {
        Model& model = M("Characters.SetBegin");
        m_begin = std::clamp(position, 0, model.Text().CharacterCount(*m_sheet));
        m_end = std::max(m_end, m_begin);
    }
    int32_t End() override {
        M("Characters.End");
        return m_end;
    }
    void SetEnd(int32_t position) override {
        Model& model = M("Characters.SetEnd");
        m_end = std::clamp(position, 0, model.Text().CharacterCount(*m_sheet));
        m_begin = std::min(m_begin, m_end);
    }
    int32_t CharCount() override {
        M("Characters.CharCount");
        return m_end - m_begin;
    }
    int32_t RunBegin(int16_t runType) override {
        return M("Characters.RunBegin").Text().Run(*m_sheet, runType, m_begin).first;
    }
    int32_t RunEnd(int16_t runType) override {
        return M("Characters.RunEnd").Text().Run(*m_sheet, runType, m_begin).second;
    }
    int16_t CharPropsRow(int16_t bias) override {
        return M("Characters.CharPropsRow")
            .Text().PropsRow(*m_sheet, visSectionCharacter, m_begin, m_end, bias);
    }
    int16_t ParaPropsRow(int16_t bias) override {
        return M("Characters.ParaPropsRow")
            .Text().PropsRow(*m_sheet, visSectionParagraph, m_begin, m_end, bias);
    }
    void SetCharProps(int16_t cell, int16_t value) override {
        M("Characters.SetCharProps")
            .Text().SetRunProps(m_sheet, visSectionCharacter, m_begin, m_end, cell, value);
    }
    void SetParaProps(int16_t cell, int16_t value) override {
        M("Characters.SetParaProps")
            .Text().SetRunProps(m_sheet, visSectionParagraph, m_begin, m_end, cell, value);
    }
    bool IsField() override {
        return M("Characters.IsField").Text().FieldAt(*m_sheet, m_begin, m_end) != nullptr;
    }
    int16_t FieldCategory() override { return FieldCell("Characters.FieldCategory", 4); }
    int16_t FieldCode() override { return FieldCell("Characters.FieldCode", 5); }
    int16_t FieldFormat() override { return FieldCell("Characters.FieldFormat", 6); }
    std::string FieldFormula() override {
        Model& model = M("Characters.FieldFormula");
        return model.Formula(*m_sheet, visSectionTextField, Field(model).row, 0);
    }
    void AddField(int16_t category, int16_t code, int16_t format) override {
        Model& model = M("Characters.AddField");
        Insert(model, category, code, format, TextModel::FieldFormula(category, code));
    }
    void AddCustomField(const std::string& formula, int16_t format) override {
        Insert(M("Characters.AddCustomField"), 0, 0, format, formula);
    }
    std::string Text() override { return M("Characters.Text").Text().TextRange(*m_sheet, m_begin, m_end); }
    void SetText(const std::string& text) override {
        Model& model = M("Characters.SetText");
        const int32_t before = model.Text().CharacterCount(*m_sheet);
        model.Text().ReplaceText(m_sheet, m_begin, m_end, text);
        m_end += model.Text().CharacterCount(*m_sheet) - before;
    }

private:
    const TextField& Field(const Model& model) const {
        const TextField* field = model.Text().FieldAt(*m_sheet, m_begin, m_end);
        if (!field) hosterr::Raise(hosterr::kNotAllowed, "The range is not a field.");
        return *field;
    }
    int16_t FieldCell(const char* member, int16_t cell) {
        Model& model = M(member);
        return static_cast<int16_t>(
            model.Values().ResultNumber(m_sheet, visSectionTextField, Field(model).row, cell));
    }
    void Insert(Model& model, int16_t category, int16_t code, int16_t format,
                const std::string& formula) {
        const int32_t before = model.Text().CharacterCount(*m_sheet);
        model.Text().InsertField(m_sheet, m_begin, m_end, category, code, format, formula);
        m_end += model.Text().CharacterCount(*m_sheet) - before;
    }

    SheetPtr m_sheet;
    int32_t m_begin = 0;
    int32_t m_end = 0;
};

class SelectionObject : public ISelection, Object {
public:
    SelectionObject(std::shared_ptr<Model> model, std::vector<SheetPtr> shapes)
        : Object(std::move(model)), m_shapes(std::move(shapes)) {}
    int16_t Count() override {
        M("Selection.Count");
        return Count16(m_shapes.size());
    }
    ShapePtr Item(int16_t index) override {
        M("Selection.Item");
        return WrapShape(Shared(), At(m_shapes, index));
    }

private:
    std::vector<SheetPtr> m_shapes;
};

class WindowObject : public IWindow, Object {
public:
    WindowObject(std::shared_ptr<Model> model, std::shared_ptr<WindowData> window)
        : Object(std::move(model)), m_window(std::move(window)) {}

    DocumentPtr Document() override {
        Open(M("Window.Document"));
        return WrapDocument(Shared(), m_window->document);
    }
    SelectionPtr Selection() override {
        Open(M("Window.Selection"));
        return std::make_shared<SelectionObject>(Shared(), m_window->selection);
    }
    void DeselectAll() override {
        Open(M("Window.DeselectAll"));
        m_window->selection.clear();
    }
    void Select(const ShapePtr& shape, int16_t selectAction) override {
        Open(M("Window.Select"));
        SheetPtr sheet = SheetOf(shape);
        if (!sheet || sheet->deleted || sheet->kind != SheetKind::Shape)
            hosterr::Raise(hosterr::kBadArgument);
        const bool shown = m_window->group ? sheet->parent == m_window->group.get()
                                           : sheet->page == m_window->page.get();
        if (!shown) hosterr::Raise(hosterr::kNotAllowed, "The shape is not in this window.");
        auto& selection = m_window->selection;
        if (selectAction & visDeselectAll) selection.clear();
        const int16_t action = static_cast<int16_t>(selectAction & ~visDeselectAll);
        if (action == visDeselect) {
            selection.erase(std::remove(selection.begin(), selection.end(), sheet),
                            selection.end());
        } else if (action == visSelect || action == visSubSelect) {
            if (std::find(selection.begin(), selection.end(), sheet) == selection.end())
                selection.push_back(sheet);
        } else {
            hosterr::Raise(hosterr::kBadArgument,
                           "Unknown select action " + std::to_string(selectAction) + ".");
        }
    }
    void Paste() override { M("Window.Paste").Windows().Paste(m_window); }
    void Close() override { M("Window.Close").Windows().CloseWindow(m_window); }

private:
    void Open(const Model&) const {
        if (m_window->closed) hosterr::Raise(hosterr::kObjectDeleted, "The window is closed.");
    }
    std::shared_ptr<WindowData> m_window;
};

class ShapeObject : public IShape, Object {
public:
    ShapeObject(std::shared_ptr<Model> model, SheetPtr sheet)
        : Object(std::move(model)), m_sheet(std::move(sheet)) {}

    const SheetPtr& Sheet() const { return m_sheet; }

    std::string Name() override { return Alive(M("Shape.Name")), DisplayName(*m_sheet); }
    void SetName(const std::string& name) override { M("Shape.SetName").Shapes().SetName(m_sheet, name); }
    std::string NameU() override { return Alive(M("Shape.NameU")), DisplayNameU(*m_sheet); }
    void SetNameU(const std::string& name) override { M("Shape.SetNameU").Shapes().SetNameU(m_sheet, name); }
    std::string NameID() override { return Alive(M("Shape.NameID")), NameId(*m_sheet); }
    int32_t ID() override { return Alive(M("Shape.ID")), m_sheet->id; }
    std::string UniqueID(int16_t flags) override {
        return M("Shape.UniqueID").Shapes().UniqueId(m_sheet, flags == visGetOrMakeGUID);
    }
    int16_t Type() override {
        Alive(M("Shape.Type"));
        return TypeOf(*m_sheet);
    }
    int16_t ForeignType() override {
        Alive(M("Shape.ForeignType"));
        return m_sheet->shapeKind == ShapeKind::Foreign && m_sheet->kind == SheetKind::Shape
                   ? m_sheet->foreignType
                   : TypeOf(*m_sheet);
    }

    ShapesPtr Shapes() override {
        Alive(M("Shape.Shapes"));
        return std::make_shared<ShapesObject>(
            Shared(), m_sheet->kind == SheetKind::Shape ? m_sheet : nullptr);
    }
    ObjectPtr Parent() override {
        Model& model = M("Shape.Parent");
        Alive(model);
        if (m_sheet->parent) return WrapShape(Shared(), m_sheet->parent->shared_from_this());
        if (m_sheet->kind == SheetKind::DocumentSheet)
            return WrapDocument(Shared(), model.DocumentPtr(m_sheet->document));
        if (m_sheet->page) return WrapPage(Shared(), model.PagePtr(m_sheet->page));
        if (m_sheet->master) return WrapMaster(Shared(), model.MasterPtr(m_sheet->master));
        return nullptr;
    }
    PagePtr ContainingPage() override {
        Model& model = M("Shape.ContainingPage");
        Alive(model);
        return m_sheet->page ? WrapPage(Shared(), model.PagePtr(m_sheet->page)) : nullptr;
    }
    MasterPtr ContainingMaster() override {
        Model& model = M("Shape.ContainingMaster");
        Alive(model);
        return m_sheet->master ? WrapMaster(Shared(), model.MasterPtr(m_sheet->master)) : nullptr;
    }
    ShapePtr MasterShape() override {
        Model& model = M("Shape.MasterShape");
        Alive(model);
        return m_sheet->masterShape ? WrapShape(Shared(), m_sheet->masterShape) : nullptr;
    }
    DocumentPtr Document() override {
        Model& model = M("Shape.Document");
        Alive(model);
        return WrapDocument(Shared(), model.DocumentPtr(m_sheet->document));
    }

    bool SectionExists(int16_t section, int16_t existsLocally) override {
        Model& model = M("Shape.SectionExists");
        Alive(model);
        return model.SectionExists(*m_sheet, section, existsLocally != 0);
    }
    bool RowExists(int16_t section, int16_t row, int16_t existsLocally) override {
        Model& model = M("Shape.RowExists");
        Alive(model);
        return model.RowExists(*m_sheet, section, row, existsLocally != 0);
    }
    bool CellsSRCExists(int16_t section, int16_t row, int16_t cell,
                        int16_t existsLocally) override {
        Model& model = M("Shape.CellsSRCExists");
        Alive(model);
        return model.CellExists(*m_sheet, section, row, cell, existsLocally != 0);
    }
    int16_t AddSection(int16_t section) override {
        return M("Shape.AddSection").AddSection(m_sheet, section);
    }
    void DeleteSection(int16_t section) override {
        M("Shape.DeleteSection").DeleteSection(m_sheet, section);
    }
    int16_t RowCount(int16_t section) override {
        Model& model = M("Shape.RowCount");
        Alive(model);
        return model.RowCount(*m_sheet, section);
    }
    int16_t RowsCellCount(int16_t section, int16_t row) override {
        Model& model = M("Shape.RowsCellCount");
        Alive(model);
        return model.RowsCellCount(*m_sheet, section, row);
    }
    int16_t GeometryCount() override {
        Model& model = M("Shape.GeometryCount");
        Alive(model);
        return model.GeometryCount(*m_sheet);
    }
    int16_t RowType(int16_t section, int16_t row) override {
        Model& model = M("Shape.RowType");
        Alive(model);
        return model.RowType(*m_sheet, section, row);
    }
    void SetRowType(int16_t section, int16_t row, int16_t rowTag) override {
        M("Shape.SetRowType").SetRowType(m_sheet, section, row, rowTag);
    }
    int16_t AddRow(int16_t section, int16_t row, int16_t rowTag) override {
        return M("Shape.AddRow").AddRow(m_sheet, section, row, rowTag);
    }
    int16_t AddRows(int16_t section, int16_t row, int16_t rowTag, int16_t rowCount) override {
        Model& model = M("Shape.AddRows");
        if (rowCount < 1) hosterr::Raise(hosterr::kBadArgument);
        const int16_t first = model.AddRow(m_sheet, section, row, rowTag);
        for (int16_t i = 1; i < rowCount; ++i) {
            const int16_t at = row == visRowLast ? visRowLast : static_cast<int16_t>(first + i);
            model.AddRow(m_sheet, section, at, rowTag);
        }
        return first;
    }
    int16_t AddNamedRow(int16_t section, const std::string& name, int16_t rowTag) override {
        return M("Shape.AddNamedRow").AddNamedRow(m_sheet, section, name, rowTag);
    }
    void DeleteRow(int16_t section, int16_t row) override {
        M("Shape.DeleteRow").DeleteRow(m_sheet, section, row);
    }

    CellPtr CellsSRC(int16_t section, int16_t row, int16_t cell) override {
        Model& model = M("Shape.CellsSRC");
        Alive(model);
        if (!model.CellExists(*m_sheet, section, row, cell, false)) {
            hosterr::Raise(hosterr::kNoSuchCell, "Section " + std::to_string(section) + ", row " +
                                                     std::to_string(row) + ", cell " +
                                                     std::to_string(cell) + ".");
        }
        return std::make_shared<CellObject>(Shared(), m_sheet, section, row, cell);
    }
    CellPtr Cells(const std::string& name) override {
        Model& model = M("Shape.Cells");
        Alive(model);
        const auto decoded = formula::DecodeCellName(name);
        if (!decoded) hosterr::Raise(hosterr::kNoSuchCell, "No cell is named '" + name + "'.");
        int16_t row = decoded->row;
        if (decoded->named) row = model.FindNamedRow(*m_sheet, decoded->section, decoded->rowName);
        if (row < 0 || !model.CellExists(*m_sheet, decoded->section, row, decoded->cell, false)) {
            hosterr::Raise(hosterr::kNoSuchCell, "The shape has no cell '" + name + "'.");
        }
        return std::make_shared<CellObject>(Shared(), m_sheet, decoded->section, row,
                                            decoded->cell);
    }
    std::vector<std::string> GetFormulas(std::span<const int16_t> srcStream) override {
        Model& model = M("Shape.GetFormulas");
        Alive(model);
        if (srcStream.size() % 3 != 0)
            hosterr::Raise(hosterr::kBadArgument, "The stream is not made of triples.");
        std::vector<std::string> formulas;
        formulas.reserve(srcStream.size() / 3);
        for (size_t i = 0; i < srcStream.size(); i += 3) {
            const int16_t section = srcStream[i], row = srcStream[i + 1], cell = srcStream[i + 2];
            if ((section & 0xFF) == visSectionInval) {
                formulas.emplace_back();
                continue;
            }
            if (!model.CellExists(*m_sheet, section, row, cell, false)) {
                hosterr::Raise(hosterr::kNoSuchCell, "Section " + std::to_string(section) +
                                                         ", row " + std::to_string(row) +
                                                         ", cell " + std::to_string(cell) + ".");
            }
            formulas.push_back(model.Formula(*m_sheet, section, row, cell));
        }
        return formulas;
    }
    int16_t SetFormulas(std::span<const int16_t> srcStream, std::span<const std::string> formulas,
                        int16_t /*flags*/) override {
        Model& model = M("Shape.SetFormulas");
        Alive(model);
        if (srcStream.size() % 3 != 0 || formulas.empty()) hosterr::Raise(hosterr::kBadArgument);
        int16_t written = 0;
        for (size_t i = 0, k = 0; i < srcStream.size(); i += 3, ++k) {
            // Formulas missing at the end repeat the last one, as Visio's SetFormulas does.
            const std::string& formula = formulas[std::min(k, formulas.size() - 1)];
            model.SetFormula(m_sheet, srcStream[i], srcStream[i + 1], srcStream[i + 2], formula);
            ++written;
        }
        return written;
    }

    CharactersPtr Characters() override {
        Model& model = M("Shape.Characters");
        Alive(model);
        if (m_sheet->kind != SheetKind::Shape)
            hosterr::Raise(hosterr::kNotAllowed, "This sheet has no text.");
        return std::make_shared<CharactersObject>(Shared(), m_sheet,
                                                  model.Text().CharacterCount(*m_sheet));
    }
    std::string Data1() override { return Data("Shape.Data1", 0); }
    void SetData1(const std::string& text) override {
        M("Shape.SetData1").Shapes().SetData(m_sheet, 0, text);
    }
    std::string Data2() override { return Data("Shape.Data2", 1); }
    void SetData2(const std::string& text) override {
        M("Shape.SetData2").Shapes().SetData(m_sheet, 1, text);
    }
    std::string Data3() override { return Data("Shape.Data3", 2); }
    void SetData3(const std::string& text) override {
        M("Shape.SetData3").Shapes().SetData(m_sheet, 2, text);
    }
    bool OneD() override {
        Model& model = M("Shape.OneD");
        Alive(model);
        return model.IsOneD(*m_sheet);
    }
    void SetOneD(bool oneD) override { M("Shape.SetOneD").SetOneD(m_sheet, oneD); }

    void ConvertToGroup() override { M("Shape.ConvertToGroup").Shapes().ConvertToGroup(m_sheet); }
    ShapePtr Duplicate() override {
        return WrapShape(Shared(), M("Shape.Duplicate").Shapes().Duplicate(m_sheet));
    }
    void Delete() override { M("Shape.Delete").Shapes().DeleteShape(m_sheet); }
    ShapePtr DrawRectangle(double x1, double y1, double x2, double y2) override {
        return WrapShape(Shared(), M("Shape.DrawRectangle").Shapes().DrawRectangle(m_sheet, x1, y1, x2, y2));
    }
    WindowPtr OpenDrawWindow() override {
        return std::make_shared<WindowObject>(Shared(),
                                              M("Shape.OpenDrawWindow").Windows().OpenGroupWindow(m_sheet));
    }
    void Copy() override { M("Shape.Copy").Windows().CopyToClipboard(m_sheet); }

private:
    void Alive(const Model&) const { RequireAlive(*m_sheet); }
    std::string Data(const char* member, size_t index) {
        Alive(M(member));
        return m_sheet->data[index];
    }
    static int16_t TypeOf(const SheetData& sheet) {
        switch (sheet.kind) {
            case SheetKind::PageSheet:
                return visTypePage;
            case SheetKind::DocumentSheet:
                return visTypeDoc;
            case SheetKind::StyleSheet:
                return 0;
            case SheetKind::Shape:
                break;
        }
        switch (sheet.shapeKind) {
            case ShapeKind::Group:
                return visTypeGroup;
            case ShapeKind::Foreign:
                return visTypeForeignObject;
            case ShapeKind::Guide:
                return visTypeGuide;
            case ShapeKind::Shape:
                break;
        }
        return visTypeShape;
    }

    SheetPtr m_sheet;
};

class PageObject : public IPage, Object {
public:
    PageObject(std::shared_ptr<Model> model, std::shared_ptr<PageData> page)
        : Object(std::move(model)), m_page(std::move(page)) {}

    std::string Name() override { return Alive(M("Page.Name")), m_page->name; }
    int32_t ID() override { return Alive(M("Page.ID")), m_page->id; }
    ShapesPtr Shapes() override {
        Alive(M("Page.Shapes"));
        return std::make_shared<ShapesObject>(Shared(), m_page);
    }
    ShapePtr PageSheet() override {
        Alive(M("Page.PageSheet"));
        return WrapShape(Shared(), m_page->pageSheet);
    }
    DocumentPtr Document() override {
        Model& model = M("Page.Document");
        Alive(model);
        return WrapDocument(Shared(), model.DocumentPtr(m_page->document));
    }
    ShapePtr DrawRectangle(double x1, double y1, double x2, double y2) override {
        Model& model = M("Page.DrawRectangle");
        Alive(model);
        return WrapShape(Shared(), model.Shapes().DrawRectangle(m_page, x1, y1, x2, y2));
    }
    ShapePtr Drop(const ShapePtr& shape, double x, double y) override {
        Model& model = M("Page.Drop");
        Alive(model);
        SheetPtr sheet = SheetOf(shape);
        if (!sheet) hosterr::Raise(hosterr::kBadArgument);
        return WrapShape(Shared(), model.Shapes().DropCopy(m_page, sheet, x, y));
    }
    ShapePtr Drop(const MasterPtr& master, double x, double y) override;

private:
    void Alive(const Model&) const {
        if (m_page->deleted) hosterr::Raise(hosterr::kObjectDeleted);
    }
    std::shared_ptr<PageData> m_page;
};

class MasterObject : public IMaster, Object {
public:
    MasterObject(std::shared_ptr<Model> model, std::shared_ptr<MasterData> master)
        : Object(std::move(model)), m_master(std::move(master)) {}

    const std::shared_ptr<MasterData>& Data() const { return m_master; }

    std::string Name() override { return Alive(M("Master.Name")), m_master->name; }
    std::string NameU() override {
        return Alive(M("Master.NameU")), m_master->nameU.empty() ? m_master->name : m_master->nameU;
    }
    int32_t ID() override { return Alive(M("Master.ID")), m_master->id; }
    std::string UniqueID() override { return Alive(M("Master.UniqueID")), m_master->uniqueId; }
    ShapesPtr Shapes() override {
        Alive(M("Master.Shapes"));
        return std::make_shared<ShapesObject>(Shared(), m_master);
    }
    ShapePtr PageSheet() override {
        Alive(M("Master.PageSheet"));
        return m_master->pageSheet ? WrapShape(Shared(), m_master->pageSheet) : nullptr;
    }
    DocumentPtr Document() override {
        Model& model = M("Master.Document");
        Alive(model);
        return WrapDocument(Shared(), model.DocumentPtr(m_master->document));
    }
    MasterPtr Open() override {
        Model& model = M("Master.Open");
        Alive(model);
        return WrapMaster(Shared(), model.Shapes().OpenMaster(m_master));
    }
    void Close() override { M("Master.Close").Shapes().CloseMaster(m_master); }
    ShapePtr Drop(const ShapePtr& shape, double x, double y) override {
        Model& model = M("Master.Drop");
        Alive(model);
        SheetPtr sheet = SheetOf(shape);
        if (!sheet) hosterr::Raise(hosterr::kBadArgument);
        return WrapShape(Shared(), model.Shapes().DropCopy(m_master, sheet, x, y));
    }

private:
    void Alive(const Model&) const {
        if (m_master->deleted) hosterr::Raise(hosterr::kObjectDeleted);
    }
    std::shared_ptr<MasterData> m_master;
};

ShapePtr PageObject::Drop(const MasterPtr& master, double x, double y) {
    Model& model = M("Page.Drop");
    Alive(model);
    const auto* object = dynamic_cast<const MasterObject*>(master.get());
    if (!object) hosterr::Raise(hosterr::kBadArgument);
    return WrapShape(Shared(), model.Shapes().DropMaster(m_page, object->Data(), x, y));
}

class PagesObject : public IPages, Object {
public:
    PagesObject(std::shared_ptr<Model> model, std::shared_ptr<DocumentData> document)
        : Object(std::move(model)), m_document(std::move(document)) {}
    int16_t Count() override {
        M("Pages.Count");
        return Count16(m_document->pages.size());
    }
    PagePtr Item(int16_t index) override {
        M("Pages.Item");
        return WrapPage(Shared(), At(m_document->pages, index));
    }
    PagePtr Item(const std::string& name) override {
        M("Pages.Item");
        for (const auto& page : m_document->pages) {
            if (formula::SameName(page->name, name) || formula::SameName(page->nameU, name))
                return WrapPage(Shared(), page);
        }
        NotFound("No page named '" + name + "'.");
    }
    PagePtr Add() override { return WrapPage(Shared(), M("Pages.Add").Shapes().AddPage(m_document)); }

private:
    std::shared_ptr<DocumentData> m_document;
};

class MastersObject : public IMasters, Object {
public:
    MastersObject(std::shared_ptr<Model> model, std::shared_ptr<DocumentData> document)
        : Object(std::move(model)), m_document(std::move(document)) {}
    int16_t Count() override {
        M("Masters.Count");
        return Count16(m_document->masters.size());
    }
    MasterPtr Item(int16_t index) override {
        M("Masters.Item");
        return WrapMaster(Shared(), At(m_document->masters, index));
    }
    MasterPtr Item(const std::string& name) override {
        M("Masters.Item");
        for (const auto& master : m_document->masters) {
            if (formula::SameName(master->name, name) || formula::SameName(master->nameU, name) ||
                (!master->uniqueId.empty() && formula::SameName(master->uniqueId, name))) {
                return WrapMaster(Shared(), master);
            }
        }
        NotFound("No master named '" + name + "'.");
    }

private:
    std::shared_ptr<DocumentData> m_document;
};

class DocumentObject : public IDocument, Object {
public:
    DocumentObject(std::shared_ptr<Model> model, std::shared_ptr<DocumentData> document)
        : Object(std::move(model)), m_document(std::move(document)) {}

    const std::shared_ptr<DocumentData>& Data() const { return m_document; }

    std::string Name() override { return Alive(M("Document.Name")), m_document->name; }
    PagesPtr Pages() override {
        Alive(M("Document.Pages"));
        return std::make_shared<PagesObject>(Shared(), m_document);
    }
    MastersPtr Masters() override {
        Alive(M("Document.Masters"));
        return std::make_shared<MastersObject>(Shared(), m_document);
    }
    ShapePtr DocumentSheet() override {
        Alive(M("Document.DocumentSheet"));
        return WrapShape(Shared(), m_document->documentSheet);
    }

private:
    void Alive(const Model&) const {
        if (m_document->closed) hosterr::Raise(hosterr::kObjectDeleted, "The document is closed.");
    }
    std::shared_ptr<DocumentData> m_document;
};

class DocumentsObject : public IDocuments, Object {
public:
    explicit DocumentsObject(std::shared_ptr<Model> model) : Object(std::move(model)) {}
    int16_t Count() override { return Count16(M("Documents.Count").Documents().size()); }
    DocumentPtr Item(int16_t index) override {
        return WrapDocument(Shared(), At(M("Documents.Item").Documents(), index));
    }
    DocumentPtr Item(const std::string& name) override {
        for (const auto& document : M("Documents.Item").Documents()) {
            if (formula::SameName(document->name, name)) return WrapDocument(Shared(), document);
        }
        NotFound("No document named '" + name + "'.");
    }
    DocumentPtr Add(const std::string& templateName) override {
        Model& model = M("Documents.Add");
        if (!templateName.empty())
            hosterr::Raise(hosterr::kBadArgument, "Templates cannot be opened by name here.");
        return WrapDocument(Shared(), model.Shapes().AddDrawing());
    }
};

}  // namespace

// --- The application ---------------------------------------------------------------------

EmbeddedApplication::EmbeddedApplication(std::shared_ptr<Model> model)
    : m_model(std::move(model)) {}

DocumentsPtr EmbeddedApplication::Documents() {
    m_model->Calls().Gate("Application.Documents");
    return std::make_shared<DocumentsObject>(m_model);
}

DocumentPtr EmbeddedApplication::ActiveDocument() {
    m_model->Calls().Gate("Application.ActiveDocument");
    const auto document = m_model->Windows().ActiveDocument();
    return document ? WrapDocument(m_model, document) : nullptr;
}

PagePtr EmbeddedApplication::ActivePage() {
    m_model->Calls().Gate("Application.ActivePage");
    const auto page = m_model->Windows().ActivePage();
    return page ? WrapPage(m_model, page) : nullptr;
}

WindowPtr EmbeddedApplication::ActiveWindow() {
    m_model->Calls().Gate("Application.ActiveWindow");
    const auto window = m_model->Windows().ActiveWindow();
    return window ? std::make_shared<WindowObject>(m_model, window) : nullptr;
}

std::string EmbeddedApplication::Version() {
    m_model->Calls().Gate("Application.Version");
    return "16.0";
}

int32_t EmbeddedApplication::BeginUndoScope(const std::string& name) {
    m_model->Calls().Gate("Application.BeginUndoScope");
    return m_model->Undo().BeginScope(name);
}

void EmbeddedApplication::EndUndoScope(int32_t scopeID, bool commit) {
    m_model->Calls().Gate("Application.EndUndoScope");
    m_model->Undo().EndScope(scopeID, commit);
}

void EmbeddedApplication::Undo() {
    m_model->Calls().Gate("Application.Undo");
    m_model->Undo().Undo();
}

void EmbeddedApplication::Redo() {
    m_model->Calls().Gate("Application.Redo");
    m_model->Undo().Redo();
}

void EmbeddedApplication::Quit() {
    m_model->Calls().Gate("Application.Quit");
    const auto sinks = m_sinks;
    for (auto* sink : sinks)
        sink->BeforeQuit(*this);
}

void EmbeddedApplication::AddEventSink(visio::IApplicationEvents* sink) {
    m_sinks.push_back(sink);
}

void EmbeddedApplication::RemoveEventSink(visio::IApplicationEvents* sink) {
    m_sinks.erase(std::remove(m_sinks.begin(), m_sinks.end(), sink), m_sinks.end());
}

// --- Wrapping and unwrapping -------------------------------------------------------------

visio::ShapePtr WrapShape(const std::shared_ptr<Model>& model, const SheetPtr& sheet) {
    return sheet ? std::make_shared<ShapeObject>(model, sheet) : nullptr;
}

visio::DocumentPtr WrapDocument(const std::shared_ptr<Model>& model,
                                const std::shared_ptr<DocumentData>& document) {
    return document ? std::make_shared<DocumentObject>(model, document) : nullptr;
}

visio::PagePtr WrapPage(const std::shared_ptr<Model>& model,
                        const std::shared_ptr<PageData>& page) {
    return page ? std::make_shared<PageObject>(model, page) : nullptr;
}

visio::MasterPtr WrapMaster(const std::shared_ptr<Model>& model,
                            const std::shared_ptr<MasterData>& master) {
    return master ? std::make_shared<MasterObject>(model, master) : nullptr;
}

SheetPtr SheetOf(const visio::ShapePtr& shape) {
    const auto* object = dynamic_cast<const ShapeObject*>(shape.get());
    return object ? object->Sheet() : nullptr;
}

std::string MasterNameOf(const visio::ShapePtr& shape) {
    const SheetPtr sheet = SheetOf(shape);
    if (!sheet || !sheet->masterShape || sheet->masterShape->parent || !sheet->masterShape->master)
        return {};
    return sheet->masterShape->master->name;
}

std::shared_ptr<DocumentData> DocumentOf(const visio::DocumentPtr& document) {
    const auto* object = dynamic_cast<const DocumentObject*>(document.get());
    return object ? object->Data() : nullptr;
}

}  // namespace tess::embedded
