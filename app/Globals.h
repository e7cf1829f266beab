#pragma once

#include <memory>
#include <string>

#include "app/Application.h"
#include "app/StringCollection.h"

// State shared by the whole program for the life of a run.
namespace tess::app {

/// The application title, string 101.
extern std::string g_sAppTitle;
/// Set when the user chose Cancel Run in the copy-error dialog; cleared at the start of a run.
extern bool CopyRunCancelled;
/// The copy run's reference replacement list: items "old|new", applied in order.
extern StringCollection g_colSheetNameMap;
/// The one host connection object, created by Main.
extern std::unique_ptr<Application> g_oApplication;

}  // namespace tess::app
