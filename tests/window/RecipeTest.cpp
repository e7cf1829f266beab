// Recipes: what one holds of a copy, how it reads back on another shape with the same rows,
// what a source that lacks rows leaves out, and the files that are refused and why.
#include "window/Recipe.h"

#include <gtest/gtest.h>

#include "support/TempFolder.h"
#include "window/WindowFixture.h"

namespace tess::test {
namespace {

using namespace visio;

class Recipes : public WindowTest {
protected:
    /// A shape with custom properties Cost, Size, Maker and three Scratch rows.
    ShapePtr Source() {
        const ShapePtr shape = Rectangle();
        for (const char* name : {"Cost", "Size", "Maker"})
            AddNamedRow(shape, visSectionProp, name, {"1"});
        AddRows(shape, visSectionScratch, {{"1"}, {"2"}, {"3"}});
        return shape;
    }
    /// The failure of a recipe's text: its number checked, its description returned.
    static std::string Refusal(const std::string& text) {
        try {
            window::ParseRecipe(text, "r.json");
        } catch (const Error& error) {
            EXPECT_EQ(error.Number(), window::kBadRecipe) << text;
            return error.Description();
        }
        return "accepted";
    }
};

TEST_F(Recipes, ARequestsRecipeNamesRowsAndAppliesToAnotherShapeWithThem) {
    const ShapePtr source = Source();
    engine::CopyRequest request;
    request.source = engine::CopyTarget{"s", "s", source};
    request.sections = {3, 9, 13};
    request.rows[visSectionProp] = {1, 0, 1, 0};     // Cost and Maker
    request.orders[visSectionProp] = {1, 0, 0};      // Maker first
    request.rows[visSectionScratch] = {1, 1, 1, 0};  // every row: no list is kept
    request.options = {engine::CopyType::Append, engine::SubShapes::CopyCells, true, false, true};

    const window::Recipe recipe = window::RecipeOf(request);
    const window::Recipe read = window::ParseRecipe(window::RecipeText(recipe), "r.json");
    ASSERT_EQ(read.sections.size(), 3u);
    EXPECT_EQ(read.sections[0].caption, "Custom Properties");
    EXPECT_EQ(read.sections[0].rows, (std::vector<std::string>{"Cost", "Maker"}));
    EXPECT_EQ(read.sections[0].order, (std::vector<std::string>{"Maker", "Cost"}));
    EXPECT_EQ(read.sections[1].caption, "Scratch");
    EXPECT_FALSE(read.sections[1].rows);
    EXPECT_EQ(read.sections[2].caption, "Line Format");
    EXPECT_EQ(read.options, request.options);

    // Another shape whose rows stand in another order gets the same rows by name.
    const ShapePtr other = Rectangle(4, 4, 5, 5);
    for (const char* name : {"Maker", "Extra", "Cost"})
        AddNamedRow(other, visSectionProp, name, {"2"});
    AddRows(other, visSectionScratch, {{"1"}});
    const window::AppliedRecipe applied =
        window::ApplyRecipe(prompt, read, other, kImageShape, "r.json");
    EXPECT_TRUE(applied.problems.empty());
    EXPECT_EQ(applied.request.sections, (std::vector<int16_t>{3, 9, 13}));
    EXPECT_EQ(applied.request.rows.at(visSectionProp), (engine::RowChoice{1, 0, 1, 0}));
    EXPECT_EQ(applied.request.orders.at(visSectionProp), (engine::RowOrder{0, 1, 0}))
        << "on this shape Maker stands before Cost already";
    EXPECT_EQ(applied.request.rows.count(visSectionScratch), 0u);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(Recipes, WhatTheSourceLacksIsNamedAndTheRestApplied) {
    const window::Recipe recipe = window::ParseRecipe(R"({
        "program": "Tessaline", "version": 1,
        "sections": [
            {"caption": "custom properties", "rows": ["Cost", "Colour", "Prop.Size"],
             "order": ["Size", "Colour", "Cost"]},
            {"caption": "Layers"},
            {"caption": "Scratch", "rows": ["Row 2", "3"]}
        ]})",
                                                      "r.json");
    const window::AppliedRecipe applied =
        window::ApplyRecipe(prompt, recipe, Source(), kImageShape, "r.json");
    ASSERT_EQ(applied.problems.size(), 3u);
    EXPECT_EQ(applied.problems[0],
              "recipe 'r.json': sections[0].rows[1]: the source has no row 'Colour' in "
              "'custom properties'");
    EXPECT_NE(applied.problems[1].find("sections[0].order[1]"), std::string::npos);
    EXPECT_EQ(applied.problems[2],
              "recipe 'r.json': sections[1].caption: the source has no section 'Layers'");
    EXPECT_EQ(applied.request.sections, (std::vector<int16_t>{3, 9}));
    EXPECT_EQ(applied.request.rows.at(visSectionProp), (engine::RowChoice{1, 1, 0, 0}));
    EXPECT_EQ(applied.request.orders.count(visSectionProp), 0u) << "the broken order is left out";
    EXPECT_EQ(applied.request.rows.at(visSectionScratch), (engine::RowChoice{0, 1, 1, 0}));

