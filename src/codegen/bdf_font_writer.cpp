// The BDF 2.1 writer: the glyphs as a bitmap font that FreeType, the X font tools and every
// BDF-based converter read, one bit a dot.
#include "base/screen_text.h"

#include "base/output.h"
#include "base/text.h"
#include "codegen/output_writers.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace tgw {
namespace {

// Glyphs are described at 72 dots an inch, so that a point is a dot: the size in points is the
// size in dots and a glyph's scalable width is its advance in thousandths of the size.
constexpr int kResolution = 72;

// `text` without control characters (C0, DEL and, in UTF-8, C1), which a line-based file
// cannot hold.
std::string withoutControls(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F)
            continue;
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
            static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            ++i;
            continue;
        }
        out.push_back(char(c));
    }
    return out;
}

// A string property's value: in double quotes, a double quote inside written twice.
std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : withoutControls(text)) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

// A field of the font's XLFD name: the characters that separate or match fields become blanks.
std::string xlfdField(std::string_view text) {
    std::string out = withoutControls(text);
    for (char& c : out)
        if (c == '-' || c == '*' || c == '?' || c == ',' || c == '"')
            c = ' ';
    return out;
}

std::string familyOf(const CProportionalFont& font) {
    const CFontSettings& f = font.settings;
    if (isBuiltinFont(f.kind))
        return builtinFontName(f.kind);
    if (!f.face.empty())
        return utf16ToUtf8(f.face);
    return font.name.empty() ? "Glyphs" : font.name;
}

// The size glyphs were drawn at, in dots: the em of a face, the height of a built-in font.
int pixelSizeOf(const CProportionalFont& font) {
    const CFontSettings& f = font.settings;
    int size = f.kind == kFontTrueType && !f.fitCell && f.size ? f.size : f.height;
    if (size <= 0)
        size = font.line.lineAdvance;
    return std::max(size, 1);
}

struct CBox {
    int width = 0, height = 0, x = 0, y = 0; // x, y: the lower left dot from the pen, y up
};

// A glyph's box as the format places it: from the pen to its lower left dot, y up.
CBox boxOf(const CProportionalGlyph& g) {
    if (g.dots.empty())
        return {};
    return {g.width(), g.height(), g.xOffset, -(g.yOffset + g.height())};
}

void appendBitmap(std::string& text, const CProportionalGlyph& g) {
    static const char digits[] = "0123456789ABCDEF";
    const int w = g.width();
    for (int r = 0; r < g.height(); ++r) {
        for (int c0 = 0; c0 < w; c0 += 8) {
            unsigned byte = 0;
            for (int c = c0; c < c0 + 8; ++c)
                byte = byte << 1 | (c < w && g.dots.lit(r, c) ? 1u : 0u);
            text.push_back(digits[byte >> 4]);
            text.push_back(digits[byte & 15]);
        }
        text.push_back('\n');
    }
}

