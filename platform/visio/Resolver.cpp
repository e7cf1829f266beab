#include "platform/visio/Resolver.h"

#include <charconv>
#include <cstdint>

#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"

namespace tess::visio {
namespace {

using formula::SameName;

[[noreturn]] void NoSuchObject(const std::string& text) {
    Raise(err::kNoSuchObject, text);
}

/// Splits text at unescaped separators into at most limit pieces, each kept as written (escapes
/// and all).
std::vector<std::string> SplitRaw(std::string_view text, char separator, size_t limit = SIZE_MAX) {
    std::vector<std::string> pieces(1);
    bool escaped = false;
    for (char c : text) {
        if (escaped) {
            escaped = false;
        } else if (c == '\\') {
            escaped = true;
        } else if (c == separator && pieces.size() < limit) {
            pieces.emplace_back();
            continue;
        }
        pieces.back() += c;
    }
    return pieces;
}

std::string Unescape(std::string_view text) {
    std::string plain;
    bool escaped = false;
    for (char c : text) {
        if (!escaped && c == '\\') {
            escaped = true;
            continue;
        }
        plain += c;
        escaped = false;
    }
    return plain;
}

/// The ID of a "Sheet.N" component; -1 for a name.
int32_t SheetId(std::string_view component) {
    if (component.size() < 7 || !SameName(component.substr(0, 6), "Sheet.")) return -1;
    int32_t id = -1;
    const auto digits = component.substr(6);
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    return result.ec == std::errc() && result.ptr == digits.data() + digits.size() ? id : -1;
}

/// A member right below, by name or universal name; null for none.
ShapePtr MemberNamed(const ShapesPtr& shapes, const std::string& name) {
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const ShapePtr shape = shapes->Item(i);
        if (SameName(shape->Name(), name) || SameName(shape->NameU(), name)) return shape;
    }
    return nullptr;
}

/// The shape a path component names below holder (a page, master or group): by ID at any depth,
/// or, with membersOnly, only a member right below; by name among the members. Null for none.
ShapePtr ShapeOfComponent(const ShapesPtr& shapes, const ObjectPtr& holder,
                          const std::string& component, bool membersOnly) {
    const int32_t id = SheetId(component);
    if (id < 0) return MemberNamed(shapes, component);
    ShapePtr shape;
    try {
        shape = shapes->ItemFromID(id);
    } catch (const Error&) {
        return nullptr;
    }
    if (!membersOnly) return shape;
    const auto parent = std::dynamic_pointer_cast<IShape>(shape->Parent());
    const auto group = std::dynamic_pointer_cast<IShape>(holder);
    const bool below = group ? parent && parent->ID() == group->ID() : !parent;
    return below ? shape : nullptr;
}

ResolvedObject OfShape(const ShapePtr& shape) {
    const ShapesPtr members = shape->Shapes();
    const bool group = members && members->Count() > 0;
    return {shape, group ? kImageGroup : kImageShape, shape, shape->Name()};
}

/// The top-level shape of the active page with that unique ID; null for none.
ShapePtr ActivePageShape(IApplication& application, const std::string& uniqueId) {
    const PagePtr page = application.ActivePage();
    if (!page) return nullptr;
    const ShapesPtr shapes = page->Shapes();
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const ShapePtr shape = shapes->Item(i);
        if (shape->UniqueID(0) == uniqueId) return shape;
    }
    return nullptr;
}

/// Whether a drawing's tree key part names one of its masters: drawings key their masters by
/// unique ID and their pages by name.
bool IsMasterKey(const DocumentPtr& document, const std::string& part) {
    if (DocumentKind(document->Name()) == kImageStencil) return true;
    if (part.empty() || part.front() != '{') return false;
    const MastersPtr masters = document->Masters();
    for (int16_t i = 1; i <= masters->Count(); ++i) {
        if (masters->Item(i)->UniqueID() == part) return true;
    }
    return false;
}

