#pragma once

#include "base/result.h"
#include "model/proportional_glyph.h"

#include <span>
#include <vector>

typedef struct FT_FaceRec_* FT_Face;

namespace tgw {

// The kerning of `face`, at the size it is set to, between the characters of `codes`: the
// pair adjustments of the face's GPOS `kern` feature as HarfBuzz applies them (ligatures and
// contextual forms off), or, for a face without one, its `kern` table as FreeType reads it.
// Characters the face lacks take part in no pair. Every pair whose adjustment is not 0, sorted
// by left then right code, goes into `out`, in 1/64 dot.
Status faceKerning(FT_Face face, std::span<const char16_t> codes, std::vector<CKerningPair>& out);

} // namespace tgw
