// Files that are not readable Visio packages: each is refused with a message that names the
// file and the fault, and neither the file nor the model changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "host/vsdx/Package.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Error.h"
#include "support/ModelDump.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace tess::test {
namespace {

class BadPackage : public ::testing::Test {
protected:
    /// A copy of a sample, with its entries changed, under a name of its own.
    std::string Variant(const std::string& name,
                        const std::function<void(std::vector<ZipEntry>&)>& change) {
        auto entries = ReadZip(SamplePath("test10_nested_shapes.vsdx"));
        change(entries);
        const std::string path = folder.Path(name);
        WriteZip(path, entries);
        return path;
    }

    static void Replace(std::vector<ZipEntry>& entries, const std::string& name,
                        std::string content) {
        for (ZipEntry& entry : entries) {
            if (entry.name == name) entry.content = std::move(content);
        }
    }

    /// Opens a file that must be refused, and reads every page of it (pages are read when
    /// first used); returns the error after checking that the file is as it was, and that a
    /// refused file left the model as it was and a refused page stays unread.
    static Error Refusal(const std::string& path) {
        const std::string bytes = FileBytes(path);
        embedded::Model model;
        model.Shapes().AddDrawing();  // a drawing already open, which a refusal leaves alone
        const std::string before = DumpModel(model);
        std::shared_ptr<embedded::DocumentData> document;
        try {
            document = vsdx::OpenDocument(model, path);
        } catch (const Error& error) {
            EXPECT_EQ(DumpModel(model), before);
            return Checked(error, path, bytes);
        }
        for (const auto& page : document->pages) {
            try {
                model.LoadShapes(*page);
            } catch (const Error& error) {
                EXPECT_TRUE(page->shapes.empty());
                EXPECT_THROW(model.LoadShapes(*page), Error);  // still unread, still refused
                return Checked(error, path, bytes);
            }
        }
        ADD_FAILURE() << path << " was read";
        return Error(0, "");
    }

    static Error Checked(const Error& error, const std::string& path, const std::string& bytes) {
        EXPECT_EQ(FileBytes(path), bytes);
        EXPECT_EQ(error.Description().rfind(
                      "'" + std::filesystem::path(path).filename().string() + "' ", 0),
                  0u)
            << error.Description();
        return error;
    }

