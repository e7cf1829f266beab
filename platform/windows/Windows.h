#pragma once

// <windows.h> as the program's Windows files include it: without the rarely used parts, and
// without the min and max macros that break std::min and std::max.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
