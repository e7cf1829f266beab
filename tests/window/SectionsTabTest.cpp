// Which section boxes a source enables, and which entries count as chosen.
#include <gtest/gtest.h>

#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"
#include "window/SectionsTab.h"
#include "window/WindowFixture.h"

namespace tess::test {
namespace {

using namespace visio;

class SectionsTab : public WindowTest {
protected:
    bool Enabled(int16_t index) { return boxes.boxes[static_cast<size_t>(index)].enabled; }

    window::SectionBoxes& boxes = window.sections;
};

TEST_F(SectionsTab, AShapeEnablesWhatItHasAndInheritsAndNothingIsChecked) {
    const ShapePtr shape = Rectangle();
    window::CheckAllSections(boxes);
    window::UnCheckAllSections(boxes);
    window::EnableDisableSectionsShape(prompt, boxes, shape);
    for (int16_t index : {1, 8, 13, 14})
        EXPECT_TRUE(Enabled(index)) << index;
    for (int16_t index : {0, 2, 18, 40, 45, 50})
        EXPECT_FALSE(Enabled(index)) << index;
    EXPECT_FALSE(boxes.pageFrameEnabled);
    EXPECT_FALSE(window::IsSectionChosen(boxes, 8));

    // A row the shape has only through its master enables the box too.
    auto master = Model().Shapes().AddMaster(embedded::DocumentOf(document), "Box");
    const MasterPtr box = embedded::WrapMaster(app->ModelPtr(), master);
    const ShapePtr prototype = Rectangle(4, 4, 5, 5);
    AddNamedRow(prototype, visSectionUser, "Inherited", {"1"});
    box->Drop(prototype, 0, 0);
    window::EnableDisableSectionsShape(prompt, boxes, page->Drop(box, 2, 2));
    EXPECT_TRUE(Enabled(2));
}

TEST_F(SectionsTab, PagesAndDocumentsEnableTheirOwnFrames) {
    window::EnableDisableSectionsPage(prompt, boxes, page->PageSheet());
    EXPECT_TRUE(boxes.pageFrameEnabled);
    EXPECT_FALSE(boxes.documentFrameEnabled);
    for (int16_t index : {40, 41, 42})
        EXPECT_TRUE(Enabled(index)) << index;
    for (int16_t index : {8, 13, 45})
        EXPECT_FALSE(Enabled(index)) << index;

    window::EnableDisableSectionsDocument(prompt, boxes, document->DocumentSheet());
    EXPECT_TRUE(boxes.documentFrameEnabled);
    EXPECT_TRUE(Enabled(50));
    EXPECT_FALSE(Enabled(51));  // no reviewer rows
    EXPECT_FALSE(Enabled(40));
}

TEST_F(SectionsTab, AllChecksEveryBoxButOnlyEnabledOnesAreChosen) {
    window::EnableDisableSectionsShape(prompt, boxes, Rectangle());
    window::CheckAllSections(boxes);
    EXPECT_TRUE(window::IsSectionChosen(boxes, 8));
    EXPECT_FALSE(window::IsSectionChosen(boxes, 0));  // checked, but disabled
    EXPECT_FALSE(window::IsSectionChosen(boxes, 18));
    EXPECT_TRUE(window::IsOneSectionChecked(boxes));
    window::DisableAllSections(boxes);
    EXPECT_FALSE(window::IsOneSectionChecked(boxes));
    EXPECT_EQ(boxes.boxes[8].value, 1);  // the check mark stays
}

}  // namespace
}  // namespace tess::test
