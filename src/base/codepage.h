#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tgw {

// Code page 936 (GBK) as the system ANSI code page: ASCII, the euro at 0x80, and double-byte
// codes with lead 0x81..0xFE and trail 0x40..0x7E, 0x80..0xFE. The user-defined and unassigned
// double-byte positions map to and from the private-use area the way GB18030 maps them, so every
// code of the rows 0xA1..0xF7 (trail 0xA1..0xFE) converts both ways. Conversions are table
// lookups; the tables are built once, on first use, and are safe to read from any thread.

// The multi-byte form of one UCS-2 character: 0, 1 or 2 bytes.
struct CAnsiForm {
    uint8_t length = 0;
    uint8_t bytes[2] = {0, 0};

    bool isDoubleByte() const { return length == 2; }
    // 0x00NN for one byte, 0xB1B2 for two, 0xFFFF when there is no form.
    uint16_t code() const;
    std::string text() const { return std::string(reinterpret_cast<const char*>(bytes), length); }
};

CAnsiForm ansiForm(char16_t c);

// The character of a one- or two-byte code; 0 when the code is not a character of the code page.
char16_t ansiToUnicode(uint8_t b1, uint8_t b2 = 0);

// Whole texts. Characters without a form become '?' (the system's default character), as do
// characters outside the basic plane; `lossy` is set when that happened. Bytes that do not
// form a character decode to U+FFFD.
std::string toCp936(std::u16string_view text, bool* lossy = nullptr);
std::u16string fromCp936(std::string_view bytes);

} // namespace tgw
