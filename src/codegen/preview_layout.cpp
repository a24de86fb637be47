#include "codegen/preview_layout.h"

#include "base/text.h"
#include "codegen/gfx_font_writer.h"
#include "codegen/output_writers.h"

#include <algorithm>
#include <climits>
#include <map>

namespace tgw {
namespace {

// Grows the layout's area to hold a placed box.
void reach(CTextLayout& layout, int right, int bottom) {
    layout.width = std::max(layout.width, right);
    layout.height = std::max(layout.height, bottom);
}

// The rows below the baseline that a line takes: what the line advance leaves under the ascent.
int descent(const CLineMetrics& line) {
    return std::max(0, line.lineAdvance - line.ascent);
}

} // namespace

CTextLayout layoutGfxText(const CProportionalFont& font, std::u16string_view text,
                          const CTextPlacement& placement) {
    CTextLayout layout;
    const std::vector<const CProportionalGlyph*> byCode = glyphsByCode(font);
    if (byCode.empty())
        return layout;
    // The glyph table as the writer writes it: every code from the first to the last.
    const unsigned first = byCode.front()->code, last = byCode.back()->code;
    std::vector<const CProportionalGlyph*> table(last - first + 1, nullptr);
    for (const CProportionalGlyph* g : byCode)
        table[g->code - first] = g;
    const int yAdvance = font.line.lineAdvance;

    int x = placement.cursorX.value_or(0);
    int y = placement.cursorY.value_or(font.line.ascent - 1);
    reach(layout, std::max(0, x), y + 1 + descent(font.line));
    for (char16_t c : text) {
        if (c == u'\n') {
            x = 0;
            y += yAdvance;
        } else if (c != u'\r' && c >= first && c <= last) {
            const CProportionalGlyph* g = table[c - first];
            if (g && g->width() > 0 && g->height() > 0) {
                if (placement.wrapWidth > 0 && x + g->xOffset + g->width() > placement.wrapWidth) {
                    x = 0;
                    y += yAdvance;
                }
                const int left = x + g->xOffset, top = y + gfxYOffset(*g);
                layout.glyphs.push_back({&g->dots, left, top});
                reach(layout, left + g->width(), top + g->height());
            }
            x += g ? g->advance : 0;
        }
        reach(layout, x, y + 1 + descent(font.line));
    }
    return layout;
}

CTextLayout layoutProportionalText(const CProportionalFont& font, std::u16string_view text,
                                   const CTextPlacement& placement) {
    CTextLayout layout;
    std::map<char16_t, const CProportionalGlyph*> byCode;
    for (const CProportionalGlyph& g : font.glyphs)
        byCode.emplace(g.code, &g);
    const int startX = placement.cursorX.value_or(0);
    int pen = startX;
    int baseline = placement.cursorY ? *placement.cursorY + 1 : font.line.ascent;
    reach(layout, std::max(0, pen), baseline + descent(font.line));
    for (char16_t c : text) {
        if (c == u'\r')
            continue;
        if (c == u'\n') {
            pen = startX;
            baseline += font.line.lineAdvance;
        } else if (auto it = byCode.find(c); it != byCode.end()) {
            const CProportionalGlyph& g = *it->second;
            if (!g.dots.empty()) {
                if (placement.wrapWidth > 0 && pen > startX &&
                    pen + g.xOffset + g.width() > placement.wrapWidth) {
                    pen = startX;
                    baseline += font.line.lineAdvance;
                }
                const int left = pen + g.xOffset, top = baseline + g.yOffset;
                layout.glyphs.push_back({&g.dots, left, top});
                reach(layout, left + g.width(), top + g.height());
            }
            pen += g.advance;
        }
        reach(layout, pen, baseline + descent(font.line));
    }
    return layout;
}

CCellLayout layoutCells(const std::vector<const CDotMatrix*>& cells, int wrapWidth, int columns) {
    CCellLayout layout;
    int x = 0, y = 0, rowHeight = 0, lastRowHeight = 0, inRow = 0;
    auto newRow = [&] {
        // An empty line is as high as the row before it.
        y += rowHeight ? rowHeight : lastRowHeight;
        lastRowHeight = rowHeight ? rowHeight : lastRowHeight;
        x = rowHeight = inRow = 0;
    };
    for (const CDotMatrix* m : cells) {
        if (!m) {
            newRow();
            continue;
        }
        if (inRow > 0 &&
            ((wrapWidth > 0 && x + m->width() > wrapWidth) || (columns > 0 && inRow >= columns)))
            newRow();
        layout.cells.push_back({m, x, y});
        x += m->width();
        rowHeight = std::max(rowHeight, m->height());
        ++inRow;
        layout.width = std::max(layout.width, x);
        layout.height = std::max(layout.height, y + rowHeight);
    }
    return layout;
}

CPreviewCanvas drawCutCells(const std::vector<CCutCell>& cells, int gap) {
    gap = std::max(1, gap);
    int width = gap, height = 1;
    for (const CCutCell& c : cells) {
        width += c.cell->width() + gap;
        height = std::max(height, c.cell->height());
    }
    CPreviewCanvas canvas(std::min(width, kMaxPreviewSide),
                          std::min(height + 2 * gap, kMaxPreviewSide));
    std::vector<bool> inCell(size_t(canvas.width()) * size_t(canvas.height()), false);
    int x = gap;
    for (const CCutCell& c : cells) {
        for (int r = 0; r < c.cell->height(); ++r)
            for (int col = 0; col < c.cell->width(); ++col)
                if (canvas.contains(x + col, gap + r))
                    inCell[size_t(gap + r) * size_t(canvas.width()) + size_t(x + col)] = true;
        x += c.cell->width() + gap;
    }
    for (int y = 0; y < canvas.height(); ++y)
        for (int col = 0; col < canvas.width(); ++col)
            if (!inCell[size_t(y) * size_t(canvas.width()) + size_t(col)])
                canvas.markOutside(col, y);
    x = gap;
    for (const CCutCell& c : cells) {
        canvas.draw(*c.cell, x, gap);
        const CDotMatrix& u = *c.uncut;
        for (int r = 0; r < u.height(); ++r)
            for (int col = 0; col < u.width(); ++col) {
                const int px = x - c.left + col, py = gap - c.top + r;
                if (canvas.contains(px, py) && canvas.outside(px, py))
                    canvas.put(px, py, dotLevel(u, r, col, canvas.maxLevel()));
            }
        x += c.cell->width() + gap;
    }
    return canvas;
}

void seenArea(const CPreviewOptions& o, int& width, int& height) {
    const bool quarter = o.rotation == 90 || o.rotation == 270;
    width = quarter ? o.height : o.width;
    height = quarter ? o.width : o.height;
}

// A canvas keeps two bytes a dot.
constexpr long long kMaxPreviewDots = 16ll << 20;

Status previewSize(const CPreviewOptions& o, int drawnWidth, int drawnHeight, int& width,
                   int& height) {
    if (o.rotation != 0 && o.rotation != 90 && o.rotation != 180 && o.rotation != 270)
        return failure(format("a rotation of %d degrees is not 0, 90, 180 or 270", o.rotation));
    seenArea(o, width, height);
    if (width <= 0 || height <= 0) {
        width = std::max(1, drawnWidth);
        height = std::max(1, drawnHeight);
    }
    if (width > kMaxPreviewSide || height > kMaxPreviewSide ||
        (long long)width * height > kMaxPreviewDots)
        return failure(format("the display would be %dx%d dots; a preview holds at most %d on a "
                              "side and %lld million in all (give --display, or fewer entries)",
                              width, height, kMaxPreviewSide, kMaxPreviewDots >> 20));
    return {};
}

namespace {

Result<CPreviewCanvas> seenCanvas(const CPreviewOptions& o, int drawnWidth, int drawnHeight) {
    int width = 0, height = 0;
    if (Status s = previewSize(o, drawnWidth, drawnHeight, width, height); !s)
        return failure(s.error());
    return CPreviewCanvas(width, height);
}

} // namespace

Result<CPreviewCanvas> drawPreview(const CTextLayout& text, const CPreviewOptions& o) {
    Result<CPreviewCanvas> canvas = seenCanvas(o, text.width, text.height);
    if (!canvas)
        return canvas;
    for (const CPlacedBits& g : text.glyphs)
        canvas->draw(*g.dots, g.x, g.y);
    return canvas->turned(360 - o.rotation);
}

Result<CPreviewCanvas> drawPreview(const CCellLayout& cells, const CPreviewOptions& o) {
    Result<CPreviewCanvas> canvas = seenCanvas(o, cells.width, cells.height);
    if (!canvas)
        return canvas;
    for (const CPlacedMatrix& m : cells.cells)
        canvas->draw(*m.dots, m.x, m.y);
    return canvas->turned(360 - o.rotation);
}

} // namespace tgw