    // Shown in the window: exactly those boxes ticked, the rows in the tabs' stores.
    window.sections.boxes[13].value = 1;
    window::ShowRecipeSections(window, applied.request);
    window::ShowRecipeRows(window, applied.request);
    EXPECT_EQ(window.sections.boxes[13].value, 0);
    EXPECT_EQ(window.sections.boxes[3].value, 1);
    EXPECT_EQ(window.rowSelection.choices.at("Custom Properties"), (engine::RowChoice{1, 1, 0, 0}));
    EXPECT_EQ(window.rowOrders.orders.at("Custom Properties").size(), 1u);
}

TEST_F(Recipes, BadFilesAreRefusedNamingTheMember) {
    const std::pair<const char*, const char*> cases[] = {
        {"{", "is no JSON"},
        {"[]", "the recipe: a recipe is a JSON object"},
        {R"({"program": "Other", "version": 1})", "program: this is no recipe of Tessaline"},
        {R"({"program": "Tessaline", "version": 2})", "version: version 2 is unknown"},
        {R"({"program": "Tessaline", "version": "1"})", "version: version \"1\" is unknown"},
        {R"({"program": "Tessaline", "version": 1, "sections": {}})", "sections: is a list"},
        {R"({"program": "Tessaline", "version": 1, "sections": [{"caption": "Nope"}]})",
         "sections[0].caption: no section is called 'Nope'"},
        {R"({"program": "Tessaline", "version": 1, "sections": [{"caption": 3}]})",
         "sections[0].caption: is a Sections-tab caption"},
        {R"({"program": "Tessaline", "version": 1,
             "sections": [{"caption": "Scratch", "rows": ["Row 1", 2]}]})",
         "sections[0].rows[1]: is a row's name"},
        {R"({"program": "Tessaline", "version": 1,
             "sections": [{"caption": "Line Format", "rows": []}]})",
         "sections[0].rows: 'Line Format' has no rows to choose"},
        {R"({"program": "Tessaline", "version": 1,
             "sections": [{"caption": "Geometry", "order": []}]})",
         "sections[0].order: the rows of 'Geometry' cannot be reordered"},
        {R"({"program": "Tessaline", "version": 1,
             "sections": [{"caption": "Scratch"}, {"caption": "scratch"}]})",
         "sections[1].caption: 'scratch' comes twice"},
        {R"({"program": "Tessaline", "version": 1, "options": {"copyType": "merge"}})",
         "options.copyType: is one of overwrite, append"},
        {R"({"program": "Tessaline", "version": 1, "options": {"shapeText": 1}})",
         "options.shapeText: is true or false"},
        {R"({"program": "Tessaline", "version": 1, "extra": 1})", "extra: no recipe has"},
    };
    for (const auto& [text, why] : cases) {
        const std::string refusal = Refusal(text);
        EXPECT_EQ(refusal.rfind("recipe 'r.json'", 0), 0u) << refusal;
        EXPECT_NE(refusal.find(why), std::string::npos) << text << "\n -> " << refusal;
    }
}

TEST_F(Recipes, FilesAreWrittenWholeAndReadBack) {
    TempFolder folder;
    window::Recipe recipe;
    recipe.sections.push_back({"Scratch", std::vector<std::string>{"Row 1"}, std::nullopt});
    window::WriteRecipe(recipe, folder.Path("r.json"));
    const window::Recipe read = window::ReadRecipe(folder.Path("r.json"));
    ASSERT_EQ(read.sections.size(), 1u);
    EXPECT_EQ(read.sections[0].rows, recipe.sections[0].rows);
    EXPECT_THROW(window::WriteRecipe(recipe, folder.Path("no/such/folder/r.json")), Error);
    EXPECT_THROW(window::ReadRecipe(folder.Path("missing.json")), Error);
}

}  // namespace
}  // namespace tess::test
