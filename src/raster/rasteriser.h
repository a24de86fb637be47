#pragma once

#include "model/rasteriser.h"
#include "model/settings.h"
#include "raster/picture_rasteriser.h"

#include <memory>
#include <string>
#include <vector>

namespace tgw {

class CFreeTypeRenderer;

// Where the glyph of a character comes from: the font itself, another installed face that has
// the character (TrueType only, as rendering falls back for coverage), or nowhere, so that the
// character comes out blank or as the face's missing-glyph box.
enum class EGlyphSource { Font, Fallback, Missing };

struct CGlyphCoverage {
    EGlyphSource source = EGlyphSource::Font;
    std::u16string fallbackFamily; // the face used instead, for EGlyphSource::Fallback
};

// The rasteriser of all three entry kinds: built-in dot fonts, TrueType faces through FreeType,
// strings and pictures. Each instance owns its own FreeType library and faces, so one instance
// per thread renders in parallel with others.
class CRasteriser : public IRasteriser {
public:
    CRasteriser();
    ~CRasteriser() override;

    Status renderCharacter(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                           CDotMatrix& out) override;
    Status renderString(std::u16string_view text, bool rightToLeft, const CFontSettings& font,
                        CDotMatrix& out) override;
    Status renderProportional(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                              CProportionalGlyph& out, CLineMetrics& line) override;
    Status kerningPairs(std::span<const char16_t> codes, const CFontSettings& font,
                        std::vector<CKerningPair>& out) override;
    Status renderPicture(const std::u16string& path, uint8_t threshold, CDotMatrix& out) override;
    Status renderPictureWith(const std::u16string& path, const CPictureOptions& options,
                             CDotMatrix& out) override;

    CInkLoss lastInkLoss() const override { return m_lastInk; }
    // Where the ink of the last character rendered with a TrueType or bitmap face lay in its
    // cell before the cell cut it; empty for a blank or a built-in font.
    const CInkBox& lastInkBox() const { return m_lastBox; }

    CFreeTypeRenderer& freeType() { return *m_freeType; }

    // The offset that fits a set of characters into the cell of `font` when its size is to
    // fit the cell and its face is a font file of bitmap strikes only, which cannot be
    // scaled: the set's ink all inside the cell, or, when the set is taller than the cell, as
    // much cut at the top as at the bottom. 0 for every other font. Fails only when the face
    // cannot be opened.
    Result<int> fitOffset(const CFontSettings& font, std::u16string_view codes);

    // Where renderCharacter() takes the glyph of `code` in `font` from: a font file's own face
    // unless it lacks the character and a fallback was asked for. Fails only when the font's
    // face cannot be opened.
    Result<CGlyphCoverage> glyphCoverage(char16_t code, const CAnsiForm& ansi,
                                         const CFontSettings& font);

    // Whether the last picture rendered was shown, or stood in for by "Image Invalid" or
    // "Image Too Big" (the render succeeds either way), and why.
    const CPictureReport& lastPictureReport() const { return m_lastPicture; }

private:
    std::unique_ptr<CFreeTypeRenderer> m_freeType;
    CPictureReport m_lastPicture;
    CInkLoss m_lastInk;
    CInkBox m_lastBox;
};

// A font family that kind 6 can render.
struct CFontFamily {
    std::u16string name;
    bool fixedPitch = false;
};

// Families of the installed outline fonts, sorted, without duplicates and without names that
// begin with '@'.
std::vector<CFontFamily> listFontFamilies();

// One face of a font file, as `tgw fonts --file` and the font dialog show it.
struct CFileFace {
    int index = 0;
    std::string family;
    std::string style;
    bool scalable = false;    // outlines; else bitmap strikes only
    std::vector<int> strikes; // pixel sizes of the bitmap strikes, ascending
};

// At most this many faces of one file are listed.
inline constexpr long kMaxListedFaces = 1000;

// The faces of a font file, the first kMaxListedFaces of them; `total` gets how many the file
// has. Fails with a message naming the file when it is missing, unreadable or not a font.
Result<std::vector<CFileFace>> listFileFaces(const std::string& path, long* total = nullptr);
// Face `index` of a font file alone; fails as listFileFaces() does, and when the file has no
// such face.
Result<CFileFace> describeFileFace(const std::string& path, int index);

// The face that fontconfig gives for "sans-serif", with its style.
CSystemFont systemGuiFont();

} // namespace tgw
