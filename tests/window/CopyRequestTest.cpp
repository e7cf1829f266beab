// The request a copy is made with: what the window puts in it, and the copy flags the engine
// makes of it.
#include <gtest/gtest.h>

#include "engine/CopyRequest.h"
#include "window/CopyWindow.h"
#include "window/WindowFixture.h"

namespace tess::test {
namespace {

using namespace visio;
using engine::CopyType;
using engine::SubShapes;

using MakeRequest = WindowTest;

TEST_F(MakeRequest, TakesTheChosenBoxesTheTabsStoresAndTheOptions) {
    const ShapePtr source = Rectangle();
    const ShapePtr destination = Rectangle(4, 4, 5, 5);
    Source(Item(source));
    window.destinations = {Item(destination), Item(page->PageSheet())};
    Choose({2, 9, 8});
    window.sections.boxes[13] = {1, false};  // checked but disabled: not chosen
    window.sections.boxes[14] = {0, true};   // enabled but not checked
    window.rowSelection.choices["Scratch"] = {1, 0, 1, 0};
    window.rowSelection.geometry = {{1, visSectionFirstComponent, 0}};
    window.rowOrders.orders["Scratch"] = {1, 0, 0};
    window.options.copy.copyType = CopyType::Append;
    window.options.copy.copyShapeText = true;

    const engine::CopyRequest request = window::MakeRequest(window);
    EXPECT_EQ(request.sections, (std::vector<int16_t>{2, 8, 9}));
    EXPECT_EQ(request.rows,
              (std::map<int16_t, engine::RowChoice>{{visSectionScratch, {1, 0, 1, 0}}}))
        << "sections without a choice are left out";
    EXPECT_EQ(request.orders.at(visSectionScratch), (engine::RowOrder{1, 0, 0}));
    EXPECT_EQ(request.geometryRows.size(), 1u);
    EXPECT_EQ(request.options, window.options.copy);
    ASSERT_TRUE(request.source && request.source->sheet);
    EXPECT_EQ(request.source->sheet->ID(), source->ID());
    EXPECT_EQ(request.source->key, window.source.front().key);
    ASSERT_EQ(request.destinations.size(), 2u);
    EXPECT_EQ(request.destinations[0].sheet->ID(), destination->ID());
    EXPECT_EQ(request.destinations[1].sheet->Type(), visTypePage);
    EXPECT_TRUE(window::IsGeometryAppend(window));

    // An item whose object is gone is named, without a sheet: the run says it does not exist.
    destination->Delete();
    EXPECT_FALSE(window::MakeRequest(window).destinations[0].sheet);
    window.source.clear();
    EXPECT_FALSE(window::MakeRequest(window).source);
}

TEST(CopyFlags, ComeFromTheRequestInOnePlace) {
    using engine::CF_APPEND, engine::CF_OVERWRITE, engine::CF_SUBSHAPE_CELLS,
        engine::CF_ALL_SUBSHAPES, engine::CF_SHAPE_TEXT, engine::CF_HELP_STRING;
    const struct {
        CopyType type;
        SubShapes subShapes;
        bool text, help, destinations;
        int16_t flags;
    } cases[] = {
        {CopyType::Overwrite, SubShapes::Ignore, false, false, true, CF_OVERWRITE},
        {CopyType::Append, SubShapes::Ignore, false, false, true, CF_APPEND},
        // Append is offered only where there is something to append to.
        {CopyType::Append, SubShapes::Ignore, false, false, false, CF_OVERWRITE},
        {CopyType::Overwrite, SubShapes::CopyCells, true, false, true,
         CF_OVERWRITE | CF_SUBSHAPE_CELLS | CF_SHAPE_TEXT},
        {CopyType::Append, SubShapes::ReplaceAll, false, true, true,
         CF_APPEND | CF_ALL_SUBSHAPES | CF_HELP_STRING},
    };
    for (const auto& each : cases) {
        engine::CopyRequest request;
        request.options = {each.type, each.subShapes, each.text, each.help, false};
        if (each.destinations) request.destinations.push_back({"d", "d", nullptr});
        EXPECT_EQ(engine::BuildCopyFlags(request), each.flags)
            << int(each.type) << "/" << int(each.subShapes);
        request.sections = {8};
        EXPECT_EQ(engine::IsGeometryAppend(request), each.type == CopyType::Append);
    }
}

}  // namespace
}  // namespace tess::test
