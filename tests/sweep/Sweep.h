#pragma once

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "cli/Workspace.h"
#include "engine/CopyRun.h"

// The copy sweep: copies picked at random, with a seed, among every drawing the project has
// (shapes at any depth, members of master instances, groups, page sheets, document sheets,
// masters' shapes; any section both sides offer; whole sections or chosen rows in a chosen
// order; every option), each run through the copy engine as the front ends run it, and each
// checked against what every copy must keep true.
namespace tess::sweep {

/// One copy: what a person would choose in the window.
struct CopyCase {
    /// Rows chosen in a multi-row entry: indices into the source's listed rows (as the Rows tab
    /// lists them), and an order of those rows (positions into `chosen`; empty: source order).
    struct Rows {
        int16_t entry = 0;
        std::vector<size_t> chosen;
        std::vector<size_t> order;
        std::vector<std::string> tokens;  // how --rows names each listed row
    };
    enum class SubShapes { Ignore, Cells, Replace };

    std::string drawing;  // the drawing the copy was picked in
    std::string source;   // addresses, as `tessaline-cli list` prints them
    std::vector<std::string> destinations;
    std::vector<int16_t> entries;  // Sections-tab boxes chosen
    std::vector<Rows> rows;
    bool append = false;
    SubShapes subShapes = SubShapes::Ignore;
    bool shapeText = false;
    bool helpString = false;

    /// The choices as tessaline-cli copy options, so that a person can run the copy again.
    std::string Text() const;
    const Rows* RowsOf(int16_t entry) const;
};

/// A front end that shows nothing (the run's messages are in its report) and answers every copy
/// error with Continue, as a person who goes on would; a prompt that answers OK.
class Quiet : public app::IPrompt, public engine::ICopyFrontEnd {
public:
    app::Answer MsgBox(const std::string&, app::Style, const std::string&) override {
        return app::Answer::Ok;
    }
    void Progress(int, int, Stage) override {}
    bool GoOn() override { return true; }
    void SetCopyErrorDetails(const std::vector<std::string>&, const visio::ShapePtr&) override {}
    CopyErrorAnswer ShowCopyError(const std::string&) override { return CopyErrorAnswer::Continue; }
    void ShowMessage(const engine::RunMessage&) override {}
};

/// The one place the sweep asks the engine for a copy: the request a front end would hand in, and
/// the run.
engine::CopyReport RunCase(cli::Workspace& files, const CopyCase& copy);

/// An object a copy can read or write, as the shape tree lists it.
struct SheetEntry {
    std::string address;
    visio::ShapePtr sheet;
    int16_t image = 0;  // the tree's node image: drawing, page, group or shape
    bool inMaster = false;
};
/// Every sheet of the open documents: document sheets, page sheets, shapes at any depth on pages
/// and in masters.
std::vector<SheetEntry> ListSheets(cli::Workspace& files);

/// Picks a copy among the sheets of drawing (the workspace's first document); none when the
/// drawing offers nothing to copy.
std::optional<CopyCase> PickCase(cli::Workspace& files, const std::vector<SheetEntry>& sheets,
                                 std::mt19937_64& random);

/// A broken promise: which copy, and what was wrong.
struct Violation {
    std::string kind;  // a short name the summary counts by
    std::string what;
};

struct SweepOptions {
    uint64_t seed = 1;
    size_t count = 100;
    std::string drawing;             // only drawings whose file name holds this; empty: all
    std::vector<size_t> only;        // only these copies of the seed; empty: 0 to count - 1
    size_t otherReaderEvery = 1;     // read every n-th written file with the other reader
    bool trace = false;              // print each copy before it runs
};

/// The drawings the sweep picks among: every Visio file under the test data folder.
std::vector<std::string> SweepDrawings();

/// Runs the sweep: a line per violation on out and a summary; the number of violations.
size_t RunSweep(const SweepOptions& options, std::ostream& out);

}  // namespace tess::sweep
