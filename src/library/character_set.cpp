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
#include <optional>
#include <unordered_map>
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
        if (!font.fontFile.empty()) {
            Result<std::u16string> set = coverageOf(font.fontFile, font.faceIndex);
            if (set && set->empty())
                return failure("the font file '" + font.fontFile + "' reports no characters");
            return set;
        }
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

namespace {

std::string trimmed(std::string_view text) {
    size_t a = 0, b = text.size();
    while (a < b && (text[a] == ' ' || text[a] == '\t'))
        ++a;
    while (b > a && (text[b - 1] == ' ' || text[b - 1] == '\t'))
        --b;
    return std::string(text.substr(a, b - a));
}

// "0x4E00", "0X4e00", "U+4E00" or "19968"; nothing else.
std::optional<unsigned long> parseCode(const std::string& text) {
    std::string digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    } else if (digits.size() > 2 && (digits[0] == 'U' || digits[0] == 'u') && digits[1] == '+') {
        digits = digits.substr(2);
        base = 16;
    }
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    unsigned long value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * unsigned(base) + unsigned(d);
    }
    return value;
}

} // namespace

Status CCharacterRemap::add(char16_t from, char16_t to) {
    if (m_bySource.count(from))
        return failure(format("U+%04X is remapped twice", unsigned(from)));
    if (m_byTarget.count(to))
        return failure(format("two characters are remapped to U+%04X", unsigned(to)));
    m_pairs.emplace_back(from, to);
    m_bySource[from] = to;
    m_byTarget[to] = from;
    return {};
}

Result<CCharacterRemap> parseRemap(std::string_view text) {
    CCharacterRemap remap;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos)
            comma = text.size();
        const std::string piece = trimmed(text.substr(start, comma - start));
        const size_t equals = piece.find('=');
        std::optional<unsigned long> from, to;
        if (equals != std::string::npos) {
            from = parseCode(trimmed(piece.substr(0, equals)));
            to = parseCode(trimmed(piece.substr(equals + 1)));
        }
        if (!from || !to)
            return failure("the remap '" + piece +
                           "' is not FROM=TO (codes hex with 0x, or decimal: 0x20AC=0x7F)");
        for (unsigned long code : {*from, *to})
            if (code == 0 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF))
                return failure("the remap '" + piece +
                               "' names a code that is no character of the basic plane");
        if (Status s = remap.add(char16_t(*from), char16_t(*to)); !s)
            return failure(s.error());
        if (comma == text.size())
            break;
        start = comma + 1;
    }
    return remap;
}

Status remapCharacters(std::u16string& set, const CCharacterRemap& remap,
                       std::vector<char16_t>* unused) {
    if (remap.empty())
        return {};
    std::vector<bool> present(0x10000, false);
    for (char16_t c : set)
        present[c] = true;
    for (const auto& [from, to] : remap.pairs()) {
        // The code is taken by a character that stays where it is.
        if (from != to && present[to] && !remap.target(to))
            return failure(format("U+%04X is in the set, so U+%04X cannot be placed at its code "
                                  "(remap that one too, or leave it out)",
                                  unsigned(to), unsigned(from)));
        if (!present[from] && unused)
            unused->push_back(from);
    }
    for (char16_t& c : set)
        if (const char16_t to = remap.target(c))
            c = to;
    return {};
}

Status CRemappedRasteriser::renderCharacter(char16_t code, const CAnsiForm& ansi,
                                            const CFontSettings& font, CDotMatrix& out) {
    const char16_t source = m_remap.source(code);
    return source == code ? m_inner.renderCharacter(code, ansi, font, out)
                          : m_inner.renderCharacter(source, ansiForm(source), font, out);
}

Status CRemappedRasteriser::renderProportional(char16_t code, const CAnsiForm& ansi,
                                               const CFontSettings& font, CProportionalGlyph& out,
                                               CLineMetrics& line) {
    const char16_t source = m_remap.source(code);
    if (source == code)
        return m_inner.renderProportional(code, ansi, font, out, line);
    Status s = m_inner.renderProportional(source, ansiForm(source), font, out, line);
    out.code = code;
    return s;
}

