#pragma once

#include <string>

namespace tgw {

// Glyph sources: the six built-in dot fonts, then any installed TrueType face.
enum EFontKind : int {
    kFontUnset = -1,
    kFontAscii5x7 = 0,
    kFontAscii5x8 = 1,
    kFontAscii6x12 = 2,
    kFontAscii8x16 = 3,
    kFontGb2312_12 = 4,
    kFontGb2312_16 = 5,
    kFontTrueType = 6,
};

inline bool isBuiltinFont(int kind) {
    return kind >= kFontAscii5x7 && kind <= kFontGb2312_16;
}

// "ASCII 5x7点阵字库" … "GB2312 16x16点阵字库" for kinds 0..5, "" otherwise.
const char* builtinFontName(int kind);

// The font a character or string entry is made with.
struct CFontSettings {
    int kind = kFontUnset;
    std::u16string face; // TrueType face; must not be empty for kind 6
    int size = 0;        // em height in dots; 0: the character height is used
    int width = 0;       // the cell in dots
    int height = 0;
    bool bold = false;
    bool italic = false;
    bool strikeout = false;
    bool underline = false;
    int offset = 0; // positive moves the glyph down
    // A font file (UTF-8 path) read instead of the installed face named `face`; empty: by name.
    // Then `face` only describes the font (its family) and no other face stands in for a
    // character the file lacks, unless `fileFallback` asks for one.
    std::string fontFile;
    int faceIndex = 0; // the face in a collection (.ttc, .otc)
    // A character the font file lacks is drawn from an installed face that has it.
    bool fileFallback = false;
    // The size is the largest whose ascent plus descent fits the cell height (`size` unused).
    bool fitCell = false;
    // Bits a dot: 1, or 2, 4 and 8 for grey levels (anti-aliased TrueType; a bitmap font's dots
    // are fully lit).
    int depth = 1;

    // Equal for rendering purposes: for built-in fonts only kind, width and height count.
    bool same(const CFontSettings& other) const;
    // Whether an entry can be rendered with these settings at all.
    bool usable() const;

    bool operator==(const CFontSettings&) const = default;
};

} // namespace tgw
