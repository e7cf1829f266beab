// Contents parts are read and written one top-level shape at a time: the outline that finds the
// shapes' text, and readings and writings by pieces that must match taking the part whole.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/embedded/Objects.h"
#include "host/vsdx/PackageState.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Error.h"
#include "support/ModelDump.h"
#include "support/Samples.h"
#include "support/TempFolder.h"
#include "support/XmlDiff.h"

namespace tess::test {
namespace {

constexpr const char* kWholeDeclaration = "<!DOCTYPE Contents>";

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

/// The part given to an outliner a few bytes at a time, put together again from what it hands
/// on (the shapes between brackets, each at its offset); none when it cannot be followed.
std::optional<std::string> Outline(const std::string& xml, size_t size) {
    std::string again;
    bool offsetsRight = true;
    vsdx::XmlOutliner outliner("Shapes", {[&](std::string_view text, size_t offset) {
                                              offsetsRight &= xml.compare(offset, text.size(), text) == 0;
                                              again.append("[").append(text).append("]");
                                          },
                                          [&](std::string_view text) { again += text; }});
    bool followed = true;
    for (size_t at = 0; at < xml.size() && followed; at += size)
        followed = outliner.Feed(std::string_view(xml).substr(at, size));
    if (!followed || !outliner.Finish()) return std::nullopt;
    EXPECT_TRUE(offsetsRight);
    // The brackets are where the whole outline puts its children.
    std::string expected;
    size_t from = 0;
    const auto whole = vsdx::OutlineXml(xml, "Shapes");
    for (const vsdx::XmlSpan& span : whole->children) {
        expected.append(xml, from, span.begin - from).append("[");
        expected.append(xml, span.begin, span.end - span.begin).append("]");
        from = span.end;
    }
    EXPECT_EQ(again, expected + xml.substr(from));
    return xml;
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
        for (const size_t size : {1, 2, 5, 9, 64}) {
            SCOPED_TRACE("given " + std::to_string(size) + " bytes at a time");
            EXPECT_EQ(Outline(test.xml, size), outline ? std::optional(test.xml) : std::nullopt);
        }
        if (!outline) continue;
        EXPECT_EQ(outline->root, test.root);
        EXPECT_EQ(ChildTexts(test.xml, *outline), *test.children);
    }
}

TEST(XmlOutline, ShapeTagsGiveEveryShapesIdAndWhetherItIsDeleted) {
    using Tags = std::vector<std::pair<int32_t, bool>>;
    const std::vector<std::pair<std::string, std::optional<Tags>>> cases = {
        {"<Shape ID='5' Del='1'><Shapes><Shape ID=\"6\"/></Shapes></Shape>",
         Tags{{5, true}, {6, false}}},
        {"<Shape N='a>b' IX='4' ID = '7' Del='0'/>", Tags{{7, false}}},
        {"<Shape ID='x'/>", Tags{{-1, false}}},
        {"<Shape/>", Tags{{-1, false}}},
        {"<v:Shape ID='3'><Text><![CDATA[<Shape ID='9'>]]><!-- <Shape ID='8'> --></Text></v:Shape>",
         Tags{{3, false}}},
        {"<Cell N='Shape'/>", std::nullopt},
        {"<Shape ID='1'><Cell V='unending/>", std::nullopt},
    };
    for (const auto& [element, expected] : cases) {
        SCOPED_TRACE(element);
        const auto tags = vsdx::ShapeTagsIn(element);
        ASSERT_EQ(tags.has_value(), expected.has_value());
        if (!tags) continue;
        Tags found;
        for (const vsdx::ShapeTag& tag : *tags) found.emplace_back(tag.id, tag.deleted);
        EXPECT_EQ(found, *expected);
    }
}

/// The sample with a document type declaration in each contents part, which makes the reader
/// and the writer take the part whole; written into folder/whole under the sample's name (which
/// the document takes). How many parts were given one comes back in contents.
std::string ReadWhole(const std::string& sample, TempFolder& folder, size_t& contents) {
    std::vector<ZipEntry> entries = ReadZip(sample);
    contents = 0;
    for (ZipEntry& entry : entries) {
        const bool page = entry.name.starts_with("visio/pages/page");
        const bool master = entry.name.starts_with("visio/masters/master");
        if (!(page || master) || !entry.name.ends_with(".xml")) continue;
        const size_t root = entry.content.find(page ? "<PageContents" : "<MasterContents");
        if (root == std::string::npos) continue;
        entry.content.insert(root, kWholeDeclaration);
        ++contents;
    }
    std::filesystem::create_directories(folder.Path("whole"));
    const std::string whole =
        folder.Path("whole/" + std::filesystem::path(sample).filename().string());
    WriteZip(whole, entries);
    return whole;
}

/// Every sample read by pieces, and read whole: the models must be the same.
TEST(XmlOutline, ReadingByPiecesReadsWhatReadingWholeDoes) {
    TempFolder folder;
    for (const std::string& sample : SampleFiles()) {
        SCOPED_TRACE(sample);
        size_t contents = 0;
        const std::string whole = ReadWhole(sample, folder, contents);
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

/// The edits a contents part is written again for, each kind once or more on every page: shapes
/// changed among unchanged ones, a group's member changed alone, a shape deleted with its
/// connections, a new shape, a shape made a group, new members in a group; and one master edited.
void EditEveryWay(const visio::DocumentPtr& document) {
    for (int16_t p = 1; p <= document->Pages()->Count(); ++p) {
        const visio::PagePtr page = document->Pages()->Item(p);
        const visio::ShapesPtr shapes = page->Shapes();
        if (shapes->Count() == 0) continue;
        for (int16_t i = 1; i <= shapes->Count(); i = static_cast<int16_t>(i + 3))
            shapes->Item(i)->Cells("Angle")->SetFormula("30 deg");
        for (int16_t i = 1; i <= shapes->Count(); ++i) {
            const visio::ShapesPtr members = shapes->Item(i)->Shapes();
            if (!members || members->Count() == 0) continue;
            members->Item(1)->Cells("LineWeight")->SetFormula("3 pt");
            members->Item(1)->Duplicate();
            break;
        }
        if (shapes->Count() >= 3) shapes->Item(2)->Delete();
        shapes->Item(1)->Duplicate();
        page->DrawRectangle(1, 1, 2, 2)->ConvertToGroup();
        shapes->Item(shapes->Count())->Cells("Width")->SetFormula("2 in");
    }
    if (document->Masters()->Count() > 0) {
        const visio::MasterPtr copy = document->Masters()->Item(1)->Open();
        if (copy->Shapes()->Count() > 0) copy->Shapes()->Item(1)->Cells("Angle")->SetFormula("1 deg");
        copy->Close();
    }
}

/// Every sample edited every way and written twice: its contents parts by pieces, and whole.
/// The parts written must say the same, and read back as the model that wrote them.
TEST(XmlOutline, WritingByPiecesWritesWhatWritingWholeDoes) {
    TempFolder folder;
    for (const std::string& sample : SampleFiles()) {
        SCOPED_TRACE(sample);
        size_t contents = 0;
        const std::string name = std::filesystem::path(sample).filename().string();
        std::vector<ZipEntry> written[2];
        for (const bool whole : {false, true}) {
            const std::string from = whole ? ReadWhole(sample, folder, contents) : sample;
            auto app = std::make_shared<embedded::EmbeddedApplication>();
            const auto data = vsdx::OpenDocument(app->TheModel(), from);
            EditEveryWay(embedded::WrapDocument(app->ModelPtr(), data));
            // The same name either way, which the document takes.
            const std::string into = whole ? "written-whole" : "written-by-pieces";
            std::filesystem::create_directories(folder.Path(into));
            const std::string saved = folder.Path(into + "/" + name);
            vsdx::SaveDocument(app->TheModel(), *data, saved);
            embedded::Model reread;
            const auto readBack = vsdx::OpenDocument(reread, saved);
            for (const auto& page : readBack->pages)
                reread.LoadShapes(*page);
            EXPECT_EQ(DumpDocument(reread, *readBack), DumpDocument(app->TheModel(), *data));
            written[whole] = ReadZip(saved);
        }
        ASSERT_EQ(written[0].size(), written[1].size());
        for (size_t i = 0; i < written[0].size(); ++i) {
            ASSERT_EQ(written[0][i].name, written[1][i].name);
            std::string whole = written[1][i].content;
            if (const size_t at = whole.find(kWholeDeclaration); at != std::string::npos)
                whole.erase(at, std::strlen(kWholeDeclaration));
            if (written[0][i].name.ends_with(".xml")) {
                EXPECT_EQ(XmlDifferences(whole, written[0][i].content), std::vector<std::string>())
                    << written[0][i].name;
            } else {
                EXPECT_TRUE(whole == written[0][i].content) << written[0][i].name;
            }
        }
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
