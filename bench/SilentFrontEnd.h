#pragma once

#include <string>
#include <vector>

#include "app/Prompt.h"
#include "engine/CopyDriver.h"

namespace tess::bench {

/// A copy run's front end for benchmarks: shows nothing, answers Continue to every copy error
/// (a copy between shapes of different types warns), and keeps what the run said.
class SilentFrontEnd : public engine::ICopyFrontEnd, public app::IPrompt {
public:
    void Progress(int, int, Stage) override {}
    bool GoOn() override { return true; }
    void SetCopyErrorDetails(const std::vector<std::string>&, const visio::ShapePtr&) override {}
    CopyErrorAnswer ShowCopyError(const std::string& message) override {
        Say(message);
        return CopyErrorAnswer::Continue;
    }
    void ShowMessage(const engine::RunMessage& message) override { Say(message.text); }
    app::Answer MsgBox(const std::string& text, app::Style, const std::string&) override {
        Say(text);
        return app::Answer::Ok;
    }

    /// Whether the run ended as a complete copy does.
    bool Completed() const { return last == "Clone Complete."; }

    std::string last;
    int others = 0;  // anything but the completion: copy errors, warnings
    std::string first;

private:
    void Say(const std::string& text) {
        if (text != "Clone Complete." && others++ == 0) first = text;
        last = text;
    }
};

}  // namespace tess::bench
