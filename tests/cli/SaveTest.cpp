// tessaline-cli's saves, end to end: what it writes is checked, a file being saved by another
// run or changed since it was read is never replaced, a file saved in place keeps its
// permissions and links, and an output it cannot write is refused before the copy runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#ifdef _WIN32
#include "platform/windows/Windows.h"
#endif

#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "platform/visio/FileNames.h"
#include "support/RunProgram.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace tess::test {
namespace {

namespace fs = std::filesystem;
using namespace visio;

class CliSave : public ::testing::Test {
protected:
    ProgramResult Run(const std::vector<std::string>& arguments) {
        return RunProgram(TESSALINE_CLI, arguments, folder.Path(""));
    }

    /// A drawing made here: a source whose line is 0.05 in wide and two targets.
    std::string MakeDrawing(const std::string& name) {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const DocumentPtr document = app->Documents()->Add("");
        const ShapesPtr shapes = document->Pages()->Item(1)->Shapes();
        double at = 1;
        for (const char* shape : {"Source", "Target", "Other"}) {
            document->Pages()->Item(1)->DrawRectangle(at, at, at + 1, at + 1)->SetName(shape);
            at += 2;
        }
        shapes->Item("Source")->Cells("LineWeight")->SetFormula("0.05 in");
        const std::string path = folder.Path(name);
        vsdx::SaveDocument(app->TheModel(), *embedded::DocumentOf(document), path);
        return path;
    }

    /// The line weight formula of a shape of a drawing, as saved.
    static std::string LineWeightOf(const std::string& path, const std::string& shape) {
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const DocumentPtr document =
            embedded::WrapDocument(app->ModelPtr(), vsdx::OpenDocument(app->TheModel(), path));
        return document->Pages()->Item(1)->Shapes()->Item(shape)->Cells("LineWeight")->Formula();
    }

    static std::vector<std::string> CopyLine(const std::string& file, const std::string& to) {
        return {
            "copy",      file,         "--from", "page:Page-1/Source", "--to", "page:Page-1/" + to,
            "--section", "Line Format"};
    }

    static std::vector<std::string> With(std::vector<std::string> arguments,
                                         const std::vector<std::string>& more) {
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    TempFolder folder;
};

TEST_F(CliSave, DamagedPartsAndPackagesWithoutContentTypesAreFileErrors) {
    const std::string damaged = folder.Path("damaged.vsdx");
    fs::copy_file(SamplePath("test6_shape_properties.vsdx"), damaged);
    CorruptChecksum(damaged, "visio/pages/page2.xml");  // a page the copy does not read
    ProgramResult result =
        Run({"copy", damaged, "--from", "page:Page-1/Sheet.1", "--to", "page:Page-1/Sheet.2",
             "--section", "Line Format", "-o", folder.Path("out.vsdx")});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("'damaged.vsdx' is damaged or truncated in 'visio/pages/page2.xml'"),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(folder.Path("out.vsdx")));

    auto entries = ReadZip(SamplePath("test6_shape_properties.vsdx"));
    std::erase_if(entries,
                  [](const ZipEntry& entry) { return entry.name == "[Content_Types].xml"; });
    WriteZip(folder.Path("untyped.vsdx"), entries);
    result =
        Run({"copy", folder.Path("untyped.vsdx"), "--from", "page:Page-1/Sheet.1", "--to",
             "page:Page-1/Sheet.2", "--section", "Line Format", "-o", folder.Path("out.vsdx")});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("'untyped.vsdx' is not a Visio file: its package has no content "
                              "types part ('[Content_Types].xml')."),
              std::string::npos)
        << result.err;
    EXPECT_FALSE(fs::exists(folder.Path("out.vsdx")));
}

TEST_F(CliSave, InPlaceNeverLosesAConcurrentChange) {
    // A file another run is saving is refused, and stays as that run leaves it.
    const std::string drawing = MakeDrawing("drawing.vsdx");
    {
        embedded::Model other;
        const auto held = vsdx::OpenDocument(other, drawing, true);
        const std::string before = FileBytes(drawing);
        const ProgramResult result = Run(With(CopyLine(drawing, "Target"), {"--in-place"}));
        EXPECT_EQ(result.status, 3);
        EXPECT_NE(result.err.find("'drawing.vsdx' is being saved by another run of this program"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(FileBytes(drawing), before);
    }

    // Two runs at once: each either saves or is refused, and every change saved is kept.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::string shared = MakeDrawing("shared" + std::to_string(attempt) + ".vsdx");
        ProgramResult results[2];
        const char* targets[2] = {"Target", "Other"};
        std::vector<std::thread> runs;
        for (int i = 0; i < 2; ++i) {
            const std::string own = folder.Path("run" + std::to_string(i));
            fs::create_directories(own);
            runs.emplace_back([&, i, own] {
                results[i] = RunProgram(TESSALINE_CLI,
                                        With(CopyLine(shared, targets[i]), {"--in-place"}), own);
            });
        }
        for (std::thread& run : runs)
            run.join();
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(targets[i]);
            if (results[i].status == 0) {
                EXPECT_EQ(LineWeightOf(shared, targets[i]), "0.05 in");
            } else {
                EXPECT_EQ(results[i].status, 3);
                EXPECT_NE(results[i].err.find("is being saved by another run"), std::string::npos)
                    << results[i].err;
            }
        }
    }
}

