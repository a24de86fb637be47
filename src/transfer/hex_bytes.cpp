#include "transfer/hex_bytes.h"

#include "base/screen_text.h"

#include "base/text.h"

#include <vector>

namespace tgw {
namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int digitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isHexToken(std::string_view token) {
    for (char c : token)
        if (digitValue(c) < 0)
            return false;
    return true;
}

std::vector<std::string_view> tokens(std::string_view text) {
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i]))
            ++i;
        size_t start = i;
        while (i < text.size() && !isSeparator(text[i]))
            ++i;
        if (i > start)
            out.push_back(text.substr(start, i - start));
    }
    return out;
}

// Pairs from the right: "123" -> 01 23.
void appendTokenBytes(std::string_view token, CBytes& out) {
    size_t i = 0;
    if (token.size() % 2) {
        out.push_back(uint8_t(digitValue(token[0])));
        i = 1;
    }
    for (; i < token.size(); i += 2)
        out.push_back(uint8_t(digitValue(token[i]) << 4 | digitValue(token[i + 1])));
}

// A pasted token may be long or hold control characters; the message shows a short, printable
// form of it, cut at a character boundary.
std::string shownToken(std::string_view token) {
    constexpr size_t kShown = 16;
    std::string out;
    size_t chars = 0;
    for (size_t i = 0; i < token.size(); ++i) {
        unsigned char c = token[i];
        if ((c & 0xC0) != 0x80 && chars++ == kShown) {
            out += "...";
            break;
        }
        out += c < 0x20 || c == 0x7F ? '?' : char(c);
    }
    return out;
}

std::string upper(std::string_view token) {
    std::string out(token);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return out;
}

} // namespace

std::string normaliseHexText(std::string_view text) {
    std::string out;
    for (std::string_view token : tokens(text)) {
        if (!isHexToken(token)) {
            out += upper(token) + ' ';
            continue;
        }
        CBytes bytes;
        appendTokenBytes(token, bytes);
        out += hexText(bytes);
    }
    return out;
}

Result<CBytes> parseHexBytes(std::string_view text, std::string_view field) {
    CBytes out;
    for (std::string_view token : tokens(text)) {
        if (!isHexToken(token))
            return failure(format(TGW_TR_EN("tgw::core::transfer",
                                            "%.*s: '%s' is not hexadecimal; type bytes as pairs of "
                                            "the digits 0-9 and A-F, such as \"AA 01 02\""),
                                  int(field.size()), field.data(), shownToken(token).c_str()));
        appendTokenBytes(token, out);
    }
    return out;
}

Result<size_t> countHexBytes(std::string_view text, std::string_view field) {
    Result<CBytes> bytes = parseHexBytes(text, field);
    if (!bytes)
        return failure(bytes.error());
    return bytes->size();
}

std::string hexText(std::span<const uint8_t> bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (uint8_t b : bytes) {
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
        out += ' ';
    }
    return out;
}

} // namespace tgw
