#include "window/Recipe.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

#include "engine/SectionCatalogue.h"
#include "formula/CellCatalogue.h"
#include "platform/visio/Error.h"
#include "platform/visio/FileNames.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::window {
namespace {

using Json = nlohmann::ordered_json;
using engine::CatalogueEntry;
using engine::CopyType;
using engine::SubShapes;

struct Word {
    std::string_view text;
    int value;
};
constexpr Word kCopyTypes[] = {{"overwrite", int(CopyType::Overwrite)},
                               {"append", int(CopyType::Append)}};
constexpr Word kSubShapes[] = {{"ignore", int(SubShapes::Ignore)},
                               {"cells", int(SubShapes::CopyCells)},
                               {"replace", int(SubShapes::ReplaceAll)}};

[[noreturn]] void Bad(const std::string& file, const std::string& member, const std::string& why) {
    Raise(kBadRecipe, "recipe '" + file + "': " + member + ": " + why);
}

/// Reads one recipe file: the file's name for every complaint, the member path as it goes.
class Reader {
public:
    explicit Reader(std::string file) : m_file(std::move(file)) {}

    Recipe Read(const Json& json) const {
        Expect(json.is_object(), "", "a recipe is a JSON object");
        CheckMembers(json, "", {"program", "version", "sections", "options"});
        Expect(json.contains("program") && json["program"] == kRecipeProgram, "program",
               std::string("this is no recipe of ") + kRecipeProgram);
        Expect(json.contains("version"), "version", "a recipe says its version");
        const Json& version = json["version"];
        Expect(version.is_number_integer() && version == kRecipeVersion, "version",
               "version " + version.dump() + " is unknown; this program reads version " +
                   std::to_string(kRecipeVersion));
        Recipe recipe;
        if (json.contains("sections")) recipe.sections = Sections(json["sections"]);
        if (json.contains("options")) recipe.options = Options(json["options"]);
        return recipe;
    }

private:
    void Expect(bool holds, const std::string& member, const std::string& why) const {
        if (!holds) Bad(m_file, member.empty() ? "the recipe" : member, why);
    }

    void CheckMembers(const Json& object, const std::string& at,
                      std::initializer_list<std::string_view> known) const {
        for (const auto& [name, value] : object.items()) {
            if (std::find(known.begin(), known.end(), name) == known.end())
                Bad(m_file, at + (at.empty() ? "" : ".") + name, "no recipe has this member");
        }
    }

    std::vector<std::string> Names(const Json& json, const std::string& at) const {
        Expect(json.is_array(), at, "is a list of row names");
        std::vector<std::string> names;
        for (size_t i = 0; i < json.size(); ++i) {
            Expect(json[i].is_string(), at + "[" + std::to_string(i) + "]", "is a row's name");
            names.push_back(json[i].get<std::string>());
        }
        return names;
    }

    Recipe::Section Section(const Json& json, const std::string& at) const {
        Expect(json.is_object(), at, "is an object with a caption");
        CheckMembers(json, at, {"caption", "rows", "order"});
        Expect(json.contains("caption") && json["caption"].is_string(), at + ".caption",
               "is a Sections-tab caption");
        Recipe::Section section{json["caption"].get<std::string>(), {}, {}};
        const CatalogueEntry* entry = EntryOfCaption(section.caption);
        Expect(entry != nullptr, at + ".caption", "no section is called '" + section.caption + "'");
        const bool rows = !RowsTabName(*entry).empty();
        if (json.contains("rows")) {
            Expect(rows, at + ".rows", "'" + section.caption + "' has no rows to choose");
            section.rows = Names(json["rows"], at + ".rows");
        }
        if (json.contains("order")) {
            Expect(rows && Orderable(*entry), at + ".order",
                   "the rows of '" + section.caption + "' cannot be reordered");
            section.order = Names(json["order"], at + ".order");
        }
        return section;
    }

