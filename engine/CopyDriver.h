#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/CopyRequest.h"
#include "engine/CopyRun.h"
#include "platform/visio/Host.h"

// The copy driver: one copy run from the source to every destination (or to a destination it
// creates), as one undo step of the host; and the sub-shape copy and replacement it calls. The
// front end hands in a request and its front-end interface, and gets the run's report back.
namespace tess::engine {

struct SectionStep;

class CopyDriver {
public:
    /// host: the application the run works in (the attached Visio or the embedded model).
    explicit CopyDriver(visio::ApplicationPtr host) : m_host(std::move(host)) {}

    /// One copy run, with every check and message; the front end follows it, answers its copy
    /// errors and may stop it between destinations.
    CopyReport BeginCopy(const CopyRequest& request, ICopyFrontEnd& frontEnd);
    /// Prepares the destination for the chosen sections (every section with allSections).
    void PrepareSections(CopyRun& run, const visio::ShapePtr& source, visio::ShapePtr& destination,
                         int16_t flags, bool allSections);
    /// Copies the chosen sections (every section with allSections).
    void CopySections(CopyRun& run, const visio::ShapePtr& source, visio::ShapePtr& destination,
                      int16_t flags, bool allSections);
    /// Copies the chosen sections from each source sub-shape to the destination sub-shape of the
    /// same name, to any depth.
    void CopySubShapes(CopyRun& run, const visio::ShapePtr& source, visio::ShapePtr& destination,
                       int16_t flags);
    /// Replaces the destination group's sub-shapes by new ones built from all the source's.
    void ReplaceSubShapes(CopyRun& run, const visio::ShapePtr& source, visio::ShapePtr& destination,
                          int16_t flags);

private:
    /// Where a run stands: what the clean-up and the outcome need.
    struct RunState {
        bool failed = false;  // a check stopped the run, or a destination did not exist
        bool commit = true;   // false after an unexpected failure: the run is undone
        bool scopeOpen = false;
        int32_t scope = 0;
    };
    /// Where a destination's copy stands in the run, for the progress.
    struct Step {
        int index;
        int count;
        int16_t flags;
    };

    /// The run between its first check and its closing message.
    void Run(CopyRun& run, RunState& state);
    /// The checks made before anything is opened: a source, a section, a destination.
    static bool CheckChoices(CopyRun& run);
    /// No destination equal to the source; each listed one exists (a message for each that
    /// does not, and state.failed); a warning when a destination's object type differs from
    /// the source's. False when the run stops here.
    static bool CheckDestinations(CopyRun& run, const std::vector<CopyTarget>& destinations,
                                  const visio::ShapePtr& source, const visio::ShapePtr& created,
                                  RunState& state);
    /// The copy to each listed destination in turn; false when the run was cancelled.
    bool CopyToListed(CopyRun& run, const std::vector<CopyTarget>& destinations,
                      const visio::ShapePtr& source, RunState& state);
    /// The temporary copy, the master's edit copy, the scope: closed on every path.
    void CleanUp(CopyRun& run, RunState& state);

    /// Adds "source!|destination!" to the run's replacement list, under the source's name.
    static void AddReplacement(CopyRun& run, const visio::ShapePtr& source,
                               const visio::ShapePtr& destination);
    /// Whether shape is the plain destination that a sub-shape replacement put in a new group.
    bool IsKeptMember(const visio::ShapePtr& shape) const;
    /// A new member of destination made for the source member from, drawn through window.
    static visio::ShapePtr MakeMember(const visio::ShapePtr& from,
                                      const visio::ShapePtr& destination,
                                      const visio::WindowPtr& window);
    /// Deletes the members of a group being replaced, but the one named kept (the first new
    /// member) and a plain destination made the group's member.
    void DeleteFormerMembers(CopyRun& run, const visio::ShapesPtr& members, const std::string& kept);
    /// Deletes the temporary copy of the destination, whatever locks it.
    void DeleteSnapshot();
    /// A destination in a master is copied to through the master's edit copy; a shape gets a
    /// temporary copy of itself first. Returns the sheet to copy to.
    visio::ShapePtr OpenDestination(const visio::ShapePtr& destination);
    /// The copy of one destination (or of the created one): preparation, sub-shapes, sections.
    /// False when the run was cancelled.
    bool CopyTo(CopyRun& run, const Step& step, const visio::ShapePtr& source,
                visio::ShapePtr& destination);
    /// One step of CopySections; textCopied tells the Text Fields step whether the shape's text
    /// was just copied.
    void CopyStep(CopyRun& run, const SectionStep& step, const visio::ShapePtr& source,
                  visio::ShapePtr& destination, int16_t flags, bool allSections, bool& textCopied);
    void CopyConnectionPoints(CopyRun& run, const visio::ShapePtr& source,
                              visio::ShapePtr& destination, int16_t flags);
    void CopyGeometry(CopyRun& run, const visio::ShapePtr& source, visio::ShapePtr& destination,
                      int16_t flags);
    visio::ShapePtr CreateDestination(CopyRun& run, const visio::ShapePtr& source, bool& failed);

    visio::ApplicationPtr m_host;
    visio::ShapePtr m_destSnapshot;       // the destination as it was, until its count is read
    int16_t m_snapshotGeometryCount = 0;  // the Geometry sections the destination had
    visio::MasterPtr m_editCopy;     // the master edit copy of a destination in a master
    visio::ShapePtr m_keptMember;    // a plain destination made a group's member, not replaced
};

}  // namespace tess::engine
