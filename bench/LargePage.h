#pragma once

#include <string>
#include <utility>
#include <vector>

// What the whole-process benchmarks share: a drawing with a large page, and a program's times.
namespace tess::bench {

/// A copy of the sample whose first page holds at least minimumShapes top-level shapes, made by
/// repeating the page's top-level shapes, renumbered. Returns the number of top-level shapes
/// and the ID of the last original one.
std::pair<int, int> BuildLargePage(const std::string& sample, const std::string& target,
                                   int minimumShapes);

/// A program's wall time and CPU time (user and system), in seconds; negative when it failed.
struct ProcessTime {
    double wall = -1;
    double cpu = -1;
};

/// Runs a program with the arguments and waits for it; negative times when it ended with a
/// status above highestStatus.
ProcessTime RunTimed(const std::vector<std::string>& arguments, int highestStatus = 0);
/// The wall time of RunTimed.
double TimeProcess(const std::vector<std::string>& arguments, int highestStatus = 0);
/// The best wall and the best CPU time of runs runs; negative when one failed.
ProcessTime BestOf(const std::vector<std::string>& arguments, int runs, int highestStatus = 0);
/// The best wall time of runs runs; negative when one failed.
double Best(const std::vector<std::string>& arguments, int runs, int highestStatus = 0);

}  // namespace tess::bench
