#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace tgw {

// UTF-8 <-> UTF-16. Malformed input becomes U+FFFD; nothing throws.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// printf into a std::string (the program's message and code texts are printf formats).
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string vformat(const char* fmt, va_list args);

// Replaces every occurrence of `from` in `text` by `to`, scanning left to right.
template <class S> S replaceAll(S text, const S& from, const S& to) {
    if (from.empty())
        return text;
    for (size_t pos = 0; (pos = text.find(from, pos)) != S::npos; pos += to.size())
        text.replace(pos, from.size(), to);
    return text;
}

// A name read from a file (a font's family or style) taken as data: without its control
// characters (C0, DEL and C1), so that it can never end a line of a profile or of tgw's
// output, start a terminal's escape sequence or break a generated comment. The UTF-8 form
// leaves malformed bytes as they are.
std::string withoutControlCharacters(std::string_view utf8);
std::u16string withoutControlCharacters(std::u16string_view text);

// The standard wide white-space test (space, tab, line breaks, ideographic space ...).
bool isWhiteSpace(char16_t c);

} // namespace tgw
