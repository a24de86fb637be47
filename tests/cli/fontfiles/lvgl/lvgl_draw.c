/* Reads an LVGL font as LVGL's descriptions of its formats lay it out, and prints what it
 * draws, so that a test can compare it with tgw's own glyphs.
 *   lvgl_draw c TEXT         the font compiled in (-DFONT=symbol -DFONT_SOURCE="file.c")
 *   lvgl_draw bin FILE TEXT  the binary font FILE, loaded into the same structures
 * prints "line H base B bpp D", then per distinct character of TEXT (UTF-8)
 * "U+XXXX adv A x X y Y w W h H" (A in 1/16 px; x, y of the box's lower left dot from the pen,
 * y up) and H rows of W levels as hex digits (two a dot at 8 bits), or "U+XXXX none"; then
 * "kern U+XXXX U+YYYY K" (K in 1/16 px) for each pair of neighbours that is kerned. */
#include "lvgl.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifdef FONT
#include FONT_SOURCE
#endif

/* Stand-ins for LVGL's functions, which the font's lv_font_t points at; never called. */
bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t* font, void* dsc, uint32_t letter,
                                   uint32_t next) {
    (void)font, (void)dsc, (void)letter, (void)next;
    return false;
}
const void* lv_font_get_bitmap_fmt_txt(void* g, void* buf) {
    (void)g, (void)buf;
    return NULL;
}

static const lv_font_fmt_txt_dsc_t* dsc;

/* The glyph id of a character through the character maps; 0: none. */
static uint32_t glyph_id(uint32_t letter) {
    for (unsigned i = 0; i < dsc->cmap_num; ++i) {
        const lv_font_fmt_txt_cmap_t* m = &dsc->cmaps[i];
        uint32_t rcp = letter - m->range_start;
        if (letter < m->range_start || rcp >= m->range_length)
            continue;
        switch (m->type) {
        case LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY:
            return m->glyph_id_start + rcp;
        case LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL: {
            const uint8_t* ofs = m->glyph_id_ofs_list;
            if (ofs[rcp] == 0 && rcp != 0)
                return 0;
            return m->glyph_id_start + ofs[rcp];
        }
        default:
            for (unsigned k = 0; k < m->list_length; ++k)
                if (m->unicode_list[k] == rcp)
                    return m->glyph_id_start +
                           (m->type == LV_FONT_FMT_TXT_CMAP_SPARSE_TINY
                                ? k
                                : ((const uint16_t*)m->glyph_id_ofs_list)[k]);
            return 0;
        }
    }
    return 0;
}

/* The kerning of two glyphs in 1/16 px. */
static int kern(uint32_t left, uint32_t right) {
    int value = 0;
    if (!dsc->kern_dsc || !left || !right)
        return 0;
    if (dsc->kern_classes) {
        const lv_font_fmt_txt_kern_classes_t* k = dsc->kern_dsc;
        int l = k->left_class_mapping[left], r = k->right_class_mapping[right];
        if (l && r)
            value = k->class_pair_values[(l - 1) * k->right_class_cnt + (r - 1)];
    } else {
        const lv_font_fmt_txt_kern_pair_t* k = dsc->kern_dsc;
        for (uint32_t i = 0; i < k->pair_cnt; ++i) {
            uint32_t a, b;
            if (k->glyph_ids_size == 0) {
                a = ((const uint8_t*)k->glyph_ids)[2 * i];
                b = ((const uint8_t*)k->glyph_ids)[2 * i + 1];
            } else {
                a = ((const uint16_t*)k->glyph_ids)[2 * i];
                b = ((const uint16_t*)k->glyph_ids)[2 * i + 1];
            }
            if (a == left && b == right)
                value = k->values[i];
        }
    }
    return (value * dsc->kern_scale) >> 4;
}

static unsigned bits_at(const uint8_t* in, size_t pos, int n) {
    unsigned v = 0;
    for (int i = 0; i < n; ++i, ++pos)
        v = v << 1 | ((in[pos >> 3] >> (7 - (pos & 7))) & 1u);
    return v;
}

