#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/StringCollection.h"
#include "engine/WindowState.h"
#include "platform/visio/Error.h"
#include "platform/visio/Host.h"

// One copy run: what goes in (the front end's window state), what the run keeps while it goes
// (the cancel flag, the reference replacement list) and what comes out (the report), and the
// progress interface through which the front end follows and stops it.
namespace tess::engine {

/// A formula the host refused (or a step it refused before any formula was written): where, what
/// and the host's words. cell is -1 when the refusal was not a single cell's.
struct RefusedFormula {
    std::string sectionLabel;  // as the copy error message names it: "Scratch", "Geometry"
    std::string rowLabel;      // "Line Format", a row's name, or empty
    int16_t section = -1;
    int16_t row = -1;
    int16_t cell = -1;
    std::string listedRow;  // the row as the lists name it ("User.Width", "Row 3"); may be empty
    std::string rowName;    // the row's own name, in a section of named rows
    std::string formula;    // as it was to be written; empty when none was
    int32_t errorNumber = 0;
    std::string errorText;  // the host's description
};

/// Something asked that a run could not do on a destination, and why; the rest was done.
struct Shortfall {
    int16_t section = -1;
    std::string text;  // as the run's message says it
};

/// What a run did to one destination.
struct DestinationReport {
    ListItem item;          // the list item; for a destination the run created, key is empty
    visio::ShapePtr sheet;  // the sheet written, for the front end to name it
    bool created = false;
    int rowsAdded = 0;
    int rowsDeleted = 0;
    int cellsWritten = 0;
    int subShapesCreated = 0;
    int subShapesDeleted = 0;
    std::vector<RefusedFormula> refused;
    std::vector<Shortfall> shortfalls;
};

enum class CopyOutcome {
    Complete,              // "Clone Complete.", nothing refused
    CompleteWithRefusals,  // the run went to its end; some formulas were refused, or something
                           // asked could not be done on a destination
    Cancelled,             // Cancel Run (or the progress said stop): what was copied stays
    Failed,                // a check stopped the run, or a destination did not exist
    RolledBack,            // an unexpected failure: the whole run was undone
};

struct CopyReport {
    CopyOutcome outcome = CopyOutcome::Failed;
    std::vector<DestinationReport> destinations;

    /// Every refusal of the run, over all destinations.
    size_t RefusalCount() const;
    /// Everything the run could not do, over all destinations.
    size_t ShortfallCount() const;
};

/// Follows a run: the front end shows where it is and may stop it between destinations. One
/// thread: the calls come from inside the run.
class ICopyProgress {
public:
    enum class Stage { Preparing, SubShapes, Copying };
    virtual ~ICopyProgress() = default;
    /// Destination index (from 1) of count has reached stage.
    virtual void Progress(int index, int count, Stage stage) = 0;
    /// Asked before every destination after the first; false ends the run as Cancel Run does.
    virtual bool GoOn() = 0;
};

/// The state of one run, handed to every step of it.
class CopyRun {
public:
    explicit CopyRun(CopyWindow& state) : window(state) {}

    CopyWindow& window;
    /// Set by Cancel Run in the copy error dialog; nothing more is copied once it is set.
    bool CopyRunCancelled = false;
    /// The reference replacement list: items "old|new", applied in order to every formula.
    app::StringCollection sheetNameMap;
    /// The reference names of the source's members the destination has no match for: formulas
    /// naming them keep them, and the report says so.
    std::vector<std::string> keptMembers;
    /// The sheets (by reference name) whose Geometry the run keeps: formulas still name rows
    /// the copied Geometry would not have.
    std::vector<std::string> geometryKept;
    CopyReport report;

    /// Where the current destination's changes are counted (a scratch entry outside one).
    DestinationReport& Current() {
        return report.destinations.empty() ? m_loose : report.destinations.back();
    }

private:
    DestinationReport m_loose;
};

}  // namespace tess::engine
