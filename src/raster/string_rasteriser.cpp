#include "raster/string_rasteriser.h"

#include "base/codepage.h"
#include "base/text.h"
#include "raster/builtin_fonts.h"
#include "raster/font_config.h"
#include "raster/freetype_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace tgw {
namespace {

// TrueType strings are drawn white on black and a dot is lit where the brightness reaches this.
constexpr int kStringThreshold = 120;
// Below this many dots, a line squeezed by negative spacing takes its last character's width.
constexpr long kShortLine = 5;

int clampSide(long side) {
    return int(std::clamp<long>(side, 1, kMaxMatrixSide));
}

// The last character of a non-empty line, a surrogate pair kept whole.
std::u16string_view lastCharacter(std::u16string_view line) {
    size_t n = line.size();
    if (n >= 2 && line[n - 1] >= 0xDC00 && line[n - 1] <= 0xDFFF && line[n - 2] >= 0xD800 &&
        line[n - 2] <= 0xDBFF)
        return line.substr(n - 2);
    return line.substr(n - 1);
}

Status renderTrueType(CFreeTypeRenderer& freeType, std::u16string_view text, bool rtl,
                      const CFontSettings& font, CDotMatrix& out, CInkLoss* lost) {
    const int cellHeight = font.height;
    int em = font.size ? font.size : font.height;
    const CFaceFile* file = nullptr;
    const bool fromFile = !font.fontFile.empty();
    auto sized = [&] {
        return fromFile ? freeType.sizedFileFace(font.fontFile, font.faceIndex, em)
                        : freeType.sizedFace(font.face, font.bold, font.italic, em, &file);
    };
    Result<FT_Face> face = sized();
    if (!face)
        return failure(face.error());
    // Fitted to the cell as characters are: the largest size whose ascent and descent fit
    // one line's height.
    if (font.fitCell) {
        const std::string key =
            "run:" + (fromFile ? font.fontFile + "#" + std::to_string(font.faceIndex)
                               : utf16ToUtf8(font.face) + (font.bold ? ":b" : "") +
                                     (font.italic ? ":i" : ""));
        em = freeType.fitSize(*face, key, cellHeight);
        face = sized();
        if (!face)
            return failure(face.error());
    }
    CStyledFace styled{*face, false, false};
    if (fromFile) {
        styled.syntheticBold = font.bold && !((*face)->style_flags & FT_STYLE_FLAG_BOLD);
        styled.syntheticItalic = font.italic && !((*face)->style_flags & FT_STYLE_FLAG_ITALIC);
    } else {
        styled.syntheticBold = file->syntheticBold;
        styled.syntheticItalic = file->syntheticItalic;
    }
    // Characters the face lacks are drawn in a face that has them, at the same size; a font
    // file stands alone unless a fallback was asked for, and what it lacks stays blank.
    const bool alone = fromFile && !font.fileFallback;
    CTextPainter painter(styled, [&](char32_t c) -> std::optional<CStyledFace> {
        if (alone)
            return std::nullopt;
        CFaceFile found;
        Result<FT_Face> other =
            freeType.coveringFace(font.face, font.bold, font.italic, c, em, &found);
        if (!other)
            return std::nullopt;
        return CStyledFace{*other, found.syntheticBold, found.syntheticItalic};
    });
    painter.setBlankMissing(fromFile);
    const int extra = font.width - font.height;

    struct CLine {
        CLineLayout layout;
        long width = 0;
    };
    std::vector<std::u16string_view> texts = splitLines(text);
    std::vector<CLine> lines(texts.size());
    long widest = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        CLine& line = lines[i];
        line.layout = painter.layout(texts[i], rtl, extra);
        line.width = line.layout.advance;
        if (extra != 0 && !texts[i].empty()) {
            line.width += long(extra) * long(texts[i].size() - 1);
            if (line.width <= kShortLine)
                line.width = painter.layout(lastCharacter(texts[i]), rtl, extra).advance;
        }
        line.width = std::max(line.width, 0L);
        widest = std::max(widest, line.width);
    }

    // A text of empty lines still gets a matrix: one dot wide.
    const int width = clampSide(widest);
    const int height = clampSide(long(cellHeight) * long(lines.size()));
    CGrayCanvas canvas(width, height);
    const int top = (font.size && !font.fitCell ? (cellHeight - font.size) / 2 : 0) + font.offset;
    for (size_t i = 0; i < lines.size() && long(i) * cellHeight < height; ++i) {
        const CLine& line = lines[i];
        const long rowTop = long(i) * cellHeight;
        // Each line is drawn into a box as wide as the line and one character height high,
        // then put at the left or, right to left, at the right edge of the matrix.
        const long left = rtl ? width - line.width : 0;
        CClip clip;
        clip.left = int(std::max(left, 0L));
        clip.right = int(std::min(left + line.width, long(width)));
        clip.top = int(rowTop);
        clip.bottom = int(std::min(rowTop + cellHeight, long(height)));
        if (clip.left >= clip.right)
            continue;
        // Far-off positions are clamped; they are cut by the clip anyway.
        const int lineLeft = int(std::max(left, -(1L << 30)));
        const int baseline = int(rowTop) + top + painter.ascent();
        painter.draw(line.layout, lineLeft, baseline, clip, canvas, lost, kStringThreshold);
        const int ruleWidth = int(std::min(line.width, 1L << 30));
        if (font.underline)
            painter.drawUnderline(lineLeft, ruleWidth, baseline, clip, canvas);
        if (font.strikeout)
            painter.drawStrikeout(lineLeft, ruleWidth, baseline, clip, canvas);
    }

