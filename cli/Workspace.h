#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/embedded/Objects.h"

// The files of a command open in the embedded model, and their saving.
namespace tess::cli {

/// A mistake on the command line, found before anything runs (exit status 2).
inline constexpr int32_t kUsageError = 2;
[[noreturn]] void UsageError(const std::string& text);

class Workspace {
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

    /// The open document a sheet is in; the first one for a document the run made.
    const Document& DocumentOf(const visio::ShapePtr& sheet) const;

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

private:
    std::shared_ptr<embedded::EmbeddedApplication> m_app =
        std::make_shared<embedded::EmbeddedApplication>();
    std::vector<Document> m_documents;
};

}  // namespace tess::cli
