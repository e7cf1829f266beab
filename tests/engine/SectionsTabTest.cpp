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
    static bool Enabled(int16_t index) {
        return Window().sections.boxes[static_cast<size_t>(index)].enabled;
    }
};

TEST_F(SectionsTab, AShapeEnablesWhatItHasAndInheritsAndNothingIsChecked) {
    const ShapePtr shape = Rectangle();
    engine::CheckAllSections();
    engine::UnCheckAllSections();
    engine::EnableDisableSectionsShape(shape);
    for (int16_t index : {1, 8, 13, 14})
        EXPECT_TRUE(Enabled(index)) << index;
    for (int16_t index : {0, 2, 18, 40, 45, 50})
        EXPECT_FALSE(Enabled(index)) << index;
    EXPECT_FALSE(Window().sections.pageFrameEnabled);
    EXPECT_FALSE(engine::IsSectionChosen(8));

    // A row the shape has only through its master enables the box too.
    auto master = Model().AddMaster(embedded::DocumentOf(document), "Box");
    const MasterPtr box = embedded::WrapMaster(app->ModelPtr(), master);
    const ShapePtr prototype = Rectangle(4, 4, 5, 5);
    AddNamedRow(prototype, visSectionUser, "Inherited", {"1"});
    box->Drop(prototype, 0, 0);
    engine::EnableDisableSectionsShape(page->Drop(box, 2, 2));
    EXPECT_TRUE(Enabled(2));
}

TEST_F(SectionsTab, PagesAndDocumentsEnableTheirOwnFrames) {
    engine::EnableDisableSectionsPage(page->PageSheet());
    EXPECT_TRUE(Window().sections.pageFrameEnabled);
    EXPECT_FALSE(Window().sections.documentFrameEnabled);
    for (int16_t index : {40, 41, 42})
        EXPECT_TRUE(Enabled(index)) << index;
    for (int16_t index : {8, 13, 45})
        EXPECT_FALSE(Enabled(index)) << index;

    engine::EnableDisableSectionsDocument(document->DocumentSheet());
    EXPECT_TRUE(Window().sections.documentFrameEnabled);
    EXPECT_TRUE(Enabled(50));
    EXPECT_FALSE(Enabled(51));  // no reviewer rows
    EXPECT_FALSE(Enabled(40));
}

TEST_F(SectionsTab, AllChecksEveryBoxButOnlyEnabledOnesAreChosen) {
    engine::EnableDisableSectionsShape(Rectangle());
    engine::CheckAllSections();
    EXPECT_TRUE(engine::IsSectionChosen(8));
    EXPECT_FALSE(engine::IsSectionChosen(0));  // checked, but disabled
    EXPECT_FALSE(engine::IsSectionChosen(18));
    EXPECT_TRUE(engine::CopyDriver::IsOneSectionChecked());
    engine::DisableAllSections();
    EXPECT_FALSE(engine::CopyDriver::IsOneSectionChecked());
    EXPECT_EQ(Window().sections.boxes[8].value, 1);  // the check mark stays
}

}  // namespace
}  // namespace tess::test
