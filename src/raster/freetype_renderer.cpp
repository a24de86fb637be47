#include "raster/freetype_renderer.h"

#include "base/text.h"
#include "raster/font_config.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <mutex>
#include <set>
#include <unordered_map>

namespace tgw {
namespace {

// Process-wide knowledge about faces: which are fixed-pitch and which proportional, and the
// average character width of a face at a character height ("face:height"). Only grows.
struct CFaceKnowledge {
    std::mutex mutex;
    std::set<std::u16string> fixedPitch;
    std::set<std::u16string> proportional;
    std::unordered_map<std::string, unsigned> averageWidth;
};

CFaceKnowledge& knowledge() {
    static CFaceKnowledge k;
    return k;
}

// The average character width of a face at an em height, as the system's text metrics give
// it: the OS/2 table's xAvgCharWidth scaled, else the advance of 'x'.
unsigned measureAverageWidth(FT_Face face, int emHeight) {
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(emHeight)) != 0)
        return 0;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->xAvgCharWidth > 0 && face->units_per_EM > 0)
        return unsigned(std::lround(double(os2->xAvgCharWidth) * emHeight / face->units_per_EM));
    if (FT_Load_Char(face, 'x', FT_LOAD_DEFAULT) == 0)
        return unsigned((face->glyph->advance.x + 32) >> 6);
    return unsigned(emHeight / 2);
}

} // namespace

struct CFreeTypeRenderer::CSelection {
    FT_Face face = nullptr;
    const CFaceFile* file = nullptr;
};

CFreeTypeRenderer::CFreeTypeRenderer() {
    FT_Init_FreeType(&m_library);
}

CFreeTypeRenderer::~CFreeTypeRenderer() {
    for (auto& [key, face] : m_faces)
        FT_Done_Face(face);
    if (m_library)
        FT_Done_FreeType(m_library);
}

Result<FT_Face> CFreeTypeRenderer::face(const std::u16string& family, bool bold, bool italic,
                                        const CFaceFile** fileOut) {
    if (!m_library)
        return failure("the font engine could not be started");
    if (m_lastFace && family == m_lastFamily && bold == m_lastBold && italic == m_lastItalic) {
        if (fileOut)
            *fileOut = m_lastFile;
        return m_lastFace;
    }
    static std::mutex filesMutex;
    static std::map<std::tuple<std::u16string, bool, bool>, CFaceFile> files;
    const CFaceFile* file = nullptr;
    {
        std::lock_guard lock(filesMutex);
        auto key = std::make_tuple(family, bold, italic);
        auto it = files.find(key);
        if (it == files.end()) {
            Result<CFaceFile> found = findFace(family, bold, italic);
            if (!found)
                return failure(found.error());
            it = files.emplace(key, found.value()).first;
        }
        file = &it->second; // map nodes are stable
    }
    Result<FT_Face> face = openFace(*file);
    if (!face)
        return face;
    m_lastFamily = family;
    m_lastBold = bold;
    m_lastItalic = italic;
    m_lastFace = *face;
    m_lastFile = file;
    if (fileOut)
        *fileOut = file;
    return face;
}

Result<FT_Face> CFreeTypeRenderer::openFace(const CFaceFile& file) {
    std::string key = file.file + "#" + std::to_string(file.index);
    if (auto it = m_faces.find(key); it != m_faces.end())
        return it->second;
    FT_Face face = nullptr;
    if (FT_New_Face(m_library, file.file.c_str(), file.index, &face) != 0)
        return failure("the font file '" + file.file + "' cannot be opened");
    m_faces.emplace(key, face);
    return face;
}

void CFreeTypeRenderer::fallBack(char16_t code, const CFontSettings& f, CSelection& sel) {
    if (FT_Get_Char_Index(sel.face, code) != 0)
        return;
    if (m_fallbackFace && FT_Get_Char_Index(m_fallbackFace, code) != 0) {
        sel.face = m_fallbackFace;
        sel.file = m_fallbackFile.get();
        return;
    }
    Result<CFaceFile> covering = findFaceCovering(f.face, f.bold, f.italic, code);
    if (!covering)
        return;
    Result<FT_Face> face = openFace(*covering);
    if (!face || FT_Get_Char_Index(*face, code) == 0)
        return; // nothing covers it: the face's own missing-glyph box
    m_fallbackFile = std::make_unique<CFaceFile>(*covering);
    m_fallbackFace = *face;
    sel.face = m_fallbackFace;
    sel.file = m_fallbackFile.get();
}

