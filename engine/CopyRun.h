#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "app/StringCollection.h"
#include "engine/CopyRequest.h"
#include "engine/ReferenceIndex.h"
#include "platform/visio/Error.h"
#include "platform/visio/Host.h"

// One copy run: what it keeps while it goes (the cancel flag, the reference replacement list),
// what comes out (the report), and the front end that follows it, answers its copy errors and
// shows its messages.
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
    std::string cellName;  // the refused cell as formulas name it ("Prop.Cost.Label"); may be empty
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
    std::string key;  // as the request named it; empty for a destination the run made
    std::string text;
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
    Cancelled,             // Cancel Run (or the front end said stop): what was copied stays
    Failed,                // a check stopped the run, or a destination did not exist
    RolledBack,            // an unexpected failure: the whole run was undone
};

/// A message of the run, as its message box shows it.
struct RunMessage {
    std::string text;
    app::Style style = app::Style::Report;
    std::string title;

    bool operator==(const RunMessage&) const = default;
};

struct CopyReport {
    CopyOutcome outcome = CopyOutcome::Failed;
    std::vector<DestinationReport> destinations;
    /// Every message of the run, in order: its checks and warnings, error reports, and the
    /// closing "Clone Complete." or failure.
    std::vector<RunMessage> messages;

    /// Every refusal of the run, over all destinations.
    size_t RefusalCount() const;
    /// Everything the run could not do, over all destinations.
    size_t ShortfallCount() const;
};

/// The front end of a run: shows where the run is and may stop it, answers the copy error
/// dialog, and shows the run's messages. One thread: the calls come from inside the run.
class ICopyFrontEnd {
public:
    enum class Stage { Preparing, SubShapes, Copying };
    enum class CopyErrorAnswer { Continue, CancelRun };
    virtual ~ICopyFrontEnd() = default;

    /// Destination index (from 1) of count has reached stage.
    virtual void Progress(int index, int count, Stage stage) = 0;
    /// Asked before every destination after the first; false ends the run as Cancel Run does.
    virtual bool GoOn() = 0;
    /// What the copy error details show from now on: the formulas of the failed step as read
    /// from the source, and the destination of that step.
    virtual void SetCopyErrorDetails(const std::vector<std::string>& formulas,
                                     const visio::ShapePtr& problemShape) = 0;
    /// The names of the cells the formulas of the last SetCopyErrorDetails came from, in the
    /// same order ("Prop.Cost.Label"), for a front end that lists each formula with its cell.
    virtual void SetCopyErrorCells(const std::vector<std::string>& cellNames) { (void)cellNames; }
    /// What the copy error about to be shown refused (as the run's report keeps it), for a front
    /// end that names the cell and formula beside the message. Called right before ShowCopyError.
    virtual void SetRefusal(const RefusedFormula& refused) { (void)refused; }
    /// The copy error dialog (modal): a refused step's message; Continue or Cancel Run.
    virtual CopyErrorAnswer ShowCopyError(const std::string& message) = 0;
    /// One of the run's messages (it also goes into the report).
    virtual void ShowMessage(const RunMessage& message) = 0;
};

/// The state of one run, handed to every step of it. Its messages, error reports included, go
/// to the front end and into the report.
class CopyRun : public app::IPrompt {
public:
    CopyRun(const CopyRequest& asked, ICopyFrontEnd& following)
        : request(asked), frontEnd(following) {}

    const CopyRequest& request;
    ICopyFrontEnd& frontEnd;
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
    /// What the formulas of the pages and masters the run looks at name, read once per run.
    ReferenceIndex references;
    CopyReport report;

    /// Where the current destination's changes are counted (a scratch entry outside one).
    DestinationReport& Current() {
        return report.destinations.empty() ? m_loose : report.destinations.back();
    }
    /// Shows a message of the run and keeps it in the report; the answer is always OK.
    app::Answer MsgBox(const std::string& text, app::Style style,
                       const std::string& title) override;

    /// The formulas of a sheet's (section, row, cell) triples. The run source's are read from
    /// the host once per run, since the source does not change while the run writes: over COM
    /// every read is a call into another process.
    std::vector<std::string> SourceFormulas(const visio::ShapePtr& sheet,
                                            const std::vector<int16_t>& cells);
    /// The names of the first count rows of a section of a sheet; the run source's once per run.
    std::vector<std::string> SourceRowNames(const visio::ShapePtr& sheet, int16_t section,
                                            int16_t count);

    /// A sheet's reference name ("Sheet.5"); the run source's asked once per run.
    std::string SourceName(const visio::ShapePtr& sheet);

private:
    bool IsRunSource(const visio::ShapePtr& sheet) const;

    DestinationReport m_loose;
    std::map<std::vector<int16_t>, std::vector<std::string>> m_sourceFormulas;
    std::map<int16_t, std::vector<std::string>> m_sourceRowNames;
    std::string m_sourceName;
};

}  // namespace tess::engine
