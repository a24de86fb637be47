#pragma once

#include "base/result.h"
#include "model/font_settings.h"

#include <functional>
#include <string>
#include <string_view>

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
};

// The outcome of planCharacters().
struct CCharacterPlan {
    std::u16string characters; // one entry each, in output order
    bool refused = false;      // the Unicode-order question was answered no: build nothing
};

// The characters a build renders: the set, sorted if asked, without duplicates if asked,
// without white space if asked, and never code 0. Fails for an empty custom text and when the
// face's coverage cannot be had.
Result<CCharacterPlan> planCharacters(const CLibraryRequest& request, const CFontSettings& font,
                                      const CUnicodeOrderConsent& consent);

} // namespace tgw
