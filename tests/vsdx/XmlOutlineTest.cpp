// Contents parts are read one top-level shape at a time: the outline that finds the shapes'
// text, and readings by pieces that must match reading the part whole.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/vsdx/PackageState.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Error.h"
#include "support/ModelDump.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace tess::test {
namespace {

struct OutlineCase {
    const char* what;
    std::string xml;
    std::optional<std::vector<std::string>> children;  // none: the part is parsed whole
    std::string root = "PageContents";
};

std::vector<std::string> ChildTexts(const std::string& xml, const vsdx::XmlOutline& outline) {
    std::vector<std::string> texts;
    for (const vsdx::XmlSpan& span : outline.children)
        texts.push_back(xml.substr(span.begin, span.end - span.begin));
    return texts;
}

TEST(XmlOutline, FindsTheShapesOfTheFirstShapesElementOnly) {
    const std::vector<OutlineCase> cases = {
        {"shapes, nested and empty",
         "<?xml version='1.0'?><PageContents><Shapes><Shape ID='1'><Shapes><Shape ID='2'/>"
         "</Shapes></Shape><Shape ID='3'/></Shapes><Connects><Connect/></Connects></PageContents>",
         std::vector<std::string>{"<Shape ID='1'><Shapes><Shape ID='2'/></Shapes></Shape>",
                                  "<Shape ID='3'/>"}},
        {"a quoted '>' and '/>' in values",
         "<PageContents><Shapes><Shape N='a>b' M=\"/>\"><Cell V='x/'/></Shape></Shapes>"
         "</PageContents>",
         std::vector<std::string>{"<Shape N='a>b' M=\"/>\"><Cell V='x/'/></Shape>"}},
        {"comments, CDATA and instructions hold no tags",
         "<PageContents><!-- <Shapes> --><Shapes><Shape><Text><![CDATA[</Shape><x>]]></Text>"
         "<?pi <Shape>?></Shape><!--</Shapes>--></Shapes></PageContents>",
         std::vector<std::string>{
             "<Shape><Text><![CDATA[</Shape><x>]]></Text><?pi <Shape>?></Shape>"}},
        {"a prefixed root, whitespace between shapes",
         "<v:MasterContents xmlns:v='x'>\n<Shapes>\n <Shape/>\n <Shape></Shape>\n</Shapes>\n"
         "</v:MasterContents>",
         std::vector<std::string>{"<Shape/>", "<Shape></Shape>"}, "v:MasterContents"},
        {"an empty first Shapes element is the one read",
         "<PageContents><Shapes/><Shapes><Shape/></Shapes></PageContents>",
         std::vector<std::string>{}},
        {"Shapes below the root's children is not the list",
         "<PageContents><Other><Shapes><Shape/></Shapes></Other></PageContents>",
         std::vector<std::string>{}},
        {"no shapes", "<PageContents/>", std::vector<std::string>{}},
        {"a document type declaration", "<!DOCTYPE x [<!ENTITY a '<b>'>]><PageContents/>",
         std::nullopt},
        {"unclosed element", "<PageContents><Shapes><Shape></Shapes>", std::nullopt},
        {"a closing tag too many", "<PageContents></Shapes></PageContents>", std::nullopt},
        {"an unending tag", "<PageContents><Shapes><Shape ID='1", std::nullopt},
        {"an unending comment", "<PageContents><!-- </PageContents>", std::nullopt},
    };
    for (const OutlineCase& test : cases) {
        SCOPED_TRACE(test.what);
        const auto outline = vsdx::OutlineXml(test.xml, "Shapes");
        ASSERT_EQ(outline.has_value(), test.children.has_value());
        if (!outline) continue;
        EXPECT_EQ(outline->root, test.root);
        EXPECT_EQ(ChildTexts(test.xml, *outline), *test.children);
    }
}

/// Every sample read by pieces, and read whole (a document type declaration in each contents
/// part makes the reader parse it whole): the models must be the same.
TEST(XmlOutline, ReadingByPiecesReadsWhatReadingWholeDoes) {
    TempFolder folder;
    for (const std::string& sample : SampleFiles()) {
        SCOPED_TRACE(sample);
        std::vector<ZipEntry> entries = ReadZip(sample);
        size_t contents = 0;
        for (ZipEntry& entry : entries) {
            const bool page = entry.name.starts_with("visio/pages/page");
            const bool master = entry.name.starts_with("visio/masters/master");
            if (!(page || master) || !entry.name.ends_with(".xml")) continue;
            const size_t root = entry.content.find(page ? "<PageContents" : "<MasterContents");
            if (root == std::string::npos) continue;
            entry.content.insert(root, "<!DOCTYPE Contents>");
            ++contents;
        }
        // The same file name, which the document takes.
        std::filesystem::create_directories(folder.Path("whole"));
        const std::string whole =
            folder.Path("whole/" + std::filesystem::path(sample).filename().string());
        WriteZip(whole, entries);
        const auto dump = [](const std::string& path) {
            embedded::Model model;
            const auto document = vsdx::OpenDocument(model, path);
            for (const auto& page : document->pages)
                model.LoadShapes(*page);
            return DumpDocument(model, *document);
        };
        const std::string byPieces = dump(sample);
        EXPECT_GT(contents, 0u);
        EXPECT_NE(byPieces.find("sheet 0 id"), std::string::npos);  // shapes were read
        EXPECT_EQ(byPieces, dump(whole));
    }
}

/// A fault inside one shape is reported at its byte in the part, as when the part is read whole.
TEST(XmlOutline, AFaultInAShapeIsReportedWhereItIsInThePart) {
    TempFolder folder;
    const std::string prefix = "<PageContents><Shapes><Shape ID='1'/><Shape ID='2'>";
    const std::string bad = prefix + "<Cell N='PinX'></Row></Shape></Shapes></PageContents>";
    std::string described[2];
    for (const bool whole : {false, true}) {
        std::vector<ZipEntry> entries = ReadZip(SamplePath("test10_nested_shapes.vsdx"));
        for (ZipEntry& entry : entries) {
            if (entry.name == "visio/pages/page1.xml")
                entry.content = (whole ? "<!DOCTYPE PageContents>" : "") + bad;
        }
        const std::string path = folder.Path(whole ? "whole.vsdx" : "pieces.vsdx");
        WriteZip(path, entries);
        embedded::Model model;
        const auto document = vsdx::OpenDocument(model, path);
        try {
            model.LoadShapes(*document->pages.front());
            ADD_FAILURE() << "a mismatched end tag was read";
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), vsdx::packerr::kMalformed);
            described[whole] = error.Description();
        }
    }
    const size_t byte = described[0].find("at byte ");
    ASSERT_NE(byte, std::string::npos) << described[0];
    const size_t offset = std::stoul(described[0].substr(byte + 8));
    EXPECT_GT(offset, prefix.size());
    // The whole part has the declaration before it, so its byte is that much further on.
    EXPECT_NE(described[1].find("at byte " + std::to_string(offset + 23)), std::string::npos)
        << described[1];
}

}  // namespace
}  // namespace tess::test
