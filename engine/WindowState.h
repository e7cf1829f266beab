#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/RowStores.h"
#include "platform/visio/Host.h"

// What the copy engine reads from the main window, as plain data: the GUI keeps it in step with
// its controls, the command line fills it from its arguments, tests set it directly. The front
// end owns it and hands it to the copy driver; the engine never sees a widget.
namespace tess::engine {

/// Node images of the shape tree: the kind of object a node, and a list item, stands for.
inline constexpr int16_t kImageApplication = 1;
inline constexpr int16_t kImageDrawing = 2;
inline constexpr int16_t kImageStencil = 3;
inline constexpr int16_t kImagePage = 4;
inline constexpr int16_t kImageMaster = 5;
inline constexpr int16_t kImageGroup = 6;
inline constexpr int16_t kImageShape = 7;

/// An item of the source or destination list: the tree node's key, its path as text, its image.
struct ListItem {
    std::string key;
    std::string text;
    int16_t image = 0;
};

/// The shape tree: finds the host object a node key stands for (a document, a page or a shape);
/// null when it no longer exists.
class INodeResolver {
public:
    virtual ~INodeResolver() = default;
    virtual visio::ObjectPtr GetNodeObject(const std::string& key) = 0;
};

/// A check box: its value (0 unchecked, 1 checked, 2 grayed) and whether it is enabled.
struct CheckBox {
    int16_t value = 0;
    bool enabled = true;
};

/// The Options tab (its three frames and their controls). Option buttons of one frame are
/// selected through the Select functions, which clear the others as the controls do.
struct OptionControls {
    bool copyTypeFrameEnabled = false;  // enabled while the destination list has items
    bool optOverwrite = true;
    bool optAppend = false;
    bool subShapesFrameEnabled = true;
    bool optIgnoreSubShapes = true;
    bool optReplaceSubShapes = false;
    bool optCopySubShapes = false;
    CheckBox chkCopyShapeText;
    CheckBox chkCopyHelpString;
    CheckBox chkCreateDestination;
    CheckBox chkLeaveTessalineRunning;

    void SelectOverwrite();
    void SelectAppend();
    void SelectIgnoreSubShapes();
    void SelectReplaceSubShapes();
    void SelectCopySubShapes();
};

/// The copy flags a run is made with.
inline constexpr int16_t CF_APPEND = 0x01;
inline constexpr int16_t CF_OVERWRITE = 0x02;
inline constexpr int16_t CF_SUBSHAPE_CELLS = 0x04;
inline constexpr int16_t CF_ALL_SUBSHAPES = 0x08;
inline constexpr int16_t CF_SHAPE_TEXT = 0x10;
inline constexpr int16_t CF_HELP_STRING = 0x20;

/// The flags of the options as the controls stand: exactly one of append and overwrite, at
/// most one sub-shape mode.
int16_t BuildCopyFlags(const OptionControls& options);

/// The Sections tab: one box per catalogue entry (indices 0 to 28, 40 to 45, 50 and 51) and the
/// enabled states of the page and document frames.
struct SectionBoxes {
    std::array<CheckBox, 52> boxes{};
    bool pageFrameEnabled = false;
    bool documentFrameEnabled = false;
};

/// What the copy error details dialog shows: the formulas of the failed step as read from the
/// source, and the destination of that step; the last failure wins.
struct CopyErrorDetails {
    std::vector<std::string> formulas;
    bool hasFormulas = false;  // false until the first failure stores a list
    visio::ShapePtr problemShape;
};

/// The main window as the engine sees it: frmCellCopy's tabs, the Rows and Row Order tabs'
/// stores and frmCopyErrorDetails.
struct CopyWindow {
    SectionBoxes sections;
    OptionControls options;
    std::vector<ListItem> source;        // lvwSource: at most one item
    std::vector<ListItem> destinations;  // lvwDestination, in list order
    INodeResolver* tree = nullptr;
    RowSelectionStore rowSelection;  // the Rows tab
    RowOrderStore rowOrders;         // the Row Order tab
    CopyErrorDetails errorDetails;   // frmCopyErrorDetails
};

/// The sheet an item stands for: the document sheet of a drawing, the page sheet of a page, the
/// shape itself; null when the item no longer resolves.
visio::ShapePtr ResolveItem(const CopyWindow& window, const ListItem& item);
/// The sheet of the source item, resolved afresh; null when there is no source or it is gone.
visio::ShapePtr GetSourceShape(const CopyWindow& window);

}  // namespace tess::engine
