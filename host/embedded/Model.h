#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/Evaluate.h"
#include "host/embedded/ModelData.h"

namespace tess::embedded {

/// Text in characters (code points) and back to UTF-8.
std::u32string Utf32(std::string_view text);
std::string Utf8(std::u32string_view text);

/// A drawing window: the page (or, opened on a group, the group) it shows and its selection.
struct WindowData {
    std::shared_ptr<DocumentData> document;
    std::shared_ptr<PageData> page;
    SheetPtr group;
    std::vector<SheetPtr> selection;
    bool closed = false;
};

/// The embedded Visio: documents, windows, the clipboard, undo scopes, and every rule about
/// sheets, rows, cells, inheritance, formulas and text. The host objects (Objects.h) are thin
/// views on it; the package reader and writer (host/vsdx) fill it and read it back.
///
/// Every change goes through a few primitives that record how to reverse it, so that undo
/// scopes cost what changed, not the size of the document.
class Model {
public:
    Model();
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // --- Documents and windows -------------------------------------------------------------
    const std::vector<std::shared_ptr<DocumentData>>& Documents() const { return m_documents; }
    /// Makes a new blank drawing ("Drawing1", "Drawing2", ...) with one page, and shows it.
    std::shared_ptr<DocumentData> AddDrawing();
    /// Adds a document (read from a file) and shows it in a window of its own.
    void AddDocument(const std::shared_ptr<DocumentData>& document);
    /// Closes a document and its windows, as closing a drawing does: not an undoable change.
    /// Undo and redo steps are forgotten, since they may reach into the closed document.
    void CloseDocument(const std::shared_ptr<DocumentData>& document);
    std::shared_ptr<WindowData> ActiveWindow() const;
    std::shared_ptr<DocumentData> ActiveDocument() const;
    std::shared_ptr<PageData> ActivePage() const;
    void Activate(const std::shared_ptr<DocumentData>& document,
                  const std::shared_ptr<PageData>& page);
    std::shared_ptr<WindowData> OpenGroupWindow(const SheetPtr& group);
    void CloseWindow(const std::shared_ptr<WindowData>& window);

    // --- Host calls: counters and injected failures -----------------------------------------
    /// Counts a call of a host member and fails it when a failure was injected for it.
    void Gate(const char* member);
    /// Makes the n-th host call from now (1 = the next one) fail with the given error.
    void InjectFailure(uint64_t n, int32_t number = 0, std::string description = {});
    void ClearInjectedFailure();
    uint64_t CallCount(std::string_view member) const;
    uint64_t TotalCalls() const { return m_totalCalls; }
    const std::map<std::string, uint64_t, std::less<>>& CallCounts() const { return m_callCounts; }
    void ResetCallCounts();

    // --- Undo ---------------------------------------------------------------------------
    int32_t BeginUndoScope(const std::string& name);
    void EndUndoScope(int32_t scope, bool commit);
    void Undo();
    void Redo();
    /// Off while a file is read into the model: nothing read is undoable.
    void SetUndoEnabled(bool enabled) { m_undoEnabled = enabled; }
    bool UndoEnabled() const { return m_undoEnabled; }
    size_t UndoDepth() const { return m_undoStack.size(); }
    size_t RedoDepth() const { return m_redoStack.size(); }
    /// The names of the scopes Undo and Redo would take back or do again; "" when none.
    std::string UndoName() const { return m_undoStack.empty() ? "" : m_undoStack.back().name; }
    std::string RedoName() const { return m_redoStack.empty() ? "" : m_redoStack.back().name; }
    /// Changes so far: every change bumps it, so that cached results know they may be stale.
    uint64_t ChangeCount() const { return m_changes; }

    // --- Sections, rows and cells, as the sheet shows them (its own and inherited) ----------
    bool SectionExists(const SheetData& sheet, int16_t section, bool locally) const;
    int16_t RowCount(const SheetData& sheet, int16_t section) const;
    bool RowExists(const SheetData& sheet, int16_t section, int16_t row, bool locally) const;
    int16_t RowsCellCount(const SheetData& sheet, int16_t section, int16_t row) const;
    bool CellExists(const SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                    bool locally) const;
    int16_t GeometryCount(const SheetData& sheet) const;
    int16_t RowType(const SheetData& sheet, int16_t section, int16_t row) const;
    std::string RowName(const SheetData& sheet, int16_t section, int16_t row) const;
    /// The row of a named row, compared without regard to case; -1 when none.
    int16_t FindNamedRow(const SheetData& sheet, int16_t section, std::string_view name) const;

