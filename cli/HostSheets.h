#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "formula/Evaluate.h"
#include "platform/visio/Host.h"

// The sheets of the drawings open in a host, read through the host interface for checking
// formulas: each sheet's formulas of its own, and the references they make resolved as the
// model resolves them. Over COM every member is a call into Visio, so each question (a sheet by
// ID or name, a named row's index, whether a cell exists) is asked once per run.
namespace tess::cli {

/// A formula a sheet holds itself (not inherited from a master or a style).
struct OwnFormula {
    int16_t section = 0;
    int16_t row = 0;
    int16_t cell = 0;
    std::string name;  // as formulas name the cell
    std::string formula;
};

class HostSheets : public formula::ISheetResolver {
public:
    struct Entry;
    /// A page or a master, whose shapes the formulas of its sheets name by ID and name; or a
    /// document alone, for its document sheet.
    struct Place {
        std::string key;
        std::string documentName;
        visio::DocumentPtr document;
        visio::PagePtr page;
        visio::MasterPtr master;
        std::optional<Entry*> sheet;  // its page sheet (or document sheet), once asked
        std::map<int32_t, Entry*> byId;
        std::optional<std::vector<std::pair<std::string, Entry*>>> names;  // Name and NameU
    };

    /// A sheet, and what has been asked of it.
    struct Entry {
        visio::ShapePtr shape;
        Place* place = nullptr;
        std::map<std::tuple<int16_t, int16_t, int16_t>, bool> cells;  // whether each exists
        std::map<std::pair<int16_t, std::string>, int16_t> namedRows;  // by upper-case name
        std::set<int16_t> known;  // sections whose cells and row names are all in the maps
    };

    /// Shapes in the order of their collection, each with its ID.
    using Members = std::vector<std::pair<Sheet, int32_t>>;

    /// The document sheet of a document.
    Sheet DocumentSheet(const visio::DocumentPtr& document);
    /// The page sheet of a page, and its shapes.
    Sheet PageSheet(const visio::DocumentPtr& document, const visio::PagePtr& page);
    Members PageShapes(const visio::DocumentPtr& document, const visio::PagePtr& page);
    /// The page sheet of a master (null when it has none), and its shapes.
    Sheet MasterSheet(const visio::DocumentPtr& document, const visio::MasterPtr& master);
    Members MasterShapes(const visio::DocumentPtr& document, const visio::MasterPtr& master);
    /// The members of a group.
    Members GroupMembers(Sheet group);

    /// The formulas of its own a sheet holds, section by section in index order; the cells
    /// read are remembered as existing.
    std::vector<OwnFormula> OwnFormulas(Sheet sheet);

    /// The sheet whose formulas are resolved next.
    void SetSelf(Sheet sheet) { m_self = static_cast<Entry*>(const_cast<void*>(sheet)); }

    Sheet FindSheet(const formula::SheetSelector& selector) override;
    std::optional<int16_t> FindRow(Sheet sheet, const formula::CellName& cell) override;
    formula::Value CellValue(Sheet sheet, int16_t section, int16_t row, int16_t cell) override;

private:
    Place& PlaceOf(const visio::DocumentPtr& document, const visio::PagePtr& page,
                   const visio::MasterPtr& master);
    Members ShapesOf(Place& place, const visio::ShapesPtr& shapes);
    Entry& EntryOf(Place* place, const std::string& key, const visio::ShapePtr& shape);
    Entry* SheetOfPlace(Place& place);
    Entry* DocumentSheetOf(Place& place);
    Entry* ShapeById(Place& place, int32_t id);
    Entry* ShapeNamed(Place& place, const std::string& name);
    Place* PlaceNamed(Place& near, const std::string& collection, const std::string& item);
    bool Exists(Entry& entry, int16_t section, int16_t row, int16_t cell);
    int16_t NamedRow(Entry& entry, int16_t section, const std::string& name);
    void ReadSection(Entry& entry, int16_t section, std::vector<OwnFormula>& formulas);
    std::vector<std::string> ReadFormulas(Entry& entry, std::vector<OwnFormula>& cells);

    std::map<std::string, Place> m_places;
    std::map<const void*, Place*> m_objects;  // by the document, page or master they hold
    std::map<std::string, Entry> m_entries;
    std::map<std::tuple<std::string, std::string, std::string>, Place*> m_named;
    Entry* m_self = nullptr;
};

}  // namespace tess::cli
