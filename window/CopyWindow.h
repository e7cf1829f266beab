#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "engine/CopyRequest.h"
#include "platform/visio/Host.h"
#include "platform/visio/Resolver.h"
#include "window/RowStores.h"

// The main window without its widgets: what its tabs hold as plain data. The desktop program
// keeps it in step with its controls and builds each copy's request from it; the tabs' rules
// work on it.
namespace tess::window {

using visio::kImageApplication;
using visio::kImageDrawing;
using visio::kImageGroup;
using visio::kImageMaster;
using visio::kImagePage;
using visio::kImageShape;
using visio::kImageStencil;

/// An item of the source or destination list: the tree node's key, its path as text, its image.
struct ListItem {
    std::string key;
    std::string text;
    int16_t image = 0;
};

/// A check box: its value (0 unchecked, 1 checked) and whether it is enabled.
struct CheckBox {
    int16_t value = 0;
    bool enabled = true;
};

/// The Sections tab: one box per catalogue entry (indices 0 to 28, 40 to 45, 50 and 51) and the
/// enabled states of the page and document frames.
struct SectionBoxes {
    std::array<CheckBox, 52> boxes{};
    bool pageFrameEnabled = false;
    bool documentFrameEnabled = false;
};

/// The Options tab: how a copy is made, and whether the program stays open after one. As the
/// tab shows them before the stored ones are read: overwrite, ignore sub-shapes, all off.
struct StoredOptions {
    engine::CopyOptions copy;
    bool leaveRunning = false;

    bool operator==(const StoredOptions&) const = default;
};

/// The main window's state. host and prompt are what its rules work through: the application
/// the lists' keys name objects of, and where their failures are reported.
struct CopyWindow {
    CopyWindow(visio::ApplicationPtr application, app::IPrompt& messages, std::string treeKey = {})
        : host(std::move(application)), prompt(messages), applicationId(std::move(treeKey)) {}

    visio::ApplicationPtr host;
    app::IPrompt& prompt;
    /// The key of the shape tree's application node, which the lists' keys begin with.
    std::string applicationId;

    SectionBoxes sections;
    StoredOptions options;
    std::vector<ListItem> source;        // lvwSource: at most one item
    std::vector<ListItem> destinations;  // lvwDestination, in list order
    RowSelectionStore rowSelection;      // the Rows tab
    RowOrderStore rowOrders;             // the Row Order tab
};

/// The object a list item's key names now: a document, a page or a shape (a null object when
/// it names nothing), and its sheet.
visio::ResolvedObject ResolveItem(const CopyWindow& window, const ListItem& item);
/// The sheet of the source item, resolved afresh; null when there is no source or it is gone.
visio::ShapePtr GetSourceShape(const CopyWindow& window);
/// True when Geometry is chosen and the copy type is Append.
bool IsGeometryAppend(const CopyWindow& window);

/// The key by which an item keeps naming its sheet whatever the tree shows meanwhile: the
/// sheet's key below the application node (a shape of the active page is otherwise named by
/// its unique ID, which another active page does not have). The key as given when the sheet
/// cannot be named.
std::string LastingKey(const CopyWindow& window, const std::string& key);
/// A document was saved under another name: the items of its sheets follow it, in key and text.
void RenameDocumentInItems(CopyWindow& window, const std::string& oldName,
                           const std::string& newName);
/// A document was closed: the items of its sheets leave both lists. Returns how many left.
size_t RemoveItemsOfDocument(CopyWindow& window, const std::string& name);

/// The copy the window stands for now: the source and the destinations resolved, the sections
/// that are checked and enabled, the rows and orders of the Rows and Row Order tabs, the
/// options.
engine::CopyRequest MakeRequest(const CopyWindow& window);

}  // namespace tess::window
