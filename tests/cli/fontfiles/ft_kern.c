/* The kerning of neighbouring characters from a face's kern table, read by FreeType alone:
 *   ft_kern FONT SIZE TEXT    "kern U+XXXX U+YYYY K" per kerned pair, K in 1/16 px (rounded)
 */
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdio.h>
#include <stdlib.h>

static unsigned next_code(const char** p) {
    const unsigned char* s = (const unsigned char*)*p;
    unsigned code = s[0], n = 1;
    if (code >= 0xE0 && s[1] && s[2]) {
        code = (code & 0x0F) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu);
        n = 3;
    } else if (code >= 0xC0 && s[1]) {
        code = (code & 0x1F) << 6 | (s[1] & 0x3Fu);
        n = 2;
    }
    *p += n;
    return code;
}

int main(int argc, char** argv) {
    FT_Library lib;
    FT_Face face;
    if (argc != 4 || FT_Init_FreeType(&lib) || FT_New_Face(lib, argv[1], 0, &face) ||
        FT_Set_Pixel_Sizes(face, 0, (FT_UInt)atoi(argv[2])))
        return 2;
    unsigned prev = 0;
    for (const char* p = argv[3]; *p;) {
        unsigned code = next_code(&p);
        FT_Vector k = {0, 0};
        if (prev && FT_Get_Kerning(face, FT_Get_Char_Index(face, prev),
                                   FT_Get_Char_Index(face, code), FT_KERNING_UNFITTED, &k) == 0) {
            long v = k.x >= 0 ? (k.x + 2) / 4 : -((-k.x + 2) / 4);
            if (v)
                printf("kern U+%04X U+%04X %ld\n", prev, code, v);
        }
        prev = code;
    }
    return 0;
}
