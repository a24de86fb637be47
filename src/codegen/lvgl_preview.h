#pragma once

#include "codegen/preview_layout.h"

#include <string_view>

namespace tgw {

// `text` as an LVGL label draws it in the LVGL font the LVGL writers make of `font`. Each line
// starts at the label's left edge (the cursor's x, default 0) and lies line_height below the
// one before it, the first at the label's top (the cursor's y, default 0). A glyph's box is at
// the pen plus its x offset, and its top line_height - base_line - box height - y offset below
// the line's top; the pen then moves by the advance in 1/16 dot plus the kerning LVGL looks up
// for the glyph and the character after it, rounded to whole dots (never below 0). Control
// characters and characters the font lacks draw nothing and take no room. With a wrap width,
// lines break as LVGL's label wraps: between words (at spaces and , . ; : - _ ) ] }, and
// between CJK characters), a word wider than the line by letters, spaces at the start of a
// wrapped line left out. The glyphs point into `font`.
CTextLayout layoutLvglText(const CProportionalFont& font, std::u16string_view text,
                           const CTextPlacement& placement);

// The opacity LVGL draws a dot of `level` of a `depth`-bit glyph at (0 to 255): 1 bit gives 0
// or 255, 2 bits steps of 85, 4 bits steps of 17, 8 bits the level itself.
int lvglOpacity(int level, int depth);

// The laid-out glyphs drawn as LVGL's software renderer draws them on a 24-bit display: every
// dot starts in the dark colour and each glyph, in turn, blends the lit colour over what is
// there by its opacity (dst = (lit × opa + dst × (255 - opa)) >> 8, opacity 253 and above
// covering). Sized, turned and failing as drawPreview() does.
Result<CColourDots> drawLvglPreview(const CTextLayout& text, const CPreviewOptions& options);

} // namespace tgw
