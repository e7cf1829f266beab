#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "app/RunningVisio.h"
#include "cli/Workspace.h"
#include "platform/visio/Resolver.h"

// What a command runs inside: the drawings it works on (files, or those open in the running
// Visio), the objects they hold found by address, and the messages of the program printed on
// standard error.
namespace tess::cli {

/// Where a command finds its objects: the files it names, or (visio) the drawings open in the
/// running Visio. Every command's options start with it.
struct Drawings {
    std::vector<std::string> files;
    bool visio = false;
};

class Session : public app::IPrompt {
public:
    /// Opens the files (held against other runs when they are to be saved in place), or attaches
    /// to the running Visio. The one place where the command line chooses its host.
    explicit Session(const Drawings& drawings, bool toSaveInPlace = false);

    /// True when the drawings are those of the running Visio, which the program never saves.
    bool OverVisio() const { return m_visio != nullptr; }
    /// The host: the files' model, or the running Visio.
    visio::ApplicationPtr Application() const;
    /// The documents open, in order.
    std::vector<visio::DocumentPtr> Documents() const;
    /// The files; only for a session on files.
    Workspace& Files() { return *m_workspace; }
    /// Finds the objects by address, and names them so.
    visio::Resolver Resolver() const { return visio::Resolver(Application()); }
    /// On files: calls visit with every sheet of every file and its address (see Workspace).
    void ForEachSheet(
        const std::function<void(const embedded::SheetPtr&, const std::string&)>& visit) {
        m_workspace->ForEachSheet(visit);
    }

    /// Prints the message; a question is answered No, as nobody is there to say yes.
    app::Answer MsgBox(const std::string& text, app::Style style,
                       const std::string& title) override;

private:
    std::unique_ptr<app::RunningVisio> m_visio;
    std::optional<Workspace> m_workspace;
};

/// Text with the carriage returns of message boxes as line breaks.
std::string AsLines(std::string text);
/// Prints a message on standard error at the start of a clean line: "title: text".
void PrintMessage(const std::string& title, const std::string& text);

}  // namespace tess::cli
