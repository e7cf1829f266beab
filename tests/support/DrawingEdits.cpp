#include "support/DrawingEdits.h"

#include <functional>

#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

/// Opens the drawing, lets edit change its first page, and saves it to `to`.
void EditFirstPage(const std::string& drawing, const std::string& to,
                   const std::function<void(const visio::ShapesPtr&)>& edit) {
    auto app = std::make_shared<embedded::EmbeddedApplication>();
    const auto data = vsdx::OpenDocument(app->TheModel(), drawing);
    edit(embedded::WrapDocument(app->ModelPtr(), data)->Pages()->Item(1)->Shapes());
    vsdx::SaveDocument(app->TheModel(), *data, to);
}

}  // namespace

void NameRowOnlySourceHas(const std::string& drawing, const std::string& to) {
    EditFirstPage(drawing, to, [](const visio::ShapesPtr& shapes) {
        shapes->Item("Source")->CellsSRC(visio::visSectionScratch, 0, 1)->SetFormula("User.Alpha*2");
    });
}

void BreakReferences(const std::string& drawing, const std::string& to) {
    EditFirstPage(drawing, to, [](const visio::ShapesPtr& shapes) {
        const visio::ShapePtr other = shapes->Item("Other");
        shapes->Item("Target")->Cells("Width")->SetFormula(other->NameID() + "!Width");
        other->Delete();
        // Written as a formula of the row's while the row exists, then the row goes.
        const visio::ShapePtr source = shapes->Item("Source");
        const int16_t row = source->AddNamedRow(visio::visSectionUser, "Missing", 0);
        source->CellsSRC(visio::visSectionScratch, 1, 1)->SetFormula("User.Missing*2");
        source->DeleteRow(visio::visSectionUser, row);
    });
}

}  // namespace tess::test
