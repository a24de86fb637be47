#include "raster/freetype_renderer.h"

#include "base/text.h"
#include "raster/face_kerning.h"
#include "raster/font_config.h"
#include "raster/shared_faces.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
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
    std::unordered_map<std::string, int> fitSize; // "face:cell height"
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

// The strike of a bitmap face whose pixel size is nearest to `ppem` (26.6); the smaller of two
// as near.
int nearestStrike(FT_Face face, long ppem) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        const FT_Bitmap_Size& strike = face->available_sizes[i];
        const long size = strike.y_ppem ? long(strike.y_ppem) : long(strike.height) * 64;
        const long distance = std::labs(size - ppem);
        if (bestDistance < 0 || distance < bestDistance ||
            (distance == bestDistance && size < face->available_sizes[best].y_ppem)) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

bool bitmapOnly(FT_Face face) {
    return !FT_IS_SCALABLE(face) && face->num_fixed_sizes > 0;
}

int ascentOf(FT_Face face) {
    return int((face->size->metrics.ascender + 63) >> 6);
}

int descentOf(FT_Face face) {
    return int((-face->size->metrics.descender + 63) >> 6);
}

// The key under which facts about a font are kept: its family, or its file and face index.
std::u16string knowledgeKey(const CFontSettings& f) {
    if (f.fontFile.empty())
        return f.face;
    return utf8ToUtf16("file:" + f.fontFile + "#" + std::to_string(f.faceIndex));
}

} // namespace

struct CFreeTypeRenderer::CSelection {
    FT_Face face = nullptr;
    const CFaceFile* file = nullptr;
    int fitted = 0; // the size chosen to fit the cell, 0 when not asked to fit
    bool fromFile = false;
    bool syntheticBold = false, syntheticItalic = false;
    // The glyph index of the character in `face`, when the fallback looked it up already.
    bool glyphKnown = false;
    FT_UInt glyph = 0;
};

// What select() works out for a font whatever the character. It stays true while the renderer
// lives: the faces it names stay open until then, and the process's knowledge about faces
// that it copies only ever grows.
struct CFreeTypeRenderer::CFontChoice {
    // The settings it is for, those that select() reads.
    std::u16string family;
    std::string fontFile;
    int faceIndex = 0, size = 0, width = 0, height = 0;
    bool bold = false, italic = false, fileFallback = false, fitCell = false;

    FT_Face face = nullptr;
    const CFaceFile* file = nullptr;
    bool fromFile = false;
    bool syntheticBold = false, syntheticItalic = false;
    int fitted = 0;
    std::string key; // knowledgeKey() in UTF-8
    // Natural width for every character, or for ASCII alone (a fixed-pitch face in a cell of
    // half its height up to its height).
    bool natural = false, asciiNatural = false;
    long naturalX = 0, ySize = 0; // 26.6 units
    long squeezedX = -1;          // the width otherwise; -1 until a character needs it

    bool matches(const CFontSettings& f) const {
        // Asked for every character: the names are compared as bytes (char16_t's compare
        // goes a character at a time).
        return f.size == size && f.width == width && f.height == height &&
               f.faceIndex == faceIndex && f.bold == bold && f.italic == italic &&
               f.fileFallback == fileFallback && f.fitCell == fitCell &&
               f.face.size() == family.size() &&
               std::memcmp(f.face.data(), family.data(), family.size() * sizeof(char16_t)) == 0 &&
               f.fontFile == fontFile;
    }
};

CFreeTypeRenderer::CFreeTypeRenderer() = default;

CFreeTypeRenderer::~CFreeTypeRenderer() {
    for (auto& [key, face] : m_faces)
        CSharedFaces::instance().give(face);
}

Result<FT_Face> CFreeTypeRenderer::face(const std::u16string& family, bool bold, bool italic,
                                        const CFaceFile** fileOut) {
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
    FT_Error error = 0;
    Result<FT_Face> face = CSharedFaces::instance().take(file.file, file.index, error);
    if (!face)
        return failure("the font file '" + file.file + "' cannot be opened");
    m_faces.emplace(key, *face);
    return face;
}

