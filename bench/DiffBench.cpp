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
    const double differ = bench::Best(
        {TESSALINE_CLI, "diff", before, after, "page:Overview/*"}, kRuns, kDiffers);
    const double same =
        bench::Best({TESSALINE_CLI, "diff", before, before, "page:Overview/*"}, kRuns, kDiffers);
    const double json = bench::Best(
        {TESSALINE_CLI, "diff", before, after, "page:Overview/*", "--json"}, kRuns, kDiffers);
    std::printf("Two drawings of a page of %d top-level shapes (%.1f MB package each)\n", shapes,
                static_cast<double>(std::filesystem::file_size(before)) / (1 << 20));
    std::printf("diff, every shape against its counterpart, after a copy: %8.1f ms (best of %d)\n",
                differ * 1e3, kRuns);
    std::printf("diff of the drawing against itself:                     %8.1f ms (best of %d)\n",
                same * 1e3, kRuns);
    std::printf("diff --json after the copy:                             %8.1f ms (best of %d)\n",
                json * 1e3, kRuns);
    std::printf("Target: under 2000 ms for the whole process, files read included\n");
    return differ < 0 || same < 0 || json < 0 ? 1 : 0;
}
