#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/visio/Host.h"

// How the program names the objects of the host (a document, page, master or shape) and finds
// them again: object addresses ("page:Page-1/Sheet.3"), which the command line reads, and the
// shape tree's node keys, which the desktop program keeps. Both become an ObjectPath, and one
// Resolver finds what a path names through the host interface alone, on any host.
namespace tess::visio {

/// The kinds of object, numbered as the shape tree numbers its node images; list items carry
/// the same numbers.
inline constexpr int16_t kImageApplication = 1;
inline constexpr int16_t kImageDrawing = 2;
inline constexpr int16_t kImageStencil = 3;
inline constexpr int16_t kImagePage = 4;
inline constexpr int16_t kImageMaster = 5;
inline constexpr int16_t kImageGroup = 6;
inline constexpr int16_t kImageShape = 7;

/// A document's kind as its name tells it: kImageDrawing, kImageStencil, or 0 for neither.
/// "Drawing" and "Stencil" in the name come first, then the extension.
int16_t DocumentKind(std::string_view name);

/// An object as named: [DOC:]document, [DOC:]page:PAGE[/SHAPE]..., [DOC:]master:MASTER/SHAPE...,
/// [DOC:]style:STYLE, or a shape of the active page by its unique ID (a tree key's start).
struct ObjectPath {
    enum class Kind { Document, Page, Master, Style, ActivePage };
    std::string document;  // the document's name; empty: the only document open
    Kind kind = Kind::Document;
    /// The page's or master's name (or a master's unique ID); for ActivePage the shape's unique ID.
    std::string container;
    std::vector<std::string> shapes;  // from the top down, each "Sheet.ID" or a name
    bool everyShape = false;          // "*" came last: every top-level shape of the container
    /// Each shape is a member right below what precedes it (tree keys). Otherwise "Sheet.ID" is
    /// found at any depth below (addresses).
    bool membersOnly = false;

    /// Reads an address; a malformed one fails with err::kNoSuchObject, saying what is wrong.
    static ObjectPath Parse(std::string_view address);
    /// The address as written, names escaped.
    std::string Text() const;
};

/// What a path names.
struct ResolvedObject {
    ObjectPtr object;   // the document, page, master or shape; null when nothing was found
    int16_t image = 0;  // its kind, kImageDrawing ... kImageShape
    ShapePtr sheet;     // what a copy reads or writes: the document sheet, page sheet or shape
    std::string name;
};

/// Finds objects by path, by address and by tree key, and names sheets by address. Holds the
/// application only for as long as it lives.
class Resolver {
public:
    /// applicationId: the key of the shape tree's application node; tree keys begin with it.
    explicit Resolver(ApplicationPtr application, std::string applicationId = {});

    /// The object of a path; fails with err::kNoSuchObject naming what is not there. A master
    /// without a shape, a style and an address ending in "*" name no sheet and fail too.
    ResolvedObject Resolve(const ObjectPath& path) const;
    /// Every top-level shape of the page or master of an address ending in "*", but except.
    std::vector<ResolvedObject> ResolveEvery(const ObjectPath& path, const ShapePtr& except) const;

    /// The path of a shape tree key: the application node's key, a document's name, a page's
    /// name or a master's key, then "Sheet.ID" parts, joined by backslashes; or a shape of the
    /// active page by its unique ID, then "Sheet.ID" parts.
    ObjectPath PathOfKey(std::string_view key) const;
    /// The object of a tree key; the application itself for the application node; a null
    /// object when the key names nothing now.
    ResolvedObject FindKey(std::string_view key) const;
    /// The tree key of a sheet (shape, page sheet or document sheet) as the tree shows it below
    /// the application node.
    std::string KeyOf(const ShapePtr& sheet) const;

    /// The address of a sheet (shape, page sheet or document sheet); the document's name comes
    /// first when several documents are open.
    std::string AddressOf(const ShapePtr& sheet) const;
    std::string AddressOfDocument(const DocumentPtr& document) const;
    std::string AddressOfPage(const PagePtr& page) const;
    std::string AddressOfMaster(const MasterPtr& master) const;
    /// The document of that name (without regard to case), or the only one when name is empty.
    DocumentPtr DocumentNamed(std::string_view name) const;

private:
    ResolvedObject ResolveContainer(const ObjectPath& path, const DocumentPtr& document) const;
    std::string Prefix(const DocumentPtr& document) const;

    ApplicationPtr m_application;
    std::string m_applicationId;
};

/// A name with the characters addresses give a meaning (\ / : *) escaped by a backslash.
std::string EscapeName(std::string_view name);

}  // namespace tess::visio
