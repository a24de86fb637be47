#pragma once

#include "model/glyph_entry.h"
#include "model/glyph_list.h"
#include "model/settings.h"

#include <string>

namespace tgw {

// The one-line summary of the settings shown in the main window's information bar (UTF-8).
std::string settingsSummary(const CSettings& settings, size_t entries, size_t selected);

// The hover tip text of an entry (UTF-8, CR LF line breaks), usage lines included.
std::string entryTip(const CGlyphEntry& entry, bool useUnicode);

} // namespace tgw
