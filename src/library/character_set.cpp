#include "library/character_set.h"

#include "base/codepage.h"
#include "base/text.h"
#include "raster/font_config.h"

#include "raster/fc_handles.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace tgw {
namespace {

// The basic plane of a charset, ascending. FcCharSet walks in pages of 256 codes, each a bitmap
// of eight 32-bit words.
std::u16string basicPlane(const FcCharSet* charset) {
    std::u16string out;
    out.reserve(std::min<FcChar32>(FcCharSetCount(charset), 0x10000));
    FcChar32 map[FC_CHARSET_MAP_SIZE];
    FcChar32 next = 0;
    for (FcChar32 base = FcCharSetFirstPage(charset, map, &next);
         base != FC_CHARSET_DONE && base < 0x10000; base = FcCharSetNextPage(charset, map, &next)) {
        for (int word = 0; word < FC_CHARSET_MAP_SIZE; ++word) {
            for (FcChar32 bits = map[word]; bits; bits &= bits - 1) {
                const FcChar32 code = base + FcChar32(word) * 32 + FcChar32(__builtin_ctz(bits));
                // Surrogate code units are halves of other characters, never characters.
                if (code != 0 && (code < 0xD800 || code > 0xDFFF))
                    out.push_back(char16_t(code));
            }
        }
    }
    return out;
}

// The coverage of the face in `file` at `index`: from fontconfig's cache of the installed
// fonts, else (a face outside the configuration) from the file itself.
Result<std::u16string> coverageOf(const std::string& file, int index) {
    if (!FcInit())
        return failure("fontconfig could not be started");
    CPattern pattern(FcPatternCreate());
    if (!pattern)
        throw std::bad_alloc();
    FcPatternAddString(pattern.get(), FC_FILE, reinterpret_cast<const FcChar8*>(file.c_str()));
    FcPatternAddInteger(pattern.get(), FC_INDEX, index);
    CObjectSet objects(FcObjectSetBuild(FC_CHARSET, nullptr));
    CFontSet listed(FcFontList(nullptr, pattern.get(), objects.get()));
    FcCharSet* charset = nullptr;
    if (listed && listed->nfont > 0 &&
        FcPatternGetCharSet(listed->fonts[0], FC_CHARSET, 0, &charset) == FcResultMatch && charset)
        return basicPlane(charset);

    int count = 0;
    CPattern queried(
        FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.c_str()), index, nullptr, &count));
    if (queried && FcPatternGetCharSet(queried.get(), FC_CHARSET, 0, &charset) == FcResultMatch &&
        charset)
        return basicPlane(charset);
    return failure("the characters of the font file '" + file + "' cannot be read");
}

} // namespace

std::u16string asciiCharacters(bool printableOnly) {
    std::u16string out;
    for (char16_t c = printableOnly ? 32 : 1; c <= 127; ++c)
        out.push_back(c);
    return out;
}

std::u16string gb2312Characters() {
    std::u16string out;
    out.reserve(87 * 94);
    for (int b1 = 0xA1; b1 <= 0xF7; ++b1)
        for (int b2 = 0xA1; b2 <= 0xFE; ++b2)
            out.push_back(ansiToUnicode(uint8_t(b1), uint8_t(b2)));
    return out;
}

Result<std::u16string> faceCharacters(const std::u16string& family, bool bold, bool italic) {
    // The same face the rasteriser draws with, so that the library holds what it can show.
    Result<CFaceFile> face = findFace(family, bold, italic);
    if (!face)
        return failure(face.error());
    Result<std::u16string> set = coverageOf(face->file, face->index);
    if (set && set->empty())
        return failure("the face '" + utf16ToUtf8(family) + "' reports no characters");
    return set;
}

Result<std::u16string> fontCharacters(const CFontSettings& font, bool printableOnly) {
    switch (font.kind) {
    case kFontAscii5x7:
    case kFontAscii5x8:
    case kFontAscii6x12:
    case kFontAscii8x16:
        return asciiCharacters(printableOnly);
    case kFontGb2312_12:
    case kFontGb2312_16:
        return gb2312Characters();
    case kFontTrueType:
        if (font.face.empty())
            return failure("no face is named for the TrueType font");
        return faceCharacters(font.face, font.bold, font.italic);
    default:
        return failure(format("font kind %d does not exist", font.kind));
    }
}

bool sortCharacters(std::u16string& set, bool codePageOrder, const CUnicodeOrderConsent& consent) {
    if (!codePageOrder) {
        std::sort(set.begin(), set.end());
        return true;
    }
    std::vector<std::pair<uint16_t, char16_t>> keyed;
    keyed.reserve(set.size());
    for (char16_t c : set) {
        const CAnsiForm form = ansiForm(c);
        if (form.length == 0) {
            if (!consent || !consent(c))
                return false;
            std::sort(set.begin(), set.end());
            return true;
        }
        keyed.emplace_back(form.code(), c);
    }
    // A single byte is its own value and a double-byte code is lead × 256 + trail, so the
    // code's number is the sort key. Every character keeps its own code unit: a character whose
    // code decodes to it again, which ansiForm() guarantees.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i)
        set[i] = keyed[i].second;
    return true;
}

void removeDuplicateCharacters(std::u16string& set, bool sorted) {
    if (sorted) {
        set.erase(std::unique(set.begin(), set.end()), set.end());
        return;
    }
    std::vector<bool> seen(0x10000, false);
    size_t kept = 0;
    for (char16_t c : set) {
        if (seen[c])
            continue;
        seen[c] = true;
        set[kept++] = c;
    }
    set.resize(kept);
}

Result<CCharacterPlan> planCharacters(const CLibraryRequest& request, const CFontSettings& font,
                                      const CUnicodeOrderConsent& consent) {
    CCharacterPlan plan;
    std::u16string& set = plan.characters;
    switch (request.set) {
    case ECharacterSet::Ascii:
        set = asciiCharacters(request.printableOnly);
        break;
    case ECharacterSet::Gb2312:
        set = gb2312Characters();
        break;
    case ECharacterSet::Font: {
        Result<std::u16string> offered = fontCharacters(font, request.printableOnly);
        if (!offered)
            return failure(offered.error());
        set = std::move(offered).value();
        break;
    }
    case ECharacterSet::Custom:
        set = request.customText;
        break;
    }
    // Code 0 ends a text and has no glyph.
    set.erase(std::remove(set.begin(), set.end(), u'\0'), set.end());
    if (request.set == ECharacterSet::Custom && set.empty())
        return failure("no characters are given for the library");

    if (request.sort && !sortCharacters(set, request.codePageOrder, consent)) {
        plan.refused = true;
        set.clear();
        return plan;
    }
    if (request.removeDuplicates)
        removeDuplicateCharacters(set, request.sort);
    if (request.skipBlanks)
        set.erase(std::remove_if(set.begin(), set.end(), isWhiteSpace), set.end());
    return plan;
}

} // namespace tgw