/* The run-length code: a value as it is; a value equal to the one before it starts the repeat
 * state, where a 1 bit repeats the value and a 0 bit is followed by a new value; the 11th
 * repeat bit is followed by a 6-bit counter: so many values again (the last of which is read
 * as it is), 0 meaning none. */
static void decompress(const uint8_t* in, uint8_t* out, int n, int bpp) {
    size_t pos = 0;
    int state = 0, count = 0, prev = 0;
    for (int i = 0; i < n; ++i) {
        int v;
        if (state == 0) {
            v = (int)bits_at(in, pos, bpp);
            pos += (size_t)bpp;
            if (pos != (size_t)bpp && v == prev) {
                state = 1;
                count = 0;
            }
            prev = v;
        } else if (state == 1) {
            int bit = (int)bits_at(in, pos++, 1);
            ++count;
            if (bit) {
                v = prev;
                if (count == 11) {
                    count = (int)bits_at(in, pos, 6);
                    pos += 6;
                    if (count)
                        state = 2;
                    else {
                        v = prev = (int)bits_at(in, pos, bpp);
                        pos += (size_t)bpp;
                        state = 0;
                    }
                }
            } else {
                v = prev = (int)bits_at(in, pos, bpp);
                pos += (size_t)bpp;
                state = 0;
            }
        } else {
            v = prev;
            if (--count == 0) {
                v = prev = (int)bits_at(in, pos, bpp);
                pos += (size_t)bpp;
                state = 0;
            }
        }
        out[i] = (uint8_t)v;
    }
}

static void print_glyph(uint32_t code) {
    uint32_t id = glyph_id(code);
    if (!id) {
        printf("U+%04X none\n", (unsigned)code);
        return;
    }
    const lv_font_fmt_txt_glyph_dsc_t* g = &dsc->glyph_dsc[id];
    int w = g->box_w, h = g->box_h, bpp = dsc->bpp;
    printf("U+%04X adv %d x %d y %d w %d h %d\n", (unsigned)code, (int)g->adv_w, (int)g->ofs_x,
           (int)g->ofs_y, w, h);
    uint8_t* levels = calloc((size_t)w * (size_t)h + 1, 1);
    const uint8_t* in = dsc->glyph_bitmap + g->bitmap_index;
    if (dsc->bitmap_format == 0) {
        for (int i = 0; i < w * h; ++i)
            levels[i] = (uint8_t)bits_at(in, (size_t)i * (size_t)bpp, bpp);
    } else {
        decompress(in, levels, w * h, bpp);
        if (dsc->bitmap_format == 1) /* rows XOR-ed with the row above */
            for (int i = w; i < w * h; ++i)
                levels[i] ^= levels[i - w];
    }
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c)
            printf(bpp == 8 ? "%02X" : "%X", levels[r * w + c]);
        printf("\n");
    }
    free(levels);
}