    std::vector<Recipe::Section> Sections(const Json& json) const {
        Expect(json.is_array(), "sections", "is a list of sections");
        std::vector<Recipe::Section> sections;
        for (size_t i = 0; i < json.size(); ++i) {
            const std::string at = "sections[" + std::to_string(i) + "]";
            sections.push_back(Section(json[i], at));
            for (size_t j = 0; j + 1 < sections.size(); ++j) {
                Expect(!formula::SameName(sections[j].caption, sections.back().caption),
                       at + ".caption", "'" + sections.back().caption + "' comes twice");
            }
        }
        return sections;
    }

    template <size_t N>
    int Choice(const Json& json, const std::string& at, const Word (&words)[N]) const {
        std::string allowed;
        for (const Word& word : words) {
            if (json.is_string() && json.get<std::string>() == word.text) return word.value;
            allowed += (allowed.empty() ? "" : ", ") + std::string(word.text);
        }
        Bad(m_file, at, "is one of " + allowed);
    }

    bool Flag(const Json& json, const std::string& name, bool otherwise) const {
        if (!json.contains(name)) return otherwise;
        Expect(json[name].is_boolean(), "options." + name, "is true or false");
        return json[name].get<bool>();
    }

    engine::CopyOptions Options(const Json& json) const {
        Expect(json.is_object(), "options", "is an object");
        CheckMembers(json, "options",
                     {"copyType", "subShapes", "shapeText", "helpString", "createDestination"});
        engine::CopyOptions options;
        if (json.contains("copyType"))
            options.copyType = CopyType(Choice(json["copyType"], "options.copyType", kCopyTypes));
        if (json.contains("subShapes"))
            options.subShapes =
                SubShapes(Choice(json["subShapes"], "options.subShapes", kSubShapes));
        options.copyShapeText = Flag(json, "shapeText", false);
        options.copyHelpString = Flag(json, "helpString", false);
        options.createDestination = Flag(json, "createDestination", false);
        return options;
    }

    std::string m_file;
};

template <size_t N>
std::string_view WordOf(const Word (&words)[N], int value) {
    for (const Word& word : words) {
        if (word.value == value) return word.text;
    }
    return {};
}

/// The rows of an entry a request chooses, as flags over the source's listed rows.
std::vector<bool> ChosenFlags(const engine::CopyRequest& request, const CatalogueEntry& entry,
                              const std::vector<ListedRow>& rows) {
    std::vector<bool> chosen(rows.size(), true);
    if (entry.kind == engine::EntryKind::GeometryRows) {
        for (const engine::GeometryRow& line : request.geometryRows) {
            for (size_t i = 0; i < rows.size(); ++i) {
                if (rows[i].section == line.section && rows[i].row == line.row)
                    chosen[i] = line.chosen != 0;
            }
        }
        return chosen;
    }
    const engine::RowChoice choice = engine::GetRowIndicies(request, entry.section);
    for (size_t i = 0; i < rows.size() && choice.size() > 1; ++i)
        chosen[i] = i < choice.size() - 1 && choice[i] != 0;
    return chosen;
}

/// A section of a request as a recipe keeps it: rows only when some are left out or reordered.
Recipe::Section SectionOf(const engine::CopyRequest& request, const CatalogueEntry& entry) {
    Recipe::Section section{CaptionOf(entry), {}, {}};
    if (RowsTabName(entry).empty() || !request.source || !request.source->sheet) return section;
    const std::vector<ListedRow> rows = ListEntryRows(request.source->sheet, entry);
    const std::vector<bool> chosen = ChosenFlags(request, entry, rows);
    const engine::RowOrder order = engine::GetRowOrderIndicies(request, entry.section);
    const bool reordered = order.size() > 1 && Orderable(entry);
    if (!reordered && std::all_of(chosen.begin(), chosen.end(), [](bool c) { return c; }))
        return section;
    std::vector<std::string> names;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (chosen[i]) names.push_back(rows[i].NameOrLabel());
    }
    section.rows = names;
    if (reordered) {
        section.order.emplace();
        for (size_t p = 0; p + 1 < order.size(); ++p) {
            if (order[p] >= 0 && static_cast<size_t>(order[p]) < names.size())
                section.order->push_back(names[static_cast<size_t>(order[p])]);
        }
    }
    return section;
}

