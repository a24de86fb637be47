#pragma once

#include "base/file_io.h"
#include "base/result.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace tgw {

// Text files fill the input field whole; a bigger file than this is refused rather than
// freezing the field (16 MiB is millions of characters, far past any list of glyphs).
inline constexpr size_t kMaxImportBytes = size_t(16) << 20;

// The text of a text file's bytes, by its byte-order mark: EF BB BF UTF-8, FF FE UTF-16 LE,
// FE FF UTF-16 BE. Without a mark the bytes are UTF-8 when they are valid UTF-8 (what editors
// here write; plain ASCII is both), else code page 936. After a UTF-16 mark an odd last byte
// pairs with a zero byte. The text ends at its first zero character; line breaks and every
// other character are kept as they are.
std::u16string decodeImportedText(std::string_view bytes);

// Reads and decodes the text file at `path`. On failure `why` tells an unopenable file
// (EReadFailure::Open), a failed read (Read) and a file over kMaxImportBytes (TooLarge) apart.
Result<std::u16string> importTextFile(const std::string& path, EReadFailure* why = nullptr);

} // namespace tgw