static uint32_t next_code(const char** p) {
    const unsigned char* s = (const unsigned char*)*p;
    uint32_t code = s[0];
    int n = 1;
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

/* ---- the binary font, table by table (little-endian) ---- */

static const uint8_t* file;
static size_t file_size;

static uint32_t u32_at(size_t at) {
    if (at + 4 > file_size)
        exit(3);
    return file[at] | file[at + 1] << 8 | (uint32_t)file[at + 2] << 16 |
           (uint32_t)file[at + 3] << 24;
}
static unsigned u16_at(size_t at) {
    if (at + 2 > file_size)
        exit(3);
    return file[at] | file[at + 1] << 8;
}
static int s16_at(size_t at) {
    return (int16_t)u16_at(at);
}
/* A table's start: its size, checked with its label. */
static uint32_t table(size_t at, const char* label) {
    if (at + 8 > file_size || memcmp(file + at + 4, label, 4) != 0) {
        fprintf(stderr, "no table %s at %zu\n", label, at);
        exit(3);
    }
    return u32_at(at);
}
static int sbits(const uint8_t* in, size_t pos, int n) {
    unsigned v = bits_at(in, pos, n);
    return n && (v >> (n - 1)) & 1 ? (int)v - (1 << n) : (int)v;
}

static lv_font_t loaded;
static lv_font_fmt_txt_dsc_t loaded_dsc;

static void load(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f)
        exit(2);
    static uint8_t buffer[1 << 24];
    file_size = fread(buffer, 1, sizeof buffer, f);
    fclose(f);
    file = buffer;
    size_t head = 0, at = table(head, "head");
    unsigned tables = u16_at(head + 12);
    int ascent = (int)u16_at(head + 16), descent = s16_at(head + 18);
    unsigned default_advance = u16_at(head + 30);
    loaded_dsc.kern_scale = (uint16_t)u16_at(head + 32);
    int loc32 = file[head + 34], wide_ids = file[head + 35], advance_fp4 = file[head + 36];
    loaded_dsc.bpp = file[head + 37];
    int xy = file[head + 38], wh = file[head + 39], advance_bits = file[head + 40];
    loaded_dsc.bitmap_format = file[head + 41];
    loaded.line_height = ascent - descent;
    loaded.base_line = -descent;

    size_t cmap = at;
    at += table(cmap, "cmap");
    unsigned maps = u32_at(cmap + 8);
    lv_font_fmt_txt_cmap_t* m = calloc(maps, sizeof *m);
    for (unsigned i = 0; i < maps; ++i) {
        size_t h = cmap + 12 + 16 * i;
        size_t data = cmap + u32_at(h);
        m[i].range_start = u32_at(h + 4);
        m[i].range_length = (uint16_t)u16_at(h + 8);
        m[i].glyph_id_start = (uint16_t)u16_at(h + 10);
        m[i].list_length = (uint16_t)u16_at(h + 12);
        m[i].type = (lv_font_fmt_txt_cmap_type_t)file[h + 14];
        if (m[i].type == LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL) {
            m[i].glyph_id_ofs_list = file + data;
        } else if (m[i].type != LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY) {
            uint16_t* list = calloc(m[i].list_length + 1u, 2);
            uint16_t* ids = calloc(m[i].list_length + 1u, 2);
            for (unsigned k = 0; k < m[i].list_length; ++k) {
                list[k] = (uint16_t)u16_at(data + 2 * k);
                if (m[i].type == LV_FONT_FMT_TXT_CMAP_SPARSE_FULL)
                    ids[k] = (uint16_t)u16_at(data + 2 * m[i].list_length + 2 * k);
            }
            m[i].unicode_list = list;
            m[i].glyph_id_ofs_list = ids;
        }
    }
    loaded_dsc.cmaps = m;
    loaded_dsc.cmap_num = maps & 0x1FF;

    size_t loca = at;
    at += table(loca, "loca");
    unsigned count = u32_at(loca + 8);
    size_t glyf = at;
    uint32_t glyf_size = table(glyf, "glyf");
    at += glyf_size;
    lv_font_fmt_txt_glyph_dsc_t* g = calloc(count, sizeof *g);
    uint8_t* bitmaps = calloc(glyf_size + 1, 1);
    size_t used = 0;
    for (unsigned i = 0; i < count; ++i) {
        uint32_t start = loc32 ? u32_at(loca + 12 + 4 * i) : u16_at(loca + 12 + 2 * i);
        uint32_t end = i + 1 < count ? (loc32 ? u32_at(loca + 16 + 4 * i)
                                              : u16_at(loca + 14 + 2 * i))
                                     : glyf_size;
        const uint8_t* rec = file + glyf + start;
        size_t pos = 0;
        unsigned advance = advance_bits ? bits_at(rec, 0, advance_bits) : default_advance;
        pos += (size_t)advance_bits;
        g[i].adv_w = advance_fp4 ? advance : advance * 16;
        g[i].ofs_x = (int8_t)sbits(rec, pos, xy);
        g[i].ofs_y = (int8_t)sbits(rec, pos + (size_t)xy, xy);
        g[i].box_w = (uint8_t)bits_at(rec, pos + 2 * (size_t)xy, wh);
        g[i].box_h = (uint8_t)bits_at(rec, pos + 2 * (size_t)xy + (size_t)wh, wh);
        pos += 2 * (size_t)xy + 2 * (size_t)wh;
        /* The bitmap: the record's bits after its fields, to the record's end. */
        g[i].bitmap_index = used;
        size_t bits = (size_t)(end - start) * 8 - pos;
        for (size_t b = 0; b < bits; b += 8) {
            int n = bits - b < 8 ? (int)(bits - b) : 8;
            bitmaps[used++] = (uint8_t)(bits_at(rec, pos + b, n) << (8 - n));
        }
    }
    loaded_dsc.glyph_dsc = g;
    loaded_dsc.glyph_bitmap = bitmaps;

    if (tables >= 4) {
        size_t k = at;
        table(k, "kern");
        int format = file[k + 8];
        size_t c = k + 12;
        if (format == 0) {
            lv_font_fmt_txt_kern_pair_t* p = calloc(1, sizeof *p);
            uint32_t pairs = u32_at(c);
            size_t id_bytes = wide_ids ? 2 : 1;
            void* ids = calloc(2 * pairs + 1, id_bytes);
            for (uint32_t i = 0; i < 2 * pairs; ++i) {
                if (wide_ids)
                    ((uint16_t*)ids)[i] = (uint16_t)u16_at(c + 4 + 2 * i);
                else
                    ((uint8_t*)ids)[i] = file[c + 4 + i];
            }
            p->glyph_ids = ids;
            p->values = (const int8_t*)(file + c + 4 + 2 * pairs * id_bytes);
            p->pair_cnt = pairs;
            p->glyph_ids_size = wide_ids ? 1 : 0;
            loaded_dsc.kern_dsc = p;
        } else if (format == 3) {
            lv_font_fmt_txt_kern_classes_t* t = calloc(1, sizeof *t);
            unsigned glyphs = u16_at(c);
            t->left_class_cnt = file[c + 2];
            t->right_class_cnt = file[c + 3];
            t->left_class_mapping = file + c + 4;
            t->right_class_mapping = file + c + 4 + glyphs;
            t->class_pair_values = (const int8_t*)(file + c + 4 + 2 * glyphs);
            loaded_dsc.kern_dsc = t;
            loaded_dsc.kern_classes = 1;
        } else {
            exit(3);
        }
    }
    loaded.dsc = &loaded_dsc;
}

