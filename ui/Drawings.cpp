#include "ui/Drawings.h"

#include <filesystem>

#include "host/vsdx/Vsdx.h"
#include "platform/visio/FileNames.h"

namespace tess::ui {

Drawings::Drawings() : m_app(std::make_shared<embedded::EmbeddedApplication>()) {}

visio::ApplicationPtr Drawings::App() const {
    if (m_runningVisio) return m_runningVisio;
    return m_app;
}

const std::vector<std::shared_ptr<embedded::DocumentData>>& Drawings::Documents() const {
    return m_app->TheModel().Documents();
}

std::shared_ptr<embedded::DocumentData> Drawings::Open(const std::string& path) {
    std::error_code ignored;
    const auto wanted = std::filesystem::weakly_canonical(PathOf(path), ignored);
    for (const auto& document : Documents()) {
        if (!document->path.empty() &&
            std::filesystem::weakly_canonical(PathOf(document->path), ignored) == wanted) {
            Activate(document);
            return document;
        }
    }
    return vsdx::OpenDocument(Model(), path, true);
}

void Drawings::Save(const std::shared_ptr<embedded::DocumentData>& document) {
    vsdx::SaveDocument(Model(), *document, document->path);
    Saved(*document);
}

void Drawings::Saved(const embedded::DocumentData& document) {
    m_savedAt[&document] = Model().Undo().ChangeCount();
}

void Drawings::SaveAs(const std::shared_ptr<embedded::DocumentData>& document,
                      const std::string& path) {
    vsdx::SaveDocument(Model(), *document, path);
    document->path = path;
    document->name = NameOf(PathOf(path).filename());
    Saved(*document);
}

void Drawings::Close(const std::shared_ptr<embedded::DocumentData>& document) {
    m_savedAt.erase(document.get());
    Model().CloseDocument(document);
}

bool Drawings::IsChanged(const embedded::DocumentData& document) const {
    const auto saved = m_savedAt.find(&document);
    return saved == m_savedAt.end() ? vsdx::HasChanges(document)
                                    : vsdx::HasChangesSince(document, saved->second);
}

std::shared_ptr<embedded::DocumentData> Drawings::Active() const {
    return m_app->TheModel().Windows().ActiveDocument();
}

void Drawings::Activate(const std::shared_ptr<embedded::DocumentData>& document,
                        const std::shared_ptr<embedded::PageData>& page) {
    Model().Windows().Activate(document, page ? page : document->activePage);
}

}  // namespace tess::ui
