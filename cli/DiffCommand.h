#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/Json.h"
#include "window/SheetDiff.h"

// The diff command: two objects' sections, rows, formulas and values compared, the first's
// references read as a copy to the second would write them; and the listing that copy --diff
// prints of what a copy changes.
namespace tess::cli {

struct DiffOptions {
    /// FILE A B, FILE1 FILE2 A, or FILE1 FILE2 A B; with visio, A B.
    std::vector<std::string> arguments;
    bool visio = false;  // the objects are in the drawings open in the running Visio
    std::vector<std::string> sections;  // captions; empty: every entry either object offers
    bool json = false;
};

/// Exit status 0 when nothing differs, 1 when something does.
int RunDiff(const DiffOptions& options, std::ostream& out);

/// One object as a comparison names it.
struct ComparedObject {
    std::string address;
    std::string name;
    std::string kind;
    std::string file;
};

/// Two objects compared; an object missing on one side has an empty address there.
struct Comparison : window::SheetComparison {
    std::string labels[2] = {"A", "B"};
    ComparedObject objects[2];

    /// Differences, counting an object missing on one side (and so not compared) as one.
    size_t Count() const;
};

/// The readable listing: the objects, then per section what differs, aligned.
void PrintComparison(std::ostream& out, const Comparison& comparison);
Json ComparisonJson(const Comparison& comparison);

namespace help {
/// The forms of diff, with examples.
std::string DiffForms();
/// What diff --json prints, and what copy --diff adds to copy's JSON.
std::string DiffJson();
std::string CopyDiffJson();
}  // namespace help

}  // namespace tess::cli
