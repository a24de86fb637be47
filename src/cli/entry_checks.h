#pragma once

#include "base/result.h"
#include "model/settings.h"
#include "raster/rasteriser.h"

#include <string>
#include <string_view>
#include <vector>

namespace tgw {
class CGlyphList;
}

namespace tgw::cli {

// What a command accepts on purpose that it would otherwise refuse or warn about.
struct CEntryChecks {
    bool allowPlaceholder = false; // a picture that cannot be loaded becomes its placeholder text
    bool allowFallback = false;    // a face that is not installed renders as its substitute
    bool allowEmpty = false;       // no entries at all
    bool strict = false;           // warnings about characters are failures
    bool verbose = false;          // name the characters taken from a fallback face
};

// Fails when `settings` render with a TrueType face that is not installed (fontconfig would
// quietly substitute another), naming the substitute and the closest installed families.
Status checkFace(const CSettings& settings);

// For --verbose: one line on stderr naming the face the characters are drawn with, whether it
// is tgw's default (`byDefault`) and, for an installed family, the file fontconfig gives for it.
void reportFace(const CSettings& settings, bool byDefault);

// Fails on the first character outside the basic plane in `text` (a surrogate pair: entries
// hold 16-bit codes), naming it and its place; `source` says where the text came from.
Status checkBasicPlane(std::u16string_view text, const std::string& source);

// Warns on stderr about the character entries at `indexes` of `list` that `rasteriser` cannot
// show in their font, and (with `codes`, when the code text is in code page 936) those without
// a code page 936 form. With `verbose`, characters drawn from a fallback face are listed too.
// Returns whether anything was warned about.
Result<bool> warnAboutCharacters(const CGlyphList& list, const std::vector<size_t>& indexes,
                                 CRasteriser& rasteriser, bool codes, bool verbose);

} // namespace tgw::cli
