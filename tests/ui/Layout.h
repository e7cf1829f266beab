#pragma once

#include <string>
#include <vector>

class QWidget;

// Whether a window's controls show their whole texts: what a person sees cut off at an edge.
namespace tess::test {

/// Why a control does not show its whole text; empty when it does. Labels (wrapped or not),
/// buttons, check boxes, frames' titles and read-only text boxes (which may scroll, but not
/// sideways) are looked at.
std::string CutText(const QWidget& control);
/// The controls of a window, shown now, that cut their text, each with why.
std::vector<std::string> CutTexts(const QWidget& window);

}  // namespace tess::test
