#include "host/vsdx/PackageState.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "host/embedded/Model.h"

namespace tess::vsdx {
namespace {

constexpr size_t kMaxDepth = 256;  // Visio's deepest XML is a few levels below nested groups

constexpr unsigned kParseFlags = (pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_pi |
                                  pugi::parse_comments | pugi::parse_doctype) &
                                 ~(pugi::parse_eol | pugi::parse_wconv_attribute);

size_t Depth(const pugi::xml_node& root) {
    size_t deepest = 0, depth = 0;
    pugi::xml_node node = root.first_child();
    while (node) {
        deepest = std::max(deepest, ++depth);
        if (deepest > kMaxDepth) return deepest;
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        --depth;
        while (node && !node.next_sibling()) {
            node = node.parent();
            if (node == root) return deepest;
            --depth;
        }
        if (node) node = node.next_sibling();
    }
    return deepest;
}

std::string DirectoryOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

}  // namespace

std::string_view LocalName(const pugi::xml_node& node) {
    return LocalName(std::string_view(node.name()));
}

std::string_view LocalName(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

void ParseXmlElement(pugi::xml_document& dom, std::span<char> text, size_t offset, size_t depth,
                     const std::string& part, const std::string& path) {
    const pugi::xml_parse_result result =
        dom.load_buffer_inplace(text.data(), text.size(), kParseFlags, pugi::encoding_utf8);
    if (!result) {
        Fail(packerr::kMalformed, path,
             "has malformed XML in '" + part + "' at byte " +
                 std::to_string(offset + static_cast<size_t>(result.offset)) + " (" +
                 result.description() + ")");
    }
    if (!dom.document_element())
        Fail(packerr::kMalformed, path, "has an empty part '" + part + "'");
    if (Depth(dom) + depth > kMaxDepth)
        Fail(packerr::kTooLarge, path, "nests the XML of '" + part + "' far deeper than any drawing");
}

namespace {

size_t PastUntagged(std::string_view xml, size_t at);

/// Where the root element's start tag opens: past the declaration, processing instructions,
/// comments and a document type declaration, each taken whole (a '<' inside one is its text).
size_t RootStart(std::string_view xml) {
    size_t at = xml.find('<');
    while (at != std::string_view::npos) {
        const size_t past = PastUntagged(xml, at);
        if (past == std::string_view::npos) return past;
        if (past == at && xml.substr(at, 2) != "<!") return at;
        at = xml.find('<', past == at ? at + 1 : past);
    }
    return at;
}

}  // namespace

void ParseXml(XmlPart& part, std::string bytes, const std::string& path) {
    // The declaration and anything else before the root element are written back verbatim.
    const size_t root = RootStart(bytes);
    part.prefix = root == std::string::npos ? std::string() : bytes.substr(0, root);
    part.bytes = std::move(bytes);
    ParseXmlElement(part.dom, part.bytes, 0, 0, part.name, path);
}

namespace {

/// Past the '>' of the tag that opens at `at`, skipping quoted values; npos when it never ends.
size_t TagEnd(std::string_view xml, size_t at) {
    char quote = 0;
    for (size_t i = at + 1; i < xml.size(); ++i) {
        const char c = xml[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

/// The name of the element whose start tag opens at `at`.
std::string_view TagName(std::string_view xml, size_t at) {
    size_t end = at + 1;
    while (end < xml.size() && !std::isspace(static_cast<unsigned char>(xml[end])) &&
           xml[end] != '/' && xml[end] != '>')
        ++end;
    return xml.substr(at + 1, end - at - 1);
}

/// Past the comment, CDATA section or processing instruction that opens at `at` (none of them
/// holds tags); `at` when none opens there, npos when it never ends.
size_t PastUntagged(std::string_view xml, size_t at) {
    static constexpr std::pair<std::string_view, std::string_view> kUntagged[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
    for (const auto& [open, close] : kUntagged) {
        if (xml.substr(at, open.size()) != open) continue;
        const size_t end = xml.find(close, at + open.size());
        return end == std::string_view::npos ? end : end + close.size();
    }
    return at;
}

}  // namespace

std::optional<XmlOutline> OutlineXml(std::string_view xml, std::string_view container) {
    XmlOutline outline;
    XmlOutliner outliner(container, {[&](std::string_view text, size_t offset) {
                                         outline.children.push_back({offset, offset + text.size()});
                                     },
                                     [](std::string_view) {}});
    if (!outliner.Feed(xml) || !outliner.Finish()) return std::nullopt;
    outline.root = outliner.Root();
    return outline;
}

bool XmlOutliner::Feed(std::string_view piece) {
    if (m_failed) return false;
    // Followed where it lies when nothing is kept from the piece before: a part given whole
    // is not copied.
    std::string_view text = piece;
    if (!m_text.empty()) text = m_text += piece;
    Scan(text, false);
    if (!m_failed) HandOn(text);
    return !m_failed;
}

bool XmlOutliner::Finish() {
    if (!m_failed) Scan(m_text, true);
    if (m_failed || m_depth != 0) return false;
    HandOn(m_text);
    return true;
}

void XmlOutliner::Scan(std::string_view xml, bool last) {
    // The longest opening PastUntagged must see whole to know what opens there.
    constexpr size_t kLongestOpening = 9;
    for (size_t at = xml.find('<', m_at); at != std::string_view::npos; at = xml.find('<', at)) {
        m_at = at;
        if (!last && xml.size() - at < kLongestOpening) return;  // wait for more
        const size_t untagged = PastUntagged(xml, at);
        if (untagged == std::string_view::npos) {
            m_failed = last;  // else it may end in the next piece
            return;
        }
        if (untagged != at) {
            at = untagged;
            continue;
        }
        if (xml.substr(at, 2) == "<!") {  // a document type declaration
            m_failed = true;
            return;
        }
        const size_t end = TagEnd(xml, at);
        if (end == std::string_view::npos) {
            m_failed = last;
            return;
        }
        const bool closing = xml[at + 1] == '/';
        const bool empty = !closing && xml[end - 2] == '/';
        if (!closing) {
            const std::string_view name = TagName(xml, at);
            if (m_depth == 0) m_root = name;
            if (m_depth == 1 && !m_found && name == m_container) {
                m_found = true;
                m_inside = !empty;
            }
            if (m_inside && m_depth == 2) {
                m_handler.outside(xml.substr(m_from, at - m_from));
                m_start = m_from = at;
            }
            if (!empty) ++m_depth;
        } else if (--m_depth < 0) {
            m_failed = true;
            return;
        }
        if (m_inside && m_depth == 2 && (closing || empty)) {
            m_handler.child(xml.substr(m_start, end - m_start), m_base + m_start);
            m_from = end;
            m_start = std::string::npos;
        }
        if (m_inside && m_depth == 1 && closing) m_inside = false;
        at = end;
    }
    m_at = xml.size();
}

void XmlOutliner::HandOn(std::string_view text) {
    if (m_start == std::string::npos) {
        // Outside any child: the text the tags were followed over is handed on.
        m_handler.outside(text.substr(m_from, m_at - m_from));
        m_from = m_at;
    }
    const size_t handed = std::min(m_from, m_start);
    if (text.data() == m_text.data())
        m_text.erase(0, handed);
    else
        m_text.assign(text.substr(handed));
    m_base += handed;
    m_at -= handed;
    m_from -= handed;
    if (m_start != std::string::npos) m_start -= handed;
}

namespace {

/// The value of an attribute in a start tag's text; none when the tag has no such attribute.
std::optional<std::string_view> AttributeIn(std::string_view tag, std::string_view name) {
    size_t at = TagName(tag, 0).size() + 1;
    while (at < tag.size()) {
        while (at < tag.size() && std::isspace(static_cast<unsigned char>(tag[at]))) ++at;
        const size_t equals = tag.find('=', at);
        if (equals == std::string_view::npos) return std::nullopt;
        size_t nameEnd = equals;
        while (nameEnd > at && std::isspace(static_cast<unsigned char>(tag[nameEnd - 1])))
            --nameEnd;
        const size_t open = tag.find_first_of("\"'", equals);
        if (open == std::string_view::npos) return std::nullopt;
        const size_t close = tag.find(tag[open], open + 1);
        if (close == std::string_view::npos) return std::nullopt;
        if (tag.substr(at, nameEnd - at) == name) return tag.substr(open + 1, close - open - 1);
        at = close + 1;
    }
    return std::nullopt;
}

ShapeTag ShapeTagOf(std::string_view tag) {
    ShapeTag shape;
    if (const auto id = AttributeIn(tag, "ID")) {
        int32_t value = 0;
        const auto [end, error] = std::from_chars(id->data(), id->data() + id->size(), value);
        if (error == std::errc() && end == id->data() + id->size()) shape.id = value;
    }
    shape.deleted = AttributeIn(tag, "Del") == std::optional<std::string_view>("1");
    return shape;
}

}  // namespace

std::optional<std::vector<ShapeTag>> ShapeTagsIn(std::string_view element) {
    std::vector<ShapeTag> shapes;
    for (size_t at = element.find('<'); at != std::string_view::npos; at = element.find('<', at)) {
        const size_t untagged = PastUntagged(element, at);
        if (untagged == std::string_view::npos) return std::nullopt;
        if (untagged != at) {
            at = untagged;
            continue;
        }
        const size_t end = TagEnd(element, at);
        if (end == std::string_view::npos) return std::nullopt;
        const std::string_view tag = element.substr(at, end - at);
        const bool isShape = tag[1] != '/' && LocalName(TagName(tag, 0)) == "Shape";
        if (shapes.empty() && !isShape) return std::nullopt;
        if (isShape) shapes.push_back(ShapeTagOf(tag));
        at = end;
    }
    if (shapes.empty()) return std::nullopt;
    return shapes;
}

embedded::TextData TextFromXml(const pugi::xml_node& element) {
    embedded::TextData text;
    text.local = true;
    const auto position = [&] { return static_cast<int32_t>(text.characters.size()); };
    for (const pugi::xml_node& child : element.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            text.characters += embedded::Utf32(child.value());
            continue;
        }
        const std::string_view name = LocalName(child);
        const auto row = static_cast<int16_t>(child.attribute("IX").as_int(0));
        if (name == "cp") text.charRuns.push_back({position(), row});
        if (name == "pp") text.paraRuns.push_back({position(), row});
        if (name == "tp") text.tabRuns.push_back({position(), row});
        if (name == "fld") {
            const int32_t start = position();
            text.characters += embedded::Utf32(child.child_value());
            text.fields.push_back({start, position(), row});
        }
    }
    return text;
}

namespace {

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : m_out(out) {}
    void write(const void* data, size_t size) override {
        m_out.append(static_cast<const char*>(data), size);
    }

private:
    std::string& m_out;
};

}  // namespace

namespace {

void PrintElement(const pugi::xml_node& element, std::string& out) {
    StringWriter writer(out);
    element.print(writer, "", pugi::format_raw | pugi::format_attribute_single_quote,
                  pugi::encoding_utf8);
}

}  // namespace

std::string SerializeXml(const XmlPart& part) {
    std::string out = part.prefix;
    out.reserve(part.bytes.size() + part.bytes.size() / 8);
    PrintElement(part.dom.document_element(), out);
    return out;
}

std::string SerializeElement(const pugi::xml_node& element) {
    std::string out;
    PrintElement(element, out);
    return out;
}

std::string RelationshipsPartOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    const std::string directory =
        slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return directory + "_rels/" + file + ".rels";
}

std::string ResolvePartName(const std::string& fromPart, const std::string& target) {
    std::string path = !target.empty() && target.front() == '/' ? target.substr(1)
                                                                : DirectoryOf(fromPart) + target;
    std::vector<std::string> segments;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!segments.empty()) segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const auto& segment : segments)
        resolved += (resolved.empty() ? "" : "/") + segment;
    return resolved;
}

bool PackageState::Has(const std::string& part) const {
    return package ? package->Has(part) : blank.count(part) > 0;
}

std::string PackageState::Bytes(const std::string& part) const {
    if (package) return package->Inflate(part);
    const auto found = blank.find(part);
    if (found == blank.end()) Fail(packerr::kMissingPart, path, "lacks its part '" + part + "'");
    return found->second;
}

void PackageState::Bytes(const std::string& part,
                         const std::function<void(std::string_view)>& piece) const {
    if (package) return package->Inflate(part, piece);
    piece(Bytes(part));
}

std::vector<std::string> PackageState::PartNames() const {
    std::vector<std::string> names;
    if (package) {
        for (const Package::Entry& entry : package->Entries())
            names.push_back(entry.name);
    } else {
        for (const auto& [name, bytes] : blank)
            names.push_back(name);
    }
    return names;
}

bool Parts::Removed(const std::string& part) const {
    return std::find(m_removed.begin(), m_removed.end(), part) != m_removed.end();
}

bool Parts::Exists(const std::string& part) const {
    if (Removed(part)) return false;
    return m_xml.count(part) || m_state.Has(part);
}

XmlPart& Parts::Create(const std::string& part, const std::string& content) {
    auto created = std::make_unique<XmlPart>();
    created->name = part;
    ParseXml(*created, content, m_state.path);
    created->changed = true;
    m_removed.erase(std::remove(m_removed.begin(), m_removed.end(), part), m_removed.end());
    XmlPart& result = *created;
    m_xml[part] = std::move(created);
    return result;
}

void Parts::Remove(const std::string& part) {
    m_xml.erase(part);
    if (!Removed(part)) m_removed.push_back(part);
}

XmlPart& Parts::Xml(const std::string& part) {
    const auto found = m_xml.find(part);
    if (found != m_xml.end()) return *found->second;
    if (!Exists(part)) Fail(packerr::kMissingPart, m_state.path, "lacks its part '" + part + "'");
    auto parsed = std::make_unique<XmlPart>();
    parsed->name = part;
    ParseXml(*parsed, m_state.Bytes(part), m_state.path);
    return *m_xml.emplace(part, std::move(parsed)).first->second;
}

std::vector<Relationship> Parts::Relationships(const std::string& part) {
    const std::string relsPart = RelationshipsPartOf(part);
    std::vector<Relationship> relationships;
    if (!Exists(relsPart)) return relationships;
    for (const pugi::xml_node& node : Xml(relsPart).dom.document_element().children()) {
        if (LocalName(node) != "Relationship") continue;
        Relationship relationship;
        relationship.id = node.attribute("Id").value();
        relationship.type = node.attribute("Type").value();
        relationship.external =
            std::string_view(node.attribute("TargetMode").value()) == "External";
        relationship.target = relationship.external
                                  ? node.attribute("Target").value()
                                  : ResolvePartName(part, node.attribute("Target").value());
        relationships.push_back(std::move(relationship));
    }
    return relationships;
}

}  // namespace tess::vsdx
