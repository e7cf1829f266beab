#include "cli/Workspace.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <functional>

#include "formula/CellCatalogue.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"
#include "platform/visio/Error.h"

namespace tess::cli {
namespace {

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
    if (component.size() < 7 || !formula::SameName(component.substr(0, 6), "Sheet.")) return -1;
    int32_t id = -1;
    const auto digits = component.substr(6);
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    return result.ec == std::errc() && result.ptr == digits.data() + digits.size() ? id : -1;
}

/// The shape of an ID among shapes and their members, at any depth.
visio::ShapePtr FindById(const visio::ShapesPtr& shapes, int32_t id) {
    try {
        return shapes->ItemFromID(id);
    } catch (const Error&) {
        return nullptr;
    }
}

visio::ShapePtr FindByName(const visio::ShapesPtr& shapes, const std::string& name) {
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const visio::ShapePtr shape = shapes->Item(i);
        if (formula::SameName(shape->Name(), name) || formula::SameName(shape->NameU(), name))
            return shape;
    }
    return nullptr;
}

}  // namespace

void UsageError(const std::string& text) {
    Raise(kUsageError, text);
}

std::string EscapeName(std::string_view name) {
    std::string escaped;
    for (char c : name) {
        if (c == '\\' || c == '/' || c == ':' || c == '*') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

Address Address::Parse(std::string_view text) {
    const auto malformed = [&](const std::string& why) {
        UsageError(
            "'" + std::string(text) + "' is no OBJECT (" + why +
            "): write [DOC:]document, [DOC:]page:PAGE[/SHAPE]... or [DOC:]master:MASTER/SHAPE...");
    };
    if (!text.empty() && text.back() == '\\' &&
        (text.size() < 2 || text[text.size() - 2] != '\\')) {
        malformed("it ends with a lone backslash");
    }
    Address address;
    std::vector<std::string> parts = SplitRaw(text, ':', 3);
    const auto isKind = [](const std::string& word) {
        return word == "page" || word == "master" || word == "style";
    };
    // DOC: comes first when what follows it is "document" or another kind; page:document is the
    // page named document.
    if (parts.size() == 3 || (parts.size() == 2 && !isKind(parts[0]) && parts[1] == "document")) {
        address.document = Unescape(parts.front());
        if (address.document.empty()) malformed("its document name is empty");
        parts.erase(parts.begin());
    }
    if (parts.size() == 1) {
        if (parts[0] != "document") malformed("it names no sheet");
        return address;
    }
    if (!isKind(parts[0])) malformed("'" + parts[0] + "' is no page, master or document");
    address.kind = parts[0] == "page"     ? Kind::Page
                   : parts[0] == "master" ? Kind::Master
                                          : Kind::Style;
    const std::vector<std::string> components = SplitRaw(parts[1], '/');
    for (size_t i = 0; i < components.size(); ++i) {
        if (components[i].empty()) malformed("it has an empty name");
        if (components[i] == "*" && i > 0) {
            if (i + 1 != components.size()) malformed("'*' may only come last");
            address.everyShape = true;
            continue;
        }
        (i == 0 ? address.container : address.shapes.emplace_back()) = Unescape(components[i]);
    }
    return address;
}

std::string Address::Text() const {
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
    }
    text += EscapeName(container);
    for (const std::string& shape : shapes) {
        text += '/';
        text += EscapeName(shape);
    }
    if (everyShape) text += "/*";
    return text;
}

Workspace::Workspace(const std::vector<std::string>& files, bool toSaveInPlace) {
    for (const std::string& file : files) {
        if (!vsdx::IsVisioPackageName(file)) {
            UsageError("'" + file +
                       "' is not a Visio file (.vsdx, .vsdm, .vssx, .vssm, .vstx, .vstm)");
        }
    }
    for (const std::string& file : files) {
        const auto data = vsdx::OpenDocument(Model(), file, toSaveInPlace);
        for (const Document& open : m_documents) {
            if (formula::SameName(open.data->name, data->name)) {
                UsageError("two files are named '" + data->name + "': give each document once");
            }
        }
        m_documents.push_back({file, data, embedded::WrapDocument(m_app->ModelPtr(), data)});
    }
}

void Workspace::CheckOutput(const std::string& output, const embedded::DocumentData* document) {
    vsdx::CheckTargetFolder(output);
    if (!document) return;
    if (const std::string refusal = vsdx::SaveRefusal(*document, output); !refusal.empty())
        UsageError("-o " + refusal);
}

void Workspace::Save(
    embedded::Model& model,
    const std::vector<std::pair<std::shared_ptr<embedded::DocumentData>, std::string>>& writes) {
    std::vector<vsdx::PendingSave> saves;
    saves.reserve(writes.size());
    for (const auto& [document, target] : writes)
        saves.emplace_back(model, *document, target);
    for (const vsdx::PendingSave& save : saves)
        save.Check();
    for (vsdx::PendingSave& save : saves)
        save.Commit();
}

const Workspace::Document& Workspace::DocumentNamed(std::string_view name) const {
    if (name.empty()) {
        if (m_documents.size() != 1)
            UsageError("several files are open: begin the OBJECT with the document's name and ':'");
        return m_documents.front();
    }
    for (const Document& document : m_documents) {
        if (formula::SameName(document.data->name, name)) return document;
    }
    UsageError("no file given is named '" + std::string(name) + "'");
}

const Workspace::Document& Workspace::DocumentOf(const visio::ShapePtr& shape) const {
    const std::string name = shape->Document()->Name();
    for (const Document& document : m_documents) {
        if (document.data->name == name) return document;
    }
    return m_documents.front();
}

std::string Workspace::Prefix(const Document& document) const {
    return m_documents.size() > 1 ? EscapeName(document.data->name) + ":" : std::string();
}

std::string Workspace::AddressOfDocument(const Document& document) {
    return Prefix(document) + "document";
}

std::string Workspace::AddressOfPage(const Document& document, const visio::PagePtr& page) {
    return Prefix(document) + "page:" + EscapeName(page->Name());
}

std::string Workspace::AddressOfMaster(const Document& document, const visio::MasterPtr& master) {
    return Prefix(document) + "master:" + EscapeName(master->Name());
}

std::string Workspace::AddressOf(const visio::ShapePtr& shape) {
    const int16_t type = shape->Type();
    const Document& document = DocumentOf(shape);
    if (type == visio::visTypeDoc) return AddressOfDocument(document);
    if (type == visio::visTypePage) {
        if (const auto page = std::dynamic_pointer_cast<visio::IPage>(shape->Parent()))
            return AddressOfPage(document, page);
    }
    std::vector<std::string> path;
    visio::ObjectPtr at = shape;
    while (const auto member = std::dynamic_pointer_cast<visio::IShape>(at)) {
        path.insert(path.begin(), "Sheet." + std::to_string(member->ID()));
        at = member->Parent();
    }
    std::string text;
    if (const auto page = std::dynamic_pointer_cast<visio::IPage>(at)) {
        text = AddressOfPage(document, page);
    } else if (const auto master = std::dynamic_pointer_cast<visio::IMaster>(at)) {
        text = AddressOfMaster(document, master);
    }
    for (const std::string& part : path)
        text += "/" + part;
    return text;
}

void Workspace::ForEachSheet(
    const std::function<void(const embedded::SheetPtr&, const std::string&)>& visit) {
    std::function<void(const std::vector<embedded::SheetPtr>&)> shapes =
        [&](const std::vector<embedded::SheetPtr>& list) {
            for (const embedded::SheetPtr& shape : list) {
                visit(shape, AddressOf(embedded::WrapShape(m_app->ModelPtr(), shape)));
                shapes(std::vector<embedded::SheetPtr>(shape->shapes));
            }
        };
    for (const Document& document : m_documents) {
        const std::string prefix = Prefix(document);
        visit(document.data->documentSheet, prefix + "document");
        for (const embedded::SheetPtr& style : document.data->styles)
            visit(style, prefix + "style:" + EscapeName(style->name));
        for (const auto& master : document.data->masters) {
            if (master->pageSheet)
                visit(master->pageSheet, prefix + "master:" + EscapeName(master->name));
            shapes(std::vector<embedded::SheetPtr>(master->shapes));
        }
        for (const auto& page : document.data->pages) {
            Model().LoadShapes(*page);
            visit(page->pageSheet, prefix + "page:" + EscapeName(page->name));
            shapes(std::vector<embedded::SheetPtr>(page->shapes));
        }
    }
}

Target Workspace::TargetOfShape(const visio::ShapePtr& shape) {
    const int16_t image = shape->Shapes()->Count() > 0 ? engine::kImageGroup : engine::kImageShape;
    return {shape, image, shape, AddressOf(shape), shape->Name()};
}

Target Workspace::Resolve(const Address& address) {
    const Document& document = DocumentNamed(address.document);
    const std::string text = address.Text();
    switch (address.kind) {
        case Address::Kind::Document:
            return {document.object, engine::kImageDrawing, document.object->DocumentSheet(),
                    AddressOfDocument(document), document.data->name};
        case Address::Kind::Style:
            UsageError("a style is no source or destination: '" + text + "'");
        case Address::Kind::Page:
        case Address::Kind::Master:
            break;
    }
    visio::ShapesPtr shapes;
    visio::PagePtr page;
    try {
        if (address.kind == Address::Kind::Page) {
            page = document.object->Pages()->Item(address.container);
            shapes = page->Shapes();
        } else {
            shapes = document.object->Masters()->Item(address.container)->Shapes();
        }
    } catch (const Error&) {
        UsageError("there is no " +
                   std::string(address.kind == Address::Kind::Page ? "page" : "master") + " '" +
                   address.container + "' in '" + document.data->name + "'");
    }
    if (address.everyShape)
        UsageError("'" + text + "' names many shapes: it can only be a destination");
    if (address.shapes.empty()) {
        if (!page)
            UsageError("a master is no sheet to copy from or to: name a shape in it, '" + text +
                       "/SHAPE'");
        return {page, engine::kImagePage, page->PageSheet(), AddressOfPage(document, page),
                page->Name()};
    }
    visio::ShapePtr shape;
    for (const std::string& component : address.shapes) {
        const int32_t id = SheetId(component);
        shape = id >= 0 ? FindById(shapes, id) : FindByName(shapes, component);
        if (!shape) UsageError("there is no shape '" + component + "' in '" + text + "'");
        shapes = shape->Shapes();
    }
    return TargetOfShape(shape);
}

std::vector<Target> Workspace::ResolveEvery(const Address& address, const visio::ShapePtr& except) {
    Address container = address;
    container.everyShape = false;
    if (!address.shapes.empty())
        UsageError("'*' ends only page:PAGE/* or master:MASTER/*: '" + address.Text() + "'");
    const Document& document = DocumentNamed(address.document);
    visio::ShapesPtr shapes;
    try {
        shapes = address.kind == Address::Kind::Page
                     ? document.object->Pages()->Item(address.container)->Shapes()
                     : document.object->Masters()->Item(address.container)->Shapes();
    } catch (const Error&) {
        UsageError("there is nothing named '" + address.container + "' for '" + address.Text() +
                   "'");
    }
    std::vector<Target> targets;
    const int32_t exceptId = except ? except->ID() : -1;
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const visio::ShapePtr shape = shapes->Item(i);
        if (shape->ID() == exceptId && except && AddressOf(shape) == AddressOf(except)) continue;
        targets.push_back(TargetOfShape(shape));
    }
    return targets;
}

visio::ObjectPtr Workspace::GetNodeObject(const std::string& key) {
    try {
        return Resolve(Address::Parse(key)).object;
    } catch (const Error&) {
        return nullptr;
    }
}

}  // namespace tess::cli