int main(int argc, char** argv) {
    const lv_font_t* font = NULL;
    const char* text;
    if (argc == 3 && strcmp(argv[1], "c") == 0) {
#ifdef FONT
        font = &FONT;
#endif
        text = argv[2];
    } else if (argc == 4 && strcmp(argv[1], "bin") == 0) {
        load(argv[2]);
        font = &loaded;
        text = argv[3];
    } else {
        return 2;
    }
    if (!font)
        return 2;
    dsc = font->dsc;
    printf("line %d base %d bpp %d\n", (int)font->line_height, (int)font->base_line,
           (int)dsc->bpp);
    uint32_t seen[4096];
    size_t seen_count = 0;
    for (const char* p = text; *p;) {
        uint32_t code = next_code(&p);
        size_t i = 0;
        while (i < seen_count && seen[i] != code)
            ++i;
        if (i < seen_count || seen_count == 4096)
            continue;
        seen[seen_count++] = code;
        print_glyph(code);
    }
    uint32_t prev = 0;
    for (const char* p = text; *p;) {
        uint32_t code = next_code(&p);
        int k = prev ? kern(glyph_id(prev), glyph_id(code)) : 0;
        if (k)
            printf("kern U+%04X U+%04X %d\n", (unsigned)prev, (unsigned)code, k);
        prev = code;
    }
    return 0;
}
