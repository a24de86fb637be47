#pragma once

#include "base/codepage.h"
#include "base/result.h"
#include "model/dot_matrix.h"
#include "model/font_settings.h"
#include "model/ink_loss.h"
#include "model/picture_options.h"
#include "model/proportional_glyph.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tgw {

// What turns an entry's source into dots. The model only knows this interface; the raster
// layer implements it. One instance serves one thread at a time.
class IRasteriser {
public:
    virtual ~IRasteriser() = default;

    // A character in font.width × font.height dots. A code the font cannot show gives a blank
    // matrix and success; unusable settings or code 0 fail with a reason.
    virtual Status renderCharacter(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                                   CDotMatrix& out) = 0;
    // A character cropped to its ink box with its metrics, and the font's line. This default
    // draws the cell and crops it: the cell's bottom is the baseline, its width the advance.
    virtual Status renderProportional(char16_t code, const CAnsiForm& ansi,
                                      const CFontSettings& font, CProportionalGlyph& out,
                                      CLineMetrics& line) {
        CDotMatrix cell;
        if (Status s = renderCharacter(code, ansi, font, cell); !s)
            return s;
        out = cropCell(cell, cell.height());
        out.code = code;
        line.lineAdvance = line.ascent = cell.height();
        return {};
    }
    // The kerning of the face of `font` between the characters of `codes`, at the size
    // renderProportional() draws at: every pair whose adjustment is not 0, sorted by left then
    // right code, into `out`. Fonts without kerning (this default) give none.
    virtual Status kerningPairs(std::span<const char16_t> codes, const CFontSettings& font,
                                std::vector<CKerningPair>& out) {
        (void)codes;
        (void)font;
        out.clear();
        return {};
    }
    // The ink the last renderCharacter() or renderString() cut off at the matrix's sides.
    // Rasterisers that never cut report none.
    virtual CInkLoss lastInkLoss() const { return {}; }
    // A text of one or more lines as one matrix; the matrix chooses its own size.
    virtual Status renderString(std::u16string_view text, bool rightToLeft,
                                const CFontSettings& font, CDotMatrix& out) = 0;
    // A picture file under a brightness threshold; the matrix takes the picture's size.
    virtual Status renderPicture(const std::u16string& path, uint8_t threshold,
                                 CDotMatrix& out) = 0;
    // A picture file converted as `options` say (method, inversion, scaling). Rasterisers that
    // know only the threshold give that, which is all plain options ask for.
    virtual Status renderPictureWith(const std::u16string& path, const CPictureOptions& options,
                                     CDotMatrix& out) {
        return renderPicture(path, options.threshold, out);
    }
};

} // namespace tgw
