// Saves that lose nothing: damaged parts are never passed on, a file changed by another program
// since it was read is not replaced, and neither is one another run holds; the package's kind
// follows its name. (The command-line tests cover permissions, links and refused packages.)
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "host/vsdx/Package.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "platform/visio/Error.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace tess::test {
namespace {

namespace fs = std::filesystem;

constexpr int16_t kAngle = 6;  // of the Shape Transform row

/// The error a call throws; none (number 0) when it throws nothing.
Error Thrown(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& error) {
        return error;
    }
    return Error(0, "");
}

std::string MainContentType(const std::string& package) {
    const std::string types = [&] {
        for (const ZipEntry& entry : ReadZip(package)) {
            if (entry.name == "[Content_Types].xml") return entry.content;
        }
        return std::string();
    }();
    const size_t document = types.find("PartName=\"/visio/document.xml\"");
    const size_t quoted = types.find("PartName='/visio/document.xml'");
    const size_t at = document != std::string::npos ? document : quoted;
    if (at == std::string::npos) return {};
    const size_t start = types.find("ContentType=", at) + 13;
    return types.substr(start, types.find_first_of("'\"", start) - start);
}

class SafeSave : public ::testing::Test {
protected:
    /// A copy of a sample in the test's folder.
    std::string Copy(const std::string& sample, const std::string& name) {
        const std::string path = folder.Path(name);
        fs::copy_file(SamplePath(sample), path);
        return path;
    }

    /// Opens a file and changes one cell on its first page's first shape.
    static std::shared_ptr<embedded::DocumentData> OpenChanged(embedded::Model& model,
                                                               const std::string& path,
                                                               bool toSaveInPlace = false) {
        auto document = vsdx::OpenDocument(model, path, toSaveInPlace);
        model.LoadShapes(*document->pages.front());
        model.SetFormula(document->pages.front()->shapes.front(), visio::visSectionObject,
                         visio::visRowXFormOut, kAngle, "15 deg");
        return document;
    }

    size_t FilesInFolder() const {
        size_t count = 0;
        for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.Root()))
            ++count;
        return count;
    }

    TempFolder folder;
    embedded::Model model;
};

TEST_F(SafeSave, ADamagedPartIsAFileErrorNamingItAndNothingIsWritten) {
    // A page the save copies as it is, without reading it.
    const std::string path = Copy("test6_shape_properties.vsdx", "drawing.vsdx");
    CorruptChecksum(path, "visio/pages/page2.xml");
    const auto document = vsdx::OpenDocument(model, path);
    const Error copied =
        Thrown([&] { vsdx::SaveDocument(model, *document, folder.Path("out.vsdx")); });
    EXPECT_EQ(copied.Number(), vsdx::packerr::kDamaged);
    EXPECT_NE(copied.Description().find("'visio/pages/page2.xml'"), std::string::npos)
        << copied.Description();
    EXPECT_EQ(FilesInFolder(), 1u);  // no output, nothing beside it

    // A page read into the model: refused when it is read.
    const Error read = Thrown([&] { model.LoadShapes(*document->pages[1]); });
    EXPECT_EQ(read.Number(), vsdx::packerr::kDamaged);
    EXPECT_NE(read.Description().find("'visio/pages/page2.xml'"), std::string::npos);

    // Pages read whole are checked once: the undamaged drawing saves as before.
    embedded::Model fresh;
    const auto sound = vsdx::OpenDocument(fresh, SamplePath("test6_shape_properties.vsdx"));
    for (const auto& page : sound->pages)
        fresh.LoadShapes(*page);
    vsdx::SaveDocument(fresh, *sound, folder.Path("sound.vsdx"));
    EXPECT_EQ(ReadZip(folder.Path("sound.vsdx")).size(),
              ReadZip(SamplePath("test6_shape_properties.vsdx")).size());
}

