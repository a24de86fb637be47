#include "codegen/lvgl_preview.h"

#include "codegen/lvgl_font_metrics.h"

#include <algorithm>
#include <unordered_map>

namespace tgw {
namespace {

// LVGL's break characters (LV_TXT_BREAK_CHARS as it ships).
bool isBreakChar(char16_t c) {
    return std::u16string_view(u" ,.;:-_)]}").find(c) != std::u16string_view::npos;
}

// A letter that is a word by itself (CJK ideographs, kana, full-width forms), as LVGL tells
// them.
bool isAWord(char16_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF01 && c <= 0xFF5E) ||
           (c >= 0x3000 && c <= 0x303F) || (c >= 0x2E80 && c <= 0x2EFF) ||
           (c >= 0x31C0 && c <= 0x31EF) || (c >= 0x3040 && c <= 0x30FF) ||
           (c >= 0xFE10 && c <= 0xFE1F) || (c >= 0xFE30 && c <= 0xFE4F);
}

bool isLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r';
}

class CLvglText {
public:
    CLvglText(const CProportionalFont& font, std::u16string_view text)
        : m_text(text), m_kerning(lvglKerningValues(font)) {
        for (const CProportionalGlyph& g : font.glyphs)
            m_glyphs.emplace(g.code, &g);
    }

    const CProportionalGlyph* glyph(char16_t c) const {
        if (c < 0x20)
            return nullptr;
        auto it = m_glyphs.find(c);
        return it == m_glyphs.end() ? nullptr : it->second;
    }

    char16_t at(size_t i) const { return i < m_text.size() ? m_text[i] : char16_t(0); }
    size_t size() const { return m_text.size(); }

    // What lv_font_get_glyph_width() gives for the letter at i: the advance in 1/16 dot plus
    // the pair's kerning, rounded to whole dots.
    int width(size_t i) const {
        const CProportionalGlyph* g = glyph(at(i));
        if (!g)
            return 0;
        int sixteenths = g->advance * 16;
        if (glyph(at(i + 1)))
            if (auto k = m_kerning.values.find({at(i), at(i + 1)}); k != m_kerning.values.end())
                sixteenths += (int(k->second) * int(m_kerning.scale)) >> 4;
        return (std::max(0, sixteenths) + 8) >> 4;
    }

    // lv_text_get_next_word(): how many letters from `i` make the next word, and its width.
    size_t nextWord(size_t i, int maxWidth, bool breakAll, int& wordWidth) const {
        wordWidth = 0;
        const size_t none = size_t(-1);
        size_t k = i, breakAt = none, letters = 0;
        int cur = 0;
        while (k < size()) {
            const char16_t letter = at(k), next = at(k + 1);
            ++letters;
            cur += width(k);
            if (breakAt == none && cur > maxWidth) {
                breakAt = k;
                if (breakAll)
                    break;
            }
            if (isLineBreak(letter) || isBreakChar(letter)) {
                if (k == i && breakAt == none)
                    wordWidth = cur;
                --letters;
                if (breakAt == none && (letters == 0 || (letter == u'\r' && next == u'\n')))
                    ++k;
                break;
            }
            if (isAWord(next) || isAWord(letter)) {
                wordWidth = cur;
                ++k;
                break;
            }
            if (breakAt == none)
                wordWidth = cur;
            ++k;
        }
        if (breakAt == none)
            return k - i;
        if (breakAll)
            return breakAt - i;
        wordWidth = 0;
        return 0;
    }

    // lv_text_get_next_line(): where the line that starts at `start` ends (past its line break).
    size_t nextLine(size_t start, int maxWidth) const {
        size_t i = start;
        if (maxWidth <= 0) {
            while (i < size() && !isLineBreak(at(i)))
                ++i;
            return i < size() ? i + 1 : i;
        }
        bool explicitBreak = false;
        int room = maxWidth;
        while (i < size() && room > 0) {
            int wordWidth = 0;
            const size_t advance = nextWord(i, room, i == start, wordWidth);
            room -= wordWidth;
            if (advance == 0)
                break;
            i += advance;
            if (isLineBreak(at(start)) || (i < size() && isLineBreak(at(i)))) {
                if (!isLineBreak(at(start)))
                    ++i;
                explicitBreak = true;
                break;
            }
        }
        if (i == start)
            ++i;
        if (!explicitBreak)
            while (i < size() && at(i) == u' ')
                ++i;
        return i;
    }

private:
    std::u16string_view m_text;
    CLvglKerningValues m_kerning;
    std::unordered_map<char16_t, const CProportionalGlyph*> m_glyphs;
};

} // namespace

CTextLayout layoutLvglText(const CProportionalFont& font, std::u16string_view text,
                           const CTextPlacement& placement) {
    CTextLayout layout;
    const CLvglText t(font, text);
    const CLvglLine line = lvglLine(font.line);
    const int left = placement.cursorX.value_or(0);
    int top = placement.cursorY.value_or(0);
    const int maxWidth = placement.wrapWidth > 0 ? std::max(1, placement.wrapWidth - left) : 0;
    auto reach = [&](int right, int bottom) {
        layout.width = std::max(layout.width, right);
        layout.height = std::max(layout.height, bottom);
    };
    for (size_t start = 0; start < t.size();) {
        const size_t end = t.nextLine(start, maxWidth);
        int pen = left;
        for (size_t i = start; i < end; ++i) {
            const CProportionalGlyph* g = t.glyph(t.at(i));
            if (!g)
                continue;
            if (!g->dots.empty()) {
                // From the line's top: line_height - base_line - box_h - ofs_y, where ofs_y is
                // the box's bottom above the baseline.
                const int x = pen + g->xOffset;
                const int y = top + line.lineHeight - line.baseLine + g->yOffset;
                layout.glyphs.push_back({&g->dots, x, y});
                reach(x + g->width(), y + g->height());
            }
            if (const int w = t.width(i); w > 0)
                pen += w;
        }
        reach(pen, top + line.lineHeight);
        top += line.lineHeight;
        start = end;
    }
    return layout;
}

int lvglOpacity(int level, int depth) {
    switch (depth) {
    case 1:
        return level ? 255 : 0;
    case 2:
        return level * 85;
    case 4:
        return level * 17;
    default:
        return level;
    }
}

Result<CColourDots> drawLvglPreview(const CTextLayout& text, const CPreviewOptions& o) {
    int width = 0, height = 0;
    if (Status s = previewSize(o, text.width, text.height, width, height); !s)
        return failure(s.error());
    const CRgb lit = o.look.colours.lit;
    CColourDots dots(width, height, o.look.colours.dark);
    auto mix = [](uint8_t src, uint8_t dst, int opa) {
        return uint8_t((src * opa + dst * (255 - opa)) >> 8);
    };
    for (const CPlacedBits& g : text.glyphs) {
        const CBitMatrix& m = *g.dots;
        const int r0 = std::max(0, -g.y), r1 = std::min(m.height(), height - g.y);
        const int c0 = std::max(0, -g.x), c1 = std::min(m.width(), width - g.x);
        for (int r = r0; r < r1; ++r)
            for (int c = c0; c < c1; ++c) {
                const int opa = lvglOpacity(m.level(r, c), m.depth());
                if (opa == 0)
                    continue;
                CRgb& d = dots.at(g.x + c, g.y + r);
                d = opa >= 253
                        ? lit
                        : CRgb{mix(lit.r, d.r, opa), mix(lit.g, d.g, opa), mix(lit.b, d.b, opa)};
            }
    }
    return dots.turned(360 - o.rotation);
}

} // namespace tgw
