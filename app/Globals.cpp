#include "app/Globals.h"

namespace tess::app {

std::string g_sAppTitle;
std::unique_ptr<Application> g_oApplication;

}  // namespace tess::app
