// Files this program writes open in another reader (libvisio's vsd2raw and vss2raw, installed
// by scripts/setup.sh): a copy of theme-following line and fill formulas writes every cell a
// value (computed, else the one it showed), so the other reader parses the file and draws no
// fewer paths than before (more where the theme, or the root style without one, gives a line).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "formula/CellCatalogue.h"
#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "support/RunProgram.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace tess::test {
namespace {

using namespace visio;

constexpr const char* kThemedCells[] = {
    "LineWeight",  "LineColor",        "LinePattern", "Rounding",         "EndArrowSize",
    "BeginArrow",  "EndArrow",         "LineCap",     "BeginArrowSize",   "LineColorTrans",
    "FillForegnd", "FillBkgnd",        "FillPattern", "FillForegndTrans", "FillBkgndTrans",
    "ShdwForegnd", "ShdwForegndTrans", "ShdwPattern"};

bool IsStencil(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    return extension == ".vssx" || extension == ".vssm";
}

/// What the other reader made of a file: whether it parsed it, and how many paths it drew.
struct Reading {
    bool parsed = false;
    size_t paths = 0;
    std::string failure;
};

Reading ReadElsewhere(const std::string& path, const std::string& folder) {
    const ProgramResult result =
        RunProgram(IsStencil(path) ? "vss2raw" : "vsd2raw", {path}, folder);
    Reading reading;
    reading.parsed = result.status == 0 && result.out.find("ERROR") == std::string::npos;
    reading.failure = result.err + result.out.substr(0, 300);
    for (size_t at = result.out.find("drawPath"); at != std::string::npos;
         at = result.out.find("drawPath", at + 1)) {
        ++reading.paths;
    }
    return reading;
}

class OtherReaders : public ::testing::Test {
protected:
    /// A drawing with one rectangle whose line and fill follow the theme, as Visio's
    /// theme-aware shapes do.
    std::string ThemedSource() {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const DocumentPtr document = app->Documents()->Add("");
        const ShapePtr shape = document->Pages()->Item(1)->DrawRectangle(1, 1, 2, 2);
        shape->SetName("Themed");
        for (const char* name : kThemedCells) {
            const auto cell = formula::ObjectCellFromXmlName(name);
            EXPECT_TRUE(cell) << name;
            if (cell)
                shape->CellsSRC(visSectionObject, cell->first, cell->second)
                    ->SetFormula("THEMEVAL()");
        }
        const std::string path = folder.Path("themed source.vsdx");
        vsdx::SaveDocument(app->TheModel(), *embedded::DocumentOf(document), path);
        return path;
    }

    /// Every shape address of a sample as `list` prints it, on pages; in a stencil, the masters'
    /// top-level shapes (the copy engine edits a master's members through a copy of the master
    /// that reaches only its top-level shapes).
    std::vector<std::string> ShapeAddresses(const std::string& sample) {
        const ProgramResult listed = RunProgram(TESSALINE_CLI, {"list", sample}, folder.Path(""));
        EXPECT_EQ(listed.status, 0) << listed.err;
        const std::string kind = IsStencil(sample) ? "\tmaster:" : "\tpage:";
        std::vector<std::string> addresses;
        std::istringstream lines(listed.out);
        for (std::string line; std::getline(lines, line);) {
            const size_t at = line.find(kind);
            if (at == std::string::npos) continue;
            const std::string address = line.substr(at + 1);
            const size_t slashes = std::count(address.begin(), address.end(), '/');
            if (slashes == 1 || (slashes > 1 && !IsStencil(sample))) addresses.push_back(address);
        }
        return addresses;
    }

    TempFolder folder;
};

TEST_F(OtherReaders, ReadCopiesOfThemedLineAndFillIntoEverySample) {
    const std::string source = ThemedSource();
    ASSERT_TRUE(ReadElsewhere(source, folder.Path("")).parsed);
    size_t samples = 0, read = 0;
    for (const std::string& sample : SampleFiles()) {
        const std::vector<std::string> shapes = ShapeAddresses(sample);
        if (shapes.empty()) continue;
        SCOPED_TRACE(sample);
        ++samples;
        const std::string name = std::filesystem::path(sample).filename().string();
        const std::string output =
            folder.Path("copy" + std::filesystem::path(sample).extension().string());
        std::vector<std::string> arguments = {"copy",
                                              sample,
                                              source,
                                              "--from",
                                              "themed source.vsdx:page:Page-1/Themed",
                                              "--section",
                                              "Line Format",
                                              "--section",
                                              "Fill Format",
                                              "-o",
                                              output};
        for (const std::string& shape : shapes) {
            arguments.push_back("--to");
            arguments.push_back(name + ":" + shape);
        }
        const ProgramResult copied = RunProgram(TESSALINE_CLI, arguments, folder.Path(""));
        EXPECT_EQ(copied.status, 0) << copied.err;
        ASSERT_TRUE(std::filesystem::exists(output)) << copied.err;

        const Reading before = ReadElsewhere(sample, folder.Path(""));
        const Reading after = ReadElsewhere(output, folder.Path(""));
        ASSERT_TRUE(before.parsed) << before.failure;
        EXPECT_TRUE(after.parsed) << after.failure;
        EXPECT_GE(after.paths, before.paths);
        read += after.parsed && after.paths >= before.paths;
        std::filesystem::remove(output);
    }
    EXPECT_EQ(samples, SampleFiles().size());  // every sample has shapes to copy into
    std::cout << "[          ] the other reader read " << read << " of " << samples
              << " samples' copies, drawing no less than before\n";
}

}  // namespace
}  // namespace tess::test
