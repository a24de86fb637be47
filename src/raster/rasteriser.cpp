#include "raster/rasteriser.h"

#include "base/text.h"
#include "raster/builtin_fonts.h"
#include "raster/font_config.h"
#include "raster/freetype_renderer.h"
#include "raster/string_rasteriser.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace tgw {
namespace {

// Where a built-in glyph sits in a character cell of width × height.

int placeX(int kind, int width) {
    static const int limit[] = {7, 7, 8, 10, 14, 18};
    CGlyphSize g = builtinGlyphSize(kind);
    return width < limit[kind] ? 0 : (width - g.width) / 2;
}

int placeY(int kind, int height) {
    static const int limit[] = {9, 10, 14, 18, 14, 18};
    CGlyphSize g = builtinGlyphSize(kind);
    return height < limit[kind] ? 0 : (height - g.height) / 2;
}

} // namespace

CRasteriser::CRasteriser() : m_freeType(std::make_unique<CFreeTypeRenderer>()) {}
CRasteriser::~CRasteriser() = default;

Status CRasteriser::renderCharacter(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                                    CDotMatrix& out) {
    if (code == 0)
        return failure("an entry without a character cannot be rendered");
    if (font.kind == kFontUnset)
        return failure("no font is set for the character");
    if (font.kind == kFontTrueType && font.face.empty() && font.fontFile.empty())
        return failure("no face is named for the TrueType font");
    if (font.kind < kFontUnset || font.kind > kFontTrueType)
        return failure(format("font kind %d does not exist", font.kind));
    if (!validMatrixSize(font.width, font.height))
        return failure(format("a matrix of %dx%d dots is outside 1 to %d", font.width, font.height,
                              kMaxMatrixSide));
    if (!validDepth(font.depth))
        return failure(format("%d bits a dot is not a depth; 1, 2, 4 or 8", font.depth));

    m_lastInk = {};
    m_lastBox = {};
    CDotMatrix dots(font.width, font.height, font.depth);
    if (!isWhiteSpace(code)) {
        if (isBuiltinFont(font.kind)) {
            if (!paintBuiltin(font.kind, ansi, dots, placeX(font.kind, font.width),
                              placeY(font.kind, font.height), font.width, font.height))
                return failure("the built-in glyph does not fit into the matrix");
        } else if (Status s = m_freeType->renderCharacter(code, font, dots, &m_lastBox); !s) {
            return s;
        }
        m_lastInk = m_lastBox.lossIn(font.width, font.height);
    }
    out = std::move(dots);
    return {};
}

Status CRasteriser::renderUncut(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                                CDotMatrix& cell, CDotMatrix& uncut, CInkLoss& lost) {
    if (Status s = renderCharacter(code, ansi, font, cell); !s)
        return s;
    lost = m_lastInk;
    uncut = cell;
    // Only a TrueType or bitmap face cuts ink; the built-in fonts always fit their cells.
    if (!lost.any() || isBuiltinFont(font.kind) ||
        !validMatrixSize(font.width + lost.left + lost.right, font.height + lost.top + lost.bottom))
        return {};
    uncut = CDotMatrix(font.width + lost.left + lost.right, font.height + lost.top + lost.bottom,
                       cell.depth());
    const CInkLoss lastInk = m_lastInk;
    const CInkBox lastBox = m_lastBox;
    Status s = m_freeType->renderCharacter(code, font, uncut, nullptr, &lost);
    // What the last render lost stays that of the cell.
    m_lastInk = lastInk;
    m_lastBox = lastBox;
    return s;
}

