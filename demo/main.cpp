// Shows the copy engine's reference rewriting on formulas shaped like a real copy's.
#include <iostream>

#include "engine/ReferenceResolution.h"
#include "engine/SectionCatalogue.h"

int main() {
    using namespace tess;
    engine::FormulaList formulas = {"Sheet.5!Width*0.5+Scratch.X1",
                                    "Geometry1.X2+Sheet.5!Scratch.Y3",
                                    "IF(Sheet.5!User.Flag,Scratch.A2,0)"};
    app::StringCollection replacements;
    replacements.Add("Sheet.5!|Sheet.12!", "Sheet.5");
    std::cout << "Copying Scratch rows 1-3 of Sheet.5 behind 2 rows of Sheet.12:\n";
    const auto before = formulas;
    engine::ResolveReferencesToSelf(formulas, 2, 6);
    engine::ResolveGeometryReferencesToSelf(formulas, 10, 12);
    engine::ResolveReferences(formulas, replacements);
    for (size_t i = 0; i < formulas.size(); ++i) {
        std::cout << "  " << before[i] << "  ->  " << formulas[i] << '\n';
    }
    std::vector<int16_t> cells;
    engine::GetCellIndicies(nullptr, 243, 0, cells);
    std::cout << "Custom Properties cells, in copy order:";
    for (auto cell : cells)
        std::cout << ' ' << cell;
    std::cout << '\n';
}
