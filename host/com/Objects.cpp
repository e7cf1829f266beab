// The host object model over Visio's automation objects. Every member is one late-bound call
// with Visio's member name; a result that is an object comes back wrapped in the class of its
// kind, and Nothing as null.
#include <algorithm>
#include <vector>

#include "host/com/ComHost.h"
#include "host/com/Dispatch.h"
#include "host/com/Events.h"

namespace tess::com {
namespace {

using namespace visio;
using V = Variant;

/// What every wrapper holds: the object, its kind and its connection's call book, which the
/// objects it hands out share.
class ComObject {
public:
    ComObject(Ref<IDispatch> object, const char* kind, CallBookPtr book)
        : d(std::move(object), kind, std::move(book)) {}
    IDispatch* Raw() const { return d.get(); }

protected:
    /// A result that is an object, wrapped in the class of its kind; Nothing as null.
    template <class T>
    std::shared_ptr<T> Wrap(const Variant& result) const {
        Ref<IDispatch> object = result.AsObject();
        if (!object) return nullptr;
        return std::make_shared<T>(std::move(object), d.book());
    }

    Dispatch d;
};

/// The argument for an object of ours handed back to the host.
V ObjectArg(const std::shared_ptr<IObject>& object) {
    const auto* com = dynamic_cast<const ComObject*>(object.get());
    return V::Object(com ? com->Raw() : nullptr);
}

class ComDocuments;
class ComDocument;
class ComPages;
class ComPage;
class ComMasters;
class ComMaster;
class ComShapes;
class ComShape;
class ComCell;
class ComCharacters;
class ComWindow;
class ComSelection;

/// An object whose kind is known only from what it answers to: a shape's parent.
ObjectPtr WrapAnyKind(const Variant& result, const CallBookPtr& book);

class ComCell : public ICell, public ComObject {
public:
    ComCell(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Cell", std::move(b)) {}
    std::string Formula() override { return d.Get("Formula").AsString(); }
    void SetFormula(const std::string& f) override { d.Put("Formula", V::String(f)); }
    double ResultIU() override { return d.Get("ResultIU").AsDouble(); }
    void SetResultIU(double value) override { d.Put("ResultIU", V::Double(value)); }
    std::string ResultStr(int16_t units) override {
        return d.Get("ResultStr", {V::Short(units)}).AsString();
    }
    std::string RowName() override { return d.Get("RowName").AsString(); }
    void SetRowName(const std::string& name) override { d.Put("RowName", V::String(name)); }
    std::string Name() override { return d.Get("Name").AsString(); }
    int16_t Section() override { return d.Get("Section").AsShort(); }
    int16_t Row() override { return d.Get("Row").AsShort(); }
    int16_t Column() override { return d.Get("Column").AsShort(); }
};

class ComCharacters : public ICharacters, public ComObject {
public:
    ComCharacters(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Characters", std::move(b)) {}
    int32_t Begin() override { return d.Get("Begin").AsLong(); }
    void SetBegin(int32_t p) override { d.Put("Begin", V::Long(p)); }
    int32_t End() override { return d.Get("End").AsLong(); }
    void SetEnd(int32_t p) override { d.Put("End", V::Long(p)); }
    int32_t CharCount() override { return d.Get("CharCount").AsLong(); }
    int32_t RunBegin(int16_t t) override { return d.Get("RunBegin", {V::Short(t)}).AsLong(); }
    int32_t RunEnd(int16_t t) override { return d.Get("RunEnd", {V::Short(t)}).AsLong(); }
    int16_t CharPropsRow(int16_t b) override {
        return d.Get("CharPropsRow", {V::Short(b)}).AsShort();
    }
    int16_t ParaPropsRow(int16_t b) override {
        return d.Get("ParaPropsRow", {V::Short(b)}).AsShort();
    }
    void SetCharProps(int16_t cell, int16_t value) override {
        d.Put("CharProps", V::Short(value), {V::Short(cell)});
    }
    void SetParaProps(int16_t cell, int16_t value) override {
        d.Put("ParaProps", V::Short(value), {V::Short(cell)});
    }
    bool IsField() override { return d.Get("IsField").AsBool(); }
    int16_t FieldCategory() override { return d.Get("FieldCategory").AsShort(); }
    int16_t FieldCode() override { return d.Get("FieldCode").AsShort(); }
    int16_t FieldFormat() override { return d.Get("FieldFormat").AsShort(); }
    std::string FieldFormula() override { return d.Get("FieldFormula").AsString(); }
    void AddField(int16_t category, int16_t code, int16_t format) override {
        d.Call("AddField", {V::Short(category), V::Short(code), V::Short(format)});
    }
    void AddCustomField(const std::string& formula, int16_t format) override {
        d.Call("AddCustomField", {V::String(formula), V::Short(format)});
    }
    std::string Text() override { return d.Get("Text").AsString(); }
    void SetText(const std::string& text) override { d.Put("Text", V::String(text)); }
};

class ComShapes : public IShapes, public ComObject {
public:
    ComShapes(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Shapes", std::move(b)) {}
    int16_t Count() override { return d.Get("Count").AsShort(); }
    ShapePtr Item(int16_t index) override;
    ShapePtr Item(const std::string& name) override;
    ShapePtr ItemFromID(int32_t id) override;
};

class ComShape : public IShape, public ComObject {
public:
    ComShape(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Shape", std::move(b)) {}
    std::string Name() override { return d.Get("Name").AsString(); }
    void SetName(const std::string& n) override { d.Put("Name", V::String(n)); }
    std::string NameU() override { return d.Get("NameU").AsString(); }
    void SetNameU(const std::string& n) override { d.Put("NameU", V::String(n)); }
    std::string NameID() override { return d.Get("NameID").AsString(); }
    int32_t ID() override { return d.Get("ID").AsLong(); }
    std::string UniqueID(int16_t flags) override {
        return d.Get("UniqueID", {V::Short(flags)}).AsString();
    }
    int16_t Type() override { return d.Get("Type").AsShort(); }
    int16_t ForeignType() override { return d.Get("ForeignType").AsShort(); }
    ShapesPtr Shapes() override { return Wrap<ComShapes>(d.Get("Shapes")); }
    ObjectPtr Parent() override { return WrapAnyKind(d.Get("Parent"), d.book()); }
    PagePtr ContainingPage() override;
    MasterPtr ContainingMaster() override;
    ShapePtr MasterShape() override;
    DocumentPtr Document() override;
    bool SectionExists(int16_t s, int16_t local) override {
        return d.Get("SectionExists", {V::Short(s), V::Short(local)}).AsBool();
    }
    bool RowExists(int16_t s, int16_t r, int16_t local) override {
        return d.Get("RowExists", {V::Short(s), V::Short(r), V::Short(local)}).AsBool();
    }
    bool CellsSRCExists(int16_t s, int16_t r, int16_t c, int16_t local) override {
        return d.Get("CellsSRCExists", {V::Short(s), V::Short(r), V::Short(c), V::Short(local)})
            .AsBool();
    }
    int16_t AddSection(int16_t s) override { return d.Call("AddSection", {V::Short(s)}).AsShort(); }
    void DeleteSection(int16_t s) override { d.Call("DeleteSection", {V::Short(s)}); }
    int16_t RowCount(int16_t s) override { return d.Get("RowCount", {V::Short(s)}).AsShort(); }
    int16_t RowsCellCount(int16_t s, int16_t r) override {
        return d.Get("RowsCellCount", {V::Short(s), V::Short(r)}).AsShort();
    }
    int16_t GeometryCount() override { return d.Get("GeometryCount").AsShort(); }
    int16_t RowType(int16_t s, int16_t r) override {
        return d.Get("RowType", {V::Short(s), V::Short(r)}).AsShort();
    }
    void SetRowType(int16_t s, int16_t r, int16_t tag) override {
        d.Put("RowType", V::Short(tag), {V::Short(s), V::Short(r)});
    }
    int16_t AddRow(int16_t s, int16_t r, int16_t tag) override {
        return d.Call("AddRow", {V::Short(s), V::Short(r), V::Short(tag)}).AsShort();
    }
    int16_t AddRows(int16_t s, int16_t r, int16_t tag, int16_t count) override {
        return d.Call("AddRows", {V::Short(s), V::Short(r), V::Short(tag), V::Short(count)})
            .AsShort();
    }
    int16_t AddNamedRow(int16_t s, const std::string& name, int16_t tag) override {
        return d.Call("AddNamedRow", {V::Short(s), V::String(name), V::Short(tag)}).AsShort();
    }
    void DeleteRow(int16_t s, int16_t r) override { d.Call("DeleteRow", {V::Short(s), V::Short(r)}); }
    CellPtr CellsSRC(int16_t s, int16_t r, int16_t c) override {
        return Wrap<ComCell>(d.Get("CellsSRC", {V::Short(s), V::Short(r), V::Short(c)}));
    }
    CellPtr Cells(const std::string& name) override {
        return Wrap<ComCell>(d.Get("Cells", {V::String(name)}));
    }
    // Both arrays go by reference, as Visio's array arguments are declared; the formulas come
    // back in a SAFEARRAY of VARIANTs that the host makes and this side destroys.
    std::vector<std::string> GetFormulas(std::span<const int16_t> stream) override {
        ShortArray triples(stream);
        VariantArray formulas;
        d.Call("GetFormulas", {V::ByRef(VT_ARRAY | VT_I2, triples.slot()),
                               V::ByRef(VT_ARRAY | VT_VARIANT, formulas.slot())});
        return formulas.Strings();
    }
    int16_t SetFormulas(std::span<const int16_t> stream, std::span<const std::string> texts,
                        int16_t flags) override {
        ShortArray triples(stream);
        VariantArray formulas(texts);
        return d
            .Call("SetFormulas", {V::ByRef(VT_ARRAY | VT_I2, triples.slot()),
                                  V::ByRef(VT_ARRAY | VT_VARIANT, formulas.slot()),
                                  V::Short(flags)})
            .AsShort();
    }
    CharactersPtr Characters() override { return Wrap<ComCharacters>(d.Get("Characters")); }
    std::string Data1() override { return d.Get("Data1").AsString(); }
    void SetData1(const std::string& t) override { d.Put("Data1", V::String(t)); }
    std::string Data2() override { return d.Get("Data2").AsString(); }
    void SetData2(const std::string& t) override { d.Put("Data2", V::String(t)); }
    std::string Data3() override { return d.Get("Data3").AsString(); }
    void SetData3(const std::string& t) override { d.Put("Data3", V::String(t)); }
    bool OneD() override { return d.Get("OneD").AsBool(); }
    void SetOneD(bool oneD) override { d.Put("OneD", V::Bool(oneD)); }
    void ConvertToGroup() override { d.Call("ConvertToGroup"); }
    ShapePtr Duplicate() override { return Wrap<ComShape>(d.Call("Duplicate")); }
    void Delete() override { d.Call("Delete"); }
    ShapePtr DrawRectangle(double x1, double y1, double x2, double y2) override {
        return Wrap<ComShape>(
            d.Call("DrawRectangle", {V::Double(x1), V::Double(y1), V::Double(x2), V::Double(y2)}));
    }
    WindowPtr OpenDrawWindow() override;
    void Copy() override { d.Call("Copy"); }
};

ShapePtr ComShapes::Item(int16_t index) {
    return Wrap<ComShape>(d.Get("Item", {V::Short(index)}));
}
ShapePtr ComShapes::Item(const std::string& name) {
    return Wrap<ComShape>(d.Get("Item", {V::String(name)}));
}
ShapePtr ComShapes::ItemFromID(int32_t id) {
    return Wrap<ComShape>(d.Get("ItemFromID", {V::Long(id)}));
}

class ComMaster : public IMaster, public ComObject {
public:
    ComMaster(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Master", std::move(b)) {}
    std::string Name() override { return d.Get("Name").AsString(); }
    std::string NameU() override { return d.Get("NameU").AsString(); }
    int32_t ID() override { return d.Get("ID").AsLong(); }
    std::string UniqueID() override { return d.Get("UniqueID").AsString(); }
    ShapesPtr Shapes() override { return Wrap<ComShapes>(d.Get("Shapes")); }
    ShapePtr PageSheet() override { return Wrap<ComShape>(d.Get("PageSheet")); }
    DocumentPtr Document() override;
    MasterPtr Open() override { return Wrap<ComMaster>(d.Call("Open")); }
    void Close() override { d.Call("Close"); }
    ShapePtr Drop(const ShapePtr& shape, double x, double y) override {
        return Wrap<ComShape>(d.Call("Drop", {ObjectArg(shape), V::Double(x), V::Double(y)}));
    }
};

class ComMasters : public IMasters, public ComObject {
public:
    ComMasters(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Masters", std::move(b)) {}
    int16_t Count() override { return d.Get("Count").AsShort(); }
    MasterPtr Item(int16_t index) override { return Wrap<ComMaster>(d.Get("Item", {V::Short(index)})); }
    MasterPtr Item(const std::string& name) override {
        return Wrap<ComMaster>(d.Get("Item", {V::String(name)}));
    }
};

class ComPage : public IPage, public ComObject {
public:
    ComPage(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Page", std::move(b)) {}
    std::string Name() override { return d.Get("Name").AsString(); }
    int32_t ID() override { return d.Get("ID").AsLong(); }
    ShapesPtr Shapes() override { return Wrap<ComShapes>(d.Get("Shapes")); }
    ShapePtr PageSheet() override { return Wrap<ComShape>(d.Get("PageSheet")); }
    DocumentPtr Document() override;
    ShapePtr DrawRectangle(double x1, double y1, double x2, double y2) override {
        return Wrap<ComShape>(
            d.Call("DrawRectangle", {V::Double(x1), V::Double(y1), V::Double(x2), V::Double(y2)}));
    }
    ShapePtr Drop(const ShapePtr& shape, double x, double y) override {
        return Wrap<ComShape>(d.Call("Drop", {ObjectArg(shape), V::Double(x), V::Double(y)}));
    }
    ShapePtr Drop(const MasterPtr& master, double x, double y) override {
        return Wrap<ComShape>(d.Call("Drop", {ObjectArg(master), V::Double(x), V::Double(y)}));
    }
};

class ComPages : public IPages, public ComObject {
public:
    ComPages(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Pages", std::move(b)) {}
    int16_t Count() override { return d.Get("Count").AsShort(); }
    PagePtr Item(int16_t index) override { return Wrap<ComPage>(d.Get("Item", {V::Short(index)})); }
    PagePtr Item(const std::string& name) override {
        return Wrap<ComPage>(d.Get("Item", {V::String(name)}));
    }
    PagePtr Add() override { return Wrap<ComPage>(d.Call("Add")); }
};

class ComDocument : public IDocument, public ComObject {
public:
    ComDocument(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Document", std::move(b)) {}
    std::string Name() override { return d.Get("Name").AsString(); }
    PagesPtr Pages() override { return Wrap<ComPages>(d.Get("Pages")); }
    MastersPtr Masters() override { return Wrap<ComMasters>(d.Get("Masters")); }
    ShapePtr DocumentSheet() override { return Wrap<ComShape>(d.Get("DocumentSheet")); }
};

class ComDocuments : public IDocuments, public ComObject {
public:
    ComDocuments(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Documents", std::move(b)) {}
    int16_t Count() override { return d.Get("Count").AsShort(); }
    DocumentPtr Item(int16_t index) override {
        return Wrap<ComDocument>(d.Get("Item", {V::Short(index)}));
    }
    DocumentPtr Item(const std::string& name) override {
        return Wrap<ComDocument>(d.Get("Item", {V::String(name)}));
    }
    DocumentPtr Add(const std::string& templateName) override {
        return Wrap<ComDocument>(d.Call("Add", {V::String(templateName)}));
    }
};

class ComSelection : public ISelection, public ComObject {
public:
    ComSelection(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Selection", std::move(b)) {}
    int16_t Count() override { return d.Get("Count").AsShort(); }
    ShapePtr Item(int16_t index) override { return Wrap<ComShape>(d.Get("Item", {V::Short(index)})); }
};

class ComWindow : public IWindow, public ComObject {
public:
    ComWindow(Ref<IDispatch> o, CallBookPtr b) : ComObject(std::move(o), "Window", std::move(b)) {}
    DocumentPtr Document() override { return Wrap<ComDocument>(d.Get("Document")); }
    SelectionPtr Selection() override { return Wrap<ComSelection>(d.Get("Selection")); }
    void DeselectAll() override { d.Call("DeselectAll"); }
    void Select(const ShapePtr& shape, int16_t action) override {
        d.Call("Select", {ObjectArg(shape), V::Short(action)});
    }
    void Paste() override { d.Call("Paste"); }
    void Close() override { d.Call("Close"); }
};

PagePtr ComShape::ContainingPage() {
    return Wrap<ComPage>(d.Get("ContainingPage"));
}
MasterPtr ComShape::ContainingMaster() {
    return Wrap<ComMaster>(d.Get("ContainingMaster"));
}
ShapePtr ComShape::MasterShape() {
    return Wrap<ComShape>(d.Get("MasterShape"));
}
DocumentPtr ComShape::Document() {
    return Wrap<ComDocument>(d.Get("Document"));
}
WindowPtr ComShape::OpenDrawWindow() {
    return Wrap<ComWindow>(d.Call("OpenDrawWindow"));
}
DocumentPtr ComMaster::Document() {
    return Wrap<ComDocument>(d.Get("Document"));
}
DocumentPtr ComPage::Document() {
    return Wrap<ComDocument>(d.Get("Document"));
}

ObjectPtr WrapAnyKind(const Variant& result, const CallBookPtr& book) {
    Ref<IDispatch> object = result.AsObject();
    if (!object) return nullptr;
    // Members that only one of the possible kinds has tell them apart.
    Dispatch probe(object, "Object", book);
    if (probe.HasMember("CellsSRC")) return std::make_shared<ComShape>(std::move(object), book);
    if (probe.HasMember("Pages")) return std::make_shared<ComDocument>(std::move(object), book);
    if (probe.HasMember("Open")) return std::make_shared<ComMaster>(std::move(object), book);
    return std::make_shared<ComPage>(std::move(object), book);
}

class ComApplication : public IApplication, public ComObject {
public:
    ComApplication(Ref<IDispatch> o, CallBookPtr b)
        : ComObject(std::move(o), "Application", std::move(b)), m_events(d.get()) {}
    DocumentsPtr Documents() override { return Wrap<ComDocuments>(d.Get("Documents")); }
    DocumentPtr ActiveDocument() override { return Wrap<ComDocument>(d.Get("ActiveDocument")); }
    PagePtr ActivePage() override { return Wrap<ComPage>(d.Get("ActivePage")); }
    WindowPtr ActiveWindow() override { return Wrap<ComWindow>(d.Get("ActiveWindow")); }
    std::string Version() override { return d.Get("Version").AsString(); }
    int32_t BeginUndoScope(const std::string& name) override {
        return d.Call("BeginUndoScope", {V::String(name)}).AsLong();
    }
    void EndUndoScope(int32_t id, bool commit) override {
        d.Call("EndUndoScope", {V::Long(id), V::Bool(commit)});
    }
    void Undo() override { d.Call("Undo"); }
    void Redo() override { d.Call("Redo"); }
    void Quit() override { d.Call("Quit"); }
    void AddEventSink(IApplicationEvents* sink) override { m_events.Add(sink, *this); }
    void RemoveEventSink(IApplicationEvents* sink) override { m_events.Remove(sink); }

private:
    ApplicationEvents m_events;
};

}  // namespace

ComApartment::ComApartment() {
    m_initialized = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

ComApartment::~ComApartment() {
    if (m_initialized) CoUninitialize();
}

VisioConnection::VisioConnection() : m_book(std::make_shared<CallBook>()) {
    CLSID clsid{};
    Check(CLSIDFromProgID(L"Visio.Application", &clsid), "Finding Visio.Application");
    Ref<IUnknown> running;
    Check(GetActiveObject(clsid, nullptr, running.Put()), "Finding the running Visio");
    Ref<IDispatch> application;
    Check(running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(application.Put())),
          "Asking Visio for its automation interface");
    m_application = std::make_shared<ComApplication>(std::move(application), m_book);
}

VisioConnection::~VisioConnection() = default;

CallCounts& VisioConnection::Calls() {
    return m_book->counts;
}

std::unique_ptr<VisioConnection> AttachToRunningVisio() {
    return std::unique_ptr<VisioConnection>(new VisioConnection());
}

}  // namespace tess::com
