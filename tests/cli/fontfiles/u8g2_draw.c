/* Draws a UTF-8 text line with a u8g2 font array as the library's string drawing places glyphs:
 * the reference point on the baseline, each glyph's box at the point plus its x offset, its
 * lowest row its y offset above the baseline, the point moved on by the advance. Read from the
 * format's description alone:
 *   header (23 bytes): 0 glyph count, 1 box mode, 2 bits of a run without ink, 3 of a run with
 *     ink, 4..8 bits of width, height, x offset, y offset, advance, 9..16 the font's box and
 *     heights, 17/19/21 big-endian offsets (from the end of the header) of the first glyph at
 *     or after 'A', at or after 'a', and of the jump table;
 *   glyphs up to 0xFF: code, size of the record, bits; ended by a record of size 0;
 *   jump table: (distance from the previous block, last code of the block) pairs of words,
 *     until one whose last code is at least the code looked for;
 *   glyphs above 0xFF: code (2 bytes, big-endian), size, bits; ended by code 0.
 *   bits: least significant first; signed fields hold the value plus half their range; then
 *     run pairs (without ink, with ink) across the rows, each pair followed by a bit that is 1
 *     when the pair is drawn again.
 *   u8g2_draw TEXT
 * FONT_SOURCE names the generated file and FONT the array in it (given with -D). Exits 3 when
 * the data is not well formed: runs past the box or past the record. */
#include <stdio.h>
#include <stdlib.h>

#include "canvas.h"
#include FONT_SOURCE

typedef struct {
    const uint8_t* data;
    unsigned long bit;
} reader_t;

static unsigned read_bits(reader_t* r, unsigned n) {
    unsigned value = 0;
    for (unsigned i = 0; i < n; ++i, ++r->bit)
        if ((r->data[r->bit / 8] >> (r->bit % 8)) & 1)
            value |= 1u << i;
    return value;
}

static int read_signed(reader_t* r, unsigned n) {
    return (int)read_bits(r, n) - (1 << (n - 1));
}

static unsigned word(const uint8_t* p) {
    return (unsigned)p[0] << 8 | p[1];
}

static void bad(const char* why, unsigned code) {
    fprintf(stderr, "u8g2_draw: U+%04X: %s\n", code, why);
    exit(3);
}

/* The glyph's bits and the size of its record after its code and size bytes. */
static const uint8_t* find_glyph(const uint8_t* font, unsigned code, unsigned* left) {
    const uint8_t* glyphs = font + 23;
    if (code <= 0xFF) {
        const uint8_t* g = glyphs;
        if (code >= 'a')
            g += word(font + 19);
        else if (code >= 'A')
            g += word(font + 17);
        for (; g[1] != 0; g += g[1])
            if (g[0] == code) {
                *left = g[1] - 2u;
                return g + 2;
            }
        return NULL;
    }
    const uint8_t* jump = glyphs + word(font + 21);
    const uint8_t* g = jump;
    for (;;) {
        g += word(jump);
        const unsigned last = word(jump + 2);
        jump += 4;
        if (last >= code)
            break;
    }
    for (; word(g) != 0; g += g[2])
        if (word(g) == code) {
            *left = g[2] - 3u;
            return g + 3;
        }
    return NULL;
}

static void draw_glyph(const uint8_t* font, unsigned code, int* x, int baseline) {
    unsigned left = 0;
    const uint8_t* bits = find_glyph(font, code, &left);
    if (!bits)
        return;
    reader_t r = {bits, 0};
    const unsigned run0 = font[2], run1 = font[3];
    const unsigned w = read_bits(&r, font[4]), h = read_bits(&r, font[5]);
    const int xo = read_signed(&r, font[6]), yo = read_signed(&r, font[7]);
    const int advance = read_signed(&r, font[8]);
    if (w > 0) {
        const int left_x = *x + xo, top_y = baseline - ((int)h + yo);
        const unsigned long total = (unsigned long)w * h;
        unsigned long at = 0;
        while (at < total) {
            const unsigned zeros = read_bits(&r, run0), ones = read_bits(&r, run1);
            do {
                at += zeros;
                for (unsigned i = 0; i < ones; ++i, ++at) {
                    if (at >= total)
                        bad("ink runs past the box", code);
                    canvas_set(left_x + (int)(at % w), top_y + (int)(at / w));
                }
                if (at > total)
                    bad("runs past the box", code);
            } while (read_bits(&r, 1));
        }
    }
    if ((r.bit + 7) / 8 > left)
        bad("bits run past the record", code);
    *x += advance;
}

/* The code of the UTF-8 sequence at *p (one to three bytes), *p moved past it. */
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
    if (argc < 2)
        return 2;
    int x = CANVAS_LEFT;
    for (const char* p = argv[1]; *p;)
        draw_glyph(FONT, next_code(&p), &x, CANVAS_BASELINE);
    canvas_print();
    return 0;
}