Result<FT_Face> CFreeTypeRenderer::sizedFace(const std::u16string& family, bool bold, bool italic,
                                             int emHeight, const CFaceFile** fileOut) {
    Result<FT_Face> face = this->face(family, bold, italic, fileOut);
    if (!face)
        return face;
    // Through the same record of the size last set as the character path, so that neither
    // leaves the other a face at a size it did not ask for.
    const long size = long(std::max(emHeight, 1)) * 64;
    if (*face != m_sizedFace || size != m_sizedX || size != m_sizedY) {
        if (FT_Set_Char_Size(*face, FT_F26Dot6(size), FT_F26Dot6(size), 72, 72) != 0)
            return failure("the face '" + utf16ToUtf8(family) + "' cannot be set to " +
                           std::to_string(emHeight) + " dots");
        m_sizedFace = *face;
        m_sizedX = m_sizedY = size;
    }
    return face;
}

Result<FT_Face> CFreeTypeRenderer::coveringFace(const std::u16string& family, bool bold,
                                                bool italic, char32_t code, int emHeight,
                                                CFaceFile* fileOut) {
    Result<CFaceFile> covering = findFaceCovering(family, bold, italic, code);
    if (!covering)
        return failure(covering.error());
    Result<FT_Face> face = openFace(*covering);
    if (!face)
        return face;
    if (FT_Get_Char_Index(*face, code) == 0)
        return failure("no installed face has the character");
    const long size = long(std::max(emHeight, 1)) * 64;
    if (*face != m_sizedFace || size != m_sizedX || size != m_sizedY) {
        if (FT_Set_Char_Size(*face, FT_F26Dot6(size), FT_F26Dot6(size), 72, 72) != 0)
            return failure("the face '" + covering->file + "' cannot be set to " +
                           std::to_string(emHeight) + " dots");
        m_sizedFace = *face;
        m_sizedX = m_sizedY = size;
    }
    *fileOut = *covering;
    return face;
}

Status CFreeTypeRenderer::select(char16_t code, const CFontSettings& f, CSelection& sel) {
    Result<FT_Face> face = this->face(f.face, f.bold, f.italic, &sel.file);
    if (!face)
        return failure(face.error());
    sel.face = *face;

    // Classify the face once: fixed-pitch or proportional.
    CFaceKnowledge& k = knowledge();
    bool fixedPitch;
    {
        std::lock_guard lock(k.mutex);
        if (f.face == u"宋体" || k.fixedPitch.count(f.face)) {
            fixedPitch = true;
        } else if (k.proportional.count(f.face)) {
            fixedPitch = false;
        } else {
            fixedPitch = FT_IS_FIXED_WIDTH(sel.face) || sel.file->fixedPitch;
            (fixedPitch ? k.fixedPitch : k.proportional).insert(f.face);
        }
    }

    // Natural width, or squeezed/stretched to the cell's proportion through the average
    // character width of the face at the cell height.
    int emHeight = f.size ? f.size : f.height;
    long xSize = long(emHeight) * 64;
    bool natural =
        f.size != 0 || f.width == f.height ||
        (code < 128 && fixedPitch && (f.height + 1) / 2 <= f.width && f.width <= f.height);
    if (!natural) {
        std::string key = utf16ToUtf8(f.face) + ":" + std::to_string(f.height);
        unsigned average = 0;
        {
            std::lock_guard lock(k.mutex);
            auto it = k.averageWidth.find(key);
            if (it != k.averageWidth.end())
                average = it->second;
        }
        if (average == 0) {
            average = measureAverageWidth(sel.face, f.height);
            m_sizedFace = nullptr;
            std::lock_guard lock(k.mutex);
            k.averageWidth.emplace(key, average);
        }
        unsigned logicalWidth = average ? unsigned(f.width) * average / unsigned(f.height) : 0;
        // A logical width of 0 asks for the natural width.
        if (logicalWidth && average)
            xSize = long(f.height) * 64 * long(logicalWidth) / long(average);
        emHeight = f.height;
    }
    long ySize = long(emHeight) * 64;
    // A character the face lacks comes from a face that has it, at the same size.
    if (!isWhiteSpace(code))
        fallBack(code, f, sel);
    if (sel.face != m_sizedFace || xSize != m_sizedX || ySize != m_sizedY) {
        if (FT_Set_Char_Size(sel.face, FT_F26Dot6(std::max(xSize, 1L)), FT_F26Dot6(ySize), 72,
                             72) != 0)
            return failure("the face '" + utf16ToUtf8(f.face) + "' cannot be set to " +
                           std::to_string(emHeight) + " dots");
        m_sizedFace = sel.face;
        m_sizedX = xSize;
        m_sizedY = ySize;
    }
    return {};
}

