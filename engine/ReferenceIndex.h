#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "formula/CellCatalogue.h"
#include "formula/CompactText.h"
#include "formula/Formula.h"
#include "platform/visio/Host.h"

// What the formulas of a page or master name, read once per run: each sheet's formulas are read
// and parsed the first time a copy asks which formulas name one of its neighbours, and again only
// after the run has written that sheet. Over COM every read is a call into another process, and
// a run to every shape of a page would otherwise read the whole page once per destination.
namespace tess::engine {

/// The cell a reference names, as formula::CellName has it but compact: the index keeps one
/// for every reference of every sheet of a page.
struct ReferencedCell {
    int16_t section = 0;
    int16_t row = 0;
    int16_t cell = 0;
    bool named = false;
    formula::CompactText rowName;

    static ReferencedCell Of(const formula::CellName& name);
};

/// A reference a formula makes to a sheet by ID, by name or (to its own sheet) Self, with the
/// section of the sheet the formula is in.
struct SheetReference {
    int16_t inSection = 0;
    formula::SheetKind kind = formula::SheetKind::Self;
    int32_t id = 0;
    formula::CompactText name;
    std::optional<ReferencedCell> cell;
};

/// A sheet as the index keeps it: who it is, where it sits, what it inherits from, and what its
/// formulas name.
struct IndexedSheet {
    int32_t id = 0;
    int16_t type = 0;
    std::string name;
    std::string nameU;
    std::vector<int32_t> groups;  // the groups holding it, nearest first
    std::string master;           // the master it inherits from, by name; empty for none
    int32_t masterShape = 0;      // the shape of that master it inherits from
    std::vector<SheetReference> references;

    /// The sheet's key among its neighbours: its ID, or -1 for a page sheet.
    int32_t Key() const;
    /// Whether a reference of this sheet names target: by ID, by its name or universal name, or
    /// Self when this sheet is target.
    bool Names(const SheetReference& reference, const IndexedSheet& target) const;
};

/// Who a sheet is, without its formulas.
IndexedSheet Identity(const visio::ShapePtr& sheet);
/// A sheet with what its formulas name, each formula read as the copy reads it.
IndexedSheet ReadSheet(app::IPrompt& prompt, const visio::ShapePtr& sheet,
                       std::vector<int32_t> groups);
/// The cells of one row a copy reads, as (section, row, cell) triples added to triples.
void AddRowCells(app::IPrompt& prompt, const visio::ShapePtr& sheet, int16_t section, int16_t row,
                 std::vector<int16_t>& triples);

/// The page (with its page sheet) or master whose sheets' formulas can name a sheet by ID or
/// name. A document sheet, or the page sheet of a master, has none: only its own formulas can.
struct Place {
    std::string key;       // empty for none
    std::string document;  // the document's name
    std::string master;    // the master's name, for a master
    visio::ShapesPtr shapes;
    visio::ShapePtr pageSheet;  // a page's

    static Place Of(const visio::ShapePtr& sheet);
    static Place Of(const visio::PagePtr& page);
};

class ReferenceIndex {
public:
    using Skip = std::function<bool(const IndexedSheet&)>;

    /// The sheets of place whose formulas may name target (by its ID, name or universal name;
    /// target itself for its Self references), but for those skip leaves out.
    std::vector<const IndexedSheet*> Naming(app::IPrompt& prompt, const Place& place,
                                            const IndexedSheet& target, const Skip& skip);

    /// A sheet on a page and the page.
    struct Instance {
        const IndexedSheet* sheet;
        const Place* page;
    };
    /// The sheets on the pages of document that inherit from the shape of ID shape of a master
    /// (any shape of it when shape is nullopt), at any depth.
    std::vector<Instance> Instances(app::IPrompt& prompt, const visio::DocumentPtr& document,
                                    const std::string& master, std::optional<int32_t> shape);

    /// The run has written top and its members (added, deleted, renamed): they are read again
    /// when next asked about, and so are the instances of a master's shapes written.
    void Written(const visio::ShapePtr& top);

private:
    struct Container {
        Place place;
        std::map<int32_t, IndexedSheet> sheets;                // by key: ID, the page sheet -1
        std::map<int32_t, std::set<int32_t>> byId;             // sheet ID named -> sheets naming it
        std::map<std::string, std::set<int32_t>> byName;       // name named, lower case -> sheets
        std::set<int32_t> pending;                             // keys to read again
    };

    Container& Ready(app::IPrompt& prompt, const Place& place);
    void Read(app::IPrompt& prompt, Container& container);
    void ReadAgain(app::IPrompt& prompt, Container& container);
    static void Add(Container& container, IndexedSheet sheet);
    static void Remove(Container& container, int32_t key);
    void MarkWritten(const visio::ShapePtr& top);

    std::map<std::string, Container> m_containers;  // by place key
};

}  // namespace tess::engine