TEST_F(SafeSave, ThePackageKindFollowsTheFileName) {
    const auto stencil = vsdx::OpenDocument(model, SamplePath("Boxes.vssx"));
    for (const auto& [name, type] : std::vector<std::pair<std::string, std::string>>{
             {"as drawing.vsdx", "application/vnd.ms-visio.drawing.main+xml"},
             {"as stencil.VSSM", "application/vnd.ms-visio.stencil.macroEnabled.main+xml"},
             {"as template.vstx", "application/vnd.ms-visio.template.main+xml"}}) {
        vsdx::SaveDocument(model, *stencil, folder.Path(name));
        EXPECT_EQ(MainContentType(folder.Path(name)), type) << name;
    }
    // A VBA project is never dropped unasked: a macro-free name is refused, saying why.
    const auto macros = vsdx::OpenDocument(model, SamplePath("SimpleMacro.vsdm"));
    EXPECT_EQ(vsdx::SaveRefusal(*macros, "out.vsdm"), "");
    EXPECT_EQ(vsdx::SaveRefusal(*stencil, "out.vsdx"), "");
    const std::string why = vsdx::SaveRefusal(*macros, folder.Path("out.vsdx"));
    EXPECT_EQ(why,
              "'out.vsdx' cannot hold the macros (VBA project) of 'SimpleMacro.vsdm': write it "
              "as a .vsdm file");
    const Error refused =
        Thrown([&] { vsdx::SaveDocument(model, *macros, folder.Path("out.vsdx")); });
    EXPECT_EQ(refused.Number(), vsdx::packerr::kWrongKind);
    EXPECT_EQ(refused.Description(), why + ".");
    EXPECT_FALSE(fs::exists(folder.Path("out.vsdx")));
    vsdx::SaveDocument(model, *macros, folder.Path("macros.vstm"));
    EXPECT_EQ(MainContentType(folder.Path("macros.vstm")),
              "application/vnd.ms-visio.template.macroEnabled.main+xml");
}

TEST_F(SafeSave, SavingInPlaceAgainIsNoChangeByAnotherProgram) {
    const std::string path = Copy("test10_nested_shapes.vsdx", "drawing.vsdx");
    const auto document = OpenChanged(model, path);
    vsdx::SaveDocument(model, *document, path);
    model.SetFormula(document->pages.front()->shapes.front(), visio::visSectionObject,
                     visio::visRowXFormOut, kAngle, "30 deg");
    EXPECT_NO_THROW(vsdx::SaveDocument(model, *document, path));
}

TEST_F(SafeSave, AFileChangedSinceItWasReadIsNotReplaced) {
    const std::string path = Copy("test10_nested_shapes.vsdx", "shared.vsdx");
    const auto document = OpenChanged(model, path);
    // Another program saves the file meanwhile, as programs save: a new file in its place.
    WriteBytes(folder.Path("theirs.vsdx"), FileBytes(SamplePath("test6_shape_properties.vsdx")));
    fs::rename(folder.Path("theirs.vsdx"), path);
    const std::string theirs = FileBytes(path);

    vsdx::PendingSave save(model, *document, path);
    const Error changed = Thrown([&] { save.Commit(); });
    EXPECT_EQ(changed.Number(), vsdx::packerr::kChanged);
    EXPECT_NE(changed.Description().find("'shared.vsdx' changed since it was read"),
              std::string::npos)
        << changed.Description();
    EXPECT_EQ(FileBytes(path), theirs);

    // Written elsewhere, the same document saves.
    vsdx::SaveDocument(model, *document, folder.Path("mine.vsdx"));
    EXPECT_TRUE(fs::exists(folder.Path("mine.vsdx")));
}

TEST_F(SafeSave, AFileHeldForSavingInPlaceCannotBeHeldTwice) {
    const std::string path = Copy("test10_nested_shapes.vsdx", "held.vsdx");
    {
        embedded::Model mine;
        const auto held = OpenChanged(mine, path, true);
        const Error locked = Thrown([&] { vsdx::OpenDocument(model, path, true); });
        EXPECT_EQ(locked.Number(), vsdx::packerr::kLocked);
        EXPECT_EQ(locked.Description(),
                  "'held.vsdx' is being saved by another run of this program; try again when it "
                  "is done.");
        EXPECT_NO_THROW(vsdx::OpenDocument(model, path));  // reading alone needs no hold
        vsdx::SaveDocument(mine, *held, path);
    }
    // Once saved and let go, the file is held by the next run, which reads what was saved.
    embedded::Model next;
    const auto reread = vsdx::OpenDocument(next, path, true);
    next.LoadShapes(*reread->pages.front());
    EXPECT_EQ(next.Formula(*reread->pages.front()->shapes.front(), visio::visSectionObject,
                           visio::visRowXFormOut, kAngle),
              "15 deg");
}

}  // namespace
}  // namespace tess::test
