#pragma once

#include <deque>
#include <string>
#include <vector>

#include "app/Prompt.h"

namespace tess::test {

/// Stands in for the user at message boxes: records every message and answers from a script
/// (OK, or Yes for questions, once the script is used up).
class ScriptedPrompt : public app::IPrompt {
public:
    struct Message {
        std::string text;
        app::Style style;
        std::string title;
    };

    app::Answer MsgBox(const std::string& text, app::Style style,
                       const std::string& title) override {
        messages.push_back({text, style, title});
        if (!answers.empty()) {
            const app::Answer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return style == app::Style::Question ? app::Answer::Yes : app::Answer::Ok;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& message : messages)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<Message> messages;
    std::deque<app::Answer> answers;
};

}  // namespace tess::test
