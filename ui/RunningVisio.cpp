#include "ui/RunningVisio.h"

// Visio runs on Windows only: here the drawings the program opens stand for it.
namespace tess::ui {

struct RunningVisio::State {};

RunningVisio::RunningVisio() = default;
RunningVisio::~RunningVisio() = default;

visio::ApplicationPtr RunningVisio::Find() { return nullptr; }

}  // namespace tess::ui
