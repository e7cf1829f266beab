#pragma once

#include <cstdint>
#include <string>

namespace tess::app {

// Message box styles (buttons + icon) and answers.
inline constexpr int16_t vbOKOnly = 0;
inline constexpr int16_t vbYesNo = 4;
inline constexpr int16_t vbQuestion = 32;
inline constexpr int16_t vbExclamation = 48;
inline constexpr int16_t vbInformation = 64;
inline constexpr int16_t kStyleWarning = vbOKOnly + vbExclamation;  // 48
inline constexpr int16_t kStyleReport = vbOKOnly + vbInformation;   // 64
inline constexpr int16_t kStyleQuestion = vbYesNo + vbQuestion;     // 36
inline constexpr int16_t vbOK = 1;
inline constexpr int16_t vbYes = 6;
inline constexpr int16_t vbNo = 7;

/// Shows a message to the user and returns the button pressed. The GUI shows a message box,
/// the command line prints to standard error, tests answer from a script.
class IPrompt {
public:
    virtual ~IPrompt() = default;
    virtual int16_t MsgBox(const std::string& text, int16_t style, const std::string& title) = 0;
};

/// Makes prompt the one every message of the program goes to (null restores the default,
/// which prints to standard error and answers with the first button).
void SetPrompt(IPrompt* prompt);
int16_t MsgBox(const std::string& text, int16_t style, const std::string& title);

}  // namespace tess::app
