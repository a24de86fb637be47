/* The floor the start-up script measures tgw against: FreeType alone opens one font file,
 * renders characters monochrome at a pixel size and prints their rows as '#' and '.'.
 *
 *   bare_glyph FONT_FILE SIZE CODE... */
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: bare_glyph FONT_FILE SIZE CODE...\n");
        return 2;
    }
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, argv[1], 0, &face)) {
        fprintf(stderr, "bare_glyph: cannot open %s\n", argv[1]);
        return 1;
    }
    const int size = atoi(argv[2]);
    if (FT_IS_SCALABLE(face))
        FT_Set_Pixel_Sizes(face, 0, (FT_UInt)size);
    else if (face->num_fixed_sizes > 0)
        FT_Select_Size(face, 0);
    for (int i = 3; i < argc; ++i) {
        if (FT_Load_Char(face, strtoul(argv[i], NULL, 0), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO))
            continue;
        const FT_Bitmap* bm = &face->glyph->bitmap;
        for (unsigned r = 0; r < bm->rows; ++r) {
            for (unsigned c = 0; c < bm->width; ++c)
                putchar(bm->buffer[r * bm->pitch + (c >> 3)] & (0x80 >> (c & 7)) ? '#' : '.');
            putchar('\n');
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return 0;
}
