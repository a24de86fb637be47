#include "cli/entry_checks.h"

#include "base/codepage.h"
#include "base/text.h"
#include "cli/nearest_names.h"
#include "model/glyph_list.h"
#include "raster/font_config.h"

#include <algorithm>
#include <cstdio>
#include <map>

namespace tgw::cli {
namespace {

// "U+4E2D (中)": the character itself unless it is a control, a blank or half a surrogate pair.
std::string characterName(char32_t c) {
    std::string name = format("U+%04X", unsigned(c));
    if (c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && !(c >= 0xD800 && c <= 0xDFFF) &&
        !(c < 0x10000 && isWhiteSpace(char16_t(c)))) {
        std::u16string text;
        if (c >= 0x10000) {
            text.push_back(char16_t(0xD800 + ((c - 0x10000) >> 10)));
            text.push_back(char16_t(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            text.push_back(char16_t(c));
        }
        name += " (" + utf16ToUtf8(text) + ")";
    }
    return name;
}

// Names of characters for one line of stderr; a long list is cut.
std::string characterList(const std::vector<char16_t>& chars) {
    constexpr size_t kShown = 16;
    std::string out;
    for (size_t i = 0; i < chars.size() && i < kShown; ++i)
        out += (i ? ", " : "") + characterName(chars[i]);
    if (chars.size() > kShown)
        out += format(" and %zu more", chars.size() - kShown);
    return out;
}

std::string fontName(const CFontSettings& font) {
    if (isBuiltinFont(font.kind))
        return std::string("the built-in font ") + builtinFontName(font.kind);
    return "the face '" + utf16ToUtf8(font.face) + "'";
}

} // namespace

Status checkFace(const CSettings& settings) {
    // A font file stands alone: no installed family is looked up for it.
    if (settings.fontType != kFontTrueType || !settings.fontFile.empty() ||
        isFamilyInstalled(settings.faceName))
        return {};
    const std::string typed = utf16ToUtf8(settings.faceName);
    std::string message = "the face '" + typed + "' is not installed";
    if (Result<CFaceFile> used = findFace(settings.faceName, settings.bold, settings.italic))
        message += "; fontconfig would use '" + utf16ToUtf8(used->family) + "' instead";
    std::vector<std::string> families;
    for (const CFontFamily& f : listFontFamilies())
        families.push_back(utf16ToUtf8(f.name));
    std::vector<std::string> near = nearestNames(typed, families, 3, false);
    if (!near.empty()) {
        message += " (closest installed:";
        for (size_t i = 0; i < near.size(); ++i)
            message += (i ? ", '" : " '") + near[i] + "'";
        message += ")";
    }
    return failure(message + "; --allow-fallback accepts the substitute");
}

void reportFace(const CSettings& settings, bool byDefault) {
    if (settings.fontType != kFontTrueType) {
        std::fprintf(stderr, "tgw: font: the built-in font %s\n",
                     builtinFontName(settings.fontType));
        return;
    }
    if (!settings.fontFile.empty()) {
        std::fprintf(stderr, "tgw: font: face %d of the font file '%s'\n", settings.faceIndex,
                     settings.fontFile.c_str());
        return;
    }
    std::string line = "tgw: font: the face '" + utf16ToUtf8(settings.faceName) + "'";
    if (byDefault)
        line += " (tgw's default; --face names another)";
    if (Result<CFaceFile> used = findFace(settings.faceName, settings.bold, settings.italic))
        line += ", from " + used->file;
    std::fprintf(stderr, "%s\n", line.c_str());
}

Status checkBasicPlane(std::u16string_view text, const std::string& source) {
    size_t position = 0, line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        ++position;
        const char16_t c = text[i];
        if (c == u'\n')
            ++line;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            const char32_t full = 0x10000 + (char32_t(c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            return failure(format("%s: %s, character %zu%s, is outside the basic plane; "
                                  "character entries hold 16-bit codes",
                                  source.c_str(), characterName(full).c_str(), position,
                                  line > 1 ? format(" (line %zu)", line).c_str() : ""));
        }
    }
    return {};
}

Result<bool> warnAboutCharacters(const CGlyphList& list, const std::vector<size_t>& indexes,
                                 CRasteriser& rasteriser, bool codes, bool verbose) {
    // Characters by the font they lack a glyph in (entries of one run mostly share one font).
    std::vector<std::pair<CFontSettings, std::vector<char16_t>>> missing;
    std::map<std::u16string, std::vector<char16_t>> fallback;
    std::vector<char16_t> withoutForm;
    for (size_t i : indexes) {
        const auto& e = static_cast<const CCharEntry&>(list.at(i));
        const char16_t c = e.code();
        if (codes && e.ansi().length == 0)
            withoutForm.push_back(c);
        // Blanks and controls are meant to be empty.
        if (isWhiteSpace(c) || c < 0x20 || c == 0x7F)
            continue;
        Result<CGlyphCoverage> coverage = rasteriser.glyphCoverage(c, e.ansi(), e.font());
        if (!coverage)
            return failure(coverage.error());
        if (coverage->source == EGlyphSource::Fallback) {
            fallback[coverage->fallbackFamily].push_back(c);
        } else if (coverage->source == EGlyphSource::Missing) {
            auto it = std::find_if(missing.begin(), missing.end(),
                                   [&](const auto& m) { return m.first == e.font(); });
            if (it == missing.end())
                it = missing.insert(missing.end(), {e.font(), {}});
            it->second.push_back(c);
        }
    }
    for (const auto& [font, chars] : missing)
        std::fprintf(
            stderr, "tgw: warning: %s has no glyph for %zu character%s (blank in the output): %s\n",
            fontName(font).c_str(), chars.size(), chars.size() == 1 ? "" : "s",
            characterList(chars).c_str());
    if (verbose)
        for (const auto& [family, chars] : fallback)
            std::fprintf(stderr, "tgw: %zu character%s drawn from the face '%s': %s\n",
                         chars.size(), chars.size() == 1 ? "" : "s", utf16ToUtf8(family).c_str(),
                         characterList(chars).c_str());
    if (!withoutForm.empty())
        std::fprintf(stderr,
                     "tgw: warning: %zu character%s no code page 936 form and get the code "
                     "0xFFFF, so they cannot be looked up: %s; --unicode codes characters as "
                     "UCS-2\n",
                     withoutForm.size(), withoutForm.size() == 1 ? " has" : "s have",
                     characterList(withoutForm).c_str());
    return !missing.empty() || !withoutForm.empty();
}

} // namespace tgw::cli
