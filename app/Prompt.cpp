#include "app/Prompt.h"

#include <iostream>

namespace tess::app {
namespace {

class StandardErrorPrompt : public IPrompt {
public:
    int16_t MsgBox(const std::string& text, int16_t style, const std::string& title) override {
        std::cerr << title << ": " << text << '\n';
        return (style & vbYesNo) == vbYesNo ? vbYes : vbOK;
    }
};

StandardErrorPrompt g_defaultPrompt;
IPrompt* g_prompt = &g_defaultPrompt;

}  // namespace

void SetPrompt(IPrompt* prompt) {
    g_prompt = prompt ? prompt : &g_defaultPrompt;
}

int16_t MsgBox(const std::string& text, int16_t style, const std::string& title) {
    return g_prompt->MsgBox(text, style, title);
}

}  // namespace tess::app
