// The library's life: Ex_Init to Ex_UnInit.
#pragma once

namespace exdui {

bool LibraryInitialised();

}  // namespace exdui