Result<FT_Face> CFreeTypeRenderer::fileFace(const std::string& path, int index) {
    const std::string key = path + "#" + std::to_string(index);
    if (auto it = m_faces.find(key); it != m_faces.end())
        return it->second;
    const std::string named = "the font file '" + path + "'";
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return failure(named + (errno == ENOENT
                                    ? " does not exist"
                                    : std::string(" cannot be read: ") + std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        return failure(named + " is not a regular file");
    if (::access(path.c_str(), R_OK) != 0)
        return failure(named + " cannot be read: " + std::strerror(errno));
    // Face 0 first, which says how many there are; asked for another, only that one more. A
    // collection's other faces are never opened, and a bitmap font is read once.
    CSharedFaces& shared = CSharedFaces::instance();
    FT_Error error = 0;
    long faces = index == 0 ? 0 : shared.faceCount(path);
    FT_Face face = nullptr;
    if (faces == 0 || index == 0) {
        Result<FT_Face> first = shared.take(path, 0, error);
        if (!first && error == 0)
            return failure(named + " " + first.error());
        if (error == FT_Err_Unknown_File_Format)
            return failure(named + " is not a font file");
        if (error != 0)
            return failure(named + " cannot be opened as a font");
        faces = (*first)->num_faces;
        if (index == 0)
            face = *first;
        else
            shared.give(*first);
    }
    if (index < 0 || index >= faces)
        return failure(format("%s has %ld face%s: face index %d is out of range", named.c_str(),
                              faces, faces == 1 ? "" : "s", index));
    if (!face) {
        Result<FT_Face> taken = shared.take(path, index, error);
        if (!taken)
            return failure(format("%s: face %d cannot be opened", named.c_str(), index));
        face = *taken;
    }
    if (!FT_IS_SCALABLE(face) && face->num_fixed_sizes == 0) {
        shared.give(face);
        return failure(named + " has neither outlines nor bitmap strikes");
    }
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    m_faces.emplace(key, face);
    CFaceFile desc;
    desc.file = path;
    desc.index = index;
    desc.family = withoutControlCharacters(utf8ToUtf16(face->family_name ? face->family_name : ""));
    desc.fixedPitch = FT_IS_FIXED_WIDTH(face);
    m_fileFaces[key] = desc;
    return face;
}

namespace {

std::string sizeFailure(const std::string& name, long y) {
    return "the face '" + name + "' cannot be set to " + std::to_string(y / 64) + " dots";
}

} // namespace

int CFreeTypeRenderer::applySize(FT_Face face, long x, long y) {
    if (face == m_sizedFace && x == m_sizedX && y == m_sizedY)
        return 0;
    const FT_Error error = bitmapOnly(face) ? FT_Select_Size(face, nearestStrike(face, y))
                                            : FT_Set_Char_Size(face, FT_F26Dot6(std::max(x, 1L)),
                                                               FT_F26Dot6(std::max(y, 1L)), 72, 72);
    if (error != 0) {
        m_sizedFace = nullptr;
        return error;
    }
    m_sizedFace = face;
    m_sizedX = x;
    m_sizedY = y;
    return 0;
}

Status CFreeTypeRenderer::setSize(FT_Face face, long x, long y, const std::string& name) {
    if (applySize(face, x, y) != 0)
        return failure(sizeFailure(name, y));
    return {};
}

int CFreeTypeRenderer::fitSize(FT_Face face, const std::string& key, int cellHeight) {
    CFaceKnowledge& k = knowledge();
    const std::string fitKey = key + ":" + std::to_string(cellHeight);
    {
        std::lock_guard lock(k.mutex);
        if (auto it = k.fitSize.find(fitKey); it != k.fitSize.end())
            return it->second;
    }
    m_sizedFace = nullptr;
    int size = 1;
    if (bitmapOnly(face)) {
        // The largest strike that fits, else the smallest there is.
        int best = -1, smallest = 0;
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            if (face->available_sizes[i].y_ppem < face->available_sizes[smallest].y_ppem)
                smallest = i;
            if (FT_Select_Size(face, i) != 0 || ascentOf(face) + descentOf(face) > cellHeight)
                continue;
            if (best < 0 || face->available_sizes[i].y_ppem > face->available_sizes[best].y_ppem)
                best = i;
        }
        const FT_Bitmap_Size& strike = face->available_sizes[best < 0 ? smallest : best];
        size = strike.y_ppem ? int((strike.y_ppem + 32) >> 6) : strike.height;
    } else {
        // Ascent plus descent grow with the size, though not strictly (hinting rounds them),
        // so the search walks down from the first size that surely overflows.
        const long span = long(face->ascender) - long(face->descender);
        int start = cellHeight;
        if (span > 0 && face->units_per_EM > 0)
            start = int(
                std::min<long>(kMaxMatrixSide, long(cellHeight) * face->units_per_EM / span + 2));
        for (size = std::max(start, 1); size > 1; --size) {
            if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(size)) != 0)
                continue;
            if (ascentOf(face) + descentOf(face) <= cellHeight)
                break;
        }
    }
    std::lock_guard lock(k.mutex);
    k.fitSize.emplace(fitKey, size);
    return size;
}

