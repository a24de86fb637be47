#include "raster/font_config.h"

#include "base/text.h"

#include "raster/fc_handles.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <tuple>

namespace tgw {
namespace {

std::mutex& fcMutex() {
    static std::mutex m;
    return m;
}

void ensureInit() {
    static bool ok = FcInit();
    (void)ok;
}

CPattern match(const std::string& family, int weight, int slant, char32_t covering = 0) {
    ensureInit();
    CPattern pattern(FcPatternCreate());
    if (!pattern)
        return nullptr;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (covering) {
        FcCharSet* set = FcCharSetCreate();
        FcCharSetAddChar(set, covering);
        FcPatternAddCharSet(pattern.get(), FC_CHARSET, set);
        FcCharSetDestroy(set);
    }
    if (weight >= 0)
        FcPatternAddInteger(pattern.get(), FC_WEIGHT, weight);
    if (slant >= 0)
        FcPatternAddInteger(pattern.get(), FC_SLANT, slant);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    return CPattern(FcFontMatch(nullptr, pattern.get(), &result));
}

std::string getString(FcPattern* p, const char* object) {
    FcChar8* s = nullptr;
    if (FcPatternGetString(p, object, 0, &s) != FcResultMatch || !s)
        return {};
    return reinterpret_cast<const char*>(s);
}

int getInt(FcPattern* p, const char* object, int fallback) {
    int v = fallback;
    FcPatternGetInteger(p, object, 0, &v);
    return v;
}

} // namespace

namespace {

Result<CFaceFile> matchFace(const std::u16string& family, bool bold, bool italic,
                            char32_t covering) {
    CPattern found = match(utf16ToUtf8(family), bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR,
                           italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN, covering);
    if (!found)
        return failure("no font matches the face '" + utf16ToUtf8(family) + "'");
    CFaceFile face;
    face.file = getString(found.get(), FC_FILE);
    if (face.file.empty())
        return failure("no font file for the face '" + utf16ToUtf8(family) + "'");
    face.index = getInt(found.get(), FC_INDEX, 0);
    face.family = utf8ToUtf16(getString(found.get(), FC_FAMILY));
    // fontconfig marks a style it wants synthesised: embolden for bold, a shear matrix for
    // italic (the weight and slant then echo the request, not the face).
    FcBool embolden = FcFalse;
    FcPatternGetBool(found.get(), FC_EMBOLDEN, 0, &embolden);
    FcMatrix* matrix = nullptr;
    bool sheared = FcPatternGetMatrix(found.get(), FC_MATRIX, 0, &matrix) == FcResultMatch &&
                   matrix && matrix->xy != 0;
    face.syntheticBold = bold && (embolden || getInt(found.get(), FC_WEIGHT, FC_WEIGHT_REGULAR) <
                                                  FC_WEIGHT_DEMIBOLD);
    face.syntheticItalic =
        italic && (sheared || getInt(found.get(), FC_SLANT, FC_SLANT_ROMAN) == FC_SLANT_ROMAN);
    face.fixedPitch = getInt(found.get(), FC_SPACING, FC_PROPORTIONAL) >= FC_MONO;
    return face;
}

} // namespace

Result<CFaceFile> findFace(const std::u16string& family, bool bold, bool italic) {
    using CKey = std::tuple<std::u16string, bool, bool>;
    static std::map<CKey, CFaceFile> cache;
    std::lock_guard lock(fcMutex());
    CKey key{family, bold, italic};
    if (auto it = cache.find(key); it != cache.end())
        return it->second;
    Result<CFaceFile> face = matchFace(family, bold, italic, 0);
    if (face)
        cache.emplace(key, *face);
    return face;
}

namespace {

// Every character some installed font has: the union of their character sets, made once. A
// character outside it needs no match to know that no face covers it (a set of GB2312 holds
// hundreds of unassigned codes). Called with fcMutex() held.
const FcCharSet* installedCharacters() {
    static FcCharSet* all = [] {
        ensureInit();
        FcCharSet* set = FcCharSetCreate();
        CPattern pattern(FcPatternCreate());
        CObjectSet objects(FcObjectSetBuild(FC_CHARSET, nullptr));
        CFontSet fonts(FcFontList(nullptr, pattern.get(), objects.get()));
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            FcCharSet* chars = nullptr;
            if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &chars) == FcResultMatch)
                FcCharSetMerge(set, chars, nullptr);
        }
        return set;
    }();
    return all;
}

} // namespace

Result<CFaceFile> findFaceCovering(const std::u16string& family, bool bold, bool italic,
                                   char32_t code) {
    std::lock_guard lock(fcMutex());
    if (!FcCharSetHasChar(installedCharacters(), code))
        return failure(format("no installed face has U+%04X", unsigned(code)));
    return matchFace(family, bold, italic, code);
}

bool isFamilyInstalled(const std::u16string& family) {
    const std::string name = utf16ToUtf8(family);
    for (const char* generic : {"sans-serif", "sans", "serif", "monospace", "mono", "system-ui",
                                "cursive", "fantasy", "emoji", "math"})
        if (FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(name.c_str()),
                               reinterpret_cast<const FcChar8*>(generic)) == 0)
            return true;
    std::lock_guard lock(fcMutex());
    ensureInit();
    CPattern pattern(FcPatternCreate());
    if (!pattern)
        return false;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    CObjectSet objects(FcObjectSetBuild(FC_FAMILY, nullptr));
    CFontSet set(FcFontList(nullptr, pattern.get(), objects.get()));
    return set && set->nfont > 0;
}

std::vector<CFontFamily> listFontFamilies() {
    std::lock_guard lock(fcMutex());
    ensureInit();
    CPattern pattern(FcPatternCreate());
    FcPatternAddBool(pattern.get(), FC_OUTLINE, FcTrue);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    CObjectSet objects(FcObjectSetBuild(FC_FAMILY, FC_SPACING, FC_FONTFORMAT, nullptr));
    CFontSet set(FcFontList(nullptr, pattern.get(), objects.get()));
    std::map<std::string, bool> families; // name → every style fixed-pitch
    for (int i = 0; set && i < set->nfont; ++i) {
        FcPattern* p = set->fonts[i];
        std::string format = getString(p, FC_FONTFORMAT);
        if (format != "TrueType" && format != "CFF")
            continue;
        std::string name = getString(p, FC_FAMILY);
        if (name.empty() || name[0] == '@')
            continue;
        bool fixed = getInt(p, FC_SPACING, FC_PROPORTIONAL) >= FC_MONO;
        auto [it, inserted] = families.emplace(name, fixed);
        if (!inserted)
            it->second = it->second && fixed;
    }
    std::vector<CFontFamily> out;
    for (const auto& [name, fixed] : families)
        out.push_back({utf8ToUtf16(name), fixed});
    return out;
}

CSystemFont systemGuiFont() {
    std::lock_guard lock(fcMutex());
    CSystemFont font;
    CPattern found = match("sans-serif", -1, -1);
    if (!found)
        return font;
    std::string family = getString(found.get(), FC_FAMILY);
    if (!family.empty())
        font.face = utf8ToUtf16(family);
    int weight = getInt(found.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    // fontconfig's regular is 80 and bold 200; the profile keeps the 100..900 scale.
    font.weight = int(FcWeightToOpenType(weight));
    font.italic = getInt(found.get(), FC_SLANT, FC_SLANT_ROMAN) != FC_SLANT_ROMAN;
    return font;
}

} // namespace tgw
