// tessaline-cli as a whole process: one copy from one shape to every top-level shape of a page
// of more than 2,000 shapes, beside the same open and save without the copy; and check on that
// page, through the drawing model (files) and through the host interface (--visio), with the
// host calls the latter makes per sheet. The page is built by repeating the top-level shapes of
// a sample page, renumbered.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>

#include "LargePage.h"
#include "cli/Check.h"
#include "host/embedded/Model.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace {

using namespace tess;
using bench::Best;

constexpr int kMinimumShapes = 2000;

/// Seconds a call takes.
template <class Body>
double Seconds(Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

/// check in process, on the model and through the host interface, with the host's calls.
void CheckBothWays(const std::string& drawing) {
    cli::Workspace onFile({drawing});
    cli::CheckResult fileResult;
    const double fileSeconds = Seconds([&] { fileResult = cli::CheckDocuments(onFile); });
    cli::Workspace overHost({drawing});
    size_t sheets = 0;
    overHost.ForEachSheet([&](const auto&, const std::string& address) {
        sheets += !address.starts_with("style:");
    });
    overHost.Model().Calls().ResetCallCounts();
    cli::CheckResult hostResult;
    const double hostSeconds =
        Seconds([&] { hostResult = cli::CheckDrawings(overHost.AppPtr()); });
    const auto& calls = overHost.Model().Calls();
    std::printf("check on the model:          %8.1f ms, %zu formulas, %zu broken\n",
                fileSeconds * 1e3, fileResult.formulas, fileResult.broken.size());
    std::printf("check through the host calls: %8.1f ms, %zu formulas (style sheets left out), "
                "%zu broken\n",
                hostSeconds * 1e3, hostResult.formulas, hostResult.broken.size());
    std::printf("host calls: %llu for %zu sheets, %.1f per sheet; by member, per sheet:\n",
                static_cast<unsigned long long>(calls.TotalCalls()), sheets,
                static_cast<double>(calls.TotalCalls()) / static_cast<double>(sheets));
    for (const auto& [member, count] : calls.CallCounts())
        std::printf("  %-24s %8.2f\n", member.c_str(),
                    static_cast<double>(count) / static_cast<double>(sheets));
}

}  // namespace

int main(int argc, char** argv) {
    // Run again by the measurement: open the drawing, read its page, save it. Nothing more.
    if (argc == 4 && std::string(argv[1]) == "--open-save") {
        embedded::Model model;
        const auto document = vsdx::OpenDocument(model, argv[2]);
        for (const auto& page : document->pages)
            model.LoadShapes(*page);
        vsdx::SaveDocument(model, *document, argv[3]);
        return 0;
    }
    test::TempFolder folder;
    const std::string drawing = folder.Path("large page.vsdx");
    const auto [shapes, sourceId] =
        bench::BuildLargePage(test::SamplePath("BFlowcht.vsdx"), drawing, kMinimumShapes);
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const std::string out = folder.Path("out.vsdx");
    const std::vector<std::string> copy = {TESSALINE_CLI,
                                           "copy",
                                           drawing,
                                           "--from",
                                           "page:Overview/Sheet." + std::to_string(sourceId),
                                           "--to",
                                           "page:Overview/*",
                                           "--all-sections",
                                           "-o",
                                           out};
    const std::vector<std::string> openSave = {self, "--open-save", drawing, out};
    constexpr int kRuns = 3;
    const std::vector<std::string> check = {TESSALINE_CLI, "check", drawing};
    const double checkSeconds = Best(check, kRuns, 1);
    const double copySeconds = Best(copy, kRuns);
    const double openSaveSeconds = Best(openSave, kRuns);
    std::printf("Page of %d top-level shapes (%.1f MB package)\n", shapes,
                static_cast<double>(std::filesystem::file_size(drawing)) / (1 << 20));
    std::printf("tessaline-cli copy, every section to %d shapes: %8.1f ms (best of %d)\n",
                shapes - 1, copySeconds * 1e3, kRuns);
    std::printf("The same open and save without the copy:       %8.1f ms (best of %d)\n",
                openSaveSeconds * 1e3, kRuns);
    if (copySeconds > 0 && openSaveSeconds > 0) {
        std::printf("Copy per destination: %.1f us; whole process / open and save: %.2f\n",
                    (copySeconds - openSaveSeconds) * 1e6 / (shapes - 1),
                    copySeconds / openSaveSeconds);
    } else {
        std::printf("A run failed (status other than 0)\n");
    }
    std::printf("tessaline-cli check:                           %8.1f ms (best of %d)\n",
                checkSeconds * 1e3, kRuns);
    CheckBothWays(drawing);
    return 0;
}