void CFreeTypeRenderer::fallBack(char16_t code, const CFontSettings& f, CSelection& sel) {
    // The index found is kept for loading the glyph, from whichever face is chosen.
    sel.glyphKnown = true;
    sel.glyph = FT_Get_Char_Index(sel.face, code);
    if (sel.glyph != 0)
        return;
    if (m_fallbackFace) {
        if (const FT_UInt glyph = FT_Get_Char_Index(m_fallbackFace, code); glyph != 0) {
            sel.face = m_fallbackFace;
            sel.file = m_fallbackFile.get();
            sel.glyph = glyph;
            return;
        }
    }
    Result<CFaceFile> covering = findFaceCovering(f.face, f.bold, f.italic, code);
    if (!covering)
        return;
    Result<FT_Face> face = openFace(*covering);
    const FT_UInt glyph = face ? FT_Get_Char_Index(*face, code) : 0;
    if (glyph == 0)
        return; // nothing covers it: the face's own missing-glyph box
    m_fallbackFile = std::make_unique<CFaceFile>(*covering);
    m_fallbackFace = *face;
    sel.face = m_fallbackFace;
    sel.file = m_fallbackFile.get();
    sel.glyph = glyph;
}

Result<FT_Face> CFreeTypeRenderer::sizedFace(const std::u16string& family, bool bold, bool italic,
                                             int emHeight, const CFaceFile** fileOut) {
    Result<FT_Face> face = this->face(family, bold, italic, fileOut);
    if (!face)
        return face;
    // Through the same record of the size last set as the character path, so that neither
    // leaves the other a face at a size it did not ask for.
    const long size = long(std::max(emHeight, 1)) * 64;
    if (Status s = setSize(*face, size, size, utf16ToUtf8(family)); !s)
        return failure(s.error());
    return face;
}

Result<FT_Face> CFreeTypeRenderer::sizedFileFace(const std::string& path, int index, int emHeight) {
    Result<FT_Face> face = fileFace(path, index);
    if (!face)
        return face;
    const long size = long(std::max(emHeight, 1)) * 64;
    if (Status s = setSize(*face, size, size, path); !s)
        return failure(s.error());
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
    if (Status s = setSize(*face, size, size, covering->file); !s)
        return failure(s.error());
    *fileOut = *covering;
    return face;
}

