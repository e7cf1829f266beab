#include "app/Globals.h"

namespace tess::app {

std::string g_sAppTitle;
bool CopyRunCancelled = false;
StringCollection g_colSheetNameMap;
std::unique_ptr<Application> g_oApplication;

}  // namespace tess::app
