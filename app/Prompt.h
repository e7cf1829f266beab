#pragma once

#include <cstdint>
#include <string>

namespace tess::app {

/// A message box's buttons and icon, numbered as the message box styles they stand for.
enum class Style : int16_t {
    Warning = 48,   // OK, exclamation
    Report = 64,    // OK, information
    Question = 36,  // Yes and No, question
};

/// The button the user pressed.
enum class Answer { Ok, Yes, No };

/// The title of the program's messages (the start-up messages take the application title, which
/// has the same text).
inline constexpr const char* kTitle = "Tessaline";

/// Shows a message to the user and returns the button pressed. The desktop program shows a
/// message box, the command line prints, tests answer from a script; whoever shows messages is
/// handed one.
class IPrompt {
public:
    virtual ~IPrompt() = default;
    virtual Answer MsgBox(const std::string& text, Style style, const std::string& title) = 0;
};

}  // namespace tess::app