Status CRemappedRasteriser::kerningPairs(std::span<const char16_t> codes, const CFontSettings& font,
                                         std::vector<CKerningPair>& out) {
    std::vector<char16_t> sources;
    std::unordered_map<char16_t, std::vector<char16_t>> placed; // source -> the codes it is at
    for (char16_t c : codes) {
        const char16_t source = m_remap.source(c);
        if (placed[source].empty())
            sources.push_back(source);
        placed[source].push_back(c);
    }
    std::vector<CKerningPair> found;
    if (Status s = m_inner.kerningPairs(sources, font, found); !s)
        return s;
    out.clear();
    for (const CKerningPair& k : found)
        for (char16_t left : placed[k.left])
            for (char16_t right : placed[k.right])
                out.push_back({left, right, k.adjust});
    std::sort(out.begin(), out.end(), [](const CKerningPair& a, const CKerningPair& b) {
        return a.left != b.left ? a.left < b.left : a.right < b.right;
    });
    return {};
}

Result<std::u16string> rangeCharacters(std::string_view ranges, std::u16string_view symbols) {
    std::vector<bool> chosen(0x10000, false);
    size_t start = 0;
    while (start <= ranges.size() && !trimmed(ranges).empty()) {
        size_t comma = ranges.find(',', start);
        if (comma == std::string_view::npos)
            comma = ranges.size();
        const std::string piece = trimmed(ranges.substr(start, comma - start));
        const std::string quotedPiece = "'" + piece + "'";
        if (piece.empty())
            return failure("the ranges hold an empty piece (two commas, or a comma at an end)");
        const size_t dash = piece.find('-');
        const std::optional<unsigned long> from = parseCode(trimmed(piece.substr(0, dash)));
        const std::optional<unsigned long> to =
            dash == std::string::npos ? from : parseCode(trimmed(piece.substr(dash + 1)));
        if (!from || !to)
            return failure("the range " + quotedPiece +
                           " is not a code or from-to (hex with 0x, or decimal)");
        if (*from > *to)
            return failure("the range " + quotedPiece + " ends before it starts");
        if (*from == 0)
            return failure("the range " + quotedPiece + " holds code 0, which has no glyph");
        if (*to > 0xFFFF)
            return failure("the range " + quotedPiece +
                           " passes U+FFFF: entries hold characters of the basic plane only");
        if (*from == *to && *from >= 0xD800 && *from <= 0xDFFF)
            return failure("the range " + quotedPiece + " is a surrogate code, not a character");
        for (unsigned long c = *from; c <= *to; ++c)
            if (c < 0xD800 || c > 0xDFFF) // halves of pairs are no characters
                chosen[c] = true;
        start = comma + 1;
        if (comma == ranges.size())
            break;
    }
    for (size_t i = 0; i < symbols.size(); ++i) {
        const char16_t c = symbols[i];
        if (c >= 0xD800 && c <= 0xDFFF)
            return failure("the symbol at position " + std::to_string(i + 1) +
                           " lies beyond U+FFFF: entries hold characters of the basic plane only");
        if (c != 0)
            chosen[c] = true;
    }
    std::u16string set;
    for (size_t c = 1; c < chosen.size(); ++c)
        if (chosen[c])
            set.push_back(char16_t(c));
    return set;
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
    case ECharacterSet::Range: {
        Result<std::u16string> ranged = rangeCharacters(request.ranges, request.symbols);
        if (!ranged)
            return failure(ranged.error());
        set = std::move(ranged).value();
        if (set.empty())
            return failure("no characters are given for the library");
        break;
    }
    }
    // Code 0 ends a text and has no glyph.
    set.erase(std::remove(set.begin(), set.end(), u'\0'), set.end());
    if (request.set == ECharacterSet::Custom && set.empty())
        return failure("no characters are given for the library");
    if (Status s = remapCharacters(set, request.remap, &plan.unmapped); !s)
        return failure(s.error());

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
