#pragma once

#include "model/ink_loss.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

typedef struct FT_FaceRec_* FT_Face;
struct hb_font_t;
struct hb_buffer_t;

namespace tgw {

// Text drawn white on black: one byte a pixel, 0 black .. 255 white.
struct CGrayCanvas {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> value;

    CGrayCanvas() = default;
    CGrayCanvas(int w, int h) : width(w), height(h), value(size_t(w) * size_t(h), 0) {}
    uint8_t& at(int x, int y) { return value[size_t(y) * size_t(width) + x]; }
    uint8_t at(int x, int y) const { return value[size_t(y) * size_t(width) + x]; }
};

// The part of a canvas a drawing may touch: columns [left, right), rows [top, bottom).
struct CClip {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A FreeType face at the size to draw, with the styles fontconfig wants synthesised for it.
struct CStyledFace {
    FT_Face face = nullptr;
    bool syntheticBold = false;
    bool syntheticItalic = false;
};

// Finds a face for a character the main face lacks; nothing when no face has it.
using CFaceFinder = std::function<std::optional<CStyledFace>(char32_t)>;

// A glyph placed on a line: its origin `x` pixels right of the line's start, `rise` pixels
// above the baseline, in the painter's face number `face` (0 is the main face).
struct CPlacedGlyph {
    unsigned index = 0;
    int x = 0;
    int rise = 0;
    int face = 0;
};

struct CLineLayout {
    std::vector<CPlacedGlyph> glyphs; // in visual order, left to right
    long advance = 0;                 // the advances summed, without the extra spacing
};

// Lays out and draws lines of text in a FreeType face at the size the face is set to; the
// characters it lacks come from the faces `finder` gives, as the system's text output links
// fonts. Advances are hinted and rounded to whole pixels glyph by glyph, as the system's text
// output places characters. Owns its HarfBuzz fonts and buffer; the faces must outlive it and
// keep their size.
class CTextPainter {
public:
    explicit CTextPainter(CStyledFace face, CFaceFinder finder = {});
    ~CTextPainter();
    CTextPainter(const CTextPainter&) = delete;
    CTextPainter& operator=(const CTextPainter&) = delete;

    // Shapes one line (without line breaks) as a paragraph read left to right or right to left.
    // `extra` pixels are added after every character (UTF-16 unit), as a character spacing.
    CLineLayout layout(std::u16string_view line, bool rightToLeft, int extra);

    // From the top of a line to its baseline, and from the baseline to the bottom, in pixels:
    // the main face's.
    int ascent() const;
    int descent() const;

    // Draws the line with its start at `left` and its baseline at row `baseline`, blending
    // white over what is there, inside `clip` (which must lie inside the canvas). With `lost`,
    // the rows and columns of ink at least `litFrom` bright that fall outside the clip are
    // added to it (the larger at each side).
    void draw(const CLineLayout& line, int left, int baseline, const CClip& clip,
              CGrayCanvas& canvas, CInkLoss* lost = nullptr, unsigned litFrom = 255) const;
    // A character no face has is left blank instead of drawn as the main face's missing-glyph
    // box.
    void setBlankMissing(bool on) { m_blankMissing = on; }
    // The main face's underline and strike-out rules across `width` pixels from `left`.
    void drawUnderline(int left, int width, int baseline, const CClip& clip,
                       CGrayCanvas& canvas) const;
    void drawStrikeout(int left, int width, int baseline, const CClip& clip,
                       CGrayCanvas& canvas) const;

private:
    struct CFontDeleter {
        void operator()(hb_font_t* f) const;
    };
    struct CBufferDeleter {
        void operator()(hb_buffer_t* b) const;
    };
    struct CSlot {
        CStyledFace style;
        std::unique_ptr<hb_font_t, CFontDeleter> font;
    };

    // The face number for a character; `previous` is that of the character before it.
    int faceFor(char32_t c, int previous);
    void addFace(const CStyledFace& face);

    FT_Face m_face; // the main face
    CFaceFinder m_finder;
    std::vector<CSlot> m_slots;
    std::vector<char32_t> m_unfound; // characters no face has, not asked for again
    bool m_blankMissing = false;
    std::unique_ptr<hb_buffer_t, CBufferDeleter> m_buffer;
};

} // namespace tgw
