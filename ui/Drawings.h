#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/embedded/Objects.h"

// The drawings open in the desktop program: on the embedded host they are what a running Visio
// would have open. Opening, saving and closing go through here. Attached to a running Visio,
// the program works on Visio's drawings instead, which Visio opens, saves and closes.
namespace tess::ui {

class Drawings {
public:
    Drawings();

    /// The application the program works through: the running Visio once attached, else the
    /// embedded model of the drawings opened here.
    visio::ApplicationPtr App() const;
    /// Works beside the running Visio from now on; no drawing is opened here.
    void Attach(visio::ApplicationPtr runningVisio) { m_runningVisio = std::move(runningVisio); }
    bool Attached() const { return m_runningVisio != nullptr; }
    embedded::Model& Model() { return m_app->TheModel(); }

    /// The open documents, in the order they were opened.
    const std::vector<std::shared_ptr<embedded::DocumentData>>& Documents() const;
    /// Opens a file, or brings forward the document already open from it; throws, naming the
    /// file and the fault, when it cannot be read.
    std::shared_ptr<embedded::DocumentData> Open(const std::string& path);
    /// Saves a document over the file it came from (SaveAs for a drawing made here).
    void Save(const std::shared_ptr<embedded::DocumentData>& document);
    /// Saves a document under a new name, which it then carries.
    void SaveAs(const std::shared_ptr<embedded::DocumentData>& document, const std::string& path);
    void Close(const std::shared_ptr<embedded::DocumentData>& document);
    /// True when the document holds changes its file does not.
    bool IsChanged(const embedded::DocumentData& document) const;

    std::shared_ptr<embedded::DocumentData> Active() const;
    void Activate(const std::shared_ptr<embedded::DocumentData>& document,
                  const std::shared_ptr<embedded::PageData>& page = nullptr);

private:
    void Saved(const embedded::DocumentData& document);

    std::shared_ptr<embedded::EmbeddedApplication> m_app;
    visio::ApplicationPtr m_runningVisio;
    std::map<const embedded::DocumentData*, uint64_t> m_savedAt;  // the change count of a save
};

}  // namespace tess::ui
