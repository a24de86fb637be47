#pragma once

#include "base/result.h"
#include "transfer/packet_framing.h"

#include <span>
#include <string>
#include <string_view>

namespace tgw {

// Byte strings typed as hexadecimal text, as the hex byte boxes of the transfer dialogs hold
// them. The normal form is two upper-case digits and one blank per byte ("0A FF 12 "), so n
// bytes take 3·n characters. Blanks, tabs, CR and LF separate tokens; a token is read in pairs
// from its right end, so an odd digit count gets a leading 0 ("A 123" -> "0A 01 23 ").

// Rewrites `text` in normal form. A token with anything but hex digits in it is kept as typed
// (upper-cased, followed by one blank) so that the user still sees it; reading then fails.
std::string normaliseHexText(std::string_view text);

// The bytes of `text`. A token with a character that is not a hex digit fails with a message
// that names `field` and the token, rather than being turned into some bytes.
Result<CBytes> parseHexBytes(std::string_view text, std::string_view field);

// The number of bytes `text` holds (an empty text holds 0); fails as parseHexBytes does.
Result<size_t> countHexBytes(std::string_view text, std::string_view field);

// `bytes` in normal form: "%02X " each.
std::string hexText(std::span<const uint8_t> bytes);

} // namespace tgw
