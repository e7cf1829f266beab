#pragma once

#include "platform/windows/Windows.h"

// What the stand-in Visio and its tests share.
namespace tess::test {

/// The class the stand-in registers as the running "Visio.Application"; its own, not Visio's.
inline constexpr GUID kStandInClassId = {
    0x5a8e3c41, 0x7d2b, 0x4f6e, {0x9b, 0x1a, 0x3c, 0x5d, 0x7e, 0x8f, 0x90, 0xa1}};

/// The line the stand-in prints once it is registered and answering calls.
inline constexpr const char* kStandInReady = "stand-in ready";

}  // namespace tess::test
