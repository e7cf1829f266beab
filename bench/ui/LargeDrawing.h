#pragma once

#include <cstddef>
#include <string>

// A drawing as large as the desktop program meets: a sample's first page filled with copies of
// its own shapes (its groups and master instances among them), saved by our own writer.
namespace tess::bench {

struct LargeDrawing {
    size_t topLevel = 0;   // shapes directly on the page
    size_t everyDepth = 0; // shapes on the page and in its groups
    size_t groups = 0;
    size_t instances = 0;  // shapes that are instances of a master
};

/// Copies the first page's top-level shapes of sample, in turn, until the page holds
/// topLevelShapes of them, and saves the drawing at target.
LargeDrawing BuildLargeDrawing(const std::string& sample, const std::string& target,
                               size_t topLevelShapes);

}  // namespace tess::bench
