#include "raster/rasteriser.h"

#include "base/text.h"
#include "raster/builtin_fonts.h"
#include "raster/font_config.h"
#include "raster/freetype_renderer.h"
#include "raster/string_rasteriser.h"

#include <ft2build.h>
#include FT_FREETYPE_H

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

    CDotMatrix dots(font.width, font.height);
    if (!isWhiteSpace(code)) {
        if (isBuiltinFont(font.kind)) {
            if (!paintBuiltin(font.kind, ansi, dots, placeX(font.kind, font.width),
                              placeY(font.kind, font.height), font.width, font.height))
                return failure("the built-in glyph does not fit into the matrix");
        } else if (Status s = m_freeType->renderCharacter(code, font, dots); !s) {
            return s;
        }
    }
    out = std::move(dots);
    return {};
}

Result<CGlyphCoverage> CRasteriser::glyphCoverage(char16_t code, const CAnsiForm& ansi,
                                                  const CFontSettings& font) {
    if (isBuiltinFont(font.kind))
        return CGlyphCoverage{
            builtinHasGlyph(font.kind, ansi) ? EGlyphSource::Font : EGlyphSource::Missing, {}};
    if (!font.fontFile.empty()) {
        // A font file stands alone (and needs no font lookup): what it lacks is blank.
        Result<FT_Face> face = m_freeType->fileFace(font.fontFile, font.faceIndex);
        if (!face)
            return failure(face.error());
        return CGlyphCoverage{
            FT_Get_Char_Index(*face, code) ? EGlyphSource::Font : EGlyphSource::Missing, {}};
    }
    Result<FT_Face> face = m_freeType->face(font.face, font.bold, font.italic);
    if (!face)
        return failure(face.error());
    if (FT_Get_Char_Index(*face, code) != 0)
        return CGlyphCoverage{};
    CFaceFile other;
    if (!m_freeType->coveringFace(font.face, font.bold, font.italic, code, font.height, &other))
        return CGlyphCoverage{EGlyphSource::Missing, {}};
    return CGlyphCoverage{EGlyphSource::Fallback, other.family};
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

Status CRasteriser::renderString(std::u16string_view text, bool rightToLeft,
                                 const CFontSettings& font, CDotMatrix& out) {
    return rasteriseString(*m_freeType, text, rightToLeft, font, out);
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
