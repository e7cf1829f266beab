#pragma once

#include <memory>
#include <string>

#include "host/embedded/Model.h"

// Visio packages (.vsdx, .vsdm, .vssx, .vssm, .vstx, .vstm) in and out of the embedded model.
namespace tess::vsdx {

/// Reads a package into the model as a new open document, shown in a window of its own. A file
/// that cannot be read throws, naming the file and the fault, and leaves the model as it was.
std::shared_ptr<embedded::DocumentData> OpenDocument(embedded::Model& model,
                                                     const std::string& path);

/// Writes a document to a package at path: parts the model did not change byte for byte, changed
/// parts with everything the model does not hold kept. The package is written beside path and
/// renamed over it only when complete.
void SaveDocument(embedded::Model& model, const embedded::DocumentData& document,
                  const std::string& path);

/// True when the document holds changes its file does not (always for a document made in the
/// model): what SaveDocument would write differently.
bool HasChanges(const embedded::DocumentData& document);

/// True when a file name ends with an extension this program reads.
bool IsVisioPackageName(const std::string& path);

}  // namespace tess::vsdx
