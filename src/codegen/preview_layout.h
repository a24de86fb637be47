#pragma once

#include "codegen/preview_canvas.h"
#include "model/dot_matrix.h"
#include "model/proportional_glyph.h"

#include <optional>
#include <string_view>
#include <vector>

namespace tgw {

// A box of dots placed on the display: its top-left dot at (x, y), which may lie off the
// display (what lies off is not shown).
struct CPlacedBits {
    const CBitMatrix* dots;
    int x, y;
};
struct CPlacedMatrix {
    const CDotMatrix* dots;
    int x, y;
};

// A text laid out by a proportional format's rules: where each glyph's box goes, and the area
// the text takes from the display's top-left corner (the pens' reach and the ink's), which sizes
// a display that is not given.
struct CTextLayout {
    std::vector<CPlacedBits> glyphs;
    int width = 0;
    int height = 0;
};

// Where a text starts and where it wraps.
struct CTextPlacement {
    // The GFX cursor (what the library's setCursor() takes: x, and the row of the lowest dots
    // of glyphs standing on the baseline). Unset: x 0 and the row that puts the first line's
    // ascent at the display's top.
    std::optional<int> cursorX, cursorY;
    // A glyph that would pass this width starts a new line first, as the GFX library wraps
    // (0: never).
    int wrapWidth = 0;
};

// `text` drawn with a GFX font made of `font` as the GFX library's text renderer draws it.
// Characters are bytes: one outside the font's first to last code draws nothing and does not
// move the cursor; a code between them that the font lacks has an empty glyph of no advance.
// Each glyph with dots is placed at the cursor plus its x offset and its GFX y offset (from
// the cursor's row); a glyph with dots that would pass the wrap width moves the cursor to x 0
// of the next line first. The cursor then moves on by the advance. '\n' moves it to x 0 and
// down by the font's line advance; '\r' is ignored. The glyphs point into `font`.
CTextLayout layoutGfxText(const CProportionalFont& font, std::u16string_view text,
                          const CTextPlacement& placement);

// `text` drawn by the metrics of the other proportional formats: the pen on the baseline, each
// glyph's box at the pen plus its offsets, the pen moved on by the advance; a line break (or a
// glyph with dots that would pass the wrap width) moves the pen back to the start and down by
// the line advance. A character the font lacks draws nothing. The first baseline is the line's
// ascent below the top (or the cursor's row + 1, as GFX counts).
CTextLayout layoutProportionalText(const CProportionalFont& font, std::u16string_view text,
                                   const CTextPlacement& placement);

// Matrices set in cells one after the other, left to right in rows, as a display shows a
// fixed-cell font or a sequence of pictures: each at the right of the one before, a row as
// high as its tallest; nullptr is a line break. A matrix that would pass `wrapWidth` (0:
// never) or come after `columns` in its row (0: no limit) begins the next row.
struct CCellLayout {
    std::vector<CPlacedMatrix> cells;
    int width = 0;
    int height = 0;
};
CCellLayout layoutCells(const std::vector<const CDotMatrix*>& cells, int wrapWidth,
                        int columns = 0);

// A character in its cell, as the font dialog shows it: the cell as rendered and the glyph
// uncut, the cell's top-left dot at (left, top) of `uncut` (`uncut` may be the cell itself).
struct CCutCell {
    const CDotMatrix* cell;
    const CDotMatrix* uncut;
    int left = 0;
    int top = 0;
};

// The cells side by side, `gap` dots (at least 1) around each marked as outside them, where the
// ink each cell cut off shows as lit outside dots (the ink that reaches further than the gap,
// or into a neighbour, is not shown).
CPreviewCanvas drawCutCells(const std::vector<CCutCell>& cells, int gap);

// What a preview draws on, and how it becomes a picture.
struct CPreviewOptions {
    // The display's size in its native orientation; 0 × 0: as large as what is drawn (turned
    // by the rotation).
    int width = 0;
    int height = 0;
    // How the display is mounted: turned 0, 90, 180 or 270 degrees clockwise from its native
    // orientation. Text is laid out as the viewer sees it (on the display's sides swapped by a
    // quarter turn) and the picture shows the display in its native orientation, as its memory
    // holds the dots.
    int rotation = 0;
    CPreviewLook look;
};

// The area a preview lays out on, as the viewer sees it: the display's sides, swapped by a
// quarter turn; 0 × 0 when the display takes the size of what is drawn.
void seenArea(const CPreviewOptions& options, int& width, int& height);

// A canvas of the seen area (or, when the display has no size, of `width` × `height`, at least
// 1 × 1), the placed dots drawn on it, turned into the display's native orientation. Fails when
// a side would pass kMaxPreviewSide or the whole 16 million dots.
inline constexpr int kMaxPreviewSide = 16384;
// The sides of that canvas as the viewer sees it; fails as drawPreview() does.
Status previewSize(const CPreviewOptions& options, int drawnWidth, int drawnHeight, int& width,
                   int& height);
Result<CPreviewCanvas> drawPreview(const CTextLayout& text, const CPreviewOptions& options);
Result<CPreviewCanvas> drawPreview(const CCellLayout& cells, const CPreviewOptions& options);

} // namespace tgw
