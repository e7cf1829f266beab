// Sub-shape copy and replacement on nested groups in the embedded model.
#include <gtest/gtest.h>

#include "engine/CopyFixture.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;

class SubShapes : public CopyTest {
protected:
    static std::vector<std::string> MemberNames(const ShapePtr& group) {
        std::vector<std::string> names;
        for (int16_t i = 1; i <= group->Shapes()->Count(); ++i)
            names.push_back(group->Shapes()->Item(i)->NameU());
        return names;
    }
};

TEST_F(SubShapes, ChosenCellsGoToTheMembersOfTheSameName) {
    ShapePtr source = Group({"Left", "Right", "Right"});
    AddNamedRow(source->Shapes()->Item(1), visSectionUser, "Side", {"1"});
    AddNamedRow(source->Shapes()->Item(2), visSectionUser, "Side", {"2"});
    AddNamedRow(source->Shapes()->Item(3), visSectionUser, "Side", {"3"});
    ShapePtr destination = Group({"Right", "Middle"});
    Source(Target(source));
    Choose({2});
    driver.CopySubShapes(run, source, destination,
                         engine::CF_OVERWRITE | engine::CF_SUBSHAPE_CELLS);
    // Two source members of one name both land on it, the later one last; Middle has no match.
    EXPECT_EQ(destination->Shapes()->Item(1)->Cells("User.Side")->Formula(), "3");
    EXPECT_FALSE(destination->Shapes()->Item(2)->SectionExists(visSectionUser, 0));
    EXPECT_TRUE(frontEnd.messages.empty());
}

TEST_F(SubShapes, ReplacementRebuildsTheMembersToTheFullDepthAndRestoresTheLock) {
    ShapePtr source = Group({"Frame", "Label"});
    const ShapePtr label = source->Shapes()->Item(2);
    AddNamedRow(label, visSectionUser, "Ref", {source->Shapes()->Item(1)->NameID() + "!Width"});
    label->ConvertToGroup();  // a group inside the group
    const ShapePtr nested = std::dynamic_pointer_cast<IShape>(label->Parent());
    nested->SetNameU("Nested");
    nested->DrawRectangle(1, 1, 2, 2)->SetNameU("Deep");
    ShapePtr destination = Group({"Old1", "Old2", "Old3"});
    destination->Cells("LockGroup")->SetFormula("GUARD(1)");
    Source(Target(source));
    Choose({2});
    driver.ReplaceSubShapes(run, source, destination,
                            engine::CF_OVERWRITE | engine::CF_ALL_SUBSHAPES);

    EXPECT_EQ(MemberNames(destination), MemberNames(source));
    EXPECT_EQ(destination->Cells("LockGroup")->Formula(), "GUARD(1)");
    const ShapePtr copiedNested = destination->Shapes()->Item(2);
    ASSERT_EQ(copiedNested->Type(), visTypeGroup);
    EXPECT_EQ(MemberNames(copiedNested), MemberNames(nested));
    // References between the source's members point at the new members.
    const ShapePtr copiedLabel = copiedNested->Shapes()->Item(1);
    EXPECT_EQ(copiedLabel->Cells("User.Ref")->Formula(),
              destination->Shapes()->Item(1)->NameID() + "!Width");
}

TEST_F(SubShapes, APictureMemberIsPastedAndOtherMembersAreEmptyShapes) {
    ShapePtr source = Group({"Shape"});
    const ShapePtr picture = source->Shapes()->Item(1);
    embedded::SheetOf(picture)->foreignType = visTypeBitmap;
    embedded::SheetOf(picture)->shapeKind = embedded::ShapeKind::Foreign;
    source->DrawRectangle(2, 2, 3, 3)->SetNameU("Plain");
    ShapePtr destination = Group({"Old"});
    Source(Target(source));
    driver.ReplaceSubShapes(run, source, destination,
                            engine::CF_OVERWRITE | engine::CF_ALL_SUBSHAPES);
    ASSERT_EQ(destination->Shapes()->Count(), 2);
    EXPECT_EQ(destination->Shapes()->Item(1)->ForeignType(), visTypeBitmap);
    EXPECT_EQ(destination->Shapes()->Item(2)->GeometryCount(),
              source->Shapes()->Item(2)->GeometryCount());
}

}  // namespace
}  // namespace tess::test