namespace {

void drawRule(CDotMatrix& out, int top, int thickness, int left, int length) {
    for (int r = std::max(top, 0); r < std::min(top + thickness, out.height()); ++r)
        for (int c = std::max(left, 0); c < std::min(left + length, out.width()); ++c)
            out.set(r, c, true);
}

} // namespace

Status CFreeTypeRenderer::renderCharacter(char16_t code, const CFontSettings& f, CDotMatrix& out) {
    CSelection sel;
    if (Status s = select(code, f, sel); !s)
        return s;
    FT_Face face = sel.face;
    bool synthesise = sel.file->syntheticBold || sel.file->syntheticItalic;
    FT_Int32 flags = FT_LOAD_TARGET_MONO | (synthesise ? FT_LOAD_NO_BITMAP : FT_LOAD_RENDER);
    if (FT_Load_Char(face, code, flags) != 0)
        return {}; // the fetch failed: a blank matrix
    FT_GlyphSlot slot = face->glyph;
    if (synthesise) {
        if (sel.file->syntheticItalic)
            FT_GlyphSlot_Oblique(slot);
        if (sel.file->syntheticBold)
            FT_GlyphSlot_Embolden(slot);
    }
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
        return {};

    const FT_Bitmap& bm = slot->bitmap;
    const int ascent = int((face->size->metrics.ascender + 63) >> 6);
    const int W = out.width(), H = out.height();

    int line = 0;
    if (f.size != 0 && f.size < H)
        line = (H - f.size) / 2;
    const int baseTop = line + f.offset; // row of the ascent line
    line = baseTop + std::max(0, ascent - slot->bitmap_top);

    const int boxWidth = int(bm.width);
    const int firstCol = boxWidth < W ? (W - boxWidth) / 2 : 0;
    int srcRow = 0;
    if (line < 0) {
        srcRow = -line;
        line = 0;
    }
    for (; srcRow < int(bm.rows) && line < H; ++srcRow, ++line) {
        const unsigned char* src = bm.buffer + long(srcRow) * bm.pitch;
        uint8_t* dst = out.row(line);
        int cols = std::min(boxWidth, W - firstCol);
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
            for (int c = 0; c < cols; ++c)
                if (src[c >> 3] & (0x80 >> (c & 7)))
                    dst[firstCol + c] = CDotMatrix::kLit;
        } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
            for (int c = 0; c < cols; ++c)
                if (src[c] >= 128)
                    dst[firstCol + c] = CDotMatrix::kLit;
        }
    }

    if (f.underline || f.strikeout) {
        // The rules span the character's advance, centred like the black box.
        int advance = std::max(1, int((slot->advance.x + 32) >> 6));
        int left = advance < W ? (W - advance) / 2 : 0;
        const double scale =
            face->units_per_EM ? double(face->size->metrics.y_ppem) / face->units_per_EM : 0.0;
        const int baseline = baseTop + ascent;
        if (f.underline) {
            int thickness = std::max(1, int(std::lround(face->underline_thickness * scale)));
            int below =
                std::max(1, int(std::lround(-face->underline_position * scale - thickness / 2.0)));
            drawRule(out, baseline + below, thickness, left, std::min(advance, W));
        }
        if (f.strikeout) {
            auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            int thickness = 1, above = std::max(1, ascent / 3);
            if (os2 && os2->yStrikeoutSize > 0) {
                thickness = std::max(1, int(std::lround(os2->yStrikeoutSize * scale)));
                above = int(std::lround(os2->yStrikeoutPosition * scale));
            }
            drawRule(out, baseline - above, thickness, left, std::min(advance, W));
        }
    }
    return {};
}

} // namespace tgw
