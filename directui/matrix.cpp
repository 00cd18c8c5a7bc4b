// Matrices: a transform that brushes copy when it is set on them.
#include <cmath>

#include "directui/brush.h"
#include "directui/handles.h"
#include "directui/include/exdui_export.h"

using namespace exdui;

EXDUI_EXPORT HEXHANDLE _matrix_create() {
  auto* matrix = new Matrix;
  cairo_matrix_init_identity(&matrix->transform);
  const HEXHANDLE handle = HandleAdd(HandleKind::Matrix, matrix);
  if (handle == 0) delete matrix;
  return handle;
}

// Moves by (dx, dy) after whatever the matrix already does.
EXDUI_EXPORT int32_t _matrix_translate(HEXHANDLE hMatrix, float dx, float dy) {
  Matrix* matrix = HandleAs<Matrix>(hMatrix, HandleKind::Matrix);
  if (matrix == nullptr || !std::isfinite(dx) || !std::isfinite(dy)) return 0;
  cairo_matrix_t move;
  cairo_matrix_init_translate(&move, dx, dy);
  cairo_matrix_multiply(&matrix->transform, &matrix->transform, &move);
  return 1;
}

EXDUI_EXPORT int32_t _matrix_destroy(HEXHANDLE hMatrix) {
  Matrix* matrix = HandleAs<Matrix>(hMatrix, HandleKind::Matrix);
  if (matrix == nullptr) return 0;
  HandleRemove(hMatrix);
  delete matrix;
  return 1;
}
