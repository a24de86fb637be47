#pragma once

#include "model/proportional_glyph.h"

#include <cstdint>
#include <map>
#include <utility>

namespace tgw {

// The line of an LVGL font as the LVGL writers write it into lv_font_t: line_height (from one
// line's top to the next, at least 1) and base_line (from the line's bottom up to the baseline).
struct CLvglLine {
    int lineHeight = 1;
    int baseLine = 0;
};
CLvglLine lvglLine(const CLineMetrics& line);

// The kerning an LVGL font holds, as the writers write it: per pair of codes of the font's
// glyphs a signed value, which LVGL applies as (value × scale) >> 4 sixteenths of a dot.
// Pairs whose value rounds to 0 are left out.
struct CLvglKerningValues {
    unsigned scale = 16; // 12.4
    std::map<std::pair<char16_t, char16_t>, int8_t> values;
};
CLvglKerningValues lvglKerningValues(const CProportionalFont& font);

} // namespace tgw
