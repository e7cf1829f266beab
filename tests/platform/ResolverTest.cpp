// The one resolver: addresses and tree keys name the same sheets through the host interface,
// stale keys and wrong addresses name nothing, and a sheet's address and key lead back to it.
#include "platform/visio/Resolver.h"

#include <gtest/gtest.h>

#include "host/EmbeddedFixture.h"

namespace tess::test {
namespace {

using namespace visio;

constexpr const char* kApplication = "{APPLICATION}";

class Resolving : public EmbeddedDrawing {
protected:
    void SetUp() override {
        EmbeddedDrawing::SetUp();
        group = Group({"Left", "Right"});
        auto data = Model().Shapes().AddMaster(embedded::DocumentOf(document), "Box");
        master = embedded::WrapMaster(app->ModelPtr(), data);
        master->Drop(Rectangle(6, 6, 7, 7), 0, 0);
    }

    /// The error number and text an address fails with.
    std::string FailureOf(const std::string& address) {
        try {
            resolver.Resolve(ObjectPath::Parse(address));
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), err::kNoSuchObject) << address;
            return error.Description();
        }
        return "resolved";
    }

    Resolver resolver{app, kApplication};
    ShapePtr group;
    MasterPtr master;
};

TEST_F(Resolving, AddressesAndTreeKeysNameTheSameSheets) {
    const ShapePtr member = group->Shapes()->Item(2);
    const std::string groupId = "Sheet." + std::to_string(group->ID());
    const std::string memberId = "Sheet." + std::to_string(member->ID());
    const struct {
        std::string address;
        ShapePtr sheet;
        int16_t image;
    } cases[] = {
        {"document", document->DocumentSheet(), kImageDrawing},
        {"page:" + page->Name(), page->PageSheet(), kImagePage},
        {"page:" + page->Name() + "/" + groupId, group, kImageGroup},
        {"page:" + page->Name() + "/" + groupId + "/" + memberId, member, kImageShape},
        {"page:" + page->Name() + "/" + memberId, member, kImageShape},  // at any depth
        {"page:" + page->Name() + "/" + groupId + "/Right", member, kImageShape},
        {"master:Box/Sheet.1", master->Shapes()->Item(1), kImageShape},
        {document->Name() + ":page:" + page->Name(), page->PageSheet(), kImagePage},
    };
    for (const auto& [address, sheet, image] : cases) {
        SCOPED_TRACE(address);
        const ResolvedObject byAddress = resolver.Resolve(ObjectPath::Parse(address));
        ASSERT_TRUE(byAddress.sheet);
        EXPECT_EQ(byAddress.image, image);
        EXPECT_EQ(byAddress.sheet->NameID(), sheet->NameID());
        const ResolvedObject byKey = resolver.FindKey(resolver.KeyOf(sheet));
        ASSERT_TRUE(byKey.sheet) << resolver.KeyOf(sheet);
        EXPECT_EQ(byKey.image, image);
        EXPECT_EQ(byKey.sheet->NameID(), sheet->NameID());
        const ResolvedObject again = resolver.Resolve(ObjectPath::Parse(resolver.AddressOf(sheet)));
        EXPECT_EQ(again.sheet->NameID(), sheet->NameID());
    }
    // Documents, and the masters a tree expands, have keys of their own.
    EXPECT_EQ(resolver.FindKey(kApplication).image, kImageApplication);
    const std::string masterKey =
        std::string(kApplication) + "\\" + document->Name() + "\\" + master->UniqueID();
    EXPECT_EQ(resolver.FindKey(masterKey).image, kImageMaster);
}

TEST_F(Resolving, StaleKeysAndWrongAddressesNameNothing) {
    const ShapePtr loose = Rectangle(4, 4, 5, 5);
    const std::string looseKey = resolver.KeyOf(loose);
    ASSERT_TRUE(resolver.FindKey(looseKey).object);
    // Grouped after the tree was made: the key no longer names a member of the page.
    loose->ConvertToGroup();
    EXPECT_FALSE(resolver.FindKey(looseKey).object);
    EXPECT_TRUE(resolver
                    .Resolve(ObjectPath::Parse("page:" + page->Name() + "/Sheet." +
                                               std::to_string(loose->ID())))
                    .object)
        << "an address finds Sheet.ID at any depth";
    EXPECT_FALSE(resolver.FindKey(std::string(kApplication) + "\\No such drawing").object);

    EXPECT_NE(FailureOf("page:Nowhere").find("there is no page 'Nowhere'"), std::string::npos);
    EXPECT_NE(FailureOf("master:Box").find("a master is no sheet"), std::string::npos);
    EXPECT_NE(FailureOf("page:" + page->Name() + "/Sheet.999").find("no shape 'Sheet.999'"),
              std::string::npos);
    EXPECT_NE(FailureOf("style:Normal").find("a style is no source"), std::string::npos);
    EXPECT_NE(FailureOf("page:" + page->Name() + "/*").find("names many shapes"),
              std::string::npos);
    EXPECT_NE(FailureOf("shelf:A").find("is no OBJECT"), std::string::npos);
    EXPECT_NE(FailureOf("page:A//B").find("empty name"), std::string::npos);

    const auto every =
        resolver.ResolveEvery(ObjectPath::Parse("page:" + page->Name() + "/*"), group);
    EXPECT_EQ(every.size(), static_cast<size_t>(page->Shapes()->Count() - 1))
        << "all but the source";
}

TEST_F(Resolving, ActivePageShapesGoByTheirUniqueID) {
    const std::string id = group->UniqueID(visGetOrMakeGUID);
    const ResolvedObject top = resolver.FindKey(id);
    ASSERT_TRUE(top.sheet);
    EXPECT_EQ(top.sheet->ID(), group->ID());
    const ShapePtr member = group->Shapes()->Item(1);
    EXPECT_EQ(resolver.FindKey(id + "\\Sheet." + std::to_string(member->ID())).sheet->ID(),
              member->ID());
    // Another page made active: the key names a shape of the page now active, which has none.
    document->Pages()->Add();
    const auto data = embedded::DocumentOf(document);
    Model().Windows().Activate(data, data->pages.back());
    EXPECT_FALSE(resolver.FindKey(id).object);
}

TEST(DocumentKind, NamesDecideFirstThenTheExtension) {
    const std::pair<const char*, int16_t> names[] = {
        {"Drawing1", kImageDrawing},    {"Plan Drawing.vss", kImageDrawing},
        {"Blocks.vss", kImageStencil},  {"Basic Stencil", kImageStencil},
        {"Plan.VSDX", kImageDrawing},   {"Form.vstx", kImageDrawing},
        {"Shapes.vssx", kImageStencil}, {"notes.txt", 0},
    };
    for (const auto& [name, kind] : names)
        EXPECT_EQ(DocumentKind(name), kind) << name;
}

}  // namespace
}  // namespace tess::test
