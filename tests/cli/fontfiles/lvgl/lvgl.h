/* The declarations an LVGL "fmt_txt" font needs, written from LVGL's documented structure
 * layouts (lv_font.h, lv_font_fmt_txt.h), so that a font's C file compiles without LVGL.
 * LVGL_VERSION_MAJOR comes from the compiler's command line (8 or 9). */
#ifndef TEST_LVGL_H
#define TEST_LVGL_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>

#ifndef LVGL_VERSION_MAJOR
#define LVGL_VERSION_MAJOR 9
#endif
#ifndef LVGL_VERSION_MINOR
#define LVGL_VERSION_MINOR 2
#endif
#define LV_VERSION_CHECK(x, y, z)                                                                  \
    (x == LVGL_VERSION_MAJOR && (y < LVGL_VERSION_MINOR || (y == LVGL_VERSION_MINOR && z <= 0)))
#ifndef LV_USE_FONT_COMPRESSED
#define LV_USE_FONT_COMPRESSED 1
#endif
#ifndef LV_FONT_FMT_TXT_LARGE
#define LV_FONT_FMT_TXT_LARGE 0
#endif
#define LV_ATTRIBUTE_LARGE_CONST

typedef enum {
    LV_FONT_SUBPX_NONE,
    LV_FONT_SUBPX_HOR,
    LV_FONT_SUBPX_VER,
    LV_FONT_SUBPX_BOTH
} lv_font_subpx_t;

typedef struct {
#if LV_FONT_FMT_TXT_LARGE == 0
    uint32_t bitmap_index : 20;
    uint32_t adv_w : 12;
    uint8_t box_w;
    uint8_t box_h;
    int8_t ofs_x;
    int8_t ofs_y;
#else
    uint32_t bitmap_index;
    uint32_t adv_w;
    uint16_t box_w;
    uint16_t box_h;
    int16_t ofs_x;
    int16_t ofs_y;
#endif
} lv_font_fmt_txt_glyph_dsc_t;

typedef enum {
    LV_FONT_FMT_TXT_CMAP_FORMAT0_FULL,
    LV_FONT_FMT_TXT_CMAP_SPARSE_FULL,
    LV_FONT_FMT_TXT_CMAP_FORMAT0_TINY,
    LV_FONT_FMT_TXT_CMAP_SPARSE_TINY,
} lv_font_fmt_txt_cmap_type_t;

typedef struct {
    uint32_t range_start;
    uint16_t range_length;
    uint16_t glyph_id_start;
    const uint16_t* unicode_list;
    const void* glyph_id_ofs_list;
    uint16_t list_length;
    lv_font_fmt_txt_cmap_type_t type;
} lv_font_fmt_txt_cmap_t;

typedef struct {
    const void* glyph_ids;
    const int8_t* values;
    uint32_t pair_cnt : 30;
    uint32_t glyph_ids_size : 2;
} lv_font_fmt_txt_kern_pair_t;

typedef struct {
    const int8_t* class_pair_values;
    const uint8_t* left_class_mapping;
    const uint8_t* right_class_mapping;
    uint8_t left_class_cnt;
    uint8_t right_class_cnt;
} lv_font_fmt_txt_kern_classes_t;

#if LVGL_VERSION_MAJOR == 8
typedef struct {
    uint32_t last_letter;
    uint32_t last_glyph_id;
} lv_font_fmt_txt_glyph_cache_t;
#endif

typedef struct {
    const uint8_t* glyph_bitmap;
    const lv_font_fmt_txt_glyph_dsc_t* glyph_dsc;
    const lv_font_fmt_txt_cmap_t* cmaps;
    const void* kern_dsc;
    uint16_t kern_scale;
    uint16_t cmap_num : 9;
    uint16_t bpp : 4;
    uint16_t kern_classes : 1;
    uint16_t bitmap_format : 2;
#if LVGL_VERSION_MAJOR == 8
    lv_font_fmt_txt_glyph_cache_t* cache;
#else
    uint8_t stride;
#endif
} lv_font_fmt_txt_dsc_t;

struct _lv_font_t;
typedef struct _lv_font_t lv_font_t;
typedef bool (*lv_font_get_glyph_dsc_cb)(const lv_font_t*, void*, uint32_t, uint32_t);
typedef const void* (*lv_font_get_bitmap_cb)(void*, void*);

struct _lv_font_t {
    lv_font_get_glyph_dsc_cb get_glyph_dsc;
    lv_font_get_bitmap_cb get_glyph_bitmap;
    int32_t line_height;
    int32_t base_line;
    uint8_t subpx : 2;
#if LVGL_VERSION_MAJOR >= 9
    uint8_t kerning : 1;
    uint8_t static_bitmap : 1;
#endif
    int8_t underline_position;
    int8_t underline_thickness;
    const void* dsc;
    const lv_font_t* fallback;
    void* user_data;
};

bool lv_font_get_glyph_dsc_fmt_txt(const lv_font_t* font, void* dsc, uint32_t letter,
                                   uint32_t next);
const void* lv_font_get_bitmap_fmt_txt(void* g, void* buf);

#endif
