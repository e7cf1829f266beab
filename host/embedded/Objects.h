#pragma once

#include <memory>

#include "host/embedded/Model.h"
#include "platform/visio/Host.h"

// The host objects of the embedded model: the Visio automation objects the program calls,
// as views on the model. Every member call is counted and can be made to fail (Model::Gate).
namespace tess::embedded {

/// The embedded Visio application.
class EmbeddedApplication : public visio::IApplication,
                            public std::enable_shared_from_this<EmbeddedApplication> {
public:
    explicit EmbeddedApplication(std::shared_ptr<Model> model = std::make_shared<Model>());

    Model& TheModel() { return *m_model; }
    const std::shared_ptr<Model>& ModelPtr() const { return m_model; }

    visio::DocumentsPtr Documents() override;
    visio::DocumentPtr ActiveDocument() override;
    visio::PagePtr ActivePage() override;
    visio::WindowPtr ActiveWindow() override;
    std::string Version() override;
    int32_t BeginUndoScope(const std::string& name) override;
    void EndUndoScope(int32_t scopeID, bool commit) override;
    void Undo() override;
    void Redo() override;
    void Quit() override;
    void AddEventSink(visio::IApplicationEvents* sink) override;
    void RemoveEventSink(visio::IApplicationEvents* sink) override;

private:
    std::shared_ptr<Model> m_model;
    std::vector<visio::IApplicationEvents*> m_sinks;
};

/// Host objects for model data, and the data behind host objects (null for other hosts).
visio::ShapePtr WrapShape(const std::shared_ptr<Model>& model, const SheetPtr& sheet);
visio::DocumentPtr WrapDocument(const std::shared_ptr<Model>& model,
                                const std::shared_ptr<DocumentData>& document);
visio::PagePtr WrapPage(const std::shared_ptr<Model>& model, const std::shared_ptr<PageData>& page);
visio::MasterPtr WrapMaster(const std::shared_ptr<Model>& model,
                            const std::shared_ptr<MasterData>& master);
SheetPtr SheetOf(const visio::ShapePtr& shape);
/// The name of the master a shape is an instance of; empty for a shape of its own, for the
/// members of an instance (which follow the master's members rather than being instances
/// themselves) and for other hosts' shapes.
std::string MasterNameOf(const visio::ShapePtr& shape);
std::shared_ptr<DocumentData> DocumentOf(const visio::DocumentPtr& document);

}  // namespace tess::embedded
