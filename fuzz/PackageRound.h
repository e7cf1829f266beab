#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tess::fuzz {

/// What became of one input.
struct RoundResult {
    std::string copy;                            // what was copied: source, destination, recipe
    std::vector<std::string> messages;           // what the copy run said
    std::optional<std::string> refusal;          // the error that told the input was bad
    std::optional<std::string> readBackFailure;  // what the written package failed with
};

/// Opens the bytes as a drawing package (a drawing, stencil or template, as they pick), lists
/// every object and finds each again by its address, copies one section the source offers to
/// another object with options the bytes pick, saves the result to memory and reads it back.
/// An error of the program's own type while opening, copying or saving is the refusal of bad
/// input; any other failure escapes. With show, what is copied and why an input is refused go
/// to standard error as they happen.
RoundResult PackageRound(std::string bytes, bool show = false);

}  // namespace tess::fuzz
