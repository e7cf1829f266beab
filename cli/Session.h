#pragma once

#include <iostream>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Prompt.h"
#include "cli/Workspace.h"
#include "engine/CopyError.h"

// What a command runs inside: the files open, the host connection made as at start-up, message
// boxes printed on standard error, and the copy error dialog answered as --on-error says.
namespace tess::cli {

class Session : private app::IPrompt, private engine::ICopyErrorDialog, private app::IWindows {
public:
    /// Opens the files (held against other runs when they are to be saved in place).
    Session(const std::vector<std::string>& files, bool cancelOnError = false,
            bool toSaveInPlace = false);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Workspace& Files() { return m_workspace; }

    /// Every message shown, in order. What a copy refused is in its report.
    const std::vector<std::string>& Messages() const { return m_messages; }

private:
    int16_t MsgBox(const std::string& text, int16_t style, const std::string& title) override;
    void SetMessage(const std::string& message) override { m_copyError = message; }
    Answer ShowModal(const engine::CopyErrorDetails& details) override;
    void DisplayMainWindow() override {}
    void Unload(std::string_view) override {}

    Workspace m_workspace;
    bool m_cancelOnError;
    std::string m_copyError;
    std::vector<std::string> m_messages;
};

/// Text with the carriage returns of message boxes as line breaks.
std::string AsLines(std::string text);

}  // namespace tess::cli
