#pragma once

#include "base/result.h"
#include "model/glyph_list.h"
#include "model/settings.h"

namespace tgw::cli {

// The needs of the settings' display preset (fixed cell, multiples, a panel's screen), checked
// against every entry of `list`: one warning line on stderr naming the preset, the first entry
// that breaks them and what is wrong; with `strict` that line is the failure instead.
Status checkPresetNeeds(const CSettings& settings, const CGlyphList& list, bool strict);

// The same for the cell size of the settings, for commands that make their entries later.
Status checkPresetCell(const CSettings& settings, bool strict);

} // namespace tgw::cli
