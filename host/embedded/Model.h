#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formula/Evaluate.h"
#include "host/embedded/CallGate.h"
#include "host/embedded/Evaluator.h"
#include "host/embedded/ModelData.h"
#include "host/embedded/ShapeEditor.h"
#include "host/embedded/SheetRules.h"
#include "host/embedded/TextModel.h"
#include "host/embedded/UndoLog.h"
#include "host/embedded/WindowManager.h"

namespace tess::embedded {

/// The embedded Visio: its documents and every rule about sheets, sections, rows, cells,
/// inheritance and formulas. It owns the parts a reader looks for by name (the undo log, the
/// call gate, the windows, text, values, shape editing), reached through their accessors:
/// `model.Undo().BeginScope(...)`. The host objects (Objects.h) are thin views on it; the
/// package reader and writer (host/vsdx) fill it and read it back.
///
/// Every change goes through a few primitives that record how to reverse it in the undo log,
/// so that undo scopes cost what changed, not the size of the document.
class Model {
public:
    Model();
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // --- The parts ------------------------------------------------------------------------
    [[nodiscard]] UndoLog& Undo() { return m_undo; }
    [[nodiscard]] CallGate& Calls() { return m_calls; }
    [[nodiscard]] WindowManager& Windows() { return m_windows; }
    [[nodiscard]] TextModel& Text() { return m_text; }
    [[nodiscard]] const TextModel& Text() const { return m_text; }
    [[nodiscard]] Evaluator& Values() { return m_values; }
    [[nodiscard]] ShapeEditor& Shapes() { return m_shapes; }

    // --- Documents --------------------------------------------------------------------------
    const std::vector<std::shared_ptr<DocumentData>>& Documents() const { return m_documents; }
    /// Adds a document (read from a file) and shows it in a window of its own.
    void AddDocument(const std::shared_ptr<DocumentData>& document);
    /// Closes a document and its windows, as closing a drawing does: not an undoable change.
    /// Undo and redo steps are forgotten, since they may reach into the closed document.
    void CloseDocument(const std::shared_ptr<DocumentData>& document);
    /// The container that holds a shape (its group, page or master).
    std::shared_ptr<ShapeContainer> ContainerOf(const SheetData& shape) const;
    /// The shape with that ID on the same page or in the same master as `near`; null when none.
    SheetData* ShapeById(const SheetData& near, int32_t id) const;
    std::shared_ptr<PageData> PagePtr(const PageData* page) const;
    std::shared_ptr<MasterData> MasterPtr(const MasterData* master) const;
    std::shared_ptr<DocumentData> DocumentPtr(const DocumentData* document) const;
    SheetData* Style(const DocumentData& document, int32_t id) const;

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
    bool IsOneD(const SheetData& sheet) const;

    // --- Writing formulas and changing structure --------------------------------------------
    /// Writes a formula after checking it as Visio does; throws on a refused formula or a
    /// cell the sheet lacks. The empty formula gives the cell back its inherited formula.
    void SetFormula(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell,
                    std::string_view formula);
    /// Writes a value: the cell's formula becomes that constant (a guarded formula stays unless
    /// blastGuards).
    void SetResult(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell, double value,
                   bool blastGuards = true);
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

    // --- Reading and inheritance --------------------------------------------------------------
    /// Reads the shapes of a page whose reading was left for later; every way to a page's
    /// shapes passes here first. A page that cannot be read stays unread and throws again.
    void LoadShapes(ShapeContainer& where);
    /// Gives the shapes of a container, at any depth, the rows they inherit (as LinkInheritance
    /// does for a whole document).
    void LinkInheritance(ShapeContainer& container);
    /// Links every sheet of a document to its master shape and styles and gives it the rows it
    /// inherits. Called once a document is read, and whenever a master changes.
    void LinkInheritance(DocumentData& document);
    /// The sheet a sheet inherits a multi-row section from: its master shape, or for the text
    /// and gradient sections its style; null when none.
    const SheetData* InheritanceSource(const SheetData& sheet, int16_t section) const;

private:
    // The parts change sheets through the primitives below and read what inheritance gives.
    friend class Evaluator;
    friend class ShapeEditor;
    friend class SheetResolver;
    friend class TextModel;
    friend class WindowManager;

    // Primitives: each records its inverse.
    void StoreCell(const SheetPtr& sheet, int16_t section, int16_t row, CellData cell);
    void EraseCell(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell);
    void InsertRow(const SheetPtr& sheet, int16_t section, size_t position, RowData row);
    RowData RemoveRow(const SheetPtr& sheet, int16_t section, size_t position);
    /// Removes a row of a section, keeping as deleted the inherited row it overrides.
    void RemoveOwnedRow(const SheetPtr& sheet, int16_t section, int16_t row);
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
    /// Gives a sheet the rows its master shape and styles give it, keeping its own.
    void SyncInheritedRows(const SheetPtr& sheet);
    /// Sections inherited from a source that no longer has them go; rows of the sheet's own
    /// stay, as a section of its own.
    void DropOrphanedSections(const SheetPtr& sheet);
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
    /// Gives a cell a formula of its own without checking it, keeping the value it showed
    /// until the new formula is computed.
    void SetLocalFormula(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell,
                         std::string formula);

    std::vector<std::shared_ptr<DocumentData>> m_documents;
    UndoLog m_undo;
    CallGate m_calls;
    WindowManager m_windows{*this};
    TextModel m_text{*this};
    Evaluator m_values{*this};
    ShapeEditor m_shapes{*this};
};

}  // namespace tess::embedded
