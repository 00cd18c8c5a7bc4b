// How the library exports its operations: extern "C" with default visibility
// (everything else in the library is hidden).
#pragma once

#include "directui/include/exdui_abi.h"

#define EXDUI_EXPORT extern "C" __attribute__((visibility("default")))

#define EXDUI_DECLARE_EXPORT(ret, name, params, args) EXDUI_EXPORT ret name params;
EXDUI_OPERATIONS(EXDUI_DECLARE_EXPORT)
#undef EXDUI_DECLARE_EXPORT
