#include "cli/Session.h"

#include <iostream>

#include "cli/Console.h"

namespace tess::cli {

std::string AsLines(std::string text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

void PrintMessage(const std::string& title, const std::string& text) {
    // On a terminal a progress line may stand where the message goes.
    static const bool terminal = IsTerminal(stderr);
    if (terminal) std::cerr << "\r\033[K";
    std::cerr << title << ": " << AsLines(text) << '\n';
}

Session::Session(const Drawings& drawings, bool toSaveInPlace) {
    if (!drawings.visio) {
        m_workspace.emplace(drawings.files, toSaveInPlace);
        return;
    }
    if (!drawings.files.empty())
        UsageError("--visio works on the drawings open in Visio; '" + drawings.files.front() +
                   "' is a file: name documents in OBJECTs as DOC:page:P/SHAPE");
    m_visio = std::make_unique<RunningVisio>();
}

visio::ApplicationPtr Session::Application() const {
    return m_visio ? m_visio->Application() : m_workspace->AppPtr();
}

std::vector<visio::DocumentPtr> Session::Documents() const {
    std::vector<visio::DocumentPtr> documents;
    const visio::DocumentsPtr open = Application()->Documents();
    for (int16_t i = 1; i <= open->Count(); ++i)
        documents.push_back(open->Item(i));
    return documents;
}

void Session::ForEachSheet(
    const std::function<void(const embedded::SheetPtr&, const std::string&)>& visit) {
    const visio::Resolver names = Resolver();
    std::function<void(const std::vector<embedded::SheetPtr>&)> shapes =
        [&](const std::vector<embedded::SheetPtr>& list) {
            for (const embedded::SheetPtr& shape : list) {
                visit(shape,
                      names.AddressOf(embedded::WrapShape(m_workspace->App().ModelPtr(), shape)));
                shapes(std::vector<embedded::SheetPtr>(shape->shapes));
            }
        };
    const auto& documents = m_workspace->Documents();
    for (const Workspace::Document& document : documents) {
        const std::string prefix =
            documents.size() > 1 ? visio::EscapeName(document.data->name) + ":" : std::string();
        visit(document.data->documentSheet, prefix + "document");
        for (const embedded::SheetPtr& style : document.data->styles)
            visit(style, prefix + "style:" + visio::EscapeName(style->name));
        for (const auto& master : document.data->masters) {
            if (master->pageSheet)
                visit(master->pageSheet, prefix + "master:" + visio::EscapeName(master->name));
            shapes(std::vector<embedded::SheetPtr>(master->shapes));
        }
        for (const auto& page : document.data->pages) {
            m_workspace->Model().LoadShapes(*page);
            visit(page->pageSheet, prefix + "page:" + visio::EscapeName(page->name));
            shapes(std::vector<embedded::SheetPtr>(page->shapes));
        }
    }
}

app::Answer Session::MsgBox(const std::string& text, app::Style style, const std::string& title) {
    PrintMessage(title, text);
    return style == app::Style::Question ? app::Answer::No : app::Answer::Ok;
}

}  // namespace tess::cli
