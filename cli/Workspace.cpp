#include "cli/Workspace.h"

#include "formula/CellCatalogue.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Error.h"
#include "platform/visio/Resolver.h"

namespace tess::cli {

void UsageError(const std::string& text) {
    Raise(kUsageError, text);
}

Workspace::Workspace(const std::vector<std::string>& files, bool toSaveInPlace) {
    for (const std::string& file : files) {
        if (!vsdx::IsVisioPackageName(file)) {
            UsageError("'" + file +
                       "' is not a Visio file (.vsdx, .vsdm, .vssx, .vssm, .vstx, .vstm)");
        }
    }
    for (const std::string& file : files) {
        const auto data = vsdx::OpenDocument(Model(), file, toSaveInPlace);
        for (const Document& open : m_documents) {
            if (formula::SameName(open.data->name, data->name)) {
                UsageError("two files are named '" + data->name + "': give each document once");
            }
        }
        m_documents.push_back({file, data, embedded::WrapDocument(m_app->ModelPtr(), data)});
    }
}

void Workspace::CheckOutput(const std::string& output, const embedded::DocumentData* document) {
    vsdx::CheckTargetFolder(output);
    if (!document) return;
    if (const std::string refusal = vsdx::SaveRefusal(*document, output); !refusal.empty())
        UsageError("-o " + refusal);
}

void Workspace::Save(
    embedded::Model& model,
    const std::vector<std::pair<std::shared_ptr<embedded::DocumentData>, std::string>>& writes) {
    std::vector<vsdx::PendingSave> saves;
    saves.reserve(writes.size());
    for (const auto& [document, target] : writes)
        saves.emplace_back(model, *document, target);
    for (const vsdx::PendingSave& save : saves)
        save.Check();
    for (vsdx::PendingSave& save : saves)
        save.Commit();
}

const Workspace::Document& Workspace::DocumentOf(const visio::ShapePtr& shape) const {
    const std::string name = shape->Document()->Name();
    for (const Document& document : m_documents) {
        if (document.data->name == name) return document;
    }
    return m_documents.front();
}

void Workspace::ForEachSheet(
    const std::function<void(const embedded::SheetPtr&, const std::string&)>& visit) {
    const visio::Resolver names(m_app);
    std::function<void(const std::vector<embedded::SheetPtr>&)> shapes =
        [&](const std::vector<embedded::SheetPtr>& list) {
            for (const embedded::SheetPtr& shape : list) {
                visit(shape,
                      names.AddressOf(embedded::WrapShape(m_app->ModelPtr(), shape)));
                shapes(std::vector<embedded::SheetPtr>(shape->shapes));
            }
        };
    for (const Document& document : m_documents) {
        const std::string prefix =
            m_documents.size() > 1 ? visio::EscapeName(document.data->name) + ":" : std::string();
        visit(document.data->documentSheet, prefix + "document");
        for (const embedded::SheetPtr& style : document.data->styles)
            visit(style, prefix + "style:" + visio::EscapeName(style->name));
        for (const auto& master : document.data->masters) {
            if (master->pageSheet)
                visit(master->pageSheet, prefix + "master:" + visio::EscapeName(master->name));
            shapes(std::vector<embedded::SheetPtr>(master->shapes));
        }
        for (const auto& page : document.data->pages) {
            Model().LoadShapes(*page);
            visit(page->pageSheet, prefix + "page:" + visio::EscapeName(page->name));
            shapes(std::vector<embedded::SheetPtr>(page->shapes));
        }
    }
}

}  // namespace tess::cli