TEST_F(CliSave, FileNamesInAnyScriptAreReadAndWritten) {
    fs::create_directory(PathOf(folder.Path("Entwürfe")));
    const std::string drawing = MakeDrawing("Entwürfe/Zeichnung Ω 図.vsdx");
    const std::string copied = folder.Path("Entwürfe/Kopie ß.vsdx");
    ProgramResult result = Run(With(CopyLine(drawing, "Target"), {"-o", copied}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(LineWeightOf(copied, "Target"), "0.05 in");

    result = Run(With(CopyLine(drawing, "Other"), {"--in-place"}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(LineWeightOf(drawing, "Other"), "0.05 in");

    result = Run({"list", folder.Path("Entwürfe/fehlt ä.vsdx")});
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("'fehlt ä.vsdx' cannot be read"), std::string::npos) << result.err;

    // A recipe of such a name, saved twice (the second replacing the first) and copied by.
    const std::string recipe = folder.Path("Entwürfe/Rezept ü.json");
    for (int i = 0; i < 2; ++i) {
        result = Run(With(CopyLine(drawing, "Target"), {"--dry-run", "--save-recipe", recipe}));
        ASSERT_EQ(result.status, 0) << result.err;
    }
    result = Run({"copy", drawing, "--from", "page:Page-1/Source", "--to", "page:Page-1/Other",
                  "--recipe", recipe, "-o", copied});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(LineWeightOf(copied, "Other"), "0.05 in");
}

#ifdef _WIN32
// What a replaced file keeps on Windows is its attributes (and its security, which Wine does not
// model); a read-only file is not replaced at all.
TEST_F(CliSave, InPlaceKeepsAttributesAndLeavesReadOnlyFilesAlone) {
    const std::string drawing = MakeDrawing("kept.vsdx");
    const std::wstring name = PathOf(drawing).wstring();
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    ASSERT_TRUE(SetFileAttributesW(name.c_str(), kept));
    ProgramResult result = Run(With(CopyLine(drawing, "Target"), {"--in-place"}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(LineWeightOf(drawing, "Target"), "0.05 in");
    EXPECT_EQ(GetFileAttributesW(name.c_str()) & kept, kept);

    ASSERT_TRUE(SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string before = FileBytes(drawing);
    result = Run(With(CopyLine(drawing, "Other"), {"--in-place"}));
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("'kept.vsdx' cannot be replaced"), std::string::npos) << result.err;
    EXPECT_EQ(FileBytes(drawing), before);
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);  // for the folder's removal
}
#else
TEST_F(CliSave, InPlaceKeepsPermissionsAndWritesThroughLinks) {
    const std::string drawing = MakeDrawing("private.vsdx");
    const fs::perms ownerAndGroup =
        fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(drawing, ownerAndGroup);
    fs::create_directory(folder.Path("work"));
    const std::string link = folder.Path("work/linked.vsdx");
    fs::create_symlink(drawing, link);

    const ProgramResult result = Run(With(CopyLine(link, "Target"), {"--in-place"}));
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), drawing);
    EXPECT_EQ(LineWeightOf(drawing, "Target"), "0.05 in");
    EXPECT_EQ(fs::status(drawing).permissions() & fs::perms::all, ownerAndGroup);
}
#endif

TEST_F(CliSave, OutputsThatCannotBeWrittenAreRefusedBeforeTheCopyRuns) {
    const std::string drawing = MakeDrawing("drawing.vsdx");
    ProgramResult result =
        Run(With(CopyLine(drawing, "Target"), {"-o", folder.Path("no such folder/out.vsdx")}));
    EXPECT_EQ(result.status, 3);
    EXPECT_NE(result.err.find("'out.vsdx' cannot be written: there is no folder '" +
                              folder.Path("no such folder") + "'."),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("Clone Complete."), std::string::npos);

    // Destinations in two documents cannot go to one output.
    const std::string other = MakeDrawing("other.vsdx");
    result = Run({"copy", drawing, other, "--from", "drawing.vsdx:page:Page-1/Source", "--to",
                  "drawing.vsdx:page:Page-1/Target", "--to", "other.vsdx:page:Page-1/Target",
                  "--section", "Line Format", "-o", folder.Path("out.vsdx")});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("-o writes one document, but the destinations are in 2"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("Clone Complete."), std::string::npos);

    // Macros are not dropped by writing a macro-enabled drawing under a macro-free name.
    result = Run({"copy", drawing, SamplePath("SimpleMacro.vsdm"), "--from",
                  "drawing.vsdx:page:Page-1/Source", "--to", "SimpleMacro.vsdm:page:Page-1/Sheet.1",
                  "--section", "Line Format", "-o", folder.Path("out.vsdx")});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("-o 'out.vsdx' cannot hold the macros (VBA project) of "
                              "'SimpleMacro.vsdm': write it as a .vsdm file"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.err.find("Clone Complete."), std::string::npos);
    EXPECT_FALSE(fs::exists(folder.Path("out.vsdx")));
}

TEST_F(CliSave, TheOutputIsAPackageOfTheKindItsNameSays) {
    const ProgramResult result =
        Run({"copy", SamplePath("Boxes.vssx"), "--from", "master:IBM CLOUD/Sheet.5", "--to",
             "master:VPC/Sheet.5", "--section", "Line Format", "-o", folder.Path("boxes.vsdx")});
    ASSERT_EQ(result.status, 0) << result.err;
    std::string types;
    for (const ZipEntry& entry : ReadZip(folder.Path("boxes.vsdx"))) {
        if (entry.name == "[Content_Types].xml") types = entry.content;
    }
    EXPECT_NE(types.find("application/vnd.ms-visio.drawing.main+xml"), std::string::npos);
    EXPECT_EQ(types.find("stencil"), std::string::npos);
}

}  // namespace
}  // namespace tess::test
