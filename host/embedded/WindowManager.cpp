#include "host/embedded/WindowManager.h"

#include <algorithm>

#include "host/embedded/HostErrors.h"
#include "host/embedded/Model.h"

namespace tess::embedded {

std::shared_ptr<WindowData> WindowManager::ActiveWindow() const {
    return m_activeWindow && !m_activeWindow->closed ? m_activeWindow : nullptr;
}

std::shared_ptr<DocumentData> WindowManager::ActiveDocument() const {
    const auto window = ActiveWindow();
    return window ? window->document : nullptr;
}

std::shared_ptr<PageData> WindowManager::ActivePage() const {
    const auto window = ActiveWindow();
    return window && !window->group ? window->page : nullptr;
}

void WindowManager::Activate(const std::shared_ptr<DocumentData>& document,
                             const std::shared_ptr<PageData>& page) {
    for (const auto& window : m_windows) {
        if (window->document == document && !window->group && !window->closed) {
            window->page = page ? page : window->page;
            m_activeWindow = window;
            return;
        }
    }
    auto window = std::make_shared<WindowData>();
    window->document = document;
    window->page = page ? page : (document->pages.empty() ? nullptr : document->pages.front());
    m_windows.push_back(window);
    m_activeWindow = window;
}

std::shared_ptr<WindowData> WindowManager::OpenGroupWindow(const SheetPtr& group) {
    RequireAlive(*group);
    if (group->shapeKind != ShapeKind::Group)
        hosterr::Raise(hosterr::kNotAllowed, "The shape is not a group.");
    auto window = std::make_shared<WindowData>();
    window->document = m_model.DocumentPtr(group->document);
    window->page = m_model.PagePtr(group->page);
    window->group = group;
    m_windows.push_back(window);
    m_activeWindow = window;
    return window;
}

void WindowManager::CloseWindow(const std::shared_ptr<WindowData>& window) {
    window->closed = true;
    m_windows.erase(std::remove(m_windows.begin(), m_windows.end(), window), m_windows.end());
    if (m_activeWindow == window) m_activeWindow = m_windows.empty() ? nullptr : m_windows.back();
}

void WindowManager::CloseWindowsOf(const std::shared_ptr<DocumentData>& document) {
    for (const auto& window : std::vector<std::shared_ptr<WindowData>>(m_windows)) {
        if (window->document == document) CloseWindow(window);
    }
}

void WindowManager::DropDeletedFromSelections() {
    for (const auto& window : m_windows) {
        std::erase_if(window->selection, [](const SheetPtr& selected) { return selected->deleted; });
    }
}

void WindowManager::CopyToClipboard(const SheetPtr& shape) {
    RequireAlive(*shape);
    m_clipboard = ShapeEditor::CloneShape(*shape);
}

SheetPtr WindowManager::Paste(const std::shared_ptr<WindowData>& window) {
    if (!m_clipboard) hosterr::Raise(hosterr::kNotAllowed, "The clipboard is empty.");
    std::shared_ptr<ShapeContainer> where = window->group
                                                ? std::shared_ptr<ShapeContainer>(window->group)
                                                : std::shared_ptr<ShapeContainer>(window->page);
    if (!where) hosterr::Raise(hosterr::kNotAllowed);
    SheetPtr pasted = m_model.Shapes().PasteCopy(where, *m_clipboard);
    window->selection = {pasted};
    return pasted;
}

}  // namespace tess::embedded
