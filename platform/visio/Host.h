#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/visio/Error.h"

// The host object model: the Visio automation objects and members the program calls, with
// Visio's own names. Two hosts implement it: the running Visio (Windows only) and the embedded
// model of Visio documents. Every member may throw tess::Error when the host refuses the call.
// Indices, counts and collection positions are 1-based where Visio's are.
namespace tess::visio {

class IApplication;
class IDocuments;
class IDocument;
class IPages;
class IPage;
class IMasters;
class IMaster;
class IShapes;
class IShape;
class ICell;
class ICharacters;
class IWindow;
class ISelection;

using ApplicationPtr = std::shared_ptr<IApplication>;
using DocumentsPtr = std::shared_ptr<IDocuments>;
using DocumentPtr = std::shared_ptr<IDocument>;
using PagesPtr = std::shared_ptr<IPages>;
using PagePtr = std::shared_ptr<IPage>;
using MastersPtr = std::shared_ptr<IMasters>;
using MasterPtr = std::shared_ptr<IMaster>;
using ShapesPtr = std::shared_ptr<IShapes>;
using ShapePtr = std::shared_ptr<IShape>;
using CellPtr = std::shared_ptr<ICell>;
using CharactersPtr = std::shared_ptr<ICharacters>;
using WindowPtr = std::shared_ptr<IWindow>;
using SelectionPtr = std::shared_ptr<ISelection>;

/// Base of every host object, so that a member whose result can be of several kinds (a shape's
/// Parent: a group, a page or a master) can hand it out; callers cast to the kind they expect.
class IObject {
public:
    virtual ~IObject() = default;
};
using ObjectPtr = std::shared_ptr<IObject>;

/// Receives the application's events; connected with IApplication::AddEventSink.
class IApplicationEvents {
public:
    virtual ~IApplicationEvents() = default;
    /// The application is about to quit.
    virtual void BeforeQuit(IApplication& application) = 0;
};

/// The running host application.
class IApplication : public IObject {
public:
    virtual DocumentsPtr Documents() = 0;
    /// The active document, page and window; null when there is none.
    virtual DocumentPtr ActiveDocument() = 0;
    virtual PagePtr ActivePage() = 0;
    virtual WindowPtr ActiveWindow() = 0;
    /// The host's version text, for example "16.0".
    virtual std::string Version() = 0;
    /// Opens an undo scope; every change until the matching EndUndoScope is one undo step.
    virtual int32_t BeginUndoScope(const std::string& name) = 0;
    /// Closes a scope; commit false discards everything done inside it.
    virtual void EndUndoScope(int32_t scopeID, bool commit) = 0;
    virtual void Undo() = 0;
    virtual void Redo() = 0;
    /// Quits the application; connected sinks receive BeforeQuit first.
    virtual void Quit() = 0;
    virtual void AddEventSink(IApplicationEvents* sink) = 0;
    virtual void RemoveEventSink(IApplicationEvents* sink) = 0;
};

/// The open documents.
class IDocuments : public IObject {
public:
    virtual int16_t Count() = 0;
    virtual DocumentPtr Item(int16_t index) = 0;
    virtual DocumentPtr Item(const std::string& name) = 0;
    /// Opens a new document from a template; the empty name gives a new blank drawing.
    virtual DocumentPtr Add(const std::string& templateName) = 0;
};

/// A drawing, stencil or template.
class IDocument : public IObject {
public:
    virtual std::string Name() = 0;
    virtual PagesPtr Pages() = 0;
    virtual MastersPtr Masters() = 0;
    /// The document's ShapeSheet.
    virtual ShapePtr DocumentSheet() = 0;
};

class IPages : public IObject {
public:
    virtual int16_t Count() = 0;
    virtual PagePtr Item(int16_t index) = 0;
    virtual PagePtr Item(const std::string& name) = 0;
    /// Adds a page at the end, named by the host.
    virtual PagePtr Add() = 0;
};

class IPage : public IObject {
public:
    virtual std::string Name() = 0;
    virtual int32_t ID() = 0;
    virtual ShapesPtr Shapes() = 0;
    /// The page's ShapeSheet.
    virtual ShapePtr PageSheet() = 0;
    virtual DocumentPtr Document() = 0;
    /// Draws a rectangle with the given corners, in inches.
    virtual ShapePtr DrawRectangle(double x1, double y1, double x2, double y2) = 0;
    /// Drops a copy of a shape, or an instance of a master, with its pin at (x, y).
    virtual ShapePtr Drop(const ShapePtr& shape, double x, double y) = 0;
    virtual ShapePtr Drop(const MasterPtr& master, double x, double y) = 0;
};

class IMasters : public IObject {
public:
    virtual int16_t Count() = 0;
    virtual MasterPtr Item(int16_t index) = 0;
    /// By name or by unique ID.
    virtual MasterPtr Item(const std::string& nameOrUniqueID) = 0;
};

class IMaster : public IObject {
public:
    virtual std::string Name() = 0;
    virtual std::string NameU() = 0;
    virtual int32_t ID() = 0;
    virtual std::string UniqueID() = 0;
    virtual ShapesPtr Shapes() = 0;
    virtual ShapePtr PageSheet() = 0;
    virtual DocumentPtr Document() = 0;
    /// Opens the master for editing and returns the edit copy; Close on the copy stores it
    /// into the master, whose instances then show the change.
    virtual MasterPtr Open() = 0;
    virtual void Close() = 0;
    /// Drops a copy of a shape into the master with its pin at (x, y).
    virtual ShapePtr Drop(const ShapePtr& shape, double x, double y) = 0;
};

/// The shapes of a page, a master or a group.
class IShapes : public IObject {
public:
    virtual int16_t Count() = 0;
    virtual ShapePtr Item(int16_t index) = 0;
    /// By name, universal name or reference name ("Sheet.5").
    virtual ShapePtr Item(const std::string& name) = 0;
    virtual ShapePtr ItemFromID(int32_t id) = 0;
};

/// A shape, a page sheet or a document sheet.
class IShape : public IObject {
public:
    // Identity.
    virtual std::string Name() = 0;
    virtual void SetName(const std::string& name) = 0;
    virtual std::string NameU() = 0;
    virtual void SetNameU(const std::string& name) = 0;
    /// The name other sheets' formulas use for this one ("Sheet.5", "ThePage", "TheDoc").
    virtual std::string NameID() = 0;
    virtual int32_t ID() = 0;
    /// flags visGetOrMakeGUID makes the ID when the shape has none.
    virtual std::string UniqueID(int16_t flags) = 0;
    virtual int16_t Type() = 0;
    virtual int16_t ForeignType() = 0;

