// A destination that is also a member of another destination, copied with "copy into matching
// sub-shapes": the member takes what was asked for it by name, whatever the order of the list.
#include <gtest/gtest.h>

#include "app/StringTable.h"
#include "engine/CopyDriver.h"
#include "engine/CopyError.h"
#include "engine/CopyRequest.h"
#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "support/Samples.h"
#include "support/ScriptedFrontEnd.h"

namespace tess::test {
namespace {

using namespace visio;

/// The names of a shape's User rows, in order.
std::vector<std::string> UserRows(const ShapePtr& shape) {
    std::vector<std::string> names;
    for (int16_t row = 0; row < shape->RowCount(visSectionUser); ++row)
        names.push_back(shape->CellsSRC(visSectionUser, row, 0)->RowName());
    return names;
}

/// The formulas of a shape's outer transform row (PinX, PinY, Width, Height).
std::vector<std::string> Transform(const ShapePtr& shape) {
    std::vector<std::string> formulas;
    for (int16_t cell = 0; cell < 4; ++cell)
        formulas.push_back(shape->CellsSRC(visSectionObject, visRowXFormOut, cell)->Formula());
    return formulas;
}

TEST(NestedDestinations, AListedMemberOfAnotherDestinationTakesTheSourcesCopyInEitherOrder) {
    // In the sample, the page's Sheet.1 is an instance of the master whose group is the source;
    // its member Sheet.4 has the name of the source's own member Sheet.8, so the sub-shape copy
    // into Sheet.1 matches Sheet.4 with Sheet.8.
    for (const bool memberFirst : {true, false}) {
        SCOPED_TRACE(memberFirst ? "member listed first" : "member listed last");
        auto app = std::make_shared<embedded::EmbeddedApplication>();
        const auto data =
            vsdx::OpenDocument(app->TheModel(), SamplePath("test_master_multiple_child_shapes.vsdx"));
        const DocumentPtr document = embedded::WrapDocument(app->ModelPtr(), data);
        const ShapePtr source = document->Masters()->Item(1)->Shapes()->Item(1);
        const ShapePtr instance = document->Pages()->Item(1)->Shapes()->Item(1);
        const ShapePtr member = instance->Shapes()->Item(3);
        ASSERT_EQ(member->Name(), source->Shapes()->Item(3)->Name());
        const std::vector<std::string> rows = UserRows(source);
        const std::vector<std::string> transform = Transform(source);
        ASSERT_NE(rows, UserRows(source->Shapes()->Item(3)));  // the two copies would differ

        engine::CopyRequest request;
        request.source = engine::CopyTarget{"source", source->Name(), source};
        const engine::CopyTarget memberTarget{"member", member->Name(), member};
        const engine::CopyTarget instanceTarget{"instance", instance->Name(), instance};
        request.destinations = memberFirst ? std::vector{memberTarget, instanceTarget}
                                           : std::vector{instanceTarget, memberTarget};
        request.sections = {1, 2};  // Shape Transform, User-defined Cells
        request.options.subShapes = engine::SubShapes::CopyCells;
        ScriptedFrontEnd frontEnd;
        const engine::CopyReport report = engine::CopyDriver(app).BeginCopy(request, frontEnd);

        EXPECT_EQ(UserRows(member), rows);
        EXPECT_EQ(Transform(member), transform);
        // The instance's report says its member was left to the copy listed for it.
        const auto said = std::find_if(report.destinations.begin(), report.destinations.end(),
                                       [](const auto& d) { return d.key == "instance"; });
        ASSERT_NE(said, report.destinations.end());
        const std::string text = app::FormatResString(engine::kListedMemberText, member->Name());
        EXPECT_TRUE(std::any_of(said->shortfalls.begin(), said->shortfalls.end(),
                                [&](const auto& shortfall) { return shortfall.text == text; }));
    }
}

}  // namespace
}  // namespace tess::test
