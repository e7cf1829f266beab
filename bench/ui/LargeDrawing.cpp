#include "LargeDrawing.h"

#include <stdexcept>

#include "host/embedded/Model.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"

namespace tess::bench {
namespace {

void Count(const std::vector<embedded::SheetPtr>& shapes, LargeDrawing& drawing) {
    for (const auto& shape : shapes) {
        ++drawing.everyDepth;
        if (!shape->shapes.empty()) ++drawing.groups;
        if (shape->masterShape) ++drawing.instances;
        Count(shape->shapes, drawing);
    }
}

}  // namespace

LargeDrawing BuildLargeDrawing(const std::string& sample, const std::string& target,
                               size_t topLevelShapes) {
    embedded::Model model;
    const auto document = vsdx::OpenDocument(model, test::SamplePath(sample));
    if (document->pages.empty()) throw std::runtime_error(sample + " has no page");
    const auto page = document->pages.front();
    model.LoadShapes(*page);
    const std::vector<embedded::SheetPtr> originals = page->shapes;
    if (originals.empty()) throw std::runtime_error(sample + " has an empty first page");
    // Laid out in rows of a hundred, a third of an inch apart.
    for (size_t i = 0; page->shapes.size() < topLevelShapes; ++i) {
        model.Shapes().DropCopy(page, originals[i % originals.size()], static_cast<double>(i % 100) * 0.3,
                       static_cast<double>(i / 100) * 0.3);
    }
    vsdx::SaveDocument(model, *document, target);
    LargeDrawing drawing;
    drawing.topLevel = page->shapes.size();
    Count(page->shapes, drawing);
    return drawing;
}

}  // namespace tess::bench
