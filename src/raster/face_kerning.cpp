#include "raster/face_kerning.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb-ft.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <memory>

namespace tgw {
namespace {

struct CHbFontDeleter {
    void operator()(hb_font_t* f) const { hb_font_destroy(f); }
};
struct CHbBufferDeleter {
    void operator()(hb_buffer_t* b) const { hb_buffer_destroy(b); }
};
struct CHbSetDeleter {
    void operator()(hb_set_t* s) const { hb_set_destroy(s); }
};
using CHbSet = std::unique_ptr<hb_set_t, CHbSetDeleter>;

struct CCharGlyph {
    char16_t code;
    FT_UInt glyph;
};

void sortPairs(std::vector<CKerningPair>& out) {
    std::sort(out.begin(), out.end(), [](const CKerningPair& a, const CKerningPair& b) {
        return a.left != b.left ? a.left < b.left : a.right < b.right;
    });
    out.erase(std::unique(out.begin(), out.end(),
                          [](const CKerningPair& a, const CKerningPair& b) {
                              return a.left == b.left && a.right == b.right;
                          }),
              out.end());
}

// The glyphs the lookups of the GPOS `kern` feature read (first and second glyphs of their
// pairs); empty when the face has no such feature.
CHbSet kernedGlyphs(hb_face_t* face) {
    CHbSet glyphs(hb_set_create());
    CHbSet lookups(hb_set_create());
    const hb_tag_t features[] = {HB_TAG('k', 'e', 'r', 'n'), HB_TAG_NONE};
    hb_ot_layout_collect_lookups(face, HB_OT_TAG_GPOS, nullptr, nullptr, features, lookups.get());
    hb_codepoint_t lookup = HB_SET_VALUE_INVALID;
    while (hb_set_next(lookups.get(), &lookup))
        hb_ot_layout_lookup_collect_glyphs(face, HB_OT_TAG_GPOS, lookup, nullptr, glyphs.get(),
                                           nullptr, nullptr);
    return glyphs;
}

// Through HarfBuzz: for each character a, the run "a b1 a b2 ... a bn a" is shaped once, and
// the amount by which a glyph's advance differs from its own advance is the kerning of it with
// the next. Every ordered pair of the characters is in one of the runs.
void shapedKerning(hb_font_t* font, const std::vector<CCharGlyph>& chars,
                   std::vector<CKerningPair>& out) {
    std::unique_ptr<hb_buffer_t, CHbBufferDeleter> buffer(hb_buffer_create());
    const hb_feature_t features[] = {
        {HB_TAG('k', 'e', 'r', 'n'), 1, 0, ~0u}, {HB_TAG('l', 'i', 'g', 'a'), 0, 0, ~0u},
        {HB_TAG('c', 'l', 'i', 'g'), 0, 0, ~0u}, {HB_TAG('c', 'a', 'l', 't'), 0, 0, ~0u},
        {HB_TAG('r', 'l', 'i', 'g'), 0, 0, ~0u},
    };
    std::vector<hb_position_t> advance(chars.size());
    for (size_t i = 0; i < chars.size(); ++i)
        advance[i] = hb_font_get_glyph_h_advance(font, chars[i].glyph);
    std::vector<uint32_t> run;
    std::vector<size_t> index; // of chars, per position of the run
    for (size_t a = 0; a < chars.size(); ++a) {
        run.clear();
        index.clear();
        for (size_t b = 0; b < chars.size(); ++b) {
            run.push_back(chars[a].code);
            run.push_back(chars[b].code);
            index.push_back(a);
            index.push_back(b);
        }
        run.push_back(chars[a].code);
        index.push_back(a);
        hb_buffer_clear_contents(buffer.get());
        hb_buffer_add_utf32(buffer.get(), run.data(), int(run.size()), 0, int(run.size()));
        hb_buffer_set_direction(buffer.get(), HB_DIRECTION_LTR);
        hb_buffer_guess_segment_properties(buffer.get());
        hb_buffer_set_direction(buffer.get(), HB_DIRECTION_LTR);
        hb_shape(font, buffer.get(), features, sizeof features / sizeof features[0]);
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer.get(), &count);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer.get(), &count);
        if (count != run.size())
            continue; // glyphs were joined or split: no pair can be read off this run
        for (unsigned k = 0; k + 1 < count; ++k) {
            const size_t left = index[info[k].cluster];
            const size_t right = index[info[k + 1].cluster];
            const int adjust = pos[k].x_advance - advance[left];
            if (adjust)
                out.push_back({chars[left].code, chars[right].code, adjust});
        }
    }
}

} // namespace

Status faceKerning(FT_Face face, std::span<const char16_t> codes, std::vector<CKerningPair>& out) {
    out.clear();
    if (!face || codes.empty() || !FT_IS_SCALABLE(face))
        return {};
    std::vector<CCharGlyph> chars;
    for (char16_t c : codes)
        if (FT_UInt g = FT_Get_Char_Index(face, c))
            chars.push_back({c, g});
    std::sort(chars.begin(), chars.end(),
              [](const CCharGlyph& a, const CCharGlyph& b) { return a.code < b.code; });
    chars.erase(
        std::unique(chars.begin(), chars.end(),
                    [](const CCharGlyph& a, const CCharGlyph& b) { return a.code == b.code; }),
        chars.end());
    if (chars.size() < 2)
        return {};

    std::unique_ptr<hb_font_t, CHbFontDeleter> font(hb_ft_font_create_referenced(face));
    hb_ft_font_set_load_flags(font.get(), FT_LOAD_DEFAULT);
    hb_face_t* hbFace = hb_font_get_face(font.get());
    CHbSet kerned = kernedGlyphs(hbFace);
    if (!hb_set_is_empty(kerned.get())) {
        // Only characters whose glyphs a kerning lookup reads can be kerned.
        std::vector<CCharGlyph> candidates;
        for (const CCharGlyph& c : chars)
            if (hb_set_has(kerned.get(), c.glyph))
                candidates.push_back(c);
        shapedKerning(font.get(), candidates, out);
    } else if (FT_HAS_KERNING(face)) {
        for (const CCharGlyph& a : chars)
            for (const CCharGlyph& b : chars) {
                FT_Vector k{0, 0};
                if (FT_Get_Kerning(face, a.glyph, b.glyph, FT_KERNING_UNFITTED, &k) == 0 && k.x)
                    out.push_back({a.code, b.code, int(k.x)});
            }
    }
    sortPairs(out);
    return {};
}

} // namespace tgw
