#include "raster/builtin_fonts.h"

#include "model/font_settings.h"

#include <algorithm>

// The tables are embedded with the assembler's .incbin, so the binary files under resources/
// become read-only data without a generated source file in between.
#define TGW_EMBED(name, file)                                                                      \
    asm(".section .rodata\n"                                                                       \
        ".balign 16\n"                                                                             \
        ".global " #name "\n" #name ":\n"                                                          \
        ".incbin \"" TGW_FONT_DIR "/" file "\"\n"                                                  \
        ".global " #name "_end\n" #name "_end:\n"                                                  \
        ".previous\n");                                                                            \
    extern "C" const uint8_t name[];                                                               \
    extern "C" const uint8_t name##_end[];

TGW_EMBED(tgw_font_ascii5x7, "ascii5x7.bin")
TGW_EMBED(tgw_font_ascii5x8, "ascii5x8.bin")
TGW_EMBED(tgw_font_ascii6x12, "ascii6x12.bin")
TGW_EMBED(tgw_font_ascii8x16, "ascii8x16.bin")
TGW_EMBED(tgw_font_gb2312_12, "gb2312-12.bin")
TGW_EMBED(tgw_font_gb2312_16, "gb2312-16.bin")

namespace tgw {

std::span<const uint8_t> builtinFontTable(int kind) {
    switch (kind) {
    case kFontAscii5x7:
        return {tgw_font_ascii5x7, tgw_font_ascii5x7_end};
    case kFontAscii5x8:
        return {tgw_font_ascii5x8, tgw_font_ascii5x8_end};
    case kFontAscii6x12:
        return {tgw_font_ascii6x12, tgw_font_ascii6x12_end};
    case kFontAscii8x16:
        return {tgw_font_ascii8x16, tgw_font_ascii8x16_end};
    case kFontGb2312_12:
        return {tgw_font_gb2312_12, tgw_font_gb2312_12_end};
    case kFontGb2312_16:
        return {tgw_font_gb2312_16, tgw_font_gb2312_16_end};
    default:
        return {};
    }
}

CGlyphSize builtinGlyphSize(int kind) {
    static const CGlyphSize sizes[] = {{5, 7}, {5, 8}, {6, 12}, {8, 16}, {12, 12}, {16, 16}};
    return isBuiltinFont(kind) ? sizes[kind] : CGlyphSize{0, 0};
}

namespace {

// Byte offset of the glyph in its table, or -1 when the font does not accept the code.
long glyphOffset(int kind, const CAnsiForm& ansi) {
    if (kind <= kFontAscii8x16) {
        if (ansi.length != 1 || ansi.bytes[0] < 32 || ansi.bytes[0] > 127)
            return -1;
        static const int bytesPerGlyph[] = {5, 8, 12, 16};
        return long(ansi.bytes[0] - 32) * bytesPerGlyph[kind];
    }
    if (ansi.length != 2)
        return -1;
    int b1 = ansi.bytes[0], b2 = ansi.bytes[1];
    int lastLead = kind == kFontGb2312_12 ? 0xF7 : 0xF9;
    if (b1 < 0xA1 || b1 > lastLead || b2 < 0xA1 || b2 > 0xFE)
        return -1;
    if (kind == kFontGb2312_16 && b1 == 0xF9 && b2 > 0xDE)
        return -1;
    return long((b1 - 0xA1) * 94 + (b2 - 0xA1)) * (kind == kFontGb2312_12 ? 24 : 32);
}

} // namespace

bool builtinHasGlyph(int kind, const CAnsiForm& ansi) {
    long offset = glyphOffset(kind, ansi);
    CGlyphSize size = builtinGlyphSize(kind);
    size_t glyphBytes = kind == kFontAscii5x7 ? 5 : size_t(size.height) * ((size.width + 7) / 8);
    return offset >= 0 && size_t(offset) + glyphBytes <= builtinFontTable(kind).size();
}

bool paintBuiltin(int kind, const CAnsiForm& ansi, CDotMatrix& out, int x, int y, int width,
                  int height) {
    if (!isBuiltinFont(kind))
        return false;
    CGlyphSize native = builtinGlyphSize(kind);
    int w = std::min(width, native.width);
    int h = std::min(height, native.height);
    if (x < 0 || y < 0 || x + w > out.width() || y + h > out.height())
        return false;
    if (!builtinHasGlyph(kind, ansi))
        return true;
    const uint8_t* glyph = builtinFontTable(kind).data() + glyphOffset(kind, ansi);
    if (kind == kFontAscii5x7) {
        for (int col = 0; col < w; ++col)
            for (int row = 0; row < h; ++row)
                if (glyph[col] & (1u << row))
                    out.set(y + row, x + col, true);
        return true;
    }
    int rowBytes = (native.width + 7) / 8;
    for (int row = 0; row < h; ++row) {
        const uint8_t* bits = glyph + row * rowBytes;
        for (int col = 0; col < w; ++col)
            if (bits[col / 8] & (0x80u >> (col % 8)))
                out.set(y + row, x + col, true);
    }
    return true;
}

} // namespace tgw
