#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/WindowState.h"
#include "host/embedded/Objects.h"

// The files of a command open in the embedded model, and the OBJECT addresses that name their
// document sheets, page sheets and shapes.
namespace tess::cli {

/// A mistake on the command line, found before anything runs (exit status 2).
inline constexpr int32_t kUsageError = 2;
[[noreturn]] void UsageError(const std::string& text);

/// An OBJECT as written: [DOC:]document, [DOC:]page:PAGE[/SHAPE]..., [DOC:]master:MASTER/SHAPE...
/// (and, for check's lines, [DOC:]style:STYLE).
struct Address {
    enum class Kind { Document, Page, Master, Style };
    std::string document;  // empty: the only document
    Kind kind = Kind::Document;
    std::string container;            // the page, master or style
    std::vector<std::string> shapes;  // each Sheet.ID or a name
    bool everyShape = false;          // "*" as the last component

    /// Parses an OBJECT; a usage error when it is malformed.
    static Address Parse(std::string_view text);
    std::string Text() const;
};

/// What an address stands for: the object the tree would resolve (document, page or shape),
/// its tree image, and the sheet a copy reads or writes.
struct Target {
    visio::ObjectPtr object;
    int16_t image = 0;
    visio::ShapePtr sheet;
    std::string address;
    std::string name;
};

class Workspace : public engine::INodeResolver {
public:
    /// Opens every file into one embedded model; a file that cannot be read throws. Files that
    /// are to be saved over themselves are held against other runs of this program until the
    /// workspace goes, so that two runs never both save one file.
    explicit Workspace(const std::vector<std::string>& files, bool toSaveInPlace = false);

    embedded::EmbeddedApplication& App() { return *m_app; }
    const std::shared_ptr<embedded::EmbeddedApplication>& AppPtr() const { return m_app; }
    embedded::Model& Model() { return m_app->TheModel(); }

    struct Document {
        std::string path;
        std::shared_ptr<embedded::DocumentData> data;
        visio::DocumentPtr object;
    };
    const std::vector<Document>& Documents() const { return m_documents; }

    /// Calls visit with every sheet of every file and its address, in the order list prints
    /// them: the document sheet, the styles (style:NAME), each master's page sheet and shapes at
    /// any depth, each page's sheet and shapes.
    void ForEachSheet(
        const std::function<void(const embedded::SheetPtr&, const std::string&)>& visit);
    /// Resolves an address; a usage error when it names nothing.
    Target Resolve(const Address& address);
    /// Resolves an address ending in "*": every top-level shape of the page or master but except.
    std::vector<Target> ResolveEvery(const Address& address, const visio::ShapePtr& except);
    /// The address of a sheet (a shape, page sheet or document sheet) or of a document or page.
    std::string AddressOf(const visio::ShapePtr& shape);
    std::string AddressOfPage(const Document& document, const visio::PagePtr& page);
    std::string AddressOfMaster(const Document& document, const visio::MasterPtr& master);
    std::string AddressOfDocument(const Document& document);
    /// The document of the given name, or the only one when name is empty.
    const Document& DocumentNamed(std::string_view name) const;
    const Document& DocumentOf(const visio::ShapePtr& shape) const;

    /// Refuses, before anything runs, an output file a document cannot be written to: one in a
    /// folder that does not exist (a file error), one of a kind of package that cannot hold the
    /// document (a usage error). document is null for a drawing the run is to create.
    static void CheckOutput(const std::string& output, const embedded::DocumentData* document);
    /// Writes each document to its target: all beside their targets first, then, once all are
    /// written and none of the files read changed meanwhile, each in its target's place. A
    /// failure replaces no target.
    static void Save(
        embedded::Model& model,
        const std::vector<std::pair<std::shared_ptr<embedded::DocumentData>, std::string>>& writes);

    /// The shape tree's resolution, for the copy engine: keys are addresses.
    visio::ObjectPtr GetNodeObject(const std::string& key) override;

private:
    std::string Prefix(const Document& document) const;
    Target TargetOfShape(const visio::ShapePtr& shape);

    std::shared_ptr<embedded::EmbeddedApplication> m_app =
        std::make_shared<embedded::EmbeddedApplication>();
    std::vector<Document> m_documents;
};

/// A name with the characters addresses give a meaning escaped.
std::string EscapeName(std::string_view name);

}  // namespace tess::cli
