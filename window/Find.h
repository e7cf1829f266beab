#pragma once

#include <string_view>

// Finding objects by a piece of text, as the command line's list --find and the desktop
// program's tree filter do.
namespace tess::window {

/// True when text holds part, without regard to case.
bool Holds(std::string_view text, std::string_view part);

/// True when an object's name, the master it is an instance of or its address holds the text.
/// An object without an address (the application) is never found itself.
bool Found(std::string_view name, std::string_view master, std::string_view address,
           std::string_view text);

}  // namespace tess::window
