#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/embedded/ModelData.h"

namespace tess::embedded {

class Model;

/// Shapes, pages, masters and new drawings: drawing, dropping, copying, grouping, deleting,
/// naming, and the edit copies of masters open for editing.
class ShapeEditor {
public:
    explicit ShapeEditor(Model& model) : m_model(model) {}

    /// Draws a rectangle on a page, in a master or inside a group.
    SheetPtr DrawRectangle(const std::shared_ptr<ShapeContainer>& where, double x1, double y1,
                           double x2, double y2);
    /// Drops a copy of a shape (a group with its members) with its pin at (x, y).
    SheetPtr DropCopy(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& shape, double x,
                      double y);
    /// Drops an instance of a master with its pin at (x, y).
    SheetPtr DropMaster(const std::shared_ptr<ShapeContainer>& where,
                        const std::shared_ptr<MasterData>& master, double x, double y);
    /// A copy of a shape (with its members, new IDs and references among them renumbered)
    /// added last to a container.
    SheetPtr PasteCopy(const std::shared_ptr<ShapeContainer>& where, const SheetData& original);
    SheetPtr Duplicate(const SheetPtr& shape);
    void DeleteShape(const SheetPtr& shape);
    void ConvertToGroup(const SheetPtr& shape);

    void SetName(const SheetPtr& sheet, const std::string& name);
    void SetNameU(const SheetPtr& sheet, const std::string& name);
    void SetData(const SheetPtr& sheet, int index, const std::string& text);
    /// The shape's unique ID; made when missing and make is set.
    std::string UniqueId(const SheetPtr& sheet, bool make);

    /// Makes a new blank drawing ("Drawing1", "Drawing2", ...) with one page, and shows it.
    std::shared_ptr<DocumentData> AddDrawing();
    std::shared_ptr<PageData> AddPage(const std::shared_ptr<DocumentData>& document);
    /// Adds an empty master to a document.
    std::shared_ptr<MasterData> AddMaster(const std::shared_ptr<DocumentData>& document,
                                          const std::string& name);
    std::shared_ptr<MasterData> OpenMaster(const std::shared_ptr<MasterData>& master);
    void CloseMaster(const std::shared_ptr<MasterData>& editCopy);
    /// The edit copy open on a master, by its address; null when none is.
    std::shared_ptr<MasterData> EditCopy(const MasterData* copy) const;

    static SheetPtr CloneShape(const SheetData& shape);

private:
    void AssignNewIds(SheetData& shape, const ShapeContainer& where,
                      std::map<int32_t, int32_t>& renumbered);
    int32_t TakeShapeId(const ShapeContainer& where);
    SheetPtr NewShape(const std::shared_ptr<ShapeContainer>& where, ShapeKind kind);
    SheetPtr Instantiate(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& masterShape,
                         const std::string& name);
    void InsertNewShape(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& shape,
                        size_t position);
    void Place(const SheetPtr& shape, double x, double y);

    Model& m_model;
    std::vector<std::shared_ptr<MasterData>> m_editCopies;
    int m_drawingCounter = 0;
};

}  // namespace tess::embedded