CFreeTypeRenderer::CFontChoice* CFreeTypeRenderer::choose(const CFontSettings& f, Status& status) {
    for (const std::unique_ptr<CFontChoice>& kept : m_choices)
        if (kept->matches(f))
            return kept.get();
    auto choice = std::make_unique<CFontChoice>();
    CFontChoice& c = *choice;
    c.family = f.face;
    c.fontFile = f.fontFile;
    c.faceIndex = f.faceIndex;
    c.size = f.size;
    c.width = f.width;
    c.height = f.height;
    c.bold = f.bold;
    c.italic = f.italic;
    c.fileFallback = f.fileFallback;
    c.fitCell = f.fitCell;

    const bool fromFile = !f.fontFile.empty();
    if (fromFile) {
        Result<FT_Face> face = fileFace(f.fontFile, f.faceIndex);
        if (!face) {
            status = failure(face.error());
            return nullptr;
        }
        c.face = *face;
        c.file = &m_fileFaces[f.fontFile + "#" + std::to_string(f.faceIndex)];
        c.fromFile = true;
        // A style the file's face lacks is made from it, as with an installed family.
        c.syntheticBold = f.bold && !(c.face->style_flags & FT_STYLE_FLAG_BOLD);
        c.syntheticItalic = f.italic && !(c.face->style_flags & FT_STYLE_FLAG_ITALIC);
    } else {
        Result<FT_Face> face = this->face(f.face, f.bold, f.italic, &c.file);
        if (!face) {
            status = failure(face.error());
            return nullptr;
        }
        c.face = *face;
        c.syntheticBold = c.file->syntheticBold;
        c.syntheticItalic = c.file->syntheticItalic;
    }
    const std::u16string key = knowledgeKey(f);
    c.key = utf16ToUtf8(key);

    // Classify the face once: fixed-pitch or proportional.
    CFaceKnowledge& k = knowledge();
    bool fixedPitch;
    {
        std::lock_guard lock(k.mutex);
        if ((!fromFile && f.face == u"宋体") || k.fixedPitch.count(key)) {
            fixedPitch = true;
        } else if (k.proportional.count(key)) {
            fixedPitch = false;
        } else {
            fixedPitch = FT_IS_FIXED_WIDTH(c.face) || c.file->fixedPitch;
            (fixedPitch ? k.fixedPitch : k.proportional).insert(key);
        }
    }

    // Natural width, or squeezed/stretched to the cell's proportion through the average
    // character width of the face at the cell height, measured when a character needs it.
    int size = f.size;
    if (f.fitCell)
        size = c.fitted = fitSize(c.face, c.key, f.height);
    const int emHeight = size ? size : f.height;
    c.naturalX = c.ySize = long(emHeight) * 64;
    c.natural = size != 0 || f.width == f.height || bitmapOnly(c.face);
    c.asciiNatural = fixedPitch && (f.height + 1) / 2 <= f.width && f.width <= f.height;

    constexpr size_t kKeptChoices = 4;
    CFontChoice* made = choice.get();
    if (m_choices.size() < kKeptChoices) {
        m_choices.push_back(std::move(choice));
    } else {
        m_choices[m_nextChoice] = std::move(choice);
        m_nextChoice = (m_nextChoice + 1) % kKeptChoices;
    }
    return made;
}

Status CFreeTypeRenderer::select(char16_t code, const CFontSettings& f, CSelection& sel) {
    Status status;
    CFontChoice* c = choose(f, status);
    if (!c)
        return status;
    sel.face = c->face;
    sel.file = c->file;
    sel.fromFile = c->fromFile;
    sel.syntheticBold = c->syntheticBold;
    sel.syntheticItalic = c->syntheticItalic;
    sel.fitted = c->fitted;

    long xSize = c->naturalX;
    if (!c->natural && !(code < 128 && c->asciiNatural)) {
        // Not natural: the size is 0, the em the cell height.
        if (c->squeezedX < 0) {
            CFaceKnowledge& k = knowledge();
            const std::string widthKey = c->key + ":" + std::to_string(f.height);
            unsigned average = 0;
            {
                std::lock_guard lock(k.mutex);
                auto it = k.averageWidth.find(widthKey);
                if (it != k.averageWidth.end())
                    average = it->second;
            }
            if (average == 0) {
                average = measureAverageWidth(c->face, f.height);
                m_sizedFace = nullptr;
                std::lock_guard lock(k.mutex);
                k.averageWidth.emplace(widthKey, average);
            }
            const unsigned logicalWidth =
                average ? unsigned(f.width) * average / unsigned(f.height) : 0;
            // A logical width of 0 asks for the natural width.
            c->squeezedX = logicalWidth && average
                               ? long(f.height) * 64 * long(logicalWidth) / long(average)
                               : long(f.height) * 64;
        }
        xSize = c->squeezedX;
    }
    // A character the face lacks comes from a face that has it, at the same size. A font file
    // stands alone, so that a build from it does not depend on what this machine has
    // installed, unless a fallback was asked for.
    if (!isWhiteSpace(code) && (!c->fromFile || f.fileFallback))
        fallBack(code, f, sel);
    if (applySize(sel.face, xSize, c->ySize) != 0)
        return failure(sizeFailure(c->fromFile ? f.fontFile : utf16ToUtf8(f.face), c->ySize));
    return {};
}