/// Applies one section of a recipe to the source's rows.
class SectionApplier {
public:
    SectionApplier(AppliedRecipe& applied, std::string file, const visio::ShapePtr& source)
        : m_applied(applied), m_file(std::move(file)), m_source(source) {}

    void Apply(const Recipe::Section& section, const CatalogueEntry& entry, const std::string& at) {
        m_applied.request.sections.push_back(entry.index);
        if (!section.rows && !section.order) return;
        const std::vector<ListedRow> rows = ListEntryRows(m_source, entry);
        std::vector<bool> chosen(rows.size(), !section.rows);
        if (section.rows) {
            for (size_t j = 0; j < section.rows->size(); ++j) {
                const std::string& name = (*section.rows)[j];
                const size_t found = FindRow(rows, name);
                if (found == rows.size()) {
                    Problem(at + ".rows[" + std::to_string(j) + "]",
                            "the source has no row '" + name + "' in '" + section.caption + "'");
                } else {
                    chosen[found] = true;
                }
            }
            Choose(entry, rows, chosen);
        }
        if (section.order) Order(section, entry, rows, chosen, at);
    }

private:
    void Problem(const std::string& member, const std::string& why) {
        m_applied.problems.push_back("recipe '" + m_file + "': " + member + ": " + why);
    }

    void Choose(const CatalogueEntry& entry, const std::vector<ListedRow>& rows,
                const std::vector<bool>& chosen) {
        engine::CopyRequest& request = m_applied.request;
        if (entry.kind == engine::EntryKind::GeometryRows) {
            request.geometryRows.clear();
            for (size_t i = 0; i < rows.size(); ++i)
                request.geometryRows.push_back(
                    {int16_t(chosen[i] ? 1 : 0), rows[i].section, rows[i].row});
            return;
        }
        engine::RowChoice choice(rows.size() + 1, 0);
        for (size_t i = 0; i < rows.size(); ++i)
            choice[i] = chosen[i] ? 1 : 0;
        request.rows[entry.section] = choice;
    }

    /// The order as positions among the chosen rows; left out, with a problem, when it does not
    /// name each chosen row once.
    void Order(const Recipe::Section& section, const CatalogueEntry& entry,
               const std::vector<ListedRow>& rows, const std::vector<bool>& chosen,
               const std::string& at) {
        std::vector<size_t> current;
        for (size_t i = 0; i < rows.size(); ++i) {
            if (chosen[i]) current.push_back(i);
        }
        engine::RowOrder order;
        for (size_t j = 0; j < section.order->size(); ++j) {
            const std::string& name = (*section.order)[j];
            const auto place = std::find(current.begin(), current.end(), FindRow(rows, name));
            const auto position = static_cast<int16_t>(place - current.begin());
            if (place == current.end() ||
                std::find(order.begin(), order.end(), position) != order.end()) {
                return Problem(at + ".order[" + std::to_string(j) + "]",
                               "'" + name + "' is no row chosen on the source, or named twice");
            }
            order.push_back(position);
        }
        if (order.size() != current.size())
            return Problem(at + ".order", "does not name each row chosen on the source once");
        order.push_back(0);  // the spare element
        m_applied.request.orders[entry.section] = order;
    }

    AppliedRecipe& m_applied;
    std::string m_file;
    visio::ShapePtr m_source;
};

}  // namespace

Recipe ParseRecipe(std::string_view text, const std::string& file) {
    Json json;
    try {
        json = Json::parse(text);
    } catch (const Json::parse_error& error) {
        Raise(kBadRecipe, "recipe '" + file + "' is no JSON: " + error.what());
    }
    return Reader(file).Read(json);
}

