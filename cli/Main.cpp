// tessaline-cli: the copy engine on Visio files, from the command line.
#include <CLI/CLI.hpp>

#include <iostream>

#include "cli/Commands.h"
#include "cli/Console.h"
#include "cli/Help.h"
#include "cli/Workspace.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Error.h"

namespace {

using namespace tess::cli;

constexpr int kFileStatus = 3;

void AddFiles(CLI::App& command, std::vector<std::string>& files) {
    command.add_option("FILE", files, "Visio files (.vsdx .vsdm .vssx .vssm .vstx .vstm)")
        ->required();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Tessaline: copies ShapeSheet sections, rows and formulas between Visio shapes, pages and "
        "documents",
        "tessaline-cli"};
    app.set_version_flag("--version", std::string("tessaline-cli ") + TESSALINE_VERSION);
    app.require_subcommand(1);
    app.footer(help::Addresses() + "\n" + help::Options() +
               "\nEach command's --help tells more, and what its --json prints.");

    ListOptions list;
    CLI::App* listCommand =
        app.add_subcommand("list", "Print the tree of documents, masters, pages and shapes");
    listCommand
        ->add_option("FILE", list.files, "Visio files, then optionally the OBJECT to list below")
        ->required();
    listCommand
        ->add_option("--depth", list.depth,
                     "Levels of shapes shown below a page or master (all when not given)")
        ->check(CLI::NonNegativeNumber);
    listCommand->add_option("--find", list.find,
                            "Only the objects whose name, master's name or address holds TEXT "
                            "(without regard to case), with the objects above them");
    listCommand->add_flag("--json", list.json, "Print JSON");
    listCommand->footer(help::Addresses() + "\n" + help::ListJson());

    ShowOptions show;
    CLI::App* showCommand =
        app.add_subcommand("show", "Print an object's sections, rows and formulas");
    showCommand->add_option("FILE", show.files, "Visio files, then the OBJECT to show")
        ->required()
        ->expected(2, -1);
    showCommand->add_option("--section", show.sections,
                            "Only this Sections-tab caption (repeatable)");
    showCommand->add_flag("--json", show.json, "Print JSON");
    showCommand->footer(help::Addresses() + "\n" + help::ShowJson());

    SectionsOptions sections;
    CLI::App* sectionsCommand = app.add_subcommand(
        "sections", "Print the Sections-tab captions an object offers, with their row counts");
    sectionsCommand->add_option("FILE", sections.files, "Visio files, then the OBJECT")
        ->required()
        ->expected(2, -1);
    sectionsCommand->add_flag("--json", sections.json, "Print JSON");
    sectionsCommand->footer(help::Addresses() + "\n" + help::SectionsJson());

    CopyOptions copy;
    CLI::App* copyCommand =
        app.add_subcommand("copy", "Copy sections, rows and formulas from one object to others");
    AddFiles(*copyCommand, copy.files);
    copyCommand->footer(
        "The copy options come from these flags only: the options the desktop program stores are "
        "neither read nor written.");
    copyCommand->add_option("--from", copy.from, "The source OBJECT")->required();
    copyCommand->add_option(
        "--to", copy.to,
        "A destination OBJECT; page:P/* is every top-level shape of P but the source "
        "(repeatable)");
    copyCommand->add_option("--section", copy.sections,
                            "A Sections-tab caption to copy (repeatable)");
    copyCommand->add_flag("--all-sections", copy.allSections, "Copy every section the source has");
    copyCommand->add_option("--rows", copy.rows,
                            "CAPTION=ROW[,ROW]...: the rows to copy, and so their section "
                            "(repeatable)");
    copyCommand->add_option("--order", copy.orders,
                            "CAPTION=ROW[,ROW]...: the new order of the chosen rows (repeatable)");
    copyCommand->add_flag("--append", copy.append,
                          "Append to the destination's rows instead of overwriting them");
    copyCommand->add_option("--sub-shapes", copy.subShapes, "What happens to sub-shapes")
        ->check(CLI::IsMember({"ignore", "cells", "replace"}));
    copyCommand->add_flag("--shape-text", copy.shapeText, "Copy the shape text");
    copyCommand->add_flag("--help-string", copy.helpString, "Copy the shape's help string");
    copyCommand->add_flag("--create-destination", copy.createDestination,
                          "Create a destination when none is given");
    copyCommand->add_option("--on-error", copy.onError, "The answer to a refused formula write")
        ->check(CLI::IsMember({"continue", "cancel"}));
    copyCommand->add_flag("--dry-run", copy.dryRun, "Write nothing; print what would change");
    copyCommand->add_flag("--json", copy.json, "Print a JSON report");
    copyCommand->add_option("-o", copy.output, "Write the changed document to OUT");
    copyCommand->add_flag("--in-place", copy.inPlace, "Save each changed document over itself");
    copyCommand->footer(help::Rows() + "\n" + help::Addresses() + "\n" + help::Options() + "\n" +
                        help::CopyExamples() + "\n" + help::CopyJson());

    CheckOptions check;
    CLI::App* checkCommand =
        app.add_subcommand("check", "Print every formula that names a missing cell or shape");
    AddFiles(*checkCommand, check.files);
    checkCommand->add_flag("--json", check.json, "Print JSON");
    checkCommand->footer(help::CheckJson());

    std::vector<std::string> arguments = StartConsole(argc, argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    try {
        app.parse(static_cast<int>(pointers.size()), pointers.data());
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? 0 : kUsageError;
    }
    try {
        if (listCommand->parsed()) {
            // The OBJECT, when given, is the last argument, and no Visio file name.
            if (list.files.size() > 1 && !tess::vsdx::IsVisioPackageName(list.files.back())) {
                list.object = list.files.back();
                list.files.pop_back();
            }
            return RunList(list, std::cout);
        }
        if (showCommand->parsed()) {
            show.object = show.files.back();
            show.files.pop_back();
            return RunShow(show, std::cout);
        }
        if (sectionsCommand->parsed()) {
            sections.object = sections.files.back();
            sections.files.pop_back();
            return RunSections(sections, std::cout);
        }
        if (copyCommand->parsed()) return RunCopy(copy, std::cout);
        return RunCheck(check, std::cout);
    } catch (const tess::Error& error) {
        std::cerr << "Tessaline: " << error.Description() << '\n';
        return error.Number() == kUsageError ? kUsageError : kFileStatus;
    } catch (const std::exception& error) {
        std::cerr << "Tessaline: " << error.what() << '\n';
        return kFileStatus;
    }
}
