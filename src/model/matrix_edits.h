#pragma once

#include "model/dot_matrix.h"

#include <optional>

namespace tgw {

// The whole-matrix edits of the edit menu. Each returns the edited matrix, or nothing when the
// edit would leave the matrix as it is (a trim without empty edge lines, a trim of an all-empty
// matrix), so that callers neither mark the document modified nor lay out again for it.
enum class EMatrixEdit {
    Invert,
    ShiftUp,
    ShiftDown,
    ShiftLeft,
    ShiftRight,
    MirrorHorizontal, // each row left to right
    MirrorVertical,   // the order of the rows
    Rotate90,         // clockwise
    Rotate180,
    Rotate270,
    TrimLeft,
    TrimRight,
    TrimTop,
    TrimBottom,
};

std::optional<CDotMatrix> applyEdit(const CDotMatrix& matrix, EMatrixEdit edit);

} // namespace tgw
