#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Prompt.h"
#include "engine/CopyRequest.h"
#include "window/CopyWindow.h"

// Recipes: a copy without its source and destinations (the sections, per section the rows and
// their order, the options), kept as a JSON file so that the same copy can be made again on other
// shapes and drawings. Rows go by name where they have one and by their list label otherwise, so
// that a recipe made on one shape applies to another with the same rows.
namespace tess::window {

inline constexpr int kRecipeVersion = 1;
inline constexpr const char* kRecipeProgram = "Tessaline";

/// A recipe that is not one, or one that asks for what a source lacks.
inline constexpr int32_t kBadRecipe = 1101;
/// A recipe file that cannot be read or written.
inline constexpr int32_t kRecipeFileFailed = 1102;

struct Recipe {
    struct Section {
        std::string caption;  // the Sections-tab caption
        /// The rows to copy, by name or label; none: every row.
        std::optional<std::vector<std::string>> rows;
        /// The rows to copy in their new order, each once; none: the source's order.
        std::optional<std::vector<std::string>> order;
    };
    std::vector<Section> sections;
    engine::CopyOptions options;
};

/// Reads a recipe. Text that is no JSON, another program's or version's recipe, an unknown
/// caption, a member of the wrong type or one it does not know fail with kBadRecipe, naming the
/// file and the member; a file that cannot be read fails with kRecipeFileFailed.
Recipe ParseRecipe(std::string_view text, const std::string& file);
Recipe ReadRecipe(const std::string& path);
/// The recipe as its file holds it.
std::string RecipeText(const Recipe& recipe);
/// Writes the file whole or not at all; a failure (kRecipeFileFailed) names the file.
void WriteRecipe(const Recipe& recipe, const std::string& path);

/// The recipe of a request: its sections by caption, the rows it chooses by name and their order
/// as its source has them, its options.
Recipe RecipeOf(const engine::CopyRequest& request);

/// What a recipe asks of a source.
struct AppliedRecipe {
    /// The sections, rows, orders and options; no source or destinations.
    engine::CopyRequest request;
    /// What the source lacks, each naming the file and the member; the rest is in request.
    std::vector<std::string> problems;
};
/// The request a recipe makes for a source sheet of that image. Sections and rows the source
/// lacks are left out and named in problems; so is an order that no longer names each chosen
/// row once.
AppliedRecipe ApplyRecipe(app::IPrompt& prompt, const Recipe& recipe, const visio::ShapePtr& source,
                          int16_t image, const std::string& file);

/// Ticks exactly the boxes of the request's sections.
void ShowRecipeSections(CopyWindow& window, const engine::CopyRequest& request);
/// Puts the request's rows and orders into the Rows and Row Order tabs' stores.
void ShowRecipeRows(CopyWindow& window, const engine::CopyRequest& request);

}  // namespace tess::window
