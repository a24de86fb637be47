#pragma once

#include "base/result.h"
#include "model/dot_matrix.h"
#include "model/font_settings.h"
#include "raster/text_painter.h"

#include <string>
#include <string_view>
#include <vector>

namespace tgw {

class CFreeTypeRenderer;

// Lines of a string entry's text: split at LF, a CR just before an LF dropped.
std::vector<std::u16string_view> splitLines(std::u16string_view text);

// A string entry's text as one matrix, which takes its own size: lines one character height
// apart; TrueType lines as wide as their text (plus the extra spacing of character width minus
// height after each character), built-in fonts one cell a character. Right-to-left lines are
// right-aligned, and a line longer than the matrix then keeps its end. At most 2048 dots on a
// side; what lies beyond is cut. Fails for an empty text or unusable font settings. With
// `lost`, the ink of TrueType lines that their line boxes cut off is measured into it.
Status rasteriseString(CFreeTypeRenderer& freeType, std::u16string_view text, bool rightToLeft,
                       const CFontSettings& font, CDotMatrix& out, CInkLoss* lost = nullptr);

// One line of text in a face at an em height, white on black, exactly as large as the text:
// its advances wide and the face's ascent plus descent high (at most 2048 each).
Result<CGrayCanvas> renderTextLine(CFreeTypeRenderer& freeType, std::u16string_view text,
                                   const std::u16string& face, int emHeight);

} // namespace tgw
