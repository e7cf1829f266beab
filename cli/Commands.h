#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/Session.h"

// The commands of tessaline-cli. Each returns its exit status (0 or 1); a usage error (status 2)
// or a file that cannot be read or written (status 3) is thrown as the program's Error. Each
// works on the files its options name, or on the drawings open in the running Visio.
namespace tess::cli {

struct ListOptions : Drawings {
    std::string object;  // empty: the whole tree
    int depth = -1;      // levels of shapes shown below a page or master; -1: all
    std::string find;    // when given, only the objects whose name, master or address holds it
    bool json = false;
};

struct ShowOptions : Drawings {
    std::string object;
    std::vector<std::string> sections;  // captions; empty: every entry the object enables
    bool json = false;
};

struct SectionsOptions : Drawings {
    std::string object;
    bool json = false;
};

/// The copy command's arguments. The copy options are set only when their flags were given: a
/// recipe's stand otherwise, and without a recipe, the defaults (overwrite, ignore sub-shapes,
/// everything else off).
struct CopyOptions : Drawings {
    std::string from;
    std::vector<std::string> to;
    std::vector<std::string> sections;
    bool allSections = false;
    std::vector<std::string> rows;    // CAPTION=ROW[,ROW]...
    std::vector<std::string> orders;  // CAPTION=ROW[,ROW]...
    std::optional<bool> append;
    std::optional<std::string> subShapes;  // ignore, cells or replace
    std::optional<bool> shapeText;
    std::optional<bool> helpString;
    std::optional<bool> createDestination;
    std::string recipe;      // a recipe file to copy as
    std::string saveRecipe;  // where to write the recipe of this copy
    std::string onError = "continue";
    bool dryRun = false;
    bool diff = false;  // print what the copy changed in each destination
    bool json = false;
    std::string output;
    bool inPlace = false;
};

struct CheckOptions : Drawings {
    bool values = false;  // compare the values the files store instead (ValuesCheck.h)
    bool json = false;
};

int RunList(const ListOptions& options, std::ostream& out);
int RunShow(const ShowOptions& options, std::ostream& out);
int RunSections(const SectionsOptions& options, std::ostream& out);
int RunCopy(const CopyOptions& options, std::ostream& out);
int RunCheck(const CheckOptions& options, std::ostream& out);

}  // namespace tess::cli
