#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/Prompt.h"

namespace tess::test {

/// Stands in for the user at message boxes: records every message and answers from a script
/// (OK, or Yes for questions, once the script is used up). Installed for its lifetime.
class ScriptedPrompt : public app::IPrompt {
public:
    struct Message {
        std::string text;
        int16_t style;
        std::string title;
    };

    ScriptedPrompt() { app::SetPrompt(this); }
    ~ScriptedPrompt() override { app::SetPrompt(nullptr); }

    int16_t MsgBox(const std::string& text, int16_t style, const std::string& title) override {
        messages.push_back({text, style, title});
        if (!answers.empty()) {
            const int16_t answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (style & app::vbYesNo) == app::vbYesNo ? app::vbYes : app::vbOK;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& message : messages)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<Message> messages;
    std::deque<int16_t> answers;
};

}  // namespace tess::test
