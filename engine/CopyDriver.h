#pragma once

#include <cstdint>

#include "engine/CopyRun.h"
#include "engine/WindowState.h"
#include "platform/visio/Host.h"

// The copy driver: one copy run from the source to every destination (or to a destination it
// creates), as one undo step of the host; and the sub-shape copy and replacement it calls. The
// front end hands in its window state and gets a report back.
namespace tess::engine {

class CopyDriver {
public:
    /// host: the application the run works in (the attached Visio or the embedded model).
    explicit CopyDriver(visio::ApplicationPtr host) : m_host(std::move(host)) {}

    /// The Copy button: runs the copy. True when the main window is to close afterwards
    /// ("Leave Tessaline running after copy operation is finished" unchecked).
    bool CopyButtonClick(CopyWindow& window, ICopyProgress* progress = nullptr);
    /// One copy run with the window's choices, with every check and message; progress (may be
    /// null) follows it and may stop it between destinations.
    CopyReport BeginCopy(CopyWindow& window, ICopyProgress* progress = nullptr);
    /// True when at least one section box is checked and enabled.
    static bool IsOneSectionChecked(const SectionBoxes& boxes);
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
    /// Where a destination's copy stands in the run, for the progress.
    struct Step {
        ICopyProgress* progress;
        int index;
        int count;
        int16_t flags;
    };

    /// Adds "source!|destination!" to the run's replacement list, under the source's name.
    static void AddReplacement(CopyRun& run, const visio::ShapePtr& source,
                               const visio::ShapePtr& destination);
    /// Adds a replacement for each member of the source (at any depth) to the destination's
    /// matching member; members without one are kept in the run, for the report.
    static void AddMemberReplacements(CopyRun& run, const visio::ShapePtr& source,
                                      const visio::ShapePtr& destination);
    /// Whether shape is the plain destination that a sub-shape replacement put in a new group.
    bool IsKeptMember(const visio::ShapePtr& shape) const;
    /// Deletes the temporary copy of the destination, whatever locks it.
    void DeleteSnapshot();
    /// The copy of one destination (or of the created one): preparation, sub-shapes, sections.
    /// False when the run was cancelled.
    bool CopyTo(CopyRun& run, const Step& step, const visio::ShapePtr& source,
                visio::ShapePtr& destination);
    void CopyConnectionPoints(CopyRun& run, const visio::ShapePtr& source,
                              visio::ShapePtr& destination, int16_t flags);
    void CopyGeometry(CopyRun& run, const visio::ShapePtr& source, visio::ShapePtr& destination,
                      int16_t flags);
    visio::ShapePtr CreateDestination(const CopyWindow& window, const visio::ShapePtr& source,
                                      int16_t image, bool& failed);

    visio::ApplicationPtr m_host;
    visio::ShapePtr m_ovDestSnapshot;  // the destination as it was, until its count is read
    int16_t m_snapshotGeometryCount = 0;  // the Geometry sections the destination had
    visio::MasterPtr m_editCopy;       // the master edit copy of a destination in a master
    visio::ShapePtr m_keptMember;      // a plain destination made a group's member, not replaced
};

/// True when Geometry is chosen and the copy type is Append.
bool IsGeometryAppend(const CopyWindow& window);

}  // namespace tess::engine
