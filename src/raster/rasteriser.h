#pragma once

#include "model/rasteriser.h"
#include "model/settings.h"
#include "raster/font_config.h"
#include "raster/freetype_renderer.h"
#include "raster/picture_rasteriser.h"

#include <memory>
#include <string>
#include <vector>

namespace tgw {

class CFreeTypeRenderer;

// Where the glyph of a character comes from: the font itself, another installed face that has
// the character (TrueType only, as rendering falls back for coverage), or nowhere, so that the
// character comes out blank or as the face's missing-glyph box.
enum class EGlyphSource { Font, Fallback, Missing };

struct CGlyphCoverage {
    EGlyphSource source = EGlyphSource::Font;
    std::u16string fallbackFamily; // the face used instead, for EGlyphSource::Fallback
};

// The rasteriser of all three entry kinds: built-in dot fonts, TrueType faces through FreeType,
// strings and pictures. Each instance owns its own FreeType library and faces, so one instance
// per thread renders in parallel with others.
class CRasteriser : public IRasteriser {
public:
    CRasteriser();
    ~CRasteriser() override;

    Status renderCharacter(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                           CDotMatrix& out) override;
    Status renderString(std::u16string_view text, bool rightToLeft, const CFontSettings& font,
                        CDotMatrix& out) override;
    Status renderProportional(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                              CProportionalGlyph& out, CLineMetrics& line) override;
    Status kerningPairs(std::span<const char16_t> codes, const CFontSettings& font,
                        std::vector<CKerningPair>& out) override;
    Status renderPicture(const std::u16string& path, uint8_t threshold, CDotMatrix& out) override;
    Status renderPictureWith(const std::u16string& path, const CPictureOptions& options,
                             CDotMatrix& out) override;

    CInkLoss lastInkLoss() const override { return m_lastInk; }
    // Where the ink of the last character rendered with a TrueType or bitmap face lay in its
    // cell before the cell cut it; empty for a blank or a built-in font.
    const CInkBox& lastInkBox() const { return m_lastBox; }

    // The character as renderCharacter() draws it, and where that cut ink off, also the whole
    // glyph: `uncut` is the cell grown at each side by what the cell cut there, the cell's
    // top-left dot at (lost.left, lost.top) of it. Without a loss `uncut` is the cell itself.
    // Fails as renderCharacter() does.
    Status renderUncut(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                       CDotMatrix& cell, CDotMatrix& uncut, CInkLoss& lost);

    CFreeTypeRenderer& freeType() { return *m_freeType; }

    // The offset that fits a set of characters into the cell of `font` when its size is to
    // fit the cell and its face is a font file of bitmap strikes only, which cannot be
    // scaled: the set's ink all inside the cell, or, when the set is taller than the cell, as
    // much cut at the top as at the bottom. 0 for every other font. Fails only when the face
    // cannot be opened.
    Result<int> fitOffset(const CFontSettings& font, std::u16string_view codes);

    // Where renderCharacter() takes the glyph of `code` in `font` from: a font file's own face
    // unless it lacks the character and a fallback was asked for. Fails only when the font's
    // face cannot be opened.
    Result<CGlyphCoverage> glyphCoverage(char16_t code, const CAnsiForm& ansi,
                                         const CFontSettings& font);

    // Whether the last picture rendered was shown, or stood in for by "Image Invalid" or
    // "Image Too Big" (the render succeeds either way), and why.
    const CPictureReport& lastPictureReport() const { return m_lastPicture; }

private:
    std::unique_ptr<CFreeTypeRenderer> m_freeType;
    CPictureReport m_lastPicture;
    CInkLoss m_lastInk;
    CInkBox m_lastBox;
};

} // namespace tgw
