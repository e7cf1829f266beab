// A small demonstration over the embedded Visio model: two shapes on a page, the Scratch rows of
// one copied behind the rows of the other, with references in the copied formulas rewritten.
#include <iostream>

#include "engine/ReferenceResolution.h"
#include "engine/SectionCatalogue.h"
#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"

int main() {
    using namespace tess;
    using namespace tess::visio;
    auto app = std::make_shared<embedded::EmbeddedApplication>();
    const PagePtr page = app->Documents()->Add("")->Pages()->Item(1);
    const ShapePtr source = page->DrawRectangle(1, 1, 3, 2);
    const ShapePtr destination = page->DrawRectangle(4, 1, 5, 3);
    const std::string sourceName = source->NameID();

    // The source: three Scratch rows whose formulas refer to the shape and to its own rows.
    std::vector<int16_t> sourceCells, destinationCells;
    for (int16_t row = 0; row < 3; ++row)
        source->AddRow(visSectionScratch, visRowLast, 0);
    for (int16_t row = 0; row < 2; ++row)
        destination->AddRow(visSectionScratch, visRowLast, 0);
    const std::vector<std::string> formulas = {
        "Width*0.5",    "Scratch.X1+" + sourceName + "!Height",
        "Scratch.Y1*2", "Height",
        "Scratch.X2-1", sourceName + "!Width"};
    for (int16_t row = 0; row < 3; ++row) {
        sourceCells.insert(sourceCells.end(), {visSectionScratch, row, 0});
        sourceCells.insert(sourceCells.end(), {visSectionScratch, row, 1});
    }
    source->SetFormulas(sourceCells, formulas, visSetBlastGuards);

    // Append: three new destination rows behind its two, then one read, rewrite, one write.
    const int32_t scope = app->BeginUndoScope("Tessaline");
    for (int16_t row = 0; row < 3; ++row)
        destination->AddRow(visSectionScratch, visRowLast, 0);
    for (size_t i = 0; i < sourceCells.size(); i += 3) {
        destinationCells.insert(
            destinationCells.end(),
            {sourceCells[i], int16_t(sourceCells[i + 1] + 2), sourceCells[i + 2]});
    }
    engine::FormulaList copied = source->GetFormulas(sourceCells);
    const engine::FormulaList read = copied;
    app::StringCollection replacements;
    replacements.Add(sourceName + "!|" + destination->NameID() + "!", sourceName);
    engine::ResolveReferencesToSelf(copied, 2, visSectionScratch);
    engine::ResolveReferences(copied, replacements);
    destination->SetFormulas(destinationCells, copied, visSetBlastGuards);
    app->EndUndoScope(scope, true);

    std::cout << "Copied the Scratch rows of " << sourceName << " behind the 2 rows of "
              << destination->NameID() << ":\n";
    for (size_t i = 0; i < read.size(); ++i) {
        const int16_t row = destinationCells[3 * i + 1];
        const int16_t cell = destinationCells[3 * i + 2];
        std::cout << "  "
                  << source->CellsSRC(visSectionScratch, sourceCells[3 * i + 1], cell)->Name()
                  << " = " << read[i] << "  ->  "
                  << destination->CellsSRC(visSectionScratch, row, cell)->Name() << " = "
                  << copied[i] << "  (value "
                  << destination->CellsSRC(visSectionScratch, row, cell)->ResultIU() << ")\n";
    }
    app->Undo();
    std::cout << "After undo the destination has " << destination->RowCount(visSectionScratch)
              << " Scratch rows again.\n";
}
