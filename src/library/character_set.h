#pragma once

#include "base/result.h"
#include "model/font_settings.h"
#include "model/rasteriser.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tgw {

// The characters of a font library, as UTF-16 code units (entries are UCS-2).
enum class ECharacterSet {
    Ascii,  // codes 1..127, or 32..127 printable only
    Gb2312, // the 8178 double-byte codes A1A1..F7FE in row-major order
    Font,   // everything the current font offers (see fontCharacters)
    Custom, // a text the user gives
    Range,  // code ranges and symbols (see rangeCharacters)
};

// Codes 1 to 127 in ascending order; 32 to 127 (96 characters, the blank first) when
// `printableOnly`.
std::u16string asciiCharacters(bool printableOnly);

// The double-byte codes with first byte A1..F7 and second byte A1..FE (87 rows of 94), first
// byte major, each converted from code page 936: A1A1 (U+3000) first, F7FE last.
std::u16string gb2312Characters();

// Every character of the basic plane that the face fontconfig picks for `family` in this style
// covers, ascending, without code 0 and without surrogate code units. Fails when fontconfig
// finds no face or no coverage for it.
Result<std::u16string> faceCharacters(const std::u16string& family, bool bold, bool italic);

// The characters a font offers: ASCII for the ASCII dot fonts (printable only or not), the
// GB2312 set for the GB2312 dot fonts, the face's coverage for a TrueType font.
Result<std::u16string> fontCharacters(const CFontSettings& font, bool printableOnly);

// Asked when code-page order meets a character without a code page 936 form (the first such
// character is passed): true sorts the whole set in Unicode order instead, false stops the
// build. An empty function refuses.
using CUnicodeOrderConsent = std::function<bool(char16_t firstWithoutForm)>;

// Sorts `set` in place. Unicode order: ascending UTF-16 code. Code-page order: ascending code
// page 936 code (a double-byte code counts as lead × 256 + trail), which puts ASCII first and
// then the GB2312 rows; a set with a character that has no form there goes to `consent`.
// Returns false, with `set` unchanged, when consent was refused.
bool sortCharacters(std::u16string& set, bool codePageOrder, const CUnicodeOrderConsent& consent);

// The characters of `ranges` and `symbols`, ascending, each once. `ranges` is a comma-separated
// list of codes and from-to ranges, each code hex with "0x" (or "U+") or decimal:
// "0x20-0x7E,0x4E00-0x9FA5,65". Fails naming the first piece that is not one, runs backwards,
// holds code 0 or passes U+FFFF (entries hold characters of the basic plane).
Result<std::u16string> rangeCharacters(std::string_view ranges, std::u16string_view symbols);

// Drops repeated characters. A sorted set merges its adjacent equal characters; an unsorted one
// keeps the first occurrence of each character where it stands.
void removeDuplicateCharacters(std::u16string& set, bool sorted);

// Characters placed at other codes: the glyph of each `from` is drawn at the code `to`, which
// is what the output then names (its code, its code page 936 form, its place in the order).
class CCharacterRemap {
public:
    bool empty() const { return m_pairs.empty(); }
    const std::vector<std::pair<char16_t, char16_t>>& pairs() const { return m_pairs; }
    // The character whose glyph is drawn at `code`: its `from`, or `code` itself.
    char16_t source(char16_t code) const {
        auto it = m_byTarget.find(code);
        return it == m_byTarget.end() ? code : it->second;
    }
    // The code `from` is placed at, or 0 when it stays.
    char16_t target(char16_t from) const {
        auto it = m_bySource.find(from);
        return it == m_bySource.end() ? 0 : it->second;
    }
    // Fails when `from` or `to` was given before.
    Status add(char16_t from, char16_t to);

private:
    std::vector<std::pair<char16_t, char16_t>> m_pairs; // from, to, as given
    std::map<char16_t, char16_t> m_byTarget;            // to -> from
    std::map<char16_t, char16_t> m_bySource;            // from -> to
};

// "0x20AC=0x7F,176=0x80": comma-separated FROM=TO pairs, each code hex with "0x" (or "U+") or
// decimal, 1 to 0xFFFF and no surrogate. Fails naming the first piece that is not one and a
// code given twice on one side.
Result<CCharacterRemap> parseRemap(std::string_view text);

// Each `from` in `set` replaced by its `to`, where it stands. Fails when a `to` is in the set
// as a character that stays (one code holds one glyph). `unused` (when given) gets each `from`
// that is not in the set.
Status remapCharacters(std::u16string& set, const CCharacterRemap& remap,
                       std::vector<char16_t>* unused = nullptr);

// Draws through another rasteriser, each character at a remapped code with the glyph of the
// character placed there; everything else passes through unchanged.
class CRemappedRasteriser : public IRasteriser {
public:
    CRemappedRasteriser(IRasteriser& inner, const CCharacterRemap& remap)
        : m_inner(inner), m_remap(remap) {}

    Status renderCharacter(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                           CDotMatrix& out) override;
    Status renderProportional(char16_t code, const CAnsiForm& ansi, const CFontSettings& font,
                              CProportionalGlyph& out, CLineMetrics& line) override;
    // The kerning of the characters drawn at each code, placed at the codes.
    Status kerningPairs(std::span<const char16_t> codes, const CFontSettings& font,
                        std::vector<CKerningPair>& out) override;
    CInkLoss lastInkLoss() const override { return m_inner.lastInkLoss(); }
    Status renderString(std::u16string_view text, bool rightToLeft, const CFontSettings& font,
                        CDotMatrix& out) override {
        return m_inner.renderString(text, rightToLeft, font, out);
    }
    Status renderPicture(const std::u16string& path, uint8_t threshold, CDotMatrix& out) override {
        return m_inner.renderPicture(path, threshold, out);
    }
    Status renderPictureWith(const std::u16string& path, const CPictureOptions& options,
                             CDotMatrix& out) override {
        return m_inner.renderPictureWith(path, options, out);
    }

private:
    IRasteriser& m_inner;
    const CCharacterRemap& m_remap;
};

// What the library builder is asked for; the desktop dialog's options and tgw build's flags.
struct CLibraryRequest {
    ECharacterSet set = ECharacterSet::Font;
    std::u16string customText;  // the characters of ECharacterSet::Custom
    std::string ranges;         // the ranges of ECharacterSet::Range
    std::u16string symbols;     // and its symbols
    bool printableOnly = false; // ASCII from 32
    bool sort = false;
    bool codePageOrder = false; // sort by code page 936 codes (USEUNICODE 0), else by UTF-16
    bool removeDuplicates = false;
    bool skipBlanks = false; // white space is not rendered
    CCharacterRemap remap;   // applied to the set before it is sorted
};

// The outcome of planCharacters().
struct CCharacterPlan {
    std::u16string characters;      // one entry each, in output order
    bool refused = false;           // the Unicode-order question was answered no: build nothing
    std::vector<char16_t> unmapped; // remapped characters that the set does not hold
};

// The characters a build renders: the set, remapped, sorted if asked, without duplicates if asked,
// without white space if asked, and never code 0. Fails for an empty custom text and when the
// face's coverage cannot be had.
Result<CCharacterPlan> planCharacters(const CLibraryRequest& request, const CFontSettings& font,
                                      const CUnicodeOrderConsent& consent);

} // namespace tgw
