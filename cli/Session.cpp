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

app::Answer Session::MsgBox(const std::string& text, app::Style style, const std::string& title) {
    PrintMessage(title, text);
    return style == app::Style::Question ? app::Answer::No : app::Answer::Ok;
}

}  // namespace tess::cli
