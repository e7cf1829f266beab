#pragma once

#include <string>

#include "host/embedded/Model.h"

namespace tess::test {

/// Everything a user can see of the embedded model, as text, so that two states can be compared:
/// documents, pages, masters, shapes at any depth, their sections, rows, own formulas, names and
/// text. Computed results are left out: they follow from the rest. Pages not read yet are read.
std::string DumpModel(embedded::Model& model);
/// The same for one document of the model.
std::string DumpDocument(embedded::Model& model, const embedded::DocumentData& document);

}  // namespace tess::test
