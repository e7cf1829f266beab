// Which section boxes a source enables, and which entries count as chosen.
#include <gtest/gtest.h>

#include "engine/CopyFixture.h"
#include "engine/SectionsTab.h"
#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;

class SectionsTab : public CopyTest {
protected:
    bool Enabled(int16_t index) { return boxes.boxes[static_cast<size_t>(index)].enabled; }

    engine::SectionBoxes& boxes = window.sections;
};

TEST_F(SectionsTab, AShapeEnablesWhatItHasAndInheritsAndNothingIsChecked) {
    const ShapePtr shape = Rectangle();
    engine::CheckAllSections(boxes);
    engine::UnCheckAllSections(boxes);
    engine::EnableDisableSectionsShape(boxes, shape);
    for (int16_t index : {1, 8, 13, 14})
        EXPECT_TRUE(Enabled(index)) << index;
    for (int16_t index : {0, 2, 18, 40, 45, 50})
        EXPECT_FALSE(Enabled(index)) << index;
    EXPECT_FALSE(boxes.pageFrameEnabled);
    EXPECT_FALSE(engine::IsSectionChosen(boxes, 8));

    // A row the shape has only through its master enables the box too.
    auto master = Model().AddMaster(embedded::DocumentOf(document), "Box");
    const MasterPtr box = embedded::WrapMaster(app->ModelPtr(), master);
    const ShapePtr prototype = Rectangle(4, 4, 5, 5);
    AddNamedRow(prototype, visSectionUser, "Inherited", {"1"});
    box->Drop(prototype, 0, 0);
    engine::EnableDisableSectionsShape(boxes, page->Drop(box, 2, 2));
    EXPECT_TRUE(Enabled(2));
}

TEST_F(SectionsTab, PagesAndDocumentsEnableTheirOwnFrames) {
    engine::EnableDisableSectionsPage(boxes, page->PageSheet());
    EXPECT_TRUE(boxes.pageFrameEnabled);
    EXPECT_FALSE(boxes.documentFrameEnabled);
    for (int16_t index : {40, 41, 42})
        EXPECT_TRUE(Enabled(index)) << index;
    for (int16_t index : {8, 13, 45})
        EXPECT_FALSE(Enabled(index)) << index;

    engine::EnableDisableSectionsDocument(boxes, document->DocumentSheet());
    EXPECT_TRUE(boxes.documentFrameEnabled);
    EXPECT_TRUE(Enabled(50));
    EXPECT_FALSE(Enabled(51));  // no reviewer rows
    EXPECT_FALSE(Enabled(40));
}

TEST_F(SectionsTab, AllChecksEveryBoxButOnlyEnabledOnesAreChosen) {
    engine::EnableDisableSectionsShape(boxes, Rectangle());
    engine::CheckAllSections(boxes);
    EXPECT_TRUE(engine::IsSectionChosen(boxes, 8));
    EXPECT_FALSE(engine::IsSectionChosen(boxes, 0));  // checked, but disabled
    EXPECT_FALSE(engine::IsSectionChosen(boxes, 18));
    EXPECT_TRUE(engine::CopyDriver::IsOneSectionChecked(boxes));
    engine::DisableAllSections(boxes);
    EXPECT_FALSE(engine::CopyDriver::IsOneSectionChecked(boxes));
    EXPECT_EQ(boxes.boxes[8].value, 1);  // the check mark stays
}

}  // namespace
}  // namespace tess::test
