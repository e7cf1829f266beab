// tessaline-cli diff as a whole process: the same page of two drawings of 3,000 shapes, every
// shape against its counterpart. The second drawing is the first after a copy of every section
// from one shape to all others, so that most shapes differ.
#include <cstdio>
#include <filesystem>

#include "LargePage.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace {

using namespace tess;

constexpr int kShapes = 3000;
constexpr int kRuns = 3;
constexpr int kDiffers = 1;  // diff's status when something differs

}  // namespace

int main() {
    test::TempFolder folder;
    const std::string before = folder.Path("before.vsdx");
    const std::string after = folder.Path("after.vsdx");
    const auto [shapes, sourceId] =
        bench::BuildLargePage(test::SamplePath("BFlowcht.vsdx"), before, kShapes);
    const std::string source = "page:Overview/Sheet." + std::to_string(sourceId);
    if (bench::TimeProcess({TESSALINE_CLI, "copy", before, "--from", source, "--to",
                            "page:Overview/*", "--all-sections", "-o", after},
                           kDiffers) < 0) {
        std::printf("The copy that makes the second drawing failed\n");
        return 1;
    }
    const bench::ProcessTime differ = bench::BestOf(
        {TESSALINE_CLI, "diff", before, after, "page:Overview/*"}, kRuns, kDiffers);
    const bench::ProcessTime same =
        bench::BestOf({TESSALINE_CLI, "diff", before, before, "page:Overview/*"}, kRuns, kDiffers);
    const bench::ProcessTime json = bench::BestOf(
        {TESSALINE_CLI, "diff", before, after, "page:Overview/*", "--json"}, kRuns, kDiffers);
    std::printf("Two drawings of a page of %d top-level shapes (%.1f MB package each)\n", shapes,
                static_cast<double>(std::filesystem::file_size(before)) / (1 << 20));
    std::printf("%-58s %11s %11s  (best of %d runs)\n", "", "wall", "CPU", kRuns);
    const auto print = [](const char* what, const bench::ProcessTime& time) {
        std::printf("%-58s %8.1f ms %8.1f ms\n", what, time.wall * 1e3, time.cpu * 1e3);
    };
    print("diff, every shape against its counterpart, after a copy", differ);
    print("diff of the drawing against itself", same);
    print("diff --json after the copy", json);
    std::printf("Target: under 2000 ms for the whole process, files read included\n");
    return differ.wall < 0 || same.wall < 0 || json.wall < 0 ? 1 : 0;
}
