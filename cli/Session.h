#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "cli/Workspace.h"
#include "platform/visio/Resolver.h"

// What a command runs inside: the files open, the objects they hold found by address, and the
// messages of the program printed on standard error.
namespace tess::cli {

class Session : public app::IPrompt {
public:
    /// Opens the files (held against other runs when they are to be saved in place).
    explicit Session(const std::vector<std::string>& files, bool toSaveInPlace = false)
        : m_workspace(files, toSaveInPlace) {}

    Workspace& Files() { return m_workspace; }
    /// Finds the objects of the files by address, and names them so.
    visio::Resolver Resolver() const { return visio::Resolver(m_workspace.AppPtr()); }
    /// Calls visit with every sheet of every file and its address (see Workspace).
    void ForEachSheet(
        const std::function<void(const embedded::SheetPtr&, const std::string&)>& visit) {
        m_workspace.ForEachSheet(visit);
    }

    /// Prints the message; a question is answered No, as nobody is there to say yes.
    app::Answer MsgBox(const std::string& text, app::Style style,
                       const std::string& title) override;

private:
    Workspace m_workspace;
};

/// Text with the carriage returns of message boxes as line breaks.
std::string AsLines(std::string text);
/// Prints a message on standard error at the start of a clean line: "title: text".
void PrintMessage(const std::string& title, const std::string& text);

}  // namespace tess::cli
