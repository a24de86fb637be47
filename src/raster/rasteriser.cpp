#include "raster/rasteriser.h"

#include "base/text.h"
#include "raster/builtin_fonts.h"
#include "raster/freetype_renderer.h"
#include "raster/string_rasteriser.h"

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
    if (font.kind == kFontTrueType && font.face.empty())
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