    /// The formula a cell shows: its own, else the one it inherits; "" when it has none.
    std::string Formula(const SheetData& sheet, int16_t section, int16_t row, int16_t cell) const;
    /// The cell's current value, computed again when something changed since.
    formula::Value Result(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    double ResultNumber(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    /// The value a recalculation gives the cell: computed from its formula (its own or the one
    /// it inherits) and the recalculated values of the cells that names, never from a value
    /// shown before or read from a file. NotComputable, saying what it needs, where the model
    /// cannot compute it.
    formula::Value Recalculated(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    /// Moves a point from a shape's local coordinates to its page's (or master's), and back.
    void ToPageCoordinates(const SheetPtr& shape, double& x, double& y);
    void FromPageCoordinates(const SheetPtr& shape, double& x, double& y);
    /// Why Visio would refuse a formula on this sheet; nullopt when it would accept it.
    std::optional<formula::FormulaProblem> CheckFormula(const SheetPtr& sheet,
                                                        std::string_view formula);
    /// Writes a formula after checking it as Visio does; throws on a refused formula or a
    /// cell the sheet lacks. The empty formula gives the cell back its inherited formula.
    void SetFormula(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell,
                    std::string_view formula);
    /// Writes a value: the cell's formula becomes that constant (a guarded formula stays unless
    /// blastGuards).
    void SetResult(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell, double value,
                   bool blastGuards = true);

    // --- Structure changes ---------------------------------------------------------------
    int16_t AddSection(const SheetPtr& sheet, int16_t section);
    void DeleteSection(const SheetPtr& sheet, int16_t section);
    /// Adds a row before `row` (visRowLast appends) and returns its index. Named-row sections
    /// append whatever position is asked and name the row Row_n.
    int16_t AddRow(const SheetPtr& sheet, int16_t section, int16_t row, int16_t rowTag);
    int16_t AddNamedRow(const SheetPtr& sheet, int16_t section, const std::string& name,
                        int16_t rowTag);
    void DeleteRow(const SheetPtr& sheet, int16_t section, int16_t row);
    void SetRowName(const SheetPtr& sheet, int16_t section, int16_t row, const std::string& name);
    void SetRowType(const SheetPtr& sheet, int16_t section, int16_t row, int16_t rowTag);
    void SetOneD(const SheetPtr& sheet, bool oneD);
    bool IsOneD(const SheetData& sheet) const;

    // --- Sheet attributes ------------------------------------------------------------------
    void SetName(const SheetPtr& sheet, const std::string& name);
    void SetNameU(const SheetPtr& sheet, const std::string& name);
    void SetData(const SheetPtr& sheet, int index, const std::string& text);
    /// The shape's unique ID; made when missing and make is set.
    std::string UniqueId(const SheetPtr& sheet, bool make);
    /// The name formulas use for the sheet: "Sheet.5", "ThePage", "TheDoc".
    static std::string NameId(const SheetData& sheet);
    /// The shape's name as Visio shows it: its own, else "Sheet.<ID>".
    static std::string DisplayName(const SheetData& sheet);
    static std::string DisplayNameU(const SheetData& sheet);
    /// Gives the "Sheet.<ID>!" references of a formula the IDs `renumber` maps their IDs to;
    /// references it maps to nullopt, and references into other pages or masters, stay.
    static std::string RenumberReferences(
        std::string_view formula, const std::function<std::optional<int32_t>(int32_t)>& renumber);

    // --- Shapes, pages, masters, documents -----------------------------------------------
    /// Draws a rectangle on a page, in a master or inside a group.
    SheetPtr DrawRectangle(const std::shared_ptr<ShapeContainer>& where, double x1, double y1,
                           double x2, double y2);
    /// Drops a copy of a shape (a group with its members) with its pin at (x, y).
    SheetPtr DropCopy(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& shape, double x,
                      double y);
    /// Drops an instance of a master with its pin at (x, y).
    SheetPtr DropMaster(const std::shared_ptr<ShapeContainer>& where,
                        const std::shared_ptr<MasterData>& master, double x, double y);
    SheetPtr Duplicate(const SheetPtr& shape);
    void DeleteShape(const SheetPtr& shape);
    void ConvertToGroup(const SheetPtr& shape);
    std::shared_ptr<PageData> AddPage(const std::shared_ptr<DocumentData>& document);
    /// Adds an empty master to a document.
    std::shared_ptr<MasterData> AddMaster(const std::shared_ptr<DocumentData>& document,
                                          const std::string& name);
    std::shared_ptr<MasterData> OpenMaster(const std::shared_ptr<MasterData>& master);
    void CloseMaster(const std::shared_ptr<MasterData>& editCopy);
    void CopyToClipboard(const SheetPtr& shape);
    /// Pastes the clipboard into the page or group a window shows; the pasted shape is selected.
    SheetPtr Paste(const std::shared_ptr<WindowData>& window);

    /// The container that holds a shape (its group, page or master).
    std::shared_ptr<ShapeContainer> ContainerOf(const SheetData& shape) const;
    /// The shape with that ID on the same page or in the same master as `near`; null when none.
    SheetData* ShapeById(const SheetData& near, int32_t id) const;
    std::shared_ptr<PageData> PagePtr(const PageData* page) const;
    std::shared_ptr<MasterData> MasterPtr(const MasterData* master) const;
    std::shared_ptr<DocumentData> DocumentPtr(const DocumentData* document) const;
    SheetData* Style(const DocumentData& document, int32_t id) const;

    // --- Text -------------------------------------------------------------------------------
    /// The text a shape shows: its own, else its master shape's.
    const TextData& Text(const SheetData& sheet) const;
    void SetText(const SheetPtr& sheet, TextData text);
    // Ranges count characters from 0; a field counts as the text it shows.
    int32_t CharacterCount(const SheetData& sheet) const;
    std::string TextRange(const SheetData& sheet, int32_t begin, int32_t end) const;
    /// The run of a type (visCharPropRow, visParaPropRow, visTabPropRow, visWordRun, visParaRun,
    /// visFieldRun) around a position: its begin and end.
    std::pair<int32_t, int32_t> Run(const SheetData& sheet, int16_t runType,
                                    int32_t position) const;
    /// The Character (3) or Paragraph (4) row formatting a range; -1 when several do.
    int16_t PropsRow(const SheetData& sheet, int16_t section, int32_t begin, int32_t end,
                     int16_t bias) const;
    /// The field exactly covering [begin, end); null when there is none.
    const TextField* FieldAt(const SheetData& sheet, int32_t begin, int32_t end) const;
    void ReplaceText(const SheetPtr& sheet, int32_t begin, int32_t end, std::string_view text);
    /// Gives the range a Character (3) or Paragraph (4) row of its own with one cell changed.
    void SetRunProps(const SheetPtr& sheet, int16_t section, int32_t begin, int32_t end,
                     int16_t cell, int16_t value);
    /// Replaces the range by a field showing the value of a formula (checked as any formula).
    void InsertField(const SheetPtr& sheet, int32_t begin, int32_t end, int16_t category,
                     int16_t code, int16_t format, const std::string& formula);
    /// The formula of a built-in field; throws for a category and code Visio does not have.
    static std::string FieldFormula(int16_t category, int16_t code);

    // --- Building a model (the file reader) ---------------------------------------------
    /// Reads the shapes of a page whose reading was left for later; every way to a page's
    /// shapes passes here first. A page that cannot be read stays unread and throws again.
    void LoadShapes(ShapeContainer& where);
    /// Gives the shapes of a container, at any depth, the rows they inherit (as LinkInheritance
    /// does for a whole document).
    void LinkInheritance(ShapeContainer& container);
    /// Links every sheet of a document to its master shape and styles and gives it the rows it
    /// inherits. Called once a document is read, and whenever a master changes.
    void LinkInheritance(DocumentData& document);
    /// Registers a page's or master's shapes (at any depth) by ID.
    void IndexShapes(PageData& page);
    void IndexShapes(MasterData& master);
    /// Sets the owners of the shapes of a container (document, page, master, group), deeply.
    static void SetOwners(ShapeContainer& container, DocumentData* document, PageData* page,
                          MasterData* master, SheetData* parent);
    /// The object-section rows a sheet of this kind has without being asked.
    static std::bitset<40> DefaultObjectRows(SheetKind kind, ShapeKind shapeKind);
    /// Whether a sheet can be given a row of the object section: page and document sheets have
    /// only their own rows, and shapes none of those.
    static bool CanHoldObjectRow(const SheetData& sheet, int16_t row);

    /// The sheet a sheet inherits a multi-row section from: its master shape, or for the text
    /// and gradient sections its style; null when none.
    const SheetData* InheritanceSource(const SheetData& sheet, int16_t section) const;

    /// A sheet whose host object is still in the model; throws kObjectDeleted otherwise.
    static void RequireAlive(const SheetData& sheet);

    // Recording (used by the primitives in every part of the model).
    void Record(std::function<void()> inverse);
    void Changed() { ++m_changes; }
    /// A change to one sheet (or list of shapes), or to a document's lists of pages or masters.
    void Changed(ShapeContainer& where) { where.changedAt = ++m_changes; }
    void Changed(DocumentData& where) { where.changedAt = ++m_changes; }

private:
    friend class SheetResolver;
    struct UndoStep {
        int32_t id = 0;
        std::string name;
        std::vector<std::function<void()>> inverses;
    };

    // Primitives: each records its inverse.
    void StoreCell(const SheetPtr& sheet, int16_t section, int16_t row, CellData cell);
    void EraseCell(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    void InsertRow(const SheetPtr& sheet, int16_t section, size_t position, RowData row);
    RowData RemoveRow(const SheetPtr& sheet, int16_t section, size_t position);
    void ReplaceRowHead(const SheetPtr& sheet, int16_t section, size_t position, int16_t type,
                        std::string name, int16_t key, bool local);
    void InsertSection(const SheetPtr& sheet, SectionData section);
    SectionData RemoveSection(const SheetPtr& sheet, int16_t index);
    void SetSectionHead(const SheetPtr& sheet, int16_t index, bool local, int16_t key,
                        std::vector<int16_t> deletedKeys);
    void SetDeletedSections(const SheetPtr& sheet, std::vector<int16_t> deleted);
    void SetObjectRows(const SheetPtr& sheet, std::bitset<40> rows);
    void InsertShape(const std::shared_ptr<ShapeContainer>& container, size_t position,
                     const SheetPtr& shape);
    SheetPtr RemoveShape(const std::shared_ptr<ShapeContainer>& container, size_t position);
    void InsertPage(const std::shared_ptr<DocumentData>& document, size_t position,
                    const std::shared_ptr<PageData>& page);
    void InsertMaster(const std::shared_ptr<DocumentData>& document, size_t position,
                      const std::shared_ptr<MasterData>& master);
    void RemoveMaster(const std::shared_ptr<DocumentData>& document, size_t position);
    void InsertDocument(size_t position, const std::shared_ptr<DocumentData>& document);
    void RemoveDocument(size_t position);
    void ReplaceMasterContents(const std::shared_ptr<MasterData>& master,
                               std::vector<SheetPtr> shapes, SheetPtr pageSheet);
    template <class T>
    void Assign(const SheetPtr& owner, T& field, T value);

    // Inheritance.
    const CellData* OwnCell(const SheetData& sheet, int16_t section, int16_t row,
                            int16_t cell) const;
    /// The cell that gives (section, row, cell) of the sheet its formula, following
    /// inheritance; null when no sheet in the chain has one.
    const CellData* FormulaCell(const SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                                const SheetData** owner = nullptr) const;
    const SheetData* StyleFor(const SheetData& sheet, int16_t section, int16_t row,
                              int16_t cell) const;
    /// An inherited formula as the sheet that inherits it shows it: what its master's shapes
    /// name by their IDs, the members of the sheet's instance name by theirs. `owner` is the
    /// sheet whose formula it is.
    std::string SeenThrough(const SheetData& sheet, const SheetData& owner,
                            std::string_view formula) const;
    /// The member of the viewer's instance of `master` whose master shape has that ID.
    static const SheetData* InstanceMember(const SheetData& viewer, const MasterData& master,
                                           int32_t masterShapeId);
    void SyncInheritedRows(const SheetPtr& sheet);
    /// The inherited row of that name the sheet deleted from a section, as its key.
    std::optional<int16_t> DeletedRowNamed(const SheetData& sheet, int16_t section,
                                           std::string_view name) const;
    std::function<bool(std::string_view)> DeletedNames(const SheetPtr& sheet,
                                                       int16_t section) const;
    int16_t ObjectRowCellCount(int16_t row) const;
    /// A section of the sheet's own, not yet in the sheet; one the sheet deleted from what it
    /// inherits comes back in its place.
    SectionData NewLocalSection(const SheetPtr& sheet, int16_t section);
    SectionData& LocalSection(const SheetPtr& sheet, int16_t section);
    void MakeRowLocal(const SheetPtr& sheet, int16_t section, int16_t row);
    void IndexSubtree(SheetData& shape, bool add);
    /// Throws for a section the sheet cannot hold (a page sheet has no Geometry, ...).
    static void RequireSection(const SheetData& sheet, int16_t section);
    void CheckCellWritable(const SheetData& sheet, int16_t section, int16_t row,
                           int16_t cell) const;
    void RevertToInherited(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);

    // Values.
    formula::Value Compute(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    formula::Value Recalculate(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    /// The value of a cell's formula on the sheet; nullopt when the cell is being computed
    /// already (a circular reference).
    std::optional<formula::Value> Evaluated(const SheetPtr& sheet, const SheetData& owner,
                                            const CellData& source, int16_t section, int16_t row,
                                            int16_t cell);
    /// The value a cell showed last (its own, else its formula's source's), kept for want of
    /// what it needs.
    formula::Value LastShown(const SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                             const CellData* source, formula::Need need) const;
    /// Action and event cells, whose formulas run when their event fires.
    static bool IsEventCell(int16_t section, int16_t row, int16_t cell);
    /// The ClippingPath cell of a picture.
    static bool IsClippingPath(const SheetData& sheet, int16_t section, int16_t row, int16_t cell);
    /// The shape transform's first nine cells: PinX, PinY, Width, Height, LocPinX, LocPinY,
    /// Angle, FlipX, FlipY.
    std::array<double, 9> PlacementCells(const SheetPtr& shape);
    void CacheValue(SheetData& sheet, int16_t section, int16_t row, int16_t cell,
                    formula::Value value, bool estimated = false);

    // Themes.
    int32_t ThemeCell(const SheetPtr& sheet, int16_t cell);
    /// The document's theme that gives the sheet its colors, or (styles) its fill, line, effect
    /// and font styles; null when none.
    const ThemeData* ThemeOf(const SheetPtr& sheet, bool styles);
    std::optional<bool> IsThemed(const SheetPtr& sheet);
    /// A THEMEVAL or THEMEPROP property for the sheet; empty: the property of the host cell.
    formula::Value ThemeValue(const SheetPtr& sheet, std::string_view property,
                              const std::optional<CellAddress>& host);
    /// What Visio gives a THEMEVAL property where no theme applies.
    formula::Value UnthemedValue(const SheetPtr& sheet, std::string_view property,
                                 const std::optional<CellAddress>& host);
    std::optional<formula::Value> QuickStyleValue(const SheetPtr& sheet, const ThemeData& theme,
                                                  std::string_view property);

    // Shapes.
    static SheetPtr CloneShape(const SheetData& shape);
    void AssignNewIds(SheetData& shape, const ShapeContainer& where,
                      std::map<int32_t, int32_t>& renumbered);
    int32_t TakeShapeId(const ShapeContainer& where);
    SheetPtr NewShape(const std::shared_ptr<ShapeContainer>& where, ShapeKind kind);
    SheetPtr Instantiate(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& masterShape,
                         const std::string& name);
    void InsertNewShape(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& shape,
                        size_t position);
    SheetPtr PasteCopy(const std::shared_ptr<ShapeContainer>& where, const SheetData& original);
    void Place(const SheetPtr& shape, double x, double y);
    void SetLocalFormula(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell,
                         std::string formula);

    std::vector<std::shared_ptr<DocumentData>> m_documents;
    std::vector<std::shared_ptr<WindowData>> m_windows;
    std::shared_ptr<WindowData> m_activeWindow;
    SheetPtr m_clipboard;
    std::vector<std::shared_ptr<MasterData>> m_editCopies;
    int m_drawingCounter = 0;

    uint64_t m_changes = 1;
    bool m_undoEnabled = true;
    std::vector<UndoStep> m_openScopes;
    std::vector<UndoStep> m_undoStack;
    std::vector<UndoStep> m_redoStack;
    std::vector<std::function<void()>>* m_replayTarget = nullptr;
    bool m_discarding = false;
    int32_t m_nextScopeId = 1;

    std::map<std::string, uint64_t, std::less<>> m_callCounts;
    uint64_t m_totalCalls = 0;
    uint64_t m_failAt = 0;
    int32_t m_failNumber = 0;
    std::string m_failDescription;

    formula::CycleGuard m_cycleGuard;
    // A recalculation's values, good while nothing changes.
    bool m_recalculating = false;
    uint64_t m_recalculatedAt = 0;
    std::map<std::pair<const SheetData*, int64_t>, formula::Value> m_recalculated;
};

}  // namespace tess::embedded