bool CFreeTypeRenderer::loadGlyph(char16_t code, const CSelection& sel, int depth) {
    FT_Face face = sel.face;
    // A font file without the character gives a blank, as the built-in fonts do, rather than
    // the face's missing-glyph box.
    const FT_UInt glyph = sel.glyphKnown ? sel.glyph : FT_Get_Char_Index(face, code);
    if (sel.fromFile && glyph == 0)
        return false;
    const bool synthesise = sel.syntheticBold || sel.syntheticItalic;
    const bool grey = depth > 1;
    FT_Int32 flags = (grey ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO) |
                     (synthesise && !bitmapOnly(face) ? FT_LOAD_NO_BITMAP : FT_LOAD_RENDER);
    // As FT_Load_Char() loads it: without a character map the code is the index.
    if (FT_Load_Glyph(face, face->charmap ? glyph : FT_UInt(code), flags) != 0)
        return false;
    FT_GlyphSlot slot = face->glyph;
    if (synthesise) {
        if (sel.syntheticItalic)
            FT_GlyphSlot_Oblique(slot);
        if (sel.syntheticBold)
            FT_GlyphSlot_Embolden(slot);
    }
    return slot->format == FT_GLYPH_FORMAT_BITMAP ||
           FT_Render_Glyph(slot, grey ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0;
}

namespace {

// The level of dot `c` of a bitmap row at `depth`: a one-bit bitmap's dots (a bitmap font's, or
// a one-bit rendering) are dark or fully lit; an anti-aliased coverage v is lit from 128 at
// depth 1 and becomes the level (v × max + 127) / 255 at a greater depth.
uint8_t dotLevel(const FT_Bitmap& bm, const unsigned char* src, int c, int depth) {
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        return (src[c >> 3] & (0x80 >> (c & 7))) != 0 ? maxLevelOf(depth) : 0;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY)
        return 0;
    if (depth == 1)
        return src[c] >= 128 ? 1 : 0;
    return levelOfCoverage(src[c], depth);
}

// The eight dots of a byte of a one-bit bitmap (the first in bit 7) as eight bytes in memory
// order, 0xFF for a lit dot and 0 for a dark one.
constexpr std::array<uint64_t, 256> spreadBits() {
    std::array<uint64_t, 256> spread{};
    for (unsigned b = 0; b < 256; ++b)
        for (unsigned k = 0; k < 8; ++k)
            if (b & (0x80u >> k)) {
                const unsigned at = std::endian::native == std::endian::little ? k : 7 - k;
                spread[b] |= uint64_t(0xFF) << (8 * at);
            }
    return spread;
}

constexpr std::array<uint64_t, 256> kSpreadBits = spreadBits();

// The lit dots of a one-bit bitmap copied into `out` with the cell's placement (see
// renderCharacter()), and `box` grown by their ink, a byte of the bitmap (eight dots) at a
// time. A lit dot is at the highest level, all of whose bits are set, so or-ing it into the dot
// gives the greater of the two. False, doing nothing, for a bitmap wider than a matrix.
bool copyMonoGlyph(const FT_Bitmap& bm, int firstRow, int firstCol, const CInkLoss& grown,
                   CDotMatrix& out, CInkBox& box) {
    constexpr int kMaxBytes = kMaxMatrixSide / 8;
    const int width = int(bm.width);
    const int bytes = (width + 7) / 8;
    if (bytes > kMaxBytes)
        return false;
    // For each byte of a row: the bits that are the glyph's (a row may carry padding after its
    // dots), those of them that land inside the matrix, and the dots lit in any row so far.
    uint8_t glyph[kMaxBytes], cell[kMaxBytes], ink[kMaxBytes];
    const int outWidth = out.width();
    const int outCol = firstCol + grown.left; // of the bitmap's first dot
    for (int j = 0; j < bytes; ++j) {
        const int count = std::min(8, width - 8 * j);
        glyph[j] = uint8_t(0xFF00u >> count);
        const int inside = outWidth - (outCol + 8 * j);
        cell[j] = uint8_t(glyph[j] & (inside >= 8 ? 0xFFu : inside > 0 ? 0xFF00u >> inside : 0u));
        ink[j] = 0;
    }
    const uint8_t lit = out.maxLevel();
    const uint64_t lit8 = uint64_t(lit) * 0x0101010101010101u;
    // Eight dots are written at once where the eight bytes lie inside the matrix: the dots past
    // the end of a row are masked off, so the bytes of the next row there get nothing.
    uint8_t* const dots = out.row(0);
    const size_t size = size_t(outWidth) * size_t(out.height());
    int line = firstRow;
    for (int srcRow = 0; srcRow < int(bm.rows); ++srcRow, ++line) {
        const unsigned char* src = bm.buffer + long(srcRow) * bm.pitch;
        const int outRow = line + grown.top;
        unsigned any = 0;
        if (outRow < 0 || outRow >= out.height()) {
            for (int j = 0; j < bytes; ++j) {
                const unsigned b = src[j] & glyph[j];
                ink[j] = uint8_t(ink[j] | b);
                any |= b;
            }
        } else {
            const size_t rowAt = size_t(outRow) * size_t(outWidth) + size_t(outCol);
            for (int j = 0; j < bytes; ++j) {
                const unsigned b = src[j] & glyph[j];
                ink[j] = uint8_t(ink[j] | b);
                any |= b;
                const unsigned in = b & cell[j];
                if (in == 0)
                    continue;
                uint8_t* at = dots + rowAt + 8 * size_t(j);
                if (size - (rowAt + 8 * size_t(j)) >= 8) {
                    uint64_t eight;
                    std::memcpy(&eight, at, 8);
                    eight |= kSpreadBits[in] & lit8;
                    std::memcpy(at, &eight, 8);
                } else {
                    for (int k = 0; k < 8; ++k)
                        if (in & (0x80u >> k))
                            at[k] |= lit;
                }
            }
        }
        if (any) {
            box.top = std::min(box.top, line);
            box.bottom = std::max(box.bottom, line + 1);
        }
    }
    int first = 0, last = bytes - 1;
    while (first < bytes && ink[first] == 0)
        ++first;
    if (first == bytes)
        return true;
    while (ink[last] == 0)
        --last;
    box.left = std::min(box.left, firstCol + 8 * first + std::countl_zero(ink[first]));
    box.right = std::max(box.right, firstCol + 8 * last + 8 - std::countr_zero(ink[last]));
    return true;
}

void drawRule(CDotMatrix& out, int top, int thickness, int left, int length) {
    for (int r = std::max(top, 0); r < std::min(top + thickness, out.height()); ++r)
        for (int c = std::max(left, 0); c < std::min(left + length, out.width()); ++c)
            out.set(r, c, true);
}

} // namespace