std::vector<std::string> SplitKey(std::string_view key) {
    std::vector<std::string> parts(1);
    for (char c : key) {
        if (c == '\\') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

}  // namespace

int16_t DocumentKind(std::string_view name) {
    if (name.find("Drawing") != std::string_view::npos) return kImageDrawing;
    if (name.find("Stencil") != std::string_view::npos) return kImageStencil;
    // The kind by the extension's first three letters: .vsd and .vsdx, .vst and .vstx (which
    // open as drawings), .vss and .vssx.
    const size_t dot = name.rfind('.');
    const std::string_view extension = name.substr(dot == std::string_view::npos ? 0 : dot + 1);
    if (SameName(extension.substr(0, 3), "vsd") || SameName(extension.substr(0, 3), "vst"))
        return kImageDrawing;
    if (SameName(extension.substr(0, 3), "vss")) return kImageStencil;
    return 0;
}

std::string EscapeName(std::string_view name) {
    std::string escaped;
    for (char c : name) {
        if (c == '\\' || c == '/' || c == ':' || c == '*') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

ObjectPath ObjectPath::Parse(std::string_view text) {
    const auto malformed = [&](const std::string& why) {
        NoSuchObject(
            "'" + std::string(text) + "' is no OBJECT (" + why +
            "): write [DOC:]document, [DOC:]page:PAGE[/SHAPE]... or [DOC:]master:MASTER/SHAPE...");
    };
    if (!text.empty() && text.back() == '\\' &&
        (text.size() < 2 || text[text.size() - 2] != '\\')) {
        malformed("it ends with a lone backslash");
    }
    ObjectPath path;
    std::vector<std::string> parts = SplitRaw(text, ':', 3);
    const auto isKind = [](const std::string& word) {
        return word == "page" || word == "master" || word == "style";
    };
    // DOC: comes first when what follows it is "document" or another kind; page:document is the
    // page named document.
    if (parts.size() == 3 || (parts.size() == 2 && !isKind(parts[0]) && parts[1] == "document")) {
        path.document = Unescape(parts.front());
        if (path.document.empty()) malformed("its document name is empty");
        parts.erase(parts.begin());
    }
    if (parts.size() == 1) {
        if (parts[0] != "document") malformed("it names no sheet");
        return path;
    }
    if (!isKind(parts[0])) malformed("'" + parts[0] + "' is no page, master or document");
    path.kind = parts[0] == "page" ? Kind::Page : parts[0] == "master" ? Kind::Master : Kind::Style;
    const std::vector<std::string> components = SplitRaw(parts[1], '/');
    for (size_t i = 0; i < components.size(); ++i) {
        if (components[i].empty()) malformed("it has an empty name");
        if (components[i] == "*" && i > 0) {
            if (i + 1 != components.size()) malformed("'*' may only come last");
            path.everyShape = true;
            continue;
        }
        (i == 0 ? path.container : path.shapes.emplace_back()) = Unescape(components[i]);
    }
    return path;
}

std::string ObjectPath::Text() const {
    std::string text = document.empty() ? std::string() : EscapeName(document) + ":";
    switch (kind) {
        case Kind::Document:
            return text + "document";
        case Kind::Page:
            text += "page:";
            break;
        case Kind::Master:
            text += "master:";
            break;
        case Kind::Style:
            text += "style:";
            break;
        case Kind::ActivePage:
            break;
    }
    text += EscapeName(container);
    for (const std::string& shape : shapes) {
        text += '/';
        text += EscapeName(shape);
    }
    if (everyShape) text += "/*";
    return text;
}

Resolver::Resolver(ApplicationPtr application, std::string applicationId)
    : m_application(std::move(application)), m_applicationId(std::move(applicationId)) {}

DocumentPtr Resolver::DocumentNamed(std::string_view name) const {
    const DocumentsPtr documents = Required(m_application).Documents();
    if (name.empty()) {
        if (documents->Count() != 1)
            NoSuchObject(
                "several documents are open: begin the OBJECT with the document's name "
                "and ':'");
        return documents->Item(int16_t{1});
    }
    for (int16_t i = 1; i <= documents->Count(); ++i) {
        const DocumentPtr document = documents->Item(i);
        if (SameName(document->Name(), name)) return document;
    }
    NoSuchObject("no open document is named '" + std::string(name) + "'");
}

/// The page or master of a path, or (kind ActivePage) its top-level shape.
ResolvedObject Resolver::ResolveContainer(const ObjectPath& path,
                                          const DocumentPtr& document) const {
    if (path.kind == ObjectPath::Kind::ActivePage) {
        const ShapePtr shape = ActivePageShape(Required(m_application), path.container);
        if (!shape) NoSuchObject("the active page has no shape " + path.container);
        return OfShape(shape);
    }
    const bool page = path.kind == ObjectPath::Kind::Page;
    try {
        if (page) {
            const PagePtr found = document->Pages()->Item(path.container);
            return {found, kImagePage, found->PageSheet(), found->Name()};
        }
        const MasterPtr found = document->Masters()->Item(path.container);
        return {found, kImageMaster, nullptr, found->Name()};
    } catch (const Error&) {
        NoSuchObject("there is no " + std::string(page ? "page" : "master") + " '" +
                     path.container + "' in '" + document->Name() + "'");
    }
}

ResolvedObject Resolver::Resolve(const ObjectPath& path) const {
    const std::string text = path.Text();
    const bool activePage = path.kind == ObjectPath::Kind::ActivePage;
    const DocumentPtr document = activePage ? nullptr : DocumentNamed(path.document);
    if (path.kind == ObjectPath::Kind::Document) {
        return {document,
                DocumentKind(document->Name()) == kImageStencil ? kImageStencil : kImageDrawing,
                document->DocumentSheet(), document->Name()};
    }
    if (path.kind == ObjectPath::Kind::Style)
        NoSuchObject("a style is no source or destination: '" + text + "'");
    ResolvedObject found = ResolveContainer(path, document);
    if (path.everyShape)
        NoSuchObject("'" + text + "' names many shapes: it can only be a destination");
    if (path.shapes.empty()) {
        if (found.image == kImageMaster && !path.membersOnly)
            NoSuchObject("a master is no sheet to copy from or to: name a shape in it, '" + text +
                         "/SHAPE'");
        return found;
    }
    for (const std::string& component : path.shapes) {
        ShapesPtr shapes;
        if (const auto shape = std::dynamic_pointer_cast<IShape>(found.object))
            shapes = shape->Shapes();
        if (const auto page = std::dynamic_pointer_cast<IPage>(found.object))
            shapes = page->Shapes();
        if (const auto master = std::dynamic_pointer_cast<IMaster>(found.object))
            shapes = master->Shapes();
        const ShapePtr shape =
            shapes ? ShapeOfComponent(shapes, found.object, component, path.membersOnly) : nullptr;
        if (!shape) NoSuchObject("there is no shape '" + component + "' in '" + text + "'");
        found = OfShape(shape);
    }
    return found;
}

std::vector<ResolvedObject> Resolver::ResolveEvery(const ObjectPath& path,
                                                   const ShapePtr& except) const {
    if (!path.shapes.empty() ||
        (path.kind != ObjectPath::Kind::Page && path.kind != ObjectPath::Kind::Master))
        NoSuchObject("'*' ends only page:PAGE/* or master:MASTER/*: '" + path.Text() + "'");
    ObjectPath container = path;
    container.everyShape = false;
    const DocumentPtr document = DocumentNamed(path.document);
    ShapesPtr shapes;
    try {
        shapes = path.kind == ObjectPath::Kind::Page
                     ? document->Pages()->Item(path.container)->Shapes()
                     : document->Masters()->Item(path.container)->Shapes();
    } catch (const Error&) {
        NoSuchObject("there is nothing named '" + path.container + "' for '" + path.Text() + "'");
    }
    std::vector<ResolvedObject> found;
    const std::string skipped = except ? AddressOf(except) : std::string();
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const ShapePtr shape = shapes->Item(i);
        if (except && shape->ID() == except->ID() && AddressOf(shape) == skipped) continue;
        found.push_back(OfShape(shape));
    }
    return found;
}

ObjectPath Resolver::PathOfKey(std::string_view key) const {
    const std::vector<std::string> parts = SplitKey(key);
    ObjectPath path;
    path.membersOnly = true;
    size_t shapesFrom = 1;
    if (parts[0] != m_applicationId) {
        path.kind = ObjectPath::Kind::ActivePage;
        path.container = parts[0];
    } else if (parts.size() < 2) {
        NoSuchObject("the application node names no document");
    } else {
        path.document = parts[1];
        if (parts.size() > 2) {
            path.kind = IsMasterKey(DocumentNamed(path.document), parts[2])
                            ? ObjectPath::Kind::Master
                            : ObjectPath::Kind::Page;
            path.container = parts[2];
        }
        shapesFrom = 3;
    }
    for (size_t i = shapesFrom; i < parts.size(); ++i)
        path.shapes.push_back(parts[i]);
    return path;
}

ResolvedObject Resolver::FindKey(std::string_view key) const {
    try {
        if (key == m_applicationId)
            return {m_application, kImageApplication, nullptr, "Application"};
        return Resolve(PathOfKey(key));
    } catch (const Error&) {
        return {};
    }
}

std::string Resolver::KeyOf(const ShapePtr& sheet) const {
    const std::string documentKey = m_applicationId + "\\" + sheet->Document()->Name();
    const int16_t type = sheet->Type();
    if (type == visTypeDoc) return documentKey;
    if (type == visTypePage) {
        if (const auto page = std::dynamic_pointer_cast<IPage>(sheet->Parent()))
            return documentKey + "\\" + page->Name();
    }
    std::string path;
    ObjectPtr at = sheet;
    while (const auto member = std::dynamic_pointer_cast<IShape>(at)) {
        path.insert(0, "\\Sheet." + std::to_string(member->ID()));
        at = member->Parent();
    }
    if (const auto page = std::dynamic_pointer_cast<IPage>(at))
        return documentKey + "\\" + page->Name() + path;
    if (const auto master = std::dynamic_pointer_cast<IMaster>(at)) {
        const bool stencil = DocumentKind(master->Document()->Name()) == kImageStencil;
        return documentKey + "\\" + (stencil ? master->Name() : master->UniqueID()) + path;
    }
    return documentKey + path;
}

std::string Resolver::Prefix(const DocumentPtr& document) const {
    return Required(m_application).Documents()->Count() > 1 ? EscapeName(document->Name()) + ":"
                                                            : std::string();
}

std::string Resolver::AddressOfDocument(const DocumentPtr& document) const {
    return Prefix(document) + "document";
}

std::string Resolver::AddressOfPage(const PagePtr& page) const {
    return Prefix(page->Document()) + "page:" + EscapeName(page->Name());
}

std::string Resolver::AddressOfMaster(const MasterPtr& master) const {
    return Prefix(master->Document()) + "master:" + EscapeName(master->Name());
}

std::string Resolver::AddressOf(const ShapePtr& sheet) const {
    const int16_t type = sheet->Type();
    if (type == visTypeDoc) return AddressOfDocument(sheet->Document());
    if (type == visTypePage) {
        if (const auto page = std::dynamic_pointer_cast<IPage>(sheet->Parent()))
            return AddressOfPage(page);
    }
    std::string path;
    ObjectPtr at = sheet;
    while (const auto member = std::dynamic_pointer_cast<IShape>(at)) {
        path.insert(0, "/Sheet." + std::to_string(member->ID()));
        at = member->Parent();
    }
    if (const auto page = std::dynamic_pointer_cast<IPage>(at)) return AddressOfPage(page) + path;
    if (const auto master = std::dynamic_pointer_cast<IMaster>(at))
        return AddressOfMaster(master) + path;
    return path;
}

}  // namespace tess::visio
