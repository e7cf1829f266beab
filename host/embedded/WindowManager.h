#pragma once

#include <memory>
#include <vector>

#include "host/embedded/ModelData.h"

namespace tess::embedded {

class Model;

/// A drawing window: the page (or, opened on a group, the group) it shows and its selection.
struct WindowData {
    std::shared_ptr<DocumentData> document;
    std::shared_ptr<PageData> page;
    SheetPtr group;
    std::vector<SheetPtr> selection;
    bool closed = false;
};

/// The model's drawing windows, the active one, their selections and the clipboard. Windows
/// are no part of a document: opening or closing one is not a change to undo or save.
class WindowManager {
public:
    explicit WindowManager(Model& model) : m_model(model) {}

    std::shared_ptr<WindowData> ActiveWindow() const;
    std::shared_ptr<DocumentData> ActiveDocument() const;
    std::shared_ptr<PageData> ActivePage() const;
    /// Shows a document's page in its window (opened when it has none) and makes it active.
    void Activate(const std::shared_ptr<DocumentData>& document,
                  const std::shared_ptr<PageData>& page);
    std::shared_ptr<WindowData> OpenGroupWindow(const SheetPtr& group);
    void CloseWindow(const std::shared_ptr<WindowData>& window);
    void CloseWindowsOf(const std::shared_ptr<DocumentData>& document);
    /// Takes shapes that left their documents out of every selection.
    void DropDeletedFromSelections();
    void CopyToClipboard(const SheetPtr& shape);
    /// Pastes the clipboard into the page or group a window shows; the pasted shape is selected.
    SheetPtr Paste(const std::shared_ptr<WindowData>& window);

private:
    Model& m_model;
    std::vector<std::shared_ptr<WindowData>> m_windows;
    std::shared_ptr<WindowData> m_activeWindow;
    SheetPtr m_clipboard;
};

}  // namespace tess::embedded