Status CFreeTypeRenderer::renderCharacter(char16_t code, const CFontSettings& f, CDotMatrix& out,
                                          CInkBox* ink, const CInkLoss* margin) {
    if (ink)
        *ink = {};
    CSelection sel;
    if (Status s = select(code, f, sel); !s)
        return s;
    const int depth = out.depth();
    if (!loadGlyph(code, sel, depth))
        return {}; // the fetch failed: a blank matrix
    FT_Face face = sel.face;
    FT_GlyphSlot slot = face->glyph;

    const FT_Bitmap& bm = slot->bitmap;
    const int ascent = int((face->size->metrics.ascender + 63) >> 6);
    const CInkLoss grown = margin ? *margin : CInkLoss{};
    const int W = out.width() - grown.left - grown.right;
    const int H = out.height() - grown.top - grown.bottom;

    int line = 0;
    if (sel.fitted) // ascent and descent both inside the cell, the spare rows shared
        line = std::max(0, (H - ascent - descentOf(face)) / 2);
    else if (f.size != 0 && f.size < H)
        line = (H - f.size) / 2;
    const int baseTop = line + f.offset; // row of the ascent line
    line = baseTop + std::max(0, ascent - slot->bitmap_top);

    const int boxWidth = int(bm.width);
    const int firstCol = boxWidth < W ? (W - boxWidth) / 2 : 0;
    // Every dot of the black box is looked at, so that the ink the cell cuts off is measured.
    CInkBox box{INT_MAX, INT_MIN, INT_MAX, INT_MIN};
    if (bm.pixel_mode != FT_PIXEL_MODE_MONO || !copyMonoGlyph(bm, line, firstCol, grown, out, box))
        for (int srcRow = 0; srcRow < int(bm.rows); ++srcRow, ++line) {
            const unsigned char* src = bm.buffer + long(srcRow) * bm.pitch;
            const int outRow = line + grown.top;
            uint8_t* dst = outRow >= 0 && outRow < out.height() ? out.row(outRow) : nullptr;
            for (int c = 0; c < boxWidth; ++c) {
                const uint8_t level = dotLevel(bm, src, c, depth);
                if (!level)
                    continue;
                box.top = std::min(box.top, line);
                box.bottom = std::max(box.bottom, line + 1);
                box.left = std::min(box.left, firstCol + c);
                box.right = std::max(box.right, firstCol + c + 1);
                const int outCol = firstCol + c + grown.left;
                if (dst && outCol < out.width())
                    dst[outCol] = std::max(dst[outCol], level);
            }
        }
    if (ink && !box.empty())
        *ink = box;

    if (f.underline || f.strikeout) {
        // The rules span the character's advance, centred like the black box.
        int advance = std::max(1, int((slot->advance.x + 32) >> 6));
        int left = advance < W ? (W - advance) / 2 : 0;
        const double scale =
            face->units_per_EM ? double(face->size->metrics.y_ppem) / face->units_per_EM : 0.0;
        const int baseline = baseTop + ascent + grown.top;
        left += grown.left;
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

Status CFreeTypeRenderer::renderProportional(char16_t code, const CFontSettings& f,
                                             CProportionalGlyph& out, CLineMetrics& line) {
    CSelection sel;
    if (Status s = select(code, f, sel); !s)
        return s;
    FT_Face face = sel.face;
    line.ascent = ascentOf(face);
    line.lineAdvance = std::max(1, int((face->size->metrics.height + 32) >> 6));
    out = CProportionalGlyph();
    out.code = code;
    const int depth = validDepth(f.depth) ? f.depth : 1;
    if (!loadGlyph(code, sel, depth))
        return {}; // an empty glyph that does not move the pen
    const FT_GlyphSlot slot = face->glyph;
    out.advance = int((slot->advance.x + 32) >> 6);
    if (isWhiteSpace(code))
        return {};

    // The black box, then cropped to the dots that are lit: a bitmap font's box may carry
    // blank rows and columns.
    const FT_Bitmap& bm = slot->bitmap;
    const int w = std::min<int>(int(bm.width), kMaxMatrixSide);
    const int h = std::min<int>(int(bm.rows), kMaxMatrixSide);
    if (w == 0 || h == 0)
        return {};
    CDotMatrix box(w, h, depth);
    for (int r = 0; r < h; ++r) {
        const unsigned char* src = bm.buffer + long(r) * bm.pitch;
        for (int c = 0; c < w; ++c)
            box.setLevel(r, c, dotLevel(bm, src, c, depth));
    }
    const int advance = out.advance;
    out = cropCell(box, slot->bitmap_top, -slot->bitmap_left);
    out.code = code;
    out.advance = advance;
    out.yOffset += f.offset;
    return {};
}

Status CFreeTypeRenderer::kerningPairs(std::span<const char16_t> codes, const CFontSettings& f,
                                       std::vector<CKerningPair>& out) {
    out.clear();
    if (codes.empty())
        return {};
    CSelection sel;
    if (Status s = select(codes.front(), f, sel); !s)
        return s;
    return faceKerning(sel.face, codes, out);
}

namespace {

CFileFace describeFace(FT_Face face, int index) {
    CFileFace f;
    f.index = index;
    f.family = withoutControlCharacters(face->family_name ? face->family_name : "");
    f.style = withoutControlCharacters(face->style_name ? face->style_name : "");
    f.scalable = FT_IS_SCALABLE(face);
    for (int k = 0; k < face->num_fixed_sizes; ++k) {
        const FT_Bitmap_Size& strike = face->available_sizes[k];
        f.strikes.push_back(strike.y_ppem ? int((strike.y_ppem + 32) >> 6) : strike.height);
    }
    std::sort(f.strikes.begin(), f.strikes.end());
    return f;
}

} // namespace

Result<CFileFace> describeFileFace(const std::string& path, int index) {
    CFreeTypeRenderer renderer; // gives the face back for the renderers that draw with it
    Result<FT_Face> face = renderer.fileFace(path, index);
    if (!face)
        return failure(face.error());
    return describeFace(*face, index);
}

Result<std::vector<CFileFace>> listFileFaces(const std::string& path, long* total) {
    CFreeTypeRenderer renderer;
    Result<FT_Face> first = renderer.fileFace(path, 0);
    if (!first)
        return failure(first.error());
    const long count = (*first)->num_faces;
    if (total)
        *total = count;
    // One face open at a time: a collection may hold thousands.
    std::vector<CFileFace> faces{describeFace(*first, 0)};
    CSharedFaces& shared = CSharedFaces::instance();
    for (long i = 1; i < std::min<long>(count, kMaxListedFaces); ++i) {
        FT_Error error = 0;
        Result<FT_Face> face = shared.take(path, int(i), error);
        if (!face)
            return failure(
                format("the font file '%s': face %ld cannot be opened", path.c_str(), i));
        faces.push_back(describeFace(*face, int(i)));
        shared.close(*face);
    }
    return faces;
}

} // namespace tgw
