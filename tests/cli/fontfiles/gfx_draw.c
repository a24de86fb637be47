/* Draws a text line with a GFX font header the way the format's text renderer does: per
 * character its glyph's bit stream, row by row from the high bit, placed at the cursor plus
 * the glyph's offsets, then the cursor moved on by the advance. The cursor's row is the
 * library's "inclusive" baseline, the lowest row of glyphs that stand on the baseline: the row
 * just above the canvas's baseline, which ft_reference draws on.
 *   gfx_draw TEXT
 * FONT_HEADER names the header and FONT the GFXfont in it (given with -D). */
#include <stdio.h>

#include "canvas.h"
#include FONT_HEADER

#define CURSOR_ROW (CANVAS_BASELINE - 1)

static void draw_char(const GFXfont *font, unsigned char ch, int *cursor) {
    if (ch < font->first || ch > font->last)
        return;
    const GFXglyph *g = &font->glyph[ch - font->first];
    const uint8_t *bits = font->bitmap + g->bitmapOffset;
    unsigned bit = 0;
    for (int yy = 0; yy < g->height; ++yy)
        for (int xx = 0; xx < g->width; ++xx, ++bit)
            if (bits[bit >> 3] & (0x80 >> (bit & 7)))
                canvas_set(*cursor + g->xOffset + xx, CURSOR_ROW + g->yOffset + yy);
    *cursor += g->xAdvance;
}

int main(int argc, char **argv) {
    if (argc < 2)
        return 2;
    int cursor = CANVAS_LEFT;
    for (const char *p = argv[1]; *p; ++p)
        draw_char(&FONT, (unsigned char)*p, &cursor);
    canvas_print();
    return 0;
}
