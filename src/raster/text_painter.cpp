#include "raster/text_painter.h"

#include "raster/bidi_runs.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <cmath>

namespace tgw {
namespace {

// 26.6 fixed point to whole pixels, halves rounded up.
int pixels(hb_position_t v) {
    return int((v + 32) >> 6);
}

// Lights [left, left + width) × [top, top + thickness) inside the clip.
void fillRule(int left, int width, int top, int thickness, const CClip& clip, CGrayCanvas& c) {
    for (int y = std::max(top, clip.top); y < std::min(top + thickness, clip.bottom); ++y)
        for (int x = std::max(left, clip.left); x < std::min(left + width, clip.right); ++x)
            c.at(x, y) = 255;
}

} // namespace

void CTextPainter::CFontDeleter::operator()(hb_font_t* f) const {
    hb_font_destroy(f);
}
void CTextPainter::CBufferDeleter::operator()(hb_buffer_t* b) const {
    hb_buffer_destroy(b);
}

CTextPainter::CTextPainter(CStyledFace face, CFaceFinder finder)
    : m_face(face.face), m_finder(std::move(finder)), m_buffer(hb_buffer_create()) {
    addFace(face);
}

CTextPainter::~CTextPainter() = default;

void CTextPainter::addFace(const CStyledFace& face) {
    CSlot slot{face,
               std::unique_ptr<hb_font_t, CFontDeleter>(hb_ft_font_create_referenced(face.face))};
    // Hinted advances are whole pixels, like the widths the system's text metrics give.
    hb_ft_font_set_load_flags(slot.font.get(), FT_LOAD_DEFAULT);
    m_slots.push_back(std::move(slot));
}

int CTextPainter::ascent() const {
    return int((m_face->size->metrics.ascender + 63) >> 6);
}
int CTextPainter::descent() const {
    return int((-m_face->size->metrics.descender + 63) >> 6);
}

int CTextPainter::faceFor(char32_t c, int previous) {
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    const hb_unicode_general_category_t category = hb_unicode_general_category(unicode, c);
    // Marks and joiners stay with the character they belong to; spaces and controls need no
    // glyph of another face.
    if (category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
        category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK ||
        category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
        category == HB_UNICODE_GENERAL_CATEGORY_FORMAT)
        return previous;
    if (c < 0x21 || category == HB_UNICODE_GENERAL_CATEGORY_SPACE_SEPARATOR ||
        category == HB_UNICODE_GENERAL_CATEGORY_CONTROL || FT_Get_Char_Index(m_face, c) != 0)
        return 0;
    for (size_t i = 1; i < m_slots.size(); ++i)
        if (FT_Get_Char_Index(m_slots[i].style.face, c) != 0)
            return int(i);
    // A few faces at most: one per script the text mixes in.
    constexpr size_t kMaxFaces = 16;
    if (!m_finder || m_slots.size() >= kMaxFaces ||
        std::find(m_unfound.begin(), m_unfound.end(), c) != m_unfound.end())
        return 0;
    std::optional<CStyledFace> found = m_finder(c);
    if (!found || !found->face || FT_Get_Char_Index(found->face, c) == 0) {
        m_unfound.push_back(c); // the main face's missing-glyph box it is
        return 0;
    }
    for (size_t i = 0; i < m_slots.size(); ++i)
        if (m_slots[i].style.face == found->face)
            return int(i);
    addFace(*found);
    return int(m_slots.size() - 1);
}

CLineLayout CTextPainter::layout(std::u16string_view line, bool rightToLeft, int extra) {
    CLineLayout out;
    hb_buffer_t* buffer = m_buffer.get();
    long pen = 0;
    // Characters whose glyphs lie left of the glyph being placed: each carries `extra` pixels.
    long charactersBefore = 0;
    struct CPiece {
        size_t start = 0, length = 0;
        int face = 0;
    };
    for (const CDirectionRun& run : directionRuns(line, rightToLeft)) {
        // The run in pieces of one face each, in visual order.
        std::vector<CPiece> pieces;
        int face = 0;
        for (size_t i = run.start; i < run.start + run.length;) {
            char32_t c = line[i];
            size_t units = 1;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < run.start + run.length &&
                line[i + 1] >= 0xDC00 && line[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (line[i + 1] - 0xDC00);
                units = 2;
            }
            face = faceFor(c, face);
            if (pieces.empty() || pieces.back().face != face)
                pieces.push_back({i, 0, face});
            pieces.back().length += units;
            i += units;
        }
        if (run.rightToLeft)
            std::reverse(pieces.begin(), pieces.end());

        for (const CPiece& piece : pieces) {
            const CSlot& slot = m_slots[size_t(piece.face)];
            hb_buffer_clear_contents(buffer);
            // The whole line goes in as context, so that joining at piece edges is right; the
            // clusters then count UTF-16 units from the line's start.
            hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(line.data()),
                                int(line.size()), unsigned(piece.start), int(piece.length));
            hb_buffer_set_direction(buffer, run.rightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
            hb_buffer_set_script(buffer, run.script ? hb_script_t(run.script) : HB_SCRIPT_COMMON);
            hb_buffer_set_language(buffer, hb_language_get_default());
            hb_shape(slot.font.get(), buffer, nullptr, 0);

            unsigned count = 0;
            const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
            const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
            // A cluster's characters run from its value to the next higher value in the piece.
            std::vector<unsigned> starts(count);
            for (unsigned g = 0; g < count; ++g)
                starts[g] = info[g].cluster;
            std::sort(starts.begin(), starts.end());
            starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
            auto clusterLength = [&](unsigned cluster) {
                auto next = std::upper_bound(starts.begin(), starts.end(), cluster);
                return long(next == starts.end() ? unsigned(piece.start + piece.length) : *next) -
                       long(cluster);
            };

            for (unsigned g = 0; g < count; ++g) {
                if (g > 0 && info[g].cluster != info[g - 1].cluster)
                    charactersBefore += clusterLength(info[g - 1].cluster);
                const long x = pen + pixels(pos[g].x_offset) + long(extra) * charactersBefore;
                out.glyphs.push_back({info[g].codepoint, int(std::clamp(x, -(1L << 30), 1L << 30)),
                                      pixels(pos[g].y_offset), piece.face});
                long advance = pixels(pos[g].x_advance);
                // Emboldening widens a glyph by about a pixel; the system's simulated bold
                // adds exactly one to each advance.
                if (slot.style.syntheticBold && advance)
                    ++advance;
                pen += advance;
            }
            if (count)
                charactersBefore += clusterLength(info[count - 1].cluster);
        }
    }
    out.advance = pen;
    return out;
}

void CTextPainter::draw(const CLineLayout& line, int left, int baseline, const CClip& clip,
                        CGrayCanvas& canvas, CInkLoss* lost, unsigned litFrom) const {
    // A glyph's ink stays within a few ems of its origin; glyphs farther off are not loaded,
    // so a line far wider than the matrix costs little.
    const long reach = 4L * std::max<long>(m_face->size->metrics.y_ppem, 1) + 16;
    for (const CPlacedGlyph& g : line.glyphs) {
        const long originX = long(left) + g.x;
        if (originX > clip.right + reach || originX < clip.left - reach)
            continue;
        if (g.index == 0 && m_blankMissing)
            continue;
        const CStyledFace& style = m_slots[size_t(g.face)].style;
        const bool synthetic = style.syntheticBold || style.syntheticItalic;
        if (FT_Load_Glyph(style.face, g.index,
                          FT_LOAD_DEFAULT | (synthetic ? FT_LOAD_NO_BITMAP : 0)) != 0)
            continue; // a glyph the face cannot give stays blank
        FT_GlyphSlot slot = style.face->glyph;
        if (style.syntheticItalic)
            FT_GlyphSlot_Oblique(slot);
        if (style.syntheticBold)
            FT_GlyphSlot_Embolden(slot);
        if (slot->format != FT_GLYPH_FORMAT_BITMAP &&
            FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        const FT_Bitmap& bm = slot->bitmap;
        if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO)
            continue;
        const long x0 = originX + slot->bitmap_left;
        const long y0 = long(baseline) - g.rise - slot->bitmap_top;
        const unsigned grays = bm.pixel_mode == FT_PIXEL_MODE_GRAY && bm.num_grays > 1
                                   ? unsigned(bm.num_grays - 1)
                                   : 255;
        for (unsigned r = 0; r < bm.rows; ++r) {
            const long y = y0 + r;
            const bool rowInside = y >= clip.top && y < clip.bottom;
            if (!rowInside && !lost)
                continue;
            const unsigned char* src = bm.buffer + long(r) * bm.pitch;
            for (unsigned c = 0; c < bm.width; ++c) {
                const long x = x0 + c;
                const bool inside = rowInside && x >= clip.left && x < clip.right;
                if (!inside && !lost)
                    continue;
                unsigned a;
                if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                    a = (src[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
                else
                    a = std::min(255u, src[c] * 255u / grays);
                if (!inside) {
                    if (a >= litFrom) {
                        const auto beyond = [](long d) { return int(std::min(d, 1L << 20)); };
                        if (y < clip.top)
                            lost->top = std::max(lost->top, beyond(clip.top - y));
                        else if (y >= clip.bottom)
                            lost->bottom = std::max(lost->bottom, beyond(y - clip.bottom + 1));
                        else if (x < clip.left)
                            lost->left = std::max(lost->left, beyond(clip.left - x));
                        else
                            lost->right = std::max(lost->right, beyond(x - clip.right + 1));
                    }
                    continue;
                }
                // White drawn over what is there with the pixel's coverage.
                uint8_t& d = canvas.at(int(x), int(y));
                d = uint8_t(d + (255u - d) * a / 255u);
            }
        }
    }
}

void CTextPainter::drawUnderline(int left, int width, int baseline, const CClip& clip,
                                 CGrayCanvas& canvas) const {
    const double scale =
        m_face->units_per_EM ? double(m_face->size->metrics.y_ppem) / m_face->units_per_EM : 0.0;
    const int thickness = std::max(1, int(std::lround(m_face->underline_thickness * scale)));
    const int below =
        std::max(1, int(std::lround(-m_face->underline_position * scale - thickness / 2.0)));
    fillRule(left, width, baseline + below, thickness, clip, canvas);
}

void CTextPainter::drawStrikeout(int left, int width, int baseline, const CClip& clip,
                                 CGrayCanvas& canvas) const {
    const double scale =
        m_face->units_per_EM ? double(m_face->size->metrics.y_ppem) / m_face->units_per_EM : 0.0;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
    int thickness = 1, above = std::max(1, ascent() / 3);
    if (os2 && os2->yStrikeoutSize > 0) {
        thickness = std::max(1, int(std::lround(os2->yStrikeoutSize * scale)));
        above = int(std::lround(os2->yStrikeoutPosition * scale));
    }
    fillRule(left, width, baseline - above, thickness, clip, canvas);
}

} // namespace tgw
