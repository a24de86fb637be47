#pragma once

#include "base/result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tgw {

// Why a whole-file read failed, for callers that show a different message for each.
enum class EReadFailure { None, Open, Read, TooLarge };

// Reads the whole file at `path`. A file longer than `maxBytes` is refused without being read
// to its end. Devices and pipes are read until their end. On failure `why`, when given, says
// which step failed.
Result<std::string> readWholeFile(const std::string& path, size_t maxBytes,
                                  EReadFailure* why = nullptr);

} // namespace tgw