Recipe ReadRecipe(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) Raise(kRecipeFileFailed, "recipe '" + path + "' cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return ParseRecipe(text.str(), path);
}

std::string RecipeText(const Recipe& recipe) {
    Json json = {{"program", kRecipeProgram}, {"version", kRecipeVersion}};
    json["sections"] = Json::array();
    for (const Recipe::Section& section : recipe.sections) {
        Json item = {{"caption", section.caption}};
        if (section.rows) item["rows"] = *section.rows;
        if (section.order) item["order"] = *section.order;
        json["sections"].push_back(std::move(item));
    }
    const engine::CopyOptions& options = recipe.options;
    json["options"] = {{"copyType", WordOf(kCopyTypes, int(options.copyType))},
                       {"subShapes", WordOf(kSubShapes, int(options.subShapes))},
                       {"shapeText", options.copyShapeText},
                       {"helpString", options.copyHelpString},
                       {"createDestination", options.createDestination}};
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

void WriteRecipe(const Recipe& recipe, const std::string& path) {
    const std::filesystem::path target = PathOf(path);
    std::filesystem::path temporary = target;
    temporary += "." + std::to_string(std::random_device()()) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << RecipeText(recipe);
        out.flush();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            Raise(kRecipeFileFailed, "recipe '" + path + "' cannot be written");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        Raise(kRecipeFileFailed, "recipe '" + path + "' cannot be written");
    }
}

Recipe RecipeOf(const engine::CopyRequest& request) {
    Recipe recipe;
    for (const CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (request.IsSectionChosen(entry.index))
            recipe.sections.push_back(SectionOf(request, entry));
    }
    recipe.options = request.options;
    return recipe;
}

AppliedRecipe ApplyRecipe(app::IPrompt& prompt, const Recipe& recipe, const visio::ShapePtr& source,
                          int16_t image, const std::string& file) {
    visio::Required(source);
    AppliedRecipe applied;
    applied.request.options = recipe.options;
    SectionBoxes boxes;
    EnableDisableSections(prompt, boxes, image, source);
    SectionApplier applier(applied, file, source);
    for (size_t i = 0; i < recipe.sections.size(); ++i) {
        const Recipe::Section& section = recipe.sections[i];
        const std::string at = "sections[" + std::to_string(i) + "]";
        const CatalogueEntry* entry = EntryOfCaption(section.caption);
        if (!entry || !boxes.boxes[static_cast<size_t>(entry->index)].enabled) {
            applied.problems.push_back("recipe '" + file + "': " + at +
                                       ".caption: the source has no section '" + section.caption +
                                       "'");
            continue;
        }
        applier.Apply(section, *entry, at);
    }
    return applied;
}

void ShowRecipeSections(CopyWindow& window, const engine::CopyRequest& request) {
    UnCheckAllSections(window.sections);
    for (int16_t index : request.sections)
        window.sections.boxes[static_cast<size_t>(index)].value = 1;
}

void ShowRecipeRows(CopyWindow& window, const engine::CopyRequest& request) {
    window.rowSelection.ResetAll();
    window.rowOrders.ResetAll();
    for (const auto& [section, choice] : request.rows) {
        for (const engine::MultiRowSection& listed : engine::MultiRowSections()) {
            if (listed.section == section && listed.displayName != "Geometry")
                window.rowSelection.choices[std::string(listed.displayName)] = choice;
        }
    }
    window.rowSelection.geometry = request.geometryRows;
    for (const auto& [section, order] : request.orders) {
        for (const engine::MultiRowSection& listed : engine::MultiRowSections()) {
            if (listed.section == section && window.rowOrders.orders.count(listed.displayName))
                window.rowOrders.orders[std::string(listed.displayName)] = order;
        }
    }
}

}  // namespace tess::window
