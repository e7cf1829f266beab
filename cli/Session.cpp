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
    if (!app::RunningVisio::Reachable())
        UsageError("--visio attaches to the running Visio, which only the Windows build of "
                   "tessaline-cli can do; this build works on files");
    m_visio = std::make_unique<app::RunningVisio>();
    m_visio->Attach();  // when none runs, fails here (exit status 3)
}

visio::ApplicationPtr Session::Application() const {
    return m_visio ? m_visio->Attach() : m_workspace->AppPtr();
}

std::vector<visio::DocumentPtr> Session::Documents() const {
    std::vector<visio::DocumentPtr> documents;
    const visio::DocumentsPtr open = Application()->Documents();
    for (int16_t i = 1; i <= open->Count(); ++i)
        documents.push_back(open->Item(i));
    return documents;
}

app::Answer Session::MsgBox(const std::string& text, app::Style style, const std::string& title) {
    PrintMessage(title, text);
    return style == app::Style::Question ? app::Answer::No : app::Answer::Ok;
}

}  // namespace tess::cli
