#pragma once

#include "base/result.h"
#include "model/settings.h"

#include <string>
#include <vector>

namespace tgw {

// Where fontconfig finds a face for a family name and style. A family that is not installed
// resolves to whatever fontconfig substitutes for it.
struct CFaceFile {
    std::string file;
    int index = 0;
    std::u16string family;        // the family actually matched
    bool syntheticBold = false;   // bold asked for, the matched face is not bold
    bool syntheticItalic = false; // italic asked for, the matched face is upright
    bool fixedPitch = false;
};

// Thread-safe; results are cached for the life of the process.
Result<CFaceFile> findFace(const std::u16string& family, bool bold, bool italic);

// Whether an installed outline font has this family name (in any of its languages, ignoring
// case), or the name is one of fontconfig's generic families ("sans-serif", "monospace" ...).
bool isFamilyInstalled(const std::u16string& family);

// A face that has a glyph for `code`, as close to the family and style as fontconfig finds:
// for characters the chosen face lacks (a Latin face asked for a hanzi). Fails at once, without
// a match, for a character that no installed font has.
Result<CFaceFile> findFaceCovering(const std::u16string& family, bool bold, bool italic,
                                   char32_t code);

// A font family that kind 6 can render.
struct CFontFamily {
    std::u16string name;
    bool fixedPitch = false;
};

// Families of the installed outline fonts, sorted, without duplicates and without names that
// begin with '@'.
std::vector<CFontFamily> listFontFamilies();

// The face that fontconfig gives for "sans-serif", with its style.
CSystemFont systemGuiFont();

} // namespace tgw
