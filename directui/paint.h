// The painting pipeline's entry points for the rest of the library.
#pragma once

#include <cstddef>

#include "directui/object.h"

namespace exdui {

// The default handling of the paint message: the class's paint hook on a
// prepared canvas, unless the handler painted during this very message.
void PaintObjectDefault(Object* obj);
// Ends the paints begun while dispatch frame `frameIndex` (or one inside it)
// ran and that its handler left open.
void EndPaintsOfFrame(size_t frameIndex);

}  // namespace exdui
