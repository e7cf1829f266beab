// tessaline-cli: the copy engine on Visio files, from the command line.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/DiffCommand.h"
#include "cli/Help.h"
#include "cli/ValuesCheck.h"
#include "cli/Workspace.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Error.h"
#include "window/Recipe.h"

namespace {

using namespace tess::cli;

constexpr int kFileStatus = 3;

/// The copy options' flags, which a recipe's options stand for when they are not given.
struct OptionFlags {
    bool append = false;
    std::string subShapes;
    bool shapeText = false;
    bool helpString = false;
    bool createDestination = false;
    std::vector<std::pair<CLI::Option*, std::function<void(CopyOptions&)>>> given;

    /// Sets, in copy, the options whose flags were given.
    void Apply(CopyOptions& copy) const {
        for (const auto& [option, set] : given) {
            if (option->count() > 0) set(copy);
        }
    }
};

/// Every command's arguments, and the command chosen.
struct Arguments {
    bool visio = false;  // --visio: the drawings open in the running Visio, not files
    ListOptions list;
    ShowOptions show;
    SectionsOptions sections;
    CopyOptions copy;
    OptionFlags copyFlags;
    CheckOptions check;
    DiffOptions diff;
    CLI::App* listCommand = nullptr;
    CLI::App* showCommand = nullptr;
    CLI::App* sectionsCommand = nullptr;
    CLI::App* copyCommand = nullptr;
    CLI::App* diffCommand = nullptr;
};

/// Files are required on files; with --visio there are none (RunChosen checks).
void AddFiles(CLI::App& command, std::vector<std::string>& files) {
    command.add_option("FILE", files, "Visio files (.vsdx .vsdm .vssx .vssm .vstx .vstm)");
}

void AddList(CLI::App& app, Arguments& arguments) {
    ListOptions& list = arguments.list;
    CLI::App* command =
        app.add_subcommand("list", "Print the tree of documents, masters, pages and shapes");
    command->add_option("FILE", list.files, "Visio files, then optionally the OBJECT to list below");
    command
        ->add_option("--depth", list.depth,
                     "Levels of shapes shown below a page or master (all when not given)")
        ->check(CLI::NonNegativeNumber);
    command->add_option("--find", list.find,
                        "Only the objects whose name, master's name or address holds TEXT "
                        "(without regard to case), with the objects above them");
    command->add_flag("--json", list.json, "Print JSON");
    command->footer(help::Addresses() + "\n" + help::ListJson());
    arguments.listCommand = command;
}

void AddShowAndSections(CLI::App& app, Arguments& arguments) {
    ShowOptions& show = arguments.show;
    CLI::App* command = app.add_subcommand("show", "Print an object's sections, rows and formulas");
    command->add_option("FILE", show.files, "Visio files, then the OBJECT to show")->required();
    command->add_option("--section", show.sections, "Only this Sections-tab caption (repeatable)");
    command->add_flag("--json", show.json, "Print JSON");
    command->footer(help::Addresses() + "\n" + help::ShowJson());
    arguments.showCommand = command;

    SectionsOptions& sections = arguments.sections;
    command = app.add_subcommand(
        "sections", "Print the Sections-tab captions an object offers, with their row counts");
    command->add_option("FILE", sections.files, "Visio files, then the OBJECT")->required();
    command->add_flag("--json", sections.json, "Print JSON");
    command->footer(help::Addresses() + "\n" + help::SectionsJson());
    arguments.sectionsCommand = command;
}

/// The flags that set the copy options; each given one overrides a recipe's.
void AddOptionFlags(CLI::App& command, OptionFlags& flags) {
    const auto remember = [&](CLI::Option* option, std::function<void(CopyOptions&)> set) {
        flags.given.emplace_back(option, std::move(set));
    };
    remember(command.add_flag("--append", flags.append,
                              "Append to the destination's rows instead of overwriting them "
                              "(--append=false: overwrite)"),
             [&flags](CopyOptions& copy) { copy.append = flags.append; });
    remember(command.add_option("--sub-shapes", flags.subShapes, "What happens to sub-shapes")
                 ->check(CLI::IsMember({"ignore", "cells", "replace"})),
             [&flags](CopyOptions& copy) { copy.subShapes = flags.subShapes; });
    remember(command.add_flag("--shape-text", flags.shapeText, "Copy the shape text"),
             [&flags](CopyOptions& copy) { copy.shapeText = flags.shapeText; });
    remember(command.add_flag("--help-string", flags.helpString, "Copy the shape's help string"),
             [&flags](CopyOptions& copy) { copy.helpString = flags.helpString; });
    remember(command.add_flag("--create-destination", flags.createDestination,
                              "Create a destination when none is given"),
             [&flags](CopyOptions& copy) { copy.createDestination = flags.createDestination; });
}

void AddCopy(CLI::App& app, Arguments& arguments) {
    CopyOptions& copy = arguments.copy;
    CLI::App* command =
        app.add_subcommand("copy", "Copy sections, rows and formulas from one object to others");
    AddFiles(*command, copy.files);
    command->add_option("--from", copy.from, "The source OBJECT")->required();
    command->add_option("--to", copy.to,
                        "A destination OBJECT; page:P/* is every top-level shape of P but the "
                        "source (repeatable)");
    command->add_option("--section", copy.sections, "A Sections-tab caption to copy (repeatable)");
    command->add_flag("--all-sections", copy.allSections, "Copy every section the source has");
    command->add_option("--rows", copy.rows,
                        "CAPTION=ROW[,ROW]...: the rows to copy, and so their section "
                        "(repeatable)");
    command->add_option("--order", copy.orders,
                        "CAPTION=ROW[,ROW]...: the new order of the chosen rows (repeatable)");
    AddOptionFlags(*command, arguments.copyFlags);
    command->add_option("--recipe", copy.recipe, "Copy as the recipe FILE says");
    command->add_option("--save-recipe", copy.saveRecipe, "Write the recipe of this copy to FILE");
    command->add_option("--on-error", copy.onError, "The answer to a refused formula write")
        ->check(CLI::IsMember({"continue", "cancel"}));
    command->add_flag("--dry-run", copy.dryRun, "Write nothing; print what would change");
    command->add_flag("--diff", copy.diff,
                      "Print, per destination, what the copy changed (what it would change, "
                      "with --dry-run)");
    command->add_flag("--json", copy.json, "Print a JSON report");
    command->add_option("-o", copy.output, "Write the changed document to OUT");
    command->add_flag("--in-place", copy.inPlace, "Save each changed document over itself");
    command->footer(help::Rows() + "\n" + help::Addresses() + "\n" + help::Options() + "\n" +
                    help::Recipes() + "\n" + help::CopyExamples() + "\n" + help::CopyJson() +
                    help::CopyDiffJson());
    arguments.copyCommand = command;
}

void AddCheck(CLI::App& app, Arguments& arguments) {
    CLI::App* command =
        app.add_subcommand("check", "Print every formula that names a missing cell or shape");
    AddFiles(*command, arguments.check.files);
    command->add_flag("--values", arguments.check.values,
                      "Compute every value the files store again and print each that differs");
    command->add_flag("--json", arguments.check.json, "Print JSON");
    command->footer(help::CheckJson() + "\n" + help::CheckValues());
}

void AddDiff(CLI::App& app, Arguments& arguments) {
    DiffOptions& diff = arguments.diff;
    CLI::App* command = app.add_subcommand(
        "diff", "Compare two objects' sections, rows, formulas and values, as a copy maps them");
    command
        ->add_option("FILE", diff.arguments,
                     "FILE A B, FILE1 FILE2 A or FILE1 FILE2 A B; with --visio, A B")
        ->required()
        ->expected(2, 4);
    command->add_option("--section", diff.sections,
                        "Only this Sections-tab caption (repeatable)");
    command->add_flag("--json", diff.json, "Print JSON");
    command->footer(help::DiffForms() + "\n" + help::Addresses() + "\n" + help::DiffJson());
    arguments.diffCommand = command;
}

/// The last of a command's words, which is its OBJECT; on files, one file at least comes first.
std::string TakeObject(Drawings& drawings, const char* command) {
    if (!drawings.visio && drawings.files.size() < 2)
        UsageError(std::string(command) + " needs FILE... OBJECT");
    std::string object = drawings.files.back();
    drawings.files.pop_back();
    return object;
}

/// The drawings of the command: the files given, or with --visio those open in Visio, where the
/// words given are OBJECTs.
void ChooseDrawings(Drawings& drawings, bool visio, const char* command) {
    drawings.visio = visio;
    if (!visio && drawings.files.empty()) UsageError(std::string(command) + " needs FILE...");
}

int RunChosen(Arguments& arguments) {
    const bool visio = arguments.visio;
    if (arguments.listCommand->parsed()) {
        ListOptions& list = arguments.list;
        // The OBJECT, when given, is the last argument, and no Visio file name (which --visio
        // refuses as a file).
        if (visio && !list.files.empty() && !tess::vsdx::IsVisioPackageName(list.files.back())) {
            list.object = list.files.back();
            list.files.pop_back();
        }
        ChooseDrawings(list, visio, "list");
        if (list.files.size() > 1 && !tess::vsdx::IsVisioPackageName(list.files.back()))
            list.object = TakeObject(list, "list");
        return RunList(list, std::cout);
    }
    if (arguments.showCommand->parsed()) {
        arguments.show.visio = visio;
        arguments.show.object = TakeObject(arguments.show, "show");
        return RunShow(arguments.show, std::cout);
    }
    if (arguments.sectionsCommand->parsed()) {
        arguments.sections.visio = visio;
        arguments.sections.object = TakeObject(arguments.sections, "sections");
        return RunSections(arguments.sections, std::cout);
    }
    if (arguments.copyCommand->parsed()) {
        ChooseDrawings(arguments.copy, visio, "copy");
        arguments.copyFlags.Apply(arguments.copy);
        return RunCopy(arguments.copy, std::cout);
    }
    if (arguments.diffCommand->parsed()) {
        arguments.diff.visio = visio;
        return RunDiff(arguments.diff, std::cout);
    }
    ChooseDrawings(arguments.check, visio, "check");
    return arguments.check.values ? RunCheckValues(arguments.check, std::cout)
                                  : RunCheck(arguments.check, std::cout);
}

/// A command-line mistake, an OBJECT or recipe that names what is not there: 2; anything else
/// (a file that cannot be read or written): 3.
int ExitStatus(const tess::Error& error) {
    const int32_t number = error.Number();
    const bool usage = number == kUsageError || number == tess::err::kNoSuchObject ||
                       number == tess::window::kBadRecipe;
    return usage ? kUsageError : kFileStatus;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Tessaline: copies ShapeSheet sections, rows and formulas between Visio shapes, pages and "
        "documents",
        "tessaline-cli"};
    app.set_version_flag("--version", std::string("tessaline-cli ") + TESSALINE_VERSION);
    app.require_subcommand(1);
    app.footer(help::Addresses() + "\n" + help::Visio() + "\n" + help::Options() + "\n" +
               help::Recipes() + "\nEach command's --help tells more, and what its --json prints.");
    Arguments arguments;
    app.add_flag("--visio", arguments.visio,
                 "Work on the drawings open in the running Visio instead of files (Windows)");
    AddList(app, arguments);
    AddShowAndSections(app, arguments);
    AddCopy(app, arguments);
    AddCheck(app, arguments);
    AddDiff(app, arguments);
    std::vector<std::string> words = StartConsole(argc, argv);
    std::vector<char*> pointers;
    for (std::string& word : words)
        pointers.push_back(word.data());
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : kUsageError;
    }
    try {
        return RunChosen(arguments);
    } catch (const tess::Error& error) {
        std::cerr << "Tessaline: " << error.Description() << '\n';
        return ExitStatus(error);
    } catch (const std::exception& error) {
        std::cerr << "Tessaline: " << error.what() << '\n';
        return kFileStatus;
    }
}
