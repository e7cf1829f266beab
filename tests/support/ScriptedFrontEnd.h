#pragma once

#include <deque>
#include <string>
#include <vector>

#include "engine/CopyRun.h"

namespace tess::test {

/// Stands in for the front end of copy runs: records the messages, the copy errors and what
/// their details hold, and answers copy errors from a script (Continue once it is used up).
class ScriptedFrontEnd : public engine::ICopyFrontEnd {
public:
    void Progress(int, int, Stage) override {}
    bool GoOn() override { return true; }
    void SetCopyErrorDetails(const std::vector<std::string>& formulas,
                             const visio::ShapePtr& problemShape) override {
        detailsFormulas = formulas;
        detailsShape = problemShape;
    }
    CopyErrorAnswer ShowCopyError(const std::string& message) override {
        shown.push_back(message);
        formulasShown = detailsFormulas;
        if (answers.empty()) return CopyErrorAnswer::Continue;
        const CopyErrorAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowMessage(const engine::RunMessage& message) override { messages.push_back(message); }

    /// The texts of the messages shown, in order.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const engine::RunMessage& message : messages)
            texts.push_back(message.text);
        return texts;
    }

    std::vector<engine::RunMessage> messages;
    std::vector<std::string> shown;          // the copy error messages
    std::vector<std::string> formulasShown;  // the details of the last copy error shown
    std::deque<CopyErrorAnswer> answers;
    std::vector<std::string> detailsFormulas;  // what the details hold now
    visio::ShapePtr detailsShape;
};

}  // namespace tess::test
