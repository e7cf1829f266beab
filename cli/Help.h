#pragma once

#include <string>

// The longer texts of tessaline-cli's --help: how OBJECTs and rows are written, and what each
// command's --json prints. The JSON texts list every member path ("refused[].message") on a line
// of its own, two spaces in, so that what is printed and what is described can be compared.
namespace tess::cli::help {

/// The OBJECT addresses, with examples.
std::string Addresses();
/// --visio: how the program attaches to the running Visio, and which build works on what.
std::string Visio();
/// Where the copy options come from.
std::string Options();
/// Recipes: what they are, the flags beside them, their JSON.
std::string Recipes();
/// What --section, --all-sections, --rows and --order accept.
std::string Rows();
/// Examples of whole copy commands.
std::string CopyExamples();

std::string ListJson();
std::string ShowJson();
std::string SectionsJson();
std::string CopyJson();
std::string CheckJson();
/// What check --values compares, prints and excludes, and its JSON.
std::string CheckValues();

}  // namespace tess::cli::help
