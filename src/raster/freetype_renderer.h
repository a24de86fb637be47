#pragma once

#include "base/result.h"
#include "model/dot_matrix.h"
#include "model/font_settings.h"

#include <map>
#include <string>

typedef struct FT_LibraryRec_* FT_Library;
typedef struct FT_FaceRec_* FT_Face;

namespace tgw {

struct CFaceFile;

// Renders characters of TrueType faces through FreeType as monochrome black boxes. Owns its
// FreeType library and the faces it opened; one instance serves one thread.
class CFreeTypeRenderer {
public:
    CFreeTypeRenderer();
    ~CFreeTypeRenderer();
    CFreeTypeRenderer(const CFreeTypeRenderer&) = delete;
    CFreeTypeRenderer& operator=(const CFreeTypeRenderer&) = delete;

    // Draws `code` into `out`, which already has the character's size and is blank.
    Status renderCharacter(char16_t code, const CFontSettings& font, CDotMatrix& out);

    // The face of a font, at the size the character path would choose (natural width).
    // Used by the string rasteriser and the library builder's coverage lookup.
    Result<FT_Face> face(const std::u16string& family, bool bold, bool italic,
                         const CFaceFile** file = nullptr);

private:
    struct CSelection;
    Status select(char16_t code, const CFontSettings& font, CSelection& out);

    FT_Library m_library = nullptr;
    std::map<std::string, FT_Face> m_faces; // "file#index"
    // The last face and size set, so that a run of characters in one font sets it once.
    std::u16string m_lastFamily;
    bool m_lastBold = false, m_lastItalic = false;
    long m_lastXSize = -1, m_lastYSize = -1;
    FT_Face m_lastFace = nullptr;
    const CFaceFile* m_lastFile = nullptr;
};

} // namespace tgw
