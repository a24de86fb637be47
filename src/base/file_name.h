#pragma once

#include <string>
#include <string_view>

namespace tgw {

// File names on this system are bytes, and need not be UTF-8. Entries keep their file names as
// UTF-16 text, so a name is carried there losslessly: each valid UTF-8 sequence becomes its
// characters, and each byte that is not part of one becomes the lone low surrogate
// U+DC00 + byte (U+DC80..U+DCFF), which no valid text holds.
//   "\xff.bmp"  <->  u"\xDCFF.bmp"
std::u16string fileNameToText(std::string_view bytes);

// The bytes of a name made by fileNameToText(), for open(). Any other lone surrogate becomes
// U+FFFD, as in utf16ToUtf8().
std::string fileNameToBytes(std::u16string_view name);

// Whether the name is plain text, that is, holds no byte kept as a surrogate: only then can a
// UTF-8 or UTF-16 file (a project) store it as it is.
bool fileNameIsText(std::u16string_view name);

} // namespace tgw
