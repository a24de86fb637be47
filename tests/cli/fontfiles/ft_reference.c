/* Draws with FreeType alone, for comparing tgw's proportional output with.
 *   ft_reference FONT SIZE line TEXT     the canvas of TEXT (UTF-8), as gfx_draw prints it
 *   ft_reference FONT SIZE glyphs A B    per code A..B: "code advance xoffset yoffset w h"
 *                                        then the glyph's rows cropped to its ink
 */
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "canvas.h"

static FT_Face face;

static int load(unsigned code) {
    return FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) == 0;
}

/* The code of the UTF-8 sequence at *p (one to three bytes), *p moved past it. */
static unsigned next_code(const char** p) {
    const unsigned char* s = (const unsigned char*)*p;
    unsigned code = s[0], n = 0;
    if (code >= 0xE0 && s[1] && s[2]) {
        code = (code & 0x0F) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu);
        n = 3;
    } else if (code >= 0xC0 && s[1]) {
        code = (code & 0x1F) << 6 | (s[1] & 0x3Fu);
        n = 2;
    } else {
        n = 1;
    }
    *p += n;
    return code;
}

static int lit(const FT_Bitmap* bm, int r, int c) {
    return (bm->buffer[r * bm->pitch + (c >> 3)] >> (7 - (c & 7))) & 1;
}

int main(int argc, char** argv) {
    FT_Library lib;
    if (argc < 5 || FT_Init_FreeType(&lib) || FT_New_Face(lib, argv[1], 0, &face))
        return 2;
    if (FT_Set_Pixel_Sizes(face, 0, (FT_UInt)atoi(argv[2])))
        return 2;
    if (strcmp(argv[3], "line") == 0) {
        int pen = CANVAS_LEFT;
        for (const char* p = argv[4]; *p;) {
            if (!load(next_code(&p)))
                continue;
            FT_GlyphSlot g = face->glyph;
            for (int r = 0; r < (int)g->bitmap.rows; ++r)
                for (int c = 0; c < (int)g->bitmap.width; ++c)
                    if (lit(&g->bitmap, r, c))
                        canvas_set(pen + g->bitmap_left + c, CANVAS_BASELINE - g->bitmap_top + r);
            pen += (int)((g->advance.x + 32) >> 6);
        }
        canvas_print();
        return 0;
    }
    for (unsigned code = (unsigned)strtoul(argv[4], 0, 0);
         argc > 5 && code <= strtoul(argv[5], 0, 0); ++code) {
        if (FT_Get_Char_Index(face, code) == 0 || !load(code))
            continue;
        FT_GlyphSlot g = face->glyph;
        int top = 1 << 20, bottom = -1, left = 1 << 20, right = -1;
        for (int r = 0; r < (int)g->bitmap.rows; ++r)
            for (int c = 0; c < (int)g->bitmap.width; ++c)
                if (lit(&g->bitmap, r, c)) {
                    top = r < top ? r : top;
                    bottom = r > bottom ? r : bottom;
                    left = c < left ? c : left;
                    right = c > right ? c : right;
                }
        int adv = (int)((g->advance.x + 32) >> 6);
        if (bottom < 0) {
            printf("%u %d 0 0 0 0\n", code, adv);
            continue;
        }
        printf("%u %d %d %d %d %d\n", code, adv, g->bitmap_left + left, top - g->bitmap_top,
               right - left + 1, bottom - top + 1);
        for (int r = top; r <= bottom; ++r) {
            for (int c = left; c <= right; ++c)
                putchar(lit(&g->bitmap, r, c) ? '#' : '.');
            putchar('\n');
        }
    }
    return 0;
}
