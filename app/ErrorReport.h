#pragma once

#include "app/Procedures.h"
#include "app/Prompt.h"
#include "platform/visio/Error.h"

namespace tess::app {

/// Tells the user about an unexpected failure in a procedure: one message box, style Report,
/// title "Tessaline", with the error's number and description on the lines below.
void ErrorReport(IPrompt& prompt, const Procedure& procedure, const Error& error);

/// The exception being handled, as the program's error type. Call only inside a catch block.
Error CurrentError();

/// The error trap of a procedure: runs body; on failure reports it through prompt and returns
/// false, so the procedure goes on to its normal exit.
template <class Body>
bool Trap(IPrompt& prompt, const Procedure& procedure, Body&& body) {
    try {
        body();
        return true;
    } catch (...) {
        ErrorReport(prompt, procedure, CurrentError());
        return false;
    }
}

/// Runs a statement whose failure is expected; returns false when it failed.
template <class Body>
bool IgnoreFailure(Body&& body) {
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace tess::app
