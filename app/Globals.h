#pragma once

#include <memory>
#include <string>

#include "app/Application.h"

// State shared by the whole program for its life.
namespace tess::app {

/// The application title, string 101.
extern std::string g_sAppTitle;
/// The one host connection object, created by Main.
extern std::unique_ptr<Application> g_oApplication;

}  // namespace tess::app