    // Where it lives.
    virtual ShapesPtr Shapes() = 0;
    /// The group, page or master that holds the shape; for a page sheet its page, for a
    /// document sheet its document.
    virtual ObjectPtr Parent() = 0;
    virtual PagePtr ContainingPage() = 0;
    virtual MasterPtr ContainingMaster() = 0;
    /// The shape of a master this shape inherits from (an instance, or a member of one); null
    /// for a shape of its own.
    virtual ShapePtr MasterShape() = 0;
    virtual DocumentPtr Document() = 0;

    // Sections and rows.
    virtual bool SectionExists(int16_t section, int16_t existsLocally) = 0;
    virtual bool RowExists(int16_t section, int16_t row, int16_t existsLocally) = 0;
    virtual bool CellsSRCExists(int16_t section, int16_t row, int16_t cell,
                                int16_t existsLocally) = 0;
    virtual int16_t AddSection(int16_t section) = 0;
    virtual void DeleteSection(int16_t section) = 0;
    virtual int16_t RowCount(int16_t section) = 0;
    virtual int16_t RowsCellCount(int16_t section, int16_t row) = 0;
    virtual int16_t GeometryCount() = 0;
    virtual int16_t RowType(int16_t section, int16_t row) = 0;
    virtual void SetRowType(int16_t section, int16_t row, int16_t rowTag) = 0;
    /// Adds a row before position row (visRowLast appends) and returns its index.
    virtual int16_t AddRow(int16_t section, int16_t row, int16_t rowTag) = 0;
    /// Adds rowCount rows of one type before position row (visRowLast appends), in one call;
    /// returns the index of the first.
    virtual int16_t AddRows(int16_t section, int16_t row, int16_t rowTag, int16_t rowCount) = 0;
    virtual int16_t AddNamedRow(int16_t section, const std::string& name, int16_t rowTag) = 0;
    virtual void DeleteRow(int16_t section, int16_t row) = 0;

    // Cells and formulas.
    virtual CellPtr CellsSRC(int16_t section, int16_t row, int16_t cell) = 0;
    virtual CellPtr Cells(const std::string& name) = 0;
    /// Reads the formula of every (section, row, cell) triple of the stream.
    virtual std::vector<std::string> GetFormulas(std::span<const int16_t> srcStream) = 0;
    /// Writes formulas[k] to triple k, in order; stops with an error at the first formula the
    /// host refuses, the earlier ones staying written. Returns the number written.
    virtual int16_t SetFormulas(std::span<const int16_t> srcStream,
                                std::span<const std::string> formulas, int16_t flags) = 0;