Status writeBdfFont(const CProportionalFont& font, IOutput& out) {
    const std::vector<const CProportionalGlyph*> glyphs = glyphsByCode(font);
    if (glyphs.empty())
        return failure("a BDF font needs at least one glyph");

    // The font's box holds every glyph's ink; a font of blanks gets the line's.
    int left = INT_MAX, right = INT_MIN, bottom = INT_MAX, top = INT_MIN;
    long long advances = 0;
    bool sameAdvance = true;
    bool hasDefault = false, hasQuestion = false;
    for (const CProportionalGlyph* g : glyphs) {
        advances += g->advance;
        sameAdvance = sameAdvance && g->advance == glyphs.front()->advance;
        hasDefault = hasDefault || g->code == 0xFFFD;
        hasQuestion = hasQuestion || g->code == '?';
        const CBox b = boxOf(*g);
        if (!b.width)
            continue;
        left = std::min(left, b.x);
        right = std::max(right, b.x + b.width);
        bottom = std::min(bottom, b.y);
        top = std::max(top, b.y + b.height);
    }
    const int ascent = std::max(font.line.ascent, 0);
    const int descent = std::max(font.line.lineAdvance - font.line.ascent, 0);
    if (left == INT_MAX) {
        left = 0;
        right = 1;
        bottom = -descent;
        top = std::max(ascent, bottom + 1);
    }

    const std::string family = familyOf(font);
    const int pixels = pixelSizeOf(font);
    const bool bold = font.settings.bold, italic = font.settings.italic;
    const char* spacing = sameAdvance ? "M" : "P";
    const long long averageWidth = advances * 10 / (long long)glyphs.size(); // tenths of a dot
    const std::string xlfd =
        format("-misc-%s-%s-%s-normal--%d-%d-%d-%d-%c-%lld-ISO10646-1", xlfdField(family).c_str(),
               bold ? "bold" : "medium", italic ? "i" : "r", pixels, pixels * 10, kResolution,
               kResolution, sameAdvance ? 'm' : 'p', averageWidth);

    std::vector<std::string> properties = {
        "FOUNDRY \"misc\"",
        "FAMILY_NAME " + quoted(family),
        format("WEIGHT_NAME \"%s\"", bold ? "Bold" : "Medium"),
        format("SLANT \"%s\"", italic ? "I" : "R"),
        "SETWIDTH_NAME \"Normal\"",
        "ADD_STYLE_NAME \"\"",
        format("PIXEL_SIZE %d", pixels),
        format("POINT_SIZE %d", pixels * 10),
        format("RESOLUTION_X %d", kResolution),
        format("RESOLUTION_Y %d", kResolution),
        format("SPACING \"%s\"", spacing),
        format("AVERAGE_WIDTH %lld", averageWidth),
        "CHARSET_REGISTRY \"ISO10646\"",
        "CHARSET_ENCODING \"1\"",
        format("FONT_ASCENT %d", ascent),
        format("FONT_DESCENT %d", descent),
    };
    if (hasDefault || hasQuestion)
        properties.push_back(format("DEFAULT_CHAR %d", hasDefault ? 0xFFFD : '?'));

    std::string text = "STARTFONT 2.1\n";
    text += "COMMENT " + withoutControls(font.name) + "\n";
    text += "FONT " + xlfd + "\n";
    text += format("SIZE %d %d %d\n", pixels, kResolution, kResolution);
    text += format("FONTBOUNDINGBOX %d %d %d %d\n", right - left, top - bottom, left, bottom);
    text += format("STARTPROPERTIES %zu\n", properties.size());
    for (const std::string& p : properties)
        text += p + "\n";
    text += "ENDPROPERTIES\n";
    text += format("CHARS %zu\n", glyphs.size());
    for (const CProportionalGlyph* g : glyphs) {
        const CBox b = boxOf(*g);
        // The scalable width in thousandths of the size, rounded.
        const long long swidth = (static_cast<long long>(g->advance) * 1000 + pixels / 2) / pixels;
        text += format("STARTCHAR uni%04X\nENCODING %u\nSWIDTH %lld 0\nDWIDTH %d 0\n"
                       "BBX %d %d %d %d\nBITMAP\n",
                       unsigned(g->code), unsigned(g->code), swidth, g->advance, b.width, b.height,
                       b.x, b.y);
        appendBitmap(text, *g);
        text += "ENDCHAR\n";
        if (Status s = flushWhenFull(text, out); !s)
            return s;
    }
    text += "ENDFONT\n";
    return out.write(text);
}

} // namespace

COutputWriter bdfFontWriter() {
    COutputWriter w{.name = "bdf",
                    .extension = "bdf",
                    .description =
                        "BDF 2.1 bitmap font: cropped glyphs for X11, FreeType and BDF converters",
                    .label = TGW_TR_NOOP("tgw::core::writers", "BDF 点阵字体"),
                    .input = EWriterInput::Proportional,
                    .binary = false,
                    .takesIndex = false};
    w.writeProportional = [](const CProportionalFont& font, const CEncodingOptions&,
                             const CWriterOptions&,
                             IOutput& out) { return writeBdfFont(font, out); };
    return w;
}

} // namespace tgw