    // One bit a dot lights the coverage from the threshold on; grey levels keep it, quantised.
    const int depth = font.depth;
    CDotMatrix dots(width, height, depth);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t v = canvas.at(x, y);
            if (depth > 1)
                dots.setLevel(y, x, levelOfCoverage(v, depth));
            else if (v >= kStringThreshold)
                dots.set(y, x, true);
        }
    out = std::move(dots);
    return {};
}

Status renderBuiltin(std::u16string_view text, bool rtl, const CFontSettings& font,
                     CDotMatrix& out) {
    const long cellWidth = font.width, cellHeight = font.height;
    std::vector<std::u16string_view> lines = splitLines(text);
    size_t longest = 0;
    for (std::u16string_view line : lines)
        longest = std::max(longest, line.size());

    // Whole cells only: a side over the limit drops the cells that do not fit.
    long width = cellWidth * long(std::max<size_t>(longest, 1));
    if (width > kMaxMatrixSide)
        width = kMaxMatrixSide / cellWidth * cellWidth;
    long height = cellHeight * long(lines.size());
    if (height > kMaxMatrixSide)
        height = kMaxMatrixSide / cellHeight * cellHeight;
    CDotMatrix dots{int(width), int(height), font.depth};

    // The glyph is centred in its cell when the cell is larger than the font's own size.
    static const CGlyphSize native[] = {{5, 8}, {5, 8}, {6, 12}, {8, 16}, {12, 12}, {16, 16}};
    const CGlyphSize glyph = native[font.kind];
    const int x = glyph.width < cellWidth ? int(cellWidth - glyph.width) / 2 : 0;
    const int y = glyph.height < cellHeight ? int(cellHeight - glyph.height) / 2 : 0;

    const long columns = width / cellWidth;
    const long rows = height / cellHeight;
    for (long row = 0; row < rows && row < long(lines.size()); ++row) {
        std::u16string_view line = lines[size_t(row)];
        // Right to left, the last character takes the last cell and the start is cut.
        const long first = rtl ? columns - long(line.size()) : 0;
        for (long i = std::max(0L, -first); i < long(line.size()) && first + i < columns; ++i) {
            CAnsiForm form = ansiForm(line[size_t(i)]);
            if (form.length == 0)
                continue; // no code page 936 form: the cell stays empty
            paintBuiltin(font.kind, form, dots, int((first + i) * cellWidth) + x,
                         int(row * cellHeight) + y, font.width, font.height);
        }
    }
    out = std::move(dots);
    return {};
}

} // namespace

std::vector<std::u16string_view> splitLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    for (;;) {
        size_t lf = text.find(u'\n', start);
        if (lf == std::u16string_view::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        size_t end = lf > start && text[lf - 1] == u'\r' ? lf - 1 : lf;
        lines.push_back(text.substr(start, end - start));
        start = lf + 1;
    }
}

Status rasteriseString(CFreeTypeRenderer& freeType, std::u16string_view text, bool rightToLeft,
                       const CFontSettings& font, CDotMatrix& out, CInkLoss* lost) {
    if (lost)
        *lost = {};
    if (text.empty())
        return failure("a string entry needs a text");
    if (font.kind == kFontUnset)
        return failure("no font is set for the string");
    if (font.kind < kFontUnset || font.kind > kFontTrueType)
        return failure(format("font kind %d does not exist", font.kind));
    if (font.kind == kFontTrueType && font.face.empty() && font.fontFile.empty())
        return failure("no face is named for the TrueType font");
    if (!validMatrixSize(font.width, font.height))
        return failure(format("a character cell of %dx%d dots is outside 1 to %d", font.width,
                              font.height, kMaxMatrixSide));
    if (!validDepth(font.depth))
        return failure(format("%d bits a dot is not a depth; 1, 2, 4 or 8", font.depth));
    if (font.kind == kFontTrueType)
        return renderTrueType(freeType, text, rightToLeft, font, out, lost);
    return renderBuiltin(text, rightToLeft, font, out);
}

Result<CGrayCanvas> renderTextLine(CFreeTypeRenderer& freeType, std::u16string_view text,
                                   const std::u16string& faceName, int emHeight) {
    const CFaceFile* file = nullptr;
    Result<FT_Face> face = freeType.sizedFace(faceName, false, false, emHeight, &file);
    if (!face)
        return failure(face.error());
    CTextPainter painter({*face, file->syntheticBold, file->syntheticItalic});
    CLineLayout line = painter.layout(text, false, 0);
    CGrayCanvas canvas(clampSide(line.advance), clampSide(painter.ascent() + painter.descent()));
    painter.draw(line, 0, painter.ascent(), CClip{0, 0, canvas.width, canvas.height}, canvas);
    return canvas;
}

} // namespace tgw
