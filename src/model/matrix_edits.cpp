#include "model/matrix_edits.h"

namespace tgw {
namespace {

bool columnEmpty(const CDotMatrix& m, int c) {
    for (int r = 0; r < m.height(); ++r)
        if (m.lit(r, c))
            return false;
    return true;
}

bool rowEmpty(const CDotMatrix& m, int r) {
    for (int c = 0; c < m.width(); ++c)
        if (m.lit(r, c))
            return false;
    return true;
}

// The dots of `m` from column `left`, row `top`, in a matrix of width × height.
CDotMatrix crop(const CDotMatrix& m, int left, int top, int width, int height) {
    CDotMatrix out(width, height, m.depth());
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c)
            out.setLevel(r, c, m.level(r + top, c + left));
    return out;
}

// Every dot moved by (dr, dc); dots pushed over an edge are lost.
CDotMatrix shifted(const CDotMatrix& m, int dr, int dc) {
    CDotMatrix out(m.width(), m.height(), m.depth());
    for (int r = 0; r < m.height(); ++r)
        for (int c = 0; c < m.width(); ++c)
            if (m.lit(r, c) && out.contains(r + dr, c + dc))
                out.setLevel(r + dr, c + dc, m.level(r, c));
    return out;
}

} // namespace

std::optional<CDotMatrix> applyEdit(const CDotMatrix& m, EMatrixEdit edit) {
    const int w = m.width(), h = m.height();
    if (m.empty())
        return std::nullopt;
    switch (edit) {
    case EMatrixEdit::Invert: {
        // Each level becomes its opposite: the highest minus it (dark and lit swap at 1 bit).
        CDotMatrix out(w, h, m.depth());
        const uint8_t top = m.maxLevel();
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
                out.setLevel(r, c, uint8_t(top - m.level(r, c)));
        return out;
    }
    case EMatrixEdit::ShiftUp:
        return shifted(m, -1, 0);
    case EMatrixEdit::ShiftDown:
        return shifted(m, 1, 0);
    case EMatrixEdit::ShiftLeft:
        return shifted(m, 0, -1);
    case EMatrixEdit::ShiftRight:
        return shifted(m, 0, 1);
    case EMatrixEdit::MirrorHorizontal:
    case EMatrixEdit::MirrorVertical:
    case EMatrixEdit::Rotate180: {
        bool flipRows = edit != EMatrixEdit::MirrorHorizontal;
        bool flipCols = edit != EMatrixEdit::MirrorVertical;
        CDotMatrix out(w, h, m.depth());
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
                out.setLevel(r, c, m.level(flipRows ? h - 1 - r : r, flipCols ? w - 1 - c : c));
        return out;
    }
    case EMatrixEdit::Rotate90:
    case EMatrixEdit::Rotate270: {
        // Clockwise: new (i, j) = old (h − 1 − j, i); counter-clockwise: old (j, w − 1 − i).
        CDotMatrix out(h, w, m.depth());
        for (int i = 0; i < w; ++i)
            for (int j = 0; j < h; ++j)
                out.setLevel(i, j,
                             edit == EMatrixEdit::Rotate90 ? m.level(h - 1 - j, i)
                                                           : m.level(j, w - 1 - i));
        return out;
    }
    case EMatrixEdit::TrimLeft:
    case EMatrixEdit::TrimRight: {
        int n = 0;
        bool left = edit == EMatrixEdit::TrimLeft;
        while (n < w && columnEmpty(m, left ? n : w - 1 - n))
            ++n;
        if (n == 0 || n == w)
            return std::nullopt;
        return crop(m, left ? n : 0, 0, w - n, h);
    }
    case EMatrixEdit::TrimTop:
    case EMatrixEdit::TrimBottom: {
        int n = 0;
        bool top = edit == EMatrixEdit::TrimTop;
        while (n < h && rowEmpty(m, top ? n : h - 1 - n))
            ++n;
        if (n == 0 || n == h)
            return std::nullopt;
        return crop(m, 0, top ? n : 0, w, h - n);
    }
    }
    return std::nullopt;
}

} // namespace tgw
