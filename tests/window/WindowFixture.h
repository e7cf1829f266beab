#pragma once

#include <memory>
#include <string>

#include "host/EmbeddedFixture.h"
#include "platform/visio/Resolver.h"
#include "support/ScriptedPrompt.h"
#include "window/CopyWindow.h"

namespace tess::test {

/// The embedded application, reporting whatever version a test sets.
class VersionedHost : public visio::IApplication {
public:
    explicit VersionedHost(visio::ApplicationPtr inner) : m_inner(std::move(inner)) {}
    visio::DocumentsPtr Documents() override { return m_inner->Documents(); }
    visio::DocumentPtr ActiveDocument() override { return m_inner->ActiveDocument(); }
    visio::PagePtr ActivePage() override { return m_inner->ActivePage(); }
    visio::WindowPtr ActiveWindow() override { return m_inner->ActiveWindow(); }
    std::string Version() override { return version; }
    int32_t BeginUndoScope(const std::string& name) override {
        return m_inner->BeginUndoScope(name);
    }
    void EndUndoScope(int32_t scope, bool commit) override { m_inner->EndUndoScope(scope, commit); }
    void Undo() override { m_inner->Undo(); }
    void Redo() override { m_inner->Redo(); }
    void Quit() override { m_inner->Quit(); }
    void AddEventSink(visio::IApplicationEvents* sink) override { m_inner->AddEventSink(sink); }
    void RemoveEventSink(visio::IApplicationEvents* sink) override {
        m_inner->RemoveEventSink(sink);
    }

    std::string version = "16.0";

private:
    visio::ApplicationPtr m_inner;
};

/// A drawing with the main window's state on it: the window's host is a VersionedHost over the
/// drawing, its list items carry tree keys, its messages go to a scripted prompt.
class WindowTest : public EmbeddedDrawing {
protected:
    /// The list item of a shape, page sheet or document sheet, as the tree would give it.
    window::ListItem Item(const visio::ShapePtr& sheet) {
        const int16_t type = sheet->Type();
        const int16_t image = type == visio::visTypeDoc      ? visio::kImageDrawing
                              : type == visio::visTypePage   ? visio::kImagePage
                              : sheet->Shapes()->Count() > 0 ? visio::kImageGroup
                                                             : visio::kImageShape;
        return {visio::Resolver(host, kApplicationId).KeyOf(sheet), sheet->Name(), image};
    }
    void Source(const window::ListItem& item) { window.source = {item}; }
    /// Checks and enables the boxes of these entries.
    void Choose(std::initializer_list<int16_t> boxes) {
        for (int16_t box : boxes)
            window.sections.boxes[static_cast<size_t>(box)] = {1, true};
    }

    static constexpr const char* kApplicationId = "{APPLICATION}";
    std::shared_ptr<VersionedHost> host = std::make_shared<VersionedHost>(app);
    ScriptedPrompt prompt;
    window::CopyWindow window{host, prompt, kApplicationId};
};

}  // namespace tess::test
