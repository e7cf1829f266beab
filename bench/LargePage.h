#pragma once

#include <string>
#include <utility>
#include <vector>

// What the whole-process benchmarks share: a drawing with a large page, and a program's wall time.
namespace tess::bench {

/// A copy of the sample whose first page holds at least minimumShapes top-level shapes, made by
/// repeating the page's top-level shapes, renumbered. Returns the number of top-level shapes
/// and the ID of the last original one.
std::pair<int, int> BuildLargePage(const std::string& sample, const std::string& target,
                                   int minimumShapes);

/// Runs a program with the arguments and waits for it; returns the wall time in seconds, or a
/// negative number when it ended with a status above highestStatus.
double TimeProcess(const std::vector<std::string>& arguments, int highestStatus = 0);
/// The best of runs runs; negative when one failed.
double Best(const std::vector<std::string>& arguments, int runs, int highestStatus = 0);

}  // namespace tess::bench