Result<CGlyphCoverage> CRasteriser::glyphCoverage(char16_t code, const CAnsiForm& ansi,
                                                  const CFontSettings& font) {
    if (isBuiltinFont(font.kind))
        return CGlyphCoverage{
            builtinHasGlyph(font.kind, ansi) ? EGlyphSource::Font : EGlyphSource::Missing, {}};
    Result<FT_Face> face = font.fontFile.empty()
                               ? m_freeType->face(font.face, font.bold, font.italic)
                               : m_freeType->fileFace(font.fontFile, font.faceIndex);
    if (!face)
        return failure(face.error());
    if (FT_Get_Char_Index(*face, code) != 0)
        return CGlyphCoverage{};
    if (!font.fontFile.empty() && !font.fileFallback)
        return CGlyphCoverage{EGlyphSource::Missing, {}};
    CFaceFile other;
    if (!m_freeType->coveringFace(font.face, font.bold, font.italic, code, font.height, &other))
        return CGlyphCoverage{EGlyphSource::Missing, {}};
    return CGlyphCoverage{EGlyphSource::Fallback, other.family};
}

Result<int> CRasteriser::fitOffset(const CFontSettings& font, std::u16string_view codes) {
    if (!font.fitCell || font.kind != kFontTrueType || font.fontFile.empty())
        return 0;
    Result<FT_Face> face = m_freeType->fileFace(font.fontFile, font.faceIndex);
    if (!face)
        return failure(face.error());
    if (FT_IS_SCALABLE(*face))
        return 0;
    // The blank rows the whole set leaves above and below its ink (negative: rows cut).
    CFontSettings at = font;
    at.offset = 0;
    bool inked = false;
    int above = 0, below = 0;
    CDotMatrix cell;
    for (char16_t c : codes) {
        if (isWhiteSpace(c) || c == 0)
            continue;
        if (Status s = renderCharacter(c, ansiForm(c), at, cell); !s)
            return failure(s.error());
        if (m_lastBox.empty())
            continue;
        const int top = m_lastBox.top, bottom = font.height - m_lastBox.bottom;
        above = inked ? std::min(above, top) : top;
        below = inked ? std::min(below, bottom) : bottom;
        inked = true;
    }
    m_lastInk = {};
    m_lastBox = {};
    if (!inked || (above >= 0 && below >= 0))
        return 0;
    if (above + below >= 0)
        return above < 0 ? -above : below; // down to the top, or up from the bottom
    return (below - above) / 2;
}

Status CRasteriser::renderProportional(char16_t code, const CAnsiForm& ansi,
                                       const CFontSettings& font, CProportionalGlyph& out,
                                       CLineMetrics& line) {
    if (font.kind != kFontTrueType)
        return IRasteriser::renderProportional(code, ansi, font, out, line);
    if (code == 0)
        return failure("an entry without a character cannot be rendered");
    if (font.face.empty() && font.fontFile.empty())
        return failure("no face is named for the TrueType font");
    if (!validMatrixSize(font.width, font.height))
        return failure(format("a matrix of %dx%d dots is outside 1 to %d", font.width, font.height,
                              kMaxMatrixSide));
    return m_freeType->renderProportional(code, font, out, line);
}

Status CRasteriser::kerningPairs(std::span<const char16_t> codes, const CFontSettings& font,
                                 std::vector<CKerningPair>& out) {
    out.clear();
    if (font.kind != kFontTrueType || codes.empty() || (font.face.empty() && font.fontFile.empty()))
        return {};
    return m_freeType->kerningPairs(codes, font, out);
}

Status CRasteriser::renderString(std::u16string_view text, bool rightToLeft,
                                 const CFontSettings& font, CDotMatrix& out) {
    m_lastInk = {};
    m_lastBox = {};
    return rasteriseString(*m_freeType, text, rightToLeft, font, out, &m_lastInk);
}

Status CRasteriser::renderPicture(const std::u16string& path, uint8_t threshold, CDotMatrix& out) {
    m_lastPicture = {};
    return rasterisePicture(*m_freeType, path, threshold, out, &m_lastPicture);
}

Status CRasteriser::renderPictureWith(const std::u16string& path, const CPictureOptions& options,
                                      CDotMatrix& out) {
    m_lastPicture = {};
    return rasterisePicture(*m_freeType, path, options, out, &m_lastPicture);
}

} // namespace tgw
