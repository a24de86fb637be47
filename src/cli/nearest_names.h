#pragma once

#include <string>
#include <vector>

namespace tgw::cli {

// Up to `count` of `candidates` closest to `typed` by edit distance (ignoring ASCII case),
// nearest first. With `closeOnly` a candidate needing more edits than half the typed name's
// length is no suggestion.
std::vector<std::string> nearestNames(const std::string& typed,
                                      const std::vector<std::string>& candidates, size_t count,
                                      bool closeOnly);

} // namespace tgw::cli
