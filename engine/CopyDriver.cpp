#include "engine/CopyDriver.h"

#include <algorithm>
#include <functional>
#include <set>

#include "app/ErrorReport.h"
#include "app/StringTable.h"
#include "engine/CopyError.h"
#include "engine/CopyPrimitives.h"
#include "engine/RowUse.h"
#include "engine/SectionCatalogue.h"
#include "engine/SectionPreparation.h"
#include "engine/SheetMap.h"
#include "platform/visio/Constants.h"

namespace tess::engine {
namespace {

using app::kTitle;
using visio::ShapePtr;

void Warn(CopyRun& run, const std::string& text) {
    run.MsgBox(text, app::Style::Warning, kTitle);
}

bool Chosen(const CopyRun& run, int16_t index, bool allSections) {
    return allSections || run.request.IsSectionChosen(index);
}

bool IsShapeOrGroup(const ShapePtr& shape) {
    const int16_t type = shape->Type();
    return type == visio::visTypeShape || type == visio::visTypeGroup;
}

bool IsPicture(const ShapePtr& shape) {
    const int16_t foreign = shape->ForeignType();
    return foreign == visio::visTypeMetafile || foreign == visio::visTypeBitmap;
}

/// The document and the page or master a shape is on.
std::string Whereabouts(const ShapePtr& shape) {
    const visio::PagePtr page = shape->ContainingPage();
    const visio::MasterPtr master = page ? nullptr : shape->ContainingMaster();
    return shape->Document()->Name() + (page ? "|page|" + page->Name() : "") +
           (master ? "|master|" + master->Name() : "");
}

/// Whether shape lies inside group, at any depth.
bool Inside(const ShapePtr& shape, const ShapePtr& group) {
    if (Whereabouts(shape) != Whereabouts(group)) return false;
    for (auto parent = std::dynamic_pointer_cast<visio::IShape>(shape->Parent()); parent;
         parent = std::dynamic_pointer_cast<visio::IShape>(parent->Parent())) {
        if (parent->ID() == group->ID()) return true;
    }
    return false;
}

/// The shapes of masters the source inherits its cells from, nearest first.
std::vector<ShapePtr> InheritedFrom(const ShapePtr& source) {
    std::vector<ShapePtr> masters;
    for (ShapePtr shape = source->MasterShape(); shape && masters.size() < 64;
         shape = shape->MasterShape())
        masters.push_back(shape);
    return masters;
}

/// The destinations in the order the run writes them: those the source inherits from come last,
/// nearest first, since writing one changes what the source offers every destination after it.
std::vector<CopyTarget> InheritedLast(std::vector<CopyTarget> destinations,
                                      const ShapePtr& source) {
    const std::vector<ShapePtr> masters = InheritedFrom(source);
    const auto rank = [&](const CopyTarget& destination) {
        for (size_t i = 0; destination.sheet && i < masters.size(); ++i) {
            if (masters[i]->ID() == destination.sheet->ID() &&
                Whereabouts(masters[i]) == Whereabouts(destination.sheet))
                return i + 1;
        }
        return size_t{0};
    };
    std::stable_sort(destinations.begin(), destinations.end(),
                     [&](const CopyTarget& a, const CopyTarget& b) { return rank(a) < rank(b); });
    return destinations;
}

/// Whether the shape is one of the destinations the run was asked for: as a member of another
/// destination it keeps the copy made for it, in whatever order the two are written.
bool Listed(const std::vector<CopyTarget>& destinations, const ShapePtr& shape) {
    return std::any_of(destinations.begin(), destinations.end(), [&](const CopyTarget& listed) {
        return listed.sheet && listed.sheet->ID() == shape->ID() &&
               Whereabouts(listed.sheet) == Whereabouts(shape);
    });
}

/// Whether any two of the source and the destinations lie one inside the other: replacing
/// sub-shapes would then replace the members a copy reads from or writes to.
bool AnyNested(const std::vector<CopyTarget>& destinations, const ShapePtr& source) {
    std::vector<ShapePtr> sheets{source};
    for (const CopyTarget& destination : destinations) {
        if (destination.sheet) sheets.push_back(destination.sheet);
    }
    for (size_t i = 0; i < sheets.size(); ++i) {
        for (size_t j = 0; j < sheets.size(); ++j) {
            if (i != j && Inside(sheets[i], sheets[j])) return true;
        }
    }
    return false;
}

/// Why a destination's sub-shapes are not replaced by the source's, as the report says it; 0
/// when they are (a plain shape becomes a group for them).
int ReplacementRefusal(CopyRun& run, const ShapePtr& source, const ShapePtr& destination) {
    const visio::ShapesPtr sources = source->Shapes();
    const int16_t type = destination->Type();
    if (!sources || sources->Count() == 0 || type == visio::visTypeDoc) return 0;
    // A foreign object or a guide cannot become a group to hold the copies.
    if (type != visio::visTypeGroup && type != visio::visTypeShape) return kNotGroupText;
    if (HasInstances(run, destination)) return kInstancesText;
    const visio::ShapesPtr members = destination->Shapes();
    for (int16_t i = 1; members && i <= members->Count(); ++i) {
        if (members->Item(i)->Cells("LockDelete")->ResultIU() != 0) return kLockedMembersText;
    }
    return MembersNamedFromOutside(run, destination).empty() ? 0 : kMembersNamedText;
}

/// Says what the run could not do, per destination, when there is anything to say.
void ShowShortfalls(CopyRun& run) {
    std::string text;
    for (const DestinationReport& destination : run.report.destinations) {
        for (const Shortfall& shortfall : destination.shortfalls)
            text += "\r" + destination.text + ": " + shortfall.text;
    }
    if (!text.empty()) Warn(run, app::LoadResString(kShortfallsText) + text);
}

/// The group a shape was just made the only member of.
ShapePtr GroupAround(const ShapePtr& shape) {
    shape->ConvertToGroup();
    return std::dynamic_pointer_cast<visio::IShape>(shape->Parent());
}

/// A named-row section: whole by name, or the chosen rows by name.
void CopyNamed(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section) {
    if (ShouldWeCopySection(run, run.request, source, section)) {
        CopyNamedRowSection(run, source, destination, section, 0, true);
    } else {
        CopyNamedRows(run, source, destination, section);
    }
}

/// An indexed section: whole, or the chosen rows in their order.
void CopyIndexed(CopyRun& run, const ShapePtr& source, const ShapePtr& destination, int16_t section,
                 int16_t flags) {
    if (ShouldWeCopySection(run, run.request, source, section)) {
        CopySection(run, source, destination, section, 0, true);
    } else {
        CopyRows(run, source, destination, section, flags);
    }
}

/// What PrepareSections does for a box: a row of the object section, a multi-row section, or
/// the Geometry sections.
struct Preparation {
    int16_t index;
    enum class Kind { ObjectRow, Section, Geometry } kind;
    int16_t number;  // the row or the section
};

constexpr Preparation kPreparations[] = {
    {0, Preparation::Kind::ObjectRow, visio::visRowXForm1D},
    {1, Preparation::Kind::ObjectRow, visio::visRowXFormOut},
    {2, Preparation::Kind::Section, visio::visSectionUser},
    {9, Preparation::Kind::Section, visio::visSectionScratch},
    {28, Preparation::Kind::Section, visio::visSectionSmartTag},
    {3, Preparation::Kind::Section, visio::visSectionProp},
    {4, Preparation::Kind::Section, visio::visSectionHyperlink},
    {5, Preparation::Kind::Section, visio::visSectionConnectionPts},
    {6, Preparation::Kind::Section, visio::visSectionAction},
    {7, Preparation::Kind::Section, visio::visSectionControls},
    {8, Preparation::Kind::Geometry, 0},
    {10, Preparation::Kind::ObjectRow, visio::visRowLock},
    {11, Preparation::Kind::ObjectRow, visio::visRowMisc},
    {12, Preparation::Kind::ObjectRow, visio::visRowGroup},
    {13, Preparation::Kind::ObjectRow, visio::visRowLine},
    {14, Preparation::Kind::ObjectRow, visio::visRowFill},
    {19, Preparation::Kind::ObjectRow, visio::visRowText},
    {20, Preparation::Kind::ObjectRow, visio::visRowTextXForm},
    {21, Preparation::Kind::ObjectRow, visio::visRowLayerMem},
    {22, Preparation::Kind::ObjectRow, visio::visRowEvent},
    {23, Preparation::Kind::ObjectRow, visio::visRowForeign},
    {24, Preparation::Kind::ObjectRow, visio::visRowImage},
    {25, Preparation::Kind::ObjectRow, visio::visRowMisc},
    {27, Preparation::Kind::ObjectRow, visio::visRowShapeLayout},
    {26, Preparation::Kind::ObjectRow, visio::visRowAlign},
    {40, Preparation::Kind::ObjectRow, visio::visRowPage},
    {41, Preparation::Kind::ObjectRow, visio::visRowPageLayout},
    {42, Preparation::Kind::ObjectRow, visio::visRowRulerGrid},
    {43, Preparation::Kind::Section, visio::visSectionLayer},
    {44, Preparation::Kind::Section, visio::visSectionAnnotation},
    {50, Preparation::Kind::ObjectRow, visio::visRowDoc},
    {51, Preparation::Kind::Section, visio::visSectionReviewer},
};

/// The help string, as the run copies it when asked.
void CopyHelp(CopyRun& run, const ShapePtr& source, const ShapePtr& destination) {
    app::IgnoreFailure([&] {
        const std::string help =
            source->CellsSRC(visio::visSectionObject, visio::visRowHelpCopyright, 0)->Formula();
        destination->CellsSRC(visio::visSectionObject, visio::visRowHelpCopyright, 0)
            ->SetFormula(help);
        ++run.Current().cellsWritten;
    });
}


}  // namespace

/// One step of the copy of a destination's sections, in the order the copy takes them: what it
/// copies and the box that chooses it (-1: the options decide alone).
struct SectionStep {
    int16_t index;
    enum class Kind {
        ObjectRow, Named, Indexed, Whole, ConnectionPoints, Geometry,
        HelpString, ShapeText, TextFields, Characters, Paragraphs, Data
    } kind;
    int16_t number = 0;  // the row or the section
};

namespace {

using Step = SectionStep::Kind;

constexpr SectionStep kSectionSteps[] = {
    {2, Step::Named, visio::visSectionUser},
    {9, Step::Indexed, visio::visSectionScratch},
    {-1, Step::HelpString},
    {0, Step::ObjectRow, visio::visRowXForm1D},
    {1, Step::ObjectRow, visio::visRowXFormOut},
    {3, Step::Named, visio::visSectionProp},
    {4, Step::Named, visio::visSectionHyperlink},
    {5, Step::ConnectionPoints},
    {28, Step::Named, visio::visSectionSmartTag},
    {6, Step::Named, visio::visSectionAction},
    {7, Step::Named, visio::visSectionControls},
    {8, Step::Geometry},
    {11, Step::ObjectRow, visio::visRowMisc},
    {13, Step::ObjectRow, visio::visRowLine},
    {14, Step::ObjectRow, visio::visRowFill},
    {-1, Step::ShapeText},
    {15, Step::TextFields},
    {16, Step::Characters},
    {17, Step::Paragraphs},
    {19, Step::ObjectRow, visio::visRowText},
    {20, Step::ObjectRow, visio::visRowTextXForm},
    {21, Step::ObjectRow, visio::visRowLayerMem},
    {22, Step::ObjectRow, visio::visRowEvent},
    {23, Step::ObjectRow, visio::visRowForeign},
    {24, Step::ObjectRow, visio::visRowImage},
    {25, Step::ObjectRow, visio::kRowGlueInfo},
    {27, Step::ObjectRow, visio::visRowShapeLayout},
    {26, Step::ObjectRow, visio::visRowAlign},
    {40, Step::ObjectRow, visio::visRowPage},
    {41, Step::ObjectRow, visio::visRowPageLayout},
    {42, Step::ObjectRow, visio::visRowRulerGrid},
    {43, Step::Indexed, visio::visSectionLayer},
    {44, Step::Whole, visio::visSectionAnnotation},
    {50, Step::ObjectRow, visio::visRowDoc},
    {51, Step::Whole, visio::visSectionReviewer},
    {-1, Step::Data},
    {12, Step::ObjectRow, visio::visRowGroup},
    {10, Step::ObjectRow, visio::visRowLock},
};

}  // namespace

void CopyDriver::AddReplacement(CopyRun& run, const ShapePtr& source, const ShapePtr& destination) {
    AddSheetReplacement(run.sheetNameMap, source, destination);
}

bool CopyDriver::IsKeptMember(const ShapePtr& shape) const {
    // IDs are unique within the page or master the run works in.
    return m_keptMember && shape->ID() == m_keptMember->ID();
}

void CopyDriver::DeleteSnapshot() {
    if (!m_destSnapshot) return;
    const ShapePtr snapshot = std::move(m_destSnapshot);
    m_destSnapshot = nullptr;
    snapshot->Cells("LockDelete")->SetFormula("0");
    snapshot->Delete();
}

CopyReport CopyDriver::BeginCopy(const CopyRequest& request, ICopyFrontEnd& frontEnd) {
    CopyRun run(request, frontEnd);
    RunState state;
    if (!app::Trap(run, app::proc::BeginCopy, [&] { Run(run, state); })) state.commit = false;
    CleanUp(run, state);
    CopyReport report = std::move(run.report);
    report.outcome = !state.commit           ? CopyOutcome::RolledBack
                     : run.CopyRunCancelled  ? CopyOutcome::Cancelled
                     : state.failed          ? CopyOutcome::Failed
                     : report.RefusalCount() + report.ShortfallCount()
                         ? CopyOutcome::CompleteWithRefusals
                                             : CopyOutcome::Complete;
    return report;
}

void CopyDriver::Run(CopyRun& run, RunState& state) {
    if (!CheckChoices(run)) {
        state.failed = true;
        return;
    }
    const CopyRequest& request = run.request;
    // The list as it stands now: a front end that changes its request while a dialog of the
    // run is open cannot pull destinations from under the run.
    const CopyTarget sourceTarget = *request.source;
    state.scope = m_host->BeginUndoScope(kTitle);
    state.scopeOpen = true;
    const ShapePtr source = sourceTarget.sheet;
    if (!source) {
        Warn(run, "The source shape '" + sourceTarget.text + "' does not exist.");
        state.failed = true;
        return;
    }
    // A copy of the list as it stands now: a front end that changes its request while a dialog
    // of the run is open cannot pull destinations from under the run.
    const std::vector<CopyTarget> destinations = InheritedLast(request.destinations, source);
    ShapePtr created;
    if (request.options.createDestination && destinations.empty()) {
        created = CreateDestination(run, source, state.failed);
        if (!created) return;
    }
    if (!CheckDestinations(run, destinations, source, created, state)) return;
    if (!CopyToListed(run, destinations, source, state)) return;
    if (created) {
        m_snapshotGeometryCount = 0;
        run.report.destinations.push_back({{}, {}, created, true});
        if (!CopyTo(run, Step{1, 1, BuildCopyFlags(request)}, source, created)) return;
    }
    ShowShortfalls(run);
    if (!state.failed) {
        run.MsgBox("Clone Complete.", app::Style::Report, kTitle);
    } else {
        Warn(run,
             "An error occured during the copy operation.  Some data may not have been copied.");
    }
}

bool CopyDriver::CheckChoices(CopyRun& run) {
    const CopyRequest& request = run.request;
    if (!request.source) {
        Warn(run, "No source shape selected.");
        return false;
    }
    if (request.sections.empty()) {
        Warn(run, "Please specify at least one section to copy.");
        return false;
    }
    if (!request.options.createDestination && request.destinations.empty()) {
        Warn(run, "No destination shape selected.");
        return false;
    }
    return true;
}

bool CopyDriver::CheckDestinations(CopyRun& run, const std::vector<CopyTarget>& destinations,
                                   const ShapePtr& source, const ShapePtr& created,
                                   RunState& state) {
    for (const CopyTarget& destination : destinations) {
        if (destination.key == run.request.source->key) {
            Warn(run, "One of the destination shapes is the same as the source shape.");
            state.failed = true;
            return false;
        }
    }
    bool typesMatch = true;
    for (const CopyTarget& destination : destinations) {
        if (!destination.sheet) {
            Warn(run, "The destination shape '" + destination.text + "' does not exist.");
            state.failed = true;
        } else if (destination.sheet->Type() != source->Type()) {
            typesMatch = false;
        }
    }
    if ((BuildCopyFlags(run.request) & CF_ALL_SUBSHAPES) && AnyNested(destinations, source)) {
        Warn(run, app::LoadResString(kNestedReplaceText));
        state.failed = true;
        return false;
    }
    if (created && created->Type() != source->Type()) typesMatch = false;
    if (!typesMatch) {
        Warn(run,
             "The object type for source does not match the object type for destination.  Some "
             "cells maybe not be copied.");
    }
    return true;
}

ShapePtr CopyDriver::OpenDestination(const ShapePtr& destination) {
    const int16_t type = destination->Type();
    if (type != visio::visTypeShape && type != visio::visTypeGroup) return destination;
    if (destination->ContainingMaster() && !destination->ContainingPage()) {
        m_editCopy = destination->ContainingMaster()->Open();
        // By ID, which finds a shape nested in the master's groups too.
        const ShapePtr inEditCopy = m_editCopy->Shapes()->ItemFromID(destination->ID());
        m_destSnapshot = m_editCopy->Drop(inEditCopy, 0, 0);
        return inEditCopy;
    }
    m_destSnapshot = destination->ContainingPage()->Drop(destination, 0, 0);
    return destination;
}

bool CopyDriver::CopyToListed(CopyRun& run, const std::vector<CopyTarget>& destinations,
                              const ShapePtr& source, RunState& state) {
    const int16_t flags = BuildCopyFlags(run.request);
    const int count = static_cast<int>(destinations.size());
    for (int i = 0; i < count; ++i) {
        const CopyTarget& target = destinations[static_cast<size_t>(i)];
        if (i > 0 && !run.frontEnd.GoOn()) {
            run.CopyRunCancelled = true;
            return false;
        }
        if (!target.sheet) {
            Warn(run, "The destination shape '" + target.text + "' does not exist.");
            state.failed = true;
            continue;
        }
        ShapePtr destination = OpenDestination(target.sheet);
        // Of the destination as it was, the copy needs its Geometry count. The temporary copy
        // goes before anything is written, so that no copied formula can name it. A sheet
        // without one (a foreign object, a page sheet) is counted as it stands.
        m_snapshotGeometryCount =
            m_destSnapshot ? m_destSnapshot->GeometryCount() : destination->GeometryCount();
        DeleteSnapshot();
        run.report.destinations.push_back({target.key, target.text, destination});
        if (!CopyTo(run, Step{i + 1, count, flags}, source, destination)) return false;
        if (m_editCopy) {
            const visio::MasterPtr editCopy = std::move(m_editCopy);
            m_editCopy = nullptr;
            editCopy->Close();
        }
    }
    return true;
}

void CopyDriver::CleanUp(CopyRun& run, RunState& state) {
    // The temporary copy goes inside the undo scope, so that the run stays one undo step; an
    // edit copy still open is closed, so that a discarded scope takes the master back too.
    app::Trap(run, app::proc::BeginCopy, [&] {
        app::IgnoreFailure([&] { DeleteSnapshot(); });
        m_destSnapshot = nullptr;
        m_keptMember = nullptr;
        if (m_editCopy) {
            const visio::MasterPtr editCopy = std::move(m_editCopy);
            m_editCopy = nullptr;
            app::IgnoreFailure([&] { editCopy->Close(); });
        }
    });
    if (!state.scopeOpen) return;
    // A scope that cannot be ended as asked is discarded, so that no half run stays open.
    if (!app::Trap(run, app::proc::BeginCopy,
                   [&] { m_host->EndUndoScope(state.scope, state.commit); })) {
        state.commit = false;
        app::IgnoreFailure([&] { m_host->EndUndoScope(state.scope, false); });
    }
}

ShapePtr CopyDriver::CreateDestination(CopyRun& run, const ShapePtr& source, bool& failed) {
    const int16_t type = source->Type();
    const bool documentOrPage = type == visio::visTypePage || type == visio::visTypeDoc;
    const visio::DocumentPtr document = documentOrPage ? m_host->ActiveDocument() : nullptr;
    const visio::PagePtr page = documentOrPage ? nullptr : m_host->ActivePage();
    if (!document && !page) {
        Warn(run, "Cannot automatically create destination shape.");
        failed = true;
        return nullptr;
    }
    if (document) {
        if (type == visio::visTypeDoc) return m_host->Documents()->Add("")->DocumentSheet();
        return document->Pages()->Add()->PageSheet();
    }
    if (IsPicture(source)) return source->Duplicate();
    ShapePtr rectangle = page->DrawRectangle(0, 1, 1, 0);
    if (IsGeometryAppend(run.request)) DeleteGeometrySections(rectangle);
    if (source->Type() != visio::visTypeGroup) return rectangle;
    const ShapePtr group = GroupAround(rectangle);
    group->Shapes()->Item(1)->Delete();
    return group;
}

bool CopyDriver::CopyTo(CopyRun& run, const Step& step, const ShapePtr& source,
                        ShapePtr& destination) {
    const int16_t flags = step.flags;
    const auto stage = [&](ICopyFrontEnd::Stage reached) {
        run.frontEnd.Progress(step.index, step.count, reached);
    };
    m_keptMember = nullptr;
    run.sheetNameMap.Clear();
    run.keptMembers.clear();
    run.geometryKept.clear();
    AddReplacement(run, source, destination);
    // References to the source's members go to the destination's matching members, whatever
    // happens to sub-shapes; replaced sub-shapes are matched when they are made.
    if (!(flags & CF_ALL_SUBSHAPES))
        AddMemberReplacements(run.sheetNameMap, run.keptMembers, source, destination);
    const int refusal = flags & CF_ALL_SUBSHAPES ? ReplacementRefusal(run, source, destination) : 0;
    if ((flags & CF_ALL_SUBSHAPES) && !refusal && source->Type() == visio::visTypeGroup &&
        destination->Type() == visio::visTypeShape) {
        // The shape becomes the first member of a new group, which takes the copy; the shape
        // itself stays, with its ID and glue, beside the sub-shapes added. The count read of
        // the shape is not the new group's, which has no Geometry yet.
        m_keptMember = destination;
        destination = GroupAround(destination);
        run.Current().sheet = destination;
        m_snapshotGeometryCount = 0;
    }
    stage(ICopyFrontEnd::Stage::Preparing);
    PrepareSections(run, source, destination, flags, false);
    if (run.CopyRunCancelled) return false;
    if (flags & (CF_SUBSHAPE_CELLS | CF_ALL_SUBSHAPES)) stage(ICopyFrontEnd::Stage::SubShapes);
    if (flags & CF_SUBSHAPE_CELLS) {
        CopySubShapes(run, source, destination, flags);
    } else if (flags & CF_ALL_SUBSHAPES) {
        if (refusal) {
            ReportShortfall(run, -1, app::LoadResString(refusal));
        } else {
            ReplaceSubShapes(run, source, destination, flags);
        }
    }
    if (run.CopyRunCancelled) return false;
    stage(ICopyFrontEnd::Stage::Copying);
    CopySections(run, source, destination, flags, false);
    // What the next destination asks about the formulas naming it sees this one as written.
    run.references.Written(destination);
    return !run.CopyRunCancelled;
}

void CopyDriver::PrepareSections(CopyRun& run, const ShapePtr& source, ShapePtr& destination,
                                 int16_t flags, bool allSections) {
    app::Trap(run, app::proc::PrepareSections, [&] {
        app::IgnoreFailure([&] {
            if (source->Type() == visio::visTypeForeignObject && !IsPicture(source)) {
                Warn(run,
                     "Warning!  Source Shape '" + source->Name() +
                         "' is of type Foreign Object.\r" +
                         "Tessaline does not support copying ActiveX Controls or Embedded/Linked "
                         "Objects, or other "
                         "foreign objects contained within shapes.  " +
                         "Other specified cells will be copied from the source to the destination "
                         "shape.");
            }
        });
        for (const Preparation& preparation : kPreparations) {
            if (!Chosen(run, preparation.index, allSections)) continue;
            switch (preparation.kind) {
                case Preparation::Kind::ObjectRow:
                    if (preparation.index == 0)
                        app::IgnoreFailure([&] { destination->SetOneD(source->OneD()); });
                    PrepareObjectRow(run, source, destination, preparation.number);
                    break;
                case Preparation::Kind::Section:
                    PrepareSection(run, source, destination, preparation.number, flags);
                    break;
                case Preparation::Kind::Geometry:
                    PrepareGeometrySection(run, source, destination, flags);
                    break;
            }
        }
    });
}

void CopyDriver::CopyConnectionPoints(CopyRun& run, const ShapePtr& source, ShapePtr& destination,
                                      int16_t flags) {
    const int16_t section = visio::visSectionConnectionPts;
    // Named when any row has a name: one named row among numbered ones is matched by name too.
    const bool named = HasNamedRows(source, section);
    if (ShouldWeCopySection(run, run.request, source, section)) {
        if (named) {
            CopyNamedRowSection(run, source, destination, section, 0, true);
        } else {
            CopySection(run, source, destination, section, 0, true);
        }
    } else if (named) {
        CopyNamedRows(run, source, destination, section);
    } else {
        CopyRows(run, source, destination, section, flags);
    }
}

void CopyDriver::CopyGeometry(CopyRun& run, const ShapePtr& source, ShapePtr& destination,
                              int16_t flags) {
    const std::vector<std::string>& kept = run.geometryKept;
    if (std::find(kept.begin(), kept.end(), destination->NameID()) != kept.end()) return;
    const int16_t count = source->GeometryCount();
    auto first = static_cast<int16_t>(visio::visSectionFirstComponent);
    app::StringCollection renames;
    if (!(flags & CF_OVERWRITE)) {
        // Behind the Geometry sections the destination had before the copy. Sheets copied
        // without a temporary copy (page sheets, a destination made for the run) had none.
        const int16_t before = m_snapshotGeometryCount;
        first = static_cast<int16_t>(first + before);
        for (int16_t i = 0; i < count; ++i) {
            const std::string from = "Geometry" + std::to_string(i + 1);
            renames.Add(from + ".|Geometry" + std::to_string(before + i + 1) + ".", from);
        }
    }
    for (int16_t i = 0; i < count; ++i) {
        const auto section = static_cast<int16_t>(visio::visSectionFirstComponent + i);
        if (ShouldWeCopySection(run, run.request, source, section)) {
            CopyGeometrySection(run, source, destination, section, first, renames);
        } else {
            CopyGeometryRows(run, source, destination, section, first, renames);
        }
    }
}

void CopyDriver::CopySections(CopyRun& run, const ShapePtr& source, ShapePtr& destination,
                              int16_t flags, bool allSections) {
    app::Trap(run, app::proc::CopySections, [&] {
        bool textCopied = false;
        for (const SectionStep& step : kSectionSteps) {
            // Nothing more is copied once the run is cancelled.
            if (run.CopyRunCancelled) return;
            if (step.index < 0 || Chosen(run, step.index, allSections))
                CopyStep(run, step, source, destination, flags, allSections, textCopied);
        }
    });
}

void CopyDriver::CopyStep(CopyRun& run, const SectionStep& step, const ShapePtr& source,
                          ShapePtr& destination, int16_t flags, bool allSections,
                          bool& textCopied) {
    using Kind = SectionStep::Kind;
    switch (step.kind) {
    case Kind::ObjectRow:
        CopySection(run, source, destination, visio::visSectionObject, step.number, false);
        break;
    case Kind::Named: CopyNamed(run, source, destination, step.number); break;
    case Kind::Indexed: CopyIndexed(run, source, destination, step.number, flags); break;
    case Kind::Whole: CopySection(run, source, destination, step.number, 0, true); break;
    case Kind::ConnectionPoints: CopyConnectionPoints(run, source, destination, flags); break;
    case Kind::Geometry: CopyGeometry(run, source, destination, flags); break;
    case Kind::HelpString:
        if ((flags & CF_HELP_STRING) && IsShapeOrGroup(destination)) CopyHelp(run, source, destination);
        break;
    case Kind::ShapeText:
        textCopied = (flags & CF_SHAPE_TEXT) && IsShapeOrGroup(destination);
        if (textCopied) SetCharacterText(run, source, destination, Chosen(run, 15, allSections));
        break;
    case Kind::TextFields: CopyTextFields(run, source, destination, flags, textCopied); break;
    case Kind::Characters:
        PrepareCharactersSection(run, source, destination);
        CopySection(run, source, destination, visio::visSectionCharacter, 0, true);
        break;
    case Kind::Paragraphs:
        PrepareParagraphSection(run, source, destination);
        CopySection(run, source, destination, visio::visSectionParagraph, 0, true);
        break;
    case Kind::Data:
        if (IsShapeOrGroup(source)) {
            destination->SetData1(source->Data1());
            destination->SetData2(source->Data2());
            destination->SetData3(source->Data3());
        }
        break;
    }
}

void CopyDriver::CopySubShapes(CopyRun& run, const ShapePtr& source, ShapePtr& destination,
                               int16_t flags) {
    app::Trap(run, app::proc::CopySubShapes, [&] {
        const visio::ShapesPtr sources = source->Shapes();
        const visio::ShapesPtr destinations = destination->Shapes();
        const int16_t sourceCount = sources ? sources->Count() : int16_t{0};
        const int16_t destinationCount = destinations ? destinations->Count() : int16_t{0};
        for (int16_t i = 1; i <= sourceCount; ++i) {
            if (run.CopyRunCancelled) return;
            const ShapePtr from = sources->Item(i);
            const std::string name = from->Name();
            ShapePtr to;
            for (int16_t j = 1; j <= destinationCount && !to; ++j) {
                const ShapePtr candidate = destinations->Item(j);
                if (candidate->Name() == name) to = candidate;
            }
            if (!to) continue;
            if (Listed(run.request.destinations, to)) {
                ReportShortfall(run, -1, app::FormatResString(kListedMemberText, to->Name()));
                continue;
            }
            AddReplacement(run, from, to);
            PrepareSections(run, from, to, flags, false);
            CopySections(run, from, to, flags, false);
            if (from->Shapes()->Count() > 0) CopySubShapes(run, from, to, flags);
        }
    });
}

/// A new member of destination for the source member from: a pasted copy of a picture, else
/// an empty rectangle (a group around it for a group), drawn through window.
ShapePtr CopyDriver::MakeMember(const ShapePtr& from, const ShapePtr& destination,
                                const visio::WindowPtr& window) {
    ShapePtr member;
    if (from->Type() == visio::visTypeForeignObject && IsPicture(from)) {
        from->Copy();
        window->Paste();
        member = window->Selection()->Item(1);
    } else {
        member = destination->DrawRectangle(10, 10, 10, 10);
        DeleteGeometrySections(member);
    }
    if (from->Type() == visio::visTypeGroup) member = GroupAround(member);
    member->SetOneD(from->OneD());
    return member;
}

void CopyDriver::DeleteFormerMembers(CopyRun& run, const visio::ShapesPtr& members,
                                     const std::string& kept) {
    for (int16_t j = members->Count(); j >= 1; --j) {
        const ShapePtr former = members->Item(j);
        if (former->Name() != kept && !IsKeptMember(former)) {
            former->Delete();
            ++run.Current().subShapesDeleted;
        }
    }
}

void CopyDriver::ReplaceSubShapes(CopyRun& run, const ShapePtr& source, ShapePtr& destination,
                                  int16_t flags) {
    visio::WindowPtr window;
    visio::CellPtr lock;
    std::string savedLock;
    std::vector<std::pair<ShapePtr, ShapePtr>> made;  // source sub-shape, new sub-shape
    const auto closeWindow = [&] {
        const visio::WindowPtr open = std::move(window);
        window = nullptr;
        if (open) open->Close();
    };
    const auto restore = [&] {
        app::IgnoreFailure(closeWindow);
        if (!savedLock.empty()) {
            lock->SetFormula(savedLock);
            savedLock.clear();
        }
    };
    const bool done = app::Trap(run, app::proc::ReplaceSubShapes, [&] {
        if (source->Type() == visio::visTypeDoc || destination->Type() == visio::visTypeDoc) return;
        const visio::ShapesPtr sources = source->Shapes();
        const visio::ShapesPtr destinations = destination->Shapes();
        const int16_t n = sources ? sources->Count() : int16_t{0};
        if (n == 0) return;
        lock = destination->Cells("LockGroup");
        if (lock->ResultIU() != 0) {
            savedLock = lock->Formula();
            lock->SetResultIU(0);
        }
        for (int16_t i = 1; i <= n && !run.CopyRunCancelled; ++i) {
            const ShapePtr from = sources->Item(i);
            window = destination->OpenDrawWindow();
            ShapePtr member = MakeMember(from, destination, window);
            if (i == 1) DeleteFormerMembers(run, destinations, member->Name());
            ++run.Current().subShapesCreated;
            member->SetNameU(from->NameU());
            AddReplacement(run, from, member);
            PrepareSections(run, from, member, flags, true);
            if (from->Shapes()->Count() > 0) ReplaceSubShapes(run, from, member, flags);
            made.emplace_back(from, member);
            closeWindow();
        }
        restore();
        for (auto& [from, member] : made)
            CopySections(run, from, member, flags, true);
    });
    if (!done) app::IgnoreFailure(restore);
}

}  // namespace tess::engine
