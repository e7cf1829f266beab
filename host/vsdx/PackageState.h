#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/embedded/ModelData.h"
#include "host/vsdx/Package.h"

// What a document read from a package keeps so that it can be written back losing nothing:
// the original package and where its pages and masters are in it. Each save starts again from
// the original parts and brings in what changed in the model since it was read, so positions
// the model remembers (of sections and rows in the file) always refer to the original.
namespace tess::vsdx {

struct XmlPart {
    std::string name;
    std::string bytes;  // the text the DOM was parsed from, in place
    pugi::xml_document dom;
    std::string prefix;  // the bytes before the root element, written back as they were
    bool changed = false;
};

struct Relationship {
    std::string id;
    std::string type;
    std::string target;  // resolved to a part name
    bool external = false;
};

struct PackageState {
    std::optional<Package> package;            // as read; none for a drawing made here
    std::map<std::string, std::string> blank;  // the starting parts of a drawing made here
    std::string path;                          // where it was read from, for messages
    FileVersion version;                       // of the file there, as read or last saved
    std::string documentPart;
    std::string pagesPart;
    std::string mastersPart;
    std::unordered_map<const embedded::PageData*, std::string> pageParts;
    std::unordered_map<const embedded::MasterData*, std::string> masterParts;
    uint64_t readAt = 0;  // the model's change count once read: later changes are written

    bool Has(const std::string& part) const;
    std::string Bytes(const std::string& part) const;
    /// The same bytes piece by piece, never all held at once.
    void Bytes(const std::string& part, const std::function<void(std::string_view)>& piece) const;
    /// The original parts, in package order.
    std::vector<std::string> PartNames() const;
};

/// The parts of a package as one reading or one save sees them: the original parts, parsed on
/// first use, with parts made and removed on the way.
class Parts {
public:
    explicit Parts(const PackageState& state) : m_state(state) {}

    /// A part's XML, parsed on first use; throws for a missing or malformed part.
    XmlPart& Xml(const std::string& part);
    /// Makes a new XML part from its text.
    XmlPart& Create(const std::string& part, const std::string& content);
    void Remove(const std::string& part);
    bool Exists(const std::string& part) const;
    /// Lets go of a parsed part that is no longer needed.
    void Forget(const std::string& part) { m_xml.erase(part); }
    /// The relationships of a part, from its .rels part (none when it has none).
    std::vector<Relationship> Relationships(const std::string& part);

    const std::map<std::string, std::unique_ptr<XmlPart>>& Parsed() const { return m_xml; }
    bool Removed(const std::string& part) const;
    bool AnyRemoved() const { return !m_removed.empty(); }

private:
    const PackageState& m_state;
    std::map<std::string, std::unique_ptr<XmlPart>> m_xml;
    std::vector<std::string> m_removed;
};

/// XML parsing and writing as the package needs them: whitespace kept, depth limited. The
/// part's bytes are parsed in place.
void ParseXml(XmlPart& part, std::string bytes, const std::string& path);
/// Parses the text of one element of a part in place, the same way: offset and depth say where
/// it lies in the part, for messages and for the depth limit.
void ParseXmlElement(pugi::xml_document& dom, std::span<char> text, size_t offset, size_t depth,
                     const std::string& part, const std::string& path);

/// Where an element's text lies in its part: [begin, end).
struct XmlSpan {
    size_t begin = 0;
    size_t end = 0;
};
/// The name of a part's root element, and where the elements of the root's first child named
/// container lie (a contents part's shapes): found by following the tags only, so that each
/// element can be parsed and let go of in turn rather than the whole part at once.
struct XmlOutline {
    std::string root;
    std::vector<XmlSpan> children;
};
/// None when the part has what the outline does not follow (a document type declaration) or
/// tags that do not balance: such a part is parsed whole.
std::optional<XmlOutline> OutlineXml(std::string_view xml, std::string_view container);

/// Follows the tags of a part given piece by piece, as OutlineXml does the whole part: hands
/// on the text of each element of the container as soon as it is complete, and all the text
/// outside them in order, keeping only what it has not handed on yet.
class XmlOutliner {
public:
    struct Handler {
        std::function<void(std::string_view text, size_t offset)> child;  // offset in the part
        std::function<void(std::string_view text)> outside;
    };
    XmlOutliner(std::string_view container, Handler handler)
        : m_container(container), m_handler(std::move(handler)) {}

    /// False once the part has what the outline does not follow.
    bool Feed(std::string_view piece);
    /// At the end of the part: false when its tags do not balance.
    bool Finish();
    const std::string& Root() const { return m_root; }

private:
    void Scan(std::string_view text, bool last);
    void HandOn(std::string_view text);

    std::string m_container;
    Handler m_handler;
    // The text not handed on yet (or soon after), kept from one piece to the next; positions
    // below are in it, or in the piece followed where it lies.
    std::string m_text;
    size_t m_base = 0;  // the offset of that text in the part
    size_t m_at = 0;    // where the tags are followed to
    size_t m_from = 0;  // the first byte not handed on yet
    size_t m_start = std::string::npos;  // the child begun, if any
    int m_depth = 0;
    bool m_inside = false, m_found = false, m_failed = false;
    std::string m_root;
};
/// A shape's start tag, read by following the tags only.
struct ShapeTag {
    int32_t id = -1;  // -1 when it has none that is a number
    bool deleted = false;
};
/// The start tags of the shapes in an element's text, the element's own first; none when the
/// element is not a shape or its tags cannot be followed.
std::optional<std::vector<ShapeTag>> ShapeTagsIn(std::string_view element);
std::string SerializeXml(const XmlPart& part);
/// One element as SerializeXml writes it.
std::string SerializeElement(const pugi::xml_node& element);
/// The part name a relationship target names, from the part that holds the relationship.
std::string ResolvePartName(const std::string& fromPart, const std::string& target);
/// The .rels part of a part.
std::string RelationshipsPartOf(const std::string& part);
/// The text of a Text element, with its run and field markers.
embedded::TextData TextFromXml(const pugi::xml_node& element);
/// A theme part's colors and styles, as the model computes with them.
std::shared_ptr<embedded::ThemeData> ThemeFromXml(const pugi::xml_node& theme);
/// An element's name without its namespace prefix.
std::string_view LocalName(const pugi::xml_node& node);
std::string_view LocalName(std::string_view name);

}  // namespace tess::vsdx
