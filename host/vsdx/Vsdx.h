#pragma once

#include <memory>
#include <string>

#include "host/embedded/Model.h"

// Visio packages (.vsdx, .vsdm, .vssx, .vssm, .vstx, .vstm) in and out of the embedded model.
namespace tess::vsdx {

/// Reads a package into the model as a new open document, shown in a window of its own. A file
/// that cannot be read throws, naming the file and the fault, and leaves the model as it was.
/// A document opened to be saved over its file holds the file against other runs of this
/// program while it is open (throwing when another run holds it).
std::shared_ptr<embedded::DocumentData> OpenDocument(embedded::Model& model,
                                                     const std::string& path,
                                                     bool toSaveInPlace = false);

/// Reads a package held in memory the same way; name stands for its file: it gives the
/// document's name and kind, and messages name it.
std::shared_ptr<embedded::DocumentData> OpenDocumentFromMemory(embedded::Model& model,
                                                               const std::string& name,
                                                               std::string bytes);

/// A document written to a file beside its target, which takes the target's place only when
/// committed: a save of several documents writes them all before it replaces any. Parts the
/// model did not change are copied byte for byte once checked, changed parts keep everything
/// the model does not hold, and the package's kind follows the target's name. A symbolic link
/// as target is written through; the file replaced keeps its permissions.
class PendingSave {
public:
    /// Writes the document; throws, leaving nothing, when it cannot be written.
    PendingSave(embedded::Model& model, const embedded::DocumentData& document,
                const std::string& target);
    PendingSave(PendingSave&& other) noexcept;
    PendingSave& operator=(PendingSave&&) = delete;
    ~PendingSave();  // what was written goes unless committed

    /// Throws when the target is the file the document was read from and another program
    /// changed it since: replacing it would lose that change.
    void Check() const;
    /// Checks, then puts the written file in the target's place.
    void Commit();

private:
    bool OverFileRead() const;

    std::shared_ptr<void> m_state;  // the document's package state
    std::string m_target;           // links followed
    std::string m_written;          // empty once committed
};

/// Writes a document to a package at path at once: a PendingSave committed.
void SaveDocument(embedded::Model& model, const embedded::DocumentData& document,
                  const std::string& path);

/// The package SaveDocument would write to a file of that name, in memory.
std::string SaveDocumentToMemory(embedded::Model& model, const embedded::DocumentData& document,
                                 const std::string& name);

/// Why a document cannot be saved under a file name (its macros, which that kind of package
/// cannot hold); empty when it can be.
std::string SaveRefusal(const embedded::DocumentData& document, const std::string& path);

/// Throws when the folder a file would be written in does not exist.
void CheckTargetFolder(const std::string& target);

/// True when the document holds changes its file does not (always for a document made in the
/// model): what SaveDocument would write differently.
bool HasChanges(const embedded::DocumentData& document);
/// True when the document changed after the model's change count was stamp (a save's).
bool HasChangesSince(const embedded::DocumentData& document, uint64_t stamp);

/// True when a file name ends with an extension this program reads.
bool IsVisioPackageName(const std::string& path);

}  // namespace tess::vsdx