    TempFolder folder;
    embedded::Model model;
};

TEST_F(BadPackage, FilesThatAreNoPackagesAtAll) {
    EXPECT_EQ(Refusal(folder.Path("missing.vsdx")).Number(), vsdx::packerr::kNotFound);

    WriteBytes(folder.Path("text.vsdx"), "This is not a drawing.");
    const Error text = Refusal(folder.Path("text.vsdx"));
    EXPECT_EQ(text.Number(), vsdx::packerr::kNotAPackage);
    EXPECT_EQ(text.Description(), "'text.vsdx' is not a Visio file (it is not a zip package).");

    WriteBytes(folder.Path("empty.vsdx"), "");
    EXPECT_EQ(Refusal(folder.Path("empty.vsdx")).Number(), vsdx::packerr::kNotAPackage);

    // Visio's binary format and Office's password protection are both compound files.
    const std::string compound =
        std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0');
    WriteBytes(folder.Path("Old drawing.vsd"), compound + "VisioDocument");
    const Error legacy = Refusal(folder.Path("Old drawing.vsd"));
    EXPECT_EQ(legacy.Number(), vsdx::packerr::kLegacyFormat);
    EXPECT_NE(legacy.Description().find("Visio binary file"), std::string::npos);

    std::string encrypted = compound;
    for (char c : std::string("EncryptedPackage"))
        encrypted += {c, '\0'};
    WriteBytes(folder.Path("secret.vsdx"), encrypted);
    const Error password = Refusal(folder.Path("secret.vsdx"));
    EXPECT_EQ(password.Number(), vsdx::packerr::kEncrypted);
    EXPECT_NE(password.Description().find("password"), std::string::npos);
}

TEST_F(BadPackage, DamagedZips) {
    const std::string whole = FileBytes(SamplePath("test10_nested_shapes.vsdx"));
    WriteBytes(folder.Path("truncated.vsdx"), whole.substr(0, whole.size() / 2));
    const Error truncated = Refusal(folder.Path("truncated.vsdx"));
    EXPECT_EQ(truncated.Number(), vsdx::packerr::kDamaged);
    EXPECT_NE(truncated.Description().find("damaged or truncated"), std::string::npos);

    // A part whose compressed bytes were overwritten: found when the part is inflated.
    std::string corrupt = whole;
    const size_t page = corrupt.find("visio/pages/page1.xml");
    ASSERT_NE(page, std::string::npos);
    for (size_t i = page + 40; i < page + 400; ++i)
        corrupt[i] = static_cast<char>(i * 7);
    WriteBytes(folder.Path("corrupt.vsdx"), corrupt);
    EXPECT_EQ(Refusal(folder.Path("corrupt.vsdx")).Number(), vsdx::packerr::kDamaged);
}

TEST_F(BadPackage, EntriesThatPointOutsideThePackage) {
    for (const std::string name :
         {"../evil.xml", "/etc/evil.xml", "visio/../../evil.xml", "C:\\\\evil.xml"}) {
        SCOPED_TRACE(name);
        const std::string path = Variant("outside.vsdx", [&](auto& entries) {
            entries.push_back({name, "<a/>"});
        });
        const Error error = Refusal(path);
        EXPECT_EQ(error.Number(), vsdx::packerr::kUnsafeEntry);
        EXPECT_NE(error.Description().find("points outside the package ('" + name + "')"),
                  std::string::npos)
            << error.Description();
    }
}

TEST_F(BadPackage, MalformedAndMissingParts) {
    const Error malformed = Refusal(Variant("malformed.vsdx", [](auto& entries) {
        Replace(entries, "visio/pages/page1.xml", "<PageContents><Shapes><Shape ID='1'></Shapes>");
    }));
    EXPECT_EQ(malformed.Number(), vsdx::packerr::kMalformed);
    EXPECT_NE(malformed.Description().find("malformed XML in 'visio/pages/page1.xml'"),
              std::string::npos)
        << malformed.Description();

    const Error wrongRoot = Refusal(Variant("wrong root.vsdx", [](auto& entries) {
        Replace(entries, "visio/pages/pages.xml", "<Masters/>");
    }));
    EXPECT_EQ(wrongRoot.Number(), vsdx::packerr::kMalformed);

    const Error noDocument = Refusal(Variant("no document.vsdx", [](auto& entries) {
        std::erase_if(entries, [](const ZipEntry& entry) { return entry.name == "_rels/.rels"; });
    }));
    EXPECT_EQ(noDocument.Number(), vsdx::packerr::kMissingPart);
    EXPECT_NE(noDocument.Description().find("has no Visio document part"), std::string::npos);

    const Error noPage = Refusal(Variant("no page.vsdx", [](auto& entries) {
        std::erase_if(entries,
                      [](const ZipEntry& entry) { return entry.name == "visio/pages/page1.xml"; });
    }));
    EXPECT_EQ(noPage.Number(), vsdx::packerr::kMissingPart);
    EXPECT_EQ(noPage.Description(), "'no page.vsdx' lacks its part 'visio/pages/page1.xml'.");
}

TEST_F(BadPackage, SizesAndNestingFarBeyondAnyDrawing) {
    // Nesting: refused after parsing, before anything walks the tree.
    std::string deep;
    for (int i = 0; i < 100000; ++i)
        deep += "<Shapes>";
    const Error nested = Refusal(Variant("deep.vsdx", [&](auto& entries) {
        Replace(entries, "visio/pages/page1.xml", "<PageContents>" + deep + "</PageContents>");
    }));
    EXPECT_EQ(nested.Number(), vsdx::packerr::kMalformed);  // unclosed, so malformed first
    std::string closed = deep;
    for (int i = 0; i < 100000; ++i)
        closed += "</Shapes>";
    const Error tooDeep = Refusal(Variant("deeper.vsdx", [&](auto& entries) {
        Replace(entries, "visio/pages/page1.xml", "<PageContents>" + closed + "</PageContents>");
    }));
    EXPECT_EQ(tooDeep.Number(), vsdx::packerr::kTooLarge);
    EXPECT_NE(tooDeep.Description().find("nests the XML of 'visio/pages/page1.xml'"),
              std::string::npos);

    // A part that claims to inflate to 4 GB: refused from the directory, before anything is
    // allocated for it. Both the local header and the central directory say so.
    std::string bomb = FileBytes(Variant("bomb.vsdx", [](auto& entries) {
        entries.push_back({"visio/big.bin", "x"});
    }));
    const auto claimHuge = [&](std::string_view signature, size_t offset) {
        for (size_t at = bomb.find(signature); at != std::string::npos;
             at = bomb.find(signature, at + 1)) {
            const size_t nameLength =
                static_cast<unsigned char>(bomb[at + (signature[2] == 3 ? 26 : 28)]);
            const size_t nameAt = at + (signature[2] == 3 ? 30 : 46);
            if (bomb.compare(nameAt, nameLength, "visio/big.bin") == 0)
                bomb.replace(at + offset, 4, "\xff\xff\xff\xfe");
        }
    };
    claimHuge(std::string_view("PK\x03\x04", 4), 22);
    claimHuge(std::string_view("PK\x01\x02", 4), 24);
    WriteBytes(folder.Path("bomb.vsdx"), bomb);
    const Error huge = Refusal(folder.Path("bomb.vsdx"));
    EXPECT_EQ(huge.Number(), vsdx::packerr::kTooLarge) << huge.Description();
}

TEST_F(BadPackage, AFailedSaveLeavesTheTargetAsItWas) {
    const std::string path = folder.Path("drawing.vsdx");
    std::filesystem::copy_file(SamplePath("test10_nested_shapes.vsdx"), path);
    const auto document = vsdx::OpenDocument(model, path);
    const std::string bytes = FileBytes(path);

    // Nowhere to write.
    const Error noFolder = [&] {
        try {
            vsdx::SaveDocument(model, *document, folder.Path("no such folder/drawing.vsdx"));
        } catch (const Error& error) {
            return error;
        }
        return Error(0, "");
    }();
    EXPECT_EQ(noFolder.Number(), vsdx::packerr::kWriteFailed);

    // The package is complete but cannot take the target's place: a folder stands there.
    std::filesystem::create_directory(folder.Path("taken.vsdx"));
    std::filesystem::copy_file(path, folder.Path("taken.vsdx/inside.vsdx"));
    const Error taken = [&] {
        try {
            vsdx::SaveDocument(model, *document, folder.Path("taken.vsdx"));
        } catch (const Error& error) {
            return error;
        }
        return Error(0, "");
    }();
    EXPECT_EQ(taken.Number(), vsdx::packerr::kWriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path("taken.vsdx")));

    // Nothing is left beside the targets, and the drawing read is untouched.
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Root()))
        ++files;
    EXPECT_EQ(files, 2u);  // drawing.vsdx and the folder taken.vsdx
    EXPECT_EQ(FileBytes(path), bytes);
}

}  // namespace
}  // namespace tess::test
