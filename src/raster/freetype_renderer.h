#pragma once

#include "base/result.h"
#include "model/dot_matrix.h"
#include "model/font_settings.h"
#include "model/ink_loss.h"
#include "model/proportional_glyph.h"

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

typedef struct FT_FaceRec_* FT_Face;

namespace tgw {

struct CFaceFile;

// Renders characters of TrueType faces through FreeType as monochrome black boxes. Borrows its
// faces from the process's CSharedFaces and gives them back when destroyed, so that making a
// renderer costs nothing until it draws; one instance serves one thread.
class CFreeTypeRenderer {
public:
    CFreeTypeRenderer();
    ~CFreeTypeRenderer();
    CFreeTypeRenderer(const CFreeTypeRenderer&) = delete;
    CFreeTypeRenderer& operator=(const CFreeTypeRenderer&) = delete;

    // Draws `code` into `out`, which already has the character's size and is blank. `ink`
    // gets where the glyph's ink lay before the cell cut it (empty for no ink). With `margin`,
    // `out` is the cell grown by that many dots at each side, the glyph placed in the cell as
    // without it, so that ink the cell would cut lands in the margin.
    Status renderCharacter(char16_t code, const CFontSettings& font, CDotMatrix& out,
                           CInkBox* ink = nullptr, const CInkLoss* margin = nullptr);
    // The glyph of `code` cropped to its ink, with FreeType's advance and bearings at the size
    // renderCharacter() would use, and the face's line at that size.
    Status renderProportional(char16_t code, const CFontSettings& font, CProportionalGlyph& out,
                              CLineMetrics& line);

    // The kerning of the face of `font` between `codes` at the size renderProportional() draws
    // at (see faceKerning()); characters the face lacks are drawn from other faces and get none.
    Status kerningPairs(std::span<const char16_t> codes, const CFontSettings& font,
                        std::vector<CKerningPair>& out);
    // The face of a font file, opened once. Fails with a message naming the file when it is
    // missing, unreadable, not a font FreeType reads, or has no face `index`.
    Result<FT_Face> fileFace(const std::string& path, int index);

    // The face of a font, at the size the character path would choose (natural width).
    // Used by the string rasteriser and the library builder's coverage lookup.
    Result<FT_Face> face(const std::u16string& family, bool bold, bool italic,
                         const CFaceFile** file = nullptr);

    // The face of a font set to its natural width at an em height of `emHeight` dots, for
    // drawing runs of text. The face stays owned by this renderer.
    Result<FT_Face> sizedFace(const std::u16string& family, bool bold, bool italic, int emHeight,
                              const CFaceFile** file = nullptr);
    // The face of a font file set like sizedFace(); see fileFace() for its failures.
    Result<FT_Face> sizedFileFace(const std::string& path, int index, int emHeight);
    // A face that has `code`, which the face of `family` lacks, set like sizedFace(); its
    // description is copied to `file`. Fails when no installed face has the character.
    Result<FT_Face> coveringFace(const std::u16string& family, bool bold, bool italic,
                                 char32_t code, int emHeight, CFaceFile* file);

    // The largest pixel size at which the face's ascent plus descent fit `cellHeight`; a face
    // of bitmap strikes only gives its largest strike that fits. Remembered under `key`, which
    // must name the face alone. Leaves the face's size unset.
    int fitSize(FT_Face face, const std::string& key, int cellHeight);

private:
    struct CSelection;
    struct CFontChoice;
    Status select(char16_t code, const CFontSettings& font, CSelection& out);
    // The part of select() that does not depend on the character, worked out once for each
    // font (the last few kept); null, with the reason in `status`, when the face fails.
    CFontChoice* choose(const CFontSettings& font, Status& status);
    // Loads (and renders) the glyph of `code` into the selected face's slot; false when the
    // face cannot give it, which callers show as a blank.
    // The glyph rendered in one bit a dot, or anti-aliased when `depth` is above 1.
    bool loadGlyph(char16_t code, const CSelection& sel, int depth);
    // Sets `face` to x × y (26.6 units) unless it already is; a face of bitmap strikes only
    // gets the strike nearest to y instead, as FreeType refuses other sizes.
    Status setSize(FT_Face face, long x, long y, const std::string& name);
    // The same, leaving the message to the caller: FreeType's error, 0 when set.
    int applySize(FT_Face face, long x, long y);
    Result<FT_Face> openFace(const CFaceFile& file);
    // A face for a character the chosen face lacks; the last one found is tried first.
    void fallBack(char16_t code, const CFontSettings& font, CSelection& sel);

    std::map<std::string, FT_Face> m_faces;       // "file#index"
    std::map<std::string, CFaceFile> m_fileFaces; // faces of font files by "file#index"
    // The last face and size set, so that a run of characters in one font sets it once.
    std::u16string m_lastFamily;
    bool m_lastBold = false, m_lastItalic = false;
    FT_Face m_lastFace = nullptr;
    const CFaceFile* m_lastFile = nullptr;
    // The face whose size was set last, and that size (26.6 units).
    FT_Face m_sizedFace = nullptr;
    long m_sizedX = -1, m_sizedY = -1;
    FT_Face m_fallbackFace = nullptr;
    std::unique_ptr<CFaceFile> m_fallbackFile;
    // The fonts chosen last (see choose()), and the one to replace next.
    std::vector<std::unique_ptr<CFontChoice>> m_choices;
    size_t m_nextChoice = 0;
};

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

} // namespace tgw
