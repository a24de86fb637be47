#pragma once

#include "model/matrix_edits.h"

#include <map>
#include <string>
#include <vector>

namespace tgw::cli {

// Names accepted for the dot and byte orders beside their numbers ("columns-lsb-top" is dot
// order 3; "mode1" .. "mode8" are byte orders 0..7), mapped to the number as text.
const std::map<std::string, std::string>& dotOrderNames();
const std::map<std::string, std::string>& byteOrderNames();

// The help of --dot-order and --byte-order: every value with its name and meaning.
std::string dotOrderHelp();
std::string byteOrderHelp();

// The help of --colors: every colour scheme with what it looks like, and the #rrggbb form.
std::string colourHelp();
// What is wrong with a --colors value ("" when it names a scheme or two colours), with the
// nearest scheme's name when it looks like a misspelt one.
std::string colourProblem(const std::string& text);

// The whole-matrix edits by name ("invert", "rotate90", "trim-left" ...), in menu order.
const std::vector<std::pair<std::string, EMatrixEdit>>& editNames();
std::string editHelp();
// The edits of names that editNames() holds (CLI11 has checked them).
std::vector<EMatrixEdit> editsByName(const std::vector<std::string>& names);

} // namespace tgw::cli