    // Text and data.
    virtual CharactersPtr Characters() = 0;
    virtual std::string Data1() = 0;
    virtual void SetData1(const std::string& text) = 0;
    virtual std::string Data2() = 0;
    virtual void SetData2(const std::string& text) = 0;
    virtual std::string Data3() = 0;
    virtual void SetData3(const std::string& text) = 0;
    /// True for a 1-D shape.
    virtual bool OneD() = 0;
    virtual void SetOneD(bool oneD) = 0;

    // Whole-shape operations.
    /// Makes the shape the only member of a new group, which takes its place; Parent then
    /// gives the group.
    virtual void ConvertToGroup() = 0;
    virtual ShapePtr Duplicate() = 0;
    virtual void Delete() = 0;
    /// Draws a rectangle inside this group.
    virtual ShapePtr DrawRectangle(double x1, double y1, double x2, double y2) = 0;
    /// Opens this group in a drawing window of its own.
    virtual WindowPtr OpenDrawWindow() = 0;
    /// Puts a copy of the shape on the clipboard.
    virtual void Copy() = 0;
};

/// A cell of a sheet.
class ICell : public IObject {
public:
    virtual std::string Formula() = 0;
    virtual void SetFormula(const std::string& formula) = 0;
    /// The value in internal units (inches, radians).
    virtual double ResultIU() = 0;
    virtual void SetResultIU(double value) = 0;
    /// The value as text in the units given (visNoCast: the cell's own; strings need none).
    virtual std::string ResultStr(int16_t units) = 0;
    /// The name of the cell's row in named-row sections.
    virtual std::string RowName() = 0;
    virtual void SetRowName(const std::string& name) = 0;
    /// The cell's name as formulas use it ("PinX", "Prop.Cost.Label").
    virtual std::string Name() = 0;
    virtual int16_t Section() = 0;
    virtual int16_t Row() = 0;
    virtual int16_t Column() = 0;
};

/// A range of a shape's text: [Begin, End) in characters from 0.
class ICharacters : public IObject {
public:
    virtual int32_t Begin() = 0;
    virtual void SetBegin(int32_t position) = 0;
    virtual int32_t End() = 0;
    virtual void SetEnd(int32_t position) = 0;
    /// Characters in the range.
    virtual int32_t CharCount() = 0;
    /// Bounds of the run of the given type (visCharPropRow, visParaPropRow, visWordRun...)
    /// around the range's beginning.
    virtual int32_t RunBegin(int16_t runType) = 0;
    virtual int32_t RunEnd(int16_t runType) = 0;
    /// The Character or Paragraph row that formats the range; -1 when several do.
    virtual int16_t CharPropsRow(int16_t bias) = 0;
    virtual int16_t ParaPropsRow(int16_t bias) = 0;
    /// Sets a Character or Paragraph cell for the range.
    virtual void SetCharProps(int16_t cell, int16_t value) = 0;
    virtual void SetParaProps(int16_t cell, int16_t value) = 0;
    /// True when the range is exactly one text field.
    virtual bool IsField() = 0;
    virtual int16_t FieldCategory() = 0;
    virtual int16_t FieldCode() = 0;
    virtual int16_t FieldFormat() = 0;
    virtual std::string FieldFormula() = 0;
    /// Replaces the range by a field.
    virtual void AddField(int16_t category, int16_t code, int16_t format) = 0;
    virtual void AddCustomField(const std::string& formula, int16_t format) = 0;
    virtual std::string Text() = 0;
    virtual void SetText(const std::string& text) = 0;
};

/// A drawing window.
class IWindow : public IObject {
public:
    virtual DocumentPtr Document() = 0;
    virtual SelectionPtr Selection() = 0;
    virtual void DeselectAll() = 0;
    /// Selects a shape: visSubSelect, or visDeselectAll + visSelect.
    virtual void Select(const ShapePtr& shape, int16_t selectAction) = 0;
    /// Pastes the clipboard into what the window shows; the pasted shapes become the selection.
    virtual void Paste() = 0;
    virtual void Close() = 0;
};

class ISelection : public IObject {
public:
    virtual int16_t Count() = 0;
    virtual ShapePtr Item(int16_t index) = 0;
};

/// The reference name of an object of any kind, asked for by name as a late-bound call would:
/// objects that have none (pages, masters) fail with err::kUnknownName.
std::string NameIDOf(const ObjectPtr& object);

/// The object itself; a null one fails with err::kObjectNotSet.
template <class T>
T& Required(const std::shared_ptr<T>& object) {
    if (!object) Raise(err::kObjectNotSet);
    return *object;
}

}  // namespace tess::visio
